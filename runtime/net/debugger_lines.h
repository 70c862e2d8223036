// The framing of debugger messages: one line each, a tag, one blank, the payload and a
// carriage return. No line feed is sent or expected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "strings/vstring.h"

namespace vorn {

constexpr char kDebuggerLineEnd = '\r';

// The text of one message (the blank is sent even when the payload is empty).
std::string FrameDebuggerLine(std::string_view tag, std::string_view payload);

// One received line without its carriage return: the tag is the text before the first blank
// (the whole line without one), the payload everything after that blank, inner blanks kept.
struct DebuggerLine {
  std::string_view tag;
  std::string_view payload;
};
DebuggerLine SplitDebuggerLine(std::string_view line);

// The length of the first complete line of buffered text, carriage return included; 0 while
// the text holds none.
size_t CompleteLineLength(std::string_view buffered);

// Received bytes waiting to become lines. Each byte is searched for the line end once and the
// consumed front is dropped in bulk, so a line that arrives in many pieces costs time in
// proportion to its length; a line longer than the limit is refused.
class DebuggerLineBuffer {
 public:
  static constexpr size_t kLineLimit = size_t{4} << 20;

  void Add(std::string_view bytes);
  // The next complete line without its carriage return; false when none is complete or the
  // text holds a line past the limit (Overlong() then answers true).
  bool Next(std::string* line);
  bool Overlong() const { return mOverlong; }
  void Clear();
  size_t Held() const { return mBytes.size() - mStart; }

 private:
  std::string mBytes;
  size_t mStart = 0;    // first byte of the line not yet taken
  size_t mScanned = 0;  // bytes before this hold no line end past mStart
  bool mOverlong = false;
};

// Received text becomes runtime strings tagged UTF-8: the protocol's own text is ASCII, and
// names the peer sends (properties, classes) are compared with the program's UTF-8 names.
string DebuggerText(std::string_view text);

}  // namespace vorn
