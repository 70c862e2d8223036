#include "strings/date_imp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

namespace {

using vorn::DateImp;

// Runs a test body in a time zone with daylight saving, restoring the previous zone after.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    const char* old = std::getenv("TZ");
    mHadOld = old != nullptr;
    if (old) mOld = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (mHadOld) {
      setenv("TZ", mOld.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool mHadOld = false;
  std::string mOld;
};

void SetDate(DateImp& date, int year, int month, int day, int hour, int minute, int second) {
  date.SetTotalSeconds(0);
  date.SetField(vorn::kDateYear, year);
  date.SetField(vorn::kDateMonth, month);
  date.SetField(vorn::kDateDay, day);
  date.SetField(vorn::kDateHour, hour);
  date.SetField(vorn::kDateMinute, minute);
  date.SetField(vorn::kDateSecond, second);
}

void ExpectFields(DateImp& date, int year, int month, int day, int hour, int minute, int second) {
  EXPECT_EQ(date.GetField(vorn::kDateYear), year);
  EXPECT_EQ(date.GetField(vorn::kDateMonth), month);
  EXPECT_EQ(date.GetField(vorn::kDateDay), day);
  EXPECT_EQ(date.GetField(vorn::kDateHour), hour);
  EXPECT_EQ(date.GetField(vorn::kDateMinute), minute);
  EXPECT_EQ(date.GetField(vorn::kDateSecond), second);
}

TEST(Date, TotalSecondsCountFrom1904) {
  DateImp date;
  SetDate(date, 1904, 1, 1, 0, 0, 0);
  EXPECT_EQ(date.GetTotalSeconds(), 0.0);
  SetDate(date, 1904, 1, 2, 0, 0, 1);
  EXPECT_EQ(date.GetTotalSeconds(), 86401.0);
  SetDate(date, 2001, 1, 1, 0, 0, 0);
  EXPECT_EQ(date.GetTotalSeconds(), 3061152000.0);
  date.SetTotalSeconds(-1);
  ExpectFields(date, 1903, 12, 31, 23, 59, 59);
}

TEST(Date, RoundTripsThroughTotalSecondsAcrossDaylightSaving) {
  for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
    ScopedTimeZone timeZone(zone);
    DateImp date;
    // 2021-03-28 and 2021-10-31 in Berlin, 2021-03-14 and 2021-11-07 in New York, hour by hour,
    // including the hour that does not exist and the one that happens twice.
    for (int month : {3, 10, 11}) {
      for (int day : {7, 14, 28, 31}) {
        for (int hour = 0; hour < 5; ++hour) {
          if (month == 11 && day == 31) continue;
          SetDate(date, 2021, month, day, hour, 30, 15);
          double seconds = date.GetTotalSeconds();
          DateImp copy;
          copy.SetTotalSeconds(seconds);
          ExpectFields(copy, 2021, month, day, hour, 30, 15);
          EXPECT_EQ(copy.GetTotalSeconds(), seconds);
        }
      }
    }
    // Local calendar days are all 86400 seconds long, the short and the long one included.
    SetDate(date, 2021, 3, 28, 0, 0, 0);
    double start = date.GetTotalSeconds();
    SetDate(date, 2021, 3, 29, 0, 0, 0);
    EXPECT_EQ(date.GetTotalSeconds() - start, 86400.0) << zone;
  }
}

TEST(Date, FieldsOutsideTheirRangeCarryOver) {
  DateImp date;
  SetDate(date, 2023, 12, 15, 10, 0, 0);
  date.SetField(vorn::kDateMonth, 13);
  ExpectFields(date, 2024, 1, 15, 10, 0, 0);
  SetDate(date, 2023, 2, 28, 0, 0, 0);
  date.SetField(vorn::kDateDay, 29);
  ExpectFields(date, 2023, 3, 1, 0, 0, 0);
  SetDate(date, 2024, 3, 1, 0, 0, 0);
  date.SetField(vorn::kDateDay, 0);
  ExpectFields(date, 2024, 2, 29, 0, 0, 0);
  SetDate(date, 2024, 1, 1, 0, 0, 0);
  date.SetField(vorn::kDateSecond, -1);
  ExpectFields(date, 2023, 12, 31, 23, 59, 59);
  date.SetField(vorn::kDateMonth, -11);  // month 0 is December 2022, -11 January 2022
  ExpectFields(date, 2022, 1, 31, 23, 59, 59);
}

TEST(Date, FirstUseTakesThePresentLocalTime) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::unique_ptr<DateImp> date(vorn::NewDateImp());
    std::time_t now = std::time(nullptr);
    int minute = date->GetField(vorn::kDateMinute);
    std::tm local{};
    localtime_r(&now, &local);
    if (local.tm_min != minute) continue;  // the minute turned between the two readings
    EXPECT_EQ(date->GetField(vorn::kDateYear), local.tm_year + 1900);
    EXPECT_EQ(date->GetField(vorn::kDateMonth), local.tm_mon + 1);
    EXPECT_EQ(date->GetField(vorn::kDateDay), local.tm_mday);
    EXPECT_EQ(date->GetField(vorn::kDateHour), local.tm_hour);
    return;
  }
  FAIL() << "the clock kept turning over";
}

