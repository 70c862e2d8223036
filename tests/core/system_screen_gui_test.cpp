// The System module on a display (run under Xvfb): screen pixels through the root window, the
// pointer position and button, and the window pictures _DrawWindow paints.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/system_module.h"
#include "graphics/drawable_pane.h"
#include "graphics/graphics.h"
#include "graphics/picture_object.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "vorn/picture_api.h"
#include "vorn/system_api.h"

namespace vorn {
namespace {

constexpr uint32_t kFill = 0x3366CC;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGreen = 0x00FF00;

using Points = std::vector<std::pair<int32_t, int32_t>>;
const Points kCorners = {{0, 0}, {29, 0}, {0, 19}, {29, 19}, {15, 10}};

class SystemOnDisplay : public test::IntrinsicClassTest {
 protected:
  void SetUp() override {
    // The module object lives until exit: made before the fixture counts the live objects.
    RuntimeUnlockObject(getSystemObject());
    IntrinsicClassTest::SetUp();
    if (!test::EnsureDisplay()) GTEST_SKIP() << "needs an X display";
    mModule = Keep(getSystemObject());
  }

  // A picture of w x h, its left half red and its right half green.
  RuntimeObject* TwoColourPicture(int32_t w, int32_t h) {
    RuntimeObject* picture = SolidPicture(w, h, kRed);
    DrawablePane* pane = PictureBitmap(picture);
    Graphics* port = pane->NewGraphics();
    port->SetForeColor(ColorToRGB48(kGreen));
    port->FillRect(MakeRect(w / 2, 0, w, h));
    DisposeGraphics(port);
    pane->PrepareToDraw();
    return picture;
  }

  // A picture of w x h in one colour, drawn through a port on its bitmap.
  RuntimeObject* SolidPicture(int32_t w, int32_t h, uint32_t color) {
    DrawablePane* pane = NewDrawablePane(w, h, 32);
    if (!pane) return nullptr;
    Graphics* port = pane->NewGraphics();
    port->SetForeColor(ColorToRGB48(color));
    port->FillRect(MakeRect(0, 0, w, h));
    DisposeGraphics(port);
    RuntimeObject* picture = Keep(NewPictureWithDrawable(pane));
    pane->Release();
    return picture;
  }

  RuntimeObject* DrawWindow(int32_t w, int32_t h, RuntimeObject* backdrop, bool stretch, uint32_t fill) {
    string title("A window");
    return Keep(SystemDrawWindow(mModule, title.Rep(), w, h, 1, 1, 1, 1, 1, backdrop, stretch ? 1 : 0, fill));
  }

  static uint32_t PixelOf(RuntimeObject* picture, int32_t x, int32_t y) {
    return BitmapPixel(PictureBitmap(picture), x, y);
  }

