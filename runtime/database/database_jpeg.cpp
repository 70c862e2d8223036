#include "database/database_jpeg.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "graphics/drawable_pane.h"
#include "graphics/graphics.h"
#include "graphics/picture_object.h"

namespace vorn {
namespace {

constexpr const char* kQuality = "90";

// The drawable's pixels; another kind of drawable is drawn into a bitmap first.
GdkPixbuf* PixelsOf(Drawable* drawable) {
  int32_t width = 0, height = 0;
  drawable->GetSize(&width, &height);
  if (width <= 0 || height <= 0) return nullptr;
  if (DrawablePane* pane = drawable->AsDrawablePane()) return pane->ReadPixbuf(0, 0, width, height);
  auto* copy = new DrawablePane(MakeRect(0, 0, width, height), 24);
  if (Graphics* port = copy->NewGraphics()) {
    drawable->DrawAt(port, MakeRect(0, 0, width, height), false);
    delete port;
  }
  GdkPixbuf* pixels = copy->ReadPixbuf(0, 0, width, height);
  copy->Release();
  return pixels;
}

}  // namespace

RuntimeObject* PictureFromJPEG(const std::string& bytes) {
  if (bytes.empty()) return nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("jpeg", nullptr);
  if (!loader) return nullptr;
  const bool read = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
  const bool closed = gdk_pixbuf_loader_close(loader, nullptr);
  GdkPixbuf* pixbuf = read && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  RuntimeObject* picture = nullptr;
  if (pixbuf) {
    auto* pane = new DrawablePane(MakeRect(0, 0, gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf)), 24);
    pane->WritePixbuf(pixbuf, 0, 0);
    if (pane->IsValid()) picture = NewPictureWithDrawable(pane);
    pane->Release();
  }
  g_object_unref(loader);
  return picture;
}

std::optional<std::string> JPEGOfPicture(RuntimeObject* picture) {
  Drawable* drawable = picture ? PictureDrawable(picture) : nullptr;
  GdkPixbuf* pixels = drawable ? PixelsOf(drawable) : nullptr;
  if (!pixels) return std::nullopt;
  gchar* buffer = nullptr;
  gsize size = 0;
  const bool saved =
      gdk_pixbuf_save_to_buffer(pixels, &buffer, &size, "jpeg", nullptr, "quality", kQuality, nullptr);
  g_object_unref(pixels);
  if (!saved) return std::nullopt;
  std::string bytes(buffer, size);
  g_free(buffer);
  return bytes;
}

}  // namespace vorn
