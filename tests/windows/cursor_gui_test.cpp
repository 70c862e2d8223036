// Cursors on a real display: what the X server shows over a window and its controls as the
// pointer moves, for cursors from resources, the cursors module, the window, the control and
// the application.
#include <gtest/gtest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "base/resource_manager.h"
#include "objects/runtime_object.h"
#include "support/gui_support.h"
#include "vorn/control_api.h"
#include "vorn/cursor_api.h"
#include "vorn/image_format.h"
#include "vorn/window_api.h"
#include "windows/control.h"
#include "windows/cursor_record.h"
#include "windows/mouse_cursor_class.h"
#include "windows/pane_focus.h"
#include "windows/support/compiled_window_fixture.h"
#include "windows/support/screen_cursor.h"
#include "windows/support/window_test_classes.h"
#include "windows/wait_cursor.h"

namespace vorn {
namespace {

using test::Pump;
using test::ScreenCursor;

// Frame, diagonal and a white inside, as the classic record stores them; hot spot x 5, y 3.
const char* const kResourceArt[16] = {
    "XXXXXXXXXXXXXXXX", "XX.............X", "XoX............X", "XooX...........X",
    "XoooX..........X", "XooooX.........X", "XoooooX........X", "XooooooX.......X",
    "XoooooooX......X", "XooooooooX.....X", "XoooooooooX....X", "XooooooooooX...X",
    "XoooooooooooX..X", "XooooooooooooX.X", "XoooooooooooooXX", "XXXXXXXXXXXXXXXX",
};

std::vector<uint8_t> ResourceRecord() {
  std::vector<uint8_t> record(68, 0);
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 16; ++column) {
      const auto bit = static_cast<uint8_t>(0x80 >> (column % 8));
      if (kResourceArt[row][column] == 'X') record[row * 2 + column / 8] |= bit;
      if (kResourceArt[row][column] != '.') record[32 + row * 2 + column / 8] |= bit;
    }
  }
  record[65] = 3;  // vertical, big-endian
  record[67] = 5;  // horizontal
  return record;
}

class CursorGuiTest : public test::CompiledWindowTest {
 protected:
  void TearDown() override {
    appMouseCursorSetter(nullptr, 0, nullptr);
    SetCurrentCursorRecord(nullptr);
    test::CompiledWindowTest::TearDown();
  }

  RuntimeObject* ShownWindow() {
    RuntimeObject* window = Keep(test::NewMainWindow());
    RuntimeShowWindow(window);
    Pump(200);
    return window;
  }

  static RuntimeObject* Canvas(RuntimeObject* window) {
    return reinterpret_cast<test::TestWindowObject*>(window)->canvas;
  }

  // Moves the pointer to a point of the window's content, then a pixel further, so that the
  // window hears motion in any case.
  static void PointAt(RuntimeObject* window, int32_t h, int32_t v) {
    int32_t x, y;
    test::ScreenPoint(View(window), h, v, &x, &y);
    test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    Pump(60);
    test::Shell("xdotool mousemove " + std::to_string(x + 1) + " " + std::to_string(y));
    Pump(100);
  }

  static GdkCursor* ContentCursor(RuntimeObject* window) {
    return gdk_window_get_cursor(View(window)->Widget()->window);
  }
  static GdkCursor* NativeOf(RuntimeObject* cursor) { return MouseCursorRecordOf(cursor)->cursor; }

  ScreenCursor screen;
};

constexpr int32_t kInCanvas = 30;  // the canvas covers 10..60 both ways
constexpr int32_t kOutsideH = 200;
constexpr int32_t kOutsideV = 120;

