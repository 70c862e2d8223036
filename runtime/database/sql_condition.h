// WHERE conditions: a tree of comparisons joined by AND and OR, and its parser.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "database/sql_error.h"

namespace vorn {

class SqlTokenizer;

enum SqlOperator : int32_t {
  kSqlEqual = 0,
  kSqlLess = 1,
  kSqlGreater = 2,
  kSqlLessOrEqual = 3,
  kSqlGreaterOrEqual = 4,
  kSqlNotEqual = 5,
  kSqlLike = 6,
  kSqlNotLike = 7,
  kSqlIsNull = 8,
  kSqlIsNotNull = 9,
  kSqlAnd = 64,
  kSqlOr = 65,
};

// Applied to the row's value before it is compared.
enum SqlFunction : int32_t {
  kSqlNoFunction = 0,
  kSqlUpperCase = 2,
  kSqlLowerCase = 3,
};

// One comparison, or AND / OR over `left` and `right`.
struct SqlCondition {
  SqlCondition() = default;
  SqlCondition(const SqlCondition&) = delete;
  SqlCondition& operator=(const SqlCondition&) = delete;
  // Frees the subtrees without recursion, so that a long chain of conditions cannot exhaust
  // the stack.
  ~SqlCondition();

  bool IsJunction() const { return op == kSqlAnd || op == kSqlOr; }

  std::unique_ptr<SqlCondition> left;
  std::unique_ptr<SqlCondition> right;
  int32_t op = kSqlEqual;
  int32_t function = kSqlNoFunction;
  std::string column;
  bool rightIsColumn = false;
  // The literal without its quotes, or the column named on the right.
  std::string value;
  // The tables that qualify the left and the right column, empty when none.
  std::string table;
  std::string rightTable;
};

// Most comparisons one condition may join; the engines that receive a condition walk it
// recursively.
constexpr int kSqlMostComparisons = 1000;

// Reads a condition: comparisons joined by "and" / "or", grouped to the right with equal
// precedence. The token after the last comparison is put back. Null with `error` set when the
// text is no valid condition.
std::unique_ptr<SqlCondition> SqlParseCondition(SqlTokenizer& tokens, SqlError* error);

}  // namespace vorn
