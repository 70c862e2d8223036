// Characters of a string in its own encoding: how many bytes each takes and what it is.
//
// UTF-8 follows utf8.h. UTF-16 and UTF-32 are read in little-endian units (the runtime's own
// byte order for them); a surrogate pair is one character, while a lone surrogate, a value
// above U+10FFFF and a cut-off unit at the end (an odd last byte of UTF-16, the last one to
// three bytes of UTF-32) each count as one invalid character. Shift_JIS and EUC-JP take a lead
// byte with its trail bytes as one character; a lead byte without a proper trail is one invalid
// byte. Every other encoding, the unknown one included, has one character per byte.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

enum class CharScheme : uint8_t { kSingleByte, kUTF8, kUTF16, kUTF32, kShiftJIS, kEUCJP };

CharScheme SchemeForEncoding(EncodingCode encoding);

struct TextChar {
  uint32_t value;  // the code point (Unicode schemes), the byte, or the bytes of a double-byte
                   // character high byte first; for an invalid character its byte or unit
  int32_t size;    // bytes taken, at least 1 inside the text, 0 outside
  bool valid;
};

// The character at bytes[offset]; {0, 0, false} for an offset outside [0, length).
TextChar DecodeTextChar(const char* bytes, int32_t length, int32_t offset, CharScheme scheme);

inline int32_t NextCharOffset(const char* bytes, int32_t length, int32_t offset, CharScheme scheme) {
  if (scheme == CharScheme::kSingleByte) return offset < length ? offset + 1 : length;
  // The commonest characters step without a decode: a byte below 0x80 is one character in every
  // multi-byte scheme but the wide ones, and a UTF-16 unit outside the surrogates is one too.
  if (offset >= 0 && offset < length) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes) + offset;
    if (p[0] < 0x80 && scheme != CharScheme::kUTF16 && scheme != CharScheme::kUTF32) return offset + 1;
    if (scheme == CharScheme::kUTF16 && length - offset >= 2 && (p[1] < 0xD8 || p[1] > 0xDF)) return offset + 2;
  }
  TextChar c = DecodeTextChar(bytes, length, offset, scheme);
  return c.size ? offset + c.size : length;
}

// The number of characters in bytes[0, length).
int32_t CountChars(const char* bytes, int32_t length, CharScheme scheme);

// The byte offset of character `index` (0-based), or length when there are fewer characters.
int32_t OffsetOfChar(const char* bytes, int32_t length, int32_t index, CharScheme scheme);

// Appends the encoded form of a code point in a Unicode scheme to out (room for 4 bytes) and
// answers the bytes written.
int32_t EncodeCodePoint(uint32_t codePoint, CharScheme scheme, char* out);

// The likely encoding of Japanese text: ISO-2022-JP when it switches character sets with
// escapes, US-ASCII when it has no byte above 0x7F, UTF-8 when it decodes as UTF-8 without
// fault, else whichever of Shift_JIS and EUC-JP finds fewer invalid characters (EUC-JP on a tie).
EncodingCode GuessJapaneseEncoding(const char* bytes, int32_t length);

}  // namespace vorn
