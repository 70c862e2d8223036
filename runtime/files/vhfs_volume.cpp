// The folder tree of a volume: item headers, names, dates and making items.
#include "files/vhfs_volume.h"

#include <cstring>

#include "files/vfile.h"
#include "files/vhfs_item_access.h"
#include "files/volume_assert.h"
#include "files/volume_bytes.h"

namespace vorn {

namespace {

constexpr int64_t kLengthPosition = 0;
constexpr int64_t kTypePosition = 8;
constexpr int64_t kParentPosition = 12;
constexpr int64_t kCreationPosition = 16;
constexpr int64_t kModificationPosition = 24;
constexpr int64_t kNamePosition = 32;

}  // namespace

std::string VHFSVolume::StoredName(const string& name) {
  std::string bytes(name.ToUTF8().View());
  if (bytes.size() > static_cast<size_t>(kLongestItemName)) {
    size_t cut = kLongestItemName;
    // A character the limit splits goes as a whole.
    while (cut > 0 && (static_cast<uint8_t>(bytes[cut]) & 0xC0) == 0x80) --cut;
    bytes.resize(cut);
  }
  return bytes;
}

VHFSVolume::VHFSVolume(std::unique_ptr<VFSVolume> core) : mCore(std::move(core)) {}

VHFSVolume::VHFSVolume(RandomAccessMechanism* store, bool ownsStore)
    : mCore(std::make_unique<VFSVolume>(store, ownsStore)) {
  // A volume whose root is not a folder has nothing to show; it stays closed to every use.
  if (mCore->IsOK() && StoredType(kRootDirectoryIDnum) != kFolderType) mCore.reset(new VFSVolume(nullptr, false));
}

VHFSVolume::~VHFSVolume() = default;

bool VHFSVolume::IsOK() const { return mCore && mCore->IsOK(); }

std::string VHFSVolume::Damage() const { return mCore ? mCore->Damage() : std::string(); }

std::unique_ptr<VHFSVolume> VHFSVolume::Create(RandomAccessMechanism* store, bool ownsStore) {
  std::unique_ptr<VFSVolume> core = VFSVolume::Create(store, ownsStore);
  if (!core->IsOK()) return nullptr;
  uint32_t idnum = core->NewItem();
  if (idnum != kRootDirectoryIDnum) {
    ReportVolumeAssertion(kVolumeHierarchySource, __LINE__, "kRootDirectoryIDnum == idnum");
    return nullptr;
  }
  std::unique_ptr<VHFSVolume> volume(new VHFSVolume(std::move(core)));
  double now = VFSVolume::Now();
  bool big = volume->mCore->Version() > 2;
  uint8_t header[kItemHeaderSize + 4] = {};
  PutDouble(header + kLengthPosition, 4.0, big);
  PutUInt32(header + kTypePosition, kFolderType, big);
  PutUInt32(header + kParentPosition, 0, big);
  PutDouble(header + kCreationPosition, now, big);
  PutDouble(header + kModificationPosition, now, big);
  header[kNamePosition] = '/';
  PutUInt32(header + kItemHeaderSize, 0, big);
  ItemAccess root(volume->mCore.get(), idnum);
  if (!root.WriteAt(0, header, sizeof header)) return nullptr;
  return volume;
}

uint32_t VHFSVolume::StoredType(uint32_t idnum) {
  ItemAccess access(mCore.get(), idnum);
  uint32_t type = 0;
  return access.ReadLongAt(kTypePosition, &type) ? type : 0;
}

VHFSItem VHFSVolume::GetRoot() {
  VHFSItem root;
  root.idnum = kRootDirectoryIDnum;
  LoadItemInfo(&root);
  return root;
}

bool VHFSVolume::ReadHeader(uint32_t idnum, VHFSItem* item, uint32_t* parent) {
  item->type = 0;
  item->name = string();
  if (!IsOK()) return false;
  ItemAccess access(mCore.get(), idnum);
  uint8_t header[kItemHeaderSize];
  if (!access.ReadAt(0, header, sizeof header)) return false;
  bool big = mCore->Version() > 2;
  const char* name = reinterpret_cast<const char*>(header + kNamePosition);
  // The last byte of the field is always the terminator, whatever the file says.
  item->name = string(name, static_cast<int32_t>(strnlen(name, kLongestItemName)), kEncodingUTF8);
  item->type = GetUInt32(header + kTypePosition, big);
  if (parent) *parent = GetUInt32(header + kParentPosition, big);
  return true;
}

bool VHFSVolume::LoadItemInfo(VHFSItem* item) { return ReadHeader(item->idnum, item, nullptr); }

bool VHFSVolume::GetItemInfo(const VHFSItem& item, VHFSItemInfo* info) {
  if (!IsOK()) return false;
  ItemAccess access(mCore.get(), item.idnum);
  VHFSItemInfo read;
  if (!access.ReadDoubleAt(kLengthPosition, &read.length) ||
      !access.ReadDoubleAt(kCreationPosition, &read.creationDate) ||
      !access.ReadDoubleAt(kModificationPosition, &read.modificationDate))
    return false;
  *info = read;
  return true;
}

bool VHFSVolume::SetItemInfo(const VHFSItem& item, const VHFSItemInfo& info) {
  if (!IsOK() || !item.Exists()) return false;
  ItemAccess access(mCore.get(), item.idnum);
  return access.WriteDoubleAt(kLengthPosition, info.length) &&
         access.WriteDoubleAt(kCreationPosition, info.creationDate) &&
         access.WriteDoubleAt(kModificationPosition, info.modificationDate);
}

VHFSItem VHFSVolume::GetParent(const VHFSItem& item) {
  VHFSItem parent;
  if (!IsOK()) return parent;
  ItemAccess access(mCore.get(), item.idnum);
  if (!access.ReadLongAt(kParentPosition, &parent.idnum) || parent.idnum == 0) {
    parent.idnum = 0;
    return parent;
  }
  LoadItemInfo(&parent);
  return parent;
}

VHFSItem VHFSVolume::CreateItem(const VHFSItem& parent, const string& name, uint32_t type) {
  VHFSItem made;
  std::string stored = StoredName(name);
  // A name with a zero byte could never be found again: names end at their first zero.
  if (!IsOK() || !parent.IsFolder() || stored.empty() || stored.find('\0') != std::string::npos || type == 0 ||
      type == kFolderType || StoredType(parent.idnum) != kFolderType)
    return made;
  uint32_t idnum = mCore->NewItem();
  if (idnum == 0) return made;

  double now = VFSVolume::Now();
  bool big = mCore->Version() > 2;
  uint8_t header[kItemHeaderSize] = {};
  PutDouble(header + kLengthPosition, 0.0, big);
  PutUInt32(header + kTypePosition, type, big);
  PutUInt32(header + kParentPosition, parent.idnum, big);
  PutDouble(header + kCreationPosition, now, big);
  PutDouble(header + kModificationPosition, now, big);
  std::memcpy(header + kNamePosition, stored.data(), stored.size());
  bool written;
  {
    ItemAccess access(mCore.get(), idnum);
    written = access.WriteAt(0, header, sizeof header);
  }
  made.idnum = idnum;
  if (!written || !LoadItemInfo(&made) || !AddChild(made, parent)) {
    // Nothing may stay behind that no folder lists.
    mCore->FreeItem(idnum);
    return VHFSItem();
  }
  return made;
}

VHFSItem VHFSVolume::CreateFolder(const VHFSItem& parent, const string& name) {
  VHFSItem folder = CreateItem(parent, name, kTemporaryType);
  if (!folder.Exists()) return folder;
  ItemAccess access(mCore.get(), folder.idnum);
  if (!access.WriteDoubleAt(kLengthPosition, 4.0) || !access.WriteLongAt(kTypePosition, kFolderType) ||
      !access.WriteLongAt(kItemHeaderSize, 0))
    return VHFSItem();
  folder.type = kFolderType;
  return folder;
}

bool VHFSVolume::Rename(VHFSItem* item, const string& name) {
  std::string stored = StoredName(name);
  if (!IsOK() || !item->Exists() || stored.find('\0') != std::string::npos) return false;
  uint8_t field[kItemNameField] = {};
  std::memcpy(field, stored.data(), stored.size());
  ItemAccess access(mCore.get(), item->idnum);
  if (!access.WriteAt(kNamePosition, field, sizeof field)) return false;
  item->name = string(stored, kEncodingUTF8);
  return true;
}

bool VHFSVolume::SetType(VHFSItem* item, uint32_t type) {
  if (!IsOK() || !item->IsFile() || type == 0 || type == kFolderType) return false;
  uint32_t stored = StoredType(item->idnum);
  if (stored == 0 || stored == kFolderType) return false;
  ItemAccess access(mCore.get(), item->idnum);
  if (!access.WriteLongAt(kTypePosition, type)) return false;
  item->type = type;
  return true;
}

VFile* VHFSVolume::OpenFile(const VHFSItem& item) {
  if (!IsOK() || !item.IsFile()) return nullptr;
  int16_t handle = mCore->OpenItem(item.idnum);
  if (handle < 0) return nullptr;
  double stored = 0;
  int64_t length = 0;
  uint32_t type = 0;
  bool ok = mCore->Seek(handle, kLengthPosition) && mCore->ReadDouble(handle, &stored) &&
            WholeByteCount(stored, INT32_MAX, &length) && mCore->Seek(handle, kTypePosition) &&
            mCore->ReadLong(handle, &type) && type != 0 && type != kFolderType;
  if (!ok) {
    mCore->CloseItem(handle);
    return nullptr;
  }
  return new VFile(mCore.get(), item.idnum, handle, static_cast<int32_t>(length));
}

}  // namespace vorn
