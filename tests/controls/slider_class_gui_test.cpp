// The Slider class as compiled code uses it: properties from a packed stream, a pane made by
// CreatePane, ValueChanged reaching a C function installed as the handler, and bounds that
// wait for each other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/scroller_class.h"
#include "controls/support/class_fixture.h"
#include "vorn/controls_api.h"

namespace vorn {
namespace {

using test::PackedStream;
using test::PumpFor;
using test::PictureTool;

enum : uint16_t { kMinimum = 26, kValue, kMaximum, kLineStep, kPageStep, kLiveScroll };

struct Seen {
  int changes = 0;
  std::vector<int32_t> values;
  std::vector<int32_t> previous;
  int32_t setInside = -1;  // the Value the handler sets, -1 for none
};
Seen gSeen;

extern "C" void SliderChanged(VornRuntimeObject* self, int32_t previous) {
  ++gSeen.changes;
  gSeen.values.push_back(scrollerPropGetter(self, kScrollerValue));
  gSeen.previous.push_back(previous);
  if (gSeen.setInside >= 0) scrollerPropSetter(self, kScrollerValue, gSeen.setInside);
}

class SliderClassTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    ControlClassTest::SetUp();
    gSeen = Seen();
  }

  RuntimeObject* NewSlider(int32_t minimum, int32_t maximum, int32_t value, bool live = true) {
    PackedStream stream;
    stream.Int(kMinimum, minimum).Int(kMaximum, maximum).Int(kLineStep, 1).Int(kPageStep, 20);
    stream.Int(kValue, value).Bool(kLiveScroll, live);
    RuntimeObject* slider = AddControl(GetSliderClassDefinition(), "Slider1", MakeRect(20, 40, 320, 70), host, &stream);
    Install(slider, "ValueChanged", reinterpret_cast<void*>(&SliderChanged));
    MakePane(slider);
    return slider;
  }

  static Scroller* PaneOf(RuntimeObject* slider) { return dynamic_cast<Scroller*>(ControlPane(AsControl(slider))); }
};

TEST_F(SliderClassTest, CreationAppliesTheStreamWithoutEvents) {
  RuntimeObject* slider = NewSlider(0, 100, 50);
  Scroller* pane = PaneOf(slider);
  ASSERT_NE(pane, nullptr);
  EXPECT_TRUE(pane->IsSlider());
  EXPECT_FALSE(pane->IsVertical());
  EXPECT_EQ(pane->GetParent(), native);
  EXPECT_EQ(gSeen.changes, 0) << "no ValueChanged while the pane is filled";
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerMinimum), 0);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerMaximum), 100);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerValue), 50);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerLineStep), 1);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerPageStep), 20);
  EXPECT_EQ(pane->WheelStep(), 1);
  EXPECT_TRUE(pane->LiveScroll());
  test::ShowAndSettle(native);
  EXPECT_EQ(gSeen.changes, 0) << "showing the window changes nothing";
  PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR + "/slider_class_created.png");
}

TEST_F(SliderClassTest, OneEventPerIntegerChangeAndNoneForTheHandlersOwnSet) {
  RuntimeObject* slider = NewSlider(0, 100, 50);
  scrollerPropSetter(slider, kScrollerValue, 51);
  scrollerPropSetter(slider, kScrollerValue, 51);
  scrollerPropSetter(slider, kScrollerValue, 53);
  ASSERT_EQ(gSeen.changes, 2);
  EXPECT_EQ(gSeen.values, (std::vector<int32_t>{51, 53}));
  EXPECT_EQ(gSeen.previous, (std::vector<int32_t>{50, 51})) << "the previous value rides along";

  // Clamping by a new maximum is a change too.
  scrollerPropSetter(slider, kScrollerMaximum, 40);
  EXPECT_EQ(gSeen.changes, 3);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerValue), 40);

  gSeen.setInside = 10;
  scrollerPropSetter(slider, kScrollerValue, 20);
  EXPECT_EQ(gSeen.changes, 4) << "the handler's own Value does not fire again";
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerValue), 10);
  gSeen.setInside = -1;
  scrollerPropSetter(slider, kScrollerValue, 11);
  EXPECT_EQ(gSeen.changes, 5) << "later changes are reported again";
  PumpFor(50);
  EXPECT_EQ(gSeen.changes, 5);
}

