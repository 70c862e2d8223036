#include "strings/runtime_error.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace vorn {

namespace {

constexpr const char* kRuntimeErrorTexts[] = {
    "Plugin TOC Load Failure",    "Invalid Class Definition",  "Unknown Class",
    "Failed Assertion",           "Unable to Write to Handle", "CarbonLib 1.1 or Later Required",
    "Cannot Connect to Debugger", "Unhandled Exception",
};
constexpr int32_t kRuntimeErrorTextCount =
    static_cast<int32_t>(sizeof kRuntimeErrorTexts / sizeof kRuntimeErrorTexts[0]);

bool WriteToStandardError(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  return true;
}

std::atomic<RuntimeErrorPresenter> sPresenter{&WriteToStandardError};
// A report raised while one is being shown (by the presenter itself) goes to standard error
// instead of nesting dialogs.
std::atomic<bool> sReporting{false};

const char* OrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

std::string FormatRuntimeError(int32_t code, const char* sourceFile, int32_t line,
                               const char* condition, const char* message) {
  const char* codeText =
      code >= 1 && code <= kRuntimeErrorTextCount ? kRuntimeErrorTexts[code - 1] : "";
  // The text reads "Runtime Error %d: %s\nPress OK to Continue\nPress Cancel to Quit.\n\n
  // Please report what caused this error\nalong with the information below.\n\n%s: %d\n
  // Failure Condition: %s\n%s", put together piece by piece so that no text is cut short.
  std::string text = "Runtime Error ";
  text += std::to_string(code);
  text += ": ";
  text += codeText;
  text +=
      "\nPress OK to Continue\nPress Cancel to Quit.\n\n"
      "Please report what caused this error\nalong with the information below.\n\n";
  text += OrEmpty(sourceFile);
  text += ": ";
  text += std::to_string(line);
  text += "\nFailure Condition: ";
  text += OrEmpty(condition);
  text += "\n";
  text += OrEmpty(message);
  return text;
}

RuntimeErrorPresenter SetRuntimeErrorPresenter(RuntimeErrorPresenter presenter) {
  return sPresenter.exchange(presenter ? presenter : &WriteToStandardError);
}

}  // namespace vorn

extern "C" void ReportRuntimeError(int32_t kind, int32_t code, const char* sourceFile, int32_t line,
                                   const char* condition, const char* message) {
  (void)kind;  // always the report's kind word; it selects nothing here
  std::string text = vorn::FormatRuntimeError(code, sourceFile, line, condition, message);
  if (vorn::sReporting.exchange(true)) {
    vorn::WriteToStandardError(text);
    return;
  }
  bool goOn = vorn::sPresenter.load()(text);
  vorn::sReporting.store(false);
  if (!goOn) std::exit(0);
}
