#include "strings/number_parse.h"

#include <cmath>
#include <limits>
#include <string>

#include "strings/c_number_text.h"

namespace vorn {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

std::string_view SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

// Text in an encoding that keeps ASCII as single bytes.
string AsciiCompatible(const string& text) {
  return IsASCIICompatible(text.Encoding()) ? text : text.ToUTF8();
}

uint32_t ParseDigits(const char* text, int32_t count, bool* badDigit, uint32_t base) {
  uint32_t value = 0;
  if (count > 0 && !text) {
    if (badDigit) *badDigit = true;
    return 0;
  }
  for (int32_t i = 0; i < count; ++i) {
    int digit = DigitValue(text[i]);
    if (digit >= static_cast<int>(base)) {
      if (badDigit) *badDigit = true;
      break;
    }
    value = value * base + static_cast<uint32_t>(digit);
  }
  return value;
}

double ReadRadixDigits(std::string_view digits, uint32_t base) {
  double value = 0;
  for (char c : digits) {
    int digit = DigitValue(c);
    if (digit >= static_cast<int>(base)) break;
    value = value * base + digit;
  }
  return value;
}

}  // namespace

double ScanDecimalNumber(std::string_view text) {
  text = SkipBlanks(text);
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissaDigits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++mantissaDigits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  // The span holds only what strtod reads the same way in every locale.
  std::string span(text.substr(0, i));
  return ReadCNumber(span.c_str());
}

double StringVal(const string& text) { return ScanDecimalNumber(AsciiCompatible(text).View()); }

double ParseNumber(const string& text) {
  string ascii = AsciiCompatible(text);
  std::string_view view = SkipBlanks(ascii.View());
  if (view.size() >= 2 && view[0] == '&') {
    switch (view[1]) {
      case 'h':
      case 'H':
        return ReadRadixDigits(view.substr(2), 16);
      case 'o':
      case 'O':
        return ReadRadixDigits(view.substr(2), 8);
      case 'b':
      case 'B':
        return ReadRadixDigits(view.substr(2), 2);
      default:
        break;
    }
  }
  return ScanDecimalNumber(view);
}

int32_t CStringToLong(const char* text) {
  if (!text) return 0;
  while (IsBlank(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  int64_t value = 0;
  constexpr int64_t kLimit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
  for (; IsDigit(*text); ++text) {
    value = value * 10 + (*text - '0');
    if (value > kLimit) value = kLimit;  // keeps the accumulator bounded on long digit runs
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

uint32_t ParseHexDigits(const char* text, int32_t count, bool* badDigit) {
  return ParseDigits(text, count, badDigit, 16);
}
uint32_t ParseOctalDigits(const char* text, int32_t count, bool* badDigit) {
  return ParseDigits(text, count, badDigit, 8);
}
uint32_t ParseBinaryDigits(const char* text, int32_t count, bool* badDigit) {
  return ParseDigits(text, count, badDigit, 2);
}

}  // namespace vorn