TEST_F(SliderClassTest, AnEmptyRangeDisablesTheSliderUntilTheOtherBoundArrives) {
  RuntimeObject* slider = NewSlider(10, 100, 50);
  Scroller* pane = PaneOf(slider);
  ASSERT_NE(pane, nullptr);
  EXPECT_TRUE(pane->IsEnabled());
  scrollerPropSetter(slider, kScrollerMaximum, 5);
  EXPECT_FALSE(pane->IsEnabled());
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerMaximum), 5);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerMinimum), 10);
  scrollerPropSetter(slider, kScrollerMinimum, 0);
  EXPECT_TRUE(pane->IsEnabled());
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerMinimum), 0);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerMaximum), 5);
  EXPECT_LE(scrollerPropGetter(slider, kScrollerValue), 5);
  EXPECT_FALSE(pane->MinimumPending() || pane->MaximumPending());
}

TEST_F(SliderClassTest, AStreamWhoseMaximumIsNotAboveItsMinimumMakesADisabledSlider) {
  RuntimeObject* slider = NewSlider(100, 100, 100);
  Scroller* pane = PaneOf(slider);
  ASSERT_NE(pane, nullptr);
  EXPECT_FALSE(pane->IsEnabled());
  EXPECT_EQ(gSeen.changes, 0);
  scrollerPropSetter(slider, kScrollerMaximum, 200);
  EXPECT_TRUE(pane->IsEnabled());
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerMinimum), 100);
}

TEST_F(SliderClassTest, DraggingTheThumbRunsTheCompiledHandler) {
  RuntimeObject* slider = NewSlider(0, 100, 50);
  test::ShowAndSettle(native);
  test::PressAndDrag(native, 170, 55, 10, 8);
  test::ReleaseMouse();
  PumpFor(200);
  EXPECT_GE(gSeen.changes, 2) << "live scrolling reports during the drag";
  int32_t value = scrollerPropGetter(slider, kScrollerValue);
  EXPECT_GT(value, 60);
  ASSERT_FALSE(gSeen.values.empty());
  EXPECT_EQ(gSeen.values.back(), value);
  PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR + "/slider_class_dragged.png");
}

TEST_F(SliderClassTest, WithoutLiveScrollADragReportsOnceAtTheRelease) {
  RuntimeObject* slider = NewSlider(0, 100, 50, false);
  test::ShowAndSettle(native);
  test::PressAndDrag(native, 170, 55, -10, 6);
  EXPECT_EQ(gSeen.changes, 0);
  test::ReleaseMouse();
  PumpFor(300);
  EXPECT_EQ(gSeen.changes, 1);
  EXPECT_LT(scrollerPropGetter(slider, kScrollerValue), 40);
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

class ScrollBarClassTest : public test::ControlClassTest {};

// The window's wheel dispatch raises MouseWheel first (the runtime window tests); the pane
// itself only moves by the line step it took from the control.
TEST_F(ScrollBarClassTest, ATallScrollBarIsVerticalTakesItsFocusWishAndItsLineStepForTheWheel) {
  test::PackedStream stream;
  stream.Int(26, 0).Int(28, 50).Int(29, 5).Int(30, 10).Int(27, 20).Bool(32, true);
  RuntimeObject* bar = AddControl(GetScrollBarClassDefinition(), "Bar", MakeRect(350, 20, 366, 220), host, &stream);
  MakePane(bar);
  auto* pane = dynamic_cast<Scroller*>(ControlPane(AsControl(bar)));
  ASSERT_NE(pane, nullptr);
  EXPECT_FALSE(pane->IsSlider());
  EXPECT_TRUE(pane->IsVertical());
  EXPECT_TRUE(pane->AcceptFocus());
  EXPECT_EQ(scrollerPropGetter(bar, kScrollerAcceptFocus), 1);
  EXPECT_EQ(scrollerPropGetter(bar, kScrollerPageStep), 10);
  EXPECT_TRUE(pane->MouseWheel(355, 100, 1));
  EXPECT_EQ(scrollerPropGetter(bar, kScrollerValue), 25);
  EXPECT_TRUE(pane->MouseWheel(355, 100, -2));
  EXPECT_EQ(scrollerPropGetter(bar, kScrollerValue), 15);
  ScrollerLiveScrollSetter(bar, 0, 0);
  EXPECT_FALSE(pane->LiveScroll());
}

}  // namespace
}  // namespace vorn
