// Static texts on a real display: captions with mnemonics, alignment, wrapping, colour,
// clicks that pass through, and drawing into a port.
#include <gtest/gtest.h>
#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include <string>

#include "controls/static_text_pane.h"
#include "controls/support/control_test_support.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

int gDowns = 0;
int32_t gDownX = -1, gDownY = -1;
uint8_t gTake = 0;
int gDrags = 0;
int gUps = 0;

extern "C" uint8_t TextMouseDown(RuntimeObject*, int32_t x, int32_t y) {
  ++gDowns;
  gDownX = x;
  gDownY = y;
  return gTake;
}
extern "C" void TextMouseDrag(RuntimeObject*, int32_t, int32_t) { ++gDrags; }
extern "C" void TextMouseUp(RuntimeObject*, int32_t, int32_t) { ++gUps; }

class StaticTextGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::EnsureDisplay()) << "needs an X display";
    gDowns = gDrags = gUps = 0;
    gTake = 0;
    window = new test::TestWindow(MakeRect(160, 160, 560, 400));
    control = test::NewTestControl();
  }
  void TearDown() override {
    window->Close();
    test::RunLoopIteration();
    RuntimeUnlockObject(control);
  }
  StaticTextGeneric* MakeText(const Rect& bounds) {
    auto* pane = new StaticTextGeneric(window, 0, bounds);
    pane->SetOwner(control, test::TestStaticTextHooks());
    return pane;
  }
  static const char* LabelText(StaticText* pane) { return gtk_label_get_text(GTK_LABEL(pane->Widget())); }

  test::TestWindow* window = nullptr;
  RuntimeObject* control = nullptr;
};

TEST_F(StaticTextGuiTest, AmpersandsBecomeMnemonicsAndADoubledOneShowsOnce) {
  StaticTextGeneric* pane = MakeText(MakeRect(10, 10, 210, 30));
  pane->SetText(string("Fish && Chips"));
  EXPECT_STREQ(LabelText(pane), "Fish & Chips");
  EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(pane->Widget())), static_cast<guint>(GDK_VoidSymbol));
  pane->SetText(string("&Limit"));
  EXPECT_STREQ(LabelText(pane), "Limit");
  EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(pane->Widget())), static_cast<guint>('l'));

  int32_t updates = pane->LabelUpdates();
  pane->SetText(string("&Limit"));
  EXPECT_EQ(pane->LabelUpdates(), updates) << "the caption it already shows is not set again";
}

TEST_F(StaticTextGuiTest, AlignmentAndWrappingMapOntoTheLabel) {
  StaticTextGeneric* pane = MakeText(MakeRect(10, 10, 210, 60));
  gfloat x, y;
  gtk_misc_get_alignment(GTK_MISC(pane->Widget()), &x, &y);
  EXPECT_FLOAT_EQ(x, 0.0f);
  EXPECT_FLOAT_EQ(y, 0.5f);

  pane->SetAlignment(kStaticAlignRight);
  gtk_misc_get_alignment(GTK_MISC(pane->Widget()), &x, &y);
  EXPECT_FLOAT_EQ(x, 1.0f);
  EXPECT_EQ(gtk_label_get_justify(GTK_LABEL(pane->Widget())), GTK_JUSTIFY_RIGHT);

  pane->SetAlignment(3);
  EXPECT_EQ(pane->Alignment(), 3) << "kept for reading back";
  gtk_misc_get_alignment(GTK_MISC(pane->Widget()), &x, &y);
  EXPECT_FLOAT_EQ(x, 1.0f) << "the label keeps its previous alignment";

  pane->SetAlignment(kStaticAlignCenter);
  pane->SetMultiLine(true);
  gtk_misc_get_alignment(GTK_MISC(pane->Widget()), &x, &y);
  EXPECT_FLOAT_EQ(x, 0.5f);
  EXPECT_FLOAT_EQ(y, 0.0f) << "a wrapped caption sits at the top";
  EXPECT_TRUE(gtk_label_get_line_wrap(GTK_LABEL(pane->Widget())));
}

