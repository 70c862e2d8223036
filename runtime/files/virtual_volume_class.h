// The language's VirtualVolume class: one object for each open volume, holding its folder
// tree. Folder items and streams inside the volume hold the object, so the volume closes (its
// map saved, its file closed) when the last of them and the object itself are gone.
#pragma once

#include "files/vhfs_volume.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/virtual_volume_api.h"

namespace vorn {

struct VirtualVolumeObject {
  RuntimeObject header;
  VHFSVolume* mVolume;  // owned; nil once destroyed
};

ObjectDefinition* GetVirtualVolumeClassDefinition();

bool IsVirtualVolume(RuntimeObject* object);
// The volume of a VirtualVolume object; nil for nil, another object or a volume gone.
VHFSVolume* VirtualVolumeOf(RuntimeObject* object);
// A new VirtualVolume object (one reference for the caller) taking the volume over; nil, the
// volume destroyed, when there is none or no object can be made.
RuntimeObject* NewVirtualVolumeObject(VHFSVolume* volume);

}  // namespace vorn
