// Group boxes on a real display: the frame's caption, its encoding, mouse events relative to
// the box, and drawing into a port.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "controls/group_box_pane.h"
#include "controls/support/control_test_support.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

int32_t gX[3], gY[3];
extern "C" uint8_t GroupDown(RuntimeObject*, int32_t x, int32_t y) {
  gX[0] = x;
  gY[0] = y;
  return 1;
}
extern "C" void GroupDrag(RuntimeObject*, int32_t x, int32_t y) {
  gX[1] = x;
  gY[1] = y;
}
extern "C" void GroupUp(RuntimeObject*, int32_t x, int32_t y) {
  gX[2] = x;
  gY[2] = y;
}

class GroupBoxGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::EnsureDisplay()) << "needs an X display";
    window = new test::TestWindow(MakeRect(170, 170, 570, 420));
    control = test::NewTestControl();
  }
  void TearDown() override {
    window->Close();
    test::RunLoopIteration();
    RuntimeUnlockObject(control);
  }
  test::TestWindow* window = nullptr;
  RuntimeObject* control = nullptr;
};

TEST_F(GroupBoxGuiTest, TheCaptionShowsOnTheFrameWithItsMnemonicsResolved) {
  vorn::TextStyle style;
  style.mBold = 1;
  auto* box = new GroupBox(window, 0, MakeRect(20, 20, 220, 120), string("Sky && Scope"), style);
  string caption = box->GetCaption();
  EXPECT_EQ(caption.View(), "Sky & Scope");
  EXPECT_EQ(caption.Encoding(), kEncodingUTF8) << "GTK's text is tagged as what it is";
  EXPECT_EQ(box->StoredCaption().View(), "Sky && Scope");
  EXPECT_EQ(box->Style().mBold, 1);

  box->SetCaption(string("Eyepiece"));
  EXPECT_EQ(box->GetCaption().View(), "Eyepiece") << "replaced at once";
}

TEST_F(GroupBoxGuiTest, MouseEventsCarryCoordinatesRelativeToTheBox) {
  auto* box = new GroupBox(window, 0, MakeRect(20, 30, 220, 130), string("Box"), vorn::TextStyle());
  box->SetOwner(control, test::TestMouseHooks());
  EXPECT_FALSE(window->MouseDown(25, 35, 0)) << "no handler: the click passes through";
  test::SetHandler(control, test::kEvMouseDown, reinterpret_cast<void*>(&GroupDown));
  test::SetHandler(control, test::kEvMouseDrag, reinterpret_cast<void*>(&GroupDrag));
  test::SetHandler(control, test::kEvMouseUp, reinterpret_cast<void*>(&GroupUp));
  EXPECT_TRUE(window->MouseDown(25, 35, 0));
  EXPECT_EQ(GetMouseCapturePane(), box);
  box->MouseDrag(40, 50);
  box->MouseUp(60, 70);
  ClearMouseCapturePane();
  EXPECT_EQ(gX[0], 5);
  EXPECT_EQ(gY[0], 5);
  EXPECT_EQ(gX[1], 20);
  EXPECT_EQ(gY[1], 20);
  EXPECT_EQ(gX[2], 40);
  EXPECT_EQ(gY[2], 40);
}

TEST_F(GroupBoxGuiTest, TheFrameAndCaptionDrawIntoAPort) {
  auto* box = new GroupBox(window, 0, MakeRect(20, 20, 220, 120), string("&Optics"), vorn::TextStyle());
  test::ShowAndSettle(window);
  test::PixmapPort pixmap(260, 150);
  box->DrawInto(pixmap.Port());
  pixmap.SavePNG(std::string(VORN_BINARY_DIR) + "/group_box_paint.png");
  EXPECT_GT(pixmap.InkIn(MakeRect(20, 20, 80, 40)), 20) << "caption";
  EXPECT_GT(pixmap.InkIn(MakeRect(20, 60, 24, 110)), 20) << "left edge of the frame";
  // The theme's box fills the inside with one colour; nothing else is drawn there.
  uint32_t inside = pixmap.PixelAt(40, 60);
  for (int32_t x = 40; x < 200; x += 7) {
    for (int32_t y = 60; y < 110; y += 5) EXPECT_EQ(pixmap.PixelAt(x, y), inside);
  }
  EXPECT_EQ(pixmap.InkIn(MakeRect(230, 0, 260, 150)), 0) << "nothing right of the box";
}

}  // namespace
}  // namespace vorn
