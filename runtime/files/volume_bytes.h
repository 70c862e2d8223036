// Byte-level coding of the numbers a volume file holds. Every field is laid out byte by byte in
// an explicit order, so a volume written on one host reads the same on any other.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace vorn {

inline void PutUInt32(uint8_t* bytes, uint32_t value, bool bigEndian) {
  for (int i = 0; i < 4; ++i) bytes[bigEndian ? 3 - i : i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t GetUInt32(const uint8_t* bytes, bool bigEndian) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= uint32_t{bytes[bigEndian ? 3 - i : i]} << (8 * i);
  return value;
}

inline void PutUInt16(uint8_t* bytes, uint16_t value, bool bigEndian) {
  bytes[bigEndian ? 1 : 0] = static_cast<uint8_t>(value);
  bytes[bigEndian ? 0 : 1] = static_cast<uint8_t>(value >> 8);
}

inline uint16_t GetUInt16(const uint8_t* bytes, bool bigEndian) {
  return static_cast<uint16_t>(bytes[bigEndian ? 1 : 0] | (bytes[bigEndian ? 0 : 1] << 8));
}

inline void PutDouble(uint8_t* bytes, double value, bool bigEndian) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i) bytes[bigEndian ? 7 - i : i] = static_cast<uint8_t>(bits >> (8 * i));
}

inline double GetDouble(const uint8_t* bytes, bool bigEndian) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= uint64_t{bytes[bigEndian ? 7 - i : i]} << (8 * i);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// A stored double that must count whole bytes: true and the count when it is a whole number
// from 0 to `limit`; false for fractions, negatives, infinities and not-a-number.
inline bool WholeByteCount(double value, int64_t limit, int64_t* count) {
  if (!(value >= 0.0) || value > static_cast<double>(limit) || std::floor(value) != value) return false;
  *count = static_cast<int64_t>(value);
  return true;
}

// Four-character codes: the volume keeps them with the first character in the high byte; the
// folder-item layer keeps the characters in text order in memory.
inline uint32_t TextOrderFromHighFirst(uint32_t code) {
  uint8_t bytes[4];
  PutUInt32(bytes, code, true);
  return GetUInt32(bytes, false);
}

inline uint32_t HighFirstFromTextOrder(uint32_t code) {
  uint8_t bytes[4];
  PutUInt32(bytes, code, false);
  return GetUInt32(bytes, true);
}

}  // namespace vorn
