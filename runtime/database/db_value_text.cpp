#include "database/db_value_text.h"

#include <algorithm>
#include <charconv>
#include <glib.h>

#include <vector>

#include "strings/c_number_text.h"

namespace vorn {
namespace {

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

}  // namespace

int64_t DbParseDecimal(const std::string& text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  // Saturates far beyond any stored field's range, so that a long run of digits stays out of it.
  constexpr int64_t kCeiling = int64_t{1} << 40;
  int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    value = std::min(kCeiling, value * 10 + (text[at] - '0'));
  return negative ? -value : value;
}

std::optional<int64_t> DbParseInteger(const std::string& text, int64_t low, int64_t high) {
  // The common text, a sign at most and up to ten digits, is read without copying it; more
  // digits take the general way, which saturates.
  {
    const size_t signs = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (text.size() > signs && text.size() - signs <= 10 &&
        std::all_of(text.begin() + long(signs), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      int64_t magnitude = 0;
      for (size_t at = signs; at < text.size(); ++at) magnitude = magnitude * 10 + (text[at] - '0');
      const int64_t value = text[0] == '-' ? -magnitude : magnitude;
      if (value < low || value > high) return std::nullopt;
      return value;
    }
  }
  const std::string trimmed = Trim(text);
  size_t at = 0;
  bool negative = false;
  if (at < trimmed.size() && (trimmed[at] == '-' || trimmed[at] == '+')) negative = trimmed[at++] == '-';
  const size_t digitsStart = at;
  // Saturates far beyond any column's range, so that a long run of digits stays out of range.
  constexpr int64_t kCeiling = int64_t{1} << 40;
  int64_t magnitude = 0;
  for (; at < trimmed.size() && trimmed[at] >= '0' && trimmed[at] <= '9'; ++at)
    magnitude = std::min(kCeiling, magnitude * 10 + (trimmed[at] - '0'));
  int64_t value = negative ? -magnitude : magnitude;
  const bool plain = at == trimmed.size() && at > digitsStart;
  if (!plain && at < trimmed.size() && trimmed.find_first_of("xXnN") == std::string::npos) {
    char* end = nullptr;
    const double number = ReadCNumber(trimmed.c_str(), &end);
    if (end != trimmed.c_str() && *end == '\0') {
      if (!(number >= double(low) && number <= double(high))) return std::nullopt;
      return int64_t(number);
    }
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::string DbOutOfRangeMessage(const std::string& text, const std::string& column) {
  return "The value " + text + " is out of range for column " + column;
}

bool DbParseBoolean(const std::string& text) {
  const std::string trimmed = Trim(text);
  if (g_ascii_strcasecmp(trimmed.c_str(), "true") == 0) return true;
  std::optional<double> number = DbParseNumber(trimmed);
  return number && *number != 0;
}

std::optional<double> DbParseNumber(const std::string& text) {
  const char* start = text.c_str();
  char* end = nullptr;
  const double value = ReadCNumber(start, &end);
  if (end == start) return std::nullopt;
  return value;
}

double DbParseReal(const std::string& text) {
  // Most texts are a plain number and nothing else: read without the locale machinery, with
  // the same correctly rounded result.
  double value = 0;
  const char* end = text.data() + text.size();
  const auto read = std::from_chars(text.data(), end, value);
  if (read.ec == std::errc() && read.ptr == end) return value;
  return ReadCNumber(text.c_str());
}

std::string DbValueLiteral(const DbValue& value) {
  switch (value.type) {
    case kDbSmallint: case kDbInteger: return std::to_string(value.integer);
    case kDbFloat: case kDbDouble: return ExactCNumber(value.real);
    case kDbDate:
      return std::to_string(value.parts[0]) + "-" + std::to_string(value.parts[1]) + "-" +
             std::to_string(value.parts[2]);
    case kDbTime:
      return std::to_string(value.parts[0]) + ":" + std::to_string(value.parts[1]) + ":" +
             std::to_string(value.parts[2]);
    case kDbBoolean: return value.integer ? "true" : "false";
    case kDbVarchar: case kDbBinary: case kDbLongVarchar: case kDbLongVarbinary: return value.Text();
    default: return {};
  }
}

namespace {

// The three parts as one stored value, or nothing (with `outOfRange` said) when one of them
// does not fit the 16 bits it is stored in.
std::optional<DbValue> Parts(uint8_t type, const std::vector<std::string>& fields, bool* outOfRange) {
  int16_t parts[3] = {};
  for (size_t i = 0; i < fields.size() && i < 3; ++i) {
    const int64_t value = DbParseDecimal(fields[i]);
    if (value < INT16_MIN || value > INT16_MAX) {
      if (outOfRange) *outOfRange = true;
      return std::nullopt;
    }
    parts[i] = int16_t(value);
  }
  return DbValue::Parts(type, parts[0], parts[1], parts[2]);
}

}  // namespace

std::optional<DbValue> DbParseDate(const std::string& text, bool* outOfRange) {
  std::string trimmed = Trim(text);
  std::vector<std::string> fields = Split(trimmed.substr(0, trimmed.find(' ')), '-');
  if (fields.size() != 3) return std::nullopt;
  return Parts(kDbDate, fields, outOfRange);
}

std::optional<DbValue> DbParseTime(const std::string& text, bool* outOfRange) {
  std::string trimmed = Trim(text);
  size_t blank = trimmed.find(' ');
  std::string part = blank == std::string::npos ? std::string() : Trim(trimmed.substr(blank + 1));
  part = part.substr(0, part.find(' '));
  if (part.empty()) part = trimmed;
  std::vector<std::string> fields = Split(part, ':');
  if (fields.size() != 2 && fields.size() != 3) return std::nullopt;
  return Parts(kDbTime, fields, outOfRange);
}

}  // namespace vorn
