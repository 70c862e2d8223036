// Case-insensitive comparison through the runtime's 8-bit upper-case table.
#pragma once

#include <cstdint>

#include "strings/text_chars.h"

namespace vorn {

// The runtime's 8-bit upper-case table: ASCII letters and the Latin-1 letters à..þ (except
// the division sign) map to their capitals; every other byte maps to itself.
extern const uint8_t kUpperCaseTable[256];

inline uint8_t UpperCaseByte(uint8_t byte) { return kUpperCaseTable[byte]; }

// -1/0/1 comparing bytes through the table; a proper prefix sorts first.
int CompareBytesNoCase(const char* a, int32_t aLength, const char* b, int32_t bLength);

// -1/0/1 comparing UTF-8 text by upper-cased code points. Invalid bytes compare as themselves,
// so two different byte strings never compare equal through a decoding error.
int CompareUTF8NoCase(const char* a, int32_t aLength, const char* b, int32_t bLength);

// Text of UTF-8, UTF-16 or UTF-32 read in place, a character at a time.
struct UnicodeSpan {
  const char* bytes;
  int32_t length;
  CharScheme scheme;
};

// -1/0/1 comparing two texts of any of the Unicode schemes by code point, upper-cased when case is
// ignored: UTF-16 and UTF-32 text orders as its UTF-8 form does. A byte or unit that starts no
// valid character sorts after every character and equals only the same bytes in the same scheme.
int CompareUnicode(UnicodeSpan a, UnicodeSpan b, bool ignoreCase);

}  // namespace vorn
