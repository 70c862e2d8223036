// The language's character-counting string functions: they count characters of the string's
// own encoding (text_chars.h), not bytes. An invalid byte or unit counts as one character, and
// results keep the string's encoding.
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

}  // namespace vorn
