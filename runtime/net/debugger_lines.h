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

// Received text becomes runtime strings tagged UTF-8: the protocol's own text is ASCII, and
// names the peer sends (properties, classes) are compared with the program's UTF-8 names.
string DebuggerText(std::string_view text);

}  // namespace vorn
