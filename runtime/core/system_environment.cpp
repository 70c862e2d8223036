// The System module's view of the process: the command line, environment variables, the
// system log and the debug log.
#include <syslog.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/startup.h"
#include "core/system_module.h"
#include "strings/system_encoding.h"
#include "strings/vstring.h"

namespace vorn {

namespace {

// Built on the first read, kept until exit.
string* sCommandLine = nullptr;

void WriteToSystemLog(const char* ident, int priority, const std::string& message) {
  openlog(ident, LOG_PID, LOG_USER);
  // The message travels as data: a "%" in it is printed, never read as a conversion.
  syslog(priority, "%s", message.c_str());
  closelog();
}

SystemLogWriter sLogWriter = &WriteToSystemLog;

}  // namespace

std::string SystemText(VornStringRecord* record) {
  string text = string::Share(record).ToUTF8();
  return std::string(text.View());
}

int SyslogPriorityForLevel(int32_t level) {
  if (level >= 1000 && level <= 1007) return level - 1000;  // LOG_EMERG ... LOG_DEBUG
  return LOG_INFO;  // Success and unknown levels
}

SystemLogWriter SetSystemLogWriter(SystemLogWriter writer) {
  SystemLogWriter old = sLogWriter;
  sLogWriter = writer ? writer : &WriteToSystemLog;
  return old;
}

void ForgetCachedCommandLine() {
  delete sCommandLine;
  sCommandLine = nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornStringRecord* SystemGetCommandLine(VornRuntimeObject*, int32_t) {
  if (!sCommandLine) {
    // Every argument, entry 0 (the executable as main left it) first, one space between
    // them and no quoting.
    std::string text;
    for (int32_t i = 0; gArgv && i < gArgc && gArgv[i]; ++i) {
      if (i > 0) text += ' ';
      text += gArgv[i];
    }
    sCommandLine = new string(text, GetSystemTextEncoding());
  }
  return sCommandLine->GetRetainedRep();
}

VornStringRecord* SystemGetEnvVariable(VornRuntimeObject*, VornStringRecord* name) {
  if (!name) return nullptr;
  const char* value = std::getenv(SystemText(name).c_str());
  if (!value || !*value) return nullptr;
  // The process's environment is the system's text: a value that is not all ASCII keeps the
  // system encoding instead of being mislabelled US-ASCII.
  const auto length = static_cast<int32_t>(std::char_traits<char>::length(value));
  const EncodingCode encoding = IsAllASCII(value, length) ? kEncodingASCII : GetSystemTextEncoding();
  return string(value, length, encoding).GetRetainedRep();
}

void SystemSetEnvVariable(VornRuntimeObject*, VornStringRecord* name, VornStringRecord* value) {
  if (!name) return;
  // A name the C library refuses (empty, or holding "=") changes nothing.
  setenv(SystemText(name).c_str(), SystemText(value).c_str(), 1);
}

void SystemDebugLogger(VornRuntimeObject*, VornStringRecord* message) {
  if (!message) return;
  std::fprintf(stderr, "%s\n", SystemText(message).c_str());
  std::fflush(stderr);
}

void SystemLogger(VornRuntimeObject*, int32_t level, VornStringRecord* message) {
  if (!message) return;
  const char* ident = gArgv && gArgc > 0 ? gArgv[0] : nullptr;
  sLogWriter(ident, SyslogPriorityForLevel(level), SystemText(message));
}

}  // extern "C"
