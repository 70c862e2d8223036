// A file on disk handed to the layers above: styled text for an edit field, a movie; and its
// type by the file-type registry.
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "files/file_types.h"
#include "files/folder_item_hooks.h"
#include "files/folder_item_imp_unix.h"
#include "files/unix_path_text.h"

namespace vorn {

bool FolderItemImpUnix::OpenStyledEditField(VornRuntimeObject* editField) {
  return OpenStyledFieldFromFile(editField, this);
}

bool FolderItemImpUnix::SaveStyledEditField(VornRuntimeObject* editField) {
  return SaveStyledFieldToFile(editField, this);
}

VornRuntimeObject* FolderItemImpUnix::OpenAsMovie() {
  struct stat info;
  if (stat(SysPath().c_str(), &info) != 0) {
    StoreErrno();
    return nullptr;
  }
  if (S_ISDIR(info.st_mode)) {
    mLastError = EISDIR;
    return nullptr;
  }
  return MovieFromFile(mPath);
}

string FolderItemImpUnix::GetType() { return FileTypeNameForFile(GetName()); }

}  // namespace vorn
