#include "files/folder_item_hooks.h"

#include <gdk/gdk.h>

namespace vorn {

namespace {

StyledFieldFileHook gOpenField = nullptr;
StyledFieldFileHook gSaveField = nullptr;
MovieFromFileHook gMovie = nullptr;
CursorObjectHook gCursor = nullptr;
constinit PictureFileHooks gPictures;
SoundFromFileHook gSound = nullptr;

}  // namespace

void SetStyledFieldFileHooks(StyledFieldFileHook open, StyledFieldFileHook save) {
  gOpenField = open;
  gSaveField = save;
}

bool OpenStyledFieldFromFile(VornRuntimeObject* field, FolderItemImp* file) {
  return field && file && gOpenField && gOpenField(field, file);
}

bool SaveStyledFieldToFile(VornRuntimeObject* field, FolderItemImp* file) {
  return field && file && gSaveField && gSaveField(field, file);
}

void SetMovieFromFileHook(MovieFromFileHook hook) { gMovie = hook; }

VornRuntimeObject* MovieFromFile(const string& path) { return gMovie ? gMovie(path) : nullptr; }

void SetCursorObjectHook(CursorObjectHook hook) { gCursor = hook; }

VornRuntimeObject* CursorObjectFor(void* nativeCursor) {
  if (!nativeCursor) return nullptr;
  if (gCursor) return gCursor(nativeCursor);
  gdk_cursor_unref(static_cast<GdkCursor*>(nativeCursor));
  return nullptr;
}

void SetPictureFileHooks(const PictureFileHooks& hooks) { gPictures = hooks; }

const PictureFileHooks& GetPictureFileHooks() { return gPictures; }

void SetSoundFromFileHook(SoundFromFileHook hook) { gSound = hook; }

VornRuntimeObject* SoundFromFile(FolderItemImp* file) { return gSound && file ? gSound(file) : nullptr; }

}  // namespace vorn
