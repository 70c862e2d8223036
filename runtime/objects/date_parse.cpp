// ParseDate: a date written the way the Date class writes it (SQL, the locale's short date with
// two- or four-digit years, the long and abbreviated dates), with an optional time.
#include <langinfo.h>
#include <time.h>

#include <cctype>
#include <string>

#include "objects/date_class.h"
#include "objects/date_formats.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/system_encoding.h"

namespace vorn {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Whether the year the format reads is written with as many digits as it takes, and no more
// follow it: strptime's "%y" and "%Y" stop after two and four digits and say nothing of the rest,
// and a conversion after them (ar_EG's time begins with the zone) may swallow them. A short year
// in the locale's own digits counts no ASCII ones.
bool YearDigitsFit(const std::string& text, const std::string& format, int fewest, int most) {
  DateConversion year = NextDateConversion(format, 0);
  while (year.at != std::string::npos && !year.IsYear()) year = NextDateConversion(format, year.end);
  if (year.at == std::string::npos) return true;
  tm scratch{};
  const char* at = year.at == 0 ? text.c_str() : strptime(text.c_str(), format.substr(0, year.at).c_str(), &scratch);
  if (!at) return false;
  while (std::isspace(static_cast<unsigned char>(*at))) ++at;
  int digits = 0;
  while (std::isdigit(static_cast<unsigned char>(at[digits]))) ++digits;
  return digits >= fewest && digits <= most;
}

// The fields when the whole text (trailing blanks aside) matches the format, names a real
// calendar day and writes its year with fewest to most digits.
bool ParseWith(const std::string& text, const std::string& format, int fewest, int most, tm& fields) {
  fields = tm{};
  const char* end = strptime(text.c_str(), format.c_str(), &fields);
  if (!end) return false;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (*end || !YearDigitsFit(text, format, fewest, most)) return false;
  int year = fields.tm_year + 1900, month = fields.tm_mon + 1;
  return year >= 1 && month >= 1 && month <= 12 && fields.tm_mday >= 1 && fields.tm_mday <= DaysInMonth(year, month);
}

// The locale's time as the Date class writes it: strptime's "%Z" takes whatever stands there.
std::string LocaleTime() {
  std::string time = nl_langinfo(T_FMT);
  for (size_t at = time.find("%r"); at != std::string::npos; at = time.find("%r", at)) {
    time.replace(at, 2, nl_langinfo(T_FMT_AMPM));
  }
  return WithoutZone(time);
}

bool ParseDateText(const std::string& text, tm& fields) {
  // Every form is tried with a short year first (one or two digits, read with its pivot, "24" as
  // 2024 and "99" as 1999), then with a full one of three or four digits: a year that short is
  // never the years 0-99. The SQL form, which the Date class writes with four, takes nothing
  // else, so "05-03-24" is never 24 March of the year 5.
  struct Form {
    std::string format;
    bool shortYears;
    int fullYearDigits;
  };
  const std::string shortDate = nl_langinfo(D_FMT);
  const Form forms[] = {{"%Y-%m-%d", false, 4},     {shortDate, true, 3},   {"%A, %B %d, %Y", true, 3},
                        {"%a, %b %d, %Y", true, 3}, {"%B %d, %Y", true, 3}, {"%b %d, %Y", true, 3}};
  const std::string times[] = {"", " %H:%M:%S", " %H:%M", " " + LocaleTime()};
  for (const Form& form : forms) {
    const std::string shortYears = WithReadYears(form.format, true), fullYears = WithReadYears(form.format, false);
    for (const std::string& time : times) {
      if (form.shortYears && ParseWith(text, shortYears + time, 0, 2, fields)) return true;
      if (ParseWith(text, fullYears + time, form.fullYearDigits, 4, fields)) return true;
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
  // strptime reads the locale's month and day names in its character set (de_DE.ISO-8859-1's "M\xE4rz").
  vorn::string source = vorn::ConvertTextEncoding(vorn::string::Share(text).ToUTF8(), vorn::GetSystemTextEncoding());
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
