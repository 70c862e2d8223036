#include "objects/date_class.h"

#include <langinfo.h>

#include <cmath>
#include <ctime>
#include <iterator>
#include <string>

#include "objects/class_registry.h"
#include "objects/date_formats.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/system_encoding.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The date's platform part, or nil with NilObjectException pending for a nil date.
DateImp* ImpOf(RuntimeObject* date) {
  if (!date) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  return reinterpret_cast<DateObject*>(date)->imp;
}

#define FIELD(name, index) \
  {0, name, "i4", Fn(&dateFieldGetter), "dateFieldGetter", Fn(&dateFieldSetter), "dateFieldSetter", index, 0}
#define TEXT(name, selector) {0, name, "s", Fn(&dateStringGetter), "dateStringGetter", nullptr, nullptr, selector, 0}

const PropertyRow kDateProperties[] = {
    FIELD("Year", kDateYear),
    FIELD("Month", kDateMonth),
    FIELD("Day", kDateDay),
    FIELD("Hour", kDateHour),
    FIELD("Minute", kDateMinute),
    FIELD("Second", kDateSecond),
    {0, "DayOfWeek", "i4", Fn(&dateFieldGetter), "dateFieldGetter", nullptr, nullptr, kDateDayOfWeek, 0},
    {0, "DayOfYear", "i4", Fn(&dateFieldGetter), "dateFieldGetter", nullptr, nullptr, kDateDayOfYear, 0},
    {0, "TotalSeconds", "f8", Fn(&dateTotalSecondsGetter), "dateTotalSecondsGetter", Fn(&dateTotalSecondsSetter),
     "dateTotalSecondsSetter", 0, 0},
    {0, "SQLDate", "s", Fn(&dateSQLDateGetter), "dateSQLDateGetter", Fn(&dateSQLDateSetter), "dateSQLDateSetter", 0, 0},
    {0, "SQLDateTime", "s", Fn(&dateSQLDateTimeGetter), "dateSQLDateTimeGetter", Fn(&dateSQLDateTimeSetter),
     "dateSQLDateTimeSetter", 0, 0},
    TEXT("ShortDate", kDateShortDate),
    TEXT("LongDate", kDateLongDate),
    TEXT("AbbreviatedDate", kDateAbbreviatedDate),
    TEXT("ShortTime", kDateShortTime),
    TEXT("LongTime", kDateLongTime),
};

#undef FIELD
#undef TEXT

const ParamRow kOtherDate[] = {{"other", "o<Date>", 0, 0}};
const MethodRow kDateMethods[] = {
    {"Operator_Compare", "i4", kOtherDate, 1, Fn(&DateCompare), "DateCompare", nullptr, nullptr, 0, 0},
};

void RaiseBadDateText() {
  RuntimeRaiseExceptionDefinition(GetUnsupportedFormatExceptionClassDefinition());
}

// The texts read back as the day they were written from (ParseDate): a full year is written with
// at least four digits, as strftime does not, and a two-digit short date of a year that two
// digits would read back as another one with its year in full.
string FormatDate(DateImp* imp, int32_t selector) {
  static const char* const kFormats[] = {nullptr, "%A, %B %d, %Y", "%a, %b %d, %Y", "%H:%M", "%X"};
  if (selector < 0 || selector >= static_cast<int32_t>(std::size(kFormats))) {
    RuntimeRaiseOutOfBoundsException();
    return string();
  }
  const std::string format =
      WithWrittenYear(selector == kDateShortDate ? nl_langinfo(D_FMT) : kFormats[selector], imp->GetField(kDateYear));
  std::tm fields{};
  fields.tm_year = imp->GetField(kDateYear) - 1900;
  fields.tm_mon = imp->GetField(kDateMonth) - 1;
  fields.tm_mday = imp->GetField(kDateDay);
  fields.tm_hour = imp->GetField(kDateHour);
  fields.tm_min = imp->GetField(kDateMinute);
  fields.tm_sec = imp->GetField(kDateSecond);
  fields.tm_wday = imp->DayOfWeek() - 1;
  fields.tm_yday = imp->DayOfYear() - 1;
  fields.tm_isdst = -1;
  char text[128];
  size_t length = std::strftime(text, sizeof text, format.c_str(), &fields);
  return string(text, static_cast<int32_t>(length), GetSystemTextEncoding());
}

}  // namespace

ObjectDefinition* GetDateClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("Date");
    definition.mInstanceSize = sizeof(DateObject);
    definition.mInitializer = {Fn(&AutoInitDate), "AutoInitDate"};
    definition.mFinalizer = {Fn(&DateFinalizer), "DateFinalizer"};
    definition.SetInstanceVariables(
        BuildPropertyList(kDateProperties, static_cast<int32_t>(std::size(kDateProperties))));
    SetMethodList(&definition, kDateMethods, static_cast<int32_t>(std::size(kDateMethods)));
  }
  return &definition;
}

void RegisterDateClass() { RegisterIntrinsicClass("Date", &GetDateClassDefinition); }

