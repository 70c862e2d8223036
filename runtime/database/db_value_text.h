// Converting the value texts of inserted and updated rows to stored values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "database/db_row.h"

namespace vorn {

// Leading blanks, a sign, then digits up to the first non-digit; 0 without digits.
int64_t DbParseDecimal(const std::string& text);
// "year-month-day" (the text before the first blank, blanks and tabs trimmed).
std::optional<DbValue> DbParseDate(const std::string& text);
// "hour:minute[:second]", after a date when one precedes it.
std::optional<DbValue> DbParseTime(const std::string& text);

}  // namespace vorn
