// Scroll bars and sliders on a real display: bounds held pending, integer value reports, the
// routers' busy count, dragging with the mouse, mouse events, painting into a port.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "controls/scroller.h"
#include "controls/scroller_router.h"
#include "controls/support/control_test_support.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

using test::NewTestControl;
using test::PumpFor;
using test::SetHandler;
using test::PictureTool;
using test::Shell;

// What the compiled handlers below saw.
struct Seen {
  int valueChanged = 0;
  std::vector<int32_t> values;
  int mouseDowns = 0;
  int mouseUps = 0;
  int32_t downX = -1, downY = -1;
  uint8_t takeMouse = 0;
  int32_t setOnChange = -1;  // Value the ValueChanged handler sets, -1 for none
};
Seen gSeen;
Scroller* gPane = nullptr;

extern "C" void TestValueChanged(RuntimeObject*) {
  ++gSeen.valueChanged;
  gSeen.values.push_back(gPane->GetValue());
  if (gSeen.setOnChange >= 0) gPane->SetValue(gSeen.setOnChange);
}

extern "C" uint8_t TestMouseDown(RuntimeObject*, int32_t x, int32_t y) {
  ++gSeen.mouseDowns;
  gSeen.downX = x;
  gSeen.downY = y;
  return gSeen.takeMouse;
}

extern "C" void TestMouseUp(RuntimeObject*, int32_t, int32_t) { ++gSeen.mouseUps; }

class ScrollerGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::EnsureDisplay()) << "needs an X display";
    gSeen = Seen();
    window = new test::TestWindow(MakeRect(120, 120, 520, 320));
    control = NewTestControl();
  }

  void TearDown() override {
    window->Close();
    test::RunLoopIteration();
    delete router;
    RuntimeUnlockObject(control);
    gPane = nullptr;
  }

  // A slider made the way the Slider class makes it.
  Scroller* MakeSlider(const test::TestControlObject& fields, bool live = true) {
    router = new RuntimeSliderRouter(control, test::TestScrollerHooks());
    ScrollerFields f = fields.scroller;
    f.liveScroll = live;
    Scroller* pane = Scroller::NewSlider(router, window, 0, MakeRect(20, 40, 320, 70), live);
    pane->SetOwner(control, test::TestMouseHooks());
    gPane = pane;
    FillScrollerPane(pane, router, f);
    return pane;
  }

  static test::TestControlObject SliderFields(int32_t min, int32_t max, int32_t value) {
    test::TestControlObject o{};
    o.scroller = {min, value, max, 1, 20, 1, 0};
    return o;
  }

  test::TestWindow* window = nullptr;
  RuntimeObject* control = nullptr;
  RuntimeScrollerRouter* router = nullptr;
};

TEST_F(ScrollerGuiTest, NewPanesStartAtZeroToHundredAndTakeTheirOrientationFromTheBounds) {
  Scroller* bar = Scroller::NewScrollBar(nullptr, window, 0, MakeRect(10, 10, 210, 26), true);
  EXPECT_FALSE(bar->IsVertical());
  EXPECT_FALSE(bar->IsSlider());
  EXPECT_EQ(bar->GetMinimum(), 0);
  EXPECT_EQ(bar->GetMaximum(), 100);
  EXPECT_EQ(bar->GetLineStep(), 1);
  EXPECT_EQ(bar->GetPageStep(), 20);
  EXPECT_TRUE(GTK_IS_HSCROLLBAR(bar->Widget()));

  Scroller* square = Scroller::NewSlider(nullptr, window, 0, MakeRect(10, 40, 50, 80), false);
  EXPECT_FALSE(square->IsVertical()) << "a square pane is horizontal";
  EXPECT_TRUE(GTK_IS_HSCALE(square->Widget()));
  EXPECT_FALSE(gtk_scale_get_draw_value(GTK_SCALE(square->Widget())));
  EXPECT_EQ(gtk_range_get_update_policy(GTK_RANGE(square->Widget())), GTK_UPDATE_DISCONTINUOUS);

  Scroller* tall = Scroller::NewScrollBar(nullptr, window, 0, MakeRect(300, 10, 316, 190), true);
  EXPECT_TRUE(tall->IsVertical());
  EXPECT_TRUE(GTK_IS_VSCROLLBAR(tall->Widget()));
  EXPECT_EQ(gtk_range_get_update_policy(GTK_RANGE(tall->Widget())), GTK_UPDATE_CONTINUOUS);
}