TEST_F(CursorGuiTest, AResourceCursorOnAControlShowsItsExactPixelsOnlyOverTheControl) {
  std::vector<uint8_t> record = ResourceRecord();
  const uint16_t id = 28001;
  GetResourceManager().AddResource(image::kTypeCursor, id, record.data(), 68, 0);
  EXPECT_EQ(RuntimeGetCursorFromResourceManager(28002), nullptr);
  RuntimeObject* cursor = Keep(RuntimeGetCursorFromResourceManager(id));
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(MouseCursorRecordOf(cursor)->word, id);
  ASSERT_NE(NativeOf(cursor), nullptr);

  RuntimeObject* window = ShownWindow();
  controlMouseCursorSetter(Canvas(window), 0, cursor);
  EXPECT_EQ(AsControl(Canvas(window))->mouseCursor, cursor);
  PointAt(window, kInCanvas, kInCanvas);
  EXPECT_EQ(ContentCursor(window), NativeOf(cursor));

  if (screen.Available()) {
    ScreenCursor::Image shown = screen.Current();
    ASSERT_EQ(shown.width, 16);
    ASSERT_EQ(shown.height, 16);
    EXPECT_EQ(shown.xhot, 5);
    EXPECT_EQ(shown.yhot, 3);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const unsigned long pixel = shown.pixels[static_cast<size_t>(y * 16 + x)] & 0xFFFFFFFFul;
        const char art = kResourceArt[y][x];
        const unsigned long expected = art == 'X' ? 0xFF000000ul : art == 'o' ? 0xFFFFFFFFul : 0;
        EXPECT_EQ(pixel, expected) << "pixel " << x << "," << y;
      }
    }
  }

  // Outside the control the window has no cursor of its own: the default arrow.
  PointAt(window, kOutsideH, kOutsideV);
  EXPECT_EQ(ContentCursor(window), nullptr);
  if (screen.Available()) {
    ScreenCursor::Image shown = screen.Current();
    EXPECT_FALSE(shown.xhot == 5 && shown.yhot == 3 && shown.width == 16) << "still the resource cursor";
  }

  // Taking the cursor away gives the control the window's again.
  controlMouseCursorSetter(Canvas(window), 0, nullptr);
  PointAt(window, kInCanvas, kInCanvas);
  EXPECT_EQ(ContentCursor(window), nullptr);
}

TEST_F(CursorGuiTest, AHotSpotOutsideThePictureIsPulledInsideInsteadOfUpsettingTheServer) {
  std::vector<uint8_t> record = ResourceRecord();
  record[64] = 0x7F;  // vertical 32767
  record[65] = 0xFF;
  record[66] = 0x80;  // horizontal -32768
  record[67] = 0x00;
  const uint16_t id = 28003;
  GetResourceManager().AddResource(image::kTypeCursor, id, record.data(), 68, 0);
  RuntimeObject* cursor = Keep(RuntimeGetCursorFromResourceManager(id));
  ASSERT_NE(cursor, nullptr);
  ASSERT_NE(NativeOf(cursor), nullptr);
  RuntimeObject* window = ShownWindow();
  formMouseCursorSetter(window, 0, cursor);
  PointAt(window, kOutsideH, kOutsideV);
  gdk_display_sync(gdk_display_get_default());  // an X error would end the program here
  EXPECT_EQ(ContentCursor(window), NativeOf(cursor));
  if (screen.Available()) {
    ScreenCursor::Image shown = screen.Current();
    EXPECT_EQ(shown.xhot, 0);
    EXPECT_EQ(shown.yhot, 15);
  }
}

