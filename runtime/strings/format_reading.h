// Numbers read back from the text a Format shows, and numbers of the C rules moved into the
// locale's writing, so that a field showing a formatted number and the user typing into it
// agree on what the number is.
#pragma once

#include <optional>
#include <string_view>

#include "strings/format_number.h"
#include "strings/vstring.h"

namespace vorn {

// The number the text shows under the format: every text the format writes reads back as the
// number it shows (so that writing that number again gives the same text), a negative section's
// "0.50-" and "(0.50)" included, and the largest double's rounded-up digits as that double. A
// negative section that writes neither a sign nor text of its own shows what the positive one
// shows, and reads positive. Typed text reads too: grouping may be left out, what the format
// writes around its digits (a currency sign, "%", the parentheses of a negative section, spaces)
// may stand at either end, and a "+" or "-" before or after the digits; a "%" there divides the
// percent back out, and a mark only the negative section writes makes the number negative. In
// between stands the number in the separators' writing: grouping in the integer part (a space of
// any width where the thousands separator is one), the decimal separator, an exponent. nullopt
// when anything else is left.
std::optional<double> ReadFormattedNumber(std::string_view text, std::string_view format,
                                          const NumberSeparators& separators);

// As ReadFormattedNumber with the locale's separators; a text that is not one number reads as
// its leading number does (as CDbl: "12 apples" is 12, "none" 0).
double StringFormattedValue(const string& text, const string& format);

// A whole number written by the C rules ("-1234.5", "2.5e+20") with the decimal separator of
// the writing; anything else (an empty text, "nan", "12 apples") as it stands.
std::string CNumberInWriting(std::string_view cText, std::string_view decimal);
// The same with the locale's decimal separator; tagged UTF-8 when it changed.
string CNumberInLocaleWriting(const string& cText);

}  // namespace vorn
