#include "graphics/text_style.h"

namespace vorn {

int32_t TextStyle::Assign(const TextStyle& other) {
  if (mFontName.CompareBinary(other.mFontName) == 0 && mSize == other.mSize &&
      mBold == other.mBold && mItalic == other.mItalic && mUnderline == other.mUnderline) {
    return 0;
  }
  mFontName = other.mFontName;
  mSize = other.mSize;
  mBold = other.mBold;
  mItalic = other.mItalic;
  mUnderline = other.mUnderline;
  return 1;
}

uint8_t TextStyle::GetStyleBits() const {
  uint8_t bits = 0;
  if (mBold) bits |= kStyleBold;
  if (mItalic) bits |= kStyleItalic;
  if (mUnderline) bits |= kStyleUnderline;
  return bits;
}

void TextStyle::AddStyleBits(uint8_t bits) {
  if (bits & kStyleBold) mBold = 1;
  if (bits & kStyleItalic) mItalic = 1;
  if (bits & kStyleUnderline) mUnderline = 1;
}

}  // namespace vorn
