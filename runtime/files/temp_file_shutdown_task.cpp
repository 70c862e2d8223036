#include "files/temp_file_shutdown_task.h"

#include <memory>
#include <vector>

#include "files/folder_item_imp.h"

namespace vorn {

TempFileShutDownTask::~TempFileShutDownTask() {
  for (FolderItemImp* item : mItems) {
    // Whatever stands at a registered path now may have been put there by someone else: a
    // link there is removed as itself, never followed into the folder it names.
    if (!item->IsAlias() && item->IsDirectory())
      EmptyFolder(*item);
    else
      item->Delete();
    delete item;
  }
  mItems.Clear();
}

void TempFileShutDownTask::Add(const FolderItemImp& item) { mItems.Append(item.Clone()); }

void EmptyFolder(FolderItemImp& folder) {
  // The entries are taken as they stand, links included: following a link would empty
  // whatever folder it points at, far outside the temporary one. Listing first keeps an entry
  // that refuses to go from hiding the ones after it.
  std::vector<std::unique_ptr<FolderItemImp>> children;
  int32_t count = folder.GetCount();
  for (int32_t i = 0; i < count; ++i) children.emplace_back(folder.GetItem(i, 0));
  for (auto& child : children) {
    if (!child) continue;
    if (!child->IsAlias() && child->IsDirectory()) EmptyFolder(*child);
    child->Delete();
  }
}

}  // namespace vorn
