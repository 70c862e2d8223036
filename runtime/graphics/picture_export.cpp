#include "graphics/picture_export.h"

#include "base/core_assert.h"
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
