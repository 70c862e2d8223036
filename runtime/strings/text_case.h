// Upper- and lower-case copies of a string, in the string's own encoding.
//
// UTF-8, UTF-16 and UTF-32 map each character by its simple (one-to-one) case mapping, so "ß"
// stays as it is; invalid bytes and units are copied unchanged. Single-byte encodings that the
// runtime can convert map every letter whose other case exists in the same encoding (Latin-1
// "é" <-> "É"; "ÿ" stays, its capital being outside Latin-1), and so do Shift_JIS and EUC-JP
// (full-width, Greek and Cyrillic letters as well). US-ASCII and the unknown encoding change
// ASCII letters only; ISO-2022-JP is mapped in UTF-8 and brought back. The result keeps the
// encoding; a string without anything to change comes back shared.
#pragma once

#include "strings/vstring.h"

namespace vorn {

string StringUCase(const string& s);
string StringLCase(const string& s);
// The first letter of every word upper-cased and the rest lower-cased; a word is a run of
// letters, digits and apostrophes.
string StringTitleCase(const string& s);

}  // namespace vorn
