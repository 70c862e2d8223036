// Many values and formats at once: results stay within their rounding and nothing breaks on
// formats nobody would write.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "strings/format_number.h"
#include "strings/number_parse.h"
#include "strings/number_text.h"

namespace {

double RandomValue(std::mt19937_64& random) {
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-8, 12);
  return mantissa(random) * std::pow(10.0, exponent(random));
}

TEST(NumberRobustness, FixedTextReadsBackWithinHalfAUnit) {
  std::mt19937_64 random(20240601);
  for (int i = 0; i < 20000; ++i) {
    double value = RandomValue(random);
    int decimals = static_cast<int>(random() % 8);
    std::string text = vorn::DoubleToText(value, 0, decimals);
    double back = vorn::ScanDecimalNumber(text);
    double unit = std::pow(10.0, -decimals);
    ASSERT_LE(std::fabs(back - value), unit / 2 + std::fabs(value) * 1e-15) << value << " " << text;
  }
}

TEST(NumberRobustness, AutomaticTextKeepsItsSignificantDigits) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    double value = RandomValue(random);
    int digits = 1 + static_cast<int>(random() % 17);
    std::string text = vorn::DoubleToText(value, -1, digits);
    double back = vorn::ScanDecimalNumber(text);
    ASSERT_LE(std::fabs(back - value), std::fabs(value) * 5.01 * std::pow(10.0, -digits))
        << value << " " << digits << " " << text;
  }
}

TEST(NumberRobustness, FormatMatchesFixedTextForPlainFormats) {
  std::mt19937_64 random(99);
  const char* formats[] = {"0", "0.0", "0.00", "0.000"};
  for (int i = 0; i < 5000; ++i) {
    double value = RandomValue(random);
    for (int decimals = 0; decimals < 4; ++decimals) {
      std::string formatted = vorn::FormatNumber(value, formats[decimals], {});
      double back = vorn::ScanDecimalNumber(formatted);
      ASSERT_LE(std::fabs(back - value), std::pow(10.0, -decimals) / 2 + std::fabs(value) * 1e-14)
          << value << " " << formats[decimals] << " " << formatted;
    }
  }
}

TEST(NumberRobustness, ArbitraryFormatsNeverBreak) {
  std::mt19937_64 random(1234);
  const std::string alphabet = "0#.,%+-Ee;\\\"()$ x0#0#\xC2\xB0\xE2\x80";
  for (int i = 0; i < 20000; ++i) {
    std::string format;
    size_t length = random() % 14;
    for (size_t j = 0; j < length; ++j) format.push_back(alphabet[random() % alphabet.size()]);
    double value = RandomValue(random);
    if (i % 97 == 0) value = 0;
    std::string text = vorn::FormatNumber(value, format, {});
    ASSERT_LT(text.size(), 200u) << format;
  }
}

TEST(NumberRobustness, ValOfArbitraryTextNeverBreaks) {
  std::mt19937_64 random(5);
  const std::string alphabet = "0123456789+-.eE &hHoObB\tx";
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    size_t length = random() % 20;
    for (size_t j = 0; j < length; ++j) text.push_back(alphabet[random() % alphabet.size()]);
    vorn::string value(text, vorn::kEncodingASCII);
    double a = vorn::StringVal(value);
    double b = vorn::ParseNumber(value);
    ASSERT_FALSE(std::isnan(a)) << text;
    ASSERT_FALSE(std::isnan(b)) << text;
    (void)vorn::CStringToLong(text.c_str());
  }
}

}  // namespace
