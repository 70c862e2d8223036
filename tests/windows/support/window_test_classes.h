// A window class and a control class built the way compiled code builds them: class records
// with C-style handler functions that write what reaches them into a log.
#pragma once

#include <string>
#include <vector>

#include "core/application.h"
#include "objects/runtime_class.h"
#include "strings/runtime_error.h"
#include "strings/rect.h"
#include "windows/runtime_window.h"
#include "windows/control.h"

namespace vorn::test {

// The fields the test window class adds after the Window object.
struct TestWindowObject {
  WindowObject window;
  RuntimeObject* canvas;  // the canvas control, held by the window as compiled code does
};

// What the handlers do; tests set it before creating a window.
struct WindowScript {
  Rect bounds = MakeRect(120, 120, 420, 320);
  int32_t frame = 0;
  bool visible = true;
  bool resizeable = false;
  bool cancelClose = false;      // CancelClose's answer
  bool mouseDownTakes = false;   // MouseDown's answer
  bool closeOnMouseDown = false; // MouseDown closes its own window first
  int canvasCount = 1;           // canvases made by CreateControls
  bool canvasAsArray = false;    // give the canvases indexes 0, 1, ...
  bool keepCanvasField = true;   // store the first canvas in the window's own field
  bool paintFill = false;        // Paint fills the window red through the Graphics object
  uint32_t canvasColour = 0;     // 0xRRGGBB: the canvases show it (a coloured pane), else nothing
  RuntimeObject* canvasCursor = nullptr;  // given to the canvases before their panes exist
  void (*onResizing)(RuntimeObject* window) = nullptr;  // run by Resizing after it is logged
};

WindowScript& Script();
std::vector<std::string>& EventLog();
// The entries of the log that start with the prefix.
std::vector<std::string> LogEntries(const std::string& prefix);

// Registers the window layer's classes once, then the test classes: "MainWindow" (a Window)
// and "TestCanvas" (a RectControl whose pane has no widget of its own).
void EnsureTestClasses();
// What InitRuntimeWindowLayer installed as presenters; the tests put the quiet ones back.
struct InstalledPresenters {
  RuntimeErrorPresenter runtimeError = nullptr;
  UnhandledExceptionPresenter unhandledException = nullptr;
};
const InstalledPresenters& PresentersInstalledAtStartUp();
RuntimeClass* MainWindowClass();
RuntimeClass* TestCanvasClass();

// A control of the test class, named and placed, visible and enabled; one reference for the
// caller.
RuntimeObject* NewCanvas(RuntimeObject* window, const char* name, const Rect& bounds, int32_t index = kNotInControlArray);

// RuntimeNewObject of the window class followed by the default constructor, as compiled code
// creates a window; one reference for the caller.
RuntimeObject* NewMainWindow();

// Runs GTK for a while and shows the windows marked shown, as the run loop would.
void Pump(int milliseconds);

}  // namespace vorn::test
