#include "database/builtin_database_class.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "objects/class_registry.h"

namespace vorn {

void AddDatabaseBindingInterfaces(ObjectDefinition* stringProvider, ObjectDefinition* tuple) {
  // Registration may run more than once (tests); each class lists an interface once.
  static bool added = false;
  if (added || !stringProvider || !tuple) return;
  added = true;
  GetDatabaseCursorFieldClassDefinition()->AddInterface(stringProvider);
  GetDatabaseRecordClassDefinition()->AddInterface(tuple);
}

void RegisterDatabaseClasses() {
  RegisterIntrinsicClass("Database", &GetDatabaseClassDefinition);
  RegisterIntrinsicClass("DatabaseCursor", &GetDatabaseCursorClassDefinition);
  RegisterIntrinsicClass("DatabaseCursorField", &GetDatabaseCursorFieldClassDefinition);
  RegisterIntrinsicClass("RecordSet", &GetRecordSetClassDefinition);
  RegisterIntrinsicClass("DatabaseField", &GetDatabaseFieldClassDefinition);
  RegisterIntrinsicClass("DatabaseRecord", &GetDatabaseRecordClassDefinition);
  RegisterIntrinsicClass("VORNDatabaseOldFormat", &GetVORNDatabaseClassDefinition);
}

}  // namespace vorn
