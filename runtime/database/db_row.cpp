#include "database/db_row.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace vorn {

DbValue DbValue::Integer(uint8_t type, int64_t value) {
  DbValue v;
  v.type = type;
  v.integer = value;
  return v;
}

DbValue DbValue::Real(uint8_t type, double value) {
  DbValue v;
  v.type = type;
  v.real = value;
  return v;
}

DbValue DbValue::Text(uint8_t type, const std::string& text) {
  DbValue v;
  v.SetText(type, text);
  return v;
}

void DbValue::SetText(uint8_t newType, const std::string& text) {
  type = newType;
  integer = 0;
  real = 0;
  std::fill(std::begin(parts), std::end(parts), int16_t{0});
  bytes.assign(text.begin(), text.end());
}

DbValue DbValue::Parts(uint8_t type, int16_t a, int16_t b, int16_t c) {
  DbValue v;
  v.type = type;
  v.parts[0] = a;
  v.parts[1] = b;
  v.parts[2] = c;
  return v;
}

namespace {

// Big-endian, written at `at`, which the caller sized for the value: rows are built once per
// insert, so byte-wise growth shows.
uint8_t* PutValue(uint8_t* at, const DbValue& v) {
  switch (v.type) {
    case kDbSmallint: DbPut16(at, uint16_t(v.integer)); return at + 2;
    case kDbInteger: case kDbLongVarchar: case kDbLongVarbinary:
      DbPut32(at, uint32_t(v.integer));
      return at + 4;
    case kDbFloat: {
      float f = float(v.real);
      uint32_t bits;
      std::memcpy(&bits, &f, 4);
      DbPut32(at, bits);
      return at + 4;
    }
    case kDbDouble: {
      uint64_t bits;
      std::memcpy(&bits, &v.real, 8);
      DbPut32(at, uint32_t(bits >> 32));
      DbPut32(at + 4, uint32_t(bits));
      return at + 8;
    }
    case kDbDate: case kDbTime:
      for (int16_t part : v.parts) {
        DbPut16(at, uint16_t(part));
        at += 2;
      }
      return at;
    case kDbBoolean: *at = v.integer ? 1 : 0; return at + 1;
    case kDbVarchar: case kDbBinary:
      DbPut32(at, uint32_t(v.bytes.size()));
      if (!v.bytes.empty()) std::memcpy(at + 4, v.bytes.data(), v.bytes.size());
      return at + 4 + v.bytes.size();
    default: return at;
  }
}

}  // namespace

Bytes DbBuildRow(const DbRow& values, uint32_t serial, uint32_t id) {
  Bytes out;
  DbBuildRowInto(out, values, serial, id);
  return out;
}

void DbBuildRowInto(Bytes& out, const DbRow& values, uint32_t serial, uint32_t id) {
  // Field number, type and at most 8 bytes of value or a length word and the bytes.
  size_t most = kDbRowFieldsOffset;
  for (const auto& [field, value] : values) most += 10 + value.bytes.size();
  out.resize(most);
  uint8_t* at = out.data() + kDbRowFieldsOffset;
  for (const auto& [field, value] : values) {
    if (!DbIsStoredType(value.type)) continue;
    at[0] = field;
    at[1] = value.type;
    at = PutValue(at + 2, value);
  }
  out.resize(size_t(at - out.data()));
  // Callers refuse rows too long for a page before inserting; the length word just saturates.
  DbPut16(out.data(), uint16_t(out.size() > 0xFFFF ? 0xFFFF : out.size()));
  DbStamp(out.data(), kDbLive, serial);
  DbPut32(out.data() + kDbRecordIdOffset, id);
}

DbFieldRef DbFindField(const uint8_t* record, size_t length, uint8_t field) {
  for (size_t at = kDbRowFieldsOffset; at + 2 <= length;) {
    uint8_t type = record[at + 1];
    int32_t size = DbFieldValueLength(type, record + at + 2, length - at - 2);
    if (size < 0) break;
    if (record[at] == field) return {type, record + at + 2, size_t(size)};
    at += 2 + size_t(size);
  }
  return {};
}

bool DbRowFitsColumns(const uint8_t* record, size_t length, const uint8_t* fieldTypes) {
  for (size_t at = kDbRowFieldsOffset; at + 2 <= length;) {
    const uint8_t type = record[at + 1];
    if (fieldTypes[record[at]] != type) return false;
    int32_t size = DbFieldValueLength(type, record + at + 2, length - at - 2);
    if (size < 0) return false;
    at += 2 + size_t(size);
  }
  return true;
}

DbValue DbDecodeField(const DbFieldRef& f) {
  DbValue v;
  DbDecodeFieldInto(f, v);
  return v;
}

void DbDecodeFieldInto(const DbFieldRef& f, DbValue& v) {
  v.type = f.type;
  v.integer = 0;
  v.real = 0;
  v.bytes.clear();
  std::fill(std::begin(v.parts), std::end(v.parts), int16_t{0});
  const uint8_t* p = f.value;
  switch (f.type) {
    case kDbSmallint: v.integer = int16_t(DbGet16(p)); break;
    case kDbInteger: v.integer = int32_t(DbGet32(p)); break;
    case kDbLongVarchar: case kDbLongVarbinary: v.integer = DbGet32(p); break;
    case kDbFloat: {
      uint32_t bits = DbGet32(p);
      float f32;
      std::memcpy(&f32, &bits, 4);
      v.real = f32;
      break;
    }
    case kDbDouble: {
      uint64_t bits = uint64_t(DbGet32(p)) << 32 | DbGet32(p + 4);
      std::memcpy(&v.real, &bits, 8);
      break;
    }
    case kDbDate: case kDbTime:
      for (int i = 0; i < 3; ++i) v.parts[i] = int16_t(DbGet16(p + 2 * i));
      break;
    case kDbBoolean: v.integer = p[0]; break;
    case kDbVarchar: case kDbBinary: v.bytes.assign(p + 4, p + f.length); break;
    default: v.type = 0; break;
  }
}

Bytes DbRowKey(const uint8_t* record, size_t length, const Bytes& keyFields) {
  Bytes key;
  DbRowKeyInto(key, record, length, keyFields);
  return key;
}

void DbRowKeyInto(Bytes& key, const uint8_t* record, size_t length, const Bytes& keyFields) {
  key.clear();
  if (keyFields.empty()) {
    for (int i = 3; i >= 0; --i) key.push_back(record[kDbRecordIdOffset + size_t(i)]);
    return;
  }
  for (uint8_t field : keyFields) {
    DbFieldRef ref = DbFindField(record, length, field);
    if (ref.type == 0 || !DbAppendKeyValue(key, ref.type, ref.value, ref.length)) {
      if (ref.type != 0) key.pop_back();
      key.push_back(0x00);
    }
  }
}

Bytes DbMasterKey(const std::string& name) {
  Bytes key = {0x01, 0x01};
  for (unsigned char c : name) key.push_back(DbCollate(c));
  key.push_back(0x00);
  return key;
}

}  // namespace vorn
