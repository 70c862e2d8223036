// The bevel button pane on a real display: a click counts only when released inside, a
// programmatic click reaches the delegate, and the drawn button shows its sort triangle only
// when sorted and wide enough, and nothing at all when it has no size; an icon sits in the
// middle of the button.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "controls/bevel_button.h"
#include "controls/support/control_test_support.h"
#include "core/run_loop.h"
#include "startup/window_loop_hooks.h"
#include "graphics/drawable_pane.h"
#include "graphics/graphics_defaults.h"
#include "support/gui_support.h"
#include "support/window_pixels.h"

namespace vorn {
namespace {

class RecordingDelegate : public BevelButtonDelegate {
 public:
  void Clicked(SubPane*) override { ++clicks; }
  void MouseDown(SubPane*) override { ++downs; }
  void MouseDrag(SubPane*, int32_t, int32_t) override { ++drags; }
  int clicks = 0, downs = 0, drags = 0;
};

class BevelButtonGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::EnsureDisplay());
    InitEllipsisString();
    InstallWindowLoopHooks();
    window = new test::TestWindow(MakeRect(100, 100, 500, 400));
  }
  // Moves the pointer, button held, through the points of the window's content; the run
  // loop hands each position to the pane that tracks the mouse.
  void DragThrough(std::initializer_list<std::pair<int32_t, int32_t>> points) {
    for (auto [h, v] : points) {
      int32_t x, y;
      test::ScreenPoint(window, h, v, &x, &y);
      test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
      test::PumpFor(40);
      RunMainLoopOnce(false);
    }
  }
  void Press(int32_t h, int32_t v) {
    int32_t x, y;
    test::ScreenPoint(window, h, v, &x, &y);
    test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown 1");
    test::PumpFor(100);
    RunMainLoopOnce(false);
  }
  void Release() {
    test::ReleaseMouse();
    test::PumpFor(150);
    test::RunLoopIteration();
  }
  void TearDown() override {
    window->Close();
    test::RunLoopIteration();
  }
  BevelButton* Make(const Rect& bounds, const char* caption) {
    return new BevelButton(&delegate, TextStyle(), window, 0, bounds, string(caption), 7);
  }

  test::TestWindow* window = nullptr;
  RecordingDelegate delegate;
};

TEST_F(BevelButtonGuiTest, AClickCountsOnlyWhenReleasedInside) {
  BevelButton* button = Make(MakeRect(40, 40, 160, 64), "Name");
  test::ShowAndSettle(window);
  // Press inside, drag out, release: no click.
  Press(60, 50);
  EXPECT_EQ(delegate.downs, 1);
  EXPECT_TRUE(button->IsPressed());
  DragThrough({{120, 50}, {200, 50}});
  EXPECT_FALSE(button->IsPressed()) << "dragged out";
  Release();
  EXPECT_EQ(delegate.clicks, 0);
  EXPECT_GT(delegate.drags, 0);

  // Press inside, drag out and back in, release: a click.
  Press(60, 50);
  DragThrough({{200, 50}, {220, 80}, {100, 52}});
  EXPECT_TRUE(button->IsPressed()) << "back inside";
  Release();
  EXPECT_EQ(delegate.clicks, 1);
  EXPECT_FALSE(button->IsPressed());

  button->SetEnabled(false, true);
  test::ClickAt(window, 60, 50);
  EXPECT_EQ(delegate.downs, 2) << "a disabled button takes no press";
  EXPECT_EQ(delegate.clicks, 1);
}

TEST_F(BevelButtonGuiTest, ProgrammaticClickAndValue) {
  BevelButton* button = Make(MakeRect(40, 40, 160, 64), "Name");
  EXPECT_EQ(button->ChangeState(kBevelProgrammaticClick), 0);
  EXPECT_EQ(delegate.clicks, 1);
  EXPECT_EQ(button->Tag(), 7);
  button->SetValue(1);
  EXPECT_EQ(button->SortDirection(), 1);
  button->SetValue(1);
  EXPECT_EQ(button->SortDirection(), -1);
  button->SetValue(0);
  EXPECT_EQ(button->GetValue(), 0);
  EXPECT_EQ(button->SortDirection(), -1);
}

