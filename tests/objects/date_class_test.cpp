#include <cmath>

#include "objects/accessors.h"
#include "objects/date_class.h"
#include "objects/support/value_test.h"

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

TEST_F(DateClassTest, NewDateTakesThePresentTime) {
  RuntimeObject* date = NewDateObject();
  EXPECT_GE(dateFieldGetter(date, kDateYear), 2024);
  EXPECT_EQ(NewDateFromSQLDateTime(string("not a date")), nullptr);
  RuntimeUnlockObject(date);
}

}  // namespace
}  // namespace vorn::testing
