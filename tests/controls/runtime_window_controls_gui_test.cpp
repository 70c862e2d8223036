// The concrete controls in a runtime window, built the way compiled code builds them: a
// window class whose CreateControls adds a Slider subclass and a StaticText subclass with
// packed property streams, the slider's ValueChanged implemented by its class, and the
// handler writing the reading into the static text.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/embedded_window_control.h"
#include "controls/scroller_class.h"
#include "controls/static_text_class.h"
#include "controls/support/runtime_window_controls.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "vorn/class_abi.h"
#include "vorn/controls_api.h"
#include "vorn/window_api.h"
#include "windows/runtime_window.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

struct CalcWindowObject {
  WindowObject window;
  RuntimeObject* slider;  // held, as compiled code keeps its controls in fields
  RuntimeObject* reading;
};

struct Seen {
  int changes = 0;
  int32_t lastValue = -1;
};
Seen gSeen;
RuntimeClass* sSliderClass = nullptr;
RuntimeClass* sTextClass = nullptr;
RuntimeClass* sWindowClass = nullptr;

CalcWindowObject* Calc(RuntimeObject* self) { return reinterpret_cast<CalcWindowObject*>(self); }

// The slider's class handler: the reading follows the slider.
void OnSliderChanged(VornRuntimeObject* self) {
  ++gSeen.changes;
  gSeen.lastValue = scrollerPropGetter(self, kScrollerValue);
  RuntimeObject* window = AsControl(self)->window;
  if (!window || !Calc(window)->reading) return;
  std::string text = "Power " + std::to_string(gSeen.lastValue) + "x";
  staticCaptionSetter(Calc(window)->reading, 0, string(text.c_str()).Rep());
}

void OnLayout(VornRuntimeObject* self) {
  windowPosSetter(self, 0, 150);
  windowPosSetter(self, 1, 150);
  windowPosSetter(self, 2, 360);
  windowPosSetter(self, 3, 120);
  windowTitleSetter(self, 0, string("Limiting magnitude").Rep());
}

void OnCreateControls(VornRuntimeObject* self) {
  test::PackedStream range;
  range.Int(26, 0).Int(28, 100).Int(29, 1).Int(30, 20).Int(27, 50).Bool(31, true);
  Calc(self)->slider = test::AddWindowControl(self, sSliderClass, "Power", MakeRect(20, 20, 320, 50), range);
  test::PackedStream caption;
  caption.Text(27, "Power 50x").Int(28, 2);
  Calc(self)->reading = test::AddWindowControl(self, sTextClass, "Reading", MakeRect(20, 60, 320, 84), caption);
}

void CalcWindowFinalizer(VornRuntimeObject* self) {
  RuntimeUnlockObject(Calc(self)->slider);
  RuntimeUnlockObject(Calc(self)->reading);
  Calc(self)->slider = Calc(self)->reading = nullptr;
}

void EnsureClasses() {
  if (sWindowClass) return;
  SetRuntimeErrorPresenter(nullptr);
  sSliderClass = test::MakeClass("CalcSlider", "Slider", sizeof(ScrollerObject),
                                 {{"#ValueChanged%%o<CalcSlider>", Fn(&OnSliderChanged), nullptr, 0}});
  sTextClass = test::MakeClass("CalcReading", "StaticText", sizeof(StaticTextObject), {});
  sWindowClass = test::MakeClass("CalcWindow", "Window", sizeof(CalcWindowObject),
                                 {{"#Layout%%o<CalcWindow>", Fn(&OnLayout), nullptr, 0},
                                  {"#CreateControls%%o<CalcWindow>", Fn(&OnCreateControls), nullptr, 0}},
                                 {Fn(&CalcWindowFinalizer), nullptr});
}

TEST(RuntimeWindowControlsTest, ACompiledSliderDrivesAStaticTextInARuntimeWindow) {
  ASSERT_TRUE(test::EnsureDisplay());
  test::PrepareRuntimeWindows();
  EnsureClasses();
  ASSERT_NE(sSliderClass, nullptr);
  ASSERT_NE(sWindowClass, nullptr);
  gSeen = Seen();
  RuntimeObject* window = RuntimeNewObject(sWindowClass);
  WindowDefaultConstructor(window);
  test::RunLoopIteration();
  RuntimeObject* slider = Calc(window)->slider;
  RuntimeObject* reading = Calc(window)->reading;
  ASSERT_NE(slider, nullptr);
  auto* pane = dynamic_cast<Scroller*>(ControlPane(AsControl(slider)));
  ASSERT_NE(pane, nullptr) << "the window layer made the pane through SliderCreatePane";
  EXPECT_EQ(pane->GetWindow(), GetWindowPaneOf(window));
  EXPECT_EQ(gSeen.changes, 0) << "nothing fires while the window is built";
  auto* label = dynamic_cast<StaticText*>(ControlPane(AsControl(reading)));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Alignment(), 2);

  test::ShowAndSettle(GetWindowPaneOf(window));
  scrollerPropSetter(slider, kScrollerValue, 80);
  EXPECT_EQ(gSeen.changes, 1);
  EXPECT_EQ(std::string(gtk_label_get_text(GTK_LABEL(label->Widget()))), "Power 80x");
  test::PumpFor(150);
  test::Shell("import -window " + std::to_string(test::XidOf(GetWindowPaneOf(window))) + " " + VORN_BINARY_DIR +
              "/runtime_window_controls.png");

  test::CloseAndRelease(window);
}

// Handles are whole values: the window's is its X window id, which X itself knows by the
// window's title; each control's is its own, kept while it lives and never given again.
TEST(RuntimeWindowControlsTest, HandlesNameTheXWindowAndEachControlForItsLife) {
  ASSERT_TRUE(test::EnsureDisplay());
  test::PrepareRuntimeWindows();
  EnsureClasses();
  std::vector<int32_t> seen;
  for (int round = 0; round < 2; ++round) {
    RuntimeObject* window = RuntimeNewObject(sWindowClass);
    WindowDefaultConstructor(window);
    test::RunLoopIteration();
    Window* native = GetWindowPaneOf(window);
    test::ShowAndSettle(native);
    const int32_t handle = WindowHandleGetter(window, 0);
    EXPECT_EQ(static_cast<unsigned long>(handle), test::XidOf(native));
    EXPECT_EQ(test::Shell("xdotool getwindowname " + std::to_string(handle)), "Limiting magnitude\n");
    for (RuntimeObject* control : {Calc(window)->slider, Calc(window)->reading}) {
      const int32_t first = controlMacControlHandleGetter(control, 0);
      EXPECT_NE(first, 0);
      EXPECT_NE(first, handle);
      EXPECT_EQ(controlMacControlHandleGetter(control, 0), first) << "the same for the control's life";
      EXPECT_EQ(std::count(seen.begin(), seen.end(), first), 0) << "never given to another control";
      seen.push_back(first);
    }
    test::CloseAndRelease(window);
  }
}

}  // namespace
}  // namespace vorn
