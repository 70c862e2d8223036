// The on-disk layout of a database file: a 64-byte header, then 8192-byte pages of records.
// Every number is big-endian and every field is read and written byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kDbMagic = 0xFEEDDBDB;
constexpr uint32_t kDbVersion = 1;
constexpr int32_t kDbHeaderSize = 64;
constexpr int32_t kDbPageSize = 8192;
constexpr int32_t kDbPageHeaderSize = 18;
constexpr int32_t kDbDataSize = kDbPageSize - kDbPageHeaderSize;  // 8174
constexpr uint32_t kDbNoPage = 0xFFFFFFFF;

// Header word offsets.
constexpr int32_t kDbHeaderSerial = 8;
constexpr int32_t kDbHeaderOpenFlag = 12;
constexpr int32_t kDbHeaderNextId = 16;
constexpr int32_t kDbHeaderMasterRoot = 20;

// The serial of the transaction after one: records keep 24 bits of it, and 0 is what rollback
// leaves, so it is skipped.
constexpr uint32_t DbNextSerial(uint32_t serial) {
  return (serial + 1) & 0xFFFFFF ? (serial + 1) & 0xFFFFFF : 1;
}

// Page type tags.
constexpr uint32_t kDbInteriorPage = 0x0001BEEF;
constexpr uint32_t kDbMasterLeaf = 0xBEEF0002;
constexpr uint32_t kDbRowLeaf = 0xBEEF0003;

// Record status bytes.
constexpr uint8_t kDbLive = 'A';
constexpr uint8_t kDbDeleted = 'D';

// Stored column type codes.
enum DbType : uint8_t {
  kDbSmallint = 2,
  kDbInteger = 3,
  kDbVarchar = 5,
  kDbFloat = 6,
  kDbDouble = 7,
  kDbDate = 8,
  kDbTime = 9,
  kDbTimestamp = 10,
  kDbBoolean = 12,
  kDbBinary = 14,
  kDbLongVarchar = 15,
  kDbLongVarbinary = 16,
};

inline uint16_t DbGet16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
inline uint32_t DbGet32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline void DbPut16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}
inline void DbPut32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

// The sort weight of a text byte in keys.
uint8_t DbCollate(uint8_t byte);

// A tree or table name with its ASCII letters in lower case: names are compared without regard
// to case everywhere.
std::string DbFoldName(const std::string& name);

// Whether a type code has a stored form.
bool DbIsStoredType(uint32_t type);

// Bytes of a field's value (after its number and type bytes) starting at `value`, with at most
// `room` bytes available; -1 when the type is unknown or the value does not fit.
int32_t DbFieldValueLength(uint8_t type, const uint8_t* value, size_t room);

// Appends the key encoding of one stored field value (the 0x01 marker included).
bool DbAppendKeyValue(Bytes& key, uint8_t type, const uint8_t* value, size_t length);

// Unsigned bytewise comparison, a proper prefix first.
int DbCompareKeys(const uint8_t* a, size_t aLength, const uint8_t* b, size_t bLength);
inline int DbCompareKeys(const Bytes& a, const Bytes& b) {
  return DbCompareKeys(a.data(), a.size(), b.data(), b.size());
}
// Whether `key` begins with `prefix`.
bool DbKeyHasPrefix(const Bytes& key, const Bytes& prefix);

// Checks one page image read from the file: a known tag, a used count inside the data area
// and records that exactly fill it with sound lengths and fields. Empty when sound, else why.
std::string DbCheckPage(const uint8_t* page);

}  // namespace vorn
