// DatabaseCursorField and DatabaseField: one column of a RecordSet's current row, read through
// the engine and converted; assignments while the cursor is edited become pending edits.
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>

#include "database/database_fields.h"
#include "database/database_jpeg.h"
#include "database/database_objects.h"
#include "objects/class_registry.h"
#include "objects/date_class.h"
#include "objects/variant.h"
#include "strings/number_parse.h"
#include "strings/number_text.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr uint32_t kRowFlags = 4;

#define VALUE(name, type, getter, setter) \
  {kRowFlags, name, type, Fn(&getter), #getter, Fn(&setter), #setter, 0, 0}

const PropertyRow kProperties[] = {
    {kRowFlags, "Name", "s", Fn(&cursorFieldNameGetter), "cursorFieldNameGetter", nullptr, nullptr, 0, 0},
    VALUE("StringValue", "s", cursorFieldStringValueGetter, cursorFieldStringValueSetter),
    VALUE("DoubleValue", "f8", cursorFieldDoubleValueGetter, cursorFieldDoubleValueSetter),
    VALUE("IntegerValue", "i4", cursorFieldIntegerValueGetter, cursorFieldIntegerValueSetter),
    {kRowFlags, "NativeValue", "s", Fn(&cursorFieldNativeValueGetter), "cursorFieldNativeValueGetter", nullptr,
     nullptr, 0, 0},
    VALUE("DateValue", "o<Date>", cursorFieldDateValueGetter, cursorFieldDateValueSetter),
    {0, "MacPictValue", "o<Picture>", Fn(&cursorFieldMactPictGetter), "cursorFieldMactPictGetter",
     Fn(&cursorFieldMactPictSetter), "cursorFieldMactPictSetter", 0, 0},
    {0, "JPEGValue", "o<Picture>", Fn(&cursorFieldJPEGGetter), "cursorFieldJPEGGetter", Fn(&cursorFieldJPEGSetter),
     "cursorFieldJPEGSetter", 0, 0},
    VALUE("BooleanValue", "b", CursorFieldBooleanValueGetter, CursorFieldBooleanValueSetter),
    VALUE("Value", "o<Variant>", CursorFieldValueGetter, CursorFieldValueSetter),
};

#undef VALUE

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, kRowFlags, 0}

const ParamRow kValueParam[] = {{"v", "s", 0, 0}};

const MethodRow kMethods[] = {
    METHOD("getString", "s", nullptr, 0, databaseCursorFieldGetString),
    METHOD("setString", "", kValueParam, 1, databaseCursorFieldSetString),
    METHOD("Operator_Convert", "o<Date>", nullptr, 0, CursorFieldConvertToDate),
    METHOD("Operator_Convert", "s", nullptr, 0, CursorFieldConvertToString),
    METHOD("Operator_Convert", "i4", nullptr, 0, CursorFieldConvertToInteger),
    METHOD("Operator_Convert", "f8", nullptr, 0, CursorFieldConvertToDouble),
    METHOD("Operator_Convert", "b", nullptr, 0, CursorFieldConvertToBoolean),
};

#undef METHOD

ObjectDefinition* BuildCursorFieldDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("DatabaseCursorField");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DatabaseFieldObject));
  definition->mFinalizer = {Fn(&databaseCursorFieldDestructor), "databaseCursorFieldDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  return definition;
}

ObjectDefinition* BuildFieldDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("DatabaseField");
  definition->mSuper = GetDatabaseCursorFieldClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DatabaseFieldObject));
  return definition;
}

DatabaseFieldObject* FieldFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetDatabaseCursorFieldClassDefinition())) return nullptr;
  return reinterpret_cast<DatabaseFieldObject*>(object);
}

// What a field reads: the pending edit of its column, or the engine's value.
struct FieldValue {
  bool present = false;         // false at EOF or without an engine reader
  std::optional<string> edit;   // the pending text; nil edits read as the empty text
  DbColumnBytes bytes;
  std::string copied;           // the engine's bytes, copied before releaseValue
  bool fromRecord = false;      // the engine gave a string record, read as its text
  std::optional<string> text;   // asked for as text: a text value's bytes, made a string at once
};

