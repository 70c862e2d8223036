// Variants as keys: equality and a hash that agrees with it.
//
// Strings are equal when the language's comparison (string::Compare) finds them equal, as far
// as that is an equivalence at all. It folds text by code point in every encoding (through the
// 8-bit table for ASCII and Latin-1, which folds as code points do), and text of two encodings in
// their common form. A key text is therefore taken in one of two forms. Text whose conversion to
// UTF-8 is exact is compared as its characters folded by code point, so that the same words in
// two encodings are one key. Any other text (bytes with no meaning in their encoding, an
// ASCII-tagged string holding bytes above 0x7f, a broken UTF-16 unit) is raw: compared by its
// encoding and its table-folded bytes, as the language compares two such texts of one encoding.
// Two raw texts of two encodings never become one key through bytes that happen to agree, and
// where the language's own answers would not make one equivalence, the keys stay apart.
// Both forms are fed to the hash as one stream of bytes, and text of two encodings is equal
// when its streams are. A single-byte encoding's text is read through a byte table made once for
// the encoding, and UTF-16, UTF-32, Shift_JIS and EUC-JP text a character at a time, so hashing
// these converts and allocates nothing.
#include <glib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "objects/variant_keys.h"
#include "objects/variant_scalar.h"
#include "strings/case_table.h"
#include "strings/char_reader.h"
#include "strings/system_encoding.h"
#include "strings/text_chars.h"
#include "strings/utf8.h"

