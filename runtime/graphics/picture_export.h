// Saving a picture to a file the user chooses, and the picture utilities beside it that this
// platform answers without doing anything.
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

extern "C" uint8_t exportPicture(VornRuntimeObject* picture);