TEST_F(ScrollerGuiTest, AnEmptyRangeWaitsDisabledUntilTheOtherBoundMakesItValid) {
  Scroller* pane = Scroller::NewSlider(nullptr, window, 0, MakeRect(20, 40, 320, 70), true);
  pane->SetMinimum(10);
  pane->SetMaximum(5);
  EXPECT_FALSE(pane->IsEnabled());
  EXPECT_TRUE(pane->MaximumPending());
  EXPECT_EQ(pane->GetMaximum(), 5);
  EXPECT_EQ(pane->GetMinimum(), 10);
  GtkAdjustment* adjustment = gtk_range_get_adjustment(GTK_RANGE(pane->Widget()));
  EXPECT_LT(adjustment->lower, adjustment->upper) << "GTK never sees an empty range";

  pane->SetMinimum(0);
  EXPECT_TRUE(pane->IsEnabled());
  EXPECT_FALSE(pane->MaximumPending());
  EXPECT_FALSE(pane->MinimumPending());
  EXPECT_EQ(pane->GetMinimum(), 0);
  EXPECT_EQ(pane->GetMaximum(), 5);
  EXPECT_DOUBLE_EQ(adjustment->lower, 0.0);
  EXPECT_DOUBLE_EQ(adjustment->upper, 5.0);

  // A minimum equal to the maximum waits too.
  pane->SetMinimum(5);
  EXPECT_TRUE(pane->MinimumPending());
  EXPECT_FALSE(pane->IsEnabled());
  EXPECT_EQ(pane->GetMinimum(), 5);
  pane->SetMaximum(8);
  EXPECT_TRUE(pane->IsEnabled());
  EXPECT_EQ(pane->GetMinimum(), 5);
  EXPECT_EQ(pane->GetMaximum(), 8);
}

TEST_F(ScrollerGuiTest, ValidBoundsDoNotEnableAPaneThatWasDisabledOnPurpose) {
  Scroller* pane = Scroller::NewScrollBar(nullptr, window, 0, MakeRect(20, 40, 320, 56), true);
  pane->SetEnabled(false, true);
  pane->SetMaximum(50);
  pane->SetMinimum(10);
  EXPECT_FALSE(pane->IsEnabled());
  EXPECT_EQ(pane->GetMinimum(), 10);
  EXPECT_EQ(pane->GetMaximum(), 50);
}

TEST_F(ScrollerGuiTest, ASliderReportsEachIntegerChangeOnceAndNothingWhileBeingFilled) {
  SetHandler(control, test::kEvValueChanged, reinterpret_cast<void*>(&TestValueChanged));
  Scroller* pane = MakeSlider(SliderFields(0, 100, 50));
  EXPECT_EQ(gSeen.valueChanged, 0) << "creation fires nothing";
  EXPECT_EQ(pane->GetValue(), 50);
  EXPECT_EQ(pane->GetLineStep(), 1);
  EXPECT_EQ(pane->GetPageStep(), 20);
  EXPECT_EQ(pane->WheelStep(), 1);

  pane->SetValue(51);
  EXPECT_EQ(gSeen.valueChanged, 1);
  gtk_range_set_value(GTK_RANGE(pane->Widget()), 51.6);
  EXPECT_EQ(gSeen.valueChanged, 1) << "a fraction within the same integer is not reported";
  EXPECT_EQ(pane->GetValue(), 51) << "the value reads truncated";
  gtk_range_set_value(GTK_RANGE(pane->Widget()), 53.2);
  EXPECT_EQ(gSeen.valueChanged, 2);
  pane->SetValue(53);
  EXPECT_EQ(gSeen.valueChanged, 2) << "no change, no event";

  // Clamping by a new maximum is a change too.
  pane->SetMaximum(40);
  EXPECT_EQ(gSeen.valueChanged, 3);
  EXPECT_EQ(gSeen.values.back(), 40);
}

TEST_F(ScrollerGuiTest, AValueSetInsideTheHandlerMovesTheSliderWithoutAnotherEvent) {
  SetHandler(control, test::kEvValueChanged, reinterpret_cast<void*>(&TestValueChanged));
  Scroller* pane = MakeSlider(SliderFields(0, 100, 50));
  gSeen.setOnChange = 10;
  pane->SetValue(70);
  EXPECT_EQ(gSeen.valueChanged, 1);
  EXPECT_EQ(pane->GetValue(), 10);
  EXPECT_EQ(router->BusyCount(), 0);
  gSeen.setOnChange = -1;
  pane->SetValue(11);
  EXPECT_EQ(gSeen.valueChanged, 2) << "the next change is heard again";
}

TEST_F(ScrollerGuiTest, AMinimumAboveTheStartRangeWaitsForItsMaximumDuringCreation) {
  Scroller* pane = MakeSlider(SliderFields(150, 300, 200));
  EXPECT_TRUE(pane->IsEnabled());
  EXPECT_EQ(pane->GetMinimum(), 150);
  EXPECT_EQ(pane->GetMaximum(), 300);
  EXPECT_EQ(pane->GetValue(), 200);

  Scroller* empty = Scroller::NewSlider(nullptr, window, 0, MakeRect(20, 100, 320, 130), true);
  RuntimeSliderRouter quiet(nullptr, nullptr);
  test::TestControlObject o = SliderFields(7, 7, 7);
  FillScrollerPane(empty, &quiet, o.scroller);
  EXPECT_FALSE(empty->IsEnabled()) << "Maximum equal to Minimum leaves the slider disabled";
}

