#include "windows/support/window_test_classes.h"

#include <gtk/gtk.h>

#include "graphics/graphics_object.h"
#include "objects/runtime_object.h"
#include "vorn/class_abi.h"
#include "vorn/control_api.h"
#include "vorn/graphics_api.h"
#include "startup/class_registration.h"
#include "startup/window_loop_hooks.h"
#include "vorn/window_api.h"
#include "windows/support/test_panes.h"
#include "startup/runtime_window_install.h"

namespace vorn::test {

namespace {

std::string Text(StringRep* rep) { return std::string(string::Share(rep).View()); }

std::string NameOf(RuntimeObject* control) { return Text(AsControl(control)->name); }

TestWindowObject* TestFields(RuntimeObject* self) { return reinterpret_cast<TestWindowObject*>(self); }

// --- window handlers, as compiled code has them ----------------------------------------------

void OnLayout(VornRuntimeObject* self) {
  EventLog().push_back("Layout");
  const WindowScript& script = Script();
  windowPosSetter(self, 0, script.bounds.left);
  windowPosSetter(self, 1, script.bounds.top);
  windowPosSetter(self, 2, script.bounds.Width());
  windowPosSetter(self, 3, script.bounds.Height());
  windowFrameSetter(self, 0, script.frame);
  windowGrowIconSetter(self, 0, script.resizeable);
  WindowVisibleSetter(self, 0, script.visible);
  windowTitleSetter(self, 0, string("Test window").Rep());
}

void OnCreateControls(VornRuntimeObject* self) {
  EventLog().push_back("CreateControls");
  const WindowScript& script = Script();
  for (int i = 0; i < script.canvasCount; ++i) {
    Rect bounds = MakeRect(10 + 60 * i, 10, 60 + 60 * i, 60);
    RuntimeObject* canvas =
        NewCanvas(self, "Canvas", bounds, script.canvasAsArray ? i : kNotInControlArray);
    if (script.canvasCursor) controlMouseCursorSetter(canvas, 0, script.canvasCursor);
    WindowAddControl(self, AsControl(canvas)->name, canvas);
    if (i == 0 && script.keepCanvasField) {
      TestFields(self)->canvas = canvas;
    } else {
      RuntimeUnlockObject(canvas);
    }
  }
}

void OnAddMenuHandlers(VornRuntimeObject* self, VornRuntimeObject* source) {
  EventLog().push_back(source == self ? "AddMenuHandlers:self" : "AddMenuHandlers:other");
}

void OnSetupBindings(VornRuntimeObject*) { EventLog().push_back("SetupBindings"); }
void OnOpen(VornRuntimeObject*) { EventLog().push_back("Open"); }
void OnClose(VornRuntimeObject*) { EventLog().push_back("Close"); }
void OnResized(VornRuntimeObject*) { EventLog().push_back("Resized"); }
void OnResizing(VornRuntimeObject* self) {
  EventLog().push_back("Resizing");
  if (Script().onResizing) Script().onResizing(self);
}

uint8_t OnCancelClose(VornRuntimeObject*, uint8_t appQuitting) {
  EventLog().push_back(appQuitting ? "CancelClose:quitting" : "CancelClose:closing");
  return Script().cancelClose;
}

uint8_t OnMouseDown(VornRuntimeObject* self, int32_t x, int32_t y) {
  EventLog().push_back("MouseDown:" + std::to_string(x) + "," + std::to_string(y));
  if (Script().closeOnMouseDown) RuntimeCloseWindow(self);
  return Script().mouseDownTakes;
}

uint8_t OnKeyDown(VornRuntimeObject*, VornStringRecord* key) {
  EventLog().push_back("KeyDown:" + Text(key));
  return 1;
}

void OnPaint(VornRuntimeObject*, VornRuntimeObject* g) {
  EventLog().push_back(GraphicsObjectPort(g) ? "Paint:port" : "Paint:noport");
  if (!Script().paintFill) return;
  graphicsForeColorSetter(g, 0, 0xFF0000);
  RuntimeGraphicsFillRect(g, 0, 0, 2000, 2000);
}

void TestWindowFinalizer(VornRuntimeObject* self) {
  RuntimeObject* canvas = TestFields(self)->canvas;
  TestFields(self)->canvas = nullptr;
  RuntimeUnlockObject(canvas);
}

// --- canvas handlers -----------------------------------------------------------------------

void OnCanvasCreatePane(VornRuntimeObject* self) {
  ControlObject* control = AsControl(self);
  auto* window = static_cast<Window*>(control->windowPane);
  if (!window) return;
  const uint32_t colour = Script().canvasColour;
  const Rect bounds = GetControlBounds(control);
  AttachControlPane(control, colour ? new SwatchPane(window, control->tabPanelIndex, bounds, colour)
                                    : new SubPane(window, control->tabPanelIndex, bounds));
  EventLog().push_back(NameOf(self) + ".CreatePane");
}

void OnCanvasOpen(VornRuntimeObject* self) { EventLog().push_back(NameOf(self) + ".Open"); }
void OnCanvasClose(VornRuntimeObject* self) { EventLog().push_back(NameOf(self) + ".Close"); }
void OnCanvasMouseEnter(VornRuntimeObject* self) { EventLog().push_back(NameOf(self) + ".MouseEnter"); }
void OnCanvasMouseExit(VornRuntimeObject* self) { EventLog().push_back(NameOf(self) + ".MouseExit"); }
void OnCanvasMouseMove(VornRuntimeObject* self, int32_t x, int32_t y) {
  EventLog().push_back(NameOf(self) + ".MouseMove:" + std::to_string(x) + "," + std::to_string(y));
}

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const VornClassMember kWindowHandlers[] = {
    {"#Layout%%o<MainWindow>", Fn(&OnLayout), nullptr, 0},
    {"#CreateControls%%o<MainWindow>", Fn(&OnCreateControls), nullptr, 0},
    {"#AddMenuHandlers%%o<MainWindow>o<Window>", Fn(&OnAddMenuHandlers), nullptr, 0},
    {"#SetupBindings%%o<MainWindow>", Fn(&OnSetupBindings), nullptr, 0},
    {"#Open%%o<MainWindow>", Fn(&OnOpen), nullptr, 0},
    {"#Close%%o<MainWindow>", Fn(&OnClose), nullptr, 0},
    {"#CancelClose%b%o<MainWindow>b", Fn(&OnCancelClose), nullptr, 0},
    {"#MouseDown%b%o<MainWindow>i4i4", Fn(&OnMouseDown), nullptr, 0},
    {"#KeyDown%b%o<MainWindow>s", Fn(&OnKeyDown), nullptr, 0},
    {"#Paint%%o<MainWindow>o<Graphics>", Fn(&OnPaint), nullptr, 0},
    {"#Resized%%o<MainWindow>", Fn(&OnResized), nullptr, 0},
    {"#Resizing%%o<MainWindow>", Fn(&OnResizing), nullptr, 0},
};

const VornClassMember kCanvasHandlers[] = {
    {"#CreatePane%%o<TestCanvas>", Fn(&OnCanvasCreatePane), nullptr, 0},
    {"#Open%%o<TestCanvas>", Fn(&OnCanvasOpen), nullptr, 0},
    {"#Close%%o<TestCanvas>", Fn(&OnCanvasClose), nullptr, 0},
    {"#MouseEnter%%o<TestCanvas>", Fn(&OnCanvasMouseEnter), nullptr, 0},
    {"#MouseExit%%o<TestCanvas>", Fn(&OnCanvasMouseExit), nullptr, 0},
    {"#MouseMove%%o<TestCanvas>i4i4", Fn(&OnCanvasMouseMove), nullptr, 0},
};

RuntimeClass* sMainWindow = nullptr;
InstalledPresenters sInstalled;
RuntimeClass* sCanvas = nullptr;


}  // namespace

WindowScript& Script() {
  static WindowScript script;
  return script;
}

std::vector<std::string>& EventLog() {
  static std::vector<std::string> log;
  return log;
}

std::vector<std::string> LogEntries(const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& entry : EventLog()) {
    if (entry.rfind(prefix, 0) == 0) found.push_back(entry);
  }
  return found;
}

