// A folder item over an absolute POSIX path. The object keeps nothing but the path; every
// question is put to the file system when it is asked, so an item may name something that does
// not exist yet. The path is never normalised: "." and ".." and doubled separators stay. A path
// that named an existing folder when the item was made ends with "/".
//
// Failed system calls leave their errno in mLastError; successful ones leave it alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/folder_item_imp.h"
#include "strings/simple_vector.h"
#include "strings/vstring.h"

namespace vorn {

// Encoding of text taken from the file system or the C library.
constexpr EncodingCode kFileSystemEncoding = 0x600;

// SaveInfo modes.
constexpr int32_t kSaveInfoDefaultMode = 0;
constexpr int32_t kSaveInfoRelativeMode = 1;
constexpr int32_t kSaveInfoAbsoluteMode = 2;

// Folder numbers FindSpecialFolder knows on this platform.
enum UnixSpecialFolder : int32_t {
  kSpecialFolderEtc = 1034,
  kSpecialFolderBin = 1035,
  kSpecialFolderUserBin = 1036,
  kSpecialFolderSBin = 1037,
  kSpecialFolderUserSBin = 1038,
  kSpecialFolderVar = 1039,
  kSpecialFolderVarLog = 1040,
  kSpecialFolderUserHome = 1041,
  kSpecialFolderHome = 1042,
  kSpecialFolderMount = 1043,
  kSpecialFolderLibrary = 1044,
  kSpecialFolderUserLibrary = 1045,
};

class FolderItemImpUnix : public FolderItemImp {
 public:
  // A path without a leading "/" is taken relative to the application's folder (the empty path
  // names that folder). When `refused` is given it is set to true for a path the system
  // rejects outright (a component is a file, a folder cannot be searched, too long) and to
  // false for one that merely does not exist; it is left alone when the path exists.
  explicit FolderItemImpUnix(const string& path, bool* refused = nullptr);
  ~FolderItemImpUnix() override = default;

  // Makes an item whose path is exactly `path`, with none of the constructor's rules.
  static FolderItemImpUnix* WithExactPath(const string& path);

  // --- paths and identity
  FolderItemImp* Assign(const FolderItemImp& other) override;
  FolderItemImp* Clone() const override;
  bool Exists() override;
  bool IsAlias() override;
  bool IsDirectory() override;
  string GetName() override;
  string GetAbsolutePath() override { return mPath; }
  string GetDisplayName() override { return GetName(); }
  bool SetDisplayName(const string& name) override { return SetName(name); }
  bool IsVisible() override;
  bool SetVisible(bool visible) override;
  FolderItemImp* GetParent() override;
  FolderItemImp* GetChild(const string& name, int32_t flags) override;
  // One level only: null when the item is no symbolic link or the link cannot be read.
  FolderItemImp* ResolveAlias(int32_t flags) override;

  // --- file operations and attributes
  bool SetName(const string& name) override;
  int32_t GetPermissions() override;
  bool SetPermissions(int32_t mode) override;
  bool SetOwner(const string& userName) override;
  string GetOwner() override;
  bool SetGroup(const string& groupName) override;
  string GetGroup() override;
  bool IsLocked() override;
  bool SetLocked(bool locked) override;
  double GetCreationDate() override;
  bool SetCreationDate(double seconds) override;
  double GetModificationDate() override;
  bool SetModificationDate(double seconds) override;
  bool IsReadable() override;
  bool IsWriteable() override;
  // 0 with errno 75 (EOVERFLOW) for a file of 2 GiB or more.
  int32_t GetLength() override;
  bool SetLength(int32_t length) override;
  RandomAccessMechanism* OpenStream(bool allowWriting, bool readWrite) override;
  // Other programs may append to the file too, also to one made here: each write goes to the
  // end as it is then.
  RandomAccessMechanism* OpenStreamToAppend(bool create) override;
  void MakeExecutable() override;
  bool CreateAsFolder() override;
  RandomAccessMechanism* CreateStream(const string& fileType) override;
  // A symbolic link is removed as itself; a folder must be empty.
  bool Delete() override;
  // The programs run without a shell; the answer is their exit status.
  bool CopyFileTo(FolderItemImp* destination) override;
  bool MoveFileTo(FolderItemImp* destination) override;
  // Starts the file as a program in the background, the parameters as one single argument.
  bool Launch(const string& parameters, bool activate) override;

  // --- listing and special folders
  int32_t GetCount() override;
  FolderItemImp* GetItem(int32_t index, int32_t flags) override;
  FolderItemImp* FindSpecialFolder(int32_t folderCode) override;

