#include "database/db_row_filter.h"

#include <glib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "database/db_format.h"
#include "database/db_value_text.h"
#include "database/sql_condition.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

// Both sides compared without regard to case; the SQL layer never asks for it, other callers may.
constexpr int32_t kModeIgnoreCase = 1;

std::string Folded(std::string text, gchar (*fold)(gchar)) {
  for (char& c : text) c = fold(c);
  return text;
}

bool IsText(uint8_t type) {
  return type == kDbVarchar || type == kDbBinary || type == kDbLongVarchar || type == kDbLongVarbinary;
}

template <typename T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Three-way comparison of the row's value with the literal converted to its type; nothing
// when the two cannot be compared.
std::optional<int> Compare(const DbValue& value, const DbFilterLiteral& literal, int32_t mode, bool* unordered) {
  switch (value.type) {
    case kDbBoolean: return Order(value.integer != 0, literal.boolean);
    case kDbSmallint:
    case kDbInteger:
    case kDbFloat:
    case kDbDouble: {
      // By value, so that "id < 2.5" keeps the row with id 2 rather than cutting the literal down.
      const double mine = value.type == kDbFloat || value.type == kDbDouble ? value.real : double(value.integer);
      const double other = literal.number;
      if (std::isnan(mine) || std::isnan(other)) {
        *unordered = true;
        return std::nullopt;
      }
      return Order(mine, other);
    }
    case kDbDate:
    case kDbTime: {
      const std::optional<DbValue>& other = value.type == kDbDate ? literal.date : literal.time;
      if (!other) return std::nullopt;
      for (int i = 0; i < 3; ++i)
        if (int order = Order(value.parts[i], other->parts[i])) return order;
      return 0;
    }
    default: break;
  }
  if (!IsText(value.type)) return std::nullopt;
  if (mode != kSqlUpperCase && mode != kSqlLowerCase && mode != kModeIgnoreCase) {
    const std::string_view text(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size());
    return Order(text, std::string_view(literal.text));
  }
  std::string text = value.Text();
  std::string other = literal.text;
  if (mode == kSqlUpperCase) text = Folded(text, g_ascii_toupper);
  if (mode == kSqlLowerCase) text = Folded(text, g_ascii_tolower);
  if (mode == kModeIgnoreCase) {
    text = Folded(text, g_ascii_toupper);
    other = Folded(other, g_ascii_toupper);
  }
  return Order(text, other);
}

bool CompareMatches(int32_t op, const DbValue& value, const DbFilterLiteral& literal, int32_t mode) {
  if (op == kSqlLike || op == kSqlNotLike) {
    if (!IsText(value.type)) return false;
    std::string text = value.Text();
    std::string pattern = literal.text;
    if (mode == kSqlUpperCase || mode == kModeIgnoreCase) text = Folded(text, g_ascii_toupper);
    if (mode == kSqlLowerCase) text = Folded(text, g_ascii_tolower);
    if (mode == kModeIgnoreCase) pattern = Folded(pattern, g_ascii_toupper);
    return DbLikeMatches(text, pattern) == (op == kSqlLike);
  }
  bool unordered = false;
  std::optional<int> order = Compare(value, literal, mode, &unordered);
  if (unordered) return op == kSqlNotEqual;
  if (!order) return false;
  switch (op) {
    case kSqlEqual: return *order == 0;
    case kSqlLess: return *order < 0;
    case kSqlGreater: return *order > 0;
    case kSqlLessOrEqual: return *order <= 0;
    case kSqlGreaterOrEqual: return *order >= 0;
    case kSqlNotEqual: return *order != 0;
    default: return false;
  }
}

// A number field's value read straight from the record's bytes.
double FieldNumber(const DbFieldRef& field) {
  switch (field.type) {
    case kDbSmallint: return int16_t(DbGet16(field.value));
    case kDbInteger: return int32_t(DbGet32(field.value));
    case kDbFloat: {
      const uint32_t bits = DbGet32(field.value);
      float value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    }
    default: {
      const uint64_t bits = uint64_t(DbGet32(field.value)) << 32 | DbGet32(field.value + 4);
      double value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    }
  }
}

}  // namespace

DbFilterLiteral::DbFilterLiteral(std::string literal)
    : text(std::move(literal)),
      number(DbParseNumber(text).value_or(0)),
      boolean(DbParseBoolean(text)),
      date(DbParseDate(text, &dateOutOfRange)),
      time(DbParseTime(text, &timeOutOfRange)) {}

