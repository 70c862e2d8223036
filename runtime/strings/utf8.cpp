#include "strings/utf8.h"

namespace vorn {

namespace {

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

constexpr UTF8Char kInvalidByte = {kReplacementCharacter, 1, false};

}  // namespace

UTF8Char UTF8DecodeChar(const char* text, int32_t length, int32_t offset) {
  if (!text || offset < 0 || offset >= length) return {0, 0, false};
  const auto* p = reinterpret_cast<const uint8_t*>(text) + offset;
  int32_t left = length - offset;
  uint8_t lead = p[0];
  if (lead < 0x80) return {lead, 1, true};

  int32_t size;
  uint32_t codePoint;
  uint8_t secondLow = 0x80;
  uint8_t secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) secondLow = 0xA0;   // overlong
    if (lead == 0xED) secondHigh = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
    codePoint = lead & 0x07;
    if (lead == 0xF0) secondLow = 0x90;   // overlong
    if (lead == 0xF4) secondHigh = 0x8F;  // above U+10FFFF
  } else {
    return kInvalidByte;
  }
  if (left < size) return kInvalidByte;
  if (p[1] < secondLow || p[1] > secondHigh) return kInvalidByte;
  for (int32_t i = 1; i < size; ++i) {
    if (!IsContinuation(p[i])) return kInvalidByte;
    codePoint = (codePoint << 6) | (p[i] & 0x3F);
  }
  return {codePoint, size, true};
}

int32_t UTF8NextChar(const char* text, int32_t length, int32_t offset) {
  if (offset < 0) offset = 0;
  if (offset >= length) return length < 0 ? 0 : length;
  auto byte = static_cast<uint8_t>(text[offset]);
  if (byte < 0x80) return offset + 1;
  return offset + UTF8DecodeChar(text, length, offset).size;
}

int32_t UTF8AdvanceChars(const char* text, int32_t length, int32_t offset, int32_t count) {
  if (length < 0) length = 0;
  if (offset < 0) offset = 0;
  if (offset > length) offset = length;
  while (count > 0 && offset < length) {
    offset = UTF8NextChar(text, length, offset);
    --count;
  }
  return offset;
}

int32_t EncodeUTF8(uint32_t codePoint, char* out) {
  if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
    codePoint = kReplacementCharacter;
  }
  auto* p = reinterpret_cast<unsigned char*>(out);
  if (codePoint < 0x80) {
    p[0] = static_cast<unsigned char>(codePoint);
    return 1;
  }
  if (codePoint < 0x800) {
    p[0] = static_cast<unsigned char>(0xC0 | (codePoint >> 6));
    p[1] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    return 2;
  }
  if (codePoint < 0x10000) {
    p[0] = static_cast<unsigned char>(0xE0 | (codePoint >> 12));
    p[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
    p[2] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    return 3;
  }
  p[0] = static_cast<unsigned char>(0xF0 | (codePoint >> 18));
  p[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
  p[2] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
  p[3] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
  return 4;
}

string CodePointToString(uint32_t codePoint, EncodingCode encoding) {
  char bytes[4];
  int32_t size = EncodeUTF8(codePoint, bytes);
  string utf8(bytes, size, kEncodingUTF8);
  if (encoding == kEncodingUnknown) return utf8;
  return ConvertTextEncoding(utf8, encoding);
}

}  // namespace vorn
