#include "database/db_format.h"

#include <algorithm>
#include <cstring>

namespace vorn {
namespace {

// Upper case sorts just before its lower case; accented letters sit beside their base letter.
constexpr uint8_t kCollation[256] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,
    0x20, 0x22, 0x23, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36,
    0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46,
    0x47, 0x48, 0x58, 0x5A, 0x5E, 0x60, 0x6A, 0x6E, 0x70, 0x72, 0x7D, 0x7F, 0x81, 0x83, 0x85, 0x89,
    0x99, 0x9B, 0x9D, 0x9F, 0xA2, 0xA4, 0xAE, 0xB0, 0xB2, 0xB4, 0xB8, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE,
    0xBF, 0x4F, 0x59, 0x5C, 0x5F, 0x65, 0x6B, 0x6F, 0x71, 0x77, 0x7E, 0x80, 0x82, 0x84, 0x87, 0x90,
    0x9A, 0x9C, 0x9E, 0xA0, 0xA3, 0xA9, 0xAF, 0xB1, 0xB3, 0xB5, 0xB9, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4,
    0x4C, 0x4E, 0x5B, 0x61, 0x86, 0x8D, 0xA8, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x5D, 0x66, 0x67,
    0x68, 0x69, 0x79, 0x7A, 0x7B, 0x7C, 0x88, 0x91, 0x92, 0x93, 0x94, 0x95, 0xAA, 0xAB, 0xAC, 0xAD,
    0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xA1, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0x56, 0x8F,
    0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0x57, 0x96,
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0x24, 0x25, 0xE7, 0x21, 0x4A, 0x4D, 0x8E, 0x97, 0x98,
    0xE8, 0xE9, 0x26, 0x27, 0x2D, 0x2E, 0xEA, 0xEB, 0xB6, 0xB7, 0xEC, 0xED, 0xEE, 0xEF, 0x6C, 0x6D,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0x4B, 0x63, 0x49, 0x64, 0x62, 0x73, 0x75, 0x76, 0x74, 0x8A, 0x8C,
    0xF5, 0x8B, 0xA5, 0xA7, 0xA6, 0x78, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
};

// Minimum record lengths by page kind: the common 6 bytes plus the kind's fixed words.
constexpr uint16_t kMinRowLength = 10;
constexpr uint16_t kMinMasterLength = 18;
constexpr uint16_t kMinEntryLength = 12;

std::string CheckRowFields(const uint8_t* record, uint16_t length) {
  size_t at = kMinRowLength;
  while (at < length) {
    if (length - at < 2) return "a field header runs past its record";
    uint8_t type = record[at + 1];
    int32_t size = DbFieldValueLength(type, record + at + 2, length - at - 2);
    if (size < 0) return "a field has an unknown type or runs past its record";
    at += 2 + size_t(size);
  }
  return {};
}

}  // namespace

uint8_t DbCollate(uint8_t byte) { return kCollation[byte]; }

std::string DbFoldName(const std::string& name) {
  std::string folded = name;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return folded;
}

bool DbIsStoredType(uint32_t type) {
  switch (type) {
    case kDbSmallint: case kDbInteger: case kDbVarchar: case kDbFloat: case kDbDouble:
    case kDbDate: case kDbTime: case kDbBoolean: case kDbBinary: case kDbLongVarchar:
    case kDbLongVarbinary:
      return true;
    default:
      return false;
  }
}

int32_t DbFieldValueLength(uint8_t type, const uint8_t* value, size_t room) {
  size_t size = 0;
  switch (type) {
    case kDbSmallint: size = 2; break;
    case kDbInteger: case kDbFloat: case kDbLongVarchar: case kDbLongVarbinary: size = 4; break;
    case kDbDouble: size = 8; break;
    case kDbDate: case kDbTime: size = 6; break;
    case kDbBoolean: size = 1; break;
    case kDbVarchar: case kDbBinary:
      if (room < 4) return -1;
      size = 4 + size_t(DbGet32(value));
      break;
    default:
      return -1;
  }
  return size <= room ? int32_t(size) : -1;
}

bool DbAppendKeyValue(Bytes& key, uint8_t type, const uint8_t* value, size_t length) {
  key.push_back(0x01);
  switch (type) {
    case kDbSmallint:
      key.push_back(value[0] ^ 0x80);
      key.push_back(value[1]);
      return true;
    case kDbInteger: case kDbLongVarchar: case kDbLongVarbinary:
      key.push_back(value[0] ^ 0x80);
      key.insert(key.end(), value + 1, value + 4);
      return true;
    case kDbFloat: case kDbDouble: {
      size_t width = type == kDbFloat ? 4 : 8;
      bool negative = value[0] & 0x80;
      for (size_t i = 0; i < width; ++i) {
        uint8_t b = value[i];
        key.push_back(negative ? uint8_t(~b) : (i == 0 ? uint8_t(b ^ 0x80) : b));
      }
      return true;
    }
    case kDbVarchar: case kDbBinary: {
      size_t count = std::min<size_t>(DbGet32(value), length >= 4 ? length - 4 : 0);
      for (size_t i = 0; i < count; ++i) key.push_back(kCollation[value[4 + i]]);
      key.push_back(0x00);
      return true;
    }
    case kDbDate: case kDbTime:
      key.insert(key.end(), value, value + 6);
      return true;
    case kDbBoolean:
      key.push_back(value[0]);
      return true;
    default:
      return false;
  }
}

int DbCompareKeys(const uint8_t* a, size_t aLength, const uint8_t* b, size_t bLength) {
  size_t common = std::min(aLength, bLength);
  int order = common ? std::memcmp(a, b, common) : 0;
  if (order != 0) return order < 0 ? -1 : 1;
  if (aLength == bLength) return 0;
  return aLength < bLength ? -1 : 1;
}

bool DbKeyHasPrefix(const Bytes& key, const Bytes& prefix) {
  return key.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), key.begin());
}

std::string DbCheckPage(const uint8_t* page) {
  uint32_t tag = DbGet32(page);
  uint16_t minimum = tag == kDbInteriorPage ? kMinEntryLength
                     : tag == kDbMasterLeaf ? kMinMasterLength
                     : tag == kDbRowLeaf    ? kMinRowLength
                                            : 0;
  if (minimum == 0) return "unknown page type";
  uint16_t used = DbGet16(page + 16);
  if (used > kDbDataSize) return "used count larger than the page";
  const uint8_t* data = page + kDbPageHeaderSize;
  for (uint16_t at = 0; at < used;) {
    if (used - at < 2) return "a record header runs past the used bytes";
    uint16_t length = DbGet16(data + at);
    if (length < minimum || length > used - at) return "a record length is out of range";
    const uint8_t* record = data + at;
    if (record[2] != kDbLive && record[2] != kDbDeleted) return "a record has an unknown status";
    if (tag == kDbMasterLeaf && uint64_t(DbGet32(record + 14)) + kMinMasterLength != length)
      return "a tree name length does not match its record";
    if (tag == kDbRowLeaf) {
      std::string fault = CheckRowFields(record, length);
      if (!fault.empty()) return fault;
    }
    at = uint16_t(at + length);
  }
  for (int32_t i = used; i < kDbDataSize; ++i)
    if (data[i] != 0) return "unused bytes are not zero";
  return {};
}

}  // namespace vorn
