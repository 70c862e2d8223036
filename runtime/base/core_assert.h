// Failed assertions of the start-up and run-loop code, reported through the runtime's one
// error report (error code 4). OK in the report returns here; Cancel ends the program.
#pragma once

#include <cstdint>

namespace vorn {

void ReportCoreAssertion(const char* sourceFile, int32_t line, const char* condition);

}  // namespace vorn
