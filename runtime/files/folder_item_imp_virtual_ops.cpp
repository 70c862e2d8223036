// Items inside a virtual volume: attributes, streams, making, deleting and moving.
#include <cerrno>
#include <climits>
#include <memory>

#include "files/folder_item_class.h"
#include "files/folder_item_imp_virtual.h"
#include "files/vfile.h"
#include "files/volume_bytes.h"

namespace vorn {

string FolderItemImpVirtual::GetType() {
  VHFSItem item = Resolve();
  return item.Exists() ? TextFromFourCharCode(TextOrderFromHighFirst(item.type)) : string();
}

uint32_t FolderItemImpVirtual::GetMacType() {
  VHFSItem item = Resolve();
  return item.Exists() ? TextOrderFromHighFirst(item.type) : FolderItemImp::GetMacType();
}

bool FolderItemImpVirtual::SetMacType(uint32_t type) {
  VHFSVolume* volume = Volume();
  VHFSItem item = Resolve();
  return volume && item.IsFile() && volume->SetType(&item, HighFirstFromTextOrder(type));
}

double FolderItemImpVirtual::GetCreationDate() {
  VHFSVolume* volume = Volume();
  VHFSItem item = Resolve();
  VHFSItemInfo info;
  return volume && item.Exists() && volume->GetItemInfo(item, &info) ? info.creationDate : 0.0;
}

double FolderItemImpVirtual::GetModificationDate() {
  VHFSVolume* volume = Volume();
  VHFSItem item = Resolve();
  VHFSItemInfo info;
  return volume && item.Exists() && volume->GetItemInfo(item, &info) ? info.modificationDate : 0.0;
}

bool FolderItemImpVirtual::SetDate(bool creation, double seconds) {
  VHFSVolume* volume = Volume();
  VHFSItem item = Resolve();
  VHFSItemInfo info;
  if (!volume || !item.IsFile() || !volume->GetItemInfo(item, &info)) return false;
  (creation ? info.creationDate : info.modificationDate) = seconds;
  return volume->SetItemInfo(item, info);
}

bool FolderItemImpVirtual::SetCreationDate(double seconds) { return SetDate(true, seconds); }

bool FolderItemImpVirtual::SetModificationDate(double seconds) { return SetDate(false, seconds); }

int32_t FolderItemImpVirtual::GetLength() {
  VHFSVolume* volume = Volume();
  VHFSItem item = Resolve();
  VHFSItemInfo info;
  int64_t length = 0;
  if (!volume || !item.Exists() || !volume->GetItemInfo(item, &info) ||
      !WholeByteCount(info.length, INT32_MAX, &length))
    return 0;
  return static_cast<int32_t>(length);
}

bool FolderItemImpVirtual::SetLength(int32_t length) {
  // Through the file's own store, so bytes a longer file gains read as zeros.
  std::unique_ptr<RandomAccessMechanism> file(OpenFileOf(Resolve()));
  if (!file) return false;
  bool ok = file->SetLength(length);
  return file->Close() && ok;
}

RandomAccessMechanism* FolderItemImpVirtual::OpenFileOf(const VHFSItem& item) {
  VHFSVolume* volume = Volume();
  if (!volume || !item.IsFile()) return nullptr;
  VFile* file = volume->OpenFile(item);
  if (!file) {
    mLastError = EIO;
    return nullptr;
  }
  file->SetOwner(mVolumeObject);
  file->SetByteSwap();
  file->mSwapDoubles = 1;
  return file;
}

RandomAccessMechanism* FolderItemImpVirtual::OpenStream(bool, bool) { return OpenFileOf(Resolve()); }

bool FolderItemImpVirtual::CreateAsFolder() {
  VHFSVolume* volume = Volume();
  if (!volume || Exists()) return false;
  VHFSItem made = volume->CreateFolder(mFolder, mName);
  if (!made.Exists()) return false;
  mIdnumHint = made.idnum;
  return true;
}

RandomAccessMechanism* FolderItemImpVirtual::CreateStream(const string&) {
  VHFSVolume* volume = Volume();
  if (!volume || Exists()) return nullptr;
  VHFSItem made = volume->CreateItem(mFolder, mName, kUnknownFileType);
  if (!made.Exists()) return nullptr;
  mIdnumHint = made.idnum;
  return OpenFileOf(made);
}

bool FolderItemImpVirtual::Delete() {
  VHFSVolume* volume = Volume();
  VHFSItem item = Resolve();
  return volume && item.Exists() && volume->Delete(item);
}

bool FolderItemImpVirtual::MoveFileTo(FolderItemImp* destination) {
  VHFSVolume* volume = Volume();
  if (!volume || !destination) return false;
  if (destination == this) return true;
  auto* other = destination->IsVirtual() ? dynamic_cast<FolderItemImpVirtual*>(destination) : nullptr;
  if (!other || other->mVolumeObject != mVolumeObject) {
    if (!CopyFileTo(destination)) return false;
    return Delete();
  }
  VHFSItem item = Resolve();
  if (!item.Exists()) return false;
  VHFSItem target = other->Resolve();
  if (target.IsFolder()) return volume->Move(item, target);
  if (target.idnum == item.idnum) return true;

  // Moved first and the old destination deleted after, so a failure loses nothing.
  VHFSItem from = volume->GetParent(item);
  if (!volume->Move(item, other->mFolder)) return false;
  if (target.Exists() && !volume->Delete(target)) {
    volume->Move(item, from);
    return false;
  }
  return volume->Rename(&item, other->mName);
}

}  // namespace vorn
