// The graphics room's side of FolderItem's pictures and sounds: Picture objects made from
// the files room's bytes and pixbufs, and Sounds that play a file. Installed as the files
// room's hooks when the program loads.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>

#include "files/folder_item_hooks.h"
#include "files/folder_item_imp.h"
#include "graphics/drawable.h"
#include "graphics/drawable_pane.h"
#include "graphics/graphics.h"
#include "graphics/picture_object.h"
#include "graphics/sound_class.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

// A new Picture holding the pane (the picture takes its own reference); nil without a pane.
RuntimeObject* PictureOf(DrawablePane* pane) {
  if (!pane) return nullptr;
  RuntimeObject* picture = NewPictureWithDrawable(pane);
  pane->Release();
  return picture;
}

RuntimeObject* PictureFromPixbufFile(const std::string& path) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (!pixbuf) return nullptr;
  auto* pane = new DrawablePane(MakeRect(0, 0, gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf)), 24);
  pane->WritePixbuf(pixbuf, 0, 0);
  g_object_unref(pixbuf);
  if (!pane->IsValid()) {
    pane->Release();
    return nullptr;
  }
  return PictureOf(pane);
}

RuntimeObject* PictureFromBMP(const uint8_t* bytes, size_t length) {
  return PictureOf(DrawableFromBMP(bytes, length));
}

// The picture's pixels as an RGB pixbuf (one reference); null for a picture without any.
GdkPixbuf* PixbufOfPicture(VornRuntimeObject* picture, int32_t* hRes, int32_t* vRes) {
  Drawable* drawable = PictureDrawable(picture);
  if (!drawable) return nullptr;
  *hRes = drawable->GetHRes();
  *vRes = drawable->GetVRes();
  int32_t width = 0, height = 0;
  drawable->GetSize(&width, &height);
  if (width <= 0 || height <= 0) return nullptr;
  // Other drawables are copied into a bitmap first, which is what the file holds.
  DrawablePane* pane = drawable->AsDrawablePane();
  DrawablePane* copy = nullptr;
  if (!pane) {
    copy = new DrawablePane(MakeRect(0, 0, width, height), 24);
    if (Graphics* port = copy->NewGraphics()) {
      drawable->DrawAt(port, MakeRect(0, 0, width, height), false);
      delete port;
    }
    pane = copy;
  }
  GdkPixbuf* pixels = pane->ReadPixbuf(0, 0, width, height);
  if (copy) copy->Release();
  return pixels;
}

RuntimeObject* SoundOfFile(FolderItemImp* file) {
  RuntimeObject* sound = CreateInstanceFromDefinition(GetSoundClassDefinition());
  if (sound) SoundSetData(sound, file->Clone(), 0);
  return sound;
}

// Before main: a folder item may open a picture or a sound before any graphics class is built.
[[maybe_unused]] const bool kInstalled = [] {
  PictureFileHooks pictures;
  pictures.fromBMP = &PictureFromBMP;
  pictures.fromPixbufFile = &PictureFromPixbufFile;
  pictures.pixels = &PixbufOfPicture;
  SetPictureFileHooks(pictures);
  SetSoundFromFileHook(&SoundOfFile);
  return true;
}();

}  // namespace

}  // namespace vorn
