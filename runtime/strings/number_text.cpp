#include "strings/number_text.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "strings/decimal_digits.h"

namespace vorn {

namespace {

constexpr int32_t kMaxDigits = 40;

string AsciiString(const std::string& text) { return string(text, kEncodingASCII); }

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "nan";
  return value < 0 ? "-inf" : "inf";
}

// "d.ddde+N": digits - 1 decimals, the exponent without leading zeros.
std::string ScientificText(double value, int32_t significant) {
  char text[96];
  std::snprintf(text, sizeof text, "%.*e", significant - 1, value);
  std::string result(text);
  size_t mark = result.find('e');
  if (mark == std::string::npos || mark + 2 >= result.size()) return result;
  size_t firstDigit = mark + 2;
  size_t nonZero = result.find_first_not_of('0', firstDigit);
  if (nonZero == std::string::npos) nonZero = result.size() - 1;  // exponent 0 keeps one digit
  result.erase(firstDigit, nonZero - firstDigit);
  return result;
}

std::string FixedText(bool negative, const DecimalDigits& number, int32_t decimals,
                      bool dropTrailingZeros) {
  std::string fraction = FractionDigits(number, decimals);
  if (dropTrailingZeros) {
    size_t last = fraction.find_last_not_of('0');
    fraction.erase(last == std::string::npos ? 0 : last + 1);
  }
  std::string text;
  if (negative && !number.IsZero()) text.push_back('-');
  text += IntegerDigits(number);
  if (!fraction.empty()) {
    text.push_back('.');
    text += fraction;
  }
  return text;
}

std::string DigitsInBase(uint32_t value, unsigned shift) {
  static const char kDigits[] = "0123456789ABCDEF";
  const uint32_t mask = (1u << shift) - 1;
  char text[33];
  char* end = text + sizeof text;
  char* p = end;
  do {
    *--p = kDigits[value & mask];
    value >>= shift;
  } while (value != 0);
  return std::string(p, static_cast<size_t>(end - p));
}

}  // namespace

string LongToString(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%" PRId32, value);
  return string(text);
}

std::string DoubleToText(double value, int32_t mode, int32_t digits) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  bool negative = std::signbit(value);
  if (mode >= 0) {
    int32_t decimals = std::clamp(digits, 0, kMaxDigits);
    // Enough significant digits to tell every double apart; the rounding to `decimals` happens
    // on those digits, half away from zero.
    DecimalDigits number = ToDecimalDigits(value, 17);
    RoundToDecimals(number, decimals);
    return FixedText(negative, number, decimals, false);
  }
  int32_t significant = std::clamp(digits, 1, kMaxDigits);
  double magnitude = std::fabs(value);
  if (magnitude == 0) return "0";
  if (magnitude > 1e6 || magnitude < 1e-5) return ScientificText(value, significant);
  DecimalDigits number = ToDecimalDigits(value, significant);
  int32_t decimals = std::max<int32_t>(0, significant - number.point);
  return FixedText(negative, number, decimals, true);
}

string DoubleToString(double value, int32_t mode, int32_t digits) {
  return AsciiString(DoubleToText(value, mode, digits));
}

string HexString(uint32_t value) { return AsciiString(DigitsInBase(value, 4)); }
string OctalString(uint32_t value) { return AsciiString(DigitsInBase(value, 3)); }
string BinaryString(uint32_t value) { return AsciiString(DigitsInBase(value, 1)); }

string UInt32ToHex8String(uint32_t value) {
  char text[12];
  std::snprintf(text, sizeof text, "%08" PRIX32, value);
  return string(text);
}

}  // namespace vorn
