#include "net/debugger_lines.h"

namespace vorn {

std::string FrameDebuggerLine(std::string_view tag, std::string_view payload) {
  std::string line;
  line.reserve(tag.size() + payload.size() + 2);
  line.append(tag);
  line.push_back(' ');
  line.append(payload);
  line.push_back(kDebuggerLineEnd);
  return line;
}

DebuggerLine SplitDebuggerLine(std::string_view line) {
  size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return {line, {}};
  return {line.substr(0, blank), line.substr(blank + 1)};
}

size_t CompleteLineLength(std::string_view buffered) {
  size_t end = buffered.find(kDebuggerLineEnd);
  return end == std::string_view::npos ? 0 : end + 1;
}

string DebuggerText(std::string_view text) {
  return string(text, kEncodingUTF8);
}

}  // namespace vorn
