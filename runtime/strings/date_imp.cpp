#include "strings/date_imp.h"

#include <cmath>
#include <ctime>

namespace vorn {

namespace {

constexpr double kMaxSeconds = 9007199254740992.0;  // 2^53: whole seconds stay exact
constexpr int64_t kSecondsPerDay = 86400;

constexpr int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

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
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  return {yearOfEra + era * 400 + (month <= 2), month, day};
}

constexpr int64_t kEpochDays = CivilToDays(1904, 1, 1);

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
  const int64_t fields[6] = {local.tm_year + int64_t{1900}, local.tm_mon + int64_t{1}, local.tm_mday,
                             local.tm_hour, local.tm_min, local.tm_sec};
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
  return static_cast<int32_t>(DaysFromCivil(mFields[kDateYear], mFields[kDateMonth], mFields[kDateDay]) -
                              DaysFromCivil(mFields[kDateYear], 1, 1) + 1);
}

DateImp* NewDateImp() { return new DateImp(); }

}  // namespace vorn
