// Numbers written as text: decimal integers, the runtime's general number formatter and
// hexadecimal, octal and binary digits.
#pragma once

#include <cstdint>
#include <string>

#include "strings/vstring.h"

namespace vorn {

// Modes of DoubleToString.
constexpr int32_t kDoubleAutomatic = -1;  // fixed or scientific by magnitude; `digits` significant
constexpr int32_t kDoubleFixed = 0;       // fixed with `digits` decimals

// The signed 32-bit value in decimal, tagged US-ASCII.
string LongToString(int32_t value);

// The runtime's number formatter, tagged US-ASCII.
//  - mode -1 (any negative mode): `digits` significant digits (1 to 40; less than 1 counts as 1);
//    scientific when |x| > 1e6 or 0 < |x| < 1e-5, written as "d.ddddddde+N" with digits - 1
//    decimals; otherwise fixed without trailing zeros ("0.5", "12", "1000000").
//  - mode 0 (any non-negative mode): fixed with `digits` decimals (0 to 40).
// A result that shows no non-zero digit never carries a minus sign ("0", "0.00"). Not-a-number
// reads "nan" and the infinities "inf" and "-inf".
string DoubleToString(double value, int32_t mode, int32_t digits);
std::string DoubleToText(double value, int32_t mode, int32_t digits);

// Upper-case hexadecimal, octal and binary text without leading zeros ("0" for 0).
string HexString(uint32_t value);
string OctalString(uint32_t value);
string BinaryString(uint32_t value);
// Exactly eight upper-case hexadecimal digits.
string UInt32ToHex8String(uint32_t value);

}  // namespace vorn
