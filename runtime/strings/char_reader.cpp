#include "strings/char_reader.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "strings/case_table.h"
#include "strings/system_encoding.h"
#include "strings/utf8.h"

namespace vorn {

// Shift_JIS and EUC-JP: the code points of single bytes above ASCII, of two bytes that make a
// character (kNotAPair where they make none, so the first stands alone), and of EUC-JP's
// three-byte characters (0x8F and two bytes from 0xA1) by their last two. Made by reading every
// sequence as text_chars.h does, so both agree on where characters start.
constexpr uint32_t kNotAPair = 0xFFFFFFFFu;

struct DoubleByteTable {
  std::array<uint32_t, 256> single;
  std::vector<uint32_t> pairs = std::vector<uint32_t>(0x10000, kNotAPair);
  std::vector<uint32_t> triples;
  std::vector<uint64_t> validPairs = std::vector<uint64_t>(0x10000 / 64);  // a bit per valid pair
};

namespace {

// The one code point the bytes stand for, when they convert to it and back unchanged.
uint32_t CodePointOf(const char* bytes, int32_t size, EncodingCode encoding) {
  string utf8;
  if (!ConvertsExactly(string(bytes, size, encoding), &utf8)) return kNoCharacterKey;
  const UTF8Char c = UTF8DecodeChar(utf8.CString(), utf8.Length(), 0);
  return c.valid && c.size == utf8.Length() ? c.codePoint : kNoCharacterKey;
}

constexpr int kFoldedKeys = 257;

std::array<uint32_t, 513> MakeSingleByteTable(EncodingCode encoding) {
  std::array<uint32_t, 513> table{};
  // Without a converter a byte stands for itself, as the 8-bit table reads it.
  const bool known = IconvNameForEncoding(encoding) != nullptr;
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    table[b] = b < 0x80 || !known ? static_cast<uint32_t>(b) : CodePointOf(&byte, 1, encoding);
    if (table[b] & kNoCharacterKey) table[b] |= static_cast<uint32_t>(b);
    table[256] |= table[b] & kNoCharacterKey;
    const bool valid = !(table[b] & kNoCharacterKey);
    table[kFoldedKeys + b] = CharReader::Key({valid ? table[b] : static_cast<uint32_t>(b), 1, valid}, true);
  }
  return table;
}

std::unique_ptr<DoubleByteTable> MakeDoubleByteTable(EncodingCode encoding) {
  auto table = std::make_unique<DoubleByteTable>();
  const CharScheme scheme = SchemeForEncoding(encoding);
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    const bool alone = DecodeTextChar(&byte, 1, 0, scheme).valid;
    table->single[b] = b < 0x80 ? static_cast<uint32_t>(b) : alone ? CodePointOf(&byte, 1, encoding) : kNoCharacterKey;
  }
  for (int lead = 0x80; lead < 0x100; ++lead) {
    for (int trail = 0; trail < 0x100; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const TextChar c = DecodeTextChar(pair, 2, 0, scheme);
      if (c.valid && c.size == 2) table->pairs[lead << 8 | trail] = CodePointOf(pair, 2, encoding);
      const uint32_t value = table->pairs[lead << 8 | trail];
      if (value != kNotAPair && !(value & kNoCharacterKey)) table->validPairs[lead << 2 | trail >> 6] |= 1ull << (trail & 63);
    }
  }
  if (scheme == CharScheme::kEUCJP) {
    table->triples.assign(0x10000, kNoCharacterKey);
    for (int first = 0xA1; first <= 0xFE; ++first) {
      for (int second = 0xA1; second <= 0xFE; ++second) {
        const char triple[3] = {'\x8F', static_cast<char>(first), static_cast<char>(second)};
        table->triples[first << 8 | second] = CodePointOf(triple, 3, encoding);
      }
    }
  }
  return table;
}

