// The data-changing and schema statements as parsed, in the form the engine receives them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database/sql_condition.h"

namespace vorn {

struct SqlColumnDefinition {
  std::string name;
  int32_t type = 0;  // a stored field type code (2 smallint ... 16 long varbinary, 10 timestamp)
  bool notNull = false;
};

struct SqlCreateTable {
  std::string table;
  std::vector<SqlColumnDefinition> columns;
  // 0-based positions of the key columns among `columns`, in the order the key lists them.
  std::vector<uint8_t> primaryKey;
};

struct SqlAlterTableAdd {
  std::string table;
  SqlColumnDefinition column;
};

// Value type of every inserted value: text, which the engine converts to the field's type.
constexpr int32_t kSqlTextValue = 5;

// Value type of an unquoted NULL: the column is left without a value.
constexpr int32_t kSqlNullValue = 0;

struct SqlValueEntry {
  std::string column;  // empty when the statement names no columns
  std::string value;
  int32_t type = kSqlTextValue;
};

struct SqlInsert {
  std::string table;
  std::vector<SqlValueEntry> values;
};

struct SqlAssignment {
  std::string column;
  std::string value;
  bool null = false;  // an unquoted NULL
};

struct SqlUpdate {
  std::string table;
  // In the order they are applied to a row: the one written last comes first, so that of two
  // assignments to one column the one written first wins.
  std::vector<SqlAssignment> assignments;
  std::unique_ptr<SqlCondition> condition;  // null: every row
};

struct SqlDelete {
  std::string table;
  std::unique_ptr<SqlCondition> condition;  // null: every row
};

}  // namespace vorn
