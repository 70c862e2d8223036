#include "windows/support/test_panes.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <array>
#include <cstdio>
#include <memory>

#include "windows/gtk_pane_support.h"

namespace vorn::test {

TestButton::TestButton(SubPane* parent, const Rect& bounds, const char* caption, bool isDefault)
    : ContainerPane(parent, 0, bounds), isDefault(isDefault) {
  SetWidget(gtk_button_new_with_label(caption));
  ConnectButtonPressHandler(this);
  ConnectGrabFocusHandler(this);
  AddPaneToWindow(this, true);
}

SubPane* TestButton::FindDefaultButton() { return isDefault ? this : nullptr; }
void TestButton::Press() { ++presses; }

bool TestButton::MouseDown(int32_t, int32_t, int32_t) {
  ++mouseDowns;
  return false;
}

TestEntry::TestEntry(SubPane* parent, const Rect& bounds) : SubPane(parent, 0, bounds) {
  SetWidget(gtk_entry_new());
  ConnectButtonPressHandler(this);
  ConnectGrabFocusHandler(this);
  AddPaneToWindow(this, true);
}

bool TestClickPane::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  clicks.push_back({x, y, modifiers});
  return true;
}

bool TestClickPane::MouseWheel(int32_t, int32_t, int32_t delta) {
  wheel.push_back(delta);
  return true;
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

void RunLoopIteration() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  Window::ShowPendingWindows();
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

unsigned long XidOf(Window* window) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window->GtkWindowWidget());
  return gdkWindow ? GDK_WINDOW_XID(gdkWindow) : 0;
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

std::string Shell(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 256> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0) out.append(buf.data(), n);
  return out;
}

}  // namespace vorn::test
