#include "files/unix_path_text.h"

namespace vorn {

std::string PathBytes(const string& text) {
  if (IsASCIICompatible(text.Encoding())) return std::string(text.View());
  return std::string(text.ToUTF8().View());
}

string PathString(std::string_view bytes, EncodingCode encoding) {
  // The system's names are UTF-8; an ASCII tag on other bytes would have them replaced by "?"
  // at the first conversion.
  if (encoding == kEncodingASCII && !IsAllASCII(bytes.data(), static_cast<int32_t>(bytes.size())))
    encoding = kEncodingUTF8;
  return string(bytes, encoding);
}

EncodingCode JoinedPathEncoding(const string& base, const string& added) {
  EncodingCode baseEncoding = base.Encoding();
  if (baseEncoding == kEncodingASCII && !added.IsEmpty()) {
    return IsASCIICompatible(added.Encoding()) ? added.Encoding() : kEncodingUTF8;
  }
  return IsASCIICompatible(baseEncoding) ? baseEncoding : kEncodingUTF8;
}

bool HasNulByte(std::string_view bytes) { return bytes.find('\0') != std::string_view::npos; }

std::string_view LastPathComponent(std::string_view path) {
  if (!path.empty() && path.back() == '/') path.remove_suffix(1);
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace vorn
