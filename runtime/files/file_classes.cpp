#include "files/file_classes.h"

#include "files/folder_item_class.h"
#include "files/permissions_class.h"
#include "files/resource_fork_class.h"
#include "files/special_folder_class.h"
#include "files/virtual_volume_class.h"
#include "objects/class_registry.h"

namespace vorn {

void RegisterFileClasses() {
  RegisterIntrinsicClass("Permissions", &GetPermissionsClassDefinition);
  RegisterIntrinsicClass("FolderItem", &GetFolderItemClassDefinition);
  RegisterIntrinsicClass("SpecialFolder", &GetSpecialFolderClassDefinition);
  RegisterResourceForkClass();
  RegisterIntrinsicClass("VirtualVolume", &GetVirtualVolumeClassDefinition);
}

}  // namespace vorn
