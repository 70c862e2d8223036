// The operations of a folder item on disk that change the file system or read its attributes.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "files/data_file.h"
#include "files/folder_item_imp_unix.h"
#include "files/program_runner.h"
#include "files/temporary_items.h"
#include "files/unix_path_text.h"
#include "files/unix_support.h"

namespace vorn {

namespace {

// A new name must stay a name: nothing that would move the item elsewhere or cut it short.
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find('/') == std::string_view::npos && !HasNulByte(name);
}

// Renaming onto a name that is taken fails with EEXIST and keeps both items: a new name must
// never silently destroy the file that had it.
bool RenameWithoutReplacing(const std::string& from, std::string to) {
  if (to.size() > 1 && to.back() == '/') to.pop_back();
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: a second link to the file cannot replace anything, and
  // the old name goes once the new one stands. Folders cannot be linked; they are only renamed
  // when the name is free.
  struct stat info;
  if (lstat(from.c_str(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode)) {
    if (link(from.c_str(), to.c_str()) != 0) return false;
    if (unlink(from.c_str()) == 0) return true;
    int error = errno;
    unlink(to.c_str());
    errno = error;
    return false;
  }
  if (lstat(to.c_str(), &info) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

std::vector<char> LookupBuffer() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  long groupSize = sysconf(_SC_GETGR_R_SIZE_MAX);
  if (groupSize > size) size = groupSize;
  return std::vector<char>(static_cast<size_t>(size > 0 ? size : 16384));
}

}  // namespace

void FolderItemImpUnix::StoreErrno() { mLastError = errno; }

bool FolderItemImpUnix::SetName(const string& name) {
  std::string newName = PathBytes(name);
  if (!IsPlainName(newName)) {
    mLastError = EINVAL;
    return false;
  }
  std::string path = PathBytes(mPath);
  std::string target = PathBytes(FolderPathOfName()) + newName;
  if (!path.empty() && path.back() == '/') target += '/';
  string newPath = PathString(target, JoinedPathEncoding(mPath, name));
  if (Exists() || IsAlias()) {
    if (target != path && !RenameWithoutReplacing(LinkPath(), target)) {
      StoreErrno();
      return false;
    }
  }
  mPath = newPath;
  return true;
}

int32_t FolderItemImpUnix::GetPermissions() {
  struct stat info;
  if (stat(SysPath().c_str(), &info) != 0) return FolderItemImp::GetPermissions();
  return static_cast<int32_t>(info.st_mode & 07777);
}

bool FolderItemImpUnix::SetPermissions(int32_t mode) {
  if (chmod(SysPath().c_str(), static_cast<mode_t>(mode & 0xFFFF)) != 0) {
    StoreErrno();
    return false;
  }
  return true;
}

string FolderItemImpUnix::GetOwner() {
  struct stat info;
  if (stat(SysPath().c_str(), &info) != 0) return FolderItemImp::GetOwner();
  std::vector<char> buffer = LookupBuffer();
  struct passwd entry;
  struct passwd* found = nullptr;
  if (getpwuid_r(info.st_uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
    return FolderItemImp::GetOwner();
  return PathString(found->pw_name, kFileSystemEncoding);
}

string FolderItemImpUnix::GetGroup() {
  struct stat info;
  if (stat(SysPath().c_str(), &info) != 0) return FolderItemImp::GetGroup();
  std::vector<char> buffer = LookupBuffer();
  struct group entry;
  struct group* found = nullptr;
  if (getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
    return FolderItemImp::GetGroup();
  return PathString(found->gr_name, kFileSystemEncoding);
}

bool FolderItemImpUnix::SetOwner(const string& userName) {
  std::string name = PathBytes(userName);
  std::vector<char> buffer = LookupBuffer();
  struct passwd entry;
  struct passwd* found = nullptr;
  if (HasNulByte(name) || getpwnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      !found)
    return FolderItemImp::SetOwner(userName);
  if (chown(SysPath().c_str(), found->pw_uid, static_cast<gid_t>(-1)) != 0) {
    StoreErrno();
    return false;
  }
  return true;
}

bool FolderItemImpUnix::SetGroup(const string& groupName) {
  std::string name = PathBytes(groupName);
  std::vector<char> buffer = LookupBuffer();
  struct group entry;
  struct group* found = nullptr;
  if (HasNulByte(name) || getgrnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      !found)
    return FolderItemImp::SetGroup(groupName);
  if (chown(SysPath().c_str(), static_cast<uid_t>(-1), found->gr_gid) != 0) {
    StoreErrno();
    return false;
  }
  return true;
}

bool FolderItemImpUnix::IsLocked() { return !IsWriteable(); }

bool FolderItemImpUnix::SetLocked(bool) { return false; }

bool FolderItemImpUnix::IsReadable() {
  if (access(SysPath().c_str(), R_OK) == 0) return true;
  StoreErrno();
  return false;
}

bool FolderItemImpUnix::IsWriteable() {
  // The system answers for the item itself, or for the folder an item not made yet would go
  // into; making a trial file there would follow whatever link another user planted under its
  // name.
  if (access(SysPath().c_str(), W_OK) == 0) return true;
  int error = errno;
  if (error != ENOENT || IsAlias()) {
    mLastError = error;
    return false;
  }
  std::string folder = PathBytes(FolderPathOfName());
  // Not `= "/"`: g++ 12 inlines that assignment into a copy it cannot prove in bounds.
  if (folder.empty()) folder.assign(1, '/');
  if (access(folder.c_str(), W_OK | X_OK) == 0) return true;
  StoreErrno();
  return false;
}

int32_t FolderItemImpUnix::GetLength() {
  struct stat info;
  if (stat(SysPath().c_str(), &info) != 0) {
    StoreErrno();
    return 0;
  }
  if (info.st_size > INT32_MAX) {
    mLastError = EOVERFLOW;
    return 0;
  }
  return static_cast<int32_t>(info.st_size);
}

bool FolderItemImpUnix::SetLength(int32_t length) {
  if (truncate(SysPath().c_str(), length) != 0) {
    StoreErrno();
    return false;
  }
  return true;
}

namespace {

// A new data file that `open` opened, or null with the data file's error kept in `imp`.
template <typename Open>
RandomAccessMechanism* OpenedDataFile(FolderItemImpUnix* imp, int32_t line, Open open) {
  std::unique_ptr<DataFile> file(NewDataFile());
  if (!file) {
    ReportUnixAssertion(line, "newFile");
    return nullptr;
  }
  if (!open(*file)) {
    imp->mLastError = file->mLastError;
    return nullptr;
  }
  return file.release();
}

}  // namespace

RandomAccessMechanism* FolderItemImpUnix::OpenStream(bool allowWriting, bool readWrite) {
  int32_t permission = allowWriting && readWrite ? kDataFileReadWritePermission : kDataFileReadPermission;
  return OpenedDataFile(this, __LINE__, [&](DataFile& file) { return file.Open(SysPath().c_str(), permission); });
}

void FolderItemImpUnix::DropFolderSlash() {
  std::string path = PathBytes(mPath);
  if (!path.empty() && path.back() == '/') {
    path.pop_back();
    mPath = PathString(path, mPath.Encoding());
  }
}

// A file found missing is made by an open that appends just as well to one another program made
// a moment later, so neither loses its lines. The item's path loses a folder's slash only when
// the file was not there.
RandomAccessMechanism* FolderItemImpUnix::OpenStreamToAppend(bool create) {
  const auto append = [&](bool making) {
    return OpenedDataFile(this, __LINE__, [&](DataFile& file) { return file.OpenToAppend(SysPath().c_str(), making); });
  };
  RandomAccessMechanism* store = append(false);
  if (store || !create || mLastError != ENOENT) return store;
  DropFolderSlash();
  return append(true);
}

RandomAccessMechanism* FolderItemImpUnix::CreateStream(const string&) {
  DropFolderSlash();
  return OpenedDataFile(this, __LINE__, [&](DataFile& file) { return file.Create(SysPath().c_str()); });
}

bool FolderItemImpUnix::CreateAsFolder() {
  bool made = mkdir(SysPath().c_str(), 0777) == 0;
  if (!made) {
    int error = errno;
    // A temporary item holds its name with an empty file until it is used.
    made = error == EEXIST && MakeFolderInPlaceOfPlaceholder(SysPath());
    if (!made) mLastError = error;
  }
  std::string path = PathBytes(mPath);
  if (path.empty() || path.back() != '/') mPath = PathString(path + '/', mPath.Encoding());
  return made;
}

bool FolderItemImpUnix::Delete() {
  // A link goes as itself (whatever it points at), and only a real folder is removed as one.
  bool link = IsAlias();
  std::string path = link ? LinkPath() : SysPath();
  int result = !link && IsDirectory() ? rmdir(path.c_str()) : unlink(path.c_str());
  if (result == -1) {
    StoreErrno();
    return false;
  }
  return true;
}

bool FolderItemImpUnix::CopyFileTo(FolderItemImp* destination) {
  if (!destination) {
    ReportUnixAssertion(__LINE__, "destination");
    return false;
  }
  // A destination inside a volume is no path a program could write to.
  if (destination->IsVirtual()) return FolderItemImp::CopyFileTo(destination);
  // The copier would wait for ever on a pipe at either end: for a writer to read from, or a
  // reader to write to.
  const std::string source = SysPath();
  if (int32_t error = RegularFileError(source.c_str()); error != 0 && error != EISDIR) {
    mLastError = error;
    return false;
  }
  const std::string to = PathBytes(destination->GetAbsolutePath());
  const std::string target = RegularFileError(to.c_str()) == EISDIR ? to + "/" + PathBytes(GetName()) : to;
  if (RegularFileError(target.c_str()) == ESPIPE) {
    mLastError = ESPIPE;
    return false;
  }
  return RunFileProgram({"cp", "--", source, to});
}

bool FolderItemImpUnix::MoveFileTo(FolderItemImp* destination) {
  if (!destination) {
    ReportUnixAssertion(__LINE__, "destination");
    return false;
  }
  if (destination->IsVirtual()) return FolderItemImp::MoveFileTo(destination);
  return RunFileProgram({"mv", "-f", "--", SysPath(), PathBytes(destination->GetAbsolutePath())});
}

void FolderItemImpUnix::MakeExecutable() { RunFileProgram({"chmod", "+x", "--", SysPath()}); }

bool FolderItemImpUnix::RunFileProgram(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    // An empty argument here is a path that held a NUL byte or named nothing at all.
    if (arg.empty()) {
      mLastError = EINVAL;
      return false;
    }
  }
  ProgramResult result = RunProgramAndWait(args);
  if (!result.started) {
    mLastError = result.error;
    return false;
  }
  if (result.exitStatus == 0) return true;
  // The program said only that it failed; the likeliest cause on the source side is kept.
  if (Exists()) mLastError = IsDirectory() ? EISDIR : EIO;
  return false;
}

bool FolderItemImpUnix::Launch(const string& parameters, bool) {
  std::vector<std::string> args{SysPath()};
  if (!parameters.IsEmpty()) args.push_back(PathBytes(parameters));
  if (args.front().empty() || HasNulByte(args.back())) {
    mLastError = EINVAL;
    return false;
  }
  int error = 0;
  if (!StartProgramDetached(args, &error)) {
    mLastError = error;
    return false;
  }
  return true;
}

string EscapeShellPath(const string& path) {
  std::string_view bytes = path.View();
  std::string escaped;
  escaped.reserve(bytes.size() * 2);
  for (char c : bytes) {
    switch (c) {
      case '\\':
      case '"':
      case '\'':
      case '(':
      case ')':
      case '&':
      case ' ':
        escaped += '\\';
        break;
      default:
        break;
    }
    escaped += c;
  }
  return PathString(escaped, path.Encoding());
}

}  // namespace vorn
