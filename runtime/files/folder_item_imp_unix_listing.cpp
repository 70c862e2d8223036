// Folder contents, read afresh on every question, and the fixed folders of this platform.
#include <dirent.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "files/folder_item_imp_unix.h"
#include "files/unix_path_text.h"

namespace vorn {

namespace {

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

struct SpecialFolderPath {
  int32_t code;
  const char* path;
};

constexpr SpecialFolderPath kSpecialFolderPaths[] = {
    {kSpecialFolderEtc, "/etc"},           {kSpecialFolderBin, "/bin"},
    {kSpecialFolderUserBin, "/usr/bin"},   {kSpecialFolderSBin, "/sbin"},
    {kSpecialFolderUserSBin, "/usr/sbin"}, {kSpecialFolderVar, "/var"},
    {kSpecialFolderVarLog, "/var/log"},    {kSpecialFolderHome, "/home"},
    {kSpecialFolderMount, "/mnt"},         {kSpecialFolderLibrary, "/lib"},
    {kSpecialFolderUserLibrary, "/usr/lib"},
};

}  // namespace

void ListDirectory(const string& folderPath, SimpleVector<string>& entries) {
  std::string folder = PathBytes(folderPath);
  if (HasNulByte(folder)) return;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  // A folder made after its item was may have no final "/" yet.
  if (folder.empty() || folder.back() != '/') folder += '/';
  while (struct dirent* entry = readdir(dir)) {
    if (IsDotEntry(entry->d_name)) continue;
    entries.Append(PathString(folder + entry->d_name, kFileSystemEncoding));
  }
  closedir(dir);
}

int32_t FolderItemImpUnix::GetCount() {
  DIR* dir = opendir(SysPath().c_str());
  if (!dir) return 0;
  int32_t count = 0;
  while (struct dirent* entry = readdir(dir)) {
    if (!IsDotEntry(entry->d_name) && count < INT32_MAX) ++count;
  }
  closedir(dir);
  return count;
}

FolderItemImp* FolderItemImpUnix::GetItem(int32_t index, int32_t flags) {
  if (index < 0) return nullptr;
  SimpleVector<string> entries;
  ListDirectory(mPath, entries);
  if (index >= entries.Count()) return nullptr;
  std::unique_ptr<FolderItemImp> item(new FolderItemImpUnix(entries[index]));
  if (flags != 0) {
    FolderItemImp* target = item->ResolveAlias(flags);
    if (target && target != item.get()) item.reset(target);
  }
  return item.release();
}

FolderItemImp* FolderItemImpUnix::FindSpecialFolder(int32_t folderCode) {
  if (folderCode == kSpecialFolderUserHome) {
    const char* home = std::getenv("HOME");
    // An empty or relative value names no home: it would land in the application's folder.
    if (!home || home[0] != '/') return nullptr;
    return NewFolderItemImpFromPath(PathString(home, kEncodingUTF8));
  }
  for (const SpecialFolderPath& entry : kSpecialFolderPaths) {
    if (entry.code == folderCode) return NewFolderItemImpFromPath(string(entry.path));
  }
  return nullptr;
}

}  // namespace vorn
