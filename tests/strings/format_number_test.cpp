#include "strings/format_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/process_locale.h"
#include "vorn/runtime_math.h"

namespace {

std::string Format(double value, const char* format) {
  return vorn::FormatNumber(value, format, vorn::NumberSeparators{});
}

// The calculator's captions: "0", "0.0" and "0.00" for the sliders, two decimals for the result.
TEST(Format, WholeNumberCaption) {
  EXPECT_EQ(Format(150, "0"), "150");
  EXPECT_EQ(Format(2.5, "0"), "3");
  EXPECT_EQ(Format(-2.5, "0"), "-3");
  EXPECT_EQ(Format(0.49, "0"), "0");
  EXPECT_EQ(Format(-0.4, "0"), "0");
  EXPECT_EQ(Format(0, "0"), "0");
}

TEST(Format, OneDecimalCaption) {
  EXPECT_EQ(Format(6.0, "0.0"), "6.0");
  EXPECT_EQ(Format(3.0 + 7 * 0.1, "0.0"), "3.7");
  // 7.85 is stored a hair below the half; it rounds as it reads.
  EXPECT_EQ(Format(7.85, "0.0"), "7.9");
}

TEST(Format, TwoDecimalCaption) {
  EXPECT_EQ(Format(-0.5, "0.00"), "-0.50");
  EXPECT_EQ(Format(0.7, "0.00"), "0.70");
  EXPECT_EQ(Format(-0.5 + 7 * 0.05, "0.00"), "-0.15");
  EXPECT_EQ(Format(0.125, "0.00"), "0.13");
  EXPECT_EQ(Format(1.005, "0.00"), "1.01");
  EXPECT_EQ(Format(12.345, "0.00"), "12.35");
  EXPECT_EQ(Format(13.999, "0.00"), "14.00");
}

TEST(Format, MinusPlaceholder) {
  EXPECT_EQ(Format(3.14159, "-0.00"), "3.14");
  EXPECT_EQ(Format(-1.5, "-0.00"), "-1.50");
  // A negative number that rounds to zero is zero, and zero has no sign.
  EXPECT_EQ(Format(-0.001, "-0.00"), "0.00");
  EXPECT_EQ(Format(-0.0, "-0.00"), "0.00");
  EXPECT_EQ(Format(-0.001, "0.00"), "0.00");
}

TEST(Format, PlusPlaceholder) {
  EXPECT_EQ(Format(2, "+0.0"), "+2.0");
  EXPECT_EQ(Format(-2, "+0.0"), "-2.0");
  EXPECT_EQ(Format(0, "+0.0"), "+0.0");
  EXPECT_EQ(Format(5, "0+"), "5+");
}

TEST(Format, ThousandsSeparators) {
  EXPECT_EQ(Format(1234.5, "#,##0.0"), "1,234.5");
  EXPECT_EQ(Format(1234567.89, "#,##0.0"), "1,234,567.9");
  EXPECT_EQ(Format(999.95, "#,##0.0"), "1,000.0");
  EXPECT_EQ(Format(-1234.5, "#,##0.0"), "-1,234.5");
  EXPECT_EQ(Format(12, "#,##0.0"), "12.0");
  EXPECT_EQ(Format(0, "#,##0.0"), "0.0");
  EXPECT_EQ(Format(1e9, "#,##0"), "1,000,000,000");
  EXPECT_EQ(Format(1e20, "#,##0"), "100,000,000,000,000,000,000");
  EXPECT_EQ(Format(1234.5, "#,##0.0#,#"), "1,234.5");  // commas after the point are ignored
}

TEST(Format, SeparatorsComeFromTheCaller) {
  vorn::NumberSeparators german{".", ","};
  EXPECT_EQ(vorn::FormatNumber(1234567.5, "#,##0.00", german), "1.234.567,50");
  vorn::NumberSeparators thinSpace{"\u202F", "."};
  EXPECT_EQ(vorn::FormatNumber(12345, "#,##0", thinSpace), "12\u202F345");
}

TEST(Format, OptionalDigits) {
  EXPECT_EQ(Format(3.14159, "#.##"), "3.14");
  EXPECT_EQ(Format(5, "#.##"), "5");
  EXPECT_EQ(Format(0.5, "#.##"), ".5");
  EXPECT_EQ(Format(0, "#"), "");
  EXPECT_EQ(Format(1.5, "0.0#"), "1.5");
  EXPECT_EQ(Format(1.25, "0.0#"), "1.25");
  EXPECT_EQ(Format(12345, "00"), "12345");
  EXPECT_EQ(Format(12.5, ".00"), "12.50");
}

TEST(Format, DigitsFillPlacesAroundText) {
  EXPECT_EQ(Format(5551234, "000\\-0000"), "555-1234");
  EXPECT_EQ(Format(1234, "000\\-0000"), "000-1234");
  EXPECT_EQ(Format(1234, "000/0000"), "000/1234");
  // An unescaped "-" is the sign, shown only for negative numbers.
  EXPECT_EQ(Format(1234, "000-0000"), "0001234");
  EXPECT_EQ(Format(1234.5, "$#,##0.00"), "$1,234.50");
  EXPECT_EQ(Format(-1234.5, "$#,##0.00"), "-$1,234.50");
}

TEST(Format, Percent) {
  EXPECT_EQ(Format(0.256, "0%"), "26%");
  EXPECT_EQ(Format(0.07, "0.0%"), "7.0%");
  EXPECT_EQ(Format(-0.5, "0%"), "-50%");
}

TEST(Format, Sections) {
  EXPECT_EQ(Format(5, "0.00;(0.00)"), "5.00");
  EXPECT_EQ(Format(-5, "0.00;(0.00)"), "(5.00)");
  EXPECT_EQ(Format(-0.001, "0.00;(0.00)"), "0.00");
  EXPECT_EQ(Format(0, "0;-0;zero"), "zero");
  EXPECT_EQ(Format(0.2, "0;-0;zero"), "zero");
  EXPECT_EQ(Format(-3, "0;-0;zero"), "-3");
  EXPECT_EQ(Format(-3, "0.0;;nil"), "-3.0");
  EXPECT_EQ(Format(0, "0.0;;nil"), "nil");
  EXPECT_EQ(Format(7, "0;(0);zero;ignored"), "7");
}

TEST(Format, LiteralTextAndEscapes) {
  EXPECT_EQ(Format(5, "\\#0"), "#5");
  EXPECT_EQ(Format(5, "0 \\m\\m"), "5 mm");
  EXPECT_EQ(Format(5, "0\" mm; #0.\""), "5 mm; #0.");
  EXPECT_EQ(Format(5, "0\\;"), "5;");
  EXPECT_EQ(Format(21.5, "0.0 \u00B0C"), "21.5 \u00B0C");
  EXPECT_EQ(Format(5, "\\\u00B00"), "\u00B05");
  EXPECT_EQ(Format(5, "mag 0 (V)"), "mag 5 (V)");
  EXPECT_EQ(Format(1.5, "0.0.0"), "1.5.0");  // a second point is text
  EXPECT_EQ(Format(5, "0\\"), "5");          // a trailing backslash escapes nothing
  EXPECT_EQ(Format(5, "0\"open"), "5open");  // an open quote runs to the end
}

TEST(Format, Scientific) {
  EXPECT_EQ(Format(1234.5, "0.00E+00"), "1.23E+03");
  EXPECT_EQ(Format(0.000123, "0.00E+00"), "1.23E-04");
  EXPECT_EQ(Format(1234.5, "0.00E-00"), "1.23E03");
  EXPECT_EQ(Format(512, "#.##e+"), "5.12e+2");
  EXPECT_EQ(Format(9.999, "0.00E+00"), "1.00E+01");
  EXPECT_EQ(Format(-1234.5, "0.0E+0"), "-1.2E+3");
  EXPECT_EQ(Format(1234.5, "00.0E+0"), "12.3E+2");
  EXPECT_EQ(Format(0, "0.0E+0"), "0.0E+0");
  EXPECT_EQ(Format(5, "0 eV"), "5 eV");  // an "e" without sign or digit is text
}

TEST(Format, LongAndOddFormats) {
  EXPECT_EQ(Format(1.0 / 3.0, "0.0000000000"), "0.3333333333");
  EXPECT_EQ(Format(5, ""), "5");
  EXPECT_EQ(Format(5, ";"), "");
  EXPECT_EQ(Format(-5, "text"), "text");
  EXPECT_EQ(Format(std::nan(""), "0.00"), "nan");
  EXPECT_EQ(Format(-HUGE_VAL, "0.00"), "-inf");
  EXPECT_EQ(Format(1e300, "0").size(), 301u);
}

TEST(Format, StringFormatUsesTheLocaleAndTagsUTF8) {
  // The C locale's separators are "," and "." (the rows of every locale are in number_locale_test).
  vorn::test::ProcessLocale in("C");
  vorn::string result = vorn::StringFormat(1234.5, vorn::string("#,##0.0"));
  EXPECT_EQ(result.View(), "1,234.5");
  EXPECT_EQ(result.Encoding(), vorn::kEncodingUTF8);

  VORN_LITERAL(kCaption, "0.00");
  vorn::string caption = vorn::string::Adopt(StringFormat(-0.5, VORN_STR(kCaption)));
  EXPECT_EQ(caption.View(), "-0.50");
  EXPECT_EQ(caption.Rep()->refCount, 1);
  EXPECT_EQ(VORN_STR(kCaption)->refCount, 1);
}

TEST(Format, FormatInAnotherEncodingIsConvertedFirst) {
  vorn::test::ProcessLocale c("C");
  const char16_t text[] = u"0.0 \u00B0";
  vorn::string format(text, static_cast<int32_t>(sizeof text - sizeof text[0]),
                      vorn::kEncodingUTF16);
  EXPECT_EQ(vorn::StringFormat(2.25, format).View(), "2.3 \u00B0");
}

}  // namespace
