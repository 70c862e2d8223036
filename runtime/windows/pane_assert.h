// Internal checks of the window layer go to the runtime's error report as failed assertions;
// after OK the caller carries on with its next statement.
#pragma once

#include <cstdint>

#include "strings/runtime_error.h"

namespace vorn {

inline void ReportPaneAssertion(const char* source, int32_t line, const char* condition,
                                const char* message = "") {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, source, line, condition, message);
}

}  // namespace vorn
