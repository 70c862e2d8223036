// Folder contents: the child list, adding and removing children, deleting and moving items.
#include <algorithm>

#include "files/vhfs_item_access.h"
#include "files/vhfs_volume.h"
#include "files/volume_assert.h"
#include "files/volume_bytes.h"

namespace vorn {

namespace {

constexpr int64_t kLengthPosition = 0;
constexpr int64_t kParentPosition = 12;
constexpr int64_t kCountPosition = kItemHeaderSize;
constexpr int64_t kChunkIDs = 1024;
// No real tree is deeper; a longer walk up the parents is running in a circle.
constexpr int32_t kDeepestFolder = 1 << 16;

// The count at 256, checked against the folder's length, which always covers the list.
bool ReadCount(ItemAccess& access, uint32_t* count, bool* plausible) {
  double stored = 0;
  int64_t length = 0;
  if (!access.ReadDoubleAt(kLengthPosition, &stored) || !access.ReadLongAt(kCountPosition, count)) return false;
  *plausible = WholeByteCount(stored, INT64_C(1) << 40, &length) && *count <= length / 4;
  return true;
}

int64_t SlotPosition(uint32_t slot) { return kCountPosition + 4 * static_cast<int64_t>(slot); }

}  // namespace

bool VHFSVolume::ReadChildList(const VHFSItem& folder, std::vector<uint32_t>* children) {
  children->clear();
  if (!IsOK() || !folder.IsFolder()) return false;
  ItemAccess access(mCore.get(), folder.idnum);
  uint32_t type = 0;
  uint32_t count = 0;
  bool plausible = false;
  if (!access.ReadLongAt(8, &type) || type != kFolderType || !ReadCount(access, &count, &plausible)) return false;
  if (!plausible) {
    ReportVolumeAssertion(kVolumeHierarchySource, __LINE__, "0");
    return true;
  }
  // In pieces: a damaged count must run into the end of the chain, not into memory.
  std::vector<uint8_t> bytes;
  bool big = mCore->Version() > 2;
  for (int64_t first = 0; first < count; first += kChunkIDs) {
    int64_t n = std::min<int64_t>(kChunkIDs, count - first);
    bytes.resize(static_cast<size_t>(4 * n));
    if (!access.ReadAt(SlotPosition(1) + 4 * first, bytes.data(), 4 * n)) {
      children->clear();
      return false;
    }
    for (int64_t i = 0; i < n; ++i) children->push_back(GetUInt32(bytes.data() + 4 * i, big));
  }
  return true;
}

int64_t VHFSVolume::StoredChildCount(const VHFSItem& folder) {
  if (!IsOK()) return -1;
  ItemAccess access(mCore.get(), folder.idnum);
  uint32_t count = 0;
  bool plausible = false;
  if (!ReadCount(access, &count, &plausible)) return -1;
  return plausible ? count : 0;
}

std::vector<VHFSItem> VHFSVolume::ListChildren(const VHFSItem& folder) {
  std::vector<VHFSItem> listed;
  std::vector<uint32_t> children;
  if (!ReadChildList(folder, &children)) return listed;
  for (uint32_t idnum : children) {
    if (idnum == kRootDirectoryIDnum || idnum == folder.idnum) continue;
    VHFSItem child;
    child.idnum = idnum;
    uint32_t parent = 0;
    if (ReadHeader(idnum, &child, &parent) && parent == folder.idnum) listed.push_back(child);
  }
  return listed;
}

bool VHFSVolume::AddChild(const VHFSItem& child, const VHFSItem& parent) {
  if (!IsOK() || !child.Exists() || !parent.IsFolder()) return false;
  ItemAccess access(mCore.get(), parent.idnum);
  uint32_t type = 0;
  uint32_t count = 0;
  bool plausible = false;
  if (!access.ReadLongAt(8, &type) || type != kFolderType || !ReadCount(access, &count, &plausible) || !plausible ||
      count == UINT32_MAX)
    return false;
  uint32_t added = count + 1;
  // The idnum goes in before the count that makes it part of the list.
  return access.WriteLongAt(SlotPosition(added), child.idnum) && access.WriteLongAt(kCountPosition, added) &&
         access.WriteDoubleAt(kLengthPosition, 4.0 + 4.0 * added);
}

bool VHFSVolume::RemoveChild(const VHFSItem& child, const VHFSItem& parent) {
  if (!IsOK()) return false;
  ItemAccess access(mCore.get(), parent.idnum);
  uint32_t type = 0;
  uint32_t count = 0;
  bool plausible = false;
  if (!access.ReadLongAt(8, &type) || type != kFolderType || !ReadCount(access, &count, &plausible)) return false;
  if (!plausible) {
    ReportVolumeAssertion(kVolumeHierarchySource, __LINE__, "0");
    count = 0;
  }
  if (count == 0) return false;
  uint32_t last = 0;
  if (!access.ReadLongAt(SlotPosition(count), &last)) return false;
  if (last != child.idnum) {
    // The last idnum fills the slot the child leaves.
    uint32_t slot = 1;
    for (; slot < count; ++slot) {
      uint32_t idnum = 0;
      if (!access.ReadLongAt(SlotPosition(slot), &idnum)) return false;
      if (idnum == child.idnum) break;
    }
    if (slot == count) return false;
    if (!access.WriteLongAt(SlotPosition(slot), last)) return false;
  }
  return access.WriteLongAt(kCountPosition, count - 1);
}

bool VHFSVolume::Delete(const VHFSItem& item) {
  if (!IsOK() || !item.Exists() || item.idnum == kRootDirectoryIDnum) return false;
  if (item.IsFolder() && StoredChildCount(item) != 0) return false;
  VHFSItem parent = GetParent(item);
  // Blocks that cannot be given back leave the item where it is, still listed.
  if (!parent.IsFolder() || !mCore->CanFreeItem(item.idnum)) return false;
  if (!RemoveChild(item, parent)) return false;
  return mCore->FreeItem(item.idnum);
}

bool VHFSVolume::IsInside(uint32_t idnum, uint32_t folder) {
  for (int32_t depth = 0; depth < kDeepestFolder; ++depth) {
    if (idnum == folder) return true;
    if (idnum == 0 || idnum == kRootDirectoryIDnum) return false;
    ItemAccess access(mCore.get(), idnum);
    if (!access.ReadLongAt(kParentPosition, &idnum)) return false;
  }
  return true;
}

bool VHFSVolume::Move(const VHFSItem& item, const VHFSItem& newParent) {
  if (!IsOK() || !item.Exists() || !newParent.IsFolder() || item.idnum == kRootDirectoryIDnum) return false;
  uint32_t parentType = 0;
  uint32_t oldParent = 0;
  {
    ItemAccess target(mCore.get(), newParent.idnum);
    ItemAccess moved(mCore.get(), item.idnum);
    if (!target.ReadLongAt(8, &parentType) || parentType != kFolderType ||
        !moved.ReadLongAt(kParentPosition, &oldParent))
      return false;
  }
  if (oldParent == newParent.idnum) return true;
  // A folder moved into its own subtree would leave the tree with everything in it.
  if (item.IsFolder() && IsInside(newParent.idnum, item.idnum)) return false;
  VHFSItem from;
  from.idnum = oldParent;
  from.type = kFolderType;
  if (!AddChild(item, newParent)) return false;
  {
    ItemAccess moved(mCore.get(), item.idnum);
    if (!moved.WriteLongAt(kParentPosition, newParent.idnum)) return false;
  }
  return RemoveChild(item, from);
}

}  // namespace vorn
