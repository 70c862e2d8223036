// The program's main takes the desktop's locale, whose printf and strtod use a decimal comma:
// numbers keep the C rules' digits, and only Format's and CStr's separators follow the locale.
#include <gtest/gtest.h>

#include <string>

#include "strings/string_entry_points.h"
#include "strings/system_encoding.h"
#include "support/process_locale.h"
#include "vorn/runtime_math.h"

namespace {

std::string Take(VornStringRecord* rep) { return std::string(vorn::string::Adopt(rep).View()); }

struct NumberRow {
  double value;
  const char* str;  // Str in every locale; CStr under C
  const char* format;
  const char* formatted;  // under C
};

const NumberRow kNumberRows[] = {
    {150, "150", "0", "150"},
    {13.81, "13.81", "0.00", "13.81"},
    {-1234567.891, "-1.234568e+6", "#,##0.00", "-1,234,567.89"},
    {2.5e-9, "2.500000e-9", "0.00E+00", "2.50E-09"},
};

TEST(NumberLocale, StrValFormatAndCStrKeepTheirDigitsInEveryLocale) {
  for (const std::string& locale : vorn::test::RowLocales()) {
    vorn::test::ProcessLocale in(locale);
    ASSERT_TRUE(in.Loaded()) << locale << " cannot be loaded (the build makes it with localedef)";
    const auto shown = [](const char* text) { return vorn::test::InLocaleSeparators(text); };
    vorn::string commaText("1,5");
    EXPECT_EQ(StringVal(commaText.Rep()), 1.0) << locale;
    // Turkish case would make "iso" "iSO".
    EXPECT_EQ(vorn::EncodingFromCharsetName("iso-8859-1"), vorn::EncodingCode{0x0201}) << locale;
    for (const NumberRow& row : kNumberRows) {
      SCOPED_TRACE(locale + " " + row.str);
      vorn::string str(row.str), format(row.format), cstr(shown(row.str).c_str());
      EXPECT_EQ(Take(StringStr(row.value)), row.str);
      EXPECT_EQ(Take(StringFormat(row.value, format.Rep())), shown(row.formatted));
      EXPECT_EQ(Take(runCStr(row.value)), shown(row.str));
      EXPECT_EQ(Take(StringStr(StringVal(str.Rep()))), row.str);
      EXPECT_EQ(Take(StringStr(runCDbl(cstr.Rep()))), row.str);
    }
  }
}

}  // namespace
