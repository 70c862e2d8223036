#include "core/linker_script.h"

namespace vorn {

std::vector<std::string> LinkerScriptPieces(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> pieces;
  const size_t group = text.find("GROUP");
  if (group == std::string_view::npos) return pieces;
  const size_t open = text.find('(', group + 5);
  if (open == std::string_view::npos) return pieces;
  const size_t close = text.find(')', open + 1);
  if (close == std::string_view::npos) return pieces;
  std::string_view inside = text.substr(open, close - open);
  while (!inside.empty()) {
    const size_t blank = inside.find(' ');
    std::string_view piece = inside.substr(0, blank);
    if (!piece.empty()) pieces.emplace_back(piece);
    if (blank == std::string_view::npos) break;
    inside.remove_prefix(blank + 1);
  }
  return pieces;
}

}  // namespace vorn