  // --- pictures
  // A vector picture is refused with UnsupportedFormatException; PICT files answer nil.
  VornRuntimeObject* OpenAsPicture(bool vector) override;
  // Writes a 24-bit BMP for formats 0, 4 and 350; others raise UnsupportedFormatException.
  bool SaveAsPicture(VornRuntimeObject* picture, int32_t format) override;
  // A Sound playing a clone of this item, for a file that starts as a WAVE or AIFF file does;
  // nil for any other.
  VornRuntimeObject* OpenAsSound() override;
  // A JPEG of the picture's pixels; a picture without pixels leaves nothing.
  void SaveAsJPEG(VornRuntimeObject* picture) override;
  // One picture of the image in the file (an icon, or any picture file gdk-pixbuf reads).
  void OpenAsIcons(std::vector<VornRuntimeObject*>& pictures) override;
  // A GDK cursor (one reference) of the image in the file, its hot spot at the top left.
  void* OpenAsCursor() override;
  // A Movie naming the file, for an existing file that is not a folder.
  VornRuntimeObject* OpenAsMovie() override;
  // Through the edit field's hooks: Rich Text keeps the styles of a styled field.
  bool OpenStyledEditField(VornRuntimeObject* editField) override;
  bool SaveStyledEditField(VornRuntimeObject* editField) override;
  // The registered file type whose extensions end the name; "" when none does.
  string GetType() override;

  // --- SaveInfo
  string GetSaveInfo(FolderItemImp* relativeTo, int32_t mode) override;
  // This item's path relative to the other item's folder: ".." steps, then the components down;
  // empty when this item is that folder.
  virtual string GetRelativePath(FolderItemImp* other);

  string mPath;

 private:
  // Creates or empties the file and writes the bytes; a failed write removes the file again.
  bool WriteWholeFile(const std::vector<uint8_t>& bytes);
  // A regular file (links followed), which a reader of its own may open without waiting;
  // otherwise false with mLastError telling why.
  bool IsReadableFile();
  FolderItemImpUnix() = default;
  // The path up to and including the "/" before the last component.
  string FolderPathOfName();
  // The bytes system calls get: empty (naming nothing) for a path that holds a NUL byte.
  std::string SysPath() const;
  // SysPath without a final "/", for the calls that must see a link as itself.
  std::string LinkPath() const;
  void StoreErrno();
  // A file made under a path that names a folder ("x/") is the file "x" from then on.
  void DropFolderSlash();
  // Runs cp, mv or chmod with the arguments and answers from its exit status.
  bool RunFileProgram(const std::vector<std::string>& args);
};

// Picture formats of files, by extension or (BMP) by the first bytes.
enum PictureFileFormat : int32_t {
  kPictureFormatNone = 0,
  kPictureFormatPNG = 150,
  kPictureFormatJPEG = 151,
  kPictureFormatPICT = 200,
  kPictureFormatBMP = 350,
  kPictureFormatXPM = 400,
  kPictureFormatXBM = 401,
  kPictureFormatGIF = 402,
  kPictureFormatTIFF = 403,
};
// The format codes of SaveAsPicture written as BMP besides kPictureFormatBMP.
inline constexpr int32_t kSaveAsMostCompatible = 0;
inline constexpr int32_t kSaveAsDefaultRaster = 4;

int32_t PictureFormatOfFile(FolderItemImpUnix* item);

// How long OpenAsPicture lets the external converter run (see docs/files.md), and a way to
// change it (0 or less restores it).
constexpr int32_t kPictureConverterTimeLimit = 20000;
void SetPictureConverterTimeLimit(int32_t milliseconds);

// A 24-bit bottom-up BMP file of the pixels (rows of `stride` bytes, `channels` bytes a pixel,
// red first); resolutions in dots per inch. Empty for an empty picture.
std::vector<uint8_t> EncodeBMP24(const uint8_t* rgb, int32_t width, int32_t height, int32_t stride, int32_t channels,
                                 int32_t hRes, int32_t vRes);

FolderItemImpUnix* NewFolderItemImpFromPath(const string& path);
// Null for a URL of another scheme or one that names a host.
FolderItemImpUnix* NewFolderItemImpFromURL(const string& url);
// The application's own file.
FolderItemImpUnix* NewApplicationFolderItemImp();
// Null unless the data starts with the SaveInfo marker; relative records are resolved against
// `relativeTo` (which may be null).
FolderItemImpUnix* NewFolderItemImpFromSaveInfo(const string& data, FolderItemImp* relativeTo);

// The application's path, or with `folder` its folder's path (ending with "/"). Worked out from
// the stored argv[0] on first use and kept for the rest of the run.
string GetApplicationPath(bool folder);
// The absolute path argv[0] names, taken from the working folder when it is relative; empty
// when the working folder cannot be read.
string ApplicationPathFromArgv0(const char* argv0);
// The folder of an application path: the path itself when it is a folder, else its parent's.
string ApplicationFolderOfPath(const string& applicationPath);

// An absolute path for a relative text against the folder of `folder` (the item itself when it
// is a folder); empty when a ".." climbs out of the top or `folder` is null.
string ResolveRelativePath(const string& relativePath, FolderItemImp* folder);

// Every entry of the folder but "." and "..", as the folder path followed by the name.
void ListDirectory(const string& folderPath, SimpleVector<string>& entries);

// A backslash before each backslash, double quote, single quote, parenthesis, ampersand and
// blank; nothing else changes.
string EscapeShellPath(const string& path);

}  // namespace vorn
