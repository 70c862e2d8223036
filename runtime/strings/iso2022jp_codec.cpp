#include "strings/iso2022jp_codec.h"

#include <glib.h>
#include <iconv.h>

#include <cstring>
#include <memory>

#include "strings/system_encoding.h"
#include "strings/utf8.h"

namespace vorn {

namespace {

constexpr uint8_t kEscape = 0x1B;
constexpr int kRows = 94;  // of JIS X 0208, and characters a row, from 0x21

// Where a code point goes in writing: a JIS X 0208 pair (0x2121 to 0x7E7E), a JIS-Roman byte
// with kRomanMark, or nothing (0).
constexpr uint16_t kRomanMark = 0x8000;

// A character read, as the UTF-8 it is written as (size 0 where the bytes make none).
struct UTF8Form {
  char bytes[3];
  uint8_t size;
};

struct JISTables {
  UTF8Form roman[128] = {};            // by byte 0x21 to 0x7E
  bool asciiInRoman[128] = {};         // JIS-Roman writes this ASCII byte as itself
  UTF8Form kanji[kRows * kRows] = {};  // by pair
  uint16_t fromUnicode[0x10000] = {};  // by code point above 0x7F: where it goes
};

UTF8Form FormOf(uint32_t c) {
  UTF8Form form{};
  if (c) form.size = static_cast<uint8_t>(EncodeUTF8(c, form.bytes));
  return form;
}

// The one code point the converter reads from `bytes` without fault, or 0.
uint32_t ReadOnce(iconv_t converter, const char* bytes, size_t size) {
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes);
  unsigned char unit[8];
  char* out = reinterpret_cast<char*>(unit);
  size_t inLeft = size, outLeft = sizeof unit;
  if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return 0;
  if (sizeof unit - outLeft != 4) return 0;
  const uint32_t value = unit[0] | unit[1] << 8 | unit[2] << 16 | static_cast<uint32_t>(unit[3]) << 24;
  return value < 0x10000 ? value : 0;  // both sets lie in the first plane
}

const JISTables* MakeTables() {
  const iconv_t converter = iconv_open("UTF-32LE", "ISO-2022-JP");
  if (converter == reinterpret_cast<iconv_t>(-1)) return nullptr;
  auto tables = std::make_unique<JISTables>();
  for (int b = 0x21; b < 0x7F; ++b) {
    const char roman[4] = {'\x1B', '(', 'J', static_cast<char>(b)};
    const uint32_t c = ReadOnce(converter, roman, sizeof roman);
    tables->roman[b] = FormOf(c);
    if (c == static_cast<uint32_t>(b)) {
      tables->asciiInRoman[b] = true;
    } else if (c >= 0x80) {
      tables->fromUnicode[c] = static_cast<uint16_t>(kRomanMark | b);
    }
  }
  // The converter reads ESC $ @ and ESC $ B through one table.
  for (int first = 0; first < kRows; ++first) {
    for (int second = 0; second < kRows; ++second) {
      const char pair[5] = {'\x1B', '$', 'B', static_cast<char>(0x21 + first), static_cast<char>(0x21 + second)};
      const uint32_t c = ReadOnce(converter, pair, sizeof pair);
      tables->kanji[first * kRows + second] = FormOf(c);
      // Writing keeps to the first set that has the character; ASCII is first of all.
      if (c >= 0x80 && !tables->fromUnicode[c]) {
        tables->fromUnicode[c] = static_cast<uint16_t>((0x21 + first) << 8 | (0x21 + second));
      }
    }
  }
  iconv_close(converter);
  return tables.release();
}

const JISTables* Tables() {
  static const JISTables* const tables = MakeTables();  // made once, kept for good
  return tables;
}

// Room for a conversion's output, sized for the worst case and left unwritten: a piece's fits on
// the stack, a whole long text's takes the heap.
class Room {
 public:
  explicit Room(size_t size) : mHeap(size > sizeof mLocal ? new char[size] : nullptr) {}
  char* data() { return mHeap ? mHeap.get() : mLocal; }

 private:
  char mLocal[2048];
  std::unique_ptr<char[]> mHeap;
};

enum class JISSet : uint8_t { kASCII, kRoman, kKanji };

// The character at utf8[i], read in line when it takes three bytes and its lead byte allows
// neither an overlong form nor a surrogate (where kana and kanji are), else by UTF8DecodeChar.
inline UTF8Char ThreeByteChar(const char* utf8, int32_t length, int32_t i) {
  const auto* p = reinterpret_cast<const uint8_t*>(utf8) + i;
  const bool plain = (p[0] >= 0xE1 && p[0] <= 0xEC) || p[0] == 0xEE || p[0] == 0xEF;
  if (plain && i + 2 < length && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
    return {static_cast<uint32_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F)), 3, true};
  }
  return UTF8DecodeChar(utf8, length, i);
}

}  // namespace

int32_t UTF8FaultSize(const char* bytes, int32_t left) {
  const gunichar c = g_utf8_get_char_validated(bytes, left);
  return c < 0x110000 ? static_cast<int32_t>(g_utf8_next_char(bytes) - bytes) : 1;
}