// Made once per encoding and kept for good: readers hand out pointers into them. Each thread
// remembers the last one it asked for, so that comparing many texts of one encoding takes no lock.
template <typename Table, typename Make>
const Table* Once(EncodingCode encoding, Make make) {
  thread_local EncodingCode lastEncoding = kEncodingUnknown;
  thread_local const Table* last = nullptr;
  if (last && lastEncoding == encoding) return last;
  static std::mutex lock;
  static auto* made = new std::map<EncodingCode, std::unique_ptr<Table>>();
  std::lock_guard<std::mutex> hold(lock);
  auto& table = (*made)[encoding];
  if (!table) table = make(encoding);
  lastEncoding = encoding;
  last = table.get();
  return last;
}

const uint32_t* SingleByteTable(EncodingCode encoding) {
  return Once<std::array<uint32_t, 513>>(encoding, [](EncodingCode e) {
           return std::make_unique<std::array<uint32_t, 513>>(MakeSingleByteTable(e));
         })->data();
}

uint32_t Unit16(const char* p) { return static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8; }

// The first offset where the texts differ (the shorter one's length when one starts the other).
int32_t SamePrefix(const char* a, int32_t aLength, const char* b, int32_t bLength) {
  const int32_t shorter = std::min(aLength, bLength);
  int32_t i = 0;
  // memcmp runs through equal blocks faster than any loop here.
  constexpr int32_t kBlock = 4096;
  while (i + kBlock <= shorter && std::memcmp(a + i, b + i, kBlock) == 0) i += kBlock;
  for (; i + 8 <= shorter; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) break;
  }
  while (i < shorter && a[i] == b[i]) ++i;
  return i;
}

// A character start of both texts at or before `same`, where they still agree: a whole unit, and
// the high surrogate before it, which may pair with it in either text.
int32_t UnicodeCharStart(const char* a, int32_t same, CharScheme scheme) {
  const int32_t unit = scheme == CharScheme::kUTF16 ? 2 : 4;
  int32_t start = same - same % unit;
  if (scheme == CharScheme::kUTF16 && start >= 2) {
    const uint32_t before = Unit16(a + start - 2);
    if (before >= 0xD800 && before <= 0xDBFF) start -= 2;
  }
  return start;
}

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

CharReader::CharReader(EncodingCode encoding) : mScheme(SchemeForEncoding(encoding)) {
  if (mScheme == CharScheme::kSingleByte) {
    mSingle = SingleByteTable(encoding);
  } else if (mScheme == CharScheme::kShiftJIS || mScheme == CharScheme::kEUCJP) {
    mDouble = Once<DoubleByteTable>(encoding, MakeDoubleByteTable);
  }
}

TextChar CharReader::ReadSlowly(const char* bytes, int32_t length, int32_t i) const {
  if (!mDouble) return DecodeTextChar(bytes, length, i, mScheme);
  const auto* p = reinterpret_cast<const uint8_t*>(bytes) + i;
  const int32_t left = length - i;
  const uint32_t lead = p[0];
  if (lead < 0x80) return {lead, 1, true};
  auto isTrail = [](uint8_t b) { return b >= 0xA1 && b <= 0xFE; };
  if (mDouble->triples.empty() || lead != 0x8F) {
    const uint32_t value = left >= 2 ? mDouble->pairs[lead << 8 | p[1]] : kNotAPair;
    if (value != kNotAPair) {
      if (value & kNoCharacterKey) return {lead << 8 | p[1], 2, false};
      return {value, 2, true};
    }
  } else if (left >= 3 && isTrail(p[1]) && isTrail(p[2])) {
    const uint32_t value = mDouble->triples[p[1] << 8 | p[2]];
    if (value & kNoCharacterKey) return {0x8F0000u | p[1] << 8 | p[2], 3, false};
    return {value, 3, true};
  }
  const uint32_t value = mDouble->single[lead];
  if (value & kNoCharacterKey) return {lead, 1, false};
  return {value, 1, true};
}

uint32_t CharReader::Key(const TextChar& c, bool ignoreCase) {
  if (!c.valid) return kNoCharacterKey | c.value;
  if (!ignoreCase) return c.value;
  return c.value < 0x80 ? kUpperCaseTable[c.value] : g_unichar_toupper(c.value);
}

