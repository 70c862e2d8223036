// ISO-2022-JP read into UTF-8 and written from it without the system converter, byte for byte as
// text conversion (text_encoding.cpp) has it do so: a long text's readable form and every piece
// cut from it are converted at the cost of a table look-up a character. Every conversion to or
// from ISO-2022-JP goes through these two, other encodings by way of UTF-8.
//
// The character tables are read once, the first time they are needed, from the system converter
// itself: ASCII, JIS-Roman (ESC ( J) and JIS X 0208 (ESC $ @ and ESC $ B), the sets it reads in
// ISO-2022-JP. Any other escape is no escape: its ESC is a control character, as the converter
// reads it.
//
// Reading: a byte that makes no character (above 0x7F, an unknown or cut-off pair, an escape cut
// off by the end) becomes U+FFFD and reading goes on after that one byte, in ASCII. Control
// characters read as themselves in every set.
// Writing: each character stays in the current set when that has it, else takes the first of
// ASCII, JIS-Roman and JIS X 0208 that does (control characters, DEL and the blank are ASCII's
// alone); the text ends in ASCII. A character none has, and a byte that is no UTF-8, is written
// as "?" in ASCII, escaping back to it first, never inside another set.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

// ISO-2022-JP bytes as UTF-8 text, adding to `replaced` the bytes read as U+FFFD. False, leaving
// `out` alone, when the system converter has no ISO-2022-JP to make the tables from.
bool DecodeISO2022JP(const char* bytes, int32_t length, string* out, int32_t* replaced);

// UTF-8 bytes as ISO-2022-JP text, adding to `replaced` the characters written as "?". False as
// above.
bool EncodeISO2022JP(const char* utf8, int32_t length, string* out, int32_t* replaced);

// How many bytes of UTF-8 a converter skips after a fault at `bytes`: a whole character that is
// well formed (the target lacks it), a single byte of a broken sequence.
int32_t UTF8FaultSize(const char* bytes, int32_t left);

}  // namespace vorn
