// A finite number's magnitude as decimal digits, for the formatters that lay numbers out
// themselves and round them half away from zero.
#pragma once

#include <cstdint>
#include <string>

namespace vorn {

// magnitude = 0.DIGITS × 10^point. `digits` has no leading or trailing zeros and is empty for
// zero; `point` may lie before, inside or after the digits.
struct DecimalDigits {
  std::string digits;
  int32_t point = 0;

  bool IsZero() const { return digits.empty(); }
  // The digit at 0-based position `index` after the decimal point (negative: before it,
  // -1 being the units); 0 outside the digits.
  int DigitAt(int32_t index) const;
};

// The magnitude of a finite value rounded half away from zero, exactly (the rounding looks at
// the value the double holds, so 2.675, held as 2.67499999999999982..., rounds down): to
// `significant` digits (1 to 40), or to `decimals` places after the point (0 to 40).
DecimalDigits ToDecimalDigits(double value, int32_t significant);
DecimalDigits ToDecimalPlaces(double value, int32_t decimals);

// Rounds the digits to `decimals` places after the point, half away from zero (decimals may be
// negative: -1 rounds to tens).
void RoundToDecimals(DecimalDigits& number, int32_t decimals);

// Rounds the digits to `significant` digits, half away from zero.
void RoundToSignificant(DecimalDigits& number, int32_t significant);

// The integer part's digits ("0" when there is none) and the first `decimals` fraction digits.
std::string IntegerDigits(const DecimalDigits& number);
std::string FractionDigits(const DecimalDigits& number, int32_t decimals);

}  // namespace vorn