void EnsureTestClasses() {
  if (sMainWindow) return;
  RuntimeInitExternalClasses();
  InitRuntimeWindowLayer();
  InstallWindowLoopHooks();
  // Dialogs for reports would wait for a person: the tests report to standard error.
  sInstalled.runtimeError = SetRuntimeErrorPresenter(nullptr);
  sInstalled.unhandledException = SetUnhandledExceptionPresenter(nullptr);
  VornClassRecord window = {};
  window.version = kVornClassRecordVersion;
  window.name = "MainWindow";
  window.superName = "Window";
  window.instanceSize = static_cast<int32_t>(sizeof(TestWindowObject));
  window.finalizer = {Fn(&TestWindowFinalizer), nullptr};
  window.eventImplementations = kWindowHandlers;
  window.eventImplementationCount = static_cast<int32_t>(sizeof(kWindowHandlers) / sizeof(kWindowHandlers[0]));
  sMainWindow = RuntimeNewClass(&window);

  VornClassRecord canvas = {};
  canvas.version = kVornClassRecordVersion;
  canvas.name = "TestCanvas";
  canvas.superName = "RectControl";
  canvas.instanceSize = VORN_CONTROL_INSTANCE_SIZE;
  canvas.eventImplementations = kCanvasHandlers;
  canvas.eventImplementationCount = static_cast<int32_t>(sizeof(kCanvasHandlers) / sizeof(kCanvasHandlers[0]));
  sCanvas = RuntimeNewClass(&canvas);
}

const InstalledPresenters& PresentersInstalledAtStartUp() { return sInstalled; }

RuntimeClass* MainWindowClass() { return sMainWindow; }
RuntimeClass* TestCanvasClass() { return sCanvas; }

RuntimeObject* NewCanvas(RuntimeObject* window, const char* name, const Rect& bounds, int32_t index) {
  RuntimeObject* canvas = WindowAllocateObject(window, sCanvas);
  ControlObject* control = AsControl(canvas);
  control->name = string(name).GetRetainedRep();
  SetControlBounds(control, bounds);
  control->visible = 1;
  control->enabled = 1;
  control->index = index;
  return canvas;
}

RuntimeObject* NewMainWindow() {
  RuntimeObject* window = RuntimeNewObject(sMainWindow);
  WindowDefaultConstructor(window);
  return window;
}

void Pump(int milliseconds) {
  gint64 end = g_get_monotonic_time() + milliseconds * 1000;
  do {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    Window::ShowPendingWindows();
    g_usleep(2000);
  } while (g_get_monotonic_time() < end);
}


}  // namespace vorn::test
