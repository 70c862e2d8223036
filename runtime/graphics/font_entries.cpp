// Font entry points of compiled code.
#include <cstdint>

#include "objects/exceptions.h"
#include "vorn/graphics_api.h"
#include "graphics/gtk_fonts.h"

extern "C" int32_t getFontCount() { return vorn::GetFontFamilyCount(); }

extern "C" VornStringRecord* getFontName(int32_t index) {
  if (index < 0 || index >= vorn::GetFontFamilyCount()) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return vorn::GetFontFamilyName(index).GetRetainedRep();
}
