// The desktop font, the font families offered to the language, the logical "System" font and
// Pango descriptions built from the runtime's text styles: what drawing needs of GTK's fonts.
#pragma once

#include <cstdint>

#include "graphics/text_style.h"
#include "strings/vstring.h"

struct _GtkWidget;
struct _PangoContext;
struct _PangoFont;
struct _PangoFontDescription;

namespace vorn {

// The desktop font; "Sans" at 10 points until InitGTKHelper has read the setting.
const string& GetDefaultFontName();
int32_t GetDefaultFontSize();
// Replaces the desktop font (start-up, and tests); an empty name or a size below 1 gives
// "Sans" or 10.
void SetDefaultFont(const string& name, int32_t size);

// Creates the default font map, which sets fontconfig up on a thread of its own: called
// before the display is opened, that set-up runs beside the rest of start-up.
void StartLoadingFonts();

// A new text context of the default screen (the caller unrefs it) in the language GTK gives
// its widgets, so that drawn text and the controls' captions share one set of loaded fonts
// instead of looking each size up again in Pango's own default language.
struct _PangoContext* NewScreenTextContext();

// Family count + 1: index 0 is "System".
int32_t GetFontFamilyCount();
string GetFontFamilyName(int32_t index);
// "System" (any case) and the empty name stand for the desktop font; back, the desktop
// font's name reads "System".
string MapSystemFontName(const string& name, bool toNative);
// Pane sizes are two points larger than Pango's; sizes below 1 mean the desktop size.
int32_t ConvertPaneFontSize(int32_t size, bool toNative);

// A new description the caller frees with pango_font_description_free, for the style's font,
// size, bold and italic; a font that cannot be loaded falls back to the desktop font.
struct _PangoFontDescription* MakeFontDescription(const TextStyle& style);
void SetWidgetFont(struct _GtkWidget* widget, const TextStyle& style);
// The font's ascent and descent in Pango units, as pango_font_get_metrics gives them.
void GetFontAscentDescent(struct _PangoFont* font, int32_t* ascent, int32_t* descent);
void UnderlineLabel(struct _GtkWidget* widget);

}  // namespace vorn
