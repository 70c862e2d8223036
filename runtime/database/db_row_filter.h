// The condition a table cursor of the built-in engine checks every row against: a copy of the
// engine filter with each column bound to its field in the table's rows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "database/db_handle.h"
#include "database/db_row.h"
#include "vorn/database_api.h"

namespace vorn {

// A comparison's literal with its readings as each column type takes it, made once so that a
// scan does not convert it again for every row.
struct DbFilterLiteral {
  DbFilterLiteral() = default;
  explicit DbFilterLiteral(std::string literal);

  std::string text;
  double number = 0;
  bool boolean = false;
  // A date or time whose parts do not fit their 16 bits (set as `date` and `time` are read).
  bool dateOutOfRange = false;
  bool timeOutOfRange = false;
  std::optional<DbValue> date;
  std::optional<DbValue> time;
};

class DbRowFilter {
 public:
  // The row's value of a field; nothing when the row lacks it.
  using FieldReader = std::function<std::optional<DbValue>(uint8_t field)>;

  // Why a filter cannot be built: a comparison names a column the table lacks (`column`), or
  // compares a date or time column with a literal whose parts do not fit it (`column` and
  // `literal`), which would otherwise be read wrapped.
  struct Refusal {
    std::string column;
    std::string literal;
    bool refused = false;
  };
  // Null for no filter at all; null with `refusal` filled when it cannot be built.
  static std::unique_ptr<DbRowFilter> Build(const dbFilter* filter, const DbTableSchema& schema, Refusal* refusal);

  bool Matches(const FieldReader& read) const;
  // The same for the row stored in `record`: plain comparisons of numbers and texts are made on
  // the record's bytes; the rest read their values through `read`.
  bool Matches(const uint8_t* record, size_t length, const FieldReader& read) const;

 private:
  // One comparison, its values read whole through `read`.
  bool ComparisonMatches(const FieldReader& read) const;

  std::unique_ptr<DbRowFilter> mLeft;
  std::unique_ptr<DbRowFilter> mRight;
  int32_t mOp = 0;
  int32_t mMode = 0;
  uint8_t mField = 0;
  DbFilterLiteral mValue;
  // Compared with another column of the row rather than with mValue.
  bool mAgainstColumn = false;
  uint8_t mOtherField = 0;
};

// LIKE: "%" matches any run of bytes, "_" any one byte, every other byte itself.
bool DbLikeMatches(const std::string& text, const std::string& pattern);

}  // namespace vorn
