#include "controls/support/control_test_support.h"

#include <gtk/gtk.h>
#include <gdk/gdkx.h>

#include <array>
#include <cstdio>
#include <memory>

#include "objects/object_definition.h"
#include "windows/gtk_helper.h"

namespace vorn::test {

bool EnsureDisplay() {
  static int state = 0;
  if (state == 0) {
    state = gtk_init_check(nullptr, nullptr) ? 1 : 2;
    if (state == 1) InitGTKHelper();
  }
  return state == 1;
}

TestWindow::TestWindow(const Rect& screenBounds)
    : Window(string("Controls"), screenBounds, 0, 0, true) {}

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

std::string Shell(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 256> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0) out.append(buf.data(), n);
  return out;
}

void ShowAndSettle(Window* window) {
  window->Show();
  RunLoopIteration();
  PumpFor(200);
  Shell("xdotool windowfocus --sync " + std::to_string(XidOf(window)) + " 2>/dev/null");
  PumpFor(150);
  RunLoopIteration();
}

void ScreenPoint(Window* window, int32_t h, int32_t v, int32_t* x, int32_t* y) {
  Rect r;
  window->GetScreenBounds(&r);
  *x = r.left + h;
  *y = r.top + v;
}

namespace {

EventRow sEvents[] = {
    {0, "ValueChanged", "", "", nullptr, 0},
    {0, "GotFocus", "", "", nullptr, 0},
    {0, "LostFocus", "", "", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseWheel", "X As Integer, Y As Integer, Delta as Integer", "Boolean", nullptr, 0},
    {0, "Paint", "g As Graphics", "", nullptr, 0},
    {0, "KeyDown", "Key As String", "Boolean", nullptr, 0},
    {0, "EnableMenuItems", "", "", nullptr, 0},
    {0, "AcceleratorKey", "", "", nullptr, 0},
};

ScrollerEventHooks sScrollerHooks;
StaticTextHooks sStaticTextHooks;
CanvasHooks sCanvasHooks;
ControlMouseHooks sMouseHooks;

const ObjectHook* Hook(TestEvent e) { return sEvents[e].hook; }

}  // namespace

ObjectDefinition* GetTestControlClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("TestControl");
    definition.mInstanceSize = sizeof(TestControlObject);
    SetEventList(&definition, sEvents, kEvCount);
    sMouseHooks = {Hook(kEvMouseDown), Hook(kEvMouseDrag), Hook(kEvMouseUp)};
    sScrollerHooks = {Hook(kEvValueChanged), Hook(kEvGotFocus), Hook(kEvLostFocus),
                      Hook(kEvMouseWheel), sMouseHooks};
    sStaticTextHooks = {sMouseHooks, Hook(kEvAcceleratorKey)};
    sCanvasHooks = {Hook(kEvPaint), Hook(kEvGotFocus), Hook(kEvLostFocus), Hook(kEvKeyDown),
                    sMouseHooks, Hook(kEvEnableMenuItems)};
  }
  return &definition;
}

const ScrollerEventHooks* TestScrollerHooks() {
  GetTestControlClassDefinition();
  return &sScrollerHooks;
}
const StaticTextHooks* TestStaticTextHooks() {
  GetTestControlClassDefinition();
  return &sStaticTextHooks;
}
const CanvasHooks* TestCanvasHooks() {
  GetTestControlClassDefinition();
  return &sCanvasHooks;
}
const ControlMouseHooks* TestMouseHooks() {
  GetTestControlClassDefinition();
  return &sMouseHooks;
}

RuntimeObject* NewTestControl() { return CreateInstanceFromDefinition(GetTestControlClassDefinition()); }

void SetHandler(RuntimeObject* object, TestEvent event, void* function) {
  MakePrivateEventTable(object)[sEvents[event].hook->index].handler = function;
}

}  // namespace vorn::test
