// Fuzzes the reading of linker scripts found where a soft-declared library was expected: the
// pieces named between "GROUP (" and ")". Parsing only; nothing is loaded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/linker_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t total = 0;
  for (const std::string& piece : vorn::LinkerScriptPieces(text)) {
    // Every piece is a non-empty run of the text without blanks.
    if (piece.empty() || piece.find(' ') != std::string::npos || text.find(piece) == std::string_view::npos)
      __builtin_trap();
    total += piece.size();
  }
  if (total > size) __builtin_trap();
  return 0;
}
