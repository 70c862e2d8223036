#include "core/core_assert.h"

#include <cstdio>

#include "strings/runtime_error.h"

// The report lives with the string utilities, which may be linked without it while they are
// being built; the failure is then written to standard error.
#pragma weak ReportRuntimeError

namespace vorn {

void ReportCoreAssertion(const char* sourceFile, int32_t line, const char* condition) {
  if (&ReportRuntimeError != nullptr) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, sourceFile, line, condition, "");
    return;
  }
  std::fprintf(stderr, "vorn: failed assertion \"%s\" (%s: %d)\n", condition, sourceFile,
               static_cast<int>(line));
}

}  // namespace vorn
