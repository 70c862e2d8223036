// Styled text files: a styled field is saved as Rich Text (the subset that carries what a field
// keeps per character: bold, italic, underline, font, size and colour) so that word processors
// open it too, and read back from Rich Text that any program wrote, keeping what it understands
// and skipping the rest.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editfield/edit_text_model.h"

namespace vorn {

// Whether the bytes start as a Rich Text file does.
bool LooksLikeRTF(std::string_view data);

// `text` is UTF-8 with one record per character (records past the text are ignored; missing
// ones are plain). A record without a font takes "System", without a size 12 points.
std::string WriteStyledTextRTF(std::string_view text, const std::vector<TextStyleRecord>& records);

struct StyledTextFile {
  std::string text;                     // UTF-8
  std::vector<TextStyleRecord> styles;  // one per character of text
};

// False (and `error` says why) for a file cut short or damaged: an unbalanced group, nesting
// deeper than any writer needs, or data that is no Rich Text. Nothing is returned then.
bool ReadStyledTextRTF(std::string_view data, StyledTextFile* file, std::string* error);

}  // namespace vorn
