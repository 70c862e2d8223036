// Font entry points of compiled code.
#include <cstdint>

#include "windows/gtk_helper.h"

extern "C" int32_t getFontCount() { return vorn::GetFontFamilyCount(); }
