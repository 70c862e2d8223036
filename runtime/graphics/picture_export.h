// The picture utilities that this platform answers without doing anything; saving a picture
// to a file the user chooses (exportPicture) runs a dialog and lives with the dialogs.
#pragma once

#include <cstdint>

#include "objects/runtime_object.h"

namespace vorn {

// The group that collects captured drawing; a new empty one after every reset.
RuntimeObject* PictureCaptureGroup();
void ResetPictureCapture();

// Converting picture files is not available here: reports nil arguments, answers nil.
RuntimeObject* ConvertPictureFile(RuntimeObject* folderItem, RuntimeObject* tempFile);

}  // namespace vorn

