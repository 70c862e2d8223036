#include "strings/percent_coding.h"

#include <string>

namespace vorn {

namespace {

bool IsUnreserved(uint8_t byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
         byte == '-' || byte == '_' || byte == '.';
}

int HexValue(uint8_t byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  return -1;
}

}  // namespace

string PercentEncode(const string& s) {
  static const char kHex[] = "0123456789ABCDEF";
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.CString());
  std::string out;
  out.reserve(static_cast<size_t>(s.Length()) * 3);
  for (int32_t i = 0; i < s.Length(); ++i) {
    uint8_t byte = bytes[i];
    if (IsUnreserved(byte)) {
      out.push_back(static_cast<char>(byte));
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    }
  }
  return string(out, kEncodingASCII);
}

string PercentDecode(const string& s, EncodingCode encoding) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.CString());
  int32_t length = s.Length();
  std::string out;
  out.reserve(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i) {
    if (bytes[i] == '%' && i + 2 < length && HexValue(bytes[i + 1]) >= 0 && HexValue(bytes[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(bytes[i + 1]) * 16 + HexValue(bytes[i + 2])));
      i += 2;
    } else {
      out.push_back(static_cast<char>(bytes[i]));
    }
  }
  return string(out, encoding);
}

}  // namespace vorn
