// Start-up registration of the file layer's language classes.
#pragma once

namespace vorn {

void RegisterFileClasses();

}  // namespace vorn
