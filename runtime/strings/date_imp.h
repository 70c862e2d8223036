// The platform side of the language's Date: a local date and time counted in seconds since
// 1904-01-01 00:00.
//
// The count is calendar arithmetic on the local fields (every day has 86400 seconds), so a date
// survives a round trip through its total seconds whatever the time zone and its daylight
// saving rules; only taking the present time asks the C library for the local time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

enum DateField : int32_t {
  kDateYear = 0,
  kDateMonth = 1,  // 1 to 12
  kDateDay = 2,    // 1 to 31
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

  // Sets year, month and day when all three are non-zero (otherwise the date stays), then the
  // time; values outside their range carry over as with SetField.
  void SetParts(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                int32_t second);

  // "YYYY-MM-DD" and "YYYY-MM-DD HH:MM:SS".
  std::string SQLDateText();
  std::string SQLDateTimeText();
  // Reads "YYYY-MM-DD", optionally followed by " HH:MM" or " HH:MM:SS" (or "T" for the space),
  // blanks around allowed. Text that is not such a date and time, or names a day or time that
  // does not exist, leaves the date unchanged and answers false.
  bool SetSQLDateTime(std::string_view text);

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
