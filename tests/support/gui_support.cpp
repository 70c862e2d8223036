#include "support/gui_support.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "windows/gtk_helper.h"

namespace vorn::test {

bool EnsureDisplay() {
  static int state = 0;
  if (state == 0) {
    XInitThreads();  // as the runtime's main does, for the wait cursor's watcher
    state = gtk_init_check(nullptr, nullptr) ? 1 : 2;
    if (state == 1) InitGTKHelper();
    if (state == 2) std::fprintf(stderr, "cannot open the display \"%s\"\n", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
  }
  return state == 1;
}

void RunLoopIteration() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  Window::ShowPendingWindows();
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

void DeliverInput() {
  // xdotool's requests were all served when it closed its connection, and what they made the
  // server send to this program precedes the answer to the round trip.
  gdk_display_sync(gdk_display_get_default());
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

void PumpFor(int milliseconds) {
  gint64 end = g_get_monotonic_time() + milliseconds * 1000;
  while (g_get_monotonic_time() < end) {
    if (gtk_events_pending()) {
      gtk_main_iteration_do(FALSE);
    } else {
      g_usleep(2000);
    }
  }
}

std::string Shell(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 256> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0) out.append(buf.data(), n);
  return out;
}

std::string PictureTool(const std::string& command) { return Shell("LC_ALL=C " + command); }

unsigned long XidOf(Window* window) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window->GtkWindowWidget());
  return gdkWindow ? GDK_WINDOW_XID(gdkWindow) : 0;
}

bool ViewableOnServer(Window* window) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window->GtkWindowWidget());
  XWindowAttributes attributes;
  return gdkWindow && XGetWindowAttributes(GDK_WINDOW_XDISPLAY(gdkWindow), GDK_WINDOW_XID(gdkWindow), &attributes) &&
         attributes.map_state == IsViewable;
}

void SendDeleteWindowMessage(Window* window) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window->GtkWindowWidget());
  if (!gdkWindow) return;
  GdkEvent* event = gdk_event_new(GDK_CLIENT_EVENT);
  event->client.window = gdkWindow;
  event->client.message_type = gdk_atom_intern("WM_PROTOCOLS", FALSE);
  event->client.data_format = 32;
  event->client.data.l[0] =
      static_cast<long>(gdk_x11_atom_to_xatom(gdk_atom_intern("WM_DELETE_WINDOW", FALSE)));
  event->client.data.l[1] = GDK_CURRENT_TIME;
  gdk_event_send_client_message(event, GDK_WINDOW_XID(gdkWindow));
  event->client.window = nullptr;  // not ours to release
  gdk_event_free(event);
  gdk_flush();
}

void LetFocusFollowPointer() {
  XSetInputFocus(GDK_DISPLAY(), PointerRoot, RevertToPointerRoot, CurrentTime);
  gdk_flush();
}

void ShowAndSettle(Window* window) {
  window->Show();
  RunLoopIteration();
  GtkWidget* widget = window->GtkWindowWidget();
  PumpUntil([&] { return GTK_WIDGET_MAPPED(widget); });
  PumpFor(200);
  Shell("xdotool windowfocus --sync " + std::to_string(XidOf(window)) + " 2>/dev/null");
  // Keys sent before GTK heard that the window has the keyboard may go astray.
  PumpUntil([&] { return gtk_window_is_active(GTK_WINDOW(widget)); });
  PumpFor(150);
  RunLoopIteration();
}

void ScreenPoint(Window* window, int32_t h, int32_t v, int32_t* x, int32_t* y) {
  Rect r;
  window->GetScreenBounds(&r);
  *x = r.left + h;
  *y = r.top + v;
}

void PressAndDrag(Window* window, int32_t h, int32_t v, int32_t stepX, int steps) {
  int32_t x, y;
  ScreenPoint(window, h, v, &x, &y);
  MovePointer(x, y, "mousedown 1");
  PumpFor(100);
  for (int step = 1; step <= steps; ++step) {
    MovePointer(x + step * stepX, y);
    PumpFor(40);
  }
}

void ReleaseMouse() { Shell("xdotool mouseup 1"); }

void MovePointer(int32_t x, int32_t y, const std::string& then) {
  Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " " + then);
}

void ClickScreenPoint(int32_t x, int32_t y) { MovePointer(x, y, "click 1"); }

bool PumpUntil(const std::function<bool()>& done, int milliseconds, void (*pump)(int milliseconds)) {
  const gint64 end = g_get_monotonic_time() + milliseconds * G_GINT64_CONSTANT(1000);
  while (!done()) {
    if (g_get_monotonic_time() >= end) return false;
    pump(5);
  }
  return true;
}

void ClickAt(Window* window, int32_t h, int32_t v) {
  int32_t x, y;
  ScreenPoint(window, h, v, &x, &y);
  MovePointer(x, y, "sleep 0.1 click 1");
  DeliverInput();
  PumpFor(150);
  RunLoopIteration();
}

void PressKeys(const std::string& keys) {
  Shell("xdotool key --delay 40 " + keys);
  DeliverInput();
  PumpFor(150);
}

TestWindow::TestWindow(const Rect& screenBounds, int32_t kind, bool resizable)
    : Window(string("Test window"), screenBounds, kind, 0, resizable) {}

bool TestWindow::CloseBoxClicked() {
  ++closeBoxClicks;
  return keepOpen;
}

bool TestWindow::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  ++mouseDowns;
  return Window::MouseDown(x, y, modifiers);
}

}  // namespace vorn::test

namespace vorn::test {

void ClickWidget(NativeWidget widget) {
  if (!widget || !widget->window) return;
  gint x = 0, y = 0;
  gdk_window_get_origin(widget->window, &x, &y);
  x += widget->allocation.x + widget->allocation.width / 2;
  y += widget->allocation.y + widget->allocation.height / 2;
  MovePointer(x, y);
  PumpFor(100);
  Shell("xdotool click 1");
  PumpFor(250);
}

}  // namespace vorn::test
