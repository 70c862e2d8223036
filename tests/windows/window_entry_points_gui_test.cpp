// Window entry points on a real display: window states reported by the X server reach the
// Minimize, Maximize and Restore events; showing, hiding, closing and modal runs of a
// compiled window class; control arrays and containers of a window's controls.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "vorn/control_api.h"
#include "vorn/window_api.h"
#include "windows/support/compiled_window_fixture.h"
#include "windows/support/container_test_classes.h"
#include "windows/support/test_panes.h"
#include "windows/support/window_test_classes.h"

namespace vorn {
namespace {

using test::EventLog;
using test::LogEntries;
using test::Pump;
using test::Script;

class WindowEntryPointsGuiTest : public test::ContainerWindowTest {
 protected:
  static std::string Xid(RuntimeObject* window) { return std::to_string(test::XidOf(View(window))); }

  // Waits until the log holds the entry, for X round trips of the external tools.
  static bool WaitFor(const std::string& entry) {
    for (int i = 0; i < 100; ++i) {
      for (const std::string& e : EventLog()) {
        if (e == entry) return true;
      }
      Pump(20);
    }
    return false;
  }
};

TEST_F(WindowEntryPointsGuiTest, WindowStatesFromTheServerFireMinimizeMaximizeAndRestore) {
  RuntimeObject* window = Keep(RuntimeNewObject(test::StateWindowClass()));
  WindowDefaultConstructor(window);
  RuntimeShowWindow(window);
  Pump(300);
  ASSERT_TRUE(View(window)->IsShown());

  // Taken off the screen by someone else than the window itself: iconified, as a window
  // manager does it.
  test::Shell("xdotool windowunmap " + Xid(window));
  ASSERT_TRUE(WaitFor("StateWindow.Minimize"));
  EXPECT_TRUE(View(window)->IsMinimized());
  test::Shell("xdotool windowmap " + Xid(window));
  ASSERT_TRUE(WaitFor("StateWindow.Restore"));
  EXPECT_FALSE(View(window)->IsMinimized());

  // Asked by the code: a window off the screen takes the state at once, with no window manager
  // to ask.
  RuntimeHideWindow(window);
  Pump(100);
  EventLog().clear();
  WindowMaximize(window);
  ASSERT_TRUE(WaitFor("StateWindow.Maximize"));
  EXPECT_TRUE(View(window)->IsMaximized());
  WindowMaximize(window);
  WindowRestore(window);
  ASSERT_TRUE(WaitFor("StateWindow.Restore"));
  EXPECT_FALSE(View(window)->IsMaximized());
  std::vector<std::string> expected = {"StateWindow.Maximize", "StateWindow.Restore"};
  EXPECT_EQ(EventLog(), expected) << "each change fires once";
}

TEST_F(WindowEntryPointsGuiTest, ShowHideCloseAndModalRunsOfACompiledWindowClass) {
  Script().visible = false;
  RuntimeObject* window = Keep(test::NewMainWindow());
  EXPECT_FALSE(WindowVisibleGetter(window, 0));
  RuntimeShowWindow(window);
  Pump(200);
  EXPECT_TRUE(GTK_WIDGET_VISIBLE(View(window)->GtkWindowWidget()));
  EXPECT_TRUE(WindowVisibleGetter(window, 0));
  RuntimeHideWindow(window);
  Pump(100);
  EXPECT_FALSE(GTK_WIDGET_VISIBLE(View(window)->GtkWindowWidget()));
  EXPECT_FALSE(WindowVisibleGetter(window, 0));

  // Without a native window the object's own mark answers; nil windows are ignored.
  RuntimeCloseWindow(window);
  EXPECT_EQ(View(window), nullptr);
  EXPECT_EQ(LogEntries("Close").size(), 1u);
  EXPECT_FALSE(WindowVisibleGetter(window, 0));
  RuntimeShowWindow(window);
  EXPECT_EQ(View(window), nullptr) << "Show does not build a window again";
  EXPECT_TRUE(WindowVisibleGetter(window, 0));
  RuntimeShowWindow(nullptr);
  RuntimeHideWindow(nullptr);
  RuntimeCloseWindow(nullptr);
  RuntimeShowModal(nullptr);
  EXPECT_FALSE(WindowVisibleGetter(nullptr, 0));

  // ShowModal builds the window again and returns once it is closed.
  Later(300, &RuntimeCloseWindow, window);
  gint64 start = g_get_monotonic_time();
  RuntimeShowModal(window);
  EXPECT_GE(g_get_monotonic_time() - start, 250000);
  EXPECT_EQ(View(window), nullptr);
  EXPECT_EQ(LogEntries("Close").size(), 2u);
}

TEST_F(WindowEntryPointsGuiTest, ControlArraysTakeTheFirstFreeIndexAndCloseTheirGaps) {
  RuntimeObject* window = Keep(test::NewMainWindow());
  RuntimeShowWindow(window);
  Pump(100);
  StringMap<RuntimeObject*>* map = AsWindowFields(window)->controls;
  std::vector<RuntimeObject*> sliders;
  for (int i = 0; i < 3; ++i) {
    RuntimeObject* s = test::NewSwatch(window, "Slider1", MakeRect(10 + 50 * i, 10, 50 + 50 * i, 40), 0x808080);
    WindowAddControl(window, string("Slider1").Rep(), s);
    sliders.push_back(s);
  }
  EXPECT_TRUE(map->GetEntry(string("Slider1$2")));
  EXPECT_EQ(AsControl(sliders[2])->index, 2);

  // Closing the middle member renumbers the last; a new one takes the first free index.
  ControlClose(sliders[1]);
  RuntimeObject* found = nullptr;
  ASSERT_TRUE(map->GetEntry(string("Slider1$1"), &found));
  EXPECT_EQ(found, sliders[2]);
  EXPECT_EQ(AsControl(sliders[2])->index, 1);
  EXPECT_FALSE(map->GetEntry(string("Slider1$2")));
  RuntimeObject* fresh = test::NewSwatch(window, "Slider1", MakeRect(10, 60, 50, 90), 0x808080);
  WindowAddControl(window, string("Slider1").Rep(), fresh);
  EXPECT_EQ(AsControl(fresh)->index, 2);
  EXPECT_NE(ControlPane(AsControl(fresh)), nullptr);
  for (RuntimeObject* s : sliders) RuntimeUnlockObject(s);
  RuntimeUnlockObject(fresh);
}

TEST_F(WindowEntryPointsGuiTest, AControlAddedInsideADisabledContainerStartsDisabled) {
  RuntimeObject* window = Keep(test::NewMainWindow());
  RuntimeShowWindow(window);
  Pump(100);
  RuntimeObject* box = Keep(test::NewSliderBox());
  EmbedWithin(box, window, 20, 30, -1, -1);
  eWindowEnabledSetter(box, 0, 0);
  // Added at run time to the container's own window, placed in its coordinates.
  RuntimeObject* late = test::NewSwatch(box, "Late", MakeRect(0, 0, 20, 20), 0x808080);
  ctlPosSetter(late, 0, 100);
  ctlPosSetter(late, 1, 10);
  WindowAddControl(box, string("Late").Rep(), late);
  SubPane* pane = ControlPane(AsControl(late));
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(GetControlBounds(AsControl(late)).left, 120);
  EXPECT_FALSE(pane->IsEnabled()) << "the disabled container disables the new control";
  EXPECT_TRUE(AsControl(late)->enabled) << "which keeps its own wish";
  eWindowEnabledSetter(box, 0, 1);
  EXPECT_TRUE(pane->IsEnabled());

  // The same inside a disabled plain control of the window.
  RuntimeObject* group = test::NewSwatch(window, "Group", MakeRect(10, 150, 200, 250), 0x808080);
  WindowAddControl(window, string("Group").Rep(), group);
  controlEnabledSetter(group, 0, 0);
  RuntimeObject* inside = test::NewSwatch(window, "Inside", MakeRect(20, 160, 60, 200), 0x808080);
  WindowAddControl(window, string("Inside").Rep(), inside);
  ASSERT_NE(ControlPane(AsControl(inside)), nullptr);
  EXPECT_FALSE(ControlPane(AsControl(inside))->IsEnabled());
  RuntimeUnlockObject(late);
  RuntimeUnlockObject(group);
  RuntimeUnlockObject(inside);
}

}  // namespace
}  // namespace vorn
