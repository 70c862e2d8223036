// Panes with real GTK widgets and windows that record what reaches them, for the window tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "windows/container_pane.h"
#include "windows/edit_control_queries.h"
#include "windows/window.h"

namespace vorn::test {

// A push button pane; the default button answers FindDefaultButton with itself.
class TestButton : public ContainerPane {
 public:
  TestButton(SubPane* parent, const Rect& bounds, const char* caption, bool isDefault = false);
  SubPane* FindDefaultButton() override;
  void Press() override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool PassesClickThrough() override { return false; }

  bool isDefault;
  int presses = 0;
  int mouseDowns = 0;
};

// A one-line edit field pane.
class TestEntry : public SubPane, public EditControlQueries {
 public:
  TestEntry(SubPane* parent, const Rect& bounds);
  bool IsReadOnly() const override { return readOnly; }
  bool AcceptsTab() const override { return acceptsTab; }
  void GotFocus() override { ++gotFocus; }
  bool readOnly = false;
  bool acceptsTab = false;
  int gotFocus = 0;
};

// A pane without widget that takes clicks itself (a canvas, say).
class TestClickPane : public SubPane {
 public:
  TestClickPane(SubPane* parent, const Rect& bounds) : SubPane(parent, 0, bounds) {}
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool MouseWheel(int32_t x, int32_t y, int32_t delta) override;
  struct Click {
    int32_t x, y, modifiers;
  };
  std::vector<Click> clicks;
  std::vector<int32_t> wheel;
};

class TestWindow : public Window {
 public:
  TestWindow(const Rect& screenBounds, int32_t kind = 0, bool resizable = true);
  bool CloseBoxClicked() override;
  void WindowMoved() override { ++moved; }
  void WindowResized() override { ++resized; }
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;

  int moved = 0;
  int resized = 0;
  int closeBoxClicks = 0;
  bool keepOpen = true;
  int mouseDowns = 0;
};

// Runs GTK until nothing is pending, then one run-loop step of the window layer.
void RunLoopIteration();
// Dispatches events for a while (X round trips of external tools need time).
void PumpFor(int milliseconds);
// The X id of a window's GtkWindow.
unsigned long XidOf(Window* window);
// Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
void SendDeleteWindowMessage(Window* window);
// Runs a shell command and answers its standard output.
std::string Shell(const std::string& command);

}  // namespace vorn::test
