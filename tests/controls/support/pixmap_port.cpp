#include <gtk/gtk.h>

#include "controls/support/control_test_support.h"
#include "graphics/graphics.h"

namespace vorn::test {

class PixmapPort::Target : public GraphicsTarget {
 public:
  Target(int32_t width, int32_t height) : width(width), height(height) {
    GdkScreen* screen = gdk_screen_get_default();
    pixmap = gdk_pixmap_new(gdk_screen_get_root_window(screen), width, height, -1);
    gdk_drawable_set_colormap(pixmap, gdk_screen_get_system_colormap(screen));
    gc = gdk_gc_new(pixmap);
    GdkColor white{0, 0xFFFF, 0xFFFF, 0xFFFF};
    gdk_gc_set_rgb_fg_color(gc, &white);
    gdk_draw_rectangle(pixmap, gc, TRUE, 0, 0, width, height);
  }
  ~Target() override {
    g_object_unref(gc);
    g_object_unref(pixmap);
  }
  _GdkDrawable* GetGdkDrawable() override { return pixmap; }
  _GdkGC* NewGC() override { return gc; }
  Rect GetPaneBounds() const override { return MakeRect(0, 0, width, height); }

  int32_t width, height;
  GdkPixmap* pixmap;
  GdkGC* gc;
};

PixmapPort::PixmapPort(int32_t width, int32_t height)
    : mTarget(new Target(width, height)), mPort(NewGraphics(mTarget)) {}

PixmapPort::~PixmapPort() {
  DisposeGraphics(mPort);
  delete mTarget;
}

uint32_t PixmapPort::PixelAt(int32_t x, int32_t y) {
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_drawable(nullptr, mTarget->pixmap, nullptr, x, y, 0, 0, 1, 1);
  if (!pixbuf) return 0;
  const guchar* p = gdk_pixbuf_get_pixels(pixbuf);
  uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  g_object_unref(pixbuf);
  return rgb;
}

int32_t PixmapPort::InkIn(const Rect& r) {
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_drawable(nullptr, mTarget->pixmap, nullptr, r.left, r.top,
                                                   0, 0, r.Width(), r.Height());
  if (!pixbuf) return 0;
  int32_t ink = 0;
  int stride = gdk_pixbuf_get_rowstride(pixbuf);
  int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  for (int32_t y = 0; y < r.Height(); ++y) {
    for (int32_t x = 0; x < r.Width(); ++x) {
      const guchar* p = pixels + y * stride + x * channels;
      if (p[0] != 255 || p[1] != 255 || p[2] != 255) ++ink;
    }
  }
  g_object_unref(pixbuf);
  return ink;
}

bool PixmapPort::SavePNG(const std::string& path) {
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_drawable(nullptr, mTarget->pixmap, nullptr, 0, 0, 0, 0,
                                                   mTarget->width, mTarget->height);
  if (!pixbuf) return false;
  bool ok = gdk_pixbuf_save(pixbuf, path.c_str(), "png", nullptr, nullptr);
  g_object_unref(pixbuf);
  return ok;
}

}  // namespace vorn::test
