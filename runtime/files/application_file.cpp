// App.ExecutableFile: the program's own file as a FolderItem.
#include "files/folder_item_class.h"
#include "vorn/application_abi.h"
#include "files/folder_item_imp_unix.h"

extern "C" VornRuntimeObject* AppFolderItemGetter(VornRuntimeObject*, int32_t) {
  vorn::string path = vorn::GetApplicationPath(false);
  return path.IsEmpty() ? nullptr : vorn::NewDocumentFolderItem(path);
}