TEST_F(BevelButtonGuiTest, TriangleFollowsTheSortDirectionAndNeedsRoom) {
  BevelButton* wide = Make(MakeRect(20, 20, 140, 45), "Age");
  BevelButton* narrow = Make(MakeRect(20, 60, 50, 85), "Aperture");
  BevelButton* empty = Make(MakeRect(20, 100, 20, 125), "Nothing");
  test::ShowAndSettle(window);
  // Up: corners (x0 - 10, mid + 5), (x0 - 5, mid), (x0, mid + 5) with x0 = 135, mid = 30.
  auto drawn = [&](BevelButton* button) {
    auto* port = new test::PixmapPort(200, 140);
    button->DrawInto(port->Port());
    return port;
  };
  wide->SetValue(1);
  test::PixmapPort* up = drawn(wide);
  EXPECT_EQ(up->PixelAt(130, 34), 0x000000u) << "inside the upward triangle";
  EXPECT_NE(up->PixelAt(126, 31), 0x000000u) << "outside it";
  delete up;
  wide->SetValue(1);
  test::PixmapPort* down = drawn(wide);
  EXPECT_EQ(down->PixelAt(126, 31), 0x000000u) << "inside the downward triangle";
  EXPECT_NE(down->PixelAt(126, 34), 0x000000u) << "where the upward one was";
  EXPECT_TRUE(down->SavePNG(std::string(VORN_BINARY_DIR) + "/bevel_button.png"));
  delete down;

  narrow->SetValue(1);
  test::PixmapPort* small = drawn(narrow);
  EXPECT_GT(small->InkIn(MakeRect(20, 60, 50, 85)), 0) << "the button itself is drawn";
  EXPECT_NE(small->PixelAt(40, 69), 0x000000u) << "no triangle over a caption that fills the button";
  delete small;

  test::PixmapPort* none = drawn(empty);
  EXPECT_EQ(none->InkIn(MakeRect(0, 0, 200, 140)), 0) << "a button without size paints nothing";
  delete none;
}

// A solid 12 x 8 icon of one colour.
DrawablePane* SolidIcon(uint32_t color) {
  auto* icon = new DrawablePane(MakeRect(0, 0, 12, 8), 24);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 12; ++x) icon->SetPixel(x, y, color);
  return icon;
}

TEST_F(BevelButtonGuiTest, TheIconIsDrawnCentredAndReleasedWhenReplaced) {
  BevelButton* button = Make(MakeRect(40, 40, 160, 80), "");
  DrawablePane* red = SolidIcon(0xFF0000);
  ASSERT_TRUE(red->IsValid());
  red->Retain();  // the test's own reference, to watch the button's
  button->SetIcon(red);
  EXPECT_EQ(button->Icon(), red);
  test::ShowAndSettle(window);

  test::PixmapPort port(200, 140);
  button->DrawInto(port.Port());
  // Centre (100, 60): the icon covers 94..105 x 56..63.
  EXPECT_EQ(port.PixelAt(100, 60), 0xFF0000u);
  EXPECT_EQ(port.PixelAt(94, 56), 0xFF0000u);
  EXPECT_EQ(port.PixelAt(105, 63), 0xFF0000u);
  EXPECT_NE(port.PixelAt(92, 60), 0xFF0000u) << "left of the icon";
  EXPECT_NE(port.PixelAt(100, 65), 0xFF0000u) << "below the icon";

  test::FlushWindowDrawing(window);
  button->Invalidate();
  test::FlushWindowDrawing(window);
  EXPECT_EQ(test::WindowScreenPixel(window, 100, 60), 0xFF0000u) << "the button on the screen shows it too";
  EXPECT_NE(test::WindowScreenPixel(window, 60, 60), 0xFF0000u);

  button->SetIcon(SolidIcon(0x0000FF));
  EXPECT_EQ(red->Count(), 1) << "the button let go of the icon it had";
  red->Release();
  test::PixmapPort blue(200, 140);
  button->DrawInto(blue.Port());
  EXPECT_EQ(blue.PixelAt(100, 60), 0x0000FFu);
  button->SetIcon(nullptr);
  test::PixmapPort none(200, 140);
  button->DrawInto(none.Port());
  EXPECT_NE(none.PixelAt(100, 60), 0x0000FFu) << "no icon after it was taken away";
}

}  // namespace
}  // namespace vorn
