// The well-known folders of the global functions (DesktopFolder, TemporaryFolder, Volume ...):
// fixed system paths, the home folder HOME names and a few of its children.
#pragma once

namespace vorn {

class FolderItemImp;

// The home folder; null when HOME is unset or names no absolute path (a relative one would
// be taken from the application's folder).
FolderItemImp* HomeFolderImp();
// The home folder's child of that name when it exists and is a folder (links followed); else
// null.
FolderItemImp* HomeChildFolderImp(const char* name);

FolderItemImp* DesktopFolderImp();
FolderItemImp* DocumentsFolderImp();
FolderItemImp* TrashFolderImp();

}  // namespace vorn