TEST(Date, SettingOneFieldFirstKeepsThePresentForTheOthers) {
  std::unique_ptr<DateImp> date(vorn::NewDateImp());
  std::time_t now = std::time(nullptr);
  date->SetField(vorn::kDateYear, 1999);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(date->GetField(vorn::kDateYear), 1999);
  if (local.tm_mon == 1 && local.tm_mday == 29) return;  // 1999 had no 29 February
  EXPECT_EQ(date->GetField(vorn::kDateMonth), local.tm_mon + 1);
  EXPECT_EQ(date->GetField(vorn::kDateDay), local.tm_mday);
}

TEST(Date, KeepsFractionsOfSecondsAndRejectsBadCounts) {
  DateImp date;
  date.SetTotalSeconds(100.25);
  EXPECT_EQ(date.GetTotalSeconds(), 100.25);
  ExpectFields(date, 1904, 1, 1, 0, 1, 40);
  date.SetField(vorn::kDateHour, 2);
  EXPECT_EQ(date.GetTotalSeconds(), 7300.25);

  date.SetTotalSeconds(std::nan(""));
  EXPECT_EQ(date.GetTotalSeconds(), 0.0);
  date.SetTotalSeconds(HUGE_VAL);
  EXPECT_EQ(date.GetTotalSeconds(), 9007199254740992.0);
  EXPECT_GT(date.GetField(vorn::kDateYear), 285000000);
  date.SetField(vorn::kDateYear, 2147483647);  // beyond the count: held at its limit
  EXPECT_EQ(date.GetTotalSeconds(), 9007199254740992.0);
  date.SetTotalSeconds(-HUGE_VAL);
  EXPECT_LT(date.GetField(vorn::kDateYear), -285000000);

  EXPECT_EQ(date.GetField(6), 0);
  EXPECT_EQ(date.GetField(-1), 0);
  date.SetTotalSeconds(0);
  date.SetField(9, 5);
  EXPECT_EQ(date.GetTotalSeconds(), 0.0);
}

TEST(Date, DayOfWeekAndDayOfYear) {
  DateImp date;
  SetDate(date, 1904, 1, 1, 0, 0, 0);
  EXPECT_EQ(date.DayOfWeek(), 6);  // a Friday
  SetDate(date, 2024, 1, 1, 12, 0, 0);
  EXPECT_EQ(date.DayOfWeek(), 2);  // a Monday
  SetDate(date, 1969, 12, 28, 0, 0, 0);
  EXPECT_EQ(date.DayOfWeek(), 1);  // a Sunday before 1970
  SetDate(date, 2024, 12, 31, 0, 0, 0);
  EXPECT_EQ(date.DayOfYear(), 366);
  SetDate(date, 2023, 3, 1, 0, 0, 0);
  EXPECT_EQ(date.DayOfYear(), 60);
}

}  // namespace

namespace {

TEST(Date, PartsSetTheDateOnlyWhenAllThreeAreGiven) {
  DateImp date;
  date.SetParts(2024, 2, 29, 13, 5, 9);
  ExpectFields(date, 2024, 2, 29, 13, 5, 9);
  date.SetParts(0, 0, 0, 7, 8, 9);  // time only
  ExpectFields(date, 2024, 2, 29, 7, 8, 9);
  date.SetParts(2023, 0, 1, 0, 0, 0);  // a zero month keeps the date
  ExpectFields(date, 2024, 2, 29, 0, 0, 0);
  date.SetParts(2023, 2, 29, 24, 0, 0);  // carries over like the fields
  ExpectFields(date, 2023, 3, 2, 0, 0, 0);
}

TEST(Date, SQLTextRoundTrips) {
  DateImp date;
  date.SetParts(1969, 7, 20, 20, 17, 40);
  EXPECT_EQ(date.SQLDateText(), "1969-07-20");
  EXPECT_EQ(date.SQLDateTimeText(), "1969-07-20 20:17:40");
  DateImp copy;
  ASSERT_TRUE(copy.SetSQLDateTime(date.SQLDateTimeText()));
  EXPECT_EQ(copy.GetTotalSeconds(), date.GetTotalSeconds());
  ASSERT_TRUE(copy.SetSQLDateTime(" 2001-01-01 "));
  EXPECT_EQ(copy.GetTotalSeconds(), 3061152000.0);
  ASSERT_TRUE(copy.SetSQLDateTime("2001-1-2T03:04"));
  ExpectFields(copy, 2001, 1, 2, 3, 4, 0);
}

TEST(Date, BadSQLTextLeavesTheDate) {
  DateImp date;
  date.SetTotalSeconds(1234);
  for (const char* text : {"", "2001", "2001-13-01", "2001-02-29", "2000-01-00", "2001-01-01 24:00",
                           "2001-01-01 10:60", "2001-01-01 10:00:60", "2001-01-01 10", "2001/01/01",
                           "2001-01-01 10:00:00x", "20011-01-01", "2001-01-01  10:00"}) {
    EXPECT_FALSE(date.SetSQLDateTime(text)) << text;
    EXPECT_EQ(date.GetTotalSeconds(), 1234.0) << text;
  }
  EXPECT_TRUE(date.SetSQLDateTime("2000-02-29 23:59:59"));
}

}  // namespace
