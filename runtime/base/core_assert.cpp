#include "base/core_assert.h"

#include "strings/runtime_error.h"

namespace vorn {

void ReportCoreAssertion(const char* sourceFile, int32_t line, const char* condition) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, sourceFile, line, condition, "");
}

}  // namespace vorn