namespace vorn {

namespace {

constexpr uint64_t kNumberKeySeed = 0x9e3779b97f4a7c15ull;
constexpr uint64_t kColorSeed = 0x2545f4914f6cdd1dull;
constexpr uint64_t kBooleanSeed = 0x6a09e667f3bcc909ull;

// Text the comparison reads as UTF-8: UTF-8 itself, and plain ASCII in any encoding holding it.
bool ReadsAsUTF8(const string& text) {
  EncodingCode encoding = text.Encoding();
  return encoding == kEncodingUTF8 || text.IsEmpty() ||
         (IsASCIICompatible(encoding) && IsAllASCII(text.CString(), text.Length()));
}

bool SameBytes(const string& a, const string& b) {
  return a.Length() == b.Length() && std::memcmp(a.CString(), b.CString(), static_cast<size_t>(a.Length())) == 0;
}

// The folded form of the character at bytes[i], handed to emit a byte at a time: ASCII upper-
// cased, another code point upper-cased and written in UTF-8, a byte that starts no valid
// character as 0xFF and itself (0xFF never occurs in UTF-8). Answers the next character's index.
template <typename Emit>
int32_t FoldCharacter(const char* bytes, int32_t length, int32_t i, Emit emit) {
  auto byte = static_cast<uint8_t>(bytes[i]);
  if (byte < 0x80) {
    emit(UpperCaseByte(byte));
    return i + 1;
  }
  gunichar c = g_utf8_get_char_validated(bytes + i, length - i);
  if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
    emit(0xff);
    emit(byte);
    return i + 1;
  }
  char folded[4];
  int32_t size = EncodeUTF8(g_unichar_toupper(c), folded);
  for (int32_t k = 0; k < size; ++k) emit(static_cast<uint8_t>(folded[k]));
  return static_cast<int32_t>(g_utf8_next_char(bytes + i) - bytes);
}

std::string FoldedUTF8(const string& text) {
  std::string folded;
  for (int32_t i = 0; i < text.Length();)
    i = FoldCharacter(text.CString(), text.Length(), i, [&](uint8_t byte) { folded += static_cast<char>(byte); });
  return folded;
}

// Eight ASCII bytes with a..z made capitals (no byte carries into the next: all are below 0x80).
uint64_t UpperCaseEight(uint64_t bytes) {
  const uint64_t fromA = bytes + 0x1f1f1f1f1f1f1f1full;   // top bit set from 'a' up
  const uint64_t pastZ = bytes + 0x0505050505050505ull;   // top bit set past 'z'
  return bytes - (((fromA & ~pastZ) & 0x8080808080808080ull) >> 2);
}

// Bytes through the 8-bit upper-case table, as the comparison folds text of one encoding.
string TableFolded(const string& text) {
  string folded(text.CString(), text.Length(), text.Encoding());
  char* bytes = folded.MutableBytes();
  for (int32_t i = 0; i < folded.Length(); ++i) bytes[i] = static_cast<char>(UpperCaseByte(static_cast<uint8_t>(bytes[i])));
  return folded;
}

// A key text as it is compared: UTF-8 folded by code point, or (raw) bytes that decide alone.
struct KeyText {
  string text;
  bool raw;
};

KeyText KeyTextOf(const string& text) {
  if (ReadsAsUTF8(text)) return {text, false};
  string utf8;
  if (ConvertsExactly(text, &utf8)) return {utf8, false};
  return {TableFolded(text), true};
}

// A Double that holds a whole number in int64_t's range (-0.0 holds 0).
bool IsWholeInt64(double real) {
  return real == std::trunc(real) && real >= -9.2233720368547758e18 && real < 9.2233720368547758e18;
}

// A whole Double hashes as that number, every NaN as one key.
uint32_t DoubleHash(double real) {
  if (std::isnan(real)) return MixKeyBits(kNumberKeySeed);
  if (IsWholeInt64(real)) return WholeNumberHash(static_cast<int64_t>(real));
  uint64_t bits;
  std::memcpy(&bits, &real, sizeof bits);
  return MixKeyBits(bits);
}

bool IsNumber(VariantKind kind) {
  return kind == VariantKind::kInteger || kind == VariantKind::kUInteger || kind == VariantKind::kDouble;
}

bool NumbersEqual(const VariantScalar& a, const VariantScalar& b) {
  bool aReal = a.kind == VariantKind::kDouble, bReal = b.kind == VariantKind::kDouble;
  if (!aReal && !bReal) return a.integer == b.integer;
  double x = aReal ? a.real : static_cast<double>(a.integer);
  double y = bReal ? b.real : static_cast<double>(b.integer);
  if (std::isnan(x) || std::isnan(y)) return std::isnan(x) && std::isnan(y);
  if (!aReal || !bReal) {
    // A whole number against a double: equal only when the double is exactly that number.
    int64_t whole = aReal ? b.integer : a.integer;
    double real = aReal ? x : y;
    return IsWholeInt64(real) && static_cast<int64_t>(real) == whole;
  }
  return x == y;
}

// A key text's bytes as hashing and equality read them: UTF-8 folded by code point (a UTF-16 or
// UTF-32 unit that starts no character as 0xFE, its scheme and size, and its bytes), or (raw)
// 0xFE 0x00, the encoding and the table-folded bytes. 0xFE starts no folded UTF-8 character, and
// the byte after it tells the forms apart. `sink` takes them as TextKeyHasher does.
template <typename Sink>
void FeedFoldedUTF8(const char* bytes, int32_t length, Sink& sink) {
  for (int32_t i = 0; i < length;) {
    uint64_t eight;
    if (sink.Aligned() && length - i >= 8 && (std::memcpy(&eight, bytes + i, 8), (eight & 0x8080808080808080ull) == 0)) {
      sink.Eight(UpperCaseEight(eight));
      i += 8;
    } else {
      i = FoldCharacter(bytes, length, i, [&](uint8_t byte) { sink.Byte(byte); });
    }
  }
}

template <typename Sink>
void FeedRaw(const string& text, Sink& sink) {
  sink.Byte(0xfe);
  sink.Byte(0x00);
  for (int k = 0; k < 4; ++k) sink.Byte(static_cast<uint8_t>(text.Encoding() >> (8 * k)));
  for (int32_t i = 0; i < text.Length(); ++i) sink.Byte(UpperCaseByte(static_cast<uint8_t>(text.CString()[i])));
}

// What each byte of a single-byte encoding makes of a key text: the folded UTF-8 of its
// character, or nothing (length 0) for a byte that makes the text raw. Converting such a text
// converts it a byte at a time, so a text is raw exactly when one of its bytes is, and its
// folded form is its bytes' folded forms in a row: a key of this encoding is read through the
// table, never converted.
struct ByteFolds {
  uint8_t length[256];
  char bytes[256][8];
};

ByteFolds MakeByteFolds(EncodingCode encoding) {
  ByteFolds folds{};
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    KeyText key = KeyTextOf(string(&byte, 1, encoding));
    std::string folded = key.raw ? std::string() : FoldedUTF8(key.text);
    if (folded.size() > sizeof folds.bytes[b]) folded.clear();
    folds.length[b] = static_cast<uint8_t>(folded.size());
    std::memcpy(folds.bytes[b], folded.data(), folded.size());
  }
  return folds;
}