TEST_F(StaticTextGuiTest, TheFirstTextColourIsAppliedEvenWhenItIsBlack) {
  StaticTextGeneric* pane = MakeText(MakeRect(10, 10, 210, 30));
  pane->SetTextColor(0x000000);
  GtkRcStyle* modifier = gtk_widget_get_modifier_style(pane->Widget());
  ASSERT_TRUE(modifier->color_flags[GTK_STATE_NORMAL] & GTK_RC_FG);
  EXPECT_EQ(modifier->fg[GTK_STATE_NORMAL].red, 0);

  pane->SetTextColor(0xFF8001);
  modifier = gtk_widget_get_modifier_style(pane->Widget());
  EXPECT_EQ(modifier->fg[GTK_STATE_NORMAL].red, 0xFFFF) << "bytes widen by 257";
  EXPECT_EQ(modifier->fg[GTK_STATE_NORMAL].green, 0x8080);
  EXPECT_EQ(modifier->fg[GTK_STATE_NORMAL].blue, 0x0101);
  EXPECT_EQ(pane->TextColor(), 0xFF8001u);
}

TEST_F(StaticTextGuiTest, AClickWithoutHandlerReachesThePaneBeneath) {
  auto* beneath = new test::ClickCounter(window, MakeRect(0, 0, 400, 240));
  StaticTextGeneric* pane = MakeText(MakeRect(20, 20, 220, 40));
  EXPECT_TRUE(window->MouseDown(30, 25, 0));
  EXPECT_EQ(beneath->clicks, 1);
  EXPECT_FALSE(pane->MouseTracking());

  test::SetHandler(control, test::kEvMouseDown, reinterpret_cast<void*>(&TextMouseDown));
  test::SetHandler(control, test::kEvMouseDrag, reinterpret_cast<void*>(&TextMouseDrag));
  test::SetHandler(control, test::kEvMouseUp, reinterpret_cast<void*>(&TextMouseUp));
  EXPECT_TRUE(window->MouseDown(30, 25, 0));
  EXPECT_EQ(gDowns, 1);
  EXPECT_EQ(beneath->clicks, 2) << "a handler answering False passes the click on";
  pane->MouseDrag(40, 30);
  pane->MouseUp(40, 30);
  EXPECT_EQ(gDrags + gUps, 0) << "no drag or release without tracking";

  gTake = 1;
  EXPECT_TRUE(window->MouseDown(35, 28, 0));
  EXPECT_EQ(beneath->clicks, 2);
  EXPECT_EQ(gDownX, 15);
  EXPECT_EQ(gDownY, 8);
  EXPECT_EQ(GetMouseCapturePane(), pane);
  pane->MouseDrag(40, 30);
  pane->MouseUp(40, 30);
  EXPECT_EQ(gDrags, 1);
  EXPECT_EQ(gUps, 1);
  ClearMouseCapturePane();

  pane->SetEnabled(false, true);
  EXPECT_TRUE(window->MouseDown(30, 25, 0));
  EXPECT_EQ(gDowns, 2) << "a disabled text fires nothing";
}

TEST_F(StaticTextGuiTest, TheCaptionDrawsIntoAPortInItsColourAndAlignment) {
  StaticTextGeneric* left = MakeText(MakeRect(10, 10, 210, 30));
  left->SetText(string("W&&W\rWW"));
  left->SetTextColor(0xFF0000);
  StaticTextGeneric* right = MakeText(MakeRect(10, 60, 210, 80));
  right->SetText(string("WWW"));
  right->SetAlignment(kStaticAlignRight);
  right->SetEnabled(false, true);
  test::ShowAndSettle(window);

  test::PixmapPort pixmap(240, 120);
  left->DrawInto(pixmap.Port());
  right->DrawInto(pixmap.Port());
  pixmap.SavePNG(std::string(VORN_BINARY_DIR) + "/static_text_paint.png");
  EXPECT_GT(pixmap.InkIn(MakeRect(10, 10, 60, 30)), 20);
  EXPECT_EQ(pixmap.InkIn(MakeRect(100, 10, 210, 30)), 0) << "left aligned";
  EXPECT_GT(pixmap.InkIn(MakeRect(160, 60, 210, 80)), 20);
  EXPECT_EQ(pixmap.InkIn(MakeRect(10, 60, 120, 80)), 0) << "right aligned";
  EXPECT_EQ(pixmap.InkIn(MakeRect(0, 30, 240, 60)), 0) << "the second line is clipped to the pane";
  int32_t red = 0;
  for (int32_t x = 10; x < 60; ++x) {
    for (int32_t y = 10; y < 30; ++y) {
      uint32_t p = pixmap.PixelAt(x, y);
      if ((p >> 16) > 0xC0 && (p & 0xFFFF) < 0x4040) ++red;
    }
  }
  EXPECT_GT(red, 5);
  EXPECT_GT(left->GetBaseline(), 0);
}

}  // namespace
}  // namespace vorn
