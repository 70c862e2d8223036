// The window layer in the run loop on a real X display (run under Xvfb): a window marked shown
// appears at the next iteration, and a pane holding the mouse capture gets one drag per
// iteration with the pointer position until the button is released; a timer due at every
// iteration leaves no window-system events behind.
#include <gtest/gtest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/run_loop.h"
#include "core/timer_state.h"
#include "startup/window_loop_hooks.h"
#include "strings/rect.h"
#include "support/gui_support.h"
#include "windows/gtk_helper.h"
#include "windows/pane_focus.h"
#include "windows/sub_pane.h"
#include "windows/window.h"

namespace vorn {
namespace {

// Runs the run loop until `done` holds (true) or the time is up (false).
bool IterateUntil(const std::function<bool()>& done, int milliseconds = 5000) {
  const gint64 end = g_get_monotonic_time() + milliseconds * G_GINT64_CONSTANT(1000);
  while (!done()) {
    if (g_get_monotonic_time() >= end) return false;
    RunMainLoopOnce(false);
    g_usleep(5000);
  }
  return true;
}

void IterateFor(int milliseconds) { IterateUntil([] { return false; }, milliseconds); }

class DragPane : public SubPane {
 public:
  DragPane(SubPane* parent, const Rect& bounds) : SubPane(parent, 0, bounds) {}
  bool MouseDown(int32_t, int32_t, int32_t) override {
    SetMouseCapturePane(this);
    return true;
  }
  void MouseDrag(int32_t x, int32_t y) override { drags.push_back({x, y}); }
  struct Point {
    int32_t x, y;
  };
  std::vector<Point> drags;
};

class WindowLoopGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs an X display";
    InitGTKHelper();
    InstallWindowLoopHooks();
    InstallWindowLoopHooks();  // a second call adds nothing
  }
};

TEST_F(WindowLoopGuiTest, AShownWindowAppearsAtTheNextIterationAndItsCapturePaneIsDragged) {
  auto window = std::make_unique<Window>(string("Loop window"), MakeRect(100, 100, 500, 400), 0, 0, true);
  auto* pane = new DragPane(window.get(), MakeRect(20, 20, 220, 220));
  window->Show();
  EXPECT_FALSE(gtk_widget_get_visible(window->GtkWindowWidget()));
  RunMainLoopOnce(false);
  EXPECT_TRUE(gtk_widget_get_visible(window->GtkWindowWidget()));
  IterateFor(300);

  Rect screen;
  window->GetScreenBounds(&screen);
  test::MovePointer(screen.left + 50, screen.top + 60, "mousedown 1");
  IterateUntil([&] { return GetMouseCapturePane() == pane && !pane->drags.empty(); });
  ASSERT_EQ(GetMouseCapturePane(), pane) << "the press reached MouseDown";
  ASSERT_FALSE(pane->drags.empty()) << "the held button gives drags";
  EXPECT_EQ(pane->drags.back().x, 50);
  EXPECT_EQ(pane->drags.back().y, 60);
  size_t before = pane->drags.size();
  RunMainLoopOnce(false);
  EXPECT_EQ(pane->drags.size(), before + 1) << "one drag per iteration";

  test::MovePointer(screen.left + 150, screen.top + 90);
  IterateUntil([&] { return pane->drags.back().x == 150 && pane->drags.back().y == 90; });
  EXPECT_EQ(pane->drags.back().x, 150);
  EXPECT_EQ(pane->drags.back().y, 90);

  test::Shell("xdotool mouseup 1");
  IterateFor(200);
  size_t released = pane->drags.size();
  IterateFor(100);
  EXPECT_EQ(pane->drags.size(), released) << "no drags once the button is up";
  ClearMouseCapturePane();
  delete pane;  // panes belong to their creator, not to the window
}

// A timer whose Action takes longer than its period is due at every iteration; GDK hands out
// one X event per dispatch, so the events the Actions cause (a window mapped and destroyed each
// time) must still be served between Actions, not pile up behind them.
TEST_F(WindowLoopGuiTest, ATimerDueAtEveryIterationLeavesNoXEventsBehind) {
  static int fires = 0;
  const TimerOwner owner = {[](TimerState*) {
                              ++fires;
                              GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
                              gtk_widget_show(window);
                              gtk_widget_destroy(window);
                              g_usleep(1500);
                            },
                            nullptr, nullptr};
  TimerState timer;
  InitTimerState(&timer, &owner);
  SetTimerPeriod(&timer, 1);
  SetTimerMode(&timer, kTimerMultiple);
  for (int i = 0; fires < 300 && i < 20000; ++i) RunMainLoopOnce(true);
  DestroyTimerState(&timer);
  EXPECT_EQ(fires, 300);
  EXPECT_LT(XPending(GDK_DISPLAY_XDISPLAY(gdk_display_get_default())), 100) << "the loop fell behind its X events";
}

}  // namespace
}  // namespace vorn
