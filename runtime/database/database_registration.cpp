#include "database/builtin_database_class.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "objects/class_registry.h"

namespace vorn {

void RegisterDatabaseClasses() {
  RegisterIntrinsicClass(GetDatabaseClassDefinition());
  RegisterIntrinsicClass(GetDatabaseCursorClassDefinition());
  RegisterIntrinsicClass(GetDatabaseCursorFieldClassDefinition());
  RegisterIntrinsicClass(GetRecordSetClassDefinition());
  RegisterIntrinsicClass(GetDatabaseFieldClassDefinition());
  RegisterIntrinsicClass(GetDatabaseRecordClassDefinition());
  RegisterIntrinsicClass(GetVORNDatabaseClassDefinition());
}

}  // namespace vorn