TEST_F(CursorGuiTest, TheApplicationsCursorWinsThenTheControlsThenTheWindows) {
  RuntimeObject* cursors = Keep(GetCursorsClass());
  RuntimeObject* wait = Keep(GetWaitCursor(cursors, 0));
  RuntimeObject* hand = Keep(GetHandOpenCursor(cursors, 0));
  RuntimeObject* standard = Keep(GetStandardPointerCursor(cursors, 0));
  RuntimeObject* handAgain = GetHandOpenCursor(cursors, 0);
  EXPECT_EQ(handAgain, hand);
  RuntimeUnlockObject(handAgain);

  RuntimeObject* window = ShownWindow();
  formMouseCursorSetter(window, 0, wait);
  EXPECT_EQ(AsWindowFields(window)->mouseCursor, wait);
  PointAt(window, kOutsideH, kOutsideV);
  EXPECT_EQ(ContentCursor(window), NativeOf(wait));
  if (screen.Available()) {
    EXPECT_GT(screen.Current().width, 0);
  }

  // The standard pointer on the control is the default arrow even inside a window with a
  // cursor of its own.
  controlMouseCursorSetter(Canvas(window), 0, standard);
  PointAt(window, kInCanvas, kInCanvas);
  EXPECT_EQ(ContentCursor(window), nullptr);
  PointAt(window, kOutsideH, kOutsideV);
  EXPECT_EQ(ContentCursor(window), NativeOf(wait));

  appMouseCursorSetter(nullptr, 0, hand);
  PointAt(window, kInCanvas, kInCanvas);
  EXPECT_EQ(ContentCursor(window), NativeOf(hand));
  PointAt(window, kOutsideH, kOutsideV);
  EXPECT_EQ(ContentCursor(window), NativeOf(hand));
  if (screen.Available()) {
    ScreenCursor::Image shown = screen.Current();
    EXPECT_EQ(shown.width, 16);
    EXPECT_EQ(shown.xhot, 8);
    EXPECT_EQ(shown.yhot, 9);
  }

  appMouseCursorSetter(nullptr, 0, nullptr);
  PointAt(window, kInCanvas + 2, kInCanvas);
  EXPECT_EQ(ContentCursor(window), nullptr);

  // Nil on the window: the default arrow everywhere.
  formMouseCursorSetter(window, 0, nullptr);
  PointAt(window, kOutsideH + 3, kOutsideV);
  EXPECT_EQ(ContentCursor(window), nullptr);
}

TEST_F(CursorGuiTest, TwoWindowsWithTheSameCursorBothShowIt) {
  RuntimeObject* cursors = Keep(GetCursorsClass());
  RuntimeObject* fleur = Keep(GetAllDirectionsCursor(cursors, 0));
  RuntimeObject* first = ShownWindow();
  RuntimeObject* second = ShownWindow();
  // Apart, so that each point is over one window only.
  windowPosSetter(second, 0, 600);
  windowPosSetter(second, 1, 500);
  Pump(200);
  formMouseCursorSetter(first, 0, fleur);
  formMouseCursorSetter(second, 0, fleur);
  PointAt(first, kOutsideH, kOutsideV);
  EXPECT_EQ(ContentCursor(first), NativeOf(fleur));
  PointAt(second, kOutsideH, kOutsideV);
  EXPECT_EQ(ContentCursor(second), NativeOf(fleur));
}

TEST_F(CursorGuiTest, ACursorGivenBeforeTheControlHasItsPaneIsWornByThePane) {
  RuntimeObject* cursors = Keep(GetCursorsClass());
  RuntimeObject* finger = Keep(GetFingerPointerCursor(cursors, 0));
  test::Script().canvasCursor = finger;
  RuntimeObject* window = ShownWindow();
  test::Script().canvasCursor = nullptr;
  PointAt(window, kInCanvas, kInCanvas);
  EXPECT_EQ(ContentCursor(window), NativeOf(finger));
  if (screen.Available()) {
    ScreenCursor::Image shown = screen.Current();
    EXPECT_EQ(shown.xhot, 7);
    EXPECT_EQ(shown.yhot, 0);
  }
}

TEST_F(CursorGuiTest, TheFreeStandingCursorsAreNewObjectsThatControlsWearAfterRelease) {
  RuntimeObject* window = ShownWindow();
  RuntimeObject* watch = getWatchCursor();
  RuntimeObject* watch2 = getWatchCursor();
  EXPECT_NE(watch, watch2);
  RuntimeObject* ibeam = getIBeamCursor();
  controlMouseCursorSetter(Canvas(window), 0, watch);
  GdkCursor* watchCursor = NativeOf(watch);
  RuntimeUnlockObject(watch);  // the control holds it now
  PointAt(window, kInCanvas, kInCanvas);
  EXPECT_EQ(ContentCursor(window), watchCursor);
  EXPECT_EQ(gdk_cursor_get_cursor_type(watchCursor), GDK_WATCH);

  // Replacing it lets the first object go; the pane shows the new one.
  controlMouseCursorSetter(Canvas(window), 0, ibeam);
  GdkCursor* ibeamCursor = NativeOf(ibeam);
  RuntimeUnlockObject(ibeam);
  PointAt(window, kInCanvas + 2, kInCanvas);
  EXPECT_EQ(ContentCursor(window), ibeamCursor);
  EXPECT_EQ(gdk_cursor_get_cursor_type(ibeamCursor), GDK_XTERM);
  RuntimeUnlockObject(watch2);
}

