// The thin layer through which the runtime reads the desktop's settings and talks to GTK for
// things that are not a pane's own business: system colours, held keys, key translation,
// optional GTK functions, mnemonic labels, clipboards and the screen depth. The desktop font,
// font families and descriptions are the graphics room's (graphics/gtk_fonts.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/gtk_fonts.h"
#include "graphics/text_style.h"
#include "strings/vstring.h"
#include "windows/native_types.h"

namespace vorn {

// --- start-up ------------------------------------------------------------------------------

// Once, after gtk_init: left-to-right widgets on every desktop, the desktop font, the key snooper
// and the theme's colours.
void InitGTKHelper();

// A console program may run with no display. Anything that would open a window asks this
// first: without a display it raises a RuntimeException saying so and answers true.
bool RefuseWithoutDisplay();

struct FontSetting {
  std::string_view family;
  int32_t size = 0;
};
// Splits a "gtk-font-name" value: the size is the last blank-separated word when it is a
// number, the family everything before it. Missing parts give "Sans" and 10.
FontSetting ParseFontSetting(std::string_view setting);

struct SystemColor {
  uint16_t red = 0;
  uint16_t green = 0;
  uint16_t blue = 0;
};
constexpr int32_t kSystemColorCount = 7;
// 0 selected background, 1 dark, 2 background, 3 text, 4 base, 5 active background,
// 6 insensitive foreground; any other index is black.
SystemColor GetSystemColor(int32_t index);

// --- keys ----------------------------------------------------------------------------------

// The set of keys held down now, fed by the key snooper. Keys are matched by their hardware
// code, so a key released with different modifiers than it was pressed with is still found.
void NoteKeyPressed(uint32_t hardwareCode, uint32_t keyval);
void NoteKeyReleased(uint32_t hardwareCode);
// Forgets every held key (the application lost the keyboard, releases will not arrive).
void ClearHeldKeys();
int32_t HeldKeyCount();
bool IsKeyValueHeld(uint32_t keyval);

// Key value tested for a classic Macintosh virtual key code below 128; 0 when the code has
// no key.
uint32_t MacKeyCodeToKeyValue(int32_t code);
// Codes below 128 are Macintosh key codes, others GDK key values.
bool IsMacKeyDown(int32_t code);
// The 8-bit character code passed on with each key event.
uint8_t KeyValueToCharCode(uint32_t keyval);

// --- optional GTK functions ----------------------------------------------------------------

// Library 0 is GTK, 1 GDK; each is opened once on first use. Null when missing.
void* GetOptionalGtkSymbol(int32_t library, const char* name);

// --- labels --------------------------------------------------------------------------------

// "&" mnemonics to GTK's "_": "&&" is one "&", "&x" is "_x", "_" is "__". UTF-8 result.
string ConvertMnemonicCaption(const string& caption);
void SetLabelCaption(NativeWidget label, const string& caption, const TextStyle* style);

// --- clipboards and screen -----------------------------------------------------------------

struct _GtkClipboard* GetClipboard();
struct _GtkClipboard* GetNamedClipboard(const string& name, bool create);
int32_t GetDefaultScreenDepth();

}  // namespace vorn
