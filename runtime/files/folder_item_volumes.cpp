// The FolderItem members that make a volume in a file, open a file as one, and tell the
// volume an item lives in.
#include <cstdint>
#include <memory>

#include "files/folder_item_assert.h"
#include "files/folder_item_class.h"
#include "files/folder_item_imp_virtual.h"
#include "files/random_access_mechanism.h"
#include "files/vhfs_volume.h"
#include "files/virtual_volume_class.h"
#include "vorn/object_abi.h"

namespace vorn {

namespace {

FolderItemImp* MethodImp(RuntimeObject* self, int32_t line) {
  FolderItemImp* imp = FolderItemImpOf(self);
  if (!imp) ReportFolderItemAssertion(line, self ? "obj->mImp" : "obj");
  return imp;
}

// The volume layers code their own byte order; the store is set as every volume file's is.
void PrepareStore(RandomAccessMechanism* store) {
  store->SetByteSwap();
  store->mSwapDoubles = 1;
}

// A volume keeps its block map in memory and writes it back when it closes, so a second
// opening of the same file (here or in another process) would hand out the blocks the first
// one uses and each would write over the other. The file is held for the volume while it is
// open, whether it lies on disk or inside another volume: for it alone when it may write, for
// readers only when it may not. The store goes when it cannot be held.
bool HoldVolumeFile(FolderItemImp* imp, RandomAccessMechanism* store, bool writing) {
  if (store->Lock(writing)) return true;
  imp->mLastError = store->mLastError;
  delete store;
  return false;
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* FolderItemCreateVirtualVolume(VornRuntimeObject* item) {
  FolderItemImp* imp = MethodImp(item, __LINE__);
  if (!imp || imp->IsLocked()) return nullptr;
  // A file on disk is held before it is emptied: one that another volume holds keeps its
  // contents. (Making the volume empties the store itself.)
  RandomAccessMechanism* store = nullptr;
  if (!imp->IsVirtual() && imp->Exists()) {
    store = imp->OpenStream(true, true);
  } else {
    store = imp->CreateStream(imp->GetType());
  }
  if (!store || !HoldVolumeFile(imp, store, true)) return nullptr;
  PrepareStore(store);
  std::unique_ptr<VHFSVolume> volume = VHFSVolume::Create(store, true);
  return volume ? NewVirtualVolumeObject(volume.release()) : nullptr;
}

VornRuntimeObject* FolderItemOpenAsVirtualVolume(VornRuntimeObject* item) {
  FolderItemImp* imp = MethodImp(item, __LINE__);
  if (!imp) return nullptr;
  bool writing = true;
  const int32_t earlierError = imp->mLastError;
  RandomAccessMechanism* store = imp->OpenStream(true, true);
  if (!store) {
    writing = false;
    store = imp->OpenStream(true, false);
    // Refusing to write was no failure of this call, once reading is allowed.
    if (store) imp->mLastError = earlierError;
  }
  if (!store || !HoldVolumeFile(imp, store, writing)) return nullptr;
  PrepareStore(store);
  auto volume = std::make_unique<VHFSVolume>(store, true);
  if (!volume->IsOK()) return nullptr;
  return NewVirtualVolumeObject(volume.release());
}

VornRuntimeObject* folderVirtVolGetter(VornRuntimeObject* item, int32_t) {
  FolderItemImp* imp = FolderItemImpOf(item);
  auto* virtualItem = imp && imp->IsVirtual() ? dynamic_cast<FolderItemImpVirtual*>(imp) : nullptr;
  RuntimeObject* volume = virtualItem ? virtualItem->VolumeObject() : nullptr;
  if (volume) RuntimeLockObject(volume);
  return volume;
}

}  // extern "C"
