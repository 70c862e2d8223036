#include "strings/number_parse.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "support/process_locale.h"
#include "vorn/runtime_math.h"

namespace {

using vorn::CStringToLong;
using vorn::ParseNumber;
using vorn::StringVal;

TEST(StringVal, ReadsTheLeadingDecimalNumber) {
  EXPECT_DOUBLE_EQ(StringVal(" -12.5e2xyz"), -1250.0);
  EXPECT_DOUBLE_EQ(StringVal("\t +.5"), 0.5);
  EXPECT_DOUBLE_EQ(StringVal("3."), 3.0);
  EXPECT_DOUBLE_EQ(StringVal("1,000"), 1.0);
  EXPECT_DOUBLE_EQ(StringVal("2E-3"), 0.002);
  EXPECT_DOUBLE_EQ(StringVal("7 8"), 7.0);
}

TEST(StringVal, IncompleteExponentIsLeftOut) {
  EXPECT_DOUBLE_EQ(StringVal("1e"), 1.0);
  EXPECT_DOUBLE_EQ(StringVal("1e+"), 1.0);
  EXPECT_DOUBLE_EQ(StringVal("4.5E-x"), 4.5);
}

TEST(StringVal, NoNumberGivesZero) {
  EXPECT_EQ(StringVal(""), 0.0);
  EXPECT_EQ(StringVal(vorn::string()), 0.0);
  EXPECT_EQ(StringVal("abc"), 0.0);
  EXPECT_EQ(StringVal("-"), 0.0);
  EXPECT_EQ(StringVal("."), 0.0);
  EXPECT_EQ(StringVal("- 5"), 0.0);
  EXPECT_EQ(StringVal("e5"), 0.0);
  // Words the C library would read as numbers are not numbers of the language.
  EXPECT_EQ(StringVal("inf"), 0.0);
  EXPECT_EQ(StringVal("nan"), 0.0);
  EXPECT_EQ(StringVal("0x1F"), 0.0);
  EXPECT_EQ(StringVal("&hFF"), 0.0);
}

TEST(StringVal, BeyondTheRangeOfADouble) {
  EXPECT_EQ(StringVal("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(StringVal("-1e400"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(StringVal("1e-400"), 0.0);
}

TEST(StringVal, ReadsUTF16Text) {
  const char16_t text[] = u"  42.5";
  vorn::string utf16(text, static_cast<int32_t>(sizeof text - sizeof text[0]),
                     vorn::kEncodingUTF16);
  EXPECT_DOUBLE_EQ(StringVal(utf16), 42.5);
}

TEST(StringVal, EntryPointBorrowsItsArgument) {
  VORN_LITERAL(kText, "6.25 mag");
  EXPECT_DOUBLE_EQ(::StringVal(VORN_STR(kText)), 6.25);
  EXPECT_EQ(VORN_STR(kText)->refCount, 1);
  EXPECT_EQ(::StringVal(nullptr), 0.0);
}

TEST(ParseNumber, ReadsRadixPrefixes) {
  EXPECT_DOUBLE_EQ(ParseNumber("&hFF"), 255.0);
  EXPECT_DOUBLE_EQ(ParseNumber("  &HffFFffFF"), 4294967295.0);
  EXPECT_DOUBLE_EQ(ParseNumber("&o17"), 15.0);
  EXPECT_DOUBLE_EQ(ParseNumber("&b1012"), 5.0);
  EXPECT_DOUBLE_EQ(ParseNumber("&hZZ"), 0.0);
  EXPECT_DOUBLE_EQ(ParseNumber("&x12"), 0.0);
  EXPECT_DOUBLE_EQ(ParseNumber("-3.5"), -3.5);
}

TEST(CStringToLong, SignAndDigitsUpToTheFirstNonDigit) {
  EXPECT_EQ(CStringToLong(" -12x"), -12);
  EXPECT_EQ(CStringToLong("\t+7"), 7);
  EXPECT_EQ(CStringToLong("0042"), 42);
  EXPECT_EQ(CStringToLong("x12"), 0);
  EXPECT_EQ(CStringToLong(""), 0);
  EXPECT_EQ(CStringToLong("-"), 0);
  EXPECT_EQ(CStringToLong("- 5"), 0);
  EXPECT_EQ(CStringToLong(nullptr), 0);
}

TEST(CStringToLong, LimitsOf32Bits) {
  EXPECT_EQ(CStringToLong("2147483647"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(CStringToLong("-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(CStringToLong("2147483648"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(CStringToLong("-99999999999999999999999"), std::numeric_limits<int32_t>::min());
}

TEST(DigitParsing, AccumulatesDigitsOfTheBase) {
  EXPECT_EQ(vorn::ParseHexDigits("1aF", 3), 0x1AFu);
  EXPECT_EQ(vorn::ParseHexDigits("FFFFFFFFF", 9), 0xFFFFFFFFu);  // wraps in 32 bits
  EXPECT_EQ(vorn::ParseOctalDigits("777", 3), 511u);
  EXPECT_EQ(vorn::ParseBinaryDigits("1011", 4), 11u);
  EXPECT_EQ(vorn::ParseHexDigits("12345", 2), 0x12u);  // only the bytes asked for
}

TEST(DigitParsing, BadDigitSetsTheFlagAndEndsTheDigits) {
  bool bad = false;
  EXPECT_EQ(vorn::ParseHexDigits("12G4", 4, &bad), 0x12u);
  EXPECT_TRUE(bad);
  bad = false;
  EXPECT_EQ(vorn::ParseOctalDigits("78", 2, &bad), 7u);
  EXPECT_TRUE(bad);
  bad = false;
  EXPECT_EQ(vorn::ParseBinaryDigits("102", 3, &bad), 2u);
  EXPECT_TRUE(bad);
  bad = false;
  EXPECT_EQ(vorn::ParseHexDigits("AB", 0, &bad), 0u);
  EXPECT_FALSE(bad);
  EXPECT_EQ(vorn::ParseHexDigits(nullptr, 2, &bad), 0u);
  EXPECT_TRUE(bad);
  EXPECT_EQ(vorn::ParseHexDigits("1\0", 2), 1u);  // no flag asked for: the NUL just ends it
}

TEST(CDbl, ReadsTheLocaleSeparators) {
  // The C locale's separators are "," and "."; a decimal-comma locale's "." or U+202F and ",".
  for (const std::string& locale : vorn::test::RowLocales()) {
    vorn::test::ProcessLocale in(locale);
    ASSERT_TRUE(in.Loaded()) << locale;
    vorn::string grouped(vorn::test::InLocaleSeparators("1,234,567.25"), vorn::kEncodingUTF8);
    EXPECT_DOUBLE_EQ(runCDbl(grouped.Rep()), 1234567.25) << locale;
    EXPECT_DOUBLE_EQ(runCDbl(nullptr), 0.0);
  }
}

}  // namespace
