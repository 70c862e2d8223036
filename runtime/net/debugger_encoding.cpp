#include "net/debugger_encoding.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vorn {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// The value of an upper-case hexadecimal digit, or -1.
int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendByte(std::string* out, uint8_t byte) {
  out->push_back(kDigits[byte >> 4]);
  out->push_back(kDigits[byte & 0xF]);
}

string ASCIIText(const std::string& text) { return string(text, kEncodingASCII); }

// Stores `value` in n bytes, least significant first, as the decoders produce it.
void StoreLittleEndian(uint64_t value, uint8_t* bytes, int32_t n) {
  for (int32_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t LoadLittleEndian(const uint8_t* bytes, int32_t n) {
  uint64_t value = 0;
  for (int32_t i = n; i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

string HexEncodeBytes(const void* value, int32_t n) {
  if (!value || n < 1) return string();
  const auto* bytes = static_cast<const uint8_t*>(value);
  std::string out;
  out.reserve(2 * static_cast<size_t>(n));
  for (int32_t i = n; i-- > 0;) AppendByte(&out, bytes[i]);
  return ASCIIText(out);
}

DebugTextProblem HexDecodeBytes(std::string_view text, void* destination, int32_t n) {
  if (!destination || n < 1) return text.empty() ? DebugTextProblem::kNone : DebugTextProblem::kWrongLength;
  auto* bytes = static_cast<uint8_t*>(destination);
  size_t wanted = 2 * static_cast<size_t>(n);
  DebugTextProblem problem = text.size() == wanted ? DebugTextProblem::kNone : DebugTextProblem::kWrongLength;
  if (text.size() > wanted) text.remove_prefix(text.size() - wanted);
  // Digit k of the wanted 2n sits at text[k - missing]; the missing ones are leading zeros.
  size_t missing = wanted - text.size();
  for (const char c : text) {
    if (DigitValue(c) < 0) problem = DebugTextProblem::kNotHexDigit;
  }
  for (size_t k = 0; k < wanted; k += 2) {
    int high = k >= missing ? std::max(DigitValue(text[k - missing]), 0) : 0;
    int low = k + 1 >= missing ? std::max(DigitValue(text[k + 1 - missing]), 0) : 0;
    // The text is most significant first; memory takes the last pair first.
    bytes[(wanted - k) / 2 - 1] = static_cast<uint8_t>((high << 4) | low);
  }
  return problem;
}

string HexEncode8(uint8_t value) { return HexEncode64(value).Right(2); }
string HexEncode16(uint16_t value) { return HexEncode64(value).Right(4); }
string HexEncode32(uint32_t value) { return HexEncode64(value).Right(8); }

string HexEncode64(uint64_t value) {
  uint8_t bytes[8];
  StoreLittleEndian(value, bytes, 8);
  return HexEncodeBytes(bytes, 8);
}

uint32_t HexDecode32(std::string_view text, DebugTextProblem* problem) {
  uint8_t bytes[4];
  DebugTextProblem found = HexDecodeBytes(text, bytes, 4);
  if (problem) *problem = found;
  return static_cast<uint32_t>(LoadLittleEndian(bytes, 4));
}

uint64_t HexDecode64(std::string_view text, DebugTextProblem* problem) {
  uint8_t bytes[8];
  DebugTextProblem found = HexDecodeBytes(text, bytes, 8);
  if (problem) *problem = found;
  return LoadLittleEndian(bytes, 8);
}

string HexEncodeAddress(uint64_t address) {
  return address > 0xFFFFFFFFu ? HexEncode64(address) : HexEncode32(static_cast<uint32_t>(address));
}

string EncodeDebugString(const string& text) {
  std::string out = HexEncode32(text.Encoding()).CString();
  out.push_back(':');
  out.reserve(out.size() + 2 * static_cast<size_t>(text.Length()));
  for (int32_t i = 0; i < text.Length(); ++i) AppendByte(&out, text.Byte(i));
  return ASCIIText(out);
}

string DecodeDebugString(std::string_view text, DebugTextProblem* problem) {
  DebugTextProblem found = DebugTextProblem::kNone;
  size_t colon = text.find(':');
  std::string_view digits;
  EncodingCode encoding = kEncodingASCII;
  if (colon == std::string_view::npos) {
    found = DebugTextProblem::kMissingColon;
  } else {
    encoding = HexDecode32(text.substr(0, colon), &found);
    digits = text.substr(colon + 1);
  }
  size_t count = (digits.size() + 1) / 2;
  std::string bytes(count, '\0');
  for (size_t i = 0; i < digits.size(); ++i) {
    int value = DigitValue(digits[i]);
    if (value < 0) {
      if (found == DebugTextProblem::kNone) found = DebugTextProblem::kNotHexDigit;
      value = 0;
    }
    // An odd final digit is the high digit of the last byte.
    bytes[i / 2] = static_cast<char>(bytes[i / 2] | (i % 2 == 0 ? value << 4 : value));
  }
  if (found == DebugTextProblem::kNone && digits.size() % 2 != 0) found = DebugTextProblem::kWrongLength;
  if (problem) *problem = found;
  if (count == 0) return string();
  if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;
  return string(bytes.data(), static_cast<int32_t>(count), encoding);
}

}  // namespace vorn
