#include "strings/format_reading.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "strings/c_number_text.h"

namespace vorn {
namespace {

const NumberSeparators kC{",", "."};
const NumberSeparators kGerman{".", ","};
const NumberSeparators kFrench{"\u202F", ","};

constexpr std::optional<double> kNone;  // the text is not one number under the format
constexpr const char* kMoney = "$#,##0.00;($#,##0.00)";

TEST(FormatReading, TheShownFormAndTheLocalesWritingReadAsTheirNumber) {
  const struct {
    const char* format;
    const NumberSeparators* separators;
    const char* text;
    std::optional<double> number;
  } rows[] = {
      {"#,##0.00", &kGerman, "-1.234,50", -1234.5},
      {"#,##0.00", &kFrench, "1\u00A0234,5", 1234.5},  // any space groups where a narrow one does
      {"#,##0.00", &kC, " .5 ", 0.5},              {"#,##0.00", &kC, "5.", 5},
      {"0.0%", &kC, "12.3%", 0.123},  // the decimal it shows, not 12.3 / 100
      {"0.0%", &kC, "50", 50},        // without its "%" the number is the one written
      {"0.0%", &kGerman, "12,5 %", 0.125},         {"0.0%%", &kC, "5000.0%%", 0.5},
      {kMoney, &kGerman, "($1.234,50)", -1234.5},  {kMoney, &kC, "$-5.00", -5},
      {"0.00;0.00\" CR\"", &kC, "5.00 CR", -5},    {"0.00e+00", &kGerman, "2,50e-02", 0.025},
      {"0.00 \"pcs.\"", &kC, "12.50 pcs.", 12.5},  // the frame's "." and "e" are no number's
      {"0.00", &kC, "", kNone},          {"0.00", &kC, "--5", kNone},      {"0.00", &kC, "12 apples", kNone},
      {"0.00", &kC, "1e", kNone},        {"0.00", &kC, ",5", kNone},       {"0.00", &kGerman, "1,2,3", kNone},
      {kMoney, &kC, "$", kNone},         {"0.0%", &kC, "%50%x", kNone},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReadFormattedNumber(row.text, row.format, *row.separators), row.number) << row.format << " " << row.text;
  }
}

// A column's number goes to a field in the locale's writing and back exactly.
TEST(FormatReading, CNumbersMoveIntoTheWritingAndBackExactly) {
  const struct {
    const char *cText, *decimal, *written;
  } rows[] = {
      {"-0.25", ",", "-0,25"}, {"2.5e+20", ",", "2,5e+20"}, {"1234.5", "\u066B", "1234\u066B5"},
      {"", ",", ""},           {"1.5 kg", ",", "1.5 kg"},   {"1.2.3", ",", "1.2.3"},
  };
  for (const auto& row : rows) EXPECT_EQ(CNumberInWriting(row.cText, row.decimal), row.written) << row.cText;
  for (double number : {0.1, -0.25, 1e20, 5e-324, 0.30000000000000004}) {
    EXPECT_EQ(ReadCNumber(ShortestCNumber(number).c_str()), number) << ShortestCNumber(number);
  }
  EXPECT_EQ(ShortestCNumber(0.1), "0.1");
}

}  // namespace
}  // namespace vorn
