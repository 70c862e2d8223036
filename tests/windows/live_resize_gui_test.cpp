// Resizing a window by dragging its frame, as a user does, under a real window manager on a
// display of the test's own: Resizing during the drag, controls that follow each step or only
// the end, one Resized once the size settles, and a handler that resizes the window (one that
// closes it is a row of tests/controls/close_in_event_gui_test.cpp).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "support/gui_support.h"
#include "support/window_pixels.h"
#include "support/window_manager_display.h"
#include "vorn/control_api.h"
#include "vorn/window_api.h"
#include "windows/control.h"
#include "windows/support/compiled_window_fixture.h"
#include "windows/support/window_test_classes.h"

namespace vorn {
namespace {

using test::EventLog;
using test::LogEntries;
using test::Script;

// Event dispatch with the run loop's window step, as the run loop turns.
void PumpFor(int milliseconds) { test::Pump(milliseconds); }
bool PumpUntil(const std::function<bool()>& done, int milliseconds = test::kWaitLimitMs) {
  const gint64 end = g_get_monotonic_time() + milliseconds * G_GINT64_CONSTANT(1000);
  while (!done()) {
    if (g_get_monotonic_time() >= end) return false;
    test::Pump(5);
  }
  return true;
}

constexpr int kStep = 30;
constexpr uint32_t kCanvasColour = 0x3366CC;
constexpr int kSteps = 4;

class LiveResizeGuiTest : public test::CompiledWindowTest {
 protected:
  static void SetUpTestSuite() {
    // GTK keeps the first display it opens: a process that already drew on the shared one
    // cannot move to ours.
    if (gdk_display_get_default()) {
      sSkipReason = "needs a process of its own (ctest runs each test alone)";
      return;
    }
    sStartError = test::StartDisplayWithWindowManager();
    if (sStartError.empty()) CompiledWindowTest::SetUpTestSuite();
  }

  void SetUp() override {
    if (!sSkipReason.empty()) GTEST_SKIP() << sSkipReason;
    ASSERT_EQ(sStartError, "");
    CompiledWindowTest::SetUp();
  }

  // A 400x300 window whose canvas (10,10)-(60,60), a coloured pane, is locked to all four sides.
  RuntimeObject* Open(bool live) {
    Script().bounds = MakeRect(200, 200, 600, 500);
    Script().canvasColour = kCanvasColour;
    Script().resizeable = true;
    RuntimeObject* window = Keep(test::NewMainWindow());
    RuntimeObject* canvas = reinterpret_cast<test::TestWindowObject*>(window)->canvas;
    controlLockLeftSetter(canvas, 0, 1);
    controlLockTopSetter(canvas, 0, 1);
    controlLockRightSetter(canvas, 0, 1);
    controlLockBottomSetter(canvas, 0, 1);
    windowLiveResizeSetter(window, 0, live);
    RuntimeShowWindow(window);
    EXPECT_TRUE(PumpUntil([&] { return View(window) && GTK_WIDGET_MAPPED(View(window)->GtkWindowWidget()); }));
    test::ShowAndSettle(View(window));
    PumpFor(200);
    EventLog().clear();
    return window;
  }

  static Rect CanvasBounds(RuntimeObject* window) {
    RuntimeObject* canvas = reinterpret_cast<test::TestWindowObject*>(window)->canvas;
    Rect r{};
    ControlPane(AsControl(canvas))->GetBounds(&r);
    return r;
  }

  // The canvas shows from its corner at (10,10) to its corner at `edge` (both ways), no further.
  static bool CanvasShownTo(RuntimeObject* window, int edge) {
    auto shows = [&](int at) { return test::WindowScreenPixel(View(window), at, at) == kCanvasColour; };
    return PumpUntil([&] { return shows(12) && !shows(8) && shows(edge - 2) && !shows(edge + 2); });
  }

  static int ContentWidth(RuntimeObject* window) {
    return View(window) ? View(window)->GtkWindowWidget()->allocation.width : -1;
  }

  // Presses on the frame's bottom-right grip; each step drags it kStep pixels right and down.
  void PressGrip(RuntimeObject* window) {
    // On a loaded machine the window manager may not have framed and placed the window yet,
    // or the window may not have heard where it went.
    Rect r;
    const std::string xid = std::to_string(test::XidOf(View(window)));
    ASSERT_TRUE(PumpUntil([&] {
      View(window)->GetScreenBounds(&r);
      std::string where = test::Shell("xwininfo -id " + xid);
      return where.find("IsViewable") != std::string::npos &&
             where.find("Absolute upper-left X:  " + std::to_string(r.left) + "\n") != std::string::npos &&
             where.find("Absolute upper-left Y:  " + std::to_string(r.top) + "\n") != std::string::npos;
    })) << "the window manager never showed the window, or the window never learnt where";
    mGripX = r.right - 3;
    mGripY = r.bottom + 3;
    // The window manager picks the grip's cursor and action from the pointer's position
    // before the press.
    test::MovePointer(mGripX, mGripY);
    PumpFor(150);
    test::Shell("xdotool mousedown 1");
    PumpFor(150);
    // The first motion of a press only starts the window manager's drag.
    test::MovePointer(mGripX + 1, mGripY + 1);
    PumpFor(150);
  }
  // False when the window did not reach the step's width.
  bool DragStep(RuntimeObject* window, int step) {
    test::MovePointer(mGripX + step * kStep, mGripY + step * kStep);
    return PumpUntil([&] { return ContentWidth(window) == 400 + step * kStep; });
  }
  void Release() {
    test::Shell("xdotool mouseup 1");
    PumpFor(300);
  }

