#include "files/virtual_volume_class.h"

#include <iterator>

#include "files/folder_item_class.h"
#include "files/folder_item_imp_virtual.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const PropertyRow kVirtualVolumeProperties[] = {
    {0, "Root", "o<FolderItem>", Fn(&VirtVolRootGetter), "VirtVolRootGetter", nullptr, nullptr, 0, 0},
    {0, "Damage", "s", Fn(&VirtVolDamageGetter), "VirtVolDamageGetter", nullptr, nullptr, 0, 0},
};

}  // namespace

ObjectDefinition* GetVirtualVolumeClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("VirtualVolume");
    definition.mInstanceSize = sizeof(VirtualVolumeObject);
    definition.mFinalizer = {Fn(&VirtVolDestructor), "VirtVolDestructor"};
    definition.SetInstanceVariables(
        BuildPropertyList(kVirtualVolumeProperties, static_cast<int32_t>(std::size(kVirtualVolumeProperties))));
  }
  return &definition;
}

bool IsVirtualVolume(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetVirtualVolumeClassDefinition());
}

VHFSVolume* VirtualVolumeOf(RuntimeObject* object) {
  return IsVirtualVolume(object) ? reinterpret_cast<VirtualVolumeObject*>(object)->mVolume : nullptr;
}

RuntimeObject* NewVirtualVolumeObject(VHFSVolume* volume) {
  if (!volume) return nullptr;
  RuntimeObject* object = CreateInstanceFromDefinition(GetVirtualVolumeClassDefinition());
  if (!object) {
    delete volume;
    return nullptr;
  }
  reinterpret_cast<VirtualVolumeObject*>(object)->mVolume = volume;
  return object;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* VirtVolRootGetter(VornRuntimeObject* volume, int32_t) {
  VHFSVolume* volumeOf = VirtualVolumeOf(volume);
  if (!volumeOf || !volumeOf->IsOK()) return nullptr;
  return NewFolderItemWithImp(nullptr, new FolderItemImpVirtual(volume, volumeOf->GetRoot()));
}

VornStringRecord* VirtVolDamageGetter(VornRuntimeObject* volume, int32_t) {
  VHFSVolume* volumeOf = VirtualVolumeOf(volume);
  if (!volumeOf) return nullptr;
  return string(volumeOf->Damage(), kEncodingUTF8).GetRetainedRep();
}

void VirtVolDestructor(VornRuntimeObject* volume) {
  if (!volume) return;
  auto* fields = reinterpret_cast<VirtualVolumeObject*>(volume);
  delete fields->mVolume;
  fields->mVolume = nullptr;
}

}  // extern "C"
