// Internal checks of the folder items on disk, reported through the runtime's error report.
#pragma once

#include <cstdint>

namespace vorn {

void ReportUnixAssertion(int32_t line, const char* condition, const char* message = nullptr);

}  // namespace vorn
