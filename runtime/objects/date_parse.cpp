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

// The number of digits of the year where the format's first "%Y" reads it; -1 when the text does
// not reach it. strptime's "%Y" takes one to four digits and says nothing of how many it took.
int YearDigits(const std::string& text, const std::string& format) {
  size_t at = format.find("%Y");
  if (at == std::string::npos) return -1;
  tm scratch{};
  const char* year = at == 0 ? text.c_str() : strptime(text.c_str(), format.substr(0, at).c_str(), &scratch);
  if (!year) return -1;
  while (std::isspace(static_cast<unsigned char>(*year))) ++year;
  int digits = 0;
  while (std::isdigit(static_cast<unsigned char>(year[digits]))) ++digits;
  return digits;
}

// The fields when the whole text (trailing blanks aside) matches the format, names a real
// calendar day and, where the format reads a full year, writes it with at least minYearDigits.
bool ParseWith(const std::string& text, const std::string& format, int minYearDigits, tm& fields) {
  fields = tm{};
  const char* end = strptime(text.c_str(), format.c_str(), &fields);
  if (!end) return false;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (*end) return false;
  if (format.find("%Y") != std::string::npos && YearDigits(text, format) < minYearDigits) return false;
  int year = fields.tm_year + 1900, month = fields.tm_mon + 1;
  return year >= 1 && month >= 1 && month <= 12 && fields.tm_mday >= 1 && fields.tm_mday <= DaysInMonth(year, month);
}

// The format with every year read by "%y" or every one by "%Y".
std::string WithYears(std::string format, char letter) {
  for (size_t at = format.find('%'); at != std::string::npos && at + 1 < format.size(); at = format.find('%', at + 2)) {
    if (format[at + 1] == 'y' || format[at + 1] == 'Y') format[at + 1] = letter;
  }
  return format;
}

bool ParseDateText(const std::string& text, tm& fields) {
  // Every form is tried with a short year first ("%y": one or two digits, read with its pivot,
  // "24" as 2024 and "99" as 1999), then with a full one of three or four digits: a year that
  // short is never the years 0-99. The SQL form, which the Date class writes with four, takes
  // nothing else, so "05-03-24" is never 24 March of the year 5.
  struct Form {
    std::string format;
    bool shortYears;
    int fullYearDigits;
  };
  const std::string shortDate = nl_langinfo(D_FMT);
  const Form forms[] = {{"%Y-%m-%d", false, 4},     {shortDate, true, 3},   {"%A, %B %d, %Y", true, 3},
                        {"%a, %b %d, %Y", true, 3}, {"%B %d, %Y", true, 3}, {"%b %d, %Y", true, 3}};
  const char* const times[] = {"", " %H:%M:%S", " %H:%M", " %X"};
  for (const Form& form : forms) {
    const std::string shortYears = WithYears(form.format, 'y'), fullYears = WithYears(form.format, 'Y');
    for (const char* time : times) {
      if (form.shortYears && ParseWith(text, shortYears + time, 0, fields)) return true;
      if (ParseWith(text, fullYears + time, form.fullYearDigits, fields)) return true;
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
