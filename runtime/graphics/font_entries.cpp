// Font entry points of compiled code.
#include <cstdint>

#include "graphics/port_fonts.h"

extern "C" int32_t getFontCount() { return vorn::FontFamilyCount(); }
