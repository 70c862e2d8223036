// What both debugger transports share: the report of a missing socket and the bytes of a
// message.
#pragma once

#include <cstdint>
#include <string>

#include "net/debugger_lines.h"
#include "strings/runtime_error.h"
#include "strings/vstring.h"

namespace vorn {

inline constexpr const char* kDebuggerConnectionSource = "../Common/Debugger/DebuggerConnection";

inline void ReportMissingDebuggerSocket(int32_t line, const char* condition) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kDebuggerConnectionSource, line, condition, "");
}

inline std::string DebuggerLineBytes(const string& line) {
  std::string bytes(line.View());
  bytes.push_back(kDebuggerLineEnd);
  return bytes;
}

inline std::string DebuggerMessageBytes(const string& tag, const string& payload) {
  return FrameDebuggerLine(tag.View(), payload.View());
}

}  // namespace vorn
