// The typed values of every store. Bytes are laid out explicitly (little-endian unless the
// store's swap switch asks for big-endian), so files written here read back the same on any host.
#include <cstring>

#include "files/random_access_mechanism.h"

namespace vorn {

namespace {

template <int Width>
void PutBytes(uint8_t* bytes, uint64_t value, bool bigEndian) {
  for (int i = 0; i < Width; ++i) bytes[bigEndian ? Width - 1 - i : i] = static_cast<uint8_t>(value >> (8 * i));
}

template <int Width>
uint64_t GetBytes(const uint8_t* bytes, bool bigEndian) {
  uint64_t value = 0;
  for (int i = 0; i < Width; ++i) value |= uint64_t{bytes[bigEndian ? Width - 1 - i : i]} << (8 * i);
  return value;
}

}  // namespace

bool RandomAccessMechanism::WriteByte(uint8_t value) { return Write(&value, 1); }

bool RandomAccessMechanism::WriteShort(int16_t value) {
  uint8_t bytes[2];
  PutBytes<2>(bytes, static_cast<uint16_t>(value), mSwapBytes != 0);
  return Write(bytes, 2);
}

bool RandomAccessMechanism::WriteLong(int32_t value) {
  uint8_t bytes[4];
  PutBytes<4>(bytes, static_cast<uint32_t>(value), mSwapBytes != 0);
  return Write(bytes, 4);
}

bool RandomAccessMechanism::WriteDouble(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  uint8_t bytes[8];
  PutBytes<8>(bytes, bits, mSwapBytes != 0 && mSwapDoubles != 0);
  return Write(bytes, 8);
}

bool RandomAccessMechanism::ReadByte(uint8_t* value) {
  uint8_t byte;
  int32_t got = 0;
  if (!Read(&byte, 1, &got) || got != 1) return false;
  *value = byte;
  return true;
}

bool RandomAccessMechanism::ReadShort(int16_t* value) {
  uint8_t bytes[2];
  int32_t got = 0;
  if (!Read(bytes, 2, &got) || got != 2) return false;
  *value = static_cast<int16_t>(GetBytes<2>(bytes, mSwapBytes != 0));
  return true;
}

bool RandomAccessMechanism::ReadLong(int32_t* value) {
  uint8_t bytes[4];
  int32_t got = 0;
  if (!Read(bytes, 4, &got) || got != 4) return false;
  *value = static_cast<int32_t>(GetBytes<4>(bytes, mSwapBytes != 0));
  return true;
}

bool RandomAccessMechanism::ReadDouble(double* value) {
  uint8_t bytes[8];
  int32_t got = 0;
  if (!Read(bytes, 8, &got) || got != 8) return false;
  uint64_t bits = GetBytes<8>(bytes, mSwapBytes != 0 && mSwapDoubles != 0);
  std::memcpy(value, &bits, sizeof bits);
  return true;
}

}  // namespace vorn
