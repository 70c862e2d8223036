// Resizes the user drags by the window frame. X tells a client only that its size changed, not
// that a drag is under way, so a size change the program did not ask for while a pointer
// button is held counts as one step of a drag. Each step goes to CheckResized; once the buttons
// are up again the resize settles and WindowResized reports it once.
#include <gtk/gtk.h>

#include "windows/window.h"

namespace vorn {

namespace {

// How often the pointer is looked at while a drag lasts: the window manager keeps the pointer
// grabbed, so the release never reaches the window as an event.
constexpr guint kResizeWatchMilliseconds = 40;

bool PointerButtonHeld(NativeWidget widget) {
  if (!widget || !gtk_widget_get_window(widget)) return false;
  GdkModifierType mask = static_cast<GdkModifierType>(0);
  gdk_display_get_pointer(gtk_widget_get_display(widget), nullptr, nullptr, nullptr, &mask);
  return (mask & (GDK_BUTTON1_MASK | GDK_BUTTON2_MASK | GDK_BUTTON3_MASK)) != 0;
}

}  // namespace

void Window::CheckResized(const Rect&) {
  mResizing = true;
  if (!mResizeSettled) return;
  mResizing = mResizeSettled = false;
  StopResizeWatch();
  WindowResized();
}

bool Window::IsDraggedResize() const { return PointerButtonHeld(mGtkWindow); }

void Window::WatchForResizeEnd() {
  if (mResizeWatch) return;
  mResizeWatch = g_timeout_add(kResizeWatchMilliseconds, reinterpret_cast<GSourceFunc>(&Window::OnResizeWatch), this);
}

void Window::StopResizeWatch() {
  if (!mResizeWatch) return;
  g_source_remove(mResizeWatch);
  mResizeWatch = 0;
}

int Window::OnResizeWatch(void* data) {
  auto* window = static_cast<Window*>(data);
  if (window->mReportingResize || PointerButtonHeld(window->mGtkWindow)) return TRUE;
  window->mResizeWatch = 0;
  if (!window->mResizing) return FALSE;
  // The last step may not have been looked at yet: the settled size is the one reported.
  Rect now;
  window->GetScreenBounds(&now);
  window->mScreenBounds = now;
  window->mResizeSettled = true;
  PaneGuard guard(window);
  window->mReportingResize = true;
  window->CheckResized(now);
  if (guard.Get()) window->mReportingResize = false;
  return FALSE;
}

}  // namespace vorn
