// A SELECT statement as parsed: the select list (hidden sort columns at its end), the FROM
// tables, the condition and the sort keys.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/sql_condition.h"
#include "database/sql_error.h"

namespace vorn {

enum SqlAggregate : int32_t {
  kSqlPlainColumn = 0,
  kSqlCount = 1,
  kSqlAverage = 2,
  kSqlSum = 3,
  kSqlMinimum = 4,
  kSqlMaximum = 5,
};

struct SqlSelectItem {
  std::string column;  // "*" for a star and for COUNT(*)
  std::string table;   // the qualifier written, empty when none
  int32_t aggregate = kSqlPlainColumn;
};

struct SqlSortKey {
  // 0-based position in the select list; -1 for a key by name, whose column is the hidden item
  // `hidden` (0-based among the hidden items) until the names are resolved.
  int32_t position = -1;
  int32_t hidden = -1;
  bool descending = false;
};

constexpr size_t kSqlMostSortKeys = 32;

struct SqlSelect {
  std::vector<SqlSelectItem> items;  // the visible items, then the hidden ones
  int32_t hiddenCount = 0;
  std::vector<std::string> tables;
  std::unique_ptr<SqlCondition> condition;
  std::vector<SqlSortKey> sortKeys;
  bool groupBy = false;
};

// Parses a query (its trailing ";" and white space already removed or not); null with
// `error` set when the text is no valid SELECT.
std::unique_ptr<SqlSelect> SqlParseSelect(std::string_view text, SqlError* error);

}  // namespace vorn
