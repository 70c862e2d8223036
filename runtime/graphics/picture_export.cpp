#include "graphics/picture_export.h"

#include "core/core_assert.h"
#include "files/folder_item_class.h"
#include "files/folder_item_dialog.h"
#include "files/folder_item_imp.h"
#include "graphics/object2d.h"
#include "objects/exceptions.h"

namespace vorn {
namespace {

constexpr const char* kSource = "../Common/PictureExport";

RuntimeObject*& CaptureGroup() {
  static RuntimeObject* group = nullptr;
  return group;
}

}  // namespace

RuntimeObject* PictureCaptureGroup() { return CaptureGroup(); }

void ResetPictureCapture() {
  RuntimeObject* old = CaptureGroup();
  CaptureGroup() = CreateInstanceFromDefinition(GetGroup2DClassDefinition());
  RuntimeUnlockObject(old);
}

RuntimeObject* ConvertPictureFile(RuntimeObject* folderItem, RuntimeObject* tempFile) {
  if (!folderItem) ReportCoreAssertion(kSource, __LINE__, "folderItem");
  if (!tempFile) ReportCoreAssertion(kSource, __LINE__, "tempFile");
  return nullptr;
}

}  // namespace vorn

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