namespace {

}  // namespace

// Most Shift_JIS and EUC-JP characters are ASCII or valid pairs, told without reading them.
int32_t CharReader::QuickValidSize(const char* bytes, int32_t length, int32_t i) const {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes);
  if (p[i] < 0x80) return 1;
  if (i + 1 >= length) return 0;
  const uint32_t pair = p[i] << 8 | p[i + 1];
  return mDouble->validPairs[pair >> 6] >> (pair & 63) & 1 ? 2 : 0;
}

bool CharReader::ValidFrom(const char* bytes, int32_t length, int32_t from) const {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes);
  if (mDouble) {
    for (int32_t i = from; i < length;) {
      const int32_t size = QuickValidSize(bytes, length, i);
      if (size) {
        i += size;
        continue;
      }
      const TextChar c = Read(bytes, length, i);
      if (!c.valid) return false;
      i += c.size;
    }
    return true;
  }
  for (int32_t i = from; i < length;) {
    if (p[i] < 0x80 && mScheme != CharScheme::kUTF16 && mScheme != CharScheme::kUTF32) {
      ++i;
      continue;
    }
    const TextChar c = Read(bytes, length, i);
    if (!c.valid) return false;
    i += c.size;
  }
  return true;
}

namespace {

uint32_t FoldedASCII(uint8_t byte, bool ignoreCase) { return ignoreCase ? kUpperCaseTable[byte] : byte; }

// UTF-16 from a character start of both texts: a unit at a time while no surrogate comes.
int CompareUTF16(const char* x, int32_t n, const char* y, int32_t m, int32_t i, bool ignoreCase) {
  auto isSurrogate = [](uint32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; };
  for (; i + 2 <= n && i + 2 <= m; i += 2) {
    const uint32_t u = Unit16(x + i), v = Unit16(y + i);
    if (isSurrogate(u) || isSurrogate(v)) break;
    if (u == v) continue;
    const uint32_t k = u < 0x80 ? FoldedASCII(static_cast<uint8_t>(u), ignoreCase) : ignoreCase ? g_unichar_toupper(u) : u;
    const uint32_t l = v < 0x80 ? FoldedASCII(static_cast<uint8_t>(v), ignoreCase) : ignoreCase ? g_unichar_toupper(v) : v;
    if (k != l) return k < l ? -1 : 1;
  }
  return CompareUnicode({x + i, n - i, CharScheme::kUTF16}, {y + i, m - i, CharScheme::kUTF16}, ignoreCase);
}

int CompareDoubleByte(const CharReader& reader, const char* x, int32_t n, const char* y, int32_t m, int32_t same,
                      bool ignoreCase, bool* sawInvalid) {
  bool invalid = false;
  int32_t i = 0;
  // A character is skipped when every byte its reading looks at (three at most) lies in the
  // part both texts share.
  while (i + 3 <= same) {
    const int32_t size = reader.QuickValidSize(x, n, i);
    if (size) {
      i += size;
      continue;
    }
    const TextChar c = reader.Read(x, n, i);
    invalid |= !c.valid;
    i += c.size;
  }
  int32_t j = i;
  int result = 0;
  while (i < n && j < m) {
    const auto p = static_cast<uint8_t>(x[i]), q = static_cast<uint8_t>(y[j]);
    if (p < 0x80 && q < 0x80) {
      const uint32_t k = FoldedASCII(p, ignoreCase), l = FoldedASCII(q, ignoreCase);
      if (k != l) {
        result = k < l ? -1 : 1;
        break;
      }
      ++i, ++j;
      continue;
    }
    const TextChar c = reader.Read(x, n, i), d = reader.Read(y, m, j);
    invalid |= !c.valid || !d.valid;
    const uint32_t k = CharReader::Key(c, ignoreCase), l = CharReader::Key(d, ignoreCase);
    if (k != l) {
      result = k < l ? -1 : 1;
      break;
    }
    i += c.size;
    j += d.size;
  }
  if (result == 0) result = (i < n) - (j < m);
  if (sawInvalid) *sawInvalid = invalid || !reader.ValidFrom(x, n, i) || !reader.ValidFrom(y, m, j);
  return result;
}

}  // namespace

