#include "strings/byte_reader.h"

#include <bit>
#include <cstring>

namespace vorn {

ByteReader::ByteReader(const void* data, size_t size)
    : mData(static_cast<const uint8_t*>(data)), mSize(data ? size : 0) {}

bool ByteReader::Seek(size_t position) {
  if (mFailed || position > mSize) {
    mFailed = true;
    return false;
  }
  mPosition = position;
  return true;
}

bool ByteReader::Skip(size_t count) {
  return Take(count) != nullptr || (count == 0 && !mFailed);
}

const uint8_t* ByteReader::Take(size_t count) {
  if (mFailed || count > Remaining()) {
    mFailed = true;
    return nullptr;
  }
  const uint8_t* at = mData + mPosition;
  mPosition += count;
  return at;
}

namespace {

uint64_t Assemble(const uint8_t* bytes, int count, bool bigEndian) {
  uint64_t value = 0;
  for (int i = 0; i < count; ++i) {
    uint8_t byte = bigEndian ? bytes[i] : bytes[count - 1 - i];
    value = (value << 8) | byte;
  }
  return value;
}

}  // namespace

uint8_t ByteReader::ReadU8() {
  const uint8_t* at = Take(1);
  return at ? *at : 0;
}

#define VORN_READ(type, count, big)          \
  const uint8_t* at = Take(count);           \
  return at ? static_cast<type>(Assemble(at, count, big)) : 0

uint16_t ByteReader::ReadU16BE() { VORN_READ(uint16_t, 2, true); }
uint16_t ByteReader::ReadU16LE() { VORN_READ(uint16_t, 2, false); }
uint32_t ByteReader::ReadU32BE() { VORN_READ(uint32_t, 4, true); }
uint32_t ByteReader::ReadU32LE() { VORN_READ(uint32_t, 4, false); }
uint64_t ByteReader::ReadU64BE() { VORN_READ(uint64_t, 8, true); }
uint64_t ByteReader::ReadU64LE() { VORN_READ(uint64_t, 8, false); }

#undef VORN_READ

double ByteReader::ReadDoubleBE() { return std::bit_cast<double>(ReadU64BE()); }
double ByteReader::ReadDoubleLE() { return std::bit_cast<double>(ReadU64LE()); }

bool ByteReader::ReadBytes(void* destination, size_t count) {
  const uint8_t* at = Take(count);
  if (at == nullptr) return count == 0 && !mFailed;
  if (count > 0) std::memcpy(destination, at, count);
  return true;
}

ByteWriter::ByteWriter(void* data, size_t size)
    : mData(static_cast<uint8_t*>(data)), mSize(data ? size : 0) {}

bool ByteWriter::WriteUnsigned(uint64_t value, int byteCount, bool bigEndian) {
  size_t count = static_cast<size_t>(byteCount);
  if (mFailed || count > Remaining()) {
    mFailed = true;
    return false;
  }
  uint8_t* out = mData + mPosition;
  for (int i = 0; i < byteCount; ++i) {
    int shift = bigEndian ? 8 * (byteCount - 1 - i) : 8 * i;
    out[i] = static_cast<uint8_t>(value >> shift);
  }
  mPosition += count;
  return true;
}

bool ByteWriter::WriteU8(uint8_t value) { return WriteUnsigned(value, 1, true); }
bool ByteWriter::WriteU16BE(uint16_t value) { return WriteUnsigned(value, 2, true); }
bool ByteWriter::WriteU16LE(uint16_t value) { return WriteUnsigned(value, 2, false); }
bool ByteWriter::WriteU32BE(uint32_t value) { return WriteUnsigned(value, 4, true); }
bool ByteWriter::WriteU32LE(uint32_t value) { return WriteUnsigned(value, 4, false); }
bool ByteWriter::WriteDoubleBE(double value) {
  return WriteUnsigned(std::bit_cast<uint64_t>(value), 8, true);
}
bool ByteWriter::WriteDoubleLE(double value) {
  return WriteUnsigned(std::bit_cast<uint64_t>(value), 8, false);
}

bool ByteWriter::WriteBytes(const void* source, size_t count) {
  if (mFailed || count > Remaining()) {
    mFailed = true;
    return false;
  }
  if (count > 0) std::memcpy(mData + mPosition, source, count);
  mPosition += count;
  return true;
}

}  // namespace vorn
