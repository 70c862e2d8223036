#include "support/window_pixels.h"

#include <gdk/gdk.h>

#include <string>

#include "support/gui_support.h"

namespace vorn::test {

uint32_t WindowScreenPixel(Window* window, int32_t h, int32_t v) {
  int32_t x, y;
  ScreenPoint(window, h, v, &x, &y);
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_drawable(nullptr, gdk_get_default_root_window(), nullptr, x, y, 0, 0, 1, 1);
  if (!pixbuf) return 0xFFFFFFFF;
  const guchar* p = gdk_pixbuf_get_pixels(pixbuf);
  uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  g_object_unref(pixbuf);
  return rgb;
}

bool SaveWindowScreenshot(Window* window, const std::string& path) {
  Rect r;
  window->GetScreenBounds(&r);
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_drawable(nullptr, gdk_get_default_root_window(), nullptr, r.left, r.top,
                                                   0, 0, r.Width(), r.Height());
  if (!pixbuf) return false;
  bool saved = gdk_pixbuf_save(pixbuf, path.c_str(), "png", nullptr, nullptr) != FALSE;
  g_object_unref(pixbuf);
  return saved;
}

void FlushWindowDrawing(Window* window) {
  RunLoopIteration();
  window->UpdateNow();
  gdk_flush();
  PumpFor(100);
  RunLoopIteration();
}

}  // namespace vorn::test
