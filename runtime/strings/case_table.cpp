#include "strings/case_table.h"

#include <glib.h>

#include <array>

namespace vorn {

namespace {

constexpr std::array<uint8_t, 256> MakeUpperCaseTable() {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    int upper = i;
    if (i >= 'a' && i <= 'z') upper = i - 32;
    if (i >= 0xE0 && i <= 0xFE && i != 0xF7) upper = i - 32;
    table[i] = static_cast<uint8_t>(upper);
  }
  return table;
}

constexpr std::array<uint8_t, 256> kTable = MakeUpperCaseTable();

int Sign(int value) { return (value > 0) - (value < 0); }

// Decodes one UTF-8 character at text[i]; an invalid or truncated sequence yields the single
// byte, offset into a range no code point uses so that it never equals a valid character.
uint32_t NextFolded(const char* text, int32_t length, int32_t& i) {
  auto byte = static_cast<uint8_t>(text[i]);
  if (byte < 0x80) {
    ++i;
    return kTable[byte];
  }
  const gchar* start = text + i;
  gunichar c = g_utf8_get_char_validated(start, length - i);
  if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
    ++i;
    return 0x110000u + byte;
  }
  i = static_cast<int32_t>(g_utf8_next_char(start) - text);
  return g_unichar_toupper(c);
}

uint32_t NextCodePoint(const char* text, int32_t length, int32_t& i) {
  auto byte = static_cast<uint8_t>(text[i]);
  gunichar c = byte < 0x80 ? byte : g_utf8_get_char_validated(text + i, length - i);
  if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
    ++i;
    return 0x110000u + byte;
  }
  i = byte < 0x80 ? i + 1 : static_cast<int32_t>(g_utf8_next_char(text + i) - text);
  return c;
}

// The character at text[i] as CompareUnicode orders it. UTF-8 goes as CompareUTF8NoCase reads
// it; a broken UTF-16 or UTF-32 unit keeps its scheme, size and bytes above every code point.
uint64_t NextUnicodeKey(const UnicodeSpan& text, int32_t& i, bool ignoreCase) {
  if (text.scheme == CharScheme::kUTF8) {
    return ignoreCase ? NextFolded(text.bytes, text.length, i) : NextCodePoint(text.bytes, text.length, i);
  }
  const TextChar c = DecodeTextChar(text.bytes, text.length, i, text.scheme);
  if (c.valid) {
    i += c.size;
    if (!ignoreCase) return c.value;
    return c.value < 0x80 ? kTable[c.value] : g_unichar_toupper(c.value);
  }
  uint64_t bytes = 0;
  for (int32_t k = 0; k < c.size; ++k) {
    bytes |= static_cast<uint64_t>(static_cast<uint8_t>(text.bytes[i + k])) << (8 * k);
  }
  i += c.size;
  return (static_cast<uint64_t>(text.scheme) << 40) | (static_cast<uint64_t>(c.size) << 32) | bytes;
}

}  // namespace

const uint8_t kUpperCaseTable[256] = {
#define ROW(n) kTable[n], kTable[n + 1], kTable[n + 2], kTable[n + 3], kTable[n + 4], kTable[n + 5], \
               kTable[n + 6], kTable[n + 7]
    ROW(0),   ROW(8),   ROW(16),  ROW(24),  ROW(32),  ROW(40),  ROW(48),  ROW(56),
    ROW(64),  ROW(72),  ROW(80),  ROW(88),  ROW(96),  ROW(104), ROW(112), ROW(120),
    ROW(128), ROW(136), ROW(144), ROW(152), ROW(160), ROW(168), ROW(176), ROW(184),
    ROW(192), ROW(200), ROW(208), ROW(216), ROW(224), ROW(232), ROW(240), ROW(248),
#undef ROW
};

int CompareBytesNoCase(const char* a, int32_t aLength, const char* b, int32_t bLength) {
  int32_t shorter = aLength < bLength ? aLength : bLength;
  for (int32_t i = 0; i < shorter; ++i) {
    int difference = kTable[static_cast<uint8_t>(a[i])] - kTable[static_cast<uint8_t>(b[i])];
    if (difference != 0) return Sign(difference);
  }
  return Sign(aLength - bLength);
}

int CompareUTF8NoCase(const char* a, int32_t aLength, const char* b, int32_t bLength) {
  int32_t i = 0;
  int32_t j = 0;
  while (i < aLength && j < bLength) {
    uint32_t x = NextFolded(a, aLength, i);
    uint32_t y = NextFolded(b, bLength, j);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < aLength) return 1;
  if (j < bLength) return -1;
  return 0;
}

int CompareUnicode(UnicodeSpan a, UnicodeSpan b, bool ignoreCase) {
  int32_t i = 0;
  int32_t j = 0;
  while (i < a.length && j < b.length) {
    uint64_t x = NextUnicodeKey(a, i, ignoreCase);
    uint64_t y = NextUnicodeKey(b, j, ignoreCase);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.length) return 1;
  if (j < b.length) return -1;
  return 0;
}

}  // namespace vorn
