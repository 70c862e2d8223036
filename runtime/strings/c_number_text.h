// Numbers as text by the C locale's rules ("." for the decimal point, no grouping) whatever
// locale the process runs in. main takes the desktop's locale, as GTK expects; from then on
// the C library's printf and strtod write and read the locale's decimal comma, so every number
// the runtime writes, stores or reads goes through here instead.
#pragma once

#include <locale.h>

#include <string>

namespace vorn {

// The C locale, made once; null only when the C library cannot make it.
locale_t CNumberLocale();

// strtod in the C locale: the number at text's start (blanks, sign, digits, inf, nan, hex), and
// *end after it (text itself when there is none).
double ReadCNumber(const char* text, char** end = nullptr);

// What printf writes in the C locale for "%.*e" (form 'e'), "%.*f" ('f') or "%.*g" ('g').
std::string WriteCNumber(double value, char form, int precision);

// Enough digits ("%.17g") that ReadCNumber gives the same double back.
inline std::string ExactCNumber(double value) { return WriteCNumber(value, 'g', 17); }
// The fewest digits that ReadCNumber still reads as the same double ("0.1", "1e+20").
std::string ShortestCNumber(double value);
// The same digits without an exponent wherever plain writing needs no padding of more than a
// few zeros ("100000", "0.000125"; 1e+21 and 1e-07 keep theirs): what a value stored as text
// reads as to a person and to any reader of numbers.
std::string PlainCNumber(double value);

}  // namespace vorn
