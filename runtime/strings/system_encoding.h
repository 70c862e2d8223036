// The encoding of the system's own text (command line, 'TEXT' resources, typed keys), taken
// from the C library's current locale.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

// The encoding code of the locale's character set. The plain C/POSIX locale and character sets
// the runtime has no code for count as UTF-8: file names and desktop text on this platform are
// UTF-8, and ASCII text reads the same in it.
EncodingCode GetSystemTextEncoding();

// The encoding code for a character-set name as the C library spells it ("UTF-8",
// "ISO-8859-1", "eucJP", ...); case, "-" and "_" are ignored. kEncodingUnknown when the name
// is not one the runtime knows.
EncodingCode EncodingFromCharsetName(const char* name);

// Whether the byte starts a two-byte character in the encoding (Shift_JIS and EUC-JP; false for
// every other encoding, UTF-8 included, which is not a double-byte character set).
bool IsDoubleByteLeadByte(EncodingCode encoding, uint8_t byte);

// Whether the byte is a lead byte of the system's double-byte character set; false on systems
// with any other character set.
bool IsSystemLeadByte(uint8_t byte);

constexpr EncodingCode kEncodingLatin1 = 0x0201;
constexpr EncodingCode kEncodingWindowsLatin1 = 0x0500;
constexpr EncodingCode kEncodingShiftJIS = 0x0A01;
constexpr EncodingCode kEncodingEUCJP = 0x0920;
constexpr EncodingCode kEncodingISO2022JP = 0x0820;

}  // namespace vorn
