// The concrete controls in a runtime window, built the way compiled code builds them: a
// window class whose CreateControls adds a Slider subclass and a StaticText subclass with
// packed property streams, the slider's ValueChanged implemented by its class, and the
// handler writing the reading into the static text.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "controls/embedded_window_control.h"
#include "controls/scroller_class.h"
#include "controls/static_text_class.h"
#include "controls/support/runtime_window_controls.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "vorn/class_abi.h"
#include "vorn/control_api.h"
#include "vorn/controls2_api.h"
#include "vorn/controls_api.h"
#include "vorn/listbox_api.h"
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
  test::PictureTool("import -window " + std::to_string(test::XidOf(GetWindowPaneOf(window))) + " " + VORN_BINARY_DIR +
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

namespace vorn {
namespace {

// One notch of the wheel over each control: its MouseWheel hears it first with a delta of 3,
// and unless that answers True the value moves by 3 line steps within the range, raising
// ValueChanged once when it moved.
struct WheelRow {
  const char* cls;
  Rect bounds;
  int32_t lineStep, value;
  int button;  // 4 turns the wheel away from the user, 5 towards
  uint8_t answer;
  int32_t expected;
};

const WheelRow kWheelRows[] = {
    {"ScrollBar", MakeRect(20, 20, 220, 36), 5, 50, 5, 0, 65},
    {"ScrollBar", MakeRect(240, 20, 256, 180), 1, 50, 4, 0, 47},  // vertical
    {"ScrollBar", MakeRect(20, 50, 220, 66), 5, 50, 5, 1, 50},    // the handler took the wheel
    {"Slider", MakeRect(20, 80, 220, 110), 7, 50, 5, 0, 71},
    {"Slider", MakeRect(20, 120, 220, 150), 1, 98, 5, 0, 100},    // stops at Maximum
    {"Slider", MakeRect(20, 160, 220, 190), 4, 0, 4, 0, 0},       // at Minimum already
};

struct WheelSeen {
  int wheels = 0, changes = 0;
  int32_t x = 0, y = 0, delta = 0;
};
WheelSeen gWheelSeen[std::size(kWheelRows)];
RuntimeObject* gWheelControls[std::size(kWheelRows)];

size_t WheelRowOf(RuntimeObject* control) {
  return std::find(std::begin(gWheelControls), std::end(gWheelControls), control) - std::begin(gWheelControls);
}

uint8_t OnWheel(VornRuntimeObject* self, int32_t x, int32_t y, int32_t delta) {
  const size_t row = WheelRowOf(self);
  gWheelSeen[row].wheels++;
  gWheelSeen[row].x = x, gWheelSeen[row].y = y, gWheelSeen[row].delta = delta;
  return kWheelRows[row].answer;
}
void OnWheelValueChanged(VornRuntimeObject* self) { gWheelSeen[WheelRowOf(self)].changes++; }

void OnWheelLayout(VornRuntimeObject* self) {
  for (int16_t side = 0; const int32_t at : {150, 150, 300, 210}) windowPosSetter(self, side++, at);
}

void OnWheelCreateControls(VornRuntimeObject* self) {
  for (size_t i = 0; i < std::size(kWheelRows); ++i) {
    const WheelRow& row = kWheelRows[i];
    test::PackedStream range;
    range.Int(26, 0).Int(28, 100).Int(29, row.lineStep).Int(30, 20).Int(27, row.value).Bool(31, true);
    gWheelControls[i] = test::AddWindowControl(self, RuntimeLookupClass(string(row.cls).Rep()),
                                               ("Range" + std::to_string(i)).c_str(), row.bounds, range);
    RuntimeInstallInstanceEventHandler(gWheelControls[i], string("MouseWheel").Rep(), Fn(&OnWheel));
    RuntimeInstallInstanceEventHandler(gWheelControls[i], string("ValueChanged").Rep(), Fn(&OnWheelValueChanged));
  }
}

TEST(RuntimeWindowControlsTest, TheWheelMovesScrollBarsAndSlidersByTheirLineStepAfterTheirMouseWheel) {
  ASSERT_TRUE(test::EnsureDisplay());
  test::PrepareRuntimeWindows();
  static RuntimeClass* cls = test::MakeClass("WheelWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
                                             {{"#Layout%%o<WheelWindow>", Fn(&OnWheelLayout), nullptr, 0},
                                              {"#CreateControls%%o<WheelWindow>", Fn(&OnWheelCreateControls), nullptr, 0}});
  RuntimeObject* window = RuntimeNewObject(cls);
  WindowDefaultConstructor(window);
  Window* native = GetWindowPaneOf(window);
  test::ShowAndSettle(native);
  for (size_t i = 0; i < std::size(kWheelRows); ++i) {
    const WheelRow& row = kWheelRows[i];
    SCOPED_TRACE(i);
    int32_t x = 0, y = 0;
    const Rect& b = row.bounds;
    test::ScreenPoint(native, (b.left + b.right) / 2, (b.top + b.bottom) / 2, &x, &y);
    test::MovePointer(x, y, "click " + std::to_string(row.button));
    EXPECT_TRUE(test::PumpUntil([&] { return gWheelSeen[i].wheels > 0; }));
    test::PumpFor(100);
    EXPECT_EQ(gWheelSeen[i].wheels, 1);
    EXPECT_EQ(gWheelSeen[i].delta, row.button == 4 ? -3 : 3);
    EXPECT_EQ(gWheelSeen[i].x, b.Width() / 2) << "relative to the control";
    EXPECT_EQ(gWheelSeen[i].y, b.Height() / 2);
    EXPECT_EQ(scrollerPropGetter(gWheelControls[i], kScrollerValue), row.expected);
    EXPECT_EQ(gWheelSeen[i].changes, row.expected != row.value ? 1 : 0);
  }
  for (RuntimeObject*& control : gWheelControls) RuntimeUnlockObject(std::exchange(control, nullptr));
  test::CloseAndRelease(window);
}

// A disabled control, or one in a disabled canvas (inCanvas), hears no input: no event fires,
// no value or scroll position moves. Key rows focus the control before the canvas is disabled.
enum class Input { kWheel, kClick, kDrag, kKeys, kRightClick, kClickTabAndType };
const char* const kInputs[][2] = {{"Wheel", "click 5 click 5"}, {"Click", "click 1"},
                                  {"Drag", "mousedown 1 sleep 0.1 mousemove_relative 40 0 sleep 0.1 mouseup 1"},
                                  {"Keys", "key --delay 40 Down Right x space"}, {"RightClick", "click 3"},
                                  {"ClickTabAndType", "click 1 sleep 0.2 key --delay 40 Tab z space Tab z space Tab z space"}};
// A page panel takes the control by its page number after the panel was disabled (intoPages).
// A group box holding the control moves (move): to another box, to the window (out of an outer
// box disabled or hidden like the control, so that the box comes back to life), onto a tab
// panel, or into an enabled box on a disabled tab panel; the control was disabled itself before
// (or hidden, with hidden), except on the disabled panel, where it is enabled and keeps the focus.
enum class Move { kNone, kToBox, kToNil, kToTabPanel, kToBoxOnDisabledPanel };
RuntimeObject *gDeaf = nullptr, *gDeafCanvas = nullptr, *gDeafBox = nullptr, *gDeafTarget = nullptr, *gDeafPanel = nullptr, *gNoParent = nullptr;
// Across a tab panel showing page 1 of 2, by a click, Tab and typing: the control or its box moves to a
// parent or else a page number, from page 2 (before) to the window, where it is heard, or into a target
// box on a page (-1: none; on page 1 it is made before the control, 3: on page 1 after it; hidden or
// disabled like the control).
struct PageRow { const char* name; bool box; int before; RuntimeObject** parent; int number; int target; };
const PageRow kPageRows[] = {
    {"_OffAHiddenPage", false, 2, &gNoParent, 0, -1}, {"_BoxOffAHiddenPage", true, 2, &gNoParent, 0, -1}, {"_NumberOffAHiddenPage", false, 2, nullptr, 0, -1},
    {"_IntoABoxOnAHiddenPage", false, 0, &gDeafTarget, 0, 2}, {"_OntoAPanelWithoutAPage", false, 0, &gDeafPanel, 0, -1}, {"_BoxNumberIntoAnOffBox", true, 0, nullptr, 1, 1},
    {"_IntoAnOffBox", false, 0, &gDeafTarget, 0, 3}};
// Parent never moves a control: one put into a box drawn elsewhere hears a real click where it is drawn,
// unless the box is disabled (boxOff).
struct ParentRow { const char* name; bool boxOff; };
const ParentRow kParentRows[] = {{"_OutOfItsBox", false}, {"_InItsOwnDisabledBox", true}};
const Rect kParentDrawn = MakeRect(380, 60, 540, 86);
struct DeafRow { const char* cls; Input input; bool inCanvas = false; bool intoPages = false; Move move = Move::kNone; bool hidden = false; const PageRow* page = nullptr; const ParentRow* parent = nullptr; };
void PrintTo(const DeafRow& row, std::ostream* out) { *out << row.cls; }
const DeafRow kDeafRows[] = {
    {"Slider", Input::kWheel}, {"ScrollBar", Input::kWheel, true}, {"Listbox", Input::kWheel},
    {"ComboBox", Input::kWheel}, {"PopupMenu", Input::kWheel}, {"EditField", Input::kWheel},
    {"Canvas", Input::kClick}, {"PushButton", Input::kClick},
    {"CheckBox", Input::kClick, true}, {"Slider", Input::kDrag}, {"Canvas", Input::kDrag, true},
    {"EditField", Input::kKeys, true}, {"Listbox", Input::kKeys, true}, {"PushButton", Input::kKeys, true},
    {"Listbox", Input::kRightClick}, {"Canvas", Input::kRightClick, true}, {"EditField", Input::kRightClick},
    {"EditField", Input::kKeys, false, true}, {"PushButton", Input::kKeys, false, true}, {"Canvas", Input::kKeys, false, true},
};
// Every kind by its own input through every move, and hidden through every move by a click.
std::vector<DeafRow> DeafRows() {
  std::vector<DeafRow> rows(std::begin(kDeafRows), std::end(kDeafRows));
  const std::pair<const char*, Input> kinds[] = {
      {"Slider", Input::kWheel}, {"ScrollBar", Input::kWheel}, {"Listbox", Input::kWheel}, {"ComboBox", Input::kWheel},
      {"PopupMenu", Input::kWheel}, {"EditField", Input::kKeys}, {"Canvas", Input::kClick},
      {"PushButton", Input::kClick}, {"CheckBox", Input::kClick}};
  for (const auto& [cls, input] : kinds) {
    for (Move move : {Move::kToBox, Move::kToNil, Move::kToTabPanel, Move::kToBoxOnDisabledPanel}) {
      rows.push_back({cls, input, false, false, move});
      rows.push_back({cls, Input::kClick, false, false, move, true});
    }
  }
  for (const char* cls : {"EditField", "PushButton", "Canvas"})
    for (const PageRow& page : kPageRows) rows.push_back({cls, Input::kClickTabAndType, false, false, Move::kNone, true, &page});
  rows.push_back({"EditField", Input::kClickTabAndType, false, false, Move::kNone, false, &kPageRows[5]});  // a disabled box
  for (const ParentRow& parent : kParentRows) {
    for (const char* cls : {"Canvas", "CheckBox", "Slider", "PushButton"})
      rows.push_back({cls, Input::kClick, false, false, Move::kNone, false, nullptr, &parent});
    rows.push_back({"Canvas", Input::kRightClick, false, false, Move::kNone, false, nullptr, &parent});  // heard as MouseDown
  }
  return rows;
}
const DeafRow* gDeafRow = nullptr;
int gHeard = 0, gActions = 0, gWindowDowns = 0;
std::string gDowns;  // where each MouseDown was told its press happened
int64_t OnHeard(RuntimeObject*, intptr_t, intptr_t, intptr_t, intptr_t) { return ++gHeard, 0; }
int64_t OnDownHeard(RuntimeObject*, intptr_t x, intptr_t y, intptr_t, intptr_t) {
  return ++gHeard, gDowns += std::to_string(int32_t(x)) + "," + std::to_string(int32_t(y)) + " ", 0;
}
int64_t OnActionHeard(RuntimeObject*, intptr_t, intptr_t, intptr_t, intptr_t) { return ++gHeard, ++gActions, 0; }
// Room beside everything the rows make for a click on the bare window, which comes after the input: once
// the window hears it, the control has had the input before it.
constexpr int32_t kBareH = 550, kBareV = 470;
uint8_t OnWindowDown(VornRuntimeObject*, int32_t h, int32_t v) { return gWindowDowns += h == kBareH && v == kBareV, 0; }
void OnDeafLayout(VornRuntimeObject* self) {
  for (int16_t side = 0; const int32_t at : {150, 150, 560, 480}) windowPosSetter(self, side++, at);
}

RuntimeObject* AddHolder(RuntimeObject* window, const char* cls, const char* name, const Rect& bounds) {
  const test::PackedStream tabs = test::PackedStream().Text(30, "Sky\r\nEye");
  return test::AddWindowControl(window, RuntimeLookupClass(string(cls).Rep()), name, bounds,
                                std::string_view(cls) == "TabPanel" ? tabs : test::PackedStream());
}

void OnDeafCreateControls(VornRuntimeObject* self) {
  // A pane lies in the earlier panes that enclose it: the box in the outer one, the control in
  // the box; the destinations come after, so that they hold nothing until the move.
  const Move move = gDeafRow->move;
  const PageRow* page = gDeafRow->page;
  const ParentRow* parent = gDeafRow->parent;
  auto target = [self](int number) { gDeafTarget = AddHolder(self, "GroupBox", "Target", MakeRect(10, 10, 290, 200)); ControlTabPanelIndexSetter(gDeafTarget, 0, number); };
  if (page) gDeafPanel = AddHolder(self, "TabPanel", "Panel", MakeRect(0, 0, 300, 210));
  if (move == Move::kToNil) gDeafTarget = AddHolder(self, "GroupBox", "Outer", MakeRect(0, 0, 300, 210));
  if (move != Move::kNone || (page && page->box)) gDeafBox = AddHolder(self, "GroupBox", "Box", MakeRect(20, 20, 280, 190));
  if (page && page->target == 1) target(1);
  const test::PackedStream canvas = test::PackedStream().Bool(28, true);  // AcceptFocus
  RuntimeClass* holder = RuntimeLookupClass(string(gDeafRow->intoPages ? "PagePanel" : "Canvas").Rep());
  const test::PackedStream held = gDeafRow->intoPages ? test::PackedStream().Int(28, 2) : canvas;  // two pages
  if (gDeafRow->inCanvas || gDeafRow->intoPages)
    gDeafCanvas = test::AddWindowControl(self, holder, "Holder", MakeRect(0, 0, 300, 210), held);
  const std::string_view cls = gDeafRow->cls;
  test::PackedStream stream = cls == "Canvas" ? canvas : test::PackedStream();
  if (cls == "ScrollBar" || cls == "Slider") stream.Int(26, 0).Int(28, 100).Int(29, 5).Int(30, 20).Int(27, parent ? 0 : 50).Bool(31, true);
  if (cls == "ComboBox" || cls == "PopupMenu") stream.Text(34, "Aperture\rSeeing\rSky");
  gDeaf = test::AddWindowControl(self, RuntimeLookupClass(string(gDeafRow->cls).Rep()), "Deaf",
                                 parent ? kParentDrawn : MakeRect(40, 40, 240, cls == "Listbox" || cls == "Canvas" ? 160 : 66), stream);
  if (parent) gDeafTarget = AddHolder(self, "GroupBox", "Target", MakeRect(0, 300, 320, 460));
  if (move == Move::kToBoxOnDisabledPanel) gDeafPanel = AddHolder(self, "TabPanel", "Panel", MakeRect(0, 0, 300, 210));
  if (move == Move::kToBox || move == Move::kToBoxOnDisabledPanel)
    gDeafTarget = AddHolder(self, "GroupBox", "Target", MakeRect(10, 10, 290, 200));
  if (gDeafPanel) ControlTabPanelIndexSetter(gDeafTarget, 0, 1);  // onto the panel's first page
  if (move == Move::kToTabPanel) gDeafTarget = AddHolder(self, "TabPanel", "Target", MakeRect(0, 0, 300, 210));
  if (page && page->target >= 2) target(page->target == 2 ? 2 : 1);
}

class DeafControlTest : public ::testing::TestWithParam<DeafRow> {};
TEST_P(DeafControlTest, ADisabledControlHearsNoInput) {
  ASSERT_TRUE(test::EnsureDisplay());
  test::PrepareRuntimeWindows();
  gDeafRow = &GetParam();
  gHeard = gActions = gWindowDowns = 0;
  gDowns.clear();
  static RuntimeClass* cls = test::MakeClass("DeafWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
                                             {{"#Layout%%o<DeafWindow>", Fn(&OnDeafLayout), nullptr, 0},
                                              {"#CreateControls%%o<DeafWindow>", Fn(&OnDeafCreateControls), nullptr, 0}});
  RuntimeObject* window = RuntimeNewObject(cls);
  WindowDefaultConstructor(window);
  Window* native = GetWindowPaneOf(window);
  const std::string_view kind = gDeafRow->cls;
  for (int i = 0; kind == "Listbox" && i < 40; ++i) RuntimeListAddRow(gDeaf, string("row").Rep());
  test::ShowAndSettle(native);
  if (gDeafRow->inCanvas) ControlParentSetter(gDeaf, 0, gDeafCanvas);
  if (gDeafRow->input == Input::kKeys) RuntimeSetFocus(gDeaf);
  test::PumpFor(50);
  const Move move = gDeafRow->move;
  const PageRow* page = gDeafRow->page;
  const ParentRow* parent = gDeafRow->parent;
  const bool heard = (page && page->before == 2) || (parent && !parent->boxOff);
  if (page) {
    RuntimeObject* moved = page->box ? gDeafBox : gDeaf;
    if (page->before) ControlTabPanelIndexSetter(moved, 0, page->before);
    if (page->target == 1 || page->target == 3) (gDeafRow->hidden ? ControlVisibleSetter : controlEnabledSetter)(gDeafTarget, 0, 0);
    page->parent ? ControlParentSetter(moved, 0, *page->parent) : ControlTabPanelIndexSetter(moved, 0, page->number);
    if (page->target == 2) ControlVisibleSetter(gDeaf, 0, 0), ControlVisibleSetter(gDeaf, 0, 1);  // a wish kept for its page
  } else if (parent) {
    ControlParentSetter(gDeaf, 0, gDeafTarget);
    if (parent->boxOff) controlEnabledSetter(gDeafTarget, 0, 0);
  } else if (gDeafRow->hidden) {
    ControlVisibleSetter(gDeaf, 0, 0);
  } else if (move != Move::kToBoxOnDisabledPanel) {
    controlEnabledSetter(gDeafCanvas ? gDeafCanvas : gDeaf, 0, 0);
  }
  if (move == Move::kToBoxOnDisabledPanel) controlEnabledSetter(gDeafPanel, 0, 0);
  if (move == Move::kToNil) (gDeafRow->hidden ? ControlVisibleSetter : controlEnabledSetter)(gDeafTarget, 0, 0);
  if (gDeafRow->intoPages) ControlTabPanelIndexSetter(gDeaf, 0, 1);
  if (move == Move::kToTabPanel) ControlTabPanelIndexSetter(gDeafBox, 0, 1);  // a pane on no page shows on none
  if (move != Move::kNone) ControlParentSetter(gDeafBox, 0, move == Move::kToNil ? nullptr : gDeafTarget);
  test::PumpFor(50);
  if (gDeafRow->intoPages) { EXPECT_EQ(ControlPane(AsControl(gDeaf))->GetParent(), ControlPane(AsControl(gDeafCanvas))); }
  if (move != Move::kNone) {
    SubPane* target = move == Move::kToNil ? native : ControlPane(AsControl(gDeafTarget));
    SubPane* box = ControlPane(AsControl(gDeafBox));
    EXPECT_EQ(box->GetParent(), target) << "the box moved";
    EXPECT_TRUE(box->IsDisplayed() && box->IsEnabled() == (move != Move::kToBoxOnDisabledPanel)) << "the box is as it lies";
    EXPECT_EQ(ControlPane(AsControl(gDeaf))->GetParent(), ControlPane(AsControl(gDeafBox)));
    if (gDeafPanel) { EXPECT_EQ(ControlPane(AsControl(gDeafTarget))->GetParent(), ControlPane(AsControl(gDeafPanel))); }
  }
  SubPane* pane = ControlPane(AsControl(gDeaf));
  if (parent) { EXPECT_TRUE(pane->GetParent() == ControlPane(AsControl(gDeafTarget)) && EqualRect(pane->Bounds(), kParentDrawn)); }
  if (gDeafRow->hidden || page || parent) { EXPECT_EQ(GTK_WIDGET_VISIBLE(pane->Widget()) && GTK_WIDGET_SENSITIVE(pane->Widget()), heard) << "it came back"; }
  for (const char* event : {"MouseWheel", "MouseDrag", "MouseUp", "KeyDown", "Change", "TextChange", "TextChanged", "GotFocus",
                            "CellClick", "ConstructContextualMenu"})
    RuntimeInstallInstanceEventHandler(gDeaf, string(event).Rep(), Fn(&OnHeard));
  for (const char* event : {"MouseDown", "Action", "ValueChanged"})  // counted apart too
    RuntimeInstallInstanceEventHandler(gDeaf, string(event).Rep(), Fn(*event == 'M' ? &OnDownHeard : &OnActionHeard));
  RuntimeInstallInstanceEventHandler(window, string("MouseDown").Rep(), Fn(&OnWindowDown));
  const Rect b = ControlPane(AsControl(gDeaf))->Bounds();
  int32_t x = 0, y = 0;
  test::ScreenPoint(native, (b.left + b.right) / 2, (b.top + b.bottom) / 2, &x, &y);
  test::MovePointer(x, y, kInputs[static_cast<int>(gDeafRow->input)][1]);
  test::ScreenPoint(native, kBareH, kBareV, &x, &y);
  test::MovePointer(x, y, gDeafRow->input == Input::kRightClick ? "click 3" : "click 1");  // which no canvas may take
  EXPECT_TRUE(test::PumpUntil([] { return gWindowDowns > 0; })) << "the bare window heard no click";
  EXPECT_EQ(gHeard > 0, heard) << "the control heard the input, or was lost";
  if (parent) { EXPECT_EQ(gDowns, heard ? "80,13 " : "") << "MouseDown once, where the press happened (wherever the pointer went)"; }
  if (parent) { EXPECT_EQ(gActions, heard && kind != "Canvas" ? 1 : 0) << "Action or ValueChanged"; }
  if (page && page->target == 2) { tabPanelValueSetter(gDeafPanel, 0, 1); EXPECT_TRUE(pane->IsDisplayed() && GTK_WIDGET_VISIBLE(pane->Widget())) << "lost with its page"; }
  if (kind == "Listbox") { EXPECT_EQ(listScrollPositionGetter(gDeaf, 0), 0) << "the list scrolled"; }
  if (kind == "ScrollBar" || kind == "Slider") { EXPECT_EQ(scrollerPropGetter(gDeaf, kScrollerValue) != (parent ? 0 : 50), heard) << "it moved"; }
  for (RuntimeObject** held : {&gDeaf, &gDeafCanvas, &gDeafBox, &gDeafTarget, &gDeafPanel})
    RuntimeUnlockObject(std::exchange(*held, nullptr));
  test::CloseAndRelease(window);
}

const char* const kMoves[] = {"", "_BoxToAnotherBox", "_BoxOutOfAnOffBoxToTheWindow", "_BoxToATabPanel", "_BoxIntoABoxOnADisabledPanel"};
INSTANTIATE_TEST_SUITE_P(Rows, DeafControlTest, ::testing::ValuesIn(DeafRows()), [](const auto& info) {
  return std::string(info.param.cls) + "_" + kInputs[static_cast<int>(info.param.input)][0] +
         (info.param.inCanvas ? "_InADisabledCanvas" : "") + (info.param.intoPages ? "_IntoDisabledPages" : "") +
         (info.param.hidden ? "_Hidden" : "") + kMoves[static_cast<int>(info.param.move)] + (info.param.page ? info.param.page->name : "") +
         (info.param.parent ? info.param.parent->name : "");
});

}  // namespace
}  // namespace vorn
