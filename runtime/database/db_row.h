// Rows of a named tree: building one from typed values, finding and decoding its fields and
// deriving its key.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "database/db_format.h"

namespace vorn {

// One column value; `type` is a stored type code, 0 for NULL (no field stored).
struct DbValue {
  uint8_t type = 0;
  int64_t integer = 0;       // smallint, integer, boolean, large-object id
  double real = 0;           // float, double
  Bytes bytes;               // varchar, binary
  int16_t parts[3] = {};     // date: year, month, day; time: hour, minute, second

  static DbValue Integer(uint8_t type, int64_t value);
  static DbValue Real(uint8_t type, double value);
  static DbValue Text(uint8_t type, const std::string& text);
  static DbValue Parts(uint8_t type, int16_t a, int16_t b, int16_t c);
  // Makes this a text value, keeping the buffer it had.
  void SetText(uint8_t type, const std::string& text);
  std::string Text() const { return std::string(bytes.begin(), bytes.end()); }
};

using DbRow = std::vector<std::pair<uint8_t, DbValue>>;

// Offsets inside every leaf record.
constexpr size_t kDbRecordIdOffset = 6;
constexpr size_t kDbRowFieldsOffset = 10;

// A row record with status 'A', the given serial and id, and the non-NULL values in order.
Bytes DbBuildRow(const DbRow& values, uint32_t serial, uint32_t id);
// The same into `out`, reusing its storage.
void DbBuildRowInto(Bytes& out, const DbRow& values, uint32_t serial, uint32_t id);

// The field's value bytes inside a row record (already checked when its page was read).
struct DbFieldRef {
  uint8_t type = 0;  // 0 when the row lacks the field
  const uint8_t* value = nullptr;
  size_t length = 0;
};
DbFieldRef DbFindField(const uint8_t* record, size_t length, uint8_t field);
DbValue DbDecodeField(const DbFieldRef& field);
// Whether every field of the row record is one its table's columns claim, stored as the
// column's type: `fieldTypes` gives the type by field number, 0 where no column claims it.
bool DbRowFitsColumns(const uint8_t* record, size_t length, const uint8_t* fieldTypes);
// The same into a value kept by the caller, whose buffer is reused.
void DbDecodeFieldInto(const DbFieldRef& field, DbValue& value);

// The key of a row record: its reversed id without key fields, else the key-field encoding.
Bytes DbRowKey(const uint8_t* record, size_t length, const Bytes& keyFields);
// The same into `key`, reusing its storage.
void DbRowKeyInto(Bytes& key, const uint8_t* record, size_t length, const Bytes& keyFields);
// The key of a master record: 0x01 0x01, the collated name, 0x00.
Bytes DbMasterKey(const std::string& name);

// Status and serial of a record, and writing them.
inline void DbStamp(uint8_t* record, uint8_t status, uint32_t serial) {
  DbPut32(record + 2, uint32_t(status) << 24 | (serial & 0xFFFFFF));
}

}  // namespace vorn
