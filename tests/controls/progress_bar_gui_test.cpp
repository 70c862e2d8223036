// ProgressBar on a real display: the widget's fraction is Value/Maximum, a Maximum below 1
// pulses, the drawn bar fills the trough in proportion, and clicks reach MouseDown relative
// to the bar.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "controls/control_support.h"
#include "controls/progress_bar_class.h"
#include "controls/progress_bar_pane.h"
#include "controls/support/class_fixture.h"
#include "controls/support/mouse_down_recorder.h"
#include "support/gui_support.h"
#include "support/window_pixels.h"
#include "vorn/controls2_api.h"

namespace vorn {
namespace {

class ProgressBarGuiTest : public test::ControlClassTest {
 protected:
  RuntimeObject* AddBar(const Rect& bounds, int32_t value, int32_t maximum) {
    test::PackedStream stream;
    stream.Int(26, value).Int(27, maximum);
    RuntimeObject* bar = AddControl(GetProgressBarClassDefinition(), "Progress", bounds, host, &stream);
    MakePane(bar);
    return bar;
  }
  static ProgressBar* PaneOf(RuntimeObject* bar) { return ControlPaneAs<ProgressBar>(bar); }
  static double Fraction(RuntimeObject* bar) {
    return gtk_progress_bar_get_fraction(GTK_PROGRESS_BAR(PaneOf(bar)->Widget()));
  }
};

TEST_F(ProgressBarGuiTest, FractionFollowsValueOverMaximum) {
  RuntimeObject* bar = AddBar(MakeRect(20, 20, 320, 44), 30, 120);
  ASSERT_NE(PaneOf(bar), nullptr);
  EXPECT_FALSE(PaneOf(bar)->IsPulsing());
  EXPECT_DOUBLE_EQ(Fraction(bar), 0.25) << "the stream's Value and Maximum reach the widget";
  progressValueSetter(bar, 0, 90);
  EXPECT_DOUBLE_EQ(Fraction(bar), 0.75);
  progressValueSetter(bar, 0, 500);
  EXPECT_DOUBLE_EQ(Fraction(bar), 1.0);
  EXPECT_EQ(progressValueGetter(bar, 0), 500);
  progressValueSetter(bar, 0, -7);
  EXPECT_DOUBLE_EQ(Fraction(bar), 0.0);
  progressMaximumSetter(bar, 0, 10);
  progressValueSetter(bar, 0, 4);
  EXPECT_DOUBLE_EQ(Fraction(bar), 0.4);
}

TEST_F(ProgressBarGuiTest, TheScreenShowsTheBarFilledInProportion) {
  RuntimeObject* bar = AddBar(MakeRect(20, 60, 320, 84), 50, 100);
  test::ShowAndSettle(native);
  test::FlushWindowDrawing(native);
  // Left of the middle the bar is drawn, right of it the empty trough: two different colours
  // on one row, and the same colour on each side.
  uint32_t filled = test::WindowScreenPixel(native, 60, 72);
  uint32_t empty = test::WindowScreenPixel(native, 280, 72);
  EXPECT_NE(filled, empty);
  EXPECT_EQ(test::WindowScreenPixel(native, 120, 72), filled);
  EXPECT_EQ(test::WindowScreenPixel(native, 220, 72), empty);
  progressValueSetter(bar, 0, 100);
  test::FlushWindowDrawing(native);
  EXPECT_EQ(test::WindowScreenPixel(native, 280, 72), filled) << "a full bar reaches the right end";
}

TEST_F(ProgressBarGuiTest, AMaximumBelowOnePulsesUntilAMaximumIsSet) {
  RuntimeObject* bar = AddBar(MakeRect(20, 100, 320, 124), 5, 0);
  ProgressBar* pane = PaneOf(bar);
  EXPECT_TRUE(pane->IsPulsing());
  test::ShowAndSettle(native);
  GtkProgress* progress = GTK_PROGRESS(pane->Widget());
  test::PumpFor(400);
  EXPECT_TRUE(progress->activity_mode) << "the pulse task moved the bar";

  progressMaximumSetter(bar, 0, 100);
  EXPECT_FALSE(pane->IsPulsing());
  EXPECT_DOUBLE_EQ(Fraction(bar), 0.05) << "the stored value shows against the new maximum";
  progressMaximumSetter(bar, 0, -1);
  EXPECT_TRUE(pane->IsPulsing());
  progressMaximumSetter(bar, 0, -3);
  EXPECT_TRUE(pane->IsPulsing()) << "still one task";
}

TEST_F(ProgressBarGuiTest, ClicksReachMouseDownRelativeToTheBar) {
  RuntimeObject* bar = AddBar(MakeRect(40, 140, 240, 164), 10, 100);
  Install(bar, "MouseDown", reinterpret_cast<void*>(&RecordMouseDown));
  test::ShowAndSettle(native);
  test::ResetRecordedMouseDowns();
  test::ClickAt(native, 70, 150);
  EXPECT_EQ(test::RecordedMouseDowns().count, 1);
  EXPECT_EQ(test::RecordedMouseDowns().x, 30);
  EXPECT_EQ(test::RecordedMouseDowns().y, 10);
}

}  // namespace
}  // namespace vorn
