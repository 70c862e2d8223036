// Stepping over and decoding UTF-8 text held as bytes and a length.
//
// Every function reads only text[0, length). A byte that does not start a well-formed sequence
// (a stray continuation byte, an overlong form, a surrogate, a value above U+10FFFF, or a
// sequence cut off by the end of the text) counts as one character of one byte, so stepping
// always makes progress and never runs past the end.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

struct UTF8Char {
  uint32_t codePoint;  // U+FFFD for an invalid byte
  int32_t size;        // bytes taken: 1 to 4; 0 only when offset is outside the text
  bool valid;          // false for an invalid byte (size 1) or an offset outside the text
};

// The character starting at text[offset]. An offset outside [0, length) gives {0, 0, false}.
UTF8Char UTF8DecodeChar(const char* text, int32_t length, int32_t offset);

// The offset of the character after the one at `offset`: offset + its size. An offset below 0
// counts as 0; an offset at or past the end gives length.
int32_t UTF8NextChar(const char* text, int32_t length, int32_t offset);

// The offset reached by stepping over `count` characters from `offset`; stops at length.
// A count below 1 leaves the offset where it is (clamped into [0, length]).
int32_t UTF8AdvanceChars(const char* text, int32_t length, int32_t offset, int32_t count);

// Writes the UTF-8 form of a code point into out (room for 4 bytes) and answers its size. A
// surrogate or a value above U+10FFFF is written as U+FFFD.
int32_t EncodeUTF8(uint32_t codePoint, char* out);

// A one-character string holding the code point in the encoding (converted from UTF-8 when the
// encoding is another; an encoding without that character gives its substitute, "?"). A
// surrogate or a value above U+10FFFF gives U+FFFD. The unknown encoding 0xFFFF gives UTF-8.
string CodePointToString(uint32_t codePoint, EncodingCode encoding);

}  // namespace vorn
