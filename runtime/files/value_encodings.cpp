// Strings, lines and compact integers on any store: the forms the volume engine, the database
// and the file-type list keep on disk.
#include <algorithm>
#include <string>

#include "files/random_access_mechanism.h"

namespace vorn {

namespace {

constexpr int32_t kMaxPStringLength = 255;
constexpr int32_t kMaxCompactBytes = 5;
constexpr uint32_t kMinIntMagnitude = 0x80000000u;

}  // namespace

bool RandomAccessMechanism::WritePString(const string& text) {
  int32_t length = std::min(text.Length(), kMaxPStringLength);
  uint8_t bytes[1 + kMaxPStringLength];
  bytes[0] = static_cast<uint8_t>(length);
  std::copy_n(text.CString(), length, bytes + 1);
  return Write(bytes, length + 1);
}

bool RandomAccessMechanism::ReadPString(string* text) {
  *text = string();
  uint8_t length = 0;
  if (!ReadByte(&length)) return false;
  if (length == 0) return true;
  uint8_t bytes[kMaxPStringLength];
  int32_t got = 0;
  bool ok = Read(bytes, length, &got);
  // Bytes that never arrived are not invented: the text is cut where the store ended.
  *text = string(bytes, got, kEncodingUnknown);
  return ok;
}

bool RandomAccessMechanism::WriteLine(const string& text) {
  std::string bytes(text.View());
  bytes.push_back('\n');
  return Write(bytes.data(), static_cast<int32_t>(bytes.size()));
}

bool RandomAccessMechanism::WriteCompactInteger(int32_t value) {
  bool negative = value < 0 && value != INT32_MIN;
  uint32_t magnitude = negative ? static_cast<uint32_t>(-value) : static_cast<uint32_t>(value);
  uint8_t bytes[kMaxCompactBytes];
  int32_t count = 0;
  bytes[count++] = static_cast<uint8_t>((magnitude & 0x3F) | (negative ? 0x40 : 0) | ((magnitude >> 6) ? 0x80 : 0));
  for (int shift = 6; shift <= 27 && (magnitude >> shift) != 0; shift += 7) {
    uint64_t rest = uint64_t{magnitude} >> (shift + 7);
    bytes[count++] = static_cast<uint8_t>(((magnitude >> shift) & 0x7F) | (rest ? 0x80 : 0));
  }
  return Write(bytes, count);
}

bool RandomAccessMechanism::ReadCompactInteger(int32_t* value) {
  uint8_t byte = 0;
  if (!ReadByte(&byte)) return false;
  bool negative = (byte & 0x40) != 0;
  uint64_t magnitude = byte & 0x3F;
  int shift = 6;
  for (int32_t read = 1; byte & 0x80; ++read) {
    // The writer never makes more than five bytes; a longer run is damage, not a number.
    if (read == kMaxCompactBytes || !ReadByte(&byte)) return false;
    magnitude |= uint64_t{byte & 0x7Fu} << shift;
    shift += 7;
  }
  if (magnitude > kMinIntMagnitude) return false;
  if (magnitude == kMinIntMagnitude) {
    *value = INT32_MIN;
  } else {
    auto m = static_cast<int32_t>(magnitude);
    *value = negative ? -m : m;
  }
  return true;
}

}  // namespace vorn
