#include "strings/format_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "strings/c_number_text.h"
#include "strings/format_number.h"
#include "support/process_locale.h"

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
      // What a negative section writes is negative: a trailing sign, a sign amid text.
      {"#,##0.00;#,##0.00-", &kC, "1,234.50-", -1234.5},  {"#,##0.00;#,##0.00-", &kGerman, "1234,5-", -1234.5},
      {"#,##0.00;#,##0.00-", &kC, "0.50", 0.5},           {"0.00", &kC, "5-", -5},
      {"\"<\"-\">\"0.00", &kC, "<->5.00", -5},           {"\"A-\"0000", &kC, "A-0012", 12},
      {"0.0#;0.00", &kC, "5.50", -5.5},  // the negative section writes it, the positive would not
      {"0;0", &kC, "5", 5},              // no mark tells the negative number: read as written
      {"0.00;(0.00);\"nil\"", &kC, "nil", 0}, {"00000", &kC, "01234", 1234}, {"#", &kC, "", 0},
      {"0\"5\"", &kC, "125", 12},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ReadFormattedNumber(row.text, row.format, *row.separators), row.number) << row.format << " " << row.text;
  }
  // Thousands of digits saturate; a run of them the format cannot place ends the search.
  const std::string digits(5000, '9');
  EXPECT_EQ(ReadFormattedNumber(digits + "-", "#,##0;#,##0-", kC), -std::numeric_limits<double>::max());
  EXPECT_EQ(ReadFormattedNumber(digits + "x", "0\"5\"", kC), kNone);
}

// Random numbers through random formats in several locales' writing: what the format shows reads
// back as a number the format shows the same way, the largest doubles as themselves.
TEST(FormatReading, EveryShownFormReadsBackAsItsNumber) {
  const NumberSeparators kArabic{"\u066C", "\u066B"};
  const char* const integers[] = {"0", "#", "#,##0", "00000", "0,000", "#0"};
  const char* const fractions[] = {"", "", ".0", ".00", ".##", ".0#"};
  const char* const tails[] = {"", "", "", "%", "E+00", "e-0", "E0"};
  const char* const befores[] = {"", "", "$", "\"A-\"", "\"(\"", "\"1x \""};
  const char* const afters[] = {"", "", " kg", "\")\"", "\" CR\"", "\"5\""};
  const char* const signs[] = {"", "", "", "-@", "@-", "+@", "\"<\"-\">\"@"};
  std::mt19937_64 random(20261211);
  auto pick = [&](const auto& list) { return std::string(list[random() % std::size(list)]); };
  auto section = [&] {
    const std::string sign = pick(signs), number = pick(befores) + pick(integers) + pick(fractions) + pick(tails);
    const size_t at = sign.find('@');
    return (at == std::string::npos ? number : sign.substr(0, at) + number + sign.substr(at + 1)) + pick(afters);
  };
  auto number = [&]() -> double {  // zero, the largest doubles, or of 10^-15 to 10^25
    const uint64_t kind = random() % 8;
    if (kind < 2) return kind == 0 ? 0 : (random() % 2 ? 1 : -1) * std::numeric_limits<double>::max();
    const double mantissa = std::uniform_real_distribution<double>(-10, 10)(random);
    return mantissa * std::pow(10.0, static_cast<int>(random() % 40) - 15);
  };
  for (int round = 0; round < 3000; ++round) {
    std::string format = section();
    if (random() % 2) {
      format += ";" + (random() % 4 ? section() : std::string("0"));
      if (random() % 3 == 0) format += random() % 2 ? ";\"nil\"" : ";" + section();
    }
    for (const NumberSeparators* separators : {&kC, &kGerman, &kFrench, &kArabic}) {
      const double value = number();
      const std::string shown = FormatNumber(value, format, *separators);
      const std::optional<double> read = ReadFormattedNumber(shown, format, *separators);
      ASSERT_TRUE(read.has_value()) << format << " shows " << value << " as " << shown;
      EXPECT_EQ(FormatNumber(*read, format, *separators), shown) << format << " shows " << value;
      if (std::abs(value) == std::numeric_limits<double>::max() && format.find(';') == std::string::npos &&
          format.find_first_of("Ee%") == std::string::npos) {
        EXPECT_EQ(std::abs(*read), std::numeric_limits<double>::max()) << format << " " << shown;
      }
    }
  }
  // The same through the process locale's own separators.
  for (const std::string& name : test::RowLocales()) {
    test::ProcessLocale locale(name);
    ASSERT_TRUE(locale.Loaded()) << name;
    for (int round = 0; round < 300; ++round) {
      const string format(section() + (random() % 2 ? ";" + section() : std::string()), kEncodingUTF8);
      const string shown = StringFormat(number(), format);
      EXPECT_EQ(StringFormat(StringFormattedValue(shown, format), format).View(), shown.View()) << name;
    }
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
  // A column given a number as text gets plain digits where they need few padding zeros.
  const struct {
    double number;
    const char* plain;
  } plains[] = {{100000, "100000"}, {-1234.5, "-1234.5"}, {0.000125, "0.000125"}, {-0.0, "0"},
                {1e20, "100000000000000000000"}, {1e21, "1e+21"}, {1e-7, "1e-07"}, {0.1, "0.1"}};
  for (const auto& row : plains) EXPECT_EQ(PlainCNumber(row.number), row.plain) << row.number;
}

}  // namespace
}  // namespace vorn
