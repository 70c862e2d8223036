// Variants as keys: equality and a hash that agrees with it. Strings are compared the way
// string::Compare compares UTF-8 text (code points folded to upper case), after bringing both
// to UTF-8, and hashed over the same folded code points, so equal keys always hash alike
// whatever their encodings.
#include <glib.h>

#include <cmath>
#include <cstring>

#include "objects/variant_keys.h"
#include "objects/variant_scalar.h"
#include "strings/case_table.h"

namespace vorn {

namespace {

constexpr uint64_t kNumberKeySeed = 0x9e3779b97f4a7c15ull;
constexpr uint64_t kColorSeed = 0x2545f4914f6cdd1dull;
constexpr uint64_t kBooleanSeed = 0x6a09e667f3bcc909ull;

// UTF-8 text as the comparison sees it.
string ComparableText(const string& text) {
  EncodingCode encoding = text.Encoding();
  if (encoding == kEncodingUTF8) return text;
  if (encoding == kEncodingASCII && IsAllASCII(text.CString(), text.Length())) return text;
  return text.ToUTF8();
}

uint32_t NumberHash(bool integral, int64_t integer, double real) {
  if (!integral) {
    if (std::isnan(real)) return MixKeyBits(kNumberKeySeed ^ 0x7ff8000000000000ull);
    if (real == std::trunc(real) && real >= -9.2233720368547758e18 && real < 9.2233720368547758e18) {
      integer = static_cast<int64_t>(real);  // also makes -0.0 hash as 0
    } else {
      uint64_t bits;
      std::memcpy(&bits, &real, sizeof bits);
      return MixKeyBits(kNumberKeySeed ^ bits ^ 0x8000000000000000ull);
    }
  }
  return WholeNumberKeyHash(integer);
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
    return real == std::trunc(real) && real >= -9.2233720368547758e18 && real < 9.2233720368547758e18 &&
           static_cast<int64_t>(real) == whole;
  }
  return x == y;
}

}  // namespace

uint32_t FoldedTextHash(const string& source) {
  string text = ComparableText(source);
  const char* bytes = text.CString();
  int32_t length = text.Length();
  uint64_t hash = 0xcbf29ce484222325ull;
  for (int32_t i = 0; i < length;) {
    auto byte = static_cast<uint8_t>(bytes[i]);
    uint32_t folded;
    if (byte < 0x80) {
      folded = UpperCaseByte(byte);
      ++i;
    } else {
      gunichar c = g_utf8_get_char_validated(bytes + i, length - i);
      if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
        folded = 0x110000u + byte;
        ++i;
      } else {
        folded = g_unichar_toupper(c);
        i = static_cast<int32_t>(g_utf8_next_char(bytes + i) - bytes);
      }
    }
    hash = (hash ^ folded) * 0x100000001b3ull;
  }
  return MixKeyBits(hash);
}

bool TextKeysEqual(const string& a, const string& b) {
  if (a.Rep() == b.Rep()) return true;
  if (a.Encoding() == b.Encoding() && a.Length() == b.Length() &&
      std::memcmp(a.CString(), b.CString(), static_cast<size_t>(a.Length())) == 0)
    return true;
  string x = ComparableText(a), y = ComparableText(b);
  return CompareUTF8NoCase(x.CString(), x.Length(), y.CString(), y.Length()) == 0;
}

uint32_t VariantKeyHash(RuntimeObject* variant) {
  VariantScalar v = ReadVariant(variant);
  switch (v.kind) {
    case VariantKind::kNil: return 0;
    case VariantKind::kInteger:
    case VariantKind::kUInteger: return NumberHash(true, v.integer, 0);
    case VariantKind::kDouble: return NumberHash(false, 0, v.real);
    case VariantKind::kColor: return MixKeyBits(kColorSeed + static_cast<uint64_t>(v.integer));
    case VariantKind::kBoolean: return MixKeyBits(kBooleanSeed + static_cast<uint64_t>(v.integer));
    case VariantKind::kString: return FoldedTextHash(v.text);
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
