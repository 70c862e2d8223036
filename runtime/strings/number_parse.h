// Numbers read from text: the language's Val, C-text integers and runs of digits in base 16, 8
// and 2. None of them depends on the C library's locale.
#pragma once

#include <cstdint>
#include <string_view>

#include "strings/vstring.h"

namespace vorn {

// The value of the decimal number at the start of the text: leading spaces and tabs, an optional
// sign, digits with an optional decimal point, an optional exponent ("e" or "E", optional sign,
// digits). 0 when there is none; beyond the range of a double the result is an infinity (or 0
// for a vanishing magnitude).
double StringVal(const string& text);
double ScanDecimalNumber(std::string_view text);

// As StringVal, and "&h", "&o" or "&b" after the leading blanks read hexadecimal, octal or
// binary digits (as an unsigned value).
double ParseNumber(const string& text);

// Leading spaces and tabs, optional "+" or "-", decimal digits up to the first non-digit; 0 when
// there are none. Values outside 32 bits give the nearest 32-bit value; nil gives 0.
int32_t CStringToLong(const char* text);

// The value of `count` digits of the base, value × base + digit, accumulated in 32 bits; hex
// digits may be of either case. A byte that is not a digit of the base sets *badDigit (when
// given) and ends the digits; the value of those before it is returned.
uint32_t ParseHexDigits(const char* text, int32_t count, bool* badDigit = nullptr);
uint32_t ParseOctalDigits(const char* text, int32_t count, bool* badDigit = nullptr);
uint32_t ParseBinaryDigits(const char* text, int32_t count, bool* badDigit = nullptr);

}  // namespace vorn
