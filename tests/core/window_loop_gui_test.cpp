// The window layer in the run loop on a real X display (run under Xvfb): a window marked shown
// appears at the next iteration, and a pane holding the mouse capture gets one drag per
// iteration with the pointer position until the button is released; a timer due at every
// iteration leaves no window-system events behind, and a busy loop holds up no timer nor its drawing.
#include <gtest/gtest.h>
#include <X11/XKBlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/background_task.h"
#include "core/run_loop.h"
#include "core/thread_scheduler.h"
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
bool IterateUntil(const std::function<bool()>& done, int milliseconds = test::kWaitLimitMs) {
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

// What keeps the loop busy while a timer runs: a thread computing and yielding as compiled loops do,
// a key held over a KeyDown slower than the repeat, the pointer over a 5 ms MouseMove (in a modal).
enum Load { kIdle, kThreadComputing, kKeyHeld, kPointerMoving, kPointerMovingInAModalWindow };
const char* const kLoads[] = {"Idle", "ThreadComputing", "KeyHeld", "PointerMoving", "PointerMovingInAModalWindow"};
// Shares are of the firings due, in percent. A computing thread at the main thread's priority holds
// the runtime for five turns of up to a tick (16.7 ms) each in a row, and no timer fires meanwhile.
const struct { const char* name; int32_t period; bool single; int milliseconds, share, shareBesideAThread; } kTimers[] = {
    {"Every10ms", 10, false, 1000, 60, 15}, {"Every100ms", 100, false, 1000, 60, 60},
    {"EverySecond", 1000, false, 3500, 60, 60}, {"SingleAfter200ms", 200, true, 600, 100, 100}};

struct BusyWindow : Window {
  explicit BusyWindow(int32_t kind) : Window(string("Busy"), MakeRect(150, 150, 450, 350), kind, 0, true) {}
  void MouseMove(int32_t, int32_t) override { ++work, g_usleep(5000); }
  bool KeyDown(int32_t, int32_t, int32_t) override { return ++work, g_usleep(12000), true; }
  int work = 0;
};
struct { bool stopComputing; std::vector<gint64> firings; int redraws; GtkWidget* progress; } sRun;
class LoadedTimerGuiTest : public WindowLoopGuiTest, public ::testing::WithParamInterface<int> {};

TEST_P(LoadedTimerGuiTest, FiresWhenDueAndItsDrawingIsShownWhileTheLoopIsBusy) {
  const auto& row = kTimers[GetParam() / 5];
  const int load = GetParam() % 5;
  WindowLayerHooks hooks = GetWindowLayerHooks();
  hooks.runLoopOnce = &RunMainLoopOnce;
  SetWindowLayerHooks(hooks);
  BusyWindow window(load == kPointerMovingInAModalWindow ? 2 : 0);
  test::ShowAndSettle(&window);
  int32_t x, y;
  test::ScreenPoint(&window, 100, 80, &x, &y);
  test::MovePointer(x, y);
  // The server's own repeat (a key every 40 ms after 660 ms) would leave the loop mostly idle.
  Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
  unsigned int repeatDelay = 0, repeatInterval = 0;
  XkbGetAutoRepeatRate(display, XkbUseCoreKbd, &repeatDelay, &repeatInterval);
  XkbSetAutoRepeatRate(display, XkbUseCoreKbd, 100, 8);
  std::string input = load == kKeyHeld ? "keydown a sleep 60" : "";  // let go below
  for (int i = 0; load >= kPointerMoving && i < row.milliseconds / 4; ++i) {
    input += " mousemove " + std::to_string(x + i % 2 * 9) + " " + std::to_string(y + i % 3) + " sleep 0.002";
  }
  const std::string xdotool = input.empty() ? "" : test::Shell("xdotool " + input + " >/dev/null 2>&1 & echo $!");
  sRun = {false, {}, 0, window.GtkWindowWidget()};
  ASSERT_TRUE(load != kThreadComputing || StartThread(NewThreadRecord(nullptr, 5), 256 * 1024, [](ThreadRecord*) {
    for (volatile double sum = 0; !sRun.stopComputing; RuntimeBackgroundTask()) for (int i = 0; i < 2000; ++i) sum = sum + i;
  }));
  g_signal_connect(sRun.progress, "expose-event", G_CALLBACK((+[](GtkWidget*, GdkEvent*, gpointer) { return ++sRun.redraws, FALSE; })), nullptr);
  // The Action shows progress: the window is drawn anew.
  const TimerOwner owner = {[](TimerState*) { sRun.firings.push_back(g_get_monotonic_time()), gtk_widget_queue_draw(sRun.progress); }};
  TimerState timer;
  InitTimerState(&timer, &owner);
  SetTimerPeriod(&timer, row.period);
  const gint64 start = g_get_monotonic_time();
  SetTimerMode(&timer, row.single ? kTimerSingle : kTimerMultiple);
  // Above everything the row keeps busy, so the row ends even where the timer never fires.
  g_timeout_add_full(G_PRIORITY_HIGH, row.milliseconds, [](gpointer w) { return static_cast<Window*>(w)->Hide(), G_SOURCE_REMOVE; }, &window, nullptr);
  if (load == kPointerMovingInAModalWindow) window.RunModalWhileShown();
  while (window.IsShown()) RunMainLoopOnce(true);
  const gint64 end = g_get_monotonic_time();
  DestroyTimerState(&timer);
  sRun.stopComputing = true;
  test::Shell("kill " + xdotool + " 2>/dev/null; xdotool keyup a");
  IterateUntil([] { return ThreadRecordCount() == 1; });
  XkbSetAutoRepeatRate(display, XkbUseCoreKbd, repeatDelay, repeatInterval);

  gint64 longest = 0, last = start;
  for (gint64 at : sRun.firings) longest = std::max(longest, at - std::exchange(last, at));
  longest = std::max(longest, end - last);
  const gint64 due = row.single ? 1 : (end - start) / 1000 / row.period;
  SCOPED_TRACE(testing::Message() << sRun.firings.size() << " of " << due << " fired, gap " << longest / 1000 << " ms, "
                                  << window.work << " handled, " << sRun.redraws << " drawn");
  EXPECT_GE(static_cast<gint64>(sRun.firings.size()) * 100, due * (load == kThreadComputing ? row.shareBesideAThread : row.share));
  EXPECT_LE(longest / 1000, 2 * row.period + 250);
  EXPECT_TRUE(!xdotool.empty() ? window.work > 20 : sRun.redraws * 3 >= static_cast<int>(sRun.firings.size())) << "input handled, or progress shown";
}

INSTANTIATE_TEST_SUITE_P(Loads, LoadedTimerGuiTest, ::testing::Range(0, 20),
                         [](const auto& info) { return std::string(kTimers[info.param / 5].name) + kLoads[info.param % 5]; });

}  // namespace
}  // namespace vorn