const ByteFolds& ByteFoldsOf(EncodingCode encoding) {
  static std::map<EncodingCode, ByteFolds> made;
  auto found = made.find(encoding);
  if (found == made.end()) found = made.emplace(encoding, MakeByteFolds(encoding)).first;
  return found->second;
}

// Whether bytes[i] starts an ASCII unit of UTF-16 (`unit` 2) or UTF-32 (4) text, which folds
// through the table without decoding.
bool IsASCIIUnit(const char* bytes, int32_t length, int32_t i, int32_t unit) {
  if (length - i < unit || static_cast<uint8_t>(bytes[i]) >= 0x80) return false;
  for (int32_t k = 1; k < unit; ++k) {
    if (bytes[i + k] != 0) return false;
  }
  return true;
}

template <typename Sink>
void FeedKeyText(const string& text, Sink& sink) {
  const char* bytes = text.CString();
  const int32_t length = text.Length();
  if (ReadsAsUTF8(text)) return FeedFoldedUTF8(bytes, length, sink);
  const EncodingCode encoding = text.Encoding();
  const CharScheme scheme = SchemeForEncoding(encoding);
  if (scheme == CharScheme::kSingleByte && encoding != kEncodingISO2022JP) {
    const ByteFolds& folds = ByteFoldsOf(encoding);
    for (int32_t i = 0; i < length; ++i) {
      if (folds.length[static_cast<uint8_t>(bytes[i])] == 0) return FeedRaw(text, sink);
    }
    for (int32_t i = 0; i < length; ++i) {
      const auto byte = static_cast<uint8_t>(bytes[i]);
      for (uint8_t k = 0; k < folds.length[byte]; ++k) sink.Byte(static_cast<uint8_t>(folds.bytes[byte][k]));
    }
    return;
  }
  if (scheme == CharScheme::kUTF16 || scheme == CharScheme::kUTF32) {
    const int32_t unit = scheme == CharScheme::kUTF16 ? 2 : 4;
    for (int32_t i = 0; i < length;) {
      if (IsASCIIUnit(bytes, length, i, unit)) {
        sink.Byte(UpperCaseByte(static_cast<uint8_t>(bytes[i])));
        i += unit;
        continue;
      }
      const TextChar c = DecodeTextChar(bytes, length, i, scheme);
      if (!c.valid) {
        sink.Byte(0xfe);
        sink.Byte(static_cast<uint8_t>((unit == 2 ? 0xf0 : 0xf8) + c.size));
        for (int32_t k = 0; k < c.size; ++k) sink.Byte(static_cast<uint8_t>(bytes[i + k]));
        i += c.size;
        continue;
      }
      char utf8[4];
      FoldCharacter(utf8, EncodeUTF8(c.value, utf8), 0, [&](uint8_t byte) { sink.Byte(byte); });
      i += c.size;
    }
    return;
  }
  if (scheme == CharScheme::kShiftJIS || scheme == CharScheme::kEUCJP) {
    // Read in place through the encoding's tables; a text with a sequence that is no character
    // is raw, as converting it would not be exact.
    if (!AllCharactersValid(text)) return FeedRaw(text, sink);
    const CharReader reader(encoding);
    for (int32_t i = 0; i < length;) {
      const TextChar c = reader.Read(bytes, length, i);
      char utf8[4];
      FoldCharacter(utf8, EncodeUTF8(c.value, utf8), 0, [&](uint8_t byte) { sink.Byte(byte); });
      i += c.size;
    }
    return;
  }
  // ISO-2022-JP can only be read from its start through its escapes, and is rare as a key: it
  // is converted.
  KeyText key = KeyTextOf(text);
  if (key.raw) return FeedRaw(key.text, sink);  // already table-folded; folding again changes nothing
  FeedFoldedUTF8(key.text.CString(), key.text.Length(), sink);
}