const dbRowEdit* PendingEdit(DatabaseCursorObject* cursor, int32_t column) {
  for (const dbRowEdit* edit = cursor->edits; edit; edit = edit->next) {
    if (edit->column == column) return edit;
  }
  return nullptr;
}

FieldValue Read(RuntimeObject* object, bool refuseAtBOF, bool asText = false) {
  FieldValue value;
  DatabaseFieldObject* field = FieldFields(object);
  DatabaseCursorObject* cursor = field ? CursorFields(field->cursor) : nullptr;
  if (!cursor || cursor->eof || (refuseAtBOF && cursor->bof) || !cursor->handle ||
      !cursor->definition->getColumnValue) {
    return value;
  }
  value.present = true;
  if (const dbRowEdit* edit = PendingEdit(cursor, field->column)) {
    value.edit = edit->value == DbNullEditValue() ? string() : string::Share(edit->value);
    return value;
  }
  const void* data = nullptr;
  cursor->definition->getColumnValue(cursor->handle, field->column, &data, &value.bytes.type, &value.bytes.length);
  if (asText && ColumnValueIsBytes(value.bytes.type)) {
    // Text wanted as text goes from the engine's bytes into the string, with no copy between.
    const size_t length = data && value.bytes.length > 0 ? static_cast<size_t>(value.bytes.length) : 0;
    value.text = string(std::string_view(static_cast<const char*>(data), length), kEncodingUTF8);
  } else if (value.bytes.type == kVornDbStringRecord) {
    // The value is the record itself; its text is taken before the engine lets it go.
    value.copied = ColumnValueText({kVornDbStringRecord, static_cast<const uint8_t*>(data), 0});
    value.bytes.type = kVornDbText;
    value.fromRecord = true;
    value.bytes.length = static_cast<int32_t>(value.copied.size());
  } else if (data && value.bytes.length > 0) {
    value.copied.assign(static_cast<const char*>(data), value.bytes.length);
  }
  value.bytes.data = reinterpret_cast<const uint8_t*>(value.copied.data());
  if (cursor->definition->releaseValue) cursor->definition->releaseValue(cursor->handle);
  return value;
}

double ReadNumber(RuntimeObject* object) {
  FieldValue value = Read(object, false);
  if (!value.present) return 0;
  if (value.edit) return StringVal(*value.edit);
  return ColumnValueNumber(value.bytes);
}

int32_t Truncated(double number) {
  if (std::isnan(number)) return 0;
  return static_cast<int32_t>(std::trunc(std::fmax(std::fmin(number, 2147483647.0), -2147483648.0)));
}

StringRep* ReadText(RuntimeObject* object) {
  FieldValue value = Read(object, true, true);
  if (!value.present) return nullptr;
  if (value.edit) return value.edit->GetRetainedRep();
  if (value.text) return value.text->GetRetainedRep();
  return string(ColumnValueText(value.bytes), kEncodingUTF8).GetRetainedRep();
}

// Adds or replaces the pending edit of the field's column; nothing unless the cursor is edited.
void SetPending(RuntimeObject* object, StringRep* text) {
  DatabaseFieldObject* field = FieldFields(object);
  DatabaseCursorObject* cursor = field ? CursorFields(field->cursor) : nullptr;
  if (!cursor || !cursor->editing) return;
  for (dbRowEdit* edit = cursor->edits; edit; edit = edit->next) {
    if (edit->column == field->column) {
      ReplaceStringRep(edit->value, text);
      return;
    }
  }
  RetainStringRep(text);
  cursor->edits = new dbRowEdit{cursor->edits, field->column, text};
}

// The big-endian 16-bit part `index` of a date, time or timestamp value.
int32_t Part(const DbColumnBytes& value, int32_t index) {
  if (!value.data || value.length < 2 * (index + 1)) return 0;
  return static_cast<int16_t>(value.data[2 * index] << 8 | value.data[2 * index + 1]);
}