bool DecodeISO2022JP(const char* bytes, int32_t length, string* out, int32_t* replaced) {
  const JISTables* tables = Tables();
  if (!tables) return false;
  // Three bytes of UTF-8 at most for each byte read (a pair's character, or U+FFFD for one), and
  // room for the fourth byte a character's form is copied with.
  Room room(static_cast<size_t>(length) * 3 + 4);
  char* const start = room.data();
  char* to = start;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes);
  JISSet set = JISSet::kASCII;
  for (int32_t i = 0; i < length;) {
    // Runs of ASCII, eight bytes at a time, and runs of pairs, go without looking at each byte.
    if (set == JISSet::kASCII) {
      constexpr uint64_t kOnes = 0x0101010101010101ull, kHighBits = 0x8080808080808080ull;
      for (uint64_t word; i + 8 <= length; i += 8, to += 8) {
        std::memcpy(&word, p + i, 8);
        const uint64_t escapes = word ^ (kOnes * kEscape);
        if ((word | ((escapes - kOnes) & ~escapes)) & kHighBits) break;
        std::memcpy(to, &word, 8);
      }
      while (i < length && p[i] < 0x80 && p[i] != kEscape) *to++ = static_cast<char>(p[i++]);
    } else if (set == JISSet::kKanji) {
      while (i + 1 < length) {
        const unsigned first = p[i] - 0x21u, second = p[i + 1] - 0x21u;
        if (first >= kRows || second >= kRows) break;
        const UTF8Form& form = tables->kanji[first * kRows + second];
        if (!form.size) break;
        std::memcpy(to, form.bytes, 4);
        to += form.size;
        i += 2;
      }
    }
    if (i >= length) break;
    // What the runs leave: an escape, a control character inside another set, a JIS-Roman
    // character, a fault.
    const uint8_t b = p[i];
    if (b == kEscape) {
      // The converter wants two bytes after an escape before it reads on.
      if (i + 2 >= length) goto fault;
      if (p[i + 1] == '(' && (p[i + 2] == 'B' || p[i + 2] == 'J')) {
        set = p[i + 2] == 'B' ? JISSet::kASCII : JISSet::kRoman;
        i += 3;
        continue;
      }
      if (p[i + 1] == '$' && (p[i + 2] == '@' || p[i + 2] == 'B')) {
        set = JISSet::kKanji;
        i += 3;
        continue;
      }
    }
    if (b >= 0x80) goto fault;
    if (set == JISSet::kASCII || b < 0x21 || b == 0x7F) {
      *to++ = static_cast<char>(b);
    } else if (set == JISSet::kRoman && tables->roman[b].size) {
      std::memcpy(to, tables->roman[b].bytes, 4);
      to += tables->roman[b].size;
    } else {
      goto fault;  // a JIS-Roman byte it lacks, a pair cut off or no character
    }
    ++i;
    continue;
  fault:
    // As text conversion goes on after a fault: U+FFFD for one byte, then ASCII again.
    to += EncodeUTF8(kReplacementCharacter, to);
    ++*replaced;
    ++i;
    set = JISSet::kASCII;
  }
  *out = string(start, RecordLength(to - start), kEncodingUTF8);
  return true;
}

bool EncodeISO2022JP(const char* utf8, int32_t length, string* out, int32_t* replaced) {
  const JISTables* tables = Tables();
  if (!tables) return false;
  // Four bytes at most for each byte read (an escape and a JIS-Roman byte for a two-byte
  // character, an escape and an ASCII byte for one), and the escape back to ASCII.
  Room room(static_cast<size_t>(length) * 4 + 3);
  char* const start = room.data();
  char* to = start;
  JISSet set = JISSet::kASCII;
  auto into = [&](JISSet wanted) {
    if (set == wanted) return;
    *to++ = static_cast<char>(kEscape);
    *to++ = wanted == JISSet::kKanji ? '$' : '(';
    *to++ = wanted == JISSet::kKanji ? 'B' : wanted == JISSet::kRoman ? 'J' : 'B';
    set = wanted;
  };
  auto ascii = [&](uint8_t b) {
    if (set != JISSet::kASCII && !(set == JISSet::kRoman && tables->asciiInRoman[b])) into(JISSet::kASCII);
    *to++ = static_cast<char>(b);
  };
  for (int32_t i = 0; i < length;) {
    const auto b = static_cast<uint8_t>(utf8[i]);
    if (b < 0x80) {
      ascii(b);
      ++i;
      continue;
    }
    const UTF8Char c = ThreeByteChar(utf8, length, i);
    const uint16_t code = c.valid && c.codePoint < 0x10000 ? tables->fromUnicode[c.codePoint] : 0;
    if (!code) {
      // In ASCII whatever the set, as the converter would write it after returning to its
      // initial state; a "?" inside a two-byte set would take the next byte with it.
      into(JISSet::kASCII);
      *to++ = '?';
      ++*replaced;
      i += UTF8FaultSize(utf8 + i, length - i);
      continue;
    }
    if (code & kRomanMark) {
      into(JISSet::kRoman);
      *to++ = static_cast<char>(code & 0xFF);
    } else {
      into(JISSet::kKanji);
      *to++ = static_cast<char>(code >> 8);
      *to++ = static_cast<char>(code & 0xFF);
    }
    i += c.size;
  }
  into(JISSet::kASCII);
  *out = string(start, RecordLength(to - start), kEncodingISO2022JP);
  return true;
}

}  // namespace vorn
