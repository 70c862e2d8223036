// Libraries named by a linker script: a text file that stands where a shared library is
// expected and names the real files in "GROUP ( ... )".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// At most this many bytes of a script are read.
constexpr size_t kLinkerScriptReadLimit = 10240;

// The blank-separated pieces between the "(" that follows "GROUP" and the next ")", in order;
// the first piece is "(" itself when a blank follows it. Empty when "GROUP", the "(" after it
// or the ")" after that is missing. The text ends at its first NUL byte.
std::vector<std::string> LinkerScriptPieces(std::string_view text);

}  // namespace vorn
