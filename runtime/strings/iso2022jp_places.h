// Places between the characters of ISO-2022-JP text that reads without a fault (every escape
// known or a control character, every pair a character), so that a piece of it is cut from its
// own bytes rather than written again from its readable form. The sets are those the reader
// knows: ASCII, JIS-Roman (ESC ( J) and JIS X 0208 (ESC $ @ or ESC $ B).
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

enum class ShiftSet : uint8_t { kASCII, kRoman, kKanji };

// The end of a character (or the text's start) and the set in force there; the escapes before
// the next character are read with it.
struct ShiftPlace {
  int32_t offset = 0;
  ShiftSet set = ShiftSet::kASCII;
};

// The place `chars` characters on, or the text's end (without the escapes after the last one).
ShiftPlace StepShifted(const char* bytes, int32_t length, ShiftPlace place, int32_t chars);

// The characters between two places as ISO-2022-JP text of its own: what the set at the first
// character needs, its bytes, and the escape back to ASCII when the last leaves another set.
string CutShifted(const char* bytes, int32_t length, ShiftPlace from, ShiftPlace to);

}  // namespace vorn
