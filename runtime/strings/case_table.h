// Case-insensitive comparison through the runtime's 8-bit upper-case table.
#pragma once

#include <cstdint>

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

}  // namespace vorn