RuntimeObject* DateOf(const DbColumnBytes& value) {
  switch (value.type) {
    case kVornDbDate: return NewDateFromParts(Part(value, 0), Part(value, 1), Part(value, 2), 0, 0, 0);
    case kVornDbTime: return NewDateFromParts(1, 1, 1, Part(value, 0), Part(value, 1), Part(value, 2));
    case kVornDbTimeStamp:
      return NewDateFromParts(Part(value, 0), Part(value, 1), Part(value, 2), Part(value, 3), Part(value, 4),
                              Part(value, 5));
    default: return nullptr;
  }
}

RuntimeObject* VariantOf(const FieldValue& value) {
  if (value.fromRecord) return nullptr;
  const DbColumnBytes& bytes = value.bytes;
  switch (bytes.type) {
    case kVornDbSmallInt:
    case kVornDbInteger: return intToVariant(static_cast<int32_t>(ColumnValueNumber(bytes)));
    case kVornDbChar:
    case kVornDbText:
    case kVornDbBinary:
    case kVornDbLongText:
    case kVornDbLongBinary: return stringToVariant(string(value.copied, kEncodingUTF8).Rep());
    case kVornDbFloat:
    case kVornDbDouble: return doubleToVariant(ColumnValueNumber(bytes));
    case kVornDbBoolean: return booleanToVariant(ColumnValueBoolean(bytes) ? 1 : 0);
    case kVornDbDate:
    case kVornDbTimeStamp: return DateOf(bytes);
    // Only the time of day is set: the date stays what a new Date holds.
    case kVornDbTime: return NewDateFromParts(0, 0, 0, Part(bytes, 0), Part(bytes, 1), Part(bytes, 2));
    default: return nullptr;
  }
}

// The pending text of a Variant: nil (NULL) for nil and for objects other than dates.
string VariantText(RuntimeObject* variant) {
  switch (KindOfVariant(variant)) {
    case VariantKind::kNil:
    case VariantKind::kObject: return string::Share(DbNullEditValue());
    case VariantKind::kInteger: return LongToString(VariantToInteger(variant));
    case VariantKind::kDouble: return DoubleToString(VariantToDouble(variant), kDoubleAutomatic, 20);
    case VariantKind::kDate: return GetSQLDateTimeString(variant);
    case VariantKind::kBoolean: return string(VariantToBoolean(variant) ? "true" : "false");
    default: return VariantToText(variant);
  }
}

}  // namespace

StringRep* DbNullEditValue() {
  static StringRep* const null = NewStringRep("NULL", 4, kEncodingASCII);
  return null;
}

ObjectDefinition* GetDatabaseCursorFieldClassDefinition() {
  static ObjectDefinition* definition = BuildCursorFieldDefinition();
  return definition;
}

ObjectDefinition* GetDatabaseFieldClassDefinition() {
  static ObjectDefinition* definition = BuildFieldDefinition();
  return definition;
}

RuntimeObject* NewDatabaseField(RuntimeObject* cursor, int32_t column) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetDatabaseFieldClassDefinition());
  DatabaseFieldObject* field = FieldFields(object);
  if (!field) return nullptr;
  RuntimeLockObject(cursor);
  field->cursor = cursor;
  field->column = column;
  return object;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void databaseCursorFieldDestructor(VornRuntimeObject* object) {
  DatabaseFieldObject* field = FieldFields(object);
  if (!field) return;
  RuntimeObject* cursor = field->cursor;
  field->cursor = nullptr;
  RuntimeUnlockObject(cursor);
}

VornStringRecord* cursorFieldNameGetter(VornRuntimeObject* object, int32_t) {
  DatabaseFieldObject* field = FieldFields(object);
  DatabaseCursorObject* cursor = field ? CursorFields(field->cursor) : nullptr;
  return cursor ? CursorColumnName(cursor, field->column).GetRetainedRep() : nullptr;
}

VornStringRecord* cursorFieldStringValueGetter(VornRuntimeObject* object, int32_t) { return ReadText(object); }

void cursorFieldStringValueSetter(VornRuntimeObject* object, int32_t, VornStringRecord* value) {
  SetPending(object, value);
}

double cursorFieldDoubleValueGetter(VornRuntimeObject* object, int32_t) { return ReadNumber(object); }

void cursorFieldDoubleValueSetter(VornRuntimeObject* object, int32_t, double value) {
  SetPending(object, DoubleToString(value, kDoubleAutomatic, 20).Rep());
}

