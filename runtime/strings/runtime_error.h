// The one routine that reports internal errors and failed assertions.
#pragma once

#include <cstdint>
#include <string>

namespace vorn {

// Error codes of the report; their texts are kRuntimeErrorTexts[code - 1].
enum RuntimeErrorCode : int32_t {
  kErrorPluginTOCLoadFailure = 1,
  kErrorInvalidClassDefinition = 2,
  kErrorUnknownClass = 3,
  kErrorFailedAssertion = 4,
  kErrorUnableToWriteToHandle = 5,
  kErrorCarbonLibRequired = 6,
  kErrorCannotConnectToDebugger = 7,
  kErrorUnhandledException = 8,
};

constexpr int32_t kRuntimeErrorKind = 131;

// The full text the report shows for these values.
std::string FormatRuntimeError(int32_t code, const char* sourceFile, int32_t line,
                               const char* condition, const char* message);

// Shows the report and answers true for OK (go on) or false for Cancel (quit).
using RuntimeErrorPresenter = bool (*)(const std::string& text);

// Installs the presenter (nil restores the default, which writes to standard error and goes
// on); answers the previous one. The window layer installs its modal dialog; tests install
// their own.
RuntimeErrorPresenter SetRuntimeErrorPresenter(RuntimeErrorPresenter presenter);

}  // namespace vorn

// OK returns to the caller; Cancel ends the program with status 0.
extern "C" void ReportRuntimeError(int32_t kind, int32_t code, const char* sourceFile, int32_t line,
                                   const char* condition, const char* message);
