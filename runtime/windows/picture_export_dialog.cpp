// Saving a picture to a file the user chooses in a Save As dialog.
#include "files/folder_item_class.h"
#include "files/folder_item_imp.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/picture_api.h"
#include "windows/folder_item_dialog.h"

using namespace vorn;

extern "C" uint8_t exportPicture(VornRuntimeObject* picture) {
  if (!picture) {
    RuntimeRaiseNilObjectException();
    return 0;
  }
  RuntimeObject* dialog = CreateInstanceFromDefinition(GetSaveAsDialogClassDefinition());
  if (!dialog) return 0;
  auto* fields = reinterpret_cast<FolderItemDialogObject*>(dialog);
  ReplaceStringRep(fields->title, string("Export Image As:").Rep());
  ReplaceStringRep(fields->suggestedFileName, (string("Untitled Image") + string(".bmp")).Rep());
  bool saved = false;
  // The run answers its choice without a reference for the caller; hold it past the dialog.
  RuntimeObject* item = FolderItemDialogRun(fields, nullptr);
  RuntimeLockObject(item);
  if (FolderItemImp* imp = item ? FolderItemImpOf(item) : nullptr) saved = imp->SaveAsPicture(picture, 0);
  RuntimeUnlockObject(dialog);
  RuntimeUnlockObject(item);
  return saved ? 1 : 0;
}
