// A file or folder inside a virtual volume, behind a FolderItem. It names its item by the
// folder that holds it and its own name, so it can stand for an item that does not exist yet;
// it holds the VirtualVolume object, which keeps the volume open while any item of it lives.
#pragma once

#include <cstdint>

#include "files/folder_item_imp.h"
#include "files/vhfs_volume.h"
#include "objects/runtime_class.h"

namespace vorn {

class FolderItemImpVirtual : public FolderItemImp {
 public:
  // The root folder of the volume the VirtualVolume object holds. Any other record is
  // reported and leaves an item of no volume.
  FolderItemImpVirtual(RuntimeObject* volumeObject, const VHFSItem& root);
  ~FolderItemImpVirtual() override;

  FolderItemImp* Assign(const FolderItemImp& other) override;
  FolderItemImp* Clone() const override;
  bool Exists() override;
  bool IsDirectory() override;
  bool IsVirtual() const override { return true; }
  string GetName() override { return mName; }
  bool SetName(const string& name) override;
  // The item's name after the name of each enclosing folder and a "/", up to the root "/".
  string GetAbsolutePath() override;
  string GetType() override;
  uint32_t GetMacType() override;
  bool SetMacType(uint32_t type) override;
  double GetCreationDate() override;
  bool SetCreationDate(double seconds) override;
  double GetModificationDate() override;
  bool SetModificationDate(double seconds) override;
  int32_t GetMacDirID() override;
  int32_t GetLength() override;
  bool SetLength(int32_t length) override;
  // Always readable and writable.
  RandomAccessMechanism* OpenStream(bool allowWriting, bool readWrite) override;
  FolderItemImp* GetParent() override;
  int32_t GetCount() override;
  FolderItemImp* GetItem(int32_t index, int32_t flags) override;
  FolderItemImp* GetChild(const string& name, int32_t flags) override;
  bool CreateAsFolder() override;
  // A new file of type "????"; none when the item exists already.
  RandomAccessMechanism* CreateStream(const string& fileType) override;
  bool Delete() override;
  bool MoveFileTo(FolderItemImp* destination) override;

  // The VirtualVolume object, not retained for the caller; nil for an item of no volume.
  RuntimeObject* VolumeObject() const { return mVolumeObject; }

 private:
  FolderItemImpVirtual(RuntimeObject* volumeObject, const string& name, const VHFSItem& folder, bool isRoot,
                       uint32_t idnumHint);
  VHFSVolume* Volume() const;
  // The item as the volume holds it now; an empty record when it does not exist.
  VHFSItem Resolve();
  bool SetDate(bool creation, double seconds);
  RandomAccessMechanism* OpenFileOf(const VHFSItem& item);

  RuntimeObject* mVolumeObject = nullptr;  // counted
  string mName;
  VHFSItem mFolder;  // the folder holding the item; for the root, the root itself
  bool mIsRoot = false;
  // Which of several children of the same name this item was found as; 0 when not known.
  uint32_t mIdnumHint = 0;
};

}  // namespace vorn
