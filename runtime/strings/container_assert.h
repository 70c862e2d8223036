// Failed internal checks of the containers and memory utilities. They go to the runtime error
// report as code 4 and the caller carries on with a safe result, as after OK in the dialog.
#pragma once

#include <cstdint>

#include "strings/runtime_error.h"

namespace vorn {

inline void ReportContainerAssertion(const char* source, int32_t line, const char* condition) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, source, line, condition, "");
}

}  // namespace vorn