// A key text's bytes collected, for equality across encodings.
struct KeyBytes {
  std::string bytes;
  void Byte(uint8_t byte) { bytes += static_cast<char>(byte); }
  static bool Aligned() { return true; }
  void Eight(uint64_t eight) {
    for (int k = 0; k < 8; ++k) Byte(static_cast<uint8_t>(eight >> (8 * k)));
  }
};

}  // namespace

uint32_t TextKeyHash(const string& text) {
  TextKeyHasher hasher;
  FeedKeyText(text, hasher);
  return hasher.Finish();
}

bool TextKeysEqual(const string& a, const string& b) {
  if (a.Rep() == b.Rep()) return true;
  if (a.Encoding() == b.Encoding() && SameBytes(a, b)) return true;
  if (ReadsAsUTF8(a) && ReadsAsUTF8(b)) return CompareUTF8NoCase(a.CString(), a.Length(), b.CString(), b.Length()) == 0;
  KeyBytes x, y;
  FeedKeyText(a, x);
  FeedKeyText(b, y);
  return x.bytes == y.bytes;
}

uint32_t VariantKeyHash(RuntimeObject* variant) {
  VariantScalar v = ReadVariant(variant);
  switch (v.kind) {
    case VariantKind::kNil: return 0;
    case VariantKind::kInteger:
    case VariantKind::kUInteger: return WholeNumberHash(v.integer);
    case VariantKind::kDouble: return DoubleHash(v.real);
    case VariantKind::kColor: return MixKeyBits(kColorSeed + static_cast<uint64_t>(v.integer));
    case VariantKind::kBoolean: return MixKeyBits(kBooleanSeed + static_cast<uint64_t>(v.integer));
    case VariantKind::kString: return TextKeyHash(v.text);
    case VariantKind::kDate:
    case VariantKind::kObject: return MixKeyBits(reinterpret_cast<uintptr_t>(variant));
  }
  return 0;
}

bool VariantKeysEqual(RuntimeObject* left, RuntimeObject* right) {
  if (left == right) return true;
  VariantScalar a = ReadVariant(left);
  VariantScalar b = ReadVariant(right);
  if (IsNumber(a.kind) && IsNumber(b.kind)) return NumbersEqual(a, b);
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case VariantKind::kNil: return true;
    case VariantKind::kColor:
    case VariantKind::kBoolean: return a.integer == b.integer;
    case VariantKind::kString: return TextKeysEqual(a.text, b.text);
    default: return false;  // objects and Dates by identity, settled above
  }
}

}  // namespace vorn

extern "C" {

int32_t VariantHash(VornRuntimeObject* variant) { return static_cast<int32_t>(vorn::KeyHash(variant)); }

uint8_t VariantEqual(VornRuntimeObject* a, VornRuntimeObject* b) { return vorn::KeysEqual(a, b) ? 1 : 0; }

}  // extern "C"
