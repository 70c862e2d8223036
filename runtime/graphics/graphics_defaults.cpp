#include "graphics/graphics_defaults.h"

#include "graphics/graphics.h"

namespace vorn {

namespace {

RGB48 sDefaultColors[kDefaultColorCount];

TextStyle& MutableDefaultStyle() {
  static TextStyle style;
  return style;
}

string& MutableEllipsis() {
  static string ellipsis;
  return ellipsis;
}

}  // namespace

void InitGraphicsDefaults() {
  constexpr uint16_t kLight = 60948, kMid = 52428, kDark = 39336, kFull = 65535;
  const uint16_t levels[kDefaultColorCount] = {kLight, kMid, kLight, kDark, kDark, kFull};
  for (int32_t i = 0; i < kDefaultColorCount; ++i) {
    sDefaultColors[i] = RGB48{levels[i], levels[i], levels[i]};
  }
  graphicsDefaultsFlag = 0;
  TextStyle& style = MutableDefaultStyle();
  style.mFontName = string("System");
  style.mBold = style.mItalic = style.mUnderline = 0;
  style.mSize = 10;
}

void InitEllipsisString() { MutableEllipsis() = string("..."); }

RGB48 GetDefaultColor(int32_t index) {
  if (index < 0 || index >= kDefaultColorCount) return kBlack48;
  return sDefaultColors[index];
}

const TextStyle& DefaultTextStyle() { return MutableDefaultStyle(); }
const string& EllipsisString() { return MutableEllipsis(); }

}  // namespace vorn
