// DatabaseRecord: named values of a row to insert, each kept as text with a type code that
// decides whether an INSERT quotes it.
#include <cstddef>
#include <string>

#include "database/database_fields.h"
#include "database/database_jpeg.h"
#include "objects/class_registry.h"
#include "objects/date_class.h"
#include "strings/number_parse.h"
#include "strings/number_text.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr uint32_t kRowFlags = 4;

const ParamRow kNameParam[] = {{"Name", "s", 0, 0}};
const ParamRow kIndexParam[] = {{"v", "i4", 0, 0}};

#define COLUMN(name, type, getter, setter) \
  {name, type, kNameParam, 1, Fn(&getter), #getter, Fn(&setter), #setter, kRowFlags, 0}
#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, kRowFlags, 0}

const MethodRow kMethods[] = {
    COLUMN("Column", "s", getDatabaseRecordColumn, setDatabaseRecordColumn),
    COLUMN("DoubleColumn", "f8", getDatabaseRecordDoubleColumn, setDatabaseRecordDoubleColumn),
    COLUMN("IntegerColumn", "i4", getDatabaseRecordIntegerColumn, setDatabaseRecordIntegerColumn),
    COLUMN("DateColumn", "o<Date>", getDatabaseRecordDateColumn, setDatabaseRecordDateColumn),
    {"MacPictColumn", "o<Picture>", kNameParam, 1, Fn(&getDatabaseRecordMacPictColumn),
     "getDatabaseRecordMacPictColumn", Fn(&setDatabaseRecordMacPictColumn), "setDatabaseRecordMacPictColumn", 0, 0},
    {"JPEGColumn", "o<Picture>", kNameParam, 1, Fn(&getDatabaseRecordJPEGColumn), "getDatabaseRecordJPEGColumn",
     Fn(&setDatabaseRecordJPEGColumn), "setDatabaseRecordJPEGColumn", 0, 0},
    COLUMN("BlobColumn", "s", GetDatabaseRecordBlobColumn, SetDatabaseRecordBlobColumn),
    COLUMN("BooleanColumn", "b", GetDatabaseRecordBooleanColumn, SetDatabaseRecordBooleanColumn),
    METHOD("FieldCount", "i4", nullptr, 0, getDatabaseRecordFieldCount),
    METHOD("getIndString", "s", kIndexParam, 1, getDatabaseRecordIndString),
};

#undef METHOD
#undef COLUMN

ObjectDefinition* BuildRecordDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("DatabaseRecord");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(DatabaseRecordObject));
  definition->mFinalizer = {Fn(&databaseRecordDestructor), "databaseRecordDestructor"};
  SetMethodList(definition, kMethods, RowCount(kMethods));
  return definition;
}

DatabaseRecordObject* RecordFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetDatabaseRecordClassDefinition())) return nullptr;
  return reinterpret_cast<DatabaseRecordObject*>(object);
}

dbColumnValue* Find(RuntimeObject* object, StringRep* name) {
  const string wanted = string::Share(name);
  for (dbColumnValue* value = DatabaseRecordValues(object); value; value = value->next) {
    if (SameName(string::Share(value->column).View(), wanted.View())) return value;
  }
  return nullptr;
}

// A known column keeps its type code and takes the new text; a new one goes to the front.
void Set(RuntimeObject* object, StringRep* name, const string& text, int32_t type) {
  DatabaseRecordObject* record = RecordFields(object);
  if (!record) return;
  if (dbColumnValue* value = Find(object, name)) {
    ReplaceStringRep(value->value, text.Rep());
    return;
  }
  RetainStringRep(name);
  record->values = new dbColumnValue{record->values, name, text.GetRetainedRep(), type};
}

string Text(RuntimeObject* object, StringRep* name) {
  const dbColumnValue* value = Find(object, name);
  return value ? string::Share(value->value) : string();
}

}  // namespace

ObjectDefinition* GetDatabaseRecordClassDefinition() {
  static ObjectDefinition* definition = BuildRecordDefinition();
  return definition;
}