bool AllCharactersValid(const string& text) {
  const CharReader reader(text.Encoding());
  if (reader.EveryByteValid()) return true;
  const char* bytes = text.CString();
  const int32_t length = text.Length();
  if (reader.mSingle) {
    for (int32_t i = 0; i < length; ++i) {
      if (reader.mSingle[static_cast<uint8_t>(bytes[i])] & kNoCharacterKey) return false;
    }
    return true;
  }
  return reader.ValidFrom(bytes, length, 0);
}

int CompareInEncoding(const string& a, const string& b, bool ignoreCase, bool* sawInvalid) {
  const char* x = a.CString();
  const char* y = b.CString();
  const int32_t n = a.Length(), m = b.Length();
  const CharReader reader(a.Encoding());
  const CharScheme scheme = reader.Scheme();
  if (sawInvalid) *sawInvalid = false;
  if (scheme == CharScheme::kUTF8) {
    if (sawInvalid) *sawInvalid = !AllCharactersValid(a) || !AllCharactersValid(b);
    if (ignoreCase) return CompareUTF8NoCase(x, n, y, m);
    const int result = std::memcmp(x, y, static_cast<size_t>(std::min(n, m)));
    return result != 0 ? Sign(result) : Sign(n - m);
  }
  // Equal bytes are equal characters: only what follows the first difference is read.
  const int32_t same = SamePrefix(x, n, y, m);
  if (scheme == CharScheme::kUTF16 || scheme == CharScheme::kUTF32) {
    if (sawInvalid) *sawInvalid = !AllCharactersValid(a) || !AllCharactersValid(b);
    const int32_t start = UnicodeCharStart(x, same, scheme);
    if (scheme == CharScheme::kUTF16) return CompareUTF16(x, n, y, m, start, ignoreCase);
    return CompareUnicode({x + start, n - start, scheme}, {y + start, m - start, scheme}, ignoreCase);
  }
  if (scheme != CharScheme::kSingleByte) return CompareDoubleByte(reader, x, n, y, m, same, ignoreCase, sawInvalid);
  if (sawInvalid) *sawInvalid = !reader.EveryByteValid() && (!AllCharactersValid(a) || !AllCharactersValid(b));
  const uint32_t* keys = reader.mSingle + (ignoreCase ? kFoldedKeys : 0);
  int32_t i = same;
  for (; i < n && i < m; ++i) {
    const uint32_t k = keys[static_cast<uint8_t>(x[i])], l = keys[static_cast<uint8_t>(y[i])];
    if (k != l) return k < l ? -1 : 1;
  }
  return (i < n) - (i < m);
}

bool HasShiftStates(EncodingCode encoding) { return encoding == kEncodingISO2022JP; }

string ReadableForm(const string& text) {
  return HasShiftStates(text.Encoding()) ? ConvertTextEncoding(text, kEncodingUTF8) : text;
}

string InEncodingOf(const string& result, const string& text) {
  const EncodingCode target = text.Encoding();
  if (result.Encoding() == target || result.IsEmpty()) return result;
  int32_t replaced = 0;
  string back = ConvertTextEncoding(result, target, &replaced);
  // The converter writes every character it takes into ISO-2022-JP so that it reads back as
  // itself, but for an escape character, which reads back as the start of an escape.
  if (HasShiftStates(target) && back.Encoding() == target && replaced == 0 &&
      !std::memchr(result.CString(), 0x1B, static_cast<size_t>(result.Length()))) {
    return back;
  }
  if (back.Encoding() != target || ConvertTextEncoding(back, result.Encoding()).View() != result.View()) return result;
  return back;
}

}  // namespace vorn
