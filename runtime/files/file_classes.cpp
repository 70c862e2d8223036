#include "files/file_classes.h"

#include "files/permissions_class.h"
#include "objects/class_registry.h"

namespace vorn {

void RegisterFileClasses() { RegisterIntrinsicClass(GetPermissionsClassDefinition()); }

}  // namespace vorn
