// The StyledTextPrinter: an edit field's text in its styles, laid out in lines of a given width
// and drawn block by block into a Graphics port (a printed page, usually), each block as many
// whole lines as its height holds, until the text is used up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editfield/edit_text_model.h"
#include "graphics/graphics.h"
#include "objects/object_definition.h"
#include "objects/runtime_object.h"

namespace vorn {

class StyledTextLayout {
 public:
  // `text` is UTF-8 with one style record per character (missing ones are plain).
  StyledTextLayout(std::string_view text, const std::vector<TextStyleRecord>& styles);

  // Draws the lines that follow the last one drawn, from (x, y) down, as long as a whole line
  // still fits in `height`, and one line cut to the block when not even one fits; lines break
  // between words, and inside a word wider than `width` (one character at least). Answers the
  // number of lines drawn.
  int32_t DrawBlock(Graphics* port, int32_t x, int32_t y, int32_t width, int32_t height);
  bool AtEnd() const { return mNext >= mCharacters.size(); }

 private:
  struct Line {
    size_t end;      // one past the last character drawn on the line
    size_t resume;   // where the next line starts (past the line's break)
    int32_t ascent;
    int32_t height;
  };
  Line LayOut(Graphics* port, int32_t width);
  // Sets the port's font, size, style and colour to the character's.
  void Apply(Graphics* port, size_t index);
  int32_t WidthOf(Graphics* port, size_t from, size_t to);
  bool SameStyle(size_t a, size_t b) const;

  std::vector<std::string> mCharacters;
  std::vector<TextStyleRecord> mStyles;
  size_t mNext = 0;
};

struct StyledTextPrinterObject {
  VornRuntimeObject header;
  RuntimeObject* graphics;    // held
  StyledTextLayout* layout;   // owned
  int32_t width;
};

ObjectDefinition* GetStyledTextPrinterClassDefinition();
// A new StyledTextPrinter (one reference) over the graphics object; nil for a nil one.
RuntimeObject* NewStyledTextPrinterObject(RuntimeObject* graphics, int32_t width, std::string_view text,
                                          const std::vector<TextStyleRecord>& styles);

}  // namespace vorn
