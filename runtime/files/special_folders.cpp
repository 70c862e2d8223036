#include "files/special_folders.h"

#include <cstdlib>
#include <memory>

#include "files/folder_item_class.h"
#include "files/folder_item_imp_unix.h"
#include "files/temporary_items.h"
#include "files/unix_path_text.h"
#include "vorn/special_folder_api.h"

namespace vorn {

namespace {

VornRuntimeObject* Wrap(FolderItemImp* imp) { return imp ? NewFolderItemWithImp(nullptr, imp) : nullptr; }

FolderItemImp* FixedFolderImp(const char* path) { return NewFolderItemImpFromPath(string(path)); }

}  // namespace

FolderItemImp* HomeFolderImp() {
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') return nullptr;
  return NewFolderItemImpFromPath(PathString(home, kEncodingUTF8));
}

FolderItemImp* HomeChildFolderImp(const char* name) {
  std::unique_ptr<FolderItemImp> home(HomeFolderImp());
  if (!home) return nullptr;
  std::unique_ptr<FolderItemImp> child(home->GetChild(string(name), kResolveAliasFlag));
  if (!child || !child->Exists() || !child->IsDirectory()) return nullptr;
  return child.release();
}

FolderItemImp* DesktopFolderImp() {
  if (FolderItemImp* desktop = HomeChildFolderImp("Desktop")) return desktop;
  if (FolderItemImp* desktop = HomeChildFolderImp(".gnome-desktop")) return desktop;
  return HomeFolderImp();
}

FolderItemImp* DocumentsFolderImp() {
  if (FolderItemImp* documents = HomeChildFolderImp("Documents")) return documents;
  return HomeFolderImp();
}

FolderItemImp* TrashFolderImp() { return HomeChildFolderImp(".Trash"); }

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* getVolume(int32_t index) { return index == 0 ? Wrap(FixedFolderImp("/")) : nullptr; }

int32_t getVolumeCount() { return 1; }

VornRuntimeObject* getPreferencesFolder() { return Wrap(HomeFolderImp()); }
VornRuntimeObject* getApplicationSupportFolder() { return Wrap(HomeFolderImp()); }
VornRuntimeObject* getDesktopFolder() { return Wrap(DesktopFolderImp()); }
VornRuntimeObject* GetDocumentsFolder() { return Wrap(DocumentsFolderImp()); }
VornRuntimeObject* getTrashFolder() { return Wrap(TrashFolderImp()); }
VornRuntimeObject* getSystemFolder() { return Wrap(FixedFolderImp("/usr/")); }
VornRuntimeObject* getTemporaryItemsFolder() { return Wrap(FixedFolderImp(kTemporaryFolderPath)); }
VornRuntimeObject* getTemporaryFolderItem() { return Wrap(NewTemporaryItemImp()); }

// Folders of the classic system that have no counterpart here.
VornRuntimeObject* getAppleMenuFolder() { return nullptr; }
VornRuntimeObject* getControlPanelsFolder() { return nullptr; }
VornRuntimeObject* getExtensionsFolder() { return nullptr; }
VornRuntimeObject* getStartupItemsFolder() { return nullptr; }
VornRuntimeObject* getShutdownItemsFolder() { return nullptr; }
VornRuntimeObject* getFontsFolder() { return nullptr; }

}  // extern "C"
