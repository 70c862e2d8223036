// Internal checks of the controls go to the runtime's error report as failed assertions,
// with the source path the report has always shown for each control; after OK the caller
// carries on.
#pragma once

#include <cstdint>

#include "strings/runtime_error.h"

namespace vorn {

inline constexpr const char* kScrollBarSource = "../Common/Linux/ScrollBarGTK";
inline constexpr const char* kCanvasSource = "../Common/Canvas";
inline constexpr const char* kGroupBoxSource = "../Common/GroupBox";
inline constexpr const char* kStaticTextSource = "../Common/StaticText";

inline void ReportControlAssertion(const char* source, int32_t line, const char* condition) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, source, line, condition, "");
}

}  // namespace vorn
