// SaveInfo byte strings: the marker, a version, the mode and tagged records holding the
// absolute path, the path relative to a second item, or both. Tags are little-endian, lengths
// big-endian, written and read byte by byte.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/folder_item_imp_unix.h"
#include "files/unix_path_text.h"
#include "files/unix_support.h"

namespace vorn {

namespace {

constexpr uint8_t kSaveInfoVersion = 1;

enum SaveInfoTag : uint16_t {
  kTagEnd = 0,
  kTagAbsolutePath = 1,
  kTagRelativePath = 2,
  kTagFlagOne = 3,
  kTagFlagZero = 4,
};

void AppendRecord(std::string& out, uint16_t tag, std::string_view data) {
  out += static_cast<char>(tag & 0xFF);
  out += static_cast<char>(tag >> 8);
  auto length = static_cast<uint32_t>(data.size());
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((length >> shift) & 0xFF);
  out.append(data);
}

std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> pieces;
  if (path.empty()) return pieces;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) {
      if (start < path.size()) pieces.emplace_back(path.substr(start));
      break;
    }
    pieces.emplace_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return pieces;
}

// The item's own path when it is a folder, else its folder's.
std::string FolderPathOf(FolderItemImp& item) {
  string path = item.GetAbsolutePath();
  if (!item.IsDirectory()) {
    std::unique_ptr<FolderItemImp> parent(item.GetParent());
    if (parent) path = parent->GetAbsolutePath();
  }
  return PathBytes(path);
}

bool Exists(const std::string& path) {
  FolderItemImpUnix item(PathString(path, kFileSystemEncoding));
  return item.Exists();
}

}  // namespace

string FolderItemImpUnix::GetSaveInfo(FolderItemImp* relativeTo, int32_t mode) {
  if (!relativeTo) mode = kSaveInfoAbsoluteMode;
  std::string out;
  out += '\x00';
  out += '\xF1';
  out += '\xD1';
  out += '\x73';
  out += static_cast<char>(kSaveInfoVersion);
  out += static_cast<char>(mode & 0xFF);
  switch (mode) {
    case kSaveInfoDefaultMode:
      AppendRecord(out, kTagRelativePath, PathBytes(GetRelativePath(relativeTo)));
      AppendRecord(out, kTagAbsolutePath, PathBytes(mPath));
      break;
    case kSaveInfoRelativeMode:
      AppendRecord(out, kTagRelativePath, PathBytes(GetRelativePath(relativeTo)));
      break;
    case kSaveInfoAbsoluteMode:
      AppendRecord(out, kTagAbsolutePath, PathBytes(mPath));
      break;
    default:
      out.append(4, '\0');
      break;
  }
  AppendRecord(out, kTagFlagOne, std::string_view("\x01", 1));
  AppendRecord(out, kTagFlagZero, std::string_view("\x00", 1));
  AppendRecord(out, kTagEnd, std::string_view());
  return string(out, kEncodingUnknown);
}

string FolderItemImpUnix::GetRelativePath(FolderItemImp* other) {
  if (!other) return string();
  std::string a = FolderPathOf(*other);
  std::string b = PathBytes(mPath);
  std::string finalName;
  if (!IsDirectory()) {
    finalName = std::string(LastPathComponent(b));
    std::unique_ptr<FolderItemImp> parent(GetParent());
    if (parent) b = PathBytes(parent->GetAbsolutePath());
  }
  // Paths on this system differ by letter case, so they are compared byte for byte.
  if (a == b) return PathString(finalName, mPath.Encoding());

  std::vector<std::string> piecesA = SplitPath(a);
  std::vector<std::string> piecesB = SplitPath(b);
  size_t shared = 0;
  while (1 + shared < piecesA.size() && 1 + shared < piecesB.size() &&
         piecesA[1 + shared] == piecesB[1 + shared])
    ++shared;
  std::string result;
  size_t climbs = piecesA.empty() ? 0 : piecesA.size() - 1 - shared;
  for (size_t i = 0; i < climbs; ++i) result += "../";
  for (size_t i = 1 + shared; i < piecesB.size() && !piecesB[i].empty(); ++i) {
    result += piecesB[i];
    result += '/';
  }
  result += finalName;
  if (!result.empty() && result.back() == '/') result.pop_back();
  return PathString(result, mPath.Encoding());
}

string ResolveRelativePath(const string& relativePath, FolderItemImp* folder) {
  if (!folder) {
    ReportUnixAssertion(__LINE__, "relFold",
                        "We're trying to get a path relative to a nil folder item when constructing from a "
                        "SaveInfo string.");
    return string();
  }
  std::vector<std::string> components;
  for (std::string& piece : SplitPath(FolderPathOf(*folder)))
    if (!piece.empty()) components.push_back(std::move(piece));
  for (const std::string& piece : SplitPath(PathBytes(relativePath))) {
    if (piece.empty()) break;
    if (piece == "..") {
      // Climbing to the root or above it leaves nothing to name.
      if (components.size() <= 1) return string();
      components.pop_back();
    } else {
      components.push_back(piece);
    }
  }
  std::string result;
  for (const std::string& component : components) {
    result += '/';
    result += component;
  }
  return PathString(result, kFileSystemEncoding);
}

FolderItemImpUnix* NewFolderItemImpFromSaveInfo(const string& data, FolderItemImp* relativeTo) {
  if (!IsSaveInfo(data)) return nullptr;
  std::string_view bytes = data.View();
  if (bytes.size() < 6) return nullptr;
  const auto byteAt = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  int32_t mode = byteAt(5);

  std::string absolute, relative, chosen;
  size_t offset = 6;
  while (offset + 6 <= bytes.size()) {
    uint16_t tag = static_cast<uint16_t>(byteAt(offset) | (byteAt(offset + 1) << 8));
    uint32_t length = (uint32_t{byteAt(offset + 2)} << 24) | (uint32_t{byteAt(offset + 3)} << 16) |
                      (uint32_t{byteAt(offset + 4)} << 8) | byteAt(offset + 5);
    offset += 6;
    if (length > bytes.size() - offset) break;
    std::string_view record = bytes.substr(offset, length);
    offset += length;
    if (tag == kTagEnd) break;
    if (tag != kTagAbsolutePath && tag != kTagRelativePath) continue;
    // A NUL byte would cut the path short and name another file.
    if (HasNulByte(record)) return nullptr;
    std::string text(record);
    if (!relativeTo || mode == kSaveInfoAbsoluteMode) {
      chosen = text;
    } else if (mode == kSaveInfoRelativeMode) {
      chosen = PathBytes(ResolveRelativePath(PathString(text, kFileSystemEncoding), relativeTo));
      if (chosen.empty()) return nullptr;
    } else if (mode == kSaveInfoDefaultMode) {
      if (tag == kTagAbsolutePath)
        absolute = text;
      else
        relative = PathBytes(ResolveRelativePath(PathString(text, kFileSystemEncoding), relativeTo));
    }
  }

  if (mode == kSaveInfoDefaultMode && relativeTo) {
    if (!relative.empty() && Exists(relative))
      chosen = relative;
    else if (!absolute.empty() && Exists(absolute))
      chosen = absolute;
    else if (!relative.empty())
      chosen = relative;
    else if (!absolute.empty())
      chosen = absolute;
    else
      return nullptr;
  }
  if (chosen.empty()) return FolderItemImpUnix::WithExactPath(string());
  return new FolderItemImpUnix(PathString(chosen, kFileSystemEncoding));
}

}  // namespace vorn
