#include "windows/support/screen_cursor.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <dlfcn.h>
#include <gdk/gdkx.h>

namespace vorn::test {

ScreenCursor::ScreenCursor(_XDisplay* display) : mDisplay(display) {
  mLibrary = dlopen("libXfixes.so.3", RTLD_NOW);
  if (!mLibrary) return;
  auto query = reinterpret_cast<Bool (*)(::Display*, int*, int*)>(dlsym(mLibrary, "XFixesQueryExtension"));
  auto version = reinterpret_cast<Status (*)(::Display*, int*, int*)>(dlsym(mLibrary, "XFixesQueryVersion"));
  mGetImage = reinterpret_cast<void* (*)(_XDisplay*)>(dlsym(mLibrary, "XFixesGetCursorImage"));
  mFree = reinterpret_cast<int (*)(void*)>(dlsym(mLibrary, "XFree"));
  int event = 0, error = 0, major = 4, minor = 0;
  if (!query || !version || !mGetImage || !mFree || !query(XDisplay(), &event, &error)) {
    mGetImage = nullptr;
    return;
  }
  version(XDisplay(), &major, &minor);
}

ScreenCursor::~ScreenCursor() {
  if (mLibrary) dlclose(mLibrary);
}

_XDisplay* ScreenCursor::XDisplay() const {
  return mDisplay ? mDisplay : GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
}

ScreenCursor::Image ScreenCursor::Current() const {
  Image image;
  auto* shown = static_cast<XFixesCursorImage*>(mGetImage(XDisplay()));
  if (!shown) return image;
  image.width = shown->width;
  image.height = shown->height;
  image.xhot = shown->xhot;
  image.yhot = shown->yhot;
  image.pixels.assign(shown->pixels, shown->pixels + shown->width * shown->height);
  mFree(shown);
  return image;
}

}  // namespace vorn::test
