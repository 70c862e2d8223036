// Internal checks of the FolderItem class go to the runtime's error report as failed
// assertions under the source path the report has always shown for it; after OK the member
// returns without doing anything.
#pragma once

#include <cstdint>

#include "strings/runtime_error.h"

namespace vorn {

inline constexpr const char* kFolderItemSource = "../Common/runFolderItem";

inline void ReportFolderItemAssertion(int32_t line, const char* condition) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kFolderItemSource, line, condition, "");
}

}  // namespace vorn