  static inline std::string sSkipReason;
  static inline std::string sStartError;
  int mGripX = 0;
  int mGripY = 0;
};

struct DragCase {
  const char* name;
  bool live;
};
void PrintTo(const DragCase& c, std::ostream* os) { *os << c.name; }

class LiveResizeDragTest : public LiveResizeGuiTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(LiveResizeDragTest, ResizingFiresDuringTheDragAndResizedOnceItSettles) {
  const bool live = GetParam().live;
  RuntimeObject* window = Open(live);
  ASSERT_EQ(ContentWidth(window), 400);
  PressGrip(window);
  for (int step = 1; step <= kSteps; ++step) {
    ASSERT_TRUE(DragStep(window, step)) << "the window manager did not resize at step " << step;
    PumpUntil([&] { return static_cast<int>(LogEntries("Resizing").size()) >= step; });
    // Locked controls follow each step only when live; the object's bounds likewise.
    int followed = live ? step * kStep : 0;
    EXPECT_EQ(CanvasBounds(window).right, 60 + followed) << "step " << step;
    EXPECT_EQ(CanvasBounds(window).bottom, 60 + followed) << "step " << step;
    EXPECT_EQ(windowPosGetter(window, 2), 400 + followed) << "step " << step;
    EXPECT_TRUE(CanvasShownTo(window, 60 + followed)) << "what the screen shows at step " << step;
    if (step == kSteps / 2) {
      const std::string shot = std::string(VORN_BINARY_DIR) + "/live_resize_" + GetParam().name + "_mid_drag.png";
      test::SaveWindowScreenshot(View(window), shot);
    }
  }
  EXPECT_GE(LogEntries("Resizing").size(), static_cast<size_t>(kSteps));
  EXPECT_TRUE(LogEntries("Resized").empty()) << "Resized before the drag ended";

  Release();
  ASSERT_TRUE(PumpUntil([] { return !LogEntries("Resized").empty(); }));
  PumpFor(300);
  EXPECT_EQ(LogEntries("Resized").size(), 1u);
  const int grown = kSteps * kStep;
  EXPECT_EQ(CanvasBounds(window).right, 60 + grown);
  EXPECT_EQ(CanvasBounds(window).bottom, 60 + grown);
  EXPECT_EQ(windowPosGetter(window, 2), 400 + grown);
  EXPECT_EQ(windowPosGetter(window, 3), 300 + grown);
  EXPECT_TRUE(CanvasShownTo(window, 60 + grown));
  // Nothing fires once the resize is over.
  size_t resizing = LogEntries("Resizing").size();
  PumpFor(300);
  EXPECT_EQ(LogEntries("Resizing").size(), resizing);
}

INSTANTIATE_TEST_SUITE_P(Modes, LiveResizeDragTest,
                         ::testing::Values(DragCase{"Live", true}, DragCase{"AtTheEnd", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Sizes changed without a drag (by the program, or by the window manager in one go) report
// Resized alone.
TEST_F(LiveResizeGuiTest, ResizesWithoutADragFireResizedAlone) {
  RuntimeObject* window = Open(true);
  windowPosSetter(window, 2, 450);
  ASSERT_TRUE(PumpUntil([&] { return ContentWidth(window) == 450; }));
  PumpFor(300);
  EXPECT_EQ(LogEntries("Resized").size(), 1u);

  test::Shell("xdotool windowsize " + std::to_string(test::XidOf(View(window))) + " 480 330");
  ASSERT_TRUE(PumpUntil([&] { return ContentWidth(window) == 480; }));
  PumpFor(300);
  EXPECT_EQ(LogEntries("Resized").size(), 2u);
  EXPECT_TRUE(LogEntries("Resizing").empty());
  EXPECT_EQ(CanvasBounds(window).right, 140);
}

TEST_F(LiveResizeGuiTest, AHandlerThatResizesTheWindowInResizingDoesNotLoop) {
  Script().onResizing = [](RuntimeObject* self) { windowPosSetter(self, 2, 350); };
  RuntimeObject* window = Open(true);
  PressGrip(window);
  // On a loaded machine the window manager may take a while to answer the first step.
  test::MovePointer(mGripX + kStep, mGripY + kStep);
  ASSERT_TRUE(PumpUntil([] { return !LogEntries("Resizing").empty(); })) << "the drag never started";
  for (int step = 2; step <= kSteps; ++step) {
    test::MovePointer(mGripX + step * kStep, mGripY + step * kStep);
    PumpFor(200);
  }
  // Every step may be answered by the program's resize and the window manager's next step,
  // but nothing feeds on itself.
  EXPECT_LE(LogEntries("Resizing").size(), static_cast<size_t>(2 * kSteps));
  Release();
  size_t events = EventLog().size();
  PumpFor(500);
  EXPECT_EQ(EventLog().size(), events) << "events went on after the drag ended";
  ASSERT_NE(View(window), nullptr);
  EXPECT_FALSE(View(window)->IsResizing());
}

}  // namespace
}  // namespace vorn
