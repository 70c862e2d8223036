// Folders and files over a volume's items. Every folder and file is one item that starts with
// a 256-byte header: content length (double), type (folders "fold"), parent idnum, creation
// and modification dates (doubles) and a name of at most 223 bytes, zero-padded to 224. A
// folder's content is its child count and the children's idnums; a file's content is its
// bytes. The root folder is item 2 and is named "/".
//
// Listings trust a child only when its own header names the listing folder as its parent, and
// never list the root, so the folders reachable from the root always form a tree however the
// file was damaged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/vfs_volume.h"
#include "strings/vstring.h"

namespace vorn {

class VFile;

constexpr uint32_t kRootDirectoryIDnum = 2;
constexpr uint32_t kFolderType = 0x666F6C64;     // "fold"
constexpr uint32_t kTemporaryType = 0x74656D70;  // "temp", a folder still being made
constexpr uint32_t kUnknownFileType = 0x3F3F3F3F;  // "????"
constexpr int64_t kItemHeaderSize = 256;
constexpr int32_t kItemNameField = 224;
constexpr int32_t kLongestItemName = kItemNameField - 1;

// Type codes keep the first character in the high byte; 0 means no such item.
struct VHFSItem {
  uint32_t idnum = 0;
  string name;
  uint32_t type = 0;

  bool Exists() const { return type != 0; }
  bool IsFolder() const { return type == kFolderType; }
  bool IsFile() const { return type != 0 && type != kFolderType; }
};

struct VHFSItemInfo {
  double creationDate = 0;
  double modificationDate = 0;
  double length = 0;
};

class VHFSVolume {
 public:
  // A new volume with an empty root in the store (emptied first); nil when it cannot be made.
  static std::unique_ptr<VHFSVolume> Create(RandomAccessMechanism* store, bool ownsStore);
  // Opens the volume the store holds; check IsOK.
  VHFSVolume(RandomAccessMechanism* store, bool ownsStore);
  virtual ~VHFSVolume();

  // The item store is OK and its root is a folder.
  bool IsOK() const;
  // What is wrong with a volume that opened read-only; empty for a sound one.
  std::string Damage() const;
  VFSVolume* Core() const { return mCore.get(); }

  VHFSItem GetRoot();
  // Loads the name and type of the record's idnum; the type stays 0 when the item cannot be read.
  bool LoadItemInfo(VHFSItem* item);
  bool GetItemInfo(const VHFSItem& item, VHFSItemInfo* info);
  bool SetItemInfo(const VHFSItem& item, const VHFSItemInfo& info);
  // The folder holding the item; an empty record for the root.
  VHFSItem GetParent(const VHFSItem& item);
  // The children in list order, each with its name and type.
  std::vector<VHFSItem> ListChildren(const VHFSItem& folder);
  // The number of idnums the folder lists (without the checks of ListChildren); -1 on failure.
  int64_t StoredChildCount(const VHFSItem& folder);

  // Empty records on failure.
  VHFSItem CreateItem(const VHFSItem& parent, const string& name, uint32_t type);
  VHFSItem CreateFolder(const VHFSItem& parent, const string& name);
  bool AddChild(const VHFSItem& child, const VHFSItem& parent);
  // False, nothing changed, when the parent does not list the child.
  bool RemoveChild(const VHFSItem& child, const VHFSItem& parent);

  bool Delete(const VHFSItem& item);
  // Refuses to move a folder into itself or into a folder inside it.
  bool Move(const VHFSItem& item, const VHFSItem& newParent);
  bool Rename(VHFSItem* item, const string& name);
  bool SetType(VHFSItem* item, uint32_t type);
  // A store over the file's bytes; nil when the record is no file or the item cannot be opened.
  VFile* OpenFile(const VHFSItem& item);

  // The name as a volume stores it: UTF-8, at most 223 bytes, cut at a character boundary.
  static std::string StoredName(const string& name);

 private:
  explicit VHFSVolume(std::unique_ptr<VFSVolume> core);
  uint32_t StoredType(uint32_t idnum);
  // Type, parent and name from one read of the item header.
  bool ReadHeader(uint32_t idnum, VHFSItem* item, uint32_t* parent);
  bool ReadChildList(const VHFSItem& folder, std::vector<uint32_t>* children);
  bool IsInside(uint32_t idnum, uint32_t folder);

  std::unique_ptr<VFSVolume> mCore;
};

}  // namespace vorn
