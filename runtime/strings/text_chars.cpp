#include "strings/text_chars.h"

#include "strings/system_encoding.h"
#include "strings/utf8.h"

namespace vorn {

namespace {

uint32_t ReadUnit16(const uint8_t* p) { return p[0] | (p[1] << 8); }

uint32_t ReadUnit32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

TextChar DecodeUTF16(const uint8_t* p, int32_t left) {
  if (left < 2) return {p[0], 1, false};
  uint32_t unit = ReadUnit16(p);
  if (unit < 0xD800 || unit > 0xDFFF) return {unit, 2, true};
  if (unit <= 0xDBFF && left >= 4) {
    uint32_t low = ReadUnit16(p + 2);
    if (low >= 0xDC00 && low <= 0xDFFF) return {0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), 4, true};
  }
  return {unit, 2, false};
}

TextChar DecodeUTF32(const uint8_t* p, int32_t left) {
  if (left < 4) return {p[0], left, false};
  uint32_t value = ReadUnit32(p);
  bool valid = value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
  return {value, 4, valid};
}

TextChar DecodeShiftJIS(const uint8_t* p, int32_t left) {
  if (!IsDoubleByteLeadByte(kEncodingShiftJIS, p[0])) return {p[0], 1, true};
  if (left >= 2 && p[1] >= 0x40 && p[1] <= 0xFC && p[1] != 0x7F) {
    return {static_cast<uint32_t>(p[0] << 8 | p[1]), 2, true};
  }
  return {p[0], 1, false};
}

TextChar DecodeEUCJP(const uint8_t* p, int32_t left) {
  auto isTrail = [](uint8_t b) { return b >= 0xA1 && b <= 0xFE; };
  uint8_t lead = p[0];
  if (lead < 0x80) return {lead, 1, true};
  if (lead == 0x8E && left >= 2 && p[1] >= 0xA1 && p[1] <= 0xDF) return {0x8E00u | p[1], 2, true};
  if (lead == 0x8F && left >= 3 && isTrail(p[1]) && isTrail(p[2])) {
    return {0x8F0000u | (p[1] << 8) | p[2], 3, true};
  }
  if (isTrail(lead) && left >= 2 && isTrail(p[1])) return {static_cast<uint32_t>(lead << 8 | p[1]), 2, true};
  return {lead, 1, false};
}

}  // namespace

CharScheme SchemeForEncoding(EncodingCode encoding) {
  switch (encoding) {
    case kEncodingUTF8: return CharScheme::kUTF8;
    case kEncodingUTF16: return CharScheme::kUTF16;
    case kEncodingUTF32: return CharScheme::kUTF32;
    case kEncodingShiftJIS: return CharScheme::kShiftJIS;
    case kEncodingEUCJP: return CharScheme::kEUCJP;
    default: return CharScheme::kSingleByte;
  }
}

TextChar DecodeTextChar(const char* bytes, int32_t length, int32_t offset, CharScheme scheme) {
  if (!bytes || offset < 0 || offset >= length) return {0, 0, false};
  const auto* p = reinterpret_cast<const uint8_t*>(bytes) + offset;
  int32_t left = length - offset;
  switch (scheme) {
    case CharScheme::kSingleByte: return {p[0], 1, true};
    case CharScheme::kUTF8: {
      UTF8Char c = UTF8DecodeChar(bytes, length, offset);
      return {c.valid ? c.codePoint : p[0], c.size, c.valid};
    }
    case CharScheme::kUTF16: return DecodeUTF16(p, left);
    case CharScheme::kUTF32: return DecodeUTF32(p, left);
    case CharScheme::kShiftJIS: return DecodeShiftJIS(p, left);
    case CharScheme::kEUCJP: return DecodeEUCJP(p, left);
  }
  return {p[0], 1, false};
}

int32_t CountChars(const char* bytes, int32_t length, CharScheme scheme) {
  if (length <= 0) return 0;
  if (scheme == CharScheme::kSingleByte) return length;
  int32_t count = 0;
  if (scheme == CharScheme::kUTF8) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes);
    for (int32_t i = 0; i < length; ++count) {
      i = p[i] < 0x80 ? i + 1 : UTF8NextChar(bytes, length, i);
    }
    return count;
  }
  for (int32_t i = 0; i < length; ++count) i = NextCharOffset(bytes, length, i, scheme);
  return count;
}

int32_t OffsetOfChar(const char* bytes, int32_t length, int32_t index, CharScheme scheme) {
  if (length <= 0 || index <= 0) return 0;
  if (scheme == CharScheme::kSingleByte) return index < length ? index : length;
  int32_t offset = 0;
  while (index > 0 && offset < length) {
    offset = NextCharOffset(bytes, length, offset, scheme);
    --index;
  }
  return offset;
}

int32_t EncodeCodePoint(uint32_t codePoint, CharScheme scheme, char* out) {
  auto* p = reinterpret_cast<unsigned char*>(out);
  if (scheme == CharScheme::kUTF16) {
    if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
      uint32_t v = codePoint - 0x10000;
      uint32_t high = 0xD800 + (v >> 10);
      uint32_t low = 0xDC00 + (v & 0x3FF);
      p[0] = high & 0xFF, p[1] = high >> 8, p[2] = low & 0xFF, p[3] = low >> 8;
      return 4;
    }
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = kReplacementCharacter;
    p[0] = codePoint & 0xFF, p[1] = (codePoint >> 8) & 0xFF;
    return 2;
  }
  if (scheme == CharScheme::kUTF32) {
    for (int i = 0; i < 4; ++i) p[i] = (codePoint >> (8 * i)) & 0xFF;
    return 4;
  }
  return EncodeUTF8(codePoint, out);
}

namespace {

int32_t InvalidChars(const char* bytes, int32_t length, CharScheme scheme) {
  int32_t invalid = 0;
  for (int32_t i = 0; i < length;) {
    TextChar c = DecodeTextChar(bytes, length, i, scheme);
    invalid += c.valid ? 0 : 1;
    i += c.size;
  }
  return invalid;
}

}  // namespace

EncodingCode GuessJapaneseEncoding(const char* bytes, int32_t length) {
  bool high = false;
  for (int32_t i = 0; i < length; ++i) {
    auto b = static_cast<uint8_t>(bytes[i]);
    // ISO-2022-JP switches character sets with ESC $ @, ESC $ B and ESC ( J.
    if (b == 0x1B && i + 2 < length &&
        ((bytes[i + 1] == '$' && (bytes[i + 2] == '@' || bytes[i + 2] == 'B')) ||
         (bytes[i + 1] == '(' && bytes[i + 2] == 'J'))) {
      return kEncodingISO2022JP;
    }
    high |= b >= 0x80;
  }
  if (!high) return kEncodingASCII;
  int32_t utf8 = InvalidChars(bytes, length, CharScheme::kUTF8);
  if (utf8 == 0) return kEncodingUTF8;
  // Both double-byte encodings often decode EUC-JP text without fault, while Shift_JIS text
  // rarely passes as EUC-JP: a tie goes to EUC-JP.
  int32_t euc = InvalidChars(bytes, length, CharScheme::kEUCJP);
  int32_t sjis = InvalidChars(bytes, length, CharScheme::kShiftJIS);
  return sjis < euc ? kEncodingShiftJIS : kEncodingEUCJP;
}

}  // namespace vorn
