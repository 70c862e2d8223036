// Items inside a virtual volume: naming, navigation and identity.
#include "files/folder_item_imp_virtual.h"

#include <vector>

#include "files/folder_item_class.h"
#include "files/virtual_volume_class.h"
#include "files/volume_assert.h"
#include "vorn/object_abi.h"

namespace vorn {

namespace {

// No real tree is deeper; a longer walk up the parents is running in a circle.
constexpr int32_t kDeepestFolder = 1 << 16;

}  // namespace

FolderItemImpVirtual::FolderItemImpVirtual(RuntimeObject* volumeObject, const VHFSItem& root) {
  if (root.idnum != kRootDirectoryIDnum) {
    ReportVolumeAssertion(kVirtualItemSource, __LINE__, "0");
    return;
  }
  mVolumeObject = volumeObject;
  if (mVolumeObject) RuntimeLockObject(mVolumeObject);
  mName = root.name;
  mFolder = root;
  mIsRoot = true;
  mIdnumHint = root.idnum;
}

FolderItemImpVirtual::FolderItemImpVirtual(RuntimeObject* volumeObject, const string& name, const VHFSItem& folder,
                                           bool isRoot, uint32_t idnumHint)
    : mVolumeObject(volumeObject), mName(name), mFolder(folder), mIsRoot(isRoot), mIdnumHint(idnumHint) {
  if (mVolumeObject) RuntimeLockObject(mVolumeObject);
}

FolderItemImpVirtual::~FolderItemImpVirtual() {
  if (mVolumeObject) RuntimeUnlockObject(mVolumeObject);
}

FolderItemImp* FolderItemImpVirtual::Assign(const FolderItemImp& other) {
  if (!other.IsVirtual()) return this;
  const auto* source = dynamic_cast<const FolderItemImpVirtual*>(&other);
  if (!source || source == this) return this;
  if (source->mVolumeObject) RuntimeLockObject(source->mVolumeObject);
  if (mVolumeObject) RuntimeUnlockObject(mVolumeObject);
  mVolumeObject = source->mVolumeObject;
  mName = source->mName;
  mFolder = source->mFolder;
  mIsRoot = source->mIsRoot;
  mIdnumHint = source->mIdnumHint;
  return this;
}

FolderItemImp* FolderItemImpVirtual::Clone() const {
  return new FolderItemImpVirtual(mVolumeObject, mName, mFolder, mIsRoot, mIdnumHint);
}

VHFSVolume* FolderItemImpVirtual::Volume() const {
  VHFSVolume* volume = VirtualVolumeOf(mVolumeObject);
  return volume && volume->IsOK() ? volume : nullptr;
}

VHFSItem FolderItemImpVirtual::Resolve() {
  VHFSVolume* volume = Volume();
  if (!volume) return VHFSItem();
  if (mIsRoot) return volume->GetRoot();
  std::vector<VHFSItem> children = volume->ListChildren(mFolder);
  // Of several children of one name, the one this item was found as, while it keeps the name.
  for (const VHFSItem& child : children)
    if (mIdnumHint != 0 && child.idnum == mIdnumHint && child.name.Compare(mName) == 0) return child;
  for (const VHFSItem& child : children)
    if (child.name.Compare(mName) == 0) return child;
  return VHFSItem();
}

bool FolderItemImpVirtual::Exists() { return Resolve().Exists(); }

bool FolderItemImpVirtual::IsDirectory() { return Resolve().IsFolder(); }

bool FolderItemImpVirtual::SetName(const string& name) {
  VHFSVolume* volume = Volume();
  VHFSItem item = Resolve();
  if (!volume || !item.Exists() || !volume->Rename(&item, name)) return false;
  mName = item.name;
  mIdnumHint = item.idnum;
  return true;
}

string FolderItemImpVirtual::GetAbsolutePath() {
  VHFSVolume* volume = Volume();
  if (!volume) return string();
  if (mIsRoot) return mName;
  std::vector<string> names{mName};
  VHFSItem folder = mFolder;
  for (int32_t depth = 0; folder.idnum != 0; ++depth) {
    if (depth == kDeepestFolder) return string();
    names.push_back(folder.name);
    folder = volume->GetParent(folder);
  }
  string path;
  for (size_t i = names.size(); i-- > 1;) {
    path.Append(names[i]);
    path.AppendCString("/");
  }
  path.Append(names[0]);
  path.SetEncoding(kEncodingUTF8);
  return path;
}

int32_t FolderItemImpVirtual::GetMacDirID() {
  VHFSItem item = Resolve();
  if (!item.Exists()) return 0;
  return mIsRoot ? static_cast<int32_t>(kRootDirectoryIDnum) : static_cast<int32_t>(mFolder.idnum);
}

FolderItemImp* FolderItemImpVirtual::GetParent() {
  VHFSVolume* volume = Volume();
  if (!volume || mIsRoot) return nullptr;
  VHFSItem holder = volume->GetParent(mFolder);
  if (holder.idnum == 0) return new FolderItemImpVirtual(mVolumeObject, mFolder.name, mFolder, true, mFolder.idnum);
  return new FolderItemImpVirtual(mVolumeObject, mFolder.name, holder, false, mFolder.idnum);
}

int32_t FolderItemImpVirtual::GetCount() {
  VHFSVolume* volume = Volume();
  VHFSItem item = Resolve();
  if (!volume || !item.IsFolder()) return 0;
  return static_cast<int32_t>(volume->ListChildren(item).size());
}

FolderItemImp* FolderItemImpVirtual::GetItem(int32_t index, int32_t) {
  VHFSVolume* volume = Volume();
  VHFSItem item = Resolve();
  if (!volume || !item.IsFolder() || index < 0) return nullptr;
  std::vector<VHFSItem> children = volume->ListChildren(item);
  if (static_cast<size_t>(index) >= children.size()) return nullptr;
  const VHFSItem& child = children[static_cast<size_t>(index)];
  return new FolderItemImpVirtual(mVolumeObject, child.name, item, false, child.idnum);
}

FolderItemImp* FolderItemImpVirtual::GetChild(const string& name, int32_t) {
  VHFSItem item = Resolve();
  if (!item.IsFolder()) return nullptr;
  return new FolderItemImpVirtual(mVolumeObject, name.ToUTF8(), item, false, 0);
}

}  // namespace vorn
