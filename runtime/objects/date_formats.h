// The strftime formats the Date class writes its texts with and ParseDate reads them back by:
// where their years are and how many digits each is written with.
#pragma once

#include <cstddef>
#include <string>

namespace vorn {

// One conversion of a format, "%" to its letter, with the C library's flags ("%-d"), width and
// E or O modifier ("%Oy") between them.
struct DateConversion {
  size_t at = std::string::npos;  // npos when there is none
  size_t end = 0;
  char modifier = 0;
  char letter = 0;

  bool IsYear() const { return modifier != 'E' && (letter == 'Y' || letter == 'y'); }
};

// The first conversion at or after `from`; "%%" is one, with the letter '%'.
DateConversion NextDateConversion(const std::string& format, size_t from);

// The years that a two-digit year reads back as: those a typed short year is taken for.
constexpr int kFirstShortYear = 1969;
constexpr int kLastShortYear = 2068;

// The format with its full years written as the year's digits, at least four of them, and its
// two-digit years too when the year is not one that two digits read back as.
std::string WithWrittenYear(const std::string& format, int year);

// The format with every year read as a short one ("%y", one or two digits, or "%Oy" in the
// locale's own digits) or every one as a full one ("%Y").
std::string WithReadYears(const std::string& format, bool shortYears);

// The format without its time zone: the Date class writes none.
std::string WithoutZone(const std::string& format);

}  // namespace vorn