dbColumnValue* DatabaseRecordValues(RuntimeObject* object) {
  DatabaseRecordObject* record = RecordFields(object);
  return record ? record->values : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void databaseRecordDestructor(VornRuntimeObject* object) {
  DatabaseRecordObject* record = RecordFields(object);
  if (!record) return;
  while (dbColumnValue* value = record->values) {
    record->values = value->next;
    ReleaseStringRep(value->column);
    ReleaseStringRep(value->value);
    delete value;
  }
}

VornStringRecord* getDatabaseRecordColumn(VornRuntimeObject* object, VornStringRecord* name) {
  return Text(object, name).GetRetainedRep();
}

void setDatabaseRecordColumn(VornRuntimeObject* object, VornStringRecord* name, VornStringRecord* value) {
  Set(object, name, string::Share(value), kVornDbText);
}

double getDatabaseRecordDoubleColumn(VornRuntimeObject* object, VornStringRecord* name) {
  return StringVal(Text(object, name));
}

void setDatabaseRecordDoubleColumn(VornRuntimeObject* object, VornStringRecord* name, double value) {
  Set(object, name, DoubleToString(value, kDoubleAutomatic, 20), kVornDbDouble);
}

int32_t getDatabaseRecordIntegerColumn(VornRuntimeObject* object, VornStringRecord* name) {
  return CStringToLong(Text(object, name).CString());
}

void setDatabaseRecordIntegerColumn(VornRuntimeObject* object, VornStringRecord* name, int32_t value) {
  Set(object, name, LongToString(value), kVornDbInteger);
}

VornRuntimeObject* getDatabaseRecordDateColumn(VornRuntimeObject* object, VornStringRecord* name) {
  return NewDateFromSQLDateTime(Text(object, name));
}

void setDatabaseRecordDateColumn(VornRuntimeObject* object, VornStringRecord* name, VornRuntimeObject* date) {
  if (date) Set(object, name, GetSQLDateTimeString(date), kVornDbDate);
}

// No picture of that format is kept on this platform: the column is set to the empty text.
VornRuntimeObject* getDatabaseRecordMacPictColumn(VornRuntimeObject*, VornStringRecord*) { return nullptr; }

void setDatabaseRecordMacPictColumn(VornRuntimeObject* object, VornStringRecord* name, VornRuntimeObject* picture) {
  if (picture) Set(object, name, string(), kVornDbText);
}

VornStringRecord* GetDatabaseRecordBlobColumn(VornRuntimeObject* object, VornStringRecord* name) {
  return Text(object, name).GetRetainedRep();
}

void SetDatabaseRecordBlobColumn(VornRuntimeObject* object, VornStringRecord* name, VornStringRecord* value) {
  Set(object, name, string::Share(value), kVornDbBinary);
}

uint8_t GetDatabaseRecordBooleanColumn(VornRuntimeObject* object, VornStringRecord* name) {
  return SameName(Text(object, name).View(), "true") ? 1 : 0;
}

void SetDatabaseRecordBooleanColumn(VornRuntimeObject* object, VornStringRecord* name, uint8_t value) {
  Set(object, name, string(value ? "true" : "false"), kVornDbBoolean);
}

int32_t getDatabaseRecordFieldCount(VornRuntimeObject* object) {
  int32_t count = 0;
  for (const dbColumnValue* value = DatabaseRecordValues(object); value; value = value->next) ++count;
  return count;
}

VornStringRecord* getDatabaseRecordIndString(VornRuntimeObject* object, int32_t index) {
  int32_t position = 1;
  for (const dbColumnValue* value = DatabaseRecordValues(object); value; value = value->next, ++position) {
    if (position == index) {
      RetainStringRep(value->value);
      return value->value;
    }
  }
  return nullptr;
}

VornRuntimeObject* getDatabaseRecordJPEGColumn(VornRuntimeObject* object, VornStringRecord* name) {
  return PictureFromJPEG(std::string(Text(object, name).View()));
}

// The column keeps type code 5, as every picture column does; a nil picture sets nothing.
void setDatabaseRecordJPEGColumn(VornRuntimeObject* object, VornStringRecord* name, VornRuntimeObject* picture) {
  if (std::optional<std::string> bytes = JPEGOfPicture(picture)) Set(object, name, string(*bytes, kEncodingUnknown), 5);
}

}  // extern "C"
