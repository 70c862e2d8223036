#include "strings/date_imp.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace vorn {

namespace {

constexpr double kMaxSeconds = 9007199254740992.0;  // 2^53: whole seconds stay exact
constexpr int64_t kSecondsPerDay = 86400;

constexpr int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

constexpr int64_t CivilToDays(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = FloorDiv(year, 400);
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
  int64_t year;
  int64_t month;
  int64_t day;
};

CivilDate CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = FloorDiv(days, 146097);
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  return {yearOfEra + era * 400 + (month <= 2), month, day};
}

constexpr int64_t kEpochDays = CivilToDays(1904, 1, 1);

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int64_t DaysInMonth(int64_t year, int64_t month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads 1 to `maxDigits` decimal digits at text[i].
bool ReadNumber(std::string_view text, size_t& i, size_t maxDigits, int64_t& value) {
  size_t start = i;
  value = 0;
  while (i < text.size() && i - start < maxDigits && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i++] - '0');
  }
  return i > start;
}

bool Expect(std::string_view text, size_t& i, char c) {
  if (i >= text.size() || text[i] != c) return false;
  ++i;
  return true;
}

}  // namespace

int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  return CivilToDays(year, month, day);
}

void DateImp::EnsureSet() {
  if (mSet) return;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&now, &local)) {
    SetTotalSeconds(0);
    return;
  }
  const int64_t fields[6] = {local.tm_year + int64_t{1900},
                             local.tm_mon + int64_t{1},
                             local.tm_mday,
                             local.tm_hour,
                             local.tm_min,
                             local.tm_sec};
  SetFromFields(fields, 0);
}

void DateImp::SetFromFields(const int64_t fields[6], double fraction) {
  // Months first, so that any month count lands in its year; everything else adds linearly.
  int64_t monthIndex = fields[kDateMonth] - 1;
  int64_t year = fields[kDateYear] + FloorDiv(monthIndex, 12);
  int64_t month = monthIndex - FloorDiv(monthIndex, 12) * 12 + 1;
  int64_t days = DaysFromCivil(year, month, 1) + (fields[kDateDay] - 1) - kEpochDays;
  double seconds = static_cast<double>(days) * kSecondsPerDay +
                   static_cast<double>(fields[kDateHour] * 3600 + fields[kDateMinute] * 60 +
                                       fields[kDateSecond]);
  SetTotalSeconds(seconds + fraction);
}

void DateImp::SplitTotal() {
  double whole = std::floor(mTotalSeconds);
  auto seconds = static_cast<int64_t>(whole);
  int64_t days = FloorDiv(seconds, kSecondsPerDay);
  int64_t secondOfDay = seconds - days * kSecondsPerDay;
  CivilDate date = CivilFromDays(days + kEpochDays);
  mFields[kDateYear] = static_cast<int32_t>(date.year);
  mFields[kDateMonth] = static_cast<int32_t>(date.month);
  mFields[kDateDay] = static_cast<int32_t>(date.day);
  mFields[kDateHour] = static_cast<int32_t>(secondOfDay / 3600);
  mFields[kDateMinute] = static_cast<int32_t>(secondOfDay / 60 % 60);
  mFields[kDateSecond] = static_cast<int32_t>(secondOfDay % 60);
}

int32_t DateImp::GetField(int32_t index) {
  if (index < kDateYear || index > kDateSecond) return 0;
  EnsureSet();
  return mFields[index];
}

void DateImp::SetField(int32_t index, int32_t value) {
  if (index < kDateYear || index > kDateSecond) return;
  EnsureSet();
  int64_t fields[6];
  for (int i = 0; i < 6; ++i) fields[i] = mFields[i];
  fields[index] = value;
  SetFromFields(fields, mTotalSeconds - std::floor(mTotalSeconds));
}

double DateImp::GetTotalSeconds() {
  EnsureSet();
  return mTotalSeconds;
}

void DateImp::SetTotalSeconds(double seconds) {
  if (std::isnan(seconds)) seconds = 0;
  if (seconds > kMaxSeconds) seconds = kMaxSeconds;
  if (seconds < -kMaxSeconds) seconds = -kMaxSeconds;
  mTotalSeconds = seconds;
  mSet = true;
  SplitTotal();
}

int32_t DateImp::DayOfWeek() {
  EnsureSet();
  int64_t days = DaysFromCivil(mFields[kDateYear], mFields[kDateMonth], mFields[kDateDay]);
  // 1970-01-01 was a Thursday (5 counting Sunday as 1).
  return static_cast<int32_t>((days + 4) - FloorDiv(days + 4, 7) * 7 + 1);
}

int32_t DateImp::DayOfYear() {
  EnsureSet();
  return static_cast<int32_t>(
      DaysFromCivil(mFields[kDateYear], mFields[kDateMonth], mFields[kDateDay]) -
      DaysFromCivil(mFields[kDateYear], 1, 1) + 1);
}

void DateImp::SetParts(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                       int32_t second) {
  EnsureSet();
  int64_t fields[6];
  for (int i = 0; i < 6; ++i) fields[i] = mFields[i];
  if (year != 0 && month != 0 && day != 0) {
    fields[kDateYear] = year;
    fields[kDateMonth] = month;
    fields[kDateDay] = day;
  }
  fields[kDateHour] = hour;
  fields[kDateMinute] = minute;
  fields[kDateSecond] = second;
  SetFromFields(fields, 0);
}

std::string DateImp::SQLDateText() {
  EnsureSet();
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", mFields[kDateYear], mFields[kDateMonth],
                mFields[kDateDay]);
  return text;
}

std::string DateImp::SQLDateTimeText() {
  EnsureSet();
  char text[32];
  std::snprintf(text, sizeof text, " %02d:%02d:%02d", mFields[kDateHour], mFields[kDateMinute],
                mFields[kDateSecond]);
  return SQLDateText() + text;
}

bool DateImp::SetSQLDateTime(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  int64_t fields[6] = {0, 0, 0, 0, 0, 0};
  size_t i = 0;
  if (!ReadNumber(text, i, 4, fields[kDateYear]) || !Expect(text, i, '-') ||
      !ReadNumber(text, i, 2, fields[kDateMonth]) || !Expect(text, i, '-') ||
      !ReadNumber(text, i, 2, fields[kDateDay])) {
    return false;
  }
  if (i < text.size()) {
    if (text[i] != ' ' && text[i] != 'T') return false;
    ++i;
    if (!ReadNumber(text, i, 2, fields[kDateHour]) || !Expect(text, i, ':') ||
        !ReadNumber(text, i, 2, fields[kDateMinute])) {
      return false;
    }
    if (i < text.size() &&
        (!Expect(text, i, ':') || !ReadNumber(text, i, 2, fields[kDateSecond]))) {
      return false;
    }
    if (i != text.size()) return false;
  }
  if (fields[kDateMonth] < 1 || fields[kDateMonth] > 12 || fields[kDateDay] < 1 ||
      fields[kDateDay] > DaysInMonth(fields[kDateYear], fields[kDateMonth]) ||
      fields[kDateHour] > 23 || fields[kDateMinute] > 59 || fields[kDateSecond] > 59) {
    return false;
  }
  SetFromFields(fields, 0);
  return true;
}

DateImp* NewDateImp() { return new DateImp(); }

}  // namespace vorn
