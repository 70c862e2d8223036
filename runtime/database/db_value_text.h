// Converting the value texts of inserted and updated rows to stored values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "database/db_row.h"

namespace vorn {

// Leading blanks, a sign, then digits up to the first non-digit; 0 without digits. Saturates
// far outside 32 bits rather than wrapping.
int64_t DbParseDecimal(const std::string& text);
// An integer column's value: a whole number is read whole (its exponent included, a fraction
// dropped), other text by its leading digits as before; nothing when it lies outside
// [low, high], so that no value is stored wrapped.
std::optional<int64_t> DbParseInteger(const std::string& text, int64_t low, int64_t high);
// True for "true" in any case and for a number other than 0 ("1", "-1", "0.5").
bool DbParseBoolean(const std::string& text);
// The number at the start of the text (leading blanks allowed), with its fraction and exponent;
// nothing when the text does not begin with one.
std::optional<double> DbParseNumber(const std::string& text);
// A float or double column's value from its text: the number at its start, as strtod reads it
// (0 when there is none).
double DbParseReal(const std::string& text);
// "year-month-day" (the text before the first blank, blanks and tabs trimmed). Nothing when
// the text is no date; `outOfRange` is then set when it is one whose parts do not fit their 16
// bits, since a part is never stored wrapped.
std::optional<DbValue> DbParseDate(const std::string& text, bool* outOfRange = nullptr);
// "hour:minute[:second]", after a date when one precedes it; nothing as for dates.
std::optional<DbValue> DbParseTime(const std::string& text, bool* outOfRange = nullptr);

// 2003's text for a value its column cannot hold.
std::string DbOutOfRangeMessage(const std::string& text, const std::string& column);

// The value written as the literal that converts back to it: decimal integers, doubles with
// every digit they need, dates "y-m-d", times "h:m:s", Booleans "true"/"false", texts as they
// stand; empty for NULL.
std::string DbValueLiteral(const DbValue& value);

}  // namespace vorn
