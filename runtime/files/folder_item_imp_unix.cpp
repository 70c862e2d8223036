#include "files/folder_item_imp_unix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "files/unix_path_text.h"
#include "files/unix_support.h"

namespace vorn {

FolderItemImpUnix::FolderItemImpUnix(const string& path, bool* refused) {
  std::string bytes = PathBytes(path);
  if (!bytes.empty() && bytes.front() == '/') {
    mPath = path;
  } else {
    string folder = GetApplicationPath(true);
    std::string joined = PathBytes(folder);
    if (!joined.empty() && joined.back() == '/') joined.pop_back();
    joined += '/';
    joined += bytes;
    mPath = PathString(joined, JoinedPathEncoding(folder, path));
  }
  std::string full = PathBytes(mPath);
  if ((full.empty() || full.back() != '/') && IsDirectory()) {
    full += '/';
    mPath = PathString(full, mPath.Encoding());
  }
  if (refused) {
    struct stat info;
    // A NUL byte would cut the path short at every system call and name another place.
    if (HasNulByte(full))
      *refused = true;
    else if (stat(full.c_str(), &info) != 0)
      *refused = errno != ENOENT;
  }
}

std::string FolderItemImpUnix::SysPath() const {
  std::string bytes = PathBytes(mPath);
  // No file has the empty name, so every call on a path cut short by a NUL fails.
  if (HasNulByte(bytes)) return std::string();
  return bytes;
}

std::string FolderItemImpUnix::LinkPath() const {
  // A final "/" makes the system look through a link to the folder it names; the item names
  // the link itself.
  std::string bytes = SysPath();
  if (bytes.size() > 1 && bytes.back() == '/') bytes.pop_back();
  return bytes;
}

FolderItemImpUnix* FolderItemImpUnix::WithExactPath(const string& path) {
  auto* item = new FolderItemImpUnix;
  item->mPath = path;
  return item;
}

FolderItemImp* FolderItemImpUnix::Assign(const FolderItemImp& other) {
  if (other.IsVirtual()) {
    ReportUnixAssertion(__LINE__, "not other.IsVirtual()");
    return this;
  }
  if (const auto* unix = dynamic_cast<const FolderItemImpUnix*>(&other)) mPath = unix->mPath;
  return this;
}

FolderItemImp* FolderItemImpUnix::Clone() const { return WithExactPath(mPath); }

bool FolderItemImpUnix::Exists() {
  if (access(SysPath().c_str(), F_OK) == 0) return true;
  mLastError = errno;
  return false;
}

bool FolderItemImpUnix::IsAlias() {
  struct stat info;
  if (lstat(LinkPath().c_str(), &info) != 0) {
    mLastError = errno;
    return false;
  }
  return S_ISLNK(info.st_mode);
}

bool FolderItemImpUnix::IsDirectory() {
  struct stat info;
  if (stat(SysPath().c_str(), &info) != 0) {
    mLastError = errno;
    return false;
  }
  return S_ISDIR(info.st_mode);
}

string FolderItemImpUnix::GetName() {
  std::string bytes = PathBytes(mPath);
  return PathString(LastPathComponent(bytes), mPath.Encoding());
}

string FolderItemImpUnix::FolderPathOfName() {
  std::string bytes = PathBytes(mPath);
  size_t keep = bytes.size() - LastPathComponent(bytes).size();
  if (!bytes.empty() && bytes.back() == '/' && keep > 0) --keep;
  return PathString(std::string_view(bytes).substr(0, keep), mPath.Encoding());
}

FolderItemImp* FolderItemImpUnix::GetParent() {
  std::string bytes = PathBytes(mPath);
  // The root has no parent, and neither has a path that never named a place.
  if (bytes.size() <= 1 || bytes.find('/') == std::string::npos) return nullptr;
  return new FolderItemImpUnix(FolderPathOfName());
}

FolderItemImp* FolderItemImpUnix::GetChild(const string& name, int32_t) {
  if (!IsDirectory() || !Exists()) return nullptr;
  std::string childName = PathBytes(name);
  if (childName == ".") return new FolderItemImpUnix(mPath);
  if (childName == "..") return GetParent();
  std::string path = PathBytes(mPath);
  // A folder made after this item was may have no final "/" yet.
  if (path.empty() || path.back() != '/') path += '/';
  path += childName;
  return new FolderItemImpUnix(PathString(path, JoinedPathEncoding(mPath, name)));
}

FolderItemImp* FolderItemImpUnix::ResolveAlias(int32_t) {
  if (!IsAlias()) return nullptr;
  std::string linkPath = LinkPath();
  std::vector<char> target(4096);
  ssize_t length = readlink(linkPath.c_str(), target.data(), target.size());
  if (length < 0) {
    mLastError = errno;
    return nullptr;
  }
  if (static_cast<size_t>(length) >= target.size()) {
    mLastError = ENAMETOOLONG;
    return nullptr;
  }
  std::string_view text(target.data(), static_cast<size_t>(length));
  if (!text.empty() && text.front() == '/') return new FolderItemImpUnix(PathString(text, kFileSystemEncoding));
  std::string resolved = PathBytes(FolderPathOfName());
  resolved += text;
  return new FolderItemImpUnix(PathString(resolved, mPath.Encoding()));
}

bool FolderItemImpUnix::IsVisible() {
  std::string name(LastPathComponent(PathBytes(mPath)));
  return name.empty() || name.front() != '.';
}

bool FolderItemImpUnix::SetVisible(bool visible) {
  if (IsVisible() == visible) return true;
  string name = GetName();
  std::string bytes = PathBytes(name);
  if (visible) {
    if (bytes.empty() || bytes.front() != '.') return true;
    return SetName(PathString(std::string_view(bytes).substr(1), name.Encoding()));
  }
  if (!bytes.empty() && bytes.front() == '.') return true;
  return SetName(PathString("." + bytes, name.Encoding()));
}

FolderItemImpUnix* NewFolderItemImpFromPath(const string& path) { return new FolderItemImpUnix(path); }

FolderItemImpUnix* NewFolderItemImpFromURL(const string& url) {
  string path = FileURLToPath(url, '/');
  std::string bytes = PathBytes(path);
  // A decoded NUL would silently cut the path short and name another file.
  if (bytes.empty() || HasNulByte(bytes)) return nullptr;
  return new FolderItemImpUnix(PathString("/" + bytes, kEncodingUTF8));
}

FolderItemImpUnix* NewApplicationFolderItemImp() {
  return FolderItemImpUnix::WithExactPath(GetApplicationPath(false));
}

}  // namespace vorn