// The main thread kept in the program's own code, as by a long computation, until the screen
// shows `image` or `limit` passes; answers whether it did. The screen is read over a
// connection of the test's own, which leaves GDK's alone.
bool BusyUntilShown(const ScreenCursor& screen, const ScreenCursor::Image& image,
                    std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (screen.Current() == image) return true;
  }
  return false;
}

bool LoopUntilShown(const ScreenCursor& screen, const ScreenCursor::Image& image) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    Pump(20);
    if (screen.Current() == image) return true;
  }
  return false;
}

// A connection of the test's own; the XFixes reader over it, when XFixes is there.
class WaitCursorGuiTest : public CursorGuiTest {
 protected:
  void SetUp() override {
    CursorGuiTest::SetUp();
    ASSERT_NE(mConnection, nullptr);
    if (!outside.Available()) GTEST_SKIP() << "no XFixes";
    cursors = Keep(GetCursorsClass());
  }
  // The watch and the window's own cursor as the screen shows them with the pointer over it.
  void LearnImages(RuntimeObject* window) {
    formMouseCursorSetter(window, 0, Keep(GetWaitCursor(cursors, 0)));
    PointAt(window, kOutsideH, kOutsideV);
    watch = outside.Current();
    formMouseCursorSetter(window, 0, Keep(GetAllDirectionsCursor(cursors, 0)));
    PointAt(window, kOutsideH + 2, kOutsideV);
    own = outside.Current();
    ASSERT_GT(watch.width, 0);
    ASSERT_NE(watch, own);
  }

  std::unique_ptr<::Display, int (*)(::Display*)> mConnection{
      XOpenDisplay(gdk_display_get_name(gdk_display_get_default())), &XCloseDisplay};
  ScreenCursor outside{mConnection.get()};
  RuntimeObject* cursors = nullptr;
  ScreenCursor::Image watch, own;
};

TEST_F(WaitCursorGuiTest, AMainThreadKeptFromItsLoopShowsTheWatchUntilTheLoopRunsAgain) {
  LearnImages(ShownWindow());
  struct Case {
    void (*turn)();
    bool watchShown;
  };
  // The last case turns it on again with the main thread already away from its loop.
  for (const Case& c : {Case{&EnableAutoWaitCursor, true}, Case{&DisableAutoWaitCursor, false},
                        Case{&EnableAutoWaitCursor, true}}) {
    c.turn();
    // Off, the watch must stay away for several times the delay.
    const auto limit = c.watchShown ? std::chrono::milliseconds(10000) : 4 * kWaitCursorDelay;
    EXPECT_EQ(BusyUntilShown(outside, watch, limit), c.watchShown);
    EXPECT_TRUE(LoopUntilShown(outside, own)) << "the window's own cursor is not back";
  }
  EXPECT_TRUE(AutoWaitCursorEnabled());
}

TEST_F(WaitCursorGuiTest, AWindowClosedWhileTheProgramIsBusyIsPassedOverQuietly) {
  RuntimeObject* closing = ShownWindow();
  windowPosSetter(closing, 0, 600);
  windowPosSetter(closing, 1, 500);
  RuntimeObject* staying = ShownWindow();
  LearnImages(staying);
  // Gone from the server, though the watcher was told of it at the last wait.
  RuntimeCloseWindow(closing);
  gdk_display_sync(gdk_display_get_default());
  EXPECT_TRUE(BusyUntilShown(outside, watch, std::chrono::milliseconds(10000)));
  EXPECT_TRUE(LoopUntilShown(outside, own));
}

}  // namespace
}  // namespace vorn
