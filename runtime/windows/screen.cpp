#include "windows/screen.h"

#include <gtk/gtk.h>

namespace vorn {

Rect ScreenInfo::Full() const { return MakeRect(left, top, left + width, top + height); }

Rect ScreenInfo::Available() const {
  return MakeRect(availableLeft, availableTop, availableLeft + availableWidth,
                  availableTop + availableHeight);
}

int32_t GetScreenInfoCount() { return 1; }

bool GetScreenInfo(int32_t index, ScreenInfo* out) {
  if (index != 0 || !out) return false;
  ScreenInfo s;
  s.width = gdk_screen_width();
  s.height = gdk_screen_height();
  GdkWindow* root = gdk_get_default_root_window();
  s.depth = root ? gdk_drawable_get_depth(GDK_DRAWABLE(root)) : 24;
  s.availableWidth = s.width;
  s.availableHeight = s.height;
  *out = s;
  return true;
}

}  // namespace vorn

extern "C" int32_t getScreenCount() { return 1; }
