// NUL-terminated C text.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

// Makes destination a copy of the text tagged US-ASCII; nil gives the empty string.
void StringFromCString(string& destination, const char* text);

// -1, 0 or 1 comparing unsigned bytes; a proper prefix sorts first. Nil sorts before any text
// (the empty text included) and two nils are equal.
int CStringCompare(const char* a, const char* b);

// The same through the runtime's upper-case table (ASCII letters and the Latin-1 letters).
int CStringCompareNoCase(const char* a, const char* b);

// The length in bytes. Callers must not pass nil; nil answers 0 rather than crash.
int32_t CStringLength(const char* text);

// Copies the text with its NUL to destination, which must have room (there is no bound); nil
// as the source copies the empty text, nil as the destination copies nothing. Answers
// destination.
char* CStringCopy(char* destination, const char* source);

}  // namespace vorn