std::unique_ptr<DbRowFilter> DbRowFilter::Build(const dbFilter* filter, const DbTableSchema& schema, Refusal* refusal) {
  if (!filter) return nullptr;
  auto refuse = [&](std::string column, std::string literal) {
    *refusal = {std::move(column), std::move(literal), true};
    return nullptr;
  };
  auto node = std::unique_ptr<DbRowFilter>(new DbRowFilter());
  node->mOp = filter->op;
  node->mMode = filter->mode;
  if (filter->op == kSqlAnd || filter->op == kSqlOr) {
    node->mLeft = Build(filter->left, schema, refusal);
    if (refusal->refused) return nullptr;
    node->mRight = Build(filter->right, schema, refusal);
    if (refusal->refused) return nullptr;
    return node;
  }
  if (filter->op >= kSqlEqual && filter->op <= kSqlIsNotNull) {
    std::string name(string::Share(filter->column).View());
    const DbColumn* column = schema.Column(name);
    if (!column) return refuse(name, {});
    node->mField = column->position;
    node->mValue = DbFilterLiteral(std::string(string::Share(filter->value).View()));
    if (filter->mode & VORN_DB_FILTER_COLUMN) {
      const DbColumn* other = schema.Column(node->mValue.text);
      if (!other) return refuse(node->mValue.text, {});
      node->mOtherField = other->position;
      node->mMode = filter->mode & ~VORN_DB_FILTER_COLUMN;
      node->mAgainstColumn = true;
    } else if (filter->op <= kSqlNotEqual && ((column->type == kDbDate && node->mValue.dateOutOfRange) ||
                                              (column->type == kDbTime && node->mValue.timeOutOfRange))) {
      return refuse(column->name, node->mValue.text);
    }
  }
  return node;
}

bool DbRowFilter::Matches(const FieldReader& read) const {
  if (mOp == kSqlAnd) return (!mLeft || mLeft->Matches(read)) && (!mRight || mRight->Matches(read));
  if (mOp == kSqlOr) return (!mLeft || mLeft->Matches(read)) || (!mRight || mRight->Matches(read));
  return ComparisonMatches(read);
}

bool DbRowFilter::Matches(const uint8_t* record, size_t length, const FieldReader& read) const {
  if (mOp == kSqlAnd)
    return (!mLeft || mLeft->Matches(record, length, read)) && (!mRight || mRight->Matches(record, length, read));
  if (mOp == kSqlOr)
    return (!mLeft || mLeft->Matches(record, length, read)) || (!mRight || mRight->Matches(record, length, read));
  // A scan spends its time here: the common comparisons skip decoding the value into a copy.
  if (mAgainstColumn || mMode != 0 || mOp > kSqlNotEqual) return ComparisonMatches(read);
  const DbFieldRef field = DbFindField(record, length, mField);
  int order = 0;
  switch (field.type) {
    case kDbSmallint:
    case kDbInteger:
    case kDbFloat:
    case kDbDouble: {
      const double mine = FieldNumber(field);
      if (std::isnan(mine) || std::isnan(mValue.number)) return mOp == kSqlNotEqual;
      order = Order(mine, mValue.number);
      break;
    }
    case kDbVarchar:
    case kDbBinary:
      order = Order(std::string_view(reinterpret_cast<const char*>(field.value) + 4, field.length - 4),
                    std::string_view(mValue.text));
      break;
    default: return ComparisonMatches(read);
  }
  switch (mOp) {
    case kSqlEqual: return order == 0;
    case kSqlLess: return order < 0;
    case kSqlGreater: return order > 0;
    case kSqlLessOrEqual: return order <= 0;
    case kSqlGreaterOrEqual: return order >= 0;
    default: return order != 0;
  }
}

bool DbRowFilter::ComparisonMatches(const FieldReader& read) const {
  if (mOp < kSqlEqual || mOp > kSqlIsNotNull) return false;
  std::optional<DbValue> value = read(mField);
  if (mOp == kSqlIsNull) return !value || value->type == 0;
  if (mOp == kSqlIsNotNull) return value && value->type != 0;
  if (!value || value->type == 0) return false;
  if (!mAgainstColumn) return CompareMatches(mOp, *value, mValue, mMode);
  // The other column's value goes through its literal, so both sides meet the same rules.
  std::optional<DbValue> other = read(mOtherField);
  if (!other || other->type == 0) return false;
  return CompareMatches(mOp, *value, DbFilterLiteral(DbValueLiteral(*other)), mMode);
}

bool DbLikeMatches(const std::string& text, const std::string& pattern) {
  // Iterative, backtracking to the latest "%" only: the shortest run first, never recursion.
  size_t t = 0, p = 0;
  size_t starAt = std::string::npos, resumeAt = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '_' || (pattern[p] != '%' && pattern[p] == text[t]))) {
      ++t, ++p;
    } else if (p < pattern.size() && pattern[p] == '%') {
      starAt = p++;
      resumeAt = t;
    } else if (starAt != std::string::npos) {
      p = starAt + 1;
      t = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '%') ++p;
  return p == pattern.size();
}

}  // namespace vorn
