#include "files/support/volume_test.h"

#include <cstring>

namespace vorn::testing {

std::string VolumeTest::Bytes(RandomAccessMechanism& store) {
  int32_t length = store.GetLength();
  std::string bytes(static_cast<size_t>(length), '\0');
  store.SetPosition(0);
  int32_t got = 0;
  if (length > 0) store.Read(bytes.data(), length, &got);
  bytes.resize(static_cast<size_t>(got));
  return bytes;
}

void VolumeTest::SetBytes(FileHandle& store, const std::string& bytes) {
  store.SetLength(0);
  store.SetPosition(0);
  store.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  store.SetPosition(0);
}

void VolumeTest::Patch(FileHandle& store, int64_t offset, const std::string& bytes) {
  store.SetPosition(static_cast<int32_t>(offset));
  store.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
}

uint32_t VolumeTest::BigLong(const std::string& bytes, int64_t offset) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes.at(static_cast<size_t>(offset + i)));
  return value;
}

static double DoubleFrom(const std::string& bytes, int64_t offset, bool bigEndian) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) {
    auto byte = static_cast<uint8_t>(bytes.at(static_cast<size_t>(offset + (bigEndian ? i : 7 - i))));
    bits = bits << 8 | byte;
  }
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

double VolumeTest::BigDouble(const std::string& bytes, int64_t offset) { return DoubleFrom(bytes, offset, true); }

double VolumeTest::LittleDouble(const std::string& bytes, int64_t offset) { return DoubleFrom(bytes, offset, false); }

std::string VolumeTest::BigLongBytes(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
  return bytes;
}

std::string VolumeTest::BigDoubleBytes(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  std::string bytes(8, '\0');
  for (int i = 0; i < 8; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(bits >> (56 - 8 * i));
  return bytes;
}

}  // namespace vorn::testing
