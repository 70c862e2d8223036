// The language's Format: a number laid out by a format text.
//
// A format has up to three sections separated by ";": for positive numbers, negative numbers
// and zero. In a section:
//   0   a digit, shown as 0 where the number has none
//   #   a digit, shown only where the number has one
//   .   the decimal point (the locale's); the first one only, later ones are text
//   ,   turns on thousands separators (the locale's) in the integer part; never shown itself
//   %   shows "%" and multiplies the number by 100
//   +   the sign: "+" or "-";   -   the sign of a negative number, nothing otherwise
//   E+0 e-0 E0 e+  scientific notation: the exponent's sign ("+" only with E+), at least as many
//       exponent digits as zeros follow
//   \c  the character c as it stands;  "text"  the text as it stands
// anything else is shown as it stands. Numbers round half away from zero on their first 15
// significant digits. A negative number shown by a section without "+" or "-" gets a leading
// "-", unless a negative section of its own takes it (that one shows the magnitude). A number
// that rounds to zero shows as zero, without a sign, through the zero section if there is one.
// The decimal point is left out when no fraction digit follows it ("#.##" shows 5 as "5").
// An empty format, and a number that is not finite, show as the number formatter writes them
// with seven significant digits (as Str).
#pragma once

#include <string>
#include <string_view>

#include "strings/vstring.h"

namespace vorn {

struct NumberSeparators {
  std::string_view thousands = ",";
  std::string_view decimal = ".";
};

// `format` is UTF-8 text; so is the result.
std::string FormatNumber(double value, std::string_view format, const NumberSeparators& separators);

// The language's Format with the locale's separators; tagged UTF-8.
string StringFormat(double value, const string& format);

}  // namespace vorn
