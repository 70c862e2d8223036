// The language's character-counting string functions: they count characters of the string's
// own encoding (text_chars.h; ISO-2022-JP's in UTF-8), not bytes. An invalid byte or unit counts
// as one character, and results keep the string's encoding.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

// The number of characters.
int32_t StringDBCSLen(const string& s);

// The first n characters; the whole string when n >= its character count, empty when n < 1.
string StringDBCSLeft(const string& s, int32_t n);

// The last n characters; the whole string when n >= its character count, empty when n < 1.
string StringDBCSRight(const string& s, int32_t n);

// The characters from the 1-based character position start to the end; a start below 1
// counts as 1, a start past the last character gives the empty string.
string StringDBCSMid2(const string& s, int32_t start);

// At most count characters from the 1-based character position start (below 1 counts as 1);
// empty when count < 1 or start is past the last character.
string StringDBCSMid3(const string& s, int32_t start, int32_t count);
// InStr by characters: the 1-based character position of the first occurrence (found as
// StringInStr finds it) at or after the character position start, 0 when absent.
int32_t StringDBCSInStr(int32_t start, const string& text, const string& pattern);
// The language's Asc: the first character's value in the string's encoding (its code point in
// a Unicode encoding and in ISO-2022-JP, its byte or double-byte value otherwise, the byte of an
// invalid one);
// 0 for the empty string.
uint32_t StringAscValue(const string& s);
}  // namespace vorn
