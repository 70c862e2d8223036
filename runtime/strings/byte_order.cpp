#include "strings/byte_order.h"

#include <bit>
#include <cstring>

namespace vorn {

namespace {

const uint8_t* Bytes(const void* p) { return static_cast<const uint8_t*>(p); }
uint8_t* Bytes(void* p) { return static_cast<uint8_t*>(p); }

}  // namespace

int16_t SwapBytesShort(int16_t value) {
  uint16_t u = static_cast<uint16_t>(value);
  return static_cast<int16_t>(static_cast<uint16_t>((u << 8) | (u >> 8)));
}

int16_t SwapBytes16(int16_t value) { return SwapBytesShort(value); }

int32_t SwapBytesLong(int32_t value) {
  return static_cast<int32_t>(SwapBytes32(static_cast<uint32_t>(value)));
}

uint32_t SwapBytes32(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

double SwapBytesDouble(double value) {
  uint64_t bits = std::bit_cast<uint64_t>(value);
  uint64_t swapped = 0;
  for (int i = 0; i < 8; ++i) {
    swapped = (swapped << 8) | (bits & 0xFF);
    bits >>= 8;
  }
  return std::bit_cast<double>(swapped);
}

void ReverseBytes(void* bytes, int32_t count) {
  if (bytes == nullptr || count < 2) return;
  uint8_t* low = Bytes(bytes);
  uint8_t* high = low + count - 1;
  while (low < high) {
    uint8_t t = *low;
    *low++ = *high;
    *high-- = t;
  }
}

void CopyBytesReversed(void* destination, const void* source, int32_t count) {
  if (destination == nullptr || source == nullptr || count < 1) return;
  uint8_t* out = Bytes(destination);
  const uint8_t* in = Bytes(source);
  for (int32_t i = 0; i < count; ++i) out[i] = in[count - 1 - i];
}

void PutSwapped16(void* destination, uint16_t value) {
  uint8_t* out = Bytes(destination);
  out[0] = static_cast<uint8_t>(value >> 8);
  out[1] = static_cast<uint8_t>(value);
}

void PutSwapped32(void* destination, uint32_t value) {
  uint8_t* out = Bytes(destination);
  out[0] = static_cast<uint8_t>(value >> 24);
  out[1] = static_cast<uint8_t>(value >> 16);
  out[2] = static_cast<uint8_t>(value >> 8);
  out[3] = static_cast<uint8_t>(value);
}

uint16_t GetSwapped16(const void* source) {
  const uint8_t* in = Bytes(source);
  return static_cast<uint16_t>((in[0] << 8) | in[1]);
}

uint32_t GetSwapped32(const void* source) { return BigEndianBytesToUInt32(source); }

double GetSwappedDouble(const void* source) {
  const uint8_t* in = Bytes(source);
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = (bits << 8) | in[i];
  return std::bit_cast<double>(bits);
}

void PutSwappedDouble(void* destination, double value) {
  uint64_t bits = std::bit_cast<uint64_t>(value);
  uint8_t* out = Bytes(destination);
  for (int i = 7; i >= 0; --i) {
    out[i] = static_cast<uint8_t>(bits);
    bits >>= 8;
  }
}

uint32_t BigEndianBytesToUInt32(const void* bytes) {
  const uint8_t* in = Bytes(bytes);
  return (uint32_t{in[0]} << 24) | (uint32_t{in[1]} << 16) | (uint32_t{in[2]} << 8) | in[3];
}

uint16_t LittleEndianBytesToUInt16(const void* bytes) {
  const uint8_t* in = Bytes(bytes);
  return static_cast<uint16_t>(in[0] | (in[1] << 8));
}

string UInt16ToLittleEndianString(uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  return string(bytes, 2, kEncodingUnknown);
}

string UInt32ToBigEndianString(uint32_t value) {
  uint8_t bytes[4];
  PutSwapped32(bytes, value);
  return string(bytes, 4, kEncodingUnknown);
}

}  // namespace vorn
