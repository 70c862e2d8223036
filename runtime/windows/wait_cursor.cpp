#include "windows/wait_cursor.h"

#include <atomic>
#include <cerrno>
#include <string>

#include "core/run_loop.h"
#include "vorn/cursor_api.h"
#include "windows/busy_loop_watch.h"

// Last: Xlib's internal header, which gives a connection its own error handling, defines
// min and max as macros.
#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <X11/Xlibint.h>

namespace vorn {

namespace {

// The watcher thread's own connection, opened by that thread the first time the watch is
// due and used by it alone. Opening it and loading the themed watch (every frame of every
// size in the cursor theme) costs milliseconds that would otherwise fall between the first
// window's showing and its first drawing; Xlib serves connections from several threads since
// the program starts it thread-safe (main).
struct WatchDisplay {
  std::string name;
  Display* x = nullptr;
  Cursor watch = 0;
  bool unavailable = false;
};

GPollFunc sPoll = nullptr;
// Written by whichever runtime thread runs; read by the main thread in its waits.
std::atomic<bool> sEnabled{true};
// Lives until exit: the watcher thread may be waiting in it.
std::atomic<BusyLoopWatch*> sWatch{nullptr};

// A window may be destroyed after its id was published. GDK's error handler is the whole
// process's and ends it, so the watcher's connection answers its own errors: they are
// suppressed when XSync reads them, which is the only place the watcher reads.
int IgnoreWatcherError(Display*, xError*, XExtCodes*, int* code) {
  *code = 0;
  return 1;
}

bool OpenWatchDisplay(WatchDisplay* display) {
  if (display->x) return true;
  if (display->unavailable) return false;
  display->x = XOpenDisplay(display->name.c_str());
  if (!display->x) {
    display->unavailable = true;
    return false;
  }
  if (XExtCodes* codes = XAddExtension(display->x)) XESetError(display->x, codes->extension, &IgnoreWatcherError);
  display->watch = XCreateFontCursor(display->x, XC_watch);
  return true;
}

void ShowWatch(void* context, const BusyLoopWatch::Targets& windows) {
  auto* display = static_cast<WatchDisplay*>(context);
  if (!OpenWatchDisplay(display)) return;
  for (uint64_t window : windows) XDefineCursor(display->x, static_cast<XID>(window), display->watch);
  // The watch must be on the server before the main thread's recovery can be sent.
  XSync(display->x, False);
}

bool sRecovered = false;

// GDK puts the cursor of the window under the pointer on the top-level X window; the window's
// own goes back directly for a pointer elsewhere, and setting it again through GDK puts back
// the one the pointer is over.
void PutOwnCursorsBack(void*, const BusyLoopWatch::Targets& windows) {
  GdkDisplay* display = gdk_display_get_default();
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  for (uint64_t id : windows) {
    GdkWindow* window = gdk_window_lookup_for_display(display, static_cast<GdkNativeWindow>(id));
    if (!window || gdk_window_is_destroyed(window)) continue;
    GdkCursor* own = gdk_window_get_cursor(window);
    XDefineCursor(x, static_cast<XID>(id), own ? gdk_x11_cursor_get_xcursor(own) : None);
    // Setting a window's cursor to the one it has drops GDK's reference first.
    if (own) gdk_cursor_ref(own);
    gdk_window_set_cursor(window, own);
    if (own) gdk_cursor_unref(own);
  }
  XFlush(x);
  sRecovered = true;
}

// Filled on every wait, so its storage is kept.
const BusyLoopWatch::Targets& ShownTopLevels() {
  static auto* windows = new BusyLoopWatch::Targets;
  windows->clear();
  GList* all = gdk_screen_get_toplevel_windows(gdk_screen_get_default());
  for (GList* item = all; item; item = item->next) {
    GdkWindow* window = GDK_WINDOW(item->data);
    // Offscreen windows have no X window.
    GdkWindowType type = gdk_window_get_window_type(window);
    if (type != GDK_WINDOW_TOPLEVEL && type != GDK_WINDOW_DIALOG && type != GDK_WINDOW_TEMP) continue;
    if (gdk_window_is_destroyed(window) || !gdk_window_is_visible(window)) continue;
    windows->push_back(GDK_WINDOW_XID(window));
  }
  g_list_free(all);
  return *windows;
}

void StartWatcher() {
  auto* display = new WatchDisplay{gdk_display_get_name(gdk_display_get_default())};
  auto* watch = new BusyLoopWatch(kWaitCursorDelay, &ShowWatch, &PutOwnCursorsBack, display);
  watch->SetEnabled(sEnabled);
  sWatch = watch;
}

// Answers whether the wait must not block: putting cursors back may have read events that
// the wait would no longer see arrive.
bool EnterEventWait() {
  // Published also while off, so that turning it on in the middle of a computation works.
  const BusyLoopWatch::Targets& windows = ShownTopLevels();
  if (!sWatch && !windows.empty()) StartWatcher();
  BusyLoopWatch* watch = sWatch;
  if (!watch) return false;
  sRecovered = false;
  watch->EnterWait(windows);
  return sRecovered && XEventsQueued(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()), QueuedAlready) > 0;
}

// Every wait of the main thread for events goes through GLib's poll, whoever iterates.
gint WatchedPoll(GPollFD* fds, guint count, gint timeout) {
  if (!IsMainThread()) return sPoll(fds, count, timeout);
  if (EnterEventWait()) timeout = 0;
  gint result = sPoll(fds, count, timeout);
  const int error = errno;
  if (BusyLoopWatch* watch = sWatch) watch->LeaveWait();
  errno = error;
  return result;
}

}  // namespace

void InstallWaitCursor() {
  if (sPoll || !gdk_display_get_default()) return;
  sPoll = g_main_context_get_poll_func(nullptr);
  g_main_context_set_poll_func(nullptr, &WatchedPoll);
}

void SetAutoWaitCursor(bool enabled) {
  sEnabled = enabled;
  BusyLoopWatch* watch = sWatch;
  if (!watch) return;
  watch->SetEnabled(enabled);
  if (!enabled && IsMainThread()) watch->Recover();
}

bool AutoWaitCursorEnabled() { return sEnabled; }

}  // namespace vorn

extern "C" {

void EnableAutoWaitCursor() { vorn::SetAutoWaitCursor(true); }
void DisableAutoWaitCursor() { vorn::SetAutoWaitCursor(false); }

}  // extern "C"
