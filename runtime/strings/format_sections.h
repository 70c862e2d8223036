// The sections of a Format and the tokens each is made of: what the writer lays a number out
// by and the reader walks to take it back (format_number.h tells what each character means).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

enum class TokenKind { IntegerDigit, FractionDigit, Point, Sign, Percent, Exponent, Text };

struct Token {
  TokenKind kind;
  std::string text;       // Text: what is shown; Exponent: "E" or "e"
  bool plus = false;      // Sign and Exponent: "+" shown for non-negative values
  int32_t minDigits = 1;  // Exponent: digits at least
};

struct Section {
  std::vector<Token> tokens;
  int32_t integerPlaces = 0;
  int32_t minIntegerDigits = 0;
  int32_t fractionPlaces = 0;
  int32_t minFractionDigits = 0;
  int32_t percents = 0;
  bool grouping = false;
  bool hasSign = false;
  bool scientific = false;

  bool HasDigits() const { return integerPlaces + fractionPlaces > 0; }
};

std::vector<std::string_view> SplitSections(std::string_view format);
Section ParseSection(std::string_view text);

// The sections a format writes with: positive first, then the negative and the zero section
// when the format gives them text of their own.
struct FormatSections {
  std::vector<Section> sections;
  bool hasNegative = false;
  bool hasZero = false;
};
FormatSections ParseFormatSections(std::string_view format);

}  // namespace vorn
