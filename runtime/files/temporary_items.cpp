#include "files/temporary_items.h"

#include <stdlib.h>
#include <unistd.h>

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

}  // namespace

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
  close(descriptor);
  FolderItemImpUnix* item = NewFolderItemImpFromPath(PathString(name, kFileSystemEncoding));
  TemporaryItemsTask().Add(*item);
  return item;
}

}  // namespace vorn
