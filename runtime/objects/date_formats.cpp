#include "objects/date_formats.h"

#include <cstdio>
#include <cstring>

namespace vorn {

DateConversion NextDateConversion(const std::string& format, size_t from) {
  DateConversion conversion;
  size_t at = format.find('%', from);
  if (at == std::string::npos) return conversion;
  size_t i = at + 1;
  while (i < format.size() && std::strchr("_-0^#", format[i])) ++i;
  while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
  if (i < format.size() && (format[i] == 'E' || format[i] == 'O')) conversion.modifier = format[i++];
  if (i >= format.size()) return conversion;
  conversion.at = at;
  conversion.letter = format[i];
  conversion.end = i + 1;
  return conversion;
}

namespace {

// The format with each year conversion replaced by what `replace` gives for it.
template <typename Replace>
std::string ReplaceYears(const std::string& format, Replace replace) {
  std::string result;
  size_t from = 0;
  for (DateConversion c = NextDateConversion(format, 0); c.at != std::string::npos;
       c = NextDateConversion(format, c.end)) {
    if (!c.IsYear()) continue;
    result.append(format, from, c.at - from);
    result += replace(c, format.substr(c.at, c.end - c.at));
    from = c.end;
  }
  return result + format.substr(from);
}

}  // namespace

std::string WithWrittenYear(const std::string& format, int year) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", year);
  const bool twoDigitsDo = year >= kFirstShortYear && year <= kLastShortYear;
  return ReplaceYears(format, [&](const DateConversion& c, const std::string& written) {
    return c.letter == 'y' && twoDigitsDo ? written : std::string(digits);
  });
}

std::string WithReadYears(const std::string& format, bool shortYears) {
  return ReplaceYears(format, [&](const DateConversion& c, const std::string&) {
    if (!shortYears) return std::string("%Y");
    return std::string(c.modifier == 'O' ? "%Oy" : "%y");
  });
}

std::string WithoutZone(const std::string& format) {
  std::string result;
  size_t from = 0;
  for (DateConversion c = NextDateConversion(format, 0); c.at != std::string::npos;
       c = NextDateConversion(format, c.end)) {
    if (c.letter != 'Z') continue;
    result.append(format, from, c.at - from);
    from = c.end;
  }
  result += format.substr(from);
  const size_t first = result.find_first_not_of(' '), last = result.find_last_not_of(' ');
  return first == std::string::npos ? std::string() : result.substr(first, last - first + 1);
}

}  // namespace vorn
