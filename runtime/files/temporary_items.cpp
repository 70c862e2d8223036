#include "files/temporary_items.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "files/folder_item_imp_unix.h"
#include "files/temp_file_shutdown_task.h"
#include "files/unix_path_text.h"

namespace vorn {

namespace {

class TemporaryItemsShutDownTask;
TemporaryItemsShutDownTask* gTask = nullptr;

// Forgets itself when it runs, so that no later call adds to a task that is gone.
class TemporaryItemsShutDownTask : public TempFileShutDownTask {
 public:
  ~TemporaryItemsShutDownTask() override {
    if (gTask == this) gTask = nullptr;
  }
};

// The empty files that hold the names handed out, by path, with the identity they were made
// with: only such a file, still untouched, may give way to a folder.
struct Placeholder {
  dev_t device;
  ino_t inode;
};
std::map<std::string, Placeholder>& Placeholders() {
  static std::map<std::string, Placeholder> placeholders;
  return placeholders;
}

}  // namespace

bool MakeFolderInPlaceOfPlaceholder(const std::string& path) {
  std::string name = path;
  if (name.size() > 1 && name.back() == '/') name.pop_back();
  auto found = Placeholders().find(name);
  if (found == Placeholders().end()) return false;
  struct stat info;
  if (lstat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size != 0 ||
      info.st_uid != geteuid() || info.st_dev != found->second.device || info.st_ino != found->second.inode)
    return false;
  Placeholders().erase(found);
  if (unlink(name.c_str()) != 0) return false;
  // mkdir never follows a link: should another user take the name in between, this fails.
  return mkdir(name.c_str(), 0700) == 0;
}

TempFileShutDownTask& TemporaryItemsTask() {
  if (!gTask) gTask = new TemporaryItemsShutDownTask;
  return *gTask;
}

FolderItemImpUnix* NewTemporaryItemImp(const std::string& folder) {
  // A relative folder would be read from two places: the working folder here, the
  // application's folder by the item.
  if (folder.empty() || folder[0] != '/') return nullptr;
  std::string name = folder + "XXXXXXX";
  int descriptor = mkstemp(name.data());
  if (descriptor < 0) return nullptr;
  struct stat info;
  if (fstat(descriptor, &info) == 0) Placeholders()[name] = {info.st_dev, info.st_ino};
  close(descriptor);
  FolderItemImpUnix* item = NewFolderItemImpFromPath(PathString(name, kFileSystemEncoding));
  TemporaryItemsTask().Add(*item);
  return item;
}

}  // namespace vorn