TEST_F(ScrollerGuiTest, DraggingTheThumbRaisesValueChangedInTheCompiledHandler) {
  SetHandler(control, test::kEvValueChanged, reinterpret_cast<void*>(&TestValueChanged));
  Scroller* pane = MakeSlider(SliderFields(0, 100, 50));
  test::ShowAndSettle(window);
  // The thumb sits in the middle of the 300-pixel pane.
  test::PressAndDrag(window, 170, 55, 10, 8);
  test::ReleaseMouse();
  PumpFor(200);
  EXPECT_GE(gSeen.valueChanged, 2) << "live scrolling reports during the drag";
  EXPECT_GT(pane->GetValue(), 60);
  ASSERT_FALSE(gSeen.values.empty());
  EXPECT_EQ(gSeen.values.back(), pane->GetValue());
  for (size_t i = 1; i < gSeen.values.size(); ++i) EXPECT_NE(gSeen.values[i], gSeen.values[i - 1]);
  PictureTool("import -window root " + std::string(VORN_BINARY_DIR) + "/slider_drag.png");
}

TEST_F(ScrollerGuiTest, AMouseDownHandlerThatAnswersTrueTakesTheClickFromGtk) {
  SetHandler(control, test::kEvValueChanged, reinterpret_cast<void*>(&TestValueChanged));
  SetHandler(control, test::kEvMouseDown, reinterpret_cast<void*>(&TestMouseDown));
  SetHandler(control, test::kEvMouseUp, reinterpret_cast<void*>(&TestMouseUp));
  Scroller* pane = MakeSlider(SliderFields(0, 100, 50));
  gSeen.takeMouse = 1;
  test::ShowAndSettle(window);
  int32_t x, y;
  test::ScreenPoint(window, 30, 50, &x, &y);
  Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
  PumpFor(200);
  EXPECT_EQ(gSeen.mouseDowns, 1);
  EXPECT_EQ(gSeen.downX, 10) << "coordinates relative to the control";
  EXPECT_EQ(gSeen.downY, 10);
  EXPECT_EQ(gSeen.mouseUps, 1) << "the release goes to the tracking pane";
  EXPECT_EQ(pane->GetValue(), 50) << "GTK did not move the slider";
  EXPECT_EQ(gSeen.valueChanged, 0);
  EXPECT_EQ(GetMouseCapturePane(), nullptr);
}

// A pane closed while still held keeps its widget; what GTK delivers to it reaches no handler.
TEST_F(ScrollerGuiTest, AClosedPaneHearsNothingMoreFromItsWidget) {
  SetHandler(control, test::kEvValueChanged, reinterpret_cast<void*>(&TestValueChanged));
  SetHandler(control, test::kEvMouseDown, reinterpret_cast<void*>(&TestMouseDown));
  Scroller* pane = MakeSlider(SliderFields(0, 100, 50));
  test::ShowAndSettle(window);
  GtkWidget* widget = pane->Widget();
  pane->Lock();
  pane->Close();
  gtk_range_set_value(GTK_RANGE(widget), 70);
  GdkEvent* press = gdk_event_new(GDK_BUTTON_PRESS);
  press->button.window = GDK_WINDOW(g_object_ref(widget->window));
  press->button.button = 1;
  gtk_widget_event(widget, press);
  gdk_event_free(press);
  EXPECT_EQ(gSeen.valueChanged, 0);
  EXPECT_EQ(gSeen.mouseDowns, 0);
  EXPECT_TRUE(pane->Release()) << "the last hold lets it go";
}

TEST_F(ScrollerGuiTest, TheWheelMovesByTheLineStep) {
  Scroller* pane = MakeSlider(SliderFields(0, 100, 50));
  EXPECT_TRUE(pane->MouseWheel(30, 50, 3));
  EXPECT_EQ(pane->GetValue(), 53);
  EXPECT_TRUE(pane->MouseWheel(30, 50, -100));
  EXPECT_EQ(pane->GetValue(), 0) << "GTK clamps to the range";
}

TEST_F(ScrollerGuiTest, ScrollBarsAndSlidersPaintIntoAPort) {
  Scroller* bar = Scroller::NewScrollBar(nullptr, window, 0, MakeRect(10, 10, 210, 30), true);
  Scroller* slider = Scroller::NewSlider(nullptr, window, 0, MakeRect(10, 60, 210, 90), true);
  Scroller* empty = Scroller::NewSlider(nullptr, window, 0, MakeRect(10, 120, 210, 150), true);
  bar->SetValue(60);
  slider->SetValue(25);
  empty->SetMaximum(0);  // pending: minimum equals maximum
  test::ShowAndSettle(window);

  test::PixmapPort pixmap(240, 170);
  bar->DrawInto(pixmap.Port());
  slider->DrawInto(pixmap.Port());
  empty->DrawInto(pixmap.Port());
  pixmap.SavePNG(std::string(VORN_BINARY_DIR) + "/scroller_paint.png");
  EXPECT_GT(pixmap.InkIn(MakeRect(10, 10, 210, 30)), 200);
  EXPECT_GT(pixmap.InkIn(MakeRect(10, 60, 210, 90)), 200);
  EXPECT_GT(pixmap.InkIn(MakeRect(10, 120, 210, 150)), 200);
  EXPECT_EQ(pixmap.InkIn(MakeRect(0, 35, 240, 55)), 0) << "nothing outside the panes";
}

}  // namespace
}  // namespace vorn
