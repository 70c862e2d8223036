#include "strings/number_text.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "strings/decimal_digits.h"

namespace vorn {

namespace {

constexpr int32_t kMaxDigits = 40;

string AsciiString(const std::string& text) { return string(text, kEncodingASCII); }

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "nan";
  return value < 0 ? "-inf" : "inf";
}

// "d.ddde+N": significant - 1 decimals, the exponent without leading zeros.
std::string ScientificText(bool negative, const DecimalDigits& number, int32_t significant) {
  std::string text;
  if (negative) text.push_back('-');
  std::string digits = number.digits;
  digits.resize(static_cast<size_t>(significant), '0');
  text.push_back(digits[0]);
  if (significant > 1) {
    text.push_back('.');
    text.append(digits, 1, std::string::npos);
  }
  int32_t exponent = number.point - 1;
  text += exponent < 0 ? "e-" : "e+";
  text += std::to_string(exponent < 0 ? -static_cast<int64_t>(exponent) : exponent);
  return text;
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
    return FixedText(negative, ToDecimalPlaces(value, decimals), decimals, false);
  }
  int32_t significant = std::clamp(digits, 1, kMaxDigits);
  double magnitude = std::fabs(value);
  if (magnitude == 0) return "0";
  DecimalDigits number = ToDecimalDigits(value, significant);
  if (magnitude > 1e6 || magnitude < 1e-5) return ScientificText(negative, number, significant);
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
