// The language's Permissions class: the twelve POSIX mode bits of a file as Boolean
// properties over one integer, so compiled code can change single bits and assign the whole
// set back to a FolderItem.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/folder_item_api.h"

namespace vorn {

struct PermissionsObject {
  RuntimeObject header;
  int32_t mode;
};

ObjectDefinition* GetPermissionsClassDefinition();

bool IsPermissions(RuntimeObject* object);
// A new Permissions object (one reference for the caller) holding the bits.
RuntimeObject* NewPermissionsObject(int32_t mode);
// The bits of a Permissions object; 0 for nil or any other object.
int32_t PermissionsModeBits(RuntimeObject* permissions);

}  // namespace vorn
