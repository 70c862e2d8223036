// Start-up registration of the progress bar, shape and panel classes.
#pragma once

namespace vorn {

void RegisterMoreControlClasses();

}  // namespace vorn
