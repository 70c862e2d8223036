// The language's DatabaseCursorField (and DatabaseField, the class Field and IdxField return):
// one column of a RecordSet's current row; and DatabaseRecord: named values of a new row.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "objects/object_definition.h"
#include "objects/runtime_object.h"
#include "vorn/database_api.h"

namespace vorn {

struct DatabaseFieldObject {
  VornRuntimeObject header;
  RuntimeObject* cursor;  // held
  int32_t column;         // 0-based
};

struct DatabaseRecordObject {
  VornRuntimeObject header;
  dbColumnValue* values;  // newest first
};

ObjectDefinition* GetDatabaseCursorFieldClassDefinition();
ObjectDefinition* GetDatabaseFieldClassDefinition();
ObjectDefinition* GetDatabaseRecordClassDefinition();

// A new DatabaseField for the cursor's column, one reference for the caller.
RuntimeObject* NewDatabaseField(RuntimeObject* cursor, int32_t column);
// The record's value list; null for an empty record or anything that is not one.
dbColumnValue* DatabaseRecordValues(RuntimeObject* record);

// The value of a pending edit that sets the column to NULL: a text of its own, told apart by
// identity, so that an engine reading it as text still sees "NULL" and never an empty text.
StringRep* DbNullEditValue();

// A column value as the engine hands it out.
struct DbColumnBytes {
  uint8_t type = kVornDbNull;
  const uint8_t* data = nullptr;
  int32_t length = 0;
};
// The text a value reads as.
std::string ColumnValueText(const DbColumnBytes& value);
// Whether a value of the type reads as its own bytes.
bool ColumnValueIsBytes(uint8_t type);
// The same with every digit of a floating-point value, so that reading the text back gives the
// value itself: what a condition compares with.
std::string ColumnValueLiteral(const DbColumnBytes& value);
// The number a value reads as (0 for NULL, dates and times).
double ColumnValueNumber(const DbColumnBytes& value);
bool ColumnValueBoolean(const DbColumnBytes& value);

}  // namespace vorn

extern "C" {
void databaseCursorFieldDestructor(VornRuntimeObject* field);
VornStringRecord* cursorFieldNameGetter(VornRuntimeObject* field, int32_t);
VornStringRecord* cursorFieldStringValueGetter(VornRuntimeObject* field, int32_t);
void cursorFieldStringValueSetter(VornRuntimeObject* field, int32_t, VornStringRecord* value);
double cursorFieldDoubleValueGetter(VornRuntimeObject* field, int32_t);
void cursorFieldDoubleValueSetter(VornRuntimeObject* field, int32_t, double value);
int32_t cursorFieldIntegerValueGetter(VornRuntimeObject* field, int32_t);
void cursorFieldIntegerValueSetter(VornRuntimeObject* field, int32_t, int32_t value);
VornStringRecord* cursorFieldNativeValueGetter(VornRuntimeObject* field, int32_t);
uint8_t CursorFieldBooleanValueGetter(VornRuntimeObject* field, int32_t);
void CursorFieldBooleanValueSetter(VornRuntimeObject* field, int32_t, uint8_t value);
VornStringRecord* databaseCursorFieldGetString(VornRuntimeObject* field);
void databaseCursorFieldSetString(VornRuntimeObject* field, VornStringRecord* value);
VornStringRecord* CursorFieldConvertToString(VornRuntimeObject* field);
int32_t CursorFieldConvertToInteger(VornRuntimeObject* field);
double CursorFieldConvertToDouble(VornRuntimeObject* field);
uint8_t CursorFieldConvertToBoolean(VornRuntimeObject* field);
VornRuntimeObject* cursorFieldDateValueGetter(VornRuntimeObject* field, int32_t);
void cursorFieldDateValueSetter(VornRuntimeObject* field, int32_t, VornRuntimeObject* date);
VornRuntimeObject* CursorFieldConvertToDate(VornRuntimeObject* field);
VornRuntimeObject* cursorFieldMactPictGetter(VornRuntimeObject* field, int32_t);
void cursorFieldMactPictSetter(VornRuntimeObject* field, int32_t, VornRuntimeObject* picture);
VornRuntimeObject* cursorFieldJPEGGetter(VornRuntimeObject* field, int32_t);
void cursorFieldJPEGSetter(VornRuntimeObject* field, int32_t, VornRuntimeObject* picture);
VornRuntimeObject* CursorFieldValueGetter(VornRuntimeObject* field, int32_t);
void CursorFieldValueSetter(VornRuntimeObject* field, int32_t, VornRuntimeObject* variant);

void databaseRecordDestructor(VornRuntimeObject* record);
VornStringRecord* getDatabaseRecordColumn(VornRuntimeObject* record, VornStringRecord* name);
void setDatabaseRecordColumn(VornRuntimeObject* record, VornStringRecord* name, VornStringRecord* value);
double getDatabaseRecordDoubleColumn(VornRuntimeObject* record, VornStringRecord* name);
void setDatabaseRecordDoubleColumn(VornRuntimeObject* record, VornStringRecord* name, double value);
int32_t getDatabaseRecordIntegerColumn(VornRuntimeObject* record, VornStringRecord* name);
void setDatabaseRecordIntegerColumn(VornRuntimeObject* record, VornStringRecord* name, int32_t value);
VornStringRecord* GetDatabaseRecordBlobColumn(VornRuntimeObject* record, VornStringRecord* name);
void SetDatabaseRecordBlobColumn(VornRuntimeObject* record, VornStringRecord* name, VornStringRecord* value);
uint8_t GetDatabaseRecordBooleanColumn(VornRuntimeObject* record, VornStringRecord* name);
void SetDatabaseRecordBooleanColumn(VornRuntimeObject* record, VornStringRecord* name, uint8_t value);
VornRuntimeObject* getDatabaseRecordDateColumn(VornRuntimeObject* record, VornStringRecord* name);
void setDatabaseRecordDateColumn(VornRuntimeObject* record, VornStringRecord* name, VornRuntimeObject* date);
VornRuntimeObject* getDatabaseRecordMacPictColumn(VornRuntimeObject* record, VornStringRecord* name);
void setDatabaseRecordMacPictColumn(VornRuntimeObject* record, VornStringRecord* name, VornRuntimeObject* picture);
VornRuntimeObject* getDatabaseRecordJPEGColumn(VornRuntimeObject* record, VornStringRecord* name);
void setDatabaseRecordJPEGColumn(VornRuntimeObject* record, VornStringRecord* name, VornRuntimeObject* picture);
int32_t getDatabaseRecordFieldCount(VornRuntimeObject* record);
VornStringRecord* getDatabaseRecordIndString(VornRuntimeObject* record, int32_t index);
}
