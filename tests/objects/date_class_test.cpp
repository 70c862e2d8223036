#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "objects/accessors.h"
#include "objects/date_class.h"
#include "objects/support/value_test.h"
#include "support/process_locale.h"

namespace vorn::testing {
namespace {

class DateClassTest : public ValueTest {
 protected:
  static string Ascii(const char* text) { return string(text); }
};

TEST_F(DateClassTest, FieldsSecondsAndSQLTextRoundTrip) {
  RuntimeObject* date = NewDateFromParts(1999, 12, 31, 23, 59, 58);
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(dateFieldGetter(date, kDateYear), 1999);
  EXPECT_EQ(dateFieldGetter(date, kDateDayOfWeek), 6) << "a Friday";
  EXPECT_EQ(dateFieldGetter(date, kDateDayOfYear), 365);
  double seconds = dateTotalSecondsGetter(date, 0);
  dateFieldSetter(date, kDateSecond, 62);  // carries into the next year
  EXPECT_EQ(Take(dateSQLDateTimeGetter(date, 0)), "2000-01-01 00:00:02");
  dateTotalSecondsSetter(date, 0, seconds);
  EXPECT_EQ(Take(dateSQLDateTimeGetter(date, 0)), "1999-12-31 23:59:58");
  EXPECT_EQ(Take(dateSQLDateGetter(date, 0)), "1999-12-31");

  RuntimeObject* copy = NewDateWithTotalSeconds(seconds);
  EXPECT_EQ(DateCompare(copy, date), 0);
  dateSQLDateSetter(copy, 0, Ascii("2001-02-03").Rep());
  EXPECT_EQ(Take(dateSQLDateTimeGetter(copy, 0)), "2001-02-03 23:59:58") << "the time stays";
  EXPECT_EQ(DateCompare(copy, date), 1);
  EXPECT_EQ(DateCompare(date, copy), -1);
  EXPECT_EQ(DateCompare(date, nullptr), 1);
  dateSQLDateTimeSetter(copy, 0, Ascii("2001-02-30 10:00:00").Rep());
  EXPECT_EQ(TakePendingClassName(), "UnsupportedFormatException");
  EXPECT_EQ(Take(dateSQLDateGetter(copy, 0)), "2001-02-03") << "a bad text changes nothing";
  RuntimeUnlockObject(copy);
  RuntimeUnlockObject(date);
}

TEST_F(DateClassTest, PropertiesGoThroughTheClassTable) {
  RuntimeObject* date = NewDateFromParts(2020, 6, 15, 8, 30, 0);
  RuntimeClass* cls = ClassOf(date);
  const PropertyEntry* month = nullptr;
  const PropertyEntry* total = nullptr;
  for (const PropertyEntry& entry : cls->mAccessors) {
    if (RepText(entry.signature) == "Month%i4%") month = &entry;
    if (RepText(entry.signature) == "TotalSeconds%f8%") total = &entry;
  }
  ASSERT_NE(month, nullptr);
  ASSERT_NE(total, nullptr);
  PropertyValue value;
  ASSERT_TRUE(GetPropertyValue(date, *month, &value));
  EXPECT_EQ(value.AsInteger(), 6);
  ASSERT_TRUE(SetPropertyValue(date, *month, PropertyValue::Integer(7)));
  PropertyValue seconds;
  ASSERT_TRUE(GetPropertyValue(date, *total, &seconds));
  EXPECT_DOUBLE_EQ(seconds.AsDouble(), dateTotalSecondsGetter(date, 0));
  EXPECT_EQ(dateFieldGetter(date, kDateMonth), 7);
  EXPECT_FALSE(Take(dateStringGetter(date, kDateLongDate)).empty());
  EXPECT_EQ(dateStringGetter(date, 99), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  dateFieldSetter(date, kDateDayOfWeek, 3);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << "day of week is read-only";
  EXPECT_EQ(dateFieldGetter(nullptr, kDateYear), 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  RuntimeUnlockObject(date);
}

// A short date keeps the locale's two-digit year for the years two digits read back as.
TEST_F(DateClassTest, ShortDatesKeepTwoDigitYearsThatReadBack) {
  test::ProcessLocale locale("C");
  for (const int32_t year : {1969, 2068}) {
    RuntimeObject* date = NewDateFromParts(year, 3, 5, 0, 0, 0);
    EXPECT_EQ(Take(dateStringGetter(date, kDateShortDate)), "03/05/" + std::to_string(year % 100));
    RuntimeUnlockObject(date);
  }
}

// Every date text the class writes, alone or followed by a time text, reads back as the day and
// time it was written from: two-digit years only for 1969-2068, which they read back as, and full
// years with at least four digits, to which no pivot applies.
TEST_F(DateClassTest, EveryTextTheClassWritesReadsBack) {
  std::vector<std::string> locales = test::RowLocales(), wrong;
  locales.insert(locales.end(), {"en_US.UTF-8", "ja_JP.UTF-8", "he_IL.UTF-8", "fa_IR.UTF-8", "de_DE.ISO-8859-1"});
  for (const std::string& name : locales) {
    test::ProcessLocale locale(name);
    ASSERT_TRUE(locale.Loaded()) << name;
    for (const int32_t year : {1, 5, 24, 69, 99, 100, 500, 1968, 1969, 1999, 2000, 2024, 2068, 2069, 9999}) {
      RuntimeObject* written = NewDateFromParts(year, 3, 5, 14, 7, 9);  // "März" in de_DE
      for (const int32_t date : {kDateShortDate, kDateLongDate, kDateAbbreviatedDate}) {
        for (const int32_t time : {-1, int32_t{kDateLongTime}, int32_t{kDateShortTime}}) {
          string text = string::Adopt(dateStringGetter(written, date));
          if (time >= 0) text = text + string(" ") + string::Adopt(dateStringGetter(written, time));
          char want[32];
          std::snprintf(want, sizeof want, "%04d-03-05 %s", year,
                        time < 0 ? "00:00:00" : time == kDateLongTime ? "14:07:09" : "14:07:00");
          RuntimeObject* read = nullptr;
          const std::string got = parseDate(text.Rep(), &read) ? Take(dateSQLDateTimeGetter(read, 0)) : "refused";
          if (got != want) wrong.push_back(name + " \"" + std::string(text.ToUTF8().View()) + "\": " + got);
          RuntimeUnlockObject(read);
        }
      }
      RuntimeUnlockObject(written);
    }
  }
  for (size_t i = 0; i < wrong.size() && i < 8; ++i) ADD_FAILURE() << wrong[i];
  EXPECT_EQ(wrong.size(), 0u) << "texts read back as another day or refused";
}

TEST_F(DateClassTest, NewDateTakesThePresentTime) {
  RuntimeObject* date = NewDateObject();
  EXPECT_GE(dateFieldGetter(date, kDateYear), 2024);
  EXPECT_EQ(NewDateFromSQLDateTime(string("not a date")), nullptr);
  RuntimeUnlockObject(date);
}

}  // namespace
}  // namespace vorn::testing
