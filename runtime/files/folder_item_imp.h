// One location behind a FolderItem: a file or folder on disk, or an entry of a virtual volume.
// The base class answers every question with a harmless default, so a medium overrides only
// what it supports; the URL, the stream copy, move as copy-then-delete, the recursive delete and
// the write probe are whole algorithms here that every medium shares.
//
// Ownership: every operation that answers an item answers a new object the caller deletes;
// ResolveAlias alone may answer the object itself (callers compare before replacing). Streams
// from OpenStream and CreateStream belong to the caller as well.
#pragma once

#include <cstdint>
#include <vector>

#include "base/background_task.h"
#include "strings/vstring.h"

struct VornRuntimeObject;

namespace vorn {

class RandomAccessMechanism;

// GetItem, GetChild and ResolveAlias: follow a symbolic link found at the result.
constexpr int32_t kResolveAliasFlag = 64;
// Four-character codes hold their characters in text order in memory; this is "????".
constexpr uint32_t kNoFourCharCode = 0x3F3F3F3F;
// The first four bytes, high byte first, of every SaveInfo byte string.
constexpr uint32_t kSaveInfoMarker = 0x00F1D173;

class FolderItemImp {
 public:
  FolderItemImp() = default;
  FolderItemImp(const FolderItemImp&) = delete;
  FolderItemImp& operator=(const FolderItemImp&) = delete;
  virtual ~FolderItemImp() = default;

  // The operations keep the order of the interface's method table.
  virtual FolderItemImp* Assign(const FolderItemImp& other);
  virtual FolderItemImp* Clone() const;
  virtual bool Exists();
  virtual bool IsAlias();
  virtual bool IsDirectory();
  virtual bool IsVirtual() const;
  virtual bool Reserved8();
  virtual string GetName();
  virtual bool SetName(const string& name);
  virtual string GetAbsolutePath();
  virtual string GetDisplayName();
  virtual bool SetDisplayName(const string& name);
  virtual bool IsExtensionVisible();
  virtual bool SetExtensionVisible(bool visible);
  virtual int32_t GetPermissions();
  virtual bool SetPermissions(int32_t mode);
  virtual bool SetOwner(const string& userName);
  virtual string GetOwner();
  virtual bool SetGroup(const string& groupName);
  virtual string GetGroup();
  virtual bool IsVisible();
  virtual bool SetVisible(bool visible);
  virtual bool IsLocked();
  virtual bool SetLocked(bool locked);
  virtual string GetType();
  // `relativeTo` may be null; mode 0 default, 1 relative, 2 absolute.
  virtual string GetSaveInfo(FolderItemImp* relativeTo, int32_t mode);
  virtual string GetShellPath();
  // "file://" and the percent-encoded names of the parent chain, tagged UTF-8; a folder's URL
  // ends with "/".
  virtual string GetURLPath();
  virtual uint32_t GetMacType();
  virtual bool SetMacType(uint32_t type);
  virtual uint32_t GetMacCreator();
  virtual bool SetMacCreator(uint32_t creator);
  // Dates are total seconds of the runtime's date scale.
  virtual double GetCreationDate();
  virtual bool SetCreationDate(double seconds);
  virtual double GetModificationDate();
  virtual bool SetModificationDate(double seconds);
  virtual int32_t GetMacVRefNum();
  virtual int32_t GetMacDirID();
  virtual int32_t Reserved40();
  virtual int32_t Reserved41();
  virtual bool IsReadable();
  // Tries it: rewrites one byte of a file in place, or creates and deletes a probe file named
  // "$$TestFile$$" (with a counter when taken) in the folder; dates are put back.
  virtual bool IsWriteable();
  virtual int32_t GetLength();
  virtual bool SetLength(int32_t length);
  virtual int32_t GetResourceForkLength();
  // Reading and writing only when both are true, otherwise reading.
  virtual RandomAccessMechanism* OpenStream(bool allowWriting, bool readWrite);
  virtual int32_t Reserved48();
  virtual FolderItemImp* GetParent();
  virtual FolderItemImp* FindSpecialFolder(int32_t folderCode);
  virtual int32_t GetCount();
  // Zero-based.
  virtual FolderItemImp* GetItem(int32_t index, int32_t flags);
  virtual FolderItemImp* GetChild(const string& name, int32_t flags);
  virtual FolderItemImp* ResolveAlias(int32_t flags);
  virtual void Reserved55();
  virtual void MakeExecutable();
  virtual bool CreateAsFolder();
  virtual RandomAccessMechanism* CreateStream(const string& fileType);
  virtual bool Delete();
  // Deletes a folder with everything in it; false for anything that is not a folder.
  virtual bool DeleteAll();
  // Copies the bytes through two streams; onto a folder, into its child of this item's name.
  virtual bool CopyFileTo(FolderItemImp* destination);
  virtual bool MoveFileTo(FolderItemImp* destination);
  virtual bool Launch(const string& parameters, bool activate);
  virtual bool Reserved64();
  virtual bool OpenStyledEditField(VornRuntimeObject* editField);
  virtual VornRuntimeObject* OpenAsPicture(bool vector);
  virtual VornRuntimeObject* OpenAsMovie();
  virtual VornRuntimeObject* OpenAsSound();
  virtual VornRuntimeObject* OpenAsJPEG();
  virtual void OpenAsIcons(std::vector<VornRuntimeObject*>& pictures);
  virtual void* OpenAsCursor();
  virtual bool SaveAsPicture(VornRuntimeObject* picture, int32_t format);
  virtual void SaveAsJPEG(VornRuntimeObject* picture);
  virtual bool SaveStyledEditField(VornRuntimeObject* editField);
  // Reading and writing, every write at the end: here OpenStream positioned at the end, which
  // a medium that only this program writes may use; null, with mLastError, when it fails. With
  // `create` a file that is not there is made (here CreateStream); one that is, is never emptied,
  // whoever made it a moment before.
  virtual RandomAccessMechanism* OpenStreamToAppend(bool create);

  int32_t mLastError = 0;  // 0, or the code of the latest failure (errno for items on disk)
};

// The path a "file://" URL names, with "/" replaced by `separator` and percent escapes decoded,
// tagged UTF-8 and without the leading separator; empty for another scheme or a URL that names
// a host.
string FileURLToPath(const string& url, uint8_t separator);

// Whether the string starts with the SaveInfo marker.
bool IsSaveInfo(const string& data);

// Deletes a file whose deletion failed once, retrying every 10 ticks until it is gone, then
// deletes itself.
class TempFileDeleter : public BackgroundTask {
 public:
  static constexpr int32_t kPeriodTicks = 10;
  // Takes over the item.
  explicit TempFileDeleter(FolderItemImp* item);
  ~TempFileDeleter() override;

  void Run() override;

  FolderItemImp* mItem;
};

}  // namespace vorn
