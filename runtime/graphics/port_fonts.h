// Fonts as the drawing port and the language see them: the installed families (with the
// logical "System" in front) and Pango font descriptions built from a text style.
#pragma once

#include <cstdint>

#include "graphics/text_style.h"
#include "strings/vstring.h"

struct _PangoFontDescription;

namespace vorn {

// Installed families + 1; index 0 is "System".
int32_t FontFamilyCount();
// 0 gives "System", 1 to count - 1 the families; any other index the empty string.
string FontFamilyName(int32_t index);

// "System" (any case) and the empty name stand for the desktop font; back, the desktop
// font's name reads "System".
string MapSystemFontName(const string& name, bool toNative);
// Port sizes are two points larger than Pango's; sizes below 1 mean the desktop size.
int32_t ConvertPaneFontSize(int32_t size, bool toNative);

// A new description (the caller frees it with pango_font_description_free) for the style's
// font, size, bold and italic; a font that cannot be loaded falls back to the desktop font.
_PangoFontDescription* BuildFontDescription(const TextStyle& style);

}  // namespace vorn
