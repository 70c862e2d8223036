#include "graphics/system_font.h"

namespace vorn {

namespace {

string& FontName() {
  static string name("Sans");
  return name;
}

int32_t sFontSize = 10;

}  // namespace

void SetSystemFont(const string& name, int32_t size) {
  FontName() = name.IsEmpty() ? string("Sans") : name;
  sFontSize = size < 1 ? 10 : size;
}

const string& SystemFontName() { return FontName(); }
int32_t SystemFontSize() { return sFontSize; }

}  // namespace vorn
