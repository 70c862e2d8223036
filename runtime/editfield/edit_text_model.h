// The arithmetic of an edit field that needs no widget: character counts of UTF-8 text, the
// clamping of selections, which range a typed key replaces, how appending trims a limited
// text, and which Edit menu items a field enables.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "strings/vstring.h"

namespace vorn {

// Characters in UTF-8 text; a byte that starts no valid sequence counts as one character.
int32_t UTF8CharacterCount(std::string_view text);
// Byte offset of character `index` (clamped to 0 and the end).
int32_t UTF8ByteOffsetOfCharacter(std::string_view text, int32_t index);

// A selection as start and end character offsets, start <= end.
struct EditSelection {
  int32_t start = 0;
  int32_t end = 0;
  int32_t Length() const { return end - start; }
};

// Both ends inside 0 ... textLength, and the end not before the start. Widgets read negative
// offsets as "the end", so they never see one.
EditSelection ClampSelection(int32_t start, int32_t end, int32_t textLength);

// What a key typed into a field does to the text before the widget applies it.
struct KeyEdit {
  bool passOn = false;  // a control code the widget handles without asking anyone
  int32_t start = 0;    // the range the key replaces
  int32_t length = 0;
  string text;          // what it types there (UTF-8; empty for deletions)
};
// Backspace and Delete with nothing selected widen the range to the character before or at
// the insertion point; other codes below 32 pass on; codes from 32 type their character
// (Latin-1 code points above 127 become their UTF-8 form).
KeyEdit KeyEditFor(int32_t code, int32_t selStart, int32_t selLength);

// One character of a key code as a string: US-ASCII below 128, UTF-8 above.
string KeyCharacterString(int32_t code);

// Appending `appendLength` characters to a text of `textLength` with a selection and a limit
// (0: none).
struct AppendPlan {
  int32_t dropFromText = 0;    // characters deleted from the start of the text
  int32_t dropFromAppend = 0;  // characters of the appended text left out (it alone exceeds the limit)
  bool restoreSelection = false;
  int32_t selStart = 0;  // the selection to restore, when restoreSelection
  int32_t selLength = 0;
};
AppendPlan PlanAppend(int32_t textLength, int32_t selStart, int32_t selLength, int32_t limit,
                      int32_t appendLength);

enum class EditMenuItem : int32_t { kNone = -1, kCut, kCopy, kClear, kPaste, kSelectAll };

// The item a menu-item name stands for ("EditCut" ... "EditSelectAll", letter case ignored).
EditMenuItem EditMenuItemFromName(const string& name);
const char* EditMenuItemName(EditMenuItem item);

struct EditMenuState {
  bool hasSelection = false;
  bool password = false;
  bool readOnly = false;
  bool clipboardHasText = false;
};
// Copy and Cut never from a password field; nothing that changes the text in a read-only one.
bool EditMenuItemEnabled(EditMenuItem item, const EditMenuState& state);

// Display line of a wrapped view at buffer y, every line as high as the one measured; 0 when
// the measured height is not positive.
int32_t DisplayLineAt(int32_t y, int32_t lineHeight);

// TextStyleData of a text whose characters all have one font and size and no other style:
// the font is written with the first character unless it is "System" (sizes beyond one byte
// are written as 127).
string PlainTextStyleData(int32_t characters, const string& font, int32_t size);

// One character's record of TextStyleData.
struct TextStyleRecord {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  string font;            // runtime name; "" while no font has been read
  bool hasColor = false;  // written only when not black
  uint32_t color = 0;     // &h00RRGGBB
  int32_t size = 0;       // points
};
// A font is written where it differs from the one before ("System" before the first); a
// name past 127 bytes is cut at a character boundary, a size past 127 is written as 127.
string WriteTextStyleData(const std::vector<TextStyleRecord>& records);
// At most `characters` records; reading stops at a record cut short. A record without a font
// keeps the one before it.
std::vector<TextStyleRecord> ReadTextStyleData(std::string_view data, int32_t characters);

// 16-bit colour records of edit panes from and to &h00RRGGBB (components divided by 257).
uint32_t ColorFromComponents(uint16_t red, uint16_t green, uint16_t blue);

}  // namespace vorn
