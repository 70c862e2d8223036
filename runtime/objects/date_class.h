// The language's Date class over the platform date (strings/date_imp.h): a local date and
// time counted in seconds since 1904-01-01 00:00.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/date_imp.h"

namespace vorn {

struct DateObject {
  RuntimeObject header;
  DateImp* imp;  // made by the initializer; nil only when memory ran out
};

// Selectors of dateStringGetter (the param word of the text properties). Each date text reads
// back through parseDate as the day it was written from, alone or followed by a time text.
enum DateTextSelector : int32_t {
  kDateShortDate = 0,
  kDateLongDate = 1,
  kDateAbbreviatedDate = 2,
  kDateShortTime = 3,
  kDateLongTime = 4,
};

// Selectors of dateFieldGetter beyond the six DateImp fields (read-only).
constexpr int32_t kDateDayOfWeek = 6;
constexpr int32_t kDateDayOfYear = 7;

ObjectDefinition* GetDateClassDefinition();
void RegisterDateClass();

bool IsDate(RuntimeObject* object);
// A new Date (one reference for the caller) holding the present time.
RuntimeObject* NewDateObject();
RuntimeObject* NewDateWithTotalSeconds(double seconds);
// Sets the date when year, month and day are all non-zero, then the time.
RuntimeObject* NewDateFromParts(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                                int32_t second);
// Nil when the text is not an SQL date or date-time.
RuntimeObject* NewDateFromSQLDateTime(const string& text);

double DateTotalSeconds(RuntimeObject* date);
// "YYYY-MM-DD HH:MM:SS"; empty for nil.
string GetSQLDateTimeString(RuntimeObject* date);

}  // namespace vorn

extern "C" {
void AutoInitDate(VornRuntimeObject* date);
void DateFinalizer(VornRuntimeObject* date);
int32_t DateCompare(VornRuntimeObject* self, VornRuntimeObject* other);
int32_t dateFieldGetter(VornRuntimeObject* date, int32_t field);
void dateFieldSetter(VornRuntimeObject* date, int32_t field, int32_t value);
VornStringRecord* dateStringGetter(VornRuntimeObject* date, int32_t selector);
double dateTotalSecondsGetter(VornRuntimeObject* date, int32_t unused);
void dateTotalSecondsSetter(VornRuntimeObject* date, int32_t unused, double seconds);
VornStringRecord* dateSQLDateGetter(VornRuntimeObject* date, int32_t unused);
void dateSQLDateSetter(VornRuntimeObject* date, int32_t unused, VornStringRecord* text);
VornStringRecord* dateSQLDateTimeGetter(VornRuntimeObject* date, int32_t unused);
void dateSQLDateTimeSetter(VornRuntimeObject* date, int32_t unused, VornStringRecord* text);
// ParseDate(text, ByRef date) As Boolean: accepts SQL dates, the locale's short date, the long
// and abbreviated dates, each with an optional time; a year of one or two digits is one of
// 1969-2068, one of three or four is as written. A day that is not in the calendar fails. On
// success the variable holds a new Date, else it is left alone.
uint8_t parseDate(VornStringRecord* text, VornRuntimeObject** date);
}
