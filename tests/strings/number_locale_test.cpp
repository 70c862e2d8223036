// Numbers read and written the same whatever the process locale: the program's main takes the
// desktop's, whose printf and strtod use a decimal comma. Format's "." and "," and CStr show
// the locale's separators; their digits stay the C rules' digits.
#include <gtest/gtest.h>

#include <string>

#include "strings/string_entry_points.h"
#include "strings/system_encoding.h"
#include "support/process_locale.h"
#include "vorn/runtime_math.h"

namespace {

using vorn::test::ProcessLocale;

std::string Take(VornStringRecord* rep) { return std::string(vorn::string::Adopt(rep).View()); }

std::string Format(double value, const char* format) {
  vorn::string text(format);
  return Take(StringFormat(value, text.Rep()));
}

double Val(const char* text) {
  vorn::string held(text);
  return StringVal(held.Rep());
}

struct NumberRow {
  double value;
  const char* str;
  const char* format;
  const char* formattedC;      // Format, C's separators
  const char* formattedComma;  // Format, "." grouping and "," decimals
  const char* cstrComma;       // CStr with a decimal comma (under C it is Str)
};

const NumberRow kNumberRows[] = {
    {150, "150", "0", "150", "150", "150"},
    {13.81, "13.81", "0.00", "13.81", "13,81", "13,81"},
    {2.5, "2.5", "#,##0.0", "2.5", "2,5", "2,5"},
    {-0.001, "-0.001", "0.000", "-0.001", "-0,001", "-0,001"},
    {-1234567.891, "-1.234568e+6", "#,##0.00", "-1,234,567.89", "-1.234.567,89", "-1,234568e+6"},
    {2.5e-9, "2.500000e-9", "0.00E+00", "2.50E-09", "2,50E-09", "2,500000e-9"},
    {6.02e23, "6.020000e+23", "0.0##E+0", "6.02E+23", "6,02E+23", "6,020000e+23"},
    {138.0823, "138.0823", "\"Limiting magnitude: \"0.00", "Limiting magnitude: 138.08",
     "Limiting magnitude: 138,08", "138,0823"},
};

TEST(NumberLocale, StrValFormatAndCStrKeepTheirDigitsInEveryLocale) {
  for (const std::string& locale : vorn::test::RowLocales()) {
    ProcessLocale in(locale);
    ASSERT_TRUE(in.Loaded()) << locale << " cannot be loaded (the build makes it with localedef)";
    const bool comma = locale != "C";
    for (const NumberRow& row : kNumberRows) {
      SCOPED_TRACE(locale + " " + row.str);
      EXPECT_EQ(Take(StringStr(row.value)), row.str);
      EXPECT_EQ(Format(row.value, row.format), comma ? row.formattedComma : row.formattedC);
      EXPECT_EQ(Take(runCStr(row.value)), comma ? row.cstrComma : row.str);
      // Val reads "." only, and Str's text gives its number back to seven digits.
      EXPECT_EQ(Take(StringStr(Val(row.str))), row.str);
      EXPECT_EQ(Val("1,5"), 1.0);
      vorn::string cstr(comma ? row.cstrComma : row.str);
      EXPECT_EQ(Take(StringStr(runCDbl(cstr.Rep()))), row.str);
    }
  }
}

// Charset names are folded as ASCII: Turkish case would make "iso" "iSO".
TEST(NumberLocale, CharsetNamesFoldTheSameInTurkish) {
  ProcessLocale in("tr_TR.UTF-8");
  ASSERT_TRUE(in.Loaded()) << "tr_TR.UTF-8 cannot be loaded (the build makes it with localedef)";
  for (const char* name : {"iso-8859-1", "Iso_8859-1", "ISO-8859-1"})
    EXPECT_EQ(vorn::EncodingFromCharsetName(name), vorn::EncodingCode{0x0201}) << name;
}

}  // namespace
