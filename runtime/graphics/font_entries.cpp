// Font entry points of compiled code.
#include <cstdint>

#include "vorn/desktop_api.h"
#include "windows/gtk_helper.h"

extern "C" int32_t getFontCount() { return vorn::GetFontFamilyCount(); }

// Index 0 is "System"; an index outside gives the empty string.
extern "C" VornStringRecord* getFontName(int32_t index) {
  return vorn::GetFontFamilyName(index).GetRetainedRep();
}
