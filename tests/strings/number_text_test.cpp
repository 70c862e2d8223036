#include "strings/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "vorn/runtime_math.h"

namespace {

using vorn::DoubleToText;

std::string Auto(double value, int32_t digits = 7) { return DoubleToText(value, -1, digits); }
std::string Fixed(double value, int32_t decimals) { return DoubleToText(value, 0, decimals); }

// Takes the caller's reference of an entry point's result.
std::string Take(VornStringRecord* rep) {
  vorn::string text = vorn::string::Adopt(rep);
  return std::string(text.View());
}

TEST(LongToString, WritesSigned32BitDecimalAsASCII) {
  EXPECT_EQ(vorn::LongToString(0).View(), "0");
  EXPECT_EQ(vorn::LongToString(-42).View(), "-42");
  EXPECT_EQ(vorn::LongToString(std::numeric_limits<int32_t>::min()).View(), "-2147483648");
  EXPECT_EQ(vorn::LongToString(std::numeric_limits<int32_t>::max()).View(), "2147483647");
  EXPECT_EQ(vorn::LongToString(7).Encoding(), vorn::kEncodingASCII);
}

TEST(DoubleToString, AutomaticSwitchesToScientificJustPastTheLimits) {
  EXPECT_EQ(Auto(1e6), "1000000");
  EXPECT_EQ(Auto(-1e6), "-1000000");
  EXPECT_EQ(Auto(1234567.0), "1.234567e+6");
  EXPECT_EQ(Auto(1e-5), "0.00001");
  EXPECT_EQ(Auto(9.99e-6), "9.990000e-6");
  EXPECT_EQ(Auto(-2.5e-7), "-2.500000e-7");
}

TEST(DoubleToString, AutomaticFixedDropsTrailingZeros) {
  EXPECT_EQ(Auto(0.1), "0.1");
  EXPECT_EQ(Auto(100.0), "100");
  EXPECT_EQ(Auto(123.456789), "123.4568");
  EXPECT_EQ(Auto(-0.5), "-0.5");
  // Rounding to seven digits may reach the next power of ten without leaving fixed notation.
  EXPECT_EQ(Auto(999999.96), "1000000");
}

TEST(DoubleToString, ZeroHasNoSign) {
  EXPECT_EQ(Auto(0.0), "0");
  EXPECT_EQ(Auto(-0.0), "0");
  EXPECT_EQ(Fixed(-0.0, 2), "0.00");
  EXPECT_EQ(Fixed(-0.001, 2), "0.00");
  EXPECT_EQ(Fixed(-0.004, 0), "0");
}

TEST(DoubleToString, LargeIntegers) {
  EXPECT_EQ(Auto(123456789012.0), "1.234568e+11");
  EXPECT_EQ(Auto(2147483647.0, 10), "2.147483647e+9");
  EXPECT_EQ(Fixed(9007199254740992.0, 0), "9007199254740992");
  EXPECT_EQ(Fixed(1e20, 0), "100000000000000000000");
  EXPECT_EQ(Fixed(-4294967296.0, 1), "-4294967296.0");
  // The longest texts: every digit of the largest double, and forty places of the smallest.
  const std::string largest = Fixed(-std::numeric_limits<double>::max(), 40);
  EXPECT_EQ(largest.size(), 1 + 309 + 1 + 40u);
  EXPECT_EQ(largest.substr(0, 18), "-17976931348623157");
  EXPECT_EQ(largest.substr(largest.size() - 41), "." + std::string(40, '0'));
  EXPECT_EQ(Fixed(std::numeric_limits<double>::denorm_min(), 40), "0." + std::string(40, '0'));
}

TEST(DoubleToString, FixedRoundsHalfAwayFromZero) {
  EXPECT_EQ(Fixed(0.125, 2), "0.13");
  EXPECT_EQ(Fixed(2.5, 0), "3");
  EXPECT_EQ(Fixed(-2.5, 0), "-3");
  EXPECT_EQ(Fixed(3.14159, 3), "3.142");
  EXPECT_EQ(Fixed(1.0, 4), "1.0000");
  // 2.675 is stored just below the half, and stays below it.
  EXPECT_EQ(Fixed(2.675, 2), "2.67");
  // Ties that a double holds exactly go away from zero in every mode.
  EXPECT_EQ(Auto(1000000.5), "1.000001e+6");
  EXPECT_EQ(Auto(0.03125, 3), "0.0313");
  EXPECT_EQ(Fixed(4503599627370495.5, 0), "4503599627370496");
}

TEST(DoubleToString, PrecisionAsTheCallersPassIt) {
  EXPECT_EQ(Auto(3.14159265358979, 7), "3.141593");
  EXPECT_EQ(Auto(3.14159265358979, 10), "3.141592654");
  EXPECT_EQ(Auto(0.1, 20), "0.10000000000000000555");
  EXPECT_EQ(Auto(2.0, 0), "2");  // fewer than one digit counts as one
}

TEST(DoubleToString, NonFiniteValues) {
  EXPECT_EQ(Auto(std::nan("")), "nan");
  EXPECT_EQ(Fixed(std::numeric_limits<double>::infinity(), 2), "inf");
  EXPECT_EQ(Auto(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(DoubleToString, ResultIsASCIIString) {
  vorn::string text = vorn::DoubleToString(1.5, -1, 7);
  EXPECT_EQ(text.View(), "1.5");
  EXPECT_EQ(text.Encoding(), vorn::kEncodingASCII);
}

TEST(RadixText, HexOctalAndBinaryWithoutLeadingZeros) {
  EXPECT_EQ(Take(RuntimeHex(0)), "0");
  EXPECT_EQ(Take(RuntimeHex(255)), "FF");
  EXPECT_EQ(Take(RuntimeHex(0xDEADBEEF)), "DEADBEEF");
  EXPECT_EQ(Take(RuntimeOct(8)), "10");
  EXPECT_EQ(Take(RuntimeOct(0xFFFFFFFF)), "37777777777");
  EXPECT_EQ(Take(RuntimeBin(5)), "101");
  EXPECT_EQ(Take(RuntimeBin(0x80000000)), "1" + std::string(31, '0'));
  EXPECT_EQ(vorn::UInt32ToHex8String(0xAB).View(), "000000AB");
  EXPECT_EQ(vorn::UInt32ToHex8String(0xFFFFFFFF).View(), "FFFFFFFF");
}

TEST(StringStr, SevenSignificantDigits) {
  EXPECT_EQ(Take(StringStr(1.0 / 3.0)), "0.3333333");
  EXPECT_EQ(Take(StringStr(42.0)), "42");
  EXPECT_EQ(Take(StringStr(1e7)), "1.000000e+7");
}

}  // namespace
