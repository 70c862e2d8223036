// ParseDate: a date written the way the Date class writes it (SQL, the locale's short date with
// two- or four-digit years, the long and abbreviated dates), with an optional time.
#include <langinfo.h>
#include <time.h>

#include <cctype>
#include <string>

#include "objects/date_class.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The fields when the whole text (trailing blanks aside) matches the format and names a real
// calendar day.
bool ParseWith(const std::string& text, const std::string& format, tm& fields) {
  fields = tm{};
  const char* end = strptime(text.c_str(), format.c_str(), &fields);
  if (!end) return false;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (*end) return false;
  int year = fields.tm_year + 1900, month = fields.tm_mon + 1;
  return year >= 1 && month >= 1 && month <= 12 && fields.tm_mday >= 1 && fields.tm_mday <= DaysInMonth(year, month);
}

bool ParseDateText(const std::string& text, tm& fields) {
  // The locale's short date, then again with four-digit years where it writes two (tried second:
  // four-digit years would read "03" as the year 3).
  std::string shortDate = nl_langinfo(D_FMT);
  std::string longYears = shortDate;
  for (size_t at = longYears.find("%y"); at != std::string::npos; at = longYears.find("%y", at)) longYears[at + 1] = 'Y';
  const std::string dates[] = {"%Y-%m-%d", shortDate, longYears, "%A, %B %d, %Y", "%a, %b %d, %Y", "%B %d, %Y",
                               "%b %d, %Y"};
  const char* const times[] = {"", " %H:%M:%S", " %H:%M", " %X"};
  for (const std::string& date : dates) {
    for (const char* time : times) {
      if (ParseWith(text, date + time, fields)) return true;
    }
  }
  return false;
}

}  // namespace

}  // namespace vorn

extern "C" {

// A nil variable address raises NilObjectException.
uint8_t parseDate(VornStringRecord* text, VornRuntimeObject** date) {
  if (!date) {
    RuntimeRaiseNilObjectException();
    return 0;
  }
  vorn::string source = vorn::string::Share(text).ToUTF8();
  tm fields{};
  std::string bytes(source.View());
  if (bytes.find('\0') != std::string::npos || !vorn::ParseDateText(bytes, fields)) return 0;
  VornRuntimeObject* parsed = vorn::NewDateFromParts(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                                                     fields.tm_hour, fields.tm_min, fields.tm_sec);
  if (!parsed) return 0;
  VornRuntimeObject* old = *date;
  *date = parsed;
  RuntimeUnlockObject(old);
  return 1;
}

}  // extern "C"
