#include "graphics/support/pixmap_target.h"

#include <gtk/gtk.h>

namespace vorn::testing {

bool EnsureGtk() {
  static int state = -1;
  if (state < 0) state = gtk_init_check(nullptr, nullptr) ? 1 : 0;
  return state == 1;
}

PixmapTarget::PixmapTarget(int32_t width, int32_t height) : mWidth(width), mHeight(height) {
  GdkScreen* screen = gdk_screen_get_default();
  GdkColormap* colormap = gdk_screen_get_system_colormap(screen);
  const gint depth = gdk_visual_get_depth(gdk_colormap_get_visual(colormap));
  mPixmap = gdk_pixmap_new(nullptr, width, height, depth);
  gdk_drawable_set_colormap(mPixmap, colormap);
  mGC = gdk_gc_new(mPixmap);
  GdkColor white = {0, 65535, 65535, 65535};
  gdk_colormap_alloc_color(colormap, &white, FALSE, TRUE);
  gdk_gc_set_foreground(mGC, &white);
  gdk_draw_rectangle(mPixmap, mGC, TRUE, 0, 0, width, height);
}

PixmapTarget::~PixmapTarget() {
  if (mImage) g_object_unref(mImage);
  g_object_unref(mGC);
  g_object_unref(mPixmap);
}

_GdkDrawable* PixmapTarget::GetGdkDrawable() { return mPixmap; }

void PixmapTarget::Snapshot() {
  if (mImage) g_object_unref(mImage);
  mImage = gdk_drawable_get_image(mPixmap, 0, 0, mWidth, mHeight);
}

uint32_t PixmapTarget::PixelAt(int32_t x, int32_t y) {
  if (!mImage) Snapshot();
  const guint32 pixel = gdk_image_get_pixel(mImage, x, y);
  // Turn the visual's pixel layout into &hRRGGBB whatever its masks are.
  GdkVisual* visual = gdk_image_get_visual(mImage);
  auto component = [pixel](guint32 mask, gint shift, gint precision) -> uint32_t {
    const uint32_t value = (pixel & mask) >> shift;
    return precision >= 8 ? value >> (precision - 8) : value << (8 - precision);
  };
  return (component(visual->red_mask, visual->red_shift, visual->red_prec) << 16) |
         (component(visual->green_mask, visual->green_shift, visual->green_prec) << 8) |
         component(visual->blue_mask, visual->blue_shift, visual->blue_prec);
}

bool PixmapTarget::SavePNG(const std::string& path) {
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_drawable(nullptr, mPixmap, nullptr, 0, 0, 0, 0, mWidth,
                                                   mHeight);
  if (!pixbuf) return false;
  const gboolean saved = gdk_pixbuf_save(pixbuf, path.c_str(), "png", nullptr, nullptr);
  g_object_unref(pixbuf);
  return saved;
}

}  // namespace vorn::testing
