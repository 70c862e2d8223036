// The text settings panes, controls and drawing ports share, and the style bits a port keeps.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

enum TextStyleBits : uint8_t {
  kStyleBold = 1,
  kStyleItalic = 2,
  kStyleUnderline = 4,
  kStyleCondense = 8,
};

struct TextStyle {
  string mFontName;
  uint8_t mBold = 0;
  uint8_t mItalic = 0;
  uint8_t mUnderline = 0;
  int16_t mSize = 12;

  // Copies everything from other; answers 0 when nothing differed (font compared byte for
  // byte), else 1.
  int32_t Assign(const TextStyle& other);
  // bold 1 | italic 2 | underline 4; the condense bit has no place in a text style.
  uint8_t GetStyleBits() const;
  // Sets bold, italic and underline for bits 1, 2 and 4; never clears one.
  void AddStyleBits(uint8_t bits);
};

}  // namespace vorn