bool IsDate(RuntimeObject* object) { return RuntimeObjectIsaDefinition(object, GetDateClassDefinition()); }

RuntimeObject* NewDateObject() { return CreateInstanceFromDefinition(GetDateClassDefinition()); }

RuntimeObject* NewDateWithTotalSeconds(double seconds) {
  RuntimeObject* date = NewDateObject();
  if (DateImp* imp = date ? ImpOf(date) : nullptr) imp->SetTotalSeconds(seconds);
  return date;
}

RuntimeObject* NewDateFromParts(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                                int32_t second) {
  RuntimeObject* date = NewDateObject();
  if (DateImp* imp = date ? ImpOf(date) : nullptr) imp->SetParts(year, month, day, hour, minute, second);
  return date;
}

RuntimeObject* NewDateFromSQLDateTime(const string& text) {
  RuntimeObject* date = NewDateObject();
  DateImp* imp = date ? ImpOf(date) : nullptr;
  if (!imp || !imp->SetSQLDateTime(text.View())) {
    RuntimeUnlockObject(date);
    return nullptr;
  }
  return date;
}

double DateTotalSeconds(RuntimeObject* date) {
  DateImp* imp = date ? reinterpret_cast<DateObject*>(date)->imp : nullptr;
  return imp ? imp->GetTotalSeconds() : 0;
}

string GetSQLDateTimeString(RuntimeObject* date) {
  DateImp* imp = date ? reinterpret_cast<DateObject*>(date)->imp : nullptr;
  return imp ? string(imp->SQLDateTimeText(), kEncodingASCII) : string();
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void AutoInitDate(VornRuntimeObject* date) { reinterpret_cast<DateObject*>(date)->imp = NewDateImp(); }

void DateFinalizer(VornRuntimeObject* date) {
  auto* fields = reinterpret_cast<DateObject*>(date);
  delete fields->imp;
  fields->imp = nullptr;
}

// A Date is greater than nil; otherwise the earlier moment is the smaller.
int32_t DateCompare(VornRuntimeObject* self, VornRuntimeObject* other) {
  if (!other) return self ? 1 : 0;
  if (!self) return -1;
  if (!IsDate(other)) {
    RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
    return 0;
  }
  double a = DateTotalSeconds(self), b = DateTotalSeconds(other);
  return (a > b) - (a < b);
}

int32_t dateFieldGetter(VornRuntimeObject* date, int32_t field) {
  DateImp* imp = ImpOf(date);
  if (!imp) return 0;
  if (field == kDateDayOfWeek) return imp->DayOfWeek();
  if (field == kDateDayOfYear) return imp->DayOfYear();
  if (field < kDateYear || field > kDateSecond) {
    RuntimeRaiseOutOfBoundsException();
    return 0;
  }
  return imp->GetField(field);
}

void dateFieldSetter(VornRuntimeObject* date, int32_t field, int32_t value) {
  DateImp* imp = ImpOf(date);
  if (!imp) return;
  if (field < kDateYear || field > kDateSecond) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  imp->SetField(field, value);
}

VornStringRecord* dateStringGetter(VornRuntimeObject* date, int32_t selector) {
  DateImp* imp = ImpOf(date);
  return imp ? FormatDate(imp, selector).GetRetainedRep() : nullptr;
}

double dateTotalSecondsGetter(VornRuntimeObject* date, int32_t) {
  DateImp* imp = ImpOf(date);
  return imp ? imp->GetTotalSeconds() : 0;
}

void dateTotalSecondsSetter(VornRuntimeObject* date, int32_t, double seconds) {
  if (DateImp* imp = ImpOf(date)) imp->SetTotalSeconds(seconds);
}

VornStringRecord* dateSQLDateGetter(VornRuntimeObject* date, int32_t) {
  DateImp* imp = ImpOf(date);
  return imp ? string(imp->SQLDateText(), kEncodingASCII).GetRetainedRep() : nullptr;
}

// Only the day changes; text that names no day leaves the date alone and raises
// UnsupportedFormatException.
void dateSQLDateSetter(VornRuntimeObject* date, int32_t, VornStringRecord* text) {
  DateImp* imp = ImpOf(date);
  if (!imp) return;
  DateImp parsed;
  if (!parsed.SetSQLDateTime(string::Share(text).View())) {
    RaiseBadDateText();
    return;
  }
  imp->SetParts(parsed.GetField(kDateYear), parsed.GetField(kDateMonth), parsed.GetField(kDateDay),
                imp->GetField(kDateHour), imp->GetField(kDateMinute), imp->GetField(kDateSecond));
}

VornStringRecord* dateSQLDateTimeGetter(VornRuntimeObject* date, int32_t) {
  DateImp* imp = ImpOf(date);
  return imp ? string(imp->SQLDateTimeText(), kEncodingASCII).GetRetainedRep() : nullptr;
}

void dateSQLDateTimeSetter(VornRuntimeObject* date, int32_t, VornStringRecord* text) {
  DateImp* imp = ImpOf(date);
  if (imp && !imp->SetSQLDateTime(string::Share(text).View())) RaiseBadDateText();
}

}  // extern "C"