  RuntimeObject* mModule = nullptr;
};

// --- Pixel --------------------------------------------------------------------------------

TEST_F(SystemOnDisplay, PixelReadsTheColourAWindowShowsOnTheScreen) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_move(GTK_WINDOW(window), 200, 150);
  gtk_window_set_default_size(GTK_WINDOW(window), 80, 60);
  GdkColor colour = {0, 0x2020, 0xA0A0, 0x4040};
  gtk_widget_modify_bg(window, GTK_STATE_NORMAL, &colour);
  gtk_widget_show(window);
  test::PumpFor(400);
  gint x = 0, y = 0;
  gdk_window_get_origin(gtk_widget_get_window(window), &x, &y);
  EXPECT_EQ(systemPixel(mModule, x + 40, y + 30), 0x20A040u);
  EXPECT_EQ(systemPixel(mModule, x, y), 0x20A040u);
  EXPECT_EQ(systemPixel(mModule, x + 79, y + 59), 0x20A040u);
  gtk_widget_destroy(window);
  test::PumpFor(200);
}

TEST_F(SystemOnDisplay, PixelsOffTheScreenAreBlack) {
  GdkScreen* screen = gdk_screen_get_default();
  const int32_t width = gdk_screen_get_width(screen);
  const int32_t height = gdk_screen_get_height(screen);
  EXPECT_EQ(systemPixel(mModule, -1, 0), 0u);
  EXPECT_EQ(systemPixel(mModule, 0, -1), 0u);
  EXPECT_EQ(systemPixel(mModule, width, 0), 0u);
  EXPECT_EQ(systemPixel(mModule, 0, height), 0u);
  EXPECT_EQ(systemPixel(mModule, INT32_MIN, INT32_MAX), 0u);
}

// --- the mouse ----------------------------------------------------------------------------

TEST_F(SystemOnDisplay, MouseXAndYFollowThePointerAndMouseDownTheFirstButton) {
  test::MovePointer(321, 234);
  test::PumpUntil([&] { return getMouseX(mModule, 0) == 321 && getMouseY(mModule, 0) == 234; });
  EXPECT_EQ(getMouseX(mModule, 0), 321);
  EXPECT_EQ(getMouseY(mModule, 0), 234);
  EXPECT_EQ(getMouseDown(mModule, 0), 0);

  test::Shell("xdotool mousedown 1 2>/dev/null");
  EXPECT_TRUE(test::PumpUntil([&] { return getMouseDown(mModule, 0) == 1; }));
  test::Shell("xdotool mouseup 1 2>/dev/null");
  EXPECT_TRUE(test::PumpUntil([&] { return getMouseDown(mModule, 0) == 0; }));
}

// --- _DrawWindow --------------------------------------------------------------------------

TEST_F(SystemOnDisplay, AWindowPictureIsFilledWithTheColour) {
  RuntimeObject* picture = DrawWindow(30, 20, nullptr, false, kFill);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(pictureWidthGetter(picture, 0), 30);
  EXPECT_EQ(pictureHeightGetter(picture, 0), 20);
  for (auto [x, y] : kCorners) EXPECT_EQ(PixelOf(picture, x, y), kFill);
  picture = DrawWindow(4, 4, nullptr, false, 0xFF010203);  // the high byte is no part of a colour
  EXPECT_EQ(PixelOf(picture, 1, 1), 0x010203u);
}

TEST_F(SystemOnDisplay, ABackdropAtItsOwnSizeSitsAtTheTopLeft) {
  RuntimeObject* backdrop = SolidPicture(10, 8, kRed);
  RuntimeObject* picture = DrawWindow(30, 20, backdrop, false, kFill);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(PixelOf(picture, 0, 0), kRed);
  EXPECT_EQ(PixelOf(picture, 9, 7), kRed);
  EXPECT_EQ(PixelOf(picture, 10, 7), kFill);
  EXPECT_EQ(PixelOf(picture, 9, 8), kFill);
  EXPECT_EQ(PixelOf(picture, 29, 19), kFill);
}

TEST_F(SystemOnDisplay, AStretchedBackdropCoversTheWholeWindow) {
  RuntimeObject* backdrop = TwoColourPicture(10, 8);
  RuntimeObject* picture = DrawWindow(30, 20, backdrop, true, kFill);
  ASSERT_NE(picture, nullptr);
  for (auto [x, y] : Points{{0, 0}, {0, 19}, {14, 10}}) EXPECT_EQ(PixelOf(picture, x, y), kRed) << x << "," << y;
  for (auto [x, y] : Points{{15, 0}, {29, 19}, {29, 0}}) EXPECT_EQ(PixelOf(picture, x, y), kGreen) << x << "," << y;
}

TEST_F(SystemOnDisplay, ABackdropLargerThanTheWindowIsLimitedToIt) {
  // Left half red, right half green, 60 x 40: the window of 20 x 10 shows only its red corner.
  RuntimeObject* backdrop = TwoColourPicture(60, 40);
  for (bool stretch : {false, true}) {
    RuntimeObject* picture = DrawWindow(20, 10, backdrop, stretch, kFill);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(pictureWidthGetter(picture, 0), 20);
    EXPECT_EQ(PixelOf(picture, 0, 0), kRed) << stretch;
    EXPECT_EQ(PixelOf(picture, 19, 9), kRed) << stretch;
  }
}

TEST_F(SystemOnDisplay, ATransparentBackdropLeavesItsWhiteOut) {
  RuntimeObject* backdrop = SolidPicture(10, 10, kWhite);
  DrawablePane* pane = PictureBitmap(backdrop);
  Graphics* port = pane->NewGraphics();
  port->SetForeColor(ColorToRGB48(kRed));
  port->FillRect(MakeRect(0, 0, 5, 10));
  DisposeGraphics(port);
  pane->PrepareToDraw();
  pictureTransparentSetter(backdrop, 0, 1);
  RuntimeObject* picture = DrawWindow(20, 20, backdrop, false, kFill);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(PixelOf(picture, 2, 2), kRed);
  EXPECT_EQ(PixelOf(picture, 7, 2), kFill);
}

TEST_F(SystemOnDisplay, NoBackdropAnEmptyOneOrAnotherObjectLeaveTheFill) {
  RuntimeObject* empty = Keep(newPicture(0, 0, 32));
  RuntimeObject* vectorPicture = Keep(newPicture(10, 10, 0));
  for (RuntimeObject* backdrop : {static_cast<RuntimeObject*>(nullptr), empty, vectorPicture, mModule}) {
    RuntimeObject* picture = DrawWindow(12, 12, backdrop, true, kFill);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(PixelOf(picture, 0, 0), kFill);
    EXPECT_EQ(PixelOf(picture, 11, 11), kFill);
  }
  EXPECT_TRUE(Reports().empty());
}

TEST_F(SystemOnDisplay, AWindowOfNoWidthOrHeightIsAnEmptyPicture) {
  RuntimeObject* backdrop = SolidPicture(10, 8, kRed);
  for (auto [w, h] : Points{{0, 0}, {0, 10}, {10, 0}, {-5, 10}, {10, -5}, {INT32_MIN, INT32_MIN}}) {
    RuntimeObject* picture = DrawWindow(w, h, backdrop, true, kFill);
    ASSERT_NE(picture, nullptr) << w << " x " << h;
    EXPECT_EQ(pictureWidthGetter(picture, 0), w < 0 ? 0 : w);
    EXPECT_EQ(pictureHeightGetter(picture, 0), h < 0 ? 0 : h);
    EXPECT_EQ(PixelOf(picture, 0, 0), 0u) << "no pixels to read";
  }
  EXPECT_EQ(PendingException(), nullptr);
}

}  // namespace
}  // namespace vorn
