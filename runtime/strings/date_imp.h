// The platform side of the language's Date: a local date and time counted in seconds since
// 1904-01-01 00:00.
//
// The count is calendar arithmetic on the local fields (every day has 86400 seconds), so a date
// survives a round trip through its total seconds whatever the time zone and its daylight
// saving rules; only taking the present time asks the C library for the local time.
#pragma once

#include <cstdint>

namespace vorn {

enum DateField : int32_t {
  kDateYear = 0,
  kDateMonth = 1,   // 1 to 12
  kDateDay = 2,     // 1 to 31
  kDateHour = 3,
  kDateMinute = 4,
  kDateSecond = 5,
};

class DateImp {
 public:
  DateImp() = default;
  virtual ~DateImp() = default;

  // A field (kDateYear to kDateSecond; 0 for any other index).
  int32_t GetField(int32_t index);
  // Sets a field; values outside their range carry over (month 13 is January of the next year,
  // day 0 the last day of the previous month). Other indexes change nothing.
  void SetField(int32_t index, int32_t value);

  double GetTotalSeconds();
  // Not-a-number counts as 0; the count is kept within ±2^53 seconds.
  void SetTotalSeconds(double seconds);

  int32_t DayOfWeek();  // 1 Sunday to 7 Saturday
  int32_t DayOfYear();  // 1 to 366

 private:
  // Takes the present local time the first time the date is used.
  void EnsureSet();
  void SetFromFields(const int64_t fields[6], double fraction);
  void SplitTotal();

  bool mSet = false;
  double mTotalSeconds = 0;
  int32_t mFields[6] = {};
};

// A new date that takes the present local time on first use; the caller deletes it.
DateImp* NewDateImp();

// Days from 1970-01-01 to the date of the proleptic Gregorian calendar (month 1 to 12).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);

}  // namespace vorn
