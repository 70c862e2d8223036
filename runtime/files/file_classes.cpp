#include "files/file_classes.h"

#include "core/application.h"
#include "files/folder_item_class.h"
#include "files/permissions_class.h"
#include "objects/class_registry.h"

namespace vorn {

void RegisterFileClasses() {
  RegisterIntrinsicClass(GetPermissionsClassDefinition());
  RegisterIntrinsicClass(GetFolderItemClassDefinition());
  SetDocumentItemFactory(&NewDocumentFolderItem);
}

}  // namespace vorn
