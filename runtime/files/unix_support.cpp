#include "files/unix_support.h"

#include "strings/runtime_error.h"

namespace vorn {

void ReportUnixAssertion(int32_t line, const char* condition, const char* message) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "../Common/Linux/FolderItemImpUnix", line,
                     condition, message);
}

}  // namespace vorn