int32_t cursorFieldIntegerValueGetter(VornRuntimeObject* object, int32_t) { return Truncated(ReadNumber(object)); }

void cursorFieldIntegerValueSetter(VornRuntimeObject* object, int32_t, int32_t value) {
  SetPending(object, LongToString(value).Rep());
}

VornStringRecord* cursorFieldNativeValueGetter(VornRuntimeObject* object, int32_t) {
  FieldValue value = Read(object, false);
  if (!value.present) return nullptr;
  if (value.edit) return value.edit->GetRetainedRep();
  return string(value.copied, kEncodingUnknown).GetRetainedRep();
}

uint8_t CursorFieldBooleanValueGetter(VornRuntimeObject* object, int32_t) {
  FieldValue value = Read(object, false);
  if (!value.present) return 0;
  if (value.edit) return Truncated(StringVal(*value.edit)) != 0 ? 1 : 0;
  return !value.fromRecord && ColumnValueBoolean(value.bytes) ? 1 : 0;
}

void CursorFieldBooleanValueSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  SetPending(object, string(value ? "true" : "false").Rep());
}

VornStringRecord* databaseCursorFieldGetString(VornRuntimeObject* object) { return ReadText(object); }

void databaseCursorFieldSetString(VornRuntimeObject* object, VornStringRecord* value) { SetPending(object, value); }

VornStringRecord* CursorFieldConvertToString(VornRuntimeObject* object) { return ReadText(object); }

int32_t CursorFieldConvertToInteger(VornRuntimeObject* object) { return cursorFieldIntegerValueGetter(object, 0); }

double CursorFieldConvertToDouble(VornRuntimeObject* object) { return ReadNumber(object); }

uint8_t CursorFieldConvertToBoolean(VornRuntimeObject* object) { return CursorFieldBooleanValueGetter(object, 0); }

VornRuntimeObject* cursorFieldDateValueGetter(VornRuntimeObject* object, int32_t) {
  FieldValue value = Read(object, false);
  if (!value.present) return nullptr;
  if (value.edit) return NewDateFromSQLDateTime(*value.edit);
  return DateOf(value.bytes);
}

void cursorFieldDateValueSetter(VornRuntimeObject* object, int32_t, VornRuntimeObject* date) {
  if (date) SetPending(object, GetSQLDateTimeString(date).Rep());
}

VornRuntimeObject* CursorFieldConvertToDate(VornRuntimeObject* object) { return cursorFieldDateValueGetter(object, 0); }

// No picture of that format is decoded on this platform.
VornRuntimeObject* cursorFieldMactPictGetter(VornRuntimeObject*, int32_t) { return nullptr; }

void cursorFieldMactPictSetter(VornRuntimeObject* object, int32_t, VornRuntimeObject*) {
  SetPending(object, DbNullEditValue());
}

VornRuntimeObject* CursorFieldValueGetter(VornRuntimeObject* object, int32_t) {
  FieldValue value = Read(object, false);
  if (!value.present) return nullptr;
  if (value.edit) return stringToVariant(value.edit->Rep());
  return VariantOf(value);
}

void CursorFieldValueSetter(VornRuntimeObject* object, int32_t, VornRuntimeObject* variant) {
  SetPending(object, VariantText(variant).Rep());
}

// Only byte columns (and pending edits, which hold what a setter made) can hold a picture.
VornRuntimeObject* cursorFieldJPEGGetter(VornRuntimeObject* object, int32_t) {
  FieldValue value = Read(object, false);
  if (!value.present) return nullptr;
  if (value.edit) return PictureFromJPEG(std::string(value.edit->View()));
  if (value.bytes.type < kVornDbBinary || value.bytes.type > 17) return nullptr;
  return PictureFromJPEG(value.copied);
}

void cursorFieldJPEGSetter(VornRuntimeObject* object, int32_t, VornRuntimeObject* picture) {
  if (std::optional<std::string> bytes = JPEGOfPicture(picture)) {
    SetPending(object, string(*bytes, kEncodingUnknown).Rep());
  }
}

}  // extern "C"
