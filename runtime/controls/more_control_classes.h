// Start-up registration of the progress bar, shape, panel and OLE container classes.
#pragma once

namespace vorn {

void RegisterMoreControlClasses();

}  // namespace vorn
