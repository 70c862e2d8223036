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

// Shift_JIS and EUC-JP: the code points of single bytes above ASCII, two-byte characters by their
// two bytes, and EUC-JP's three-byte characters (0x8F and two bytes) by their last two.
struct DoubleByteTable {
  std::array<uint32_t, 256> single;
  std::vector<uint32_t> pairs = std::vector<uint32_t>(0x10000, kNoCharacterKey);
  std::vector<uint32_t> triples;
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
    table->single[b] = b < 0x80 ? static_cast<uint32_t>(b) : CodePointOf(&byte, 1, encoding);
  }
  for (int lead = 0x80; lead < 0x100; ++lead) {
    for (int trail = 0x40; trail < 0x100; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const TextChar c = DecodeTextChar(pair, 2, 0, scheme);
      if (c.valid && c.size == 2) table->pairs[lead << 8 | trail] = CodePointOf(pair, 2, encoding);
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
  TextChar c = DecodeTextChar(bytes, length, i, mScheme);
  if (!mDouble || !c.valid) return c;
  uint32_t value;
  if (c.size == 1) value = mDouble->single[c.value & 0xFF];
  else if (c.size == 2) value = mDouble->pairs[c.value & 0xFFFF];
  else value = mDouble->triples[c.value & 0xFFFF];
  if (value & kNoCharacterKey) return {c.value, c.size, false};
  return {value, c.size, true};
}

uint32_t CharReader::Key(const TextChar& c, bool ignoreCase) {
  if (!c.valid) return kNoCharacterKey | c.value;
  if (!ignoreCase) return c.value;
  return c.value < 0x80 ? kUpperCaseTable[c.value] : g_unichar_toupper(c.value);
}

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
  for (int32_t i = 0; i < length;) {
    const TextChar c = reader.Read(bytes, length, i);
    if (!c.valid) return false;
    i += c.size;
  }
  return true;
}

int CompareInEncoding(const string& a, const string& b, bool ignoreCase, bool* sawInvalid) {
  const char* x = a.CString();
  const char* y = b.CString();
  const int32_t n = a.Length(), m = b.Length();
  const CharReader reader(a.Encoding());
  const CharScheme scheme = reader.Scheme();
  if (sawInvalid) *sawInvalid = !reader.EveryByteValid() && (!AllCharactersValid(a) || !AllCharactersValid(b));
  if (scheme == CharScheme::kUTF8) {
    if (ignoreCase) return CompareUTF8NoCase(x, n, y, m);
    const int result = std::memcmp(x, y, static_cast<size_t>(std::min(n, m)));
    return result != 0 ? Sign(result) : Sign(n - m);
  }
  // Equal bytes are equal characters: only what follows the first difference is read.
  const int32_t same = SamePrefix(x, n, y, m);
  if (scheme == CharScheme::kUTF16 || scheme == CharScheme::kUTF32) {
    const int32_t start = UnicodeCharStart(x, same, scheme);
    return CompareUnicode({x + start, n - start, scheme}, {y + start, m - start, scheme}, ignoreCase);
  }
  int32_t i = 0;
  if (scheme == CharScheme::kSingleByte) {
    const uint32_t* keys = reader.mSingle + (ignoreCase ? kFoldedKeys : 0);
    for (i = same; i < n && i < m; ++i) {
      const uint32_t k = keys[static_cast<uint8_t>(x[i])], l = keys[static_cast<uint8_t>(y[i])];
      if (k != l) return k < l ? -1 : 1;
    }
    return (i < n) - (i < m);
  } else {
    // A double-byte character is skipped when every byte its reading looks at (three at most)
    // lies in the part both texts share.
    while (i + 3 <= same) i += reader.Read(x, n, i).size;
  }
  int32_t j = i;
  while (i < n && j < m) {
    const TextChar c = reader.Read(x, n, i), d = reader.Read(y, m, j);
    const uint32_t k = CharReader::Key(c, ignoreCase), l = CharReader::Key(d, ignoreCase);
    if (k != l) return k < l ? -1 : 1;
    i += c.size;
    j += d.size;
  }
  return (i < n) - (j < m);
}

bool HasShiftStates(EncodingCode encoding) { return encoding == kEncodingISO2022JP; }

string ReadableForm(const string& text) {
  return HasShiftStates(text.Encoding()) ? ConvertTextEncoding(text, kEncodingUTF8) : text;
}

string InEncodingOf(const string& result, const string& text) {
  const EncodingCode target = text.Encoding();
  if (result.Encoding() == target || result.IsEmpty()) return result;
  string back = ConvertTextEncoding(result, target);
  if (back.Encoding() != target || ConvertTextEncoding(back, result.Encoding()).View() != result.View()) return result;
  return back;
}

}  // namespace vorn
