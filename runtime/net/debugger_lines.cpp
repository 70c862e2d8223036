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

void DebuggerLineBuffer::Add(std::string_view bytes) {
  if (!mOverlong) mBytes.append(bytes);
}

bool DebuggerLineBuffer::Next(std::string* line) {
  if (mOverlong) return false;
  size_t end = mBytes.find(kDebuggerLineEnd, mScanned);
  if (end == std::string::npos) {
    mScanned = mBytes.size();
    mOverlong = Held() > kLineLimit;
    // The taken front goes once per batch, not once per line.
    mBytes.erase(0, mStart);
    mScanned -= mStart;
    mStart = 0;
    return false;
  }
  if (end - mStart > kLineLimit) {
    mOverlong = true;
    return false;
  }
  line->assign(mBytes, mStart, end - mStart);
  mStart = mScanned = end + 1;
  return true;
}

void DebuggerLineBuffer::Clear() {
  mBytes.clear();
  mStart = mScanned = 0;
  mOverlong = false;
}

string DebuggerText(std::string_view text) {
  return string(text, kEncodingUTF8);
}

}  // namespace vorn
