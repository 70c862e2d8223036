// Overlapping controls of every kind under real xdotool input: the control on top at the point
// hears the press, its release and its action once, every one beneath it nothing, after whatever
// moves and re-shows; a press off a slider's bar is heard once; a right click beside a list box
// is not the list's.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "controls/support/runtime_window_controls.h"
#include "support/class_test.h"
#include "vorn/buttons_api.h"
#include "vorn/control_api.h"
#include "vorn/controls2_api.h"
#include "vorn/controls_api.h"
#include "vorn/window_api.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"

namespace vorn {
namespace {

// What a kind does with a plain click left to it: nothing seen, Action, the focus.
enum Does { kQuiet, kAct, kFocus };
struct Kind { const char* cls; bool takes; Does does; bool silent = false; };  // silent: no MouseDown event
const Kind kKinds[] = {{"PushButton", false, kAct}, {"CheckBox", false, kAct}, {"RadioButton", false, kAct},
                       {"Slider", false, kQuiet}, {"ScrollBar", false, kQuiet},
                       {"PopupMenu", false, kFocus}, {"ComboBox", false, kFocus}, {"EditField", false, kFocus},
                       {"Listbox", true, kQuiet}, {"Canvas", true, kQuiet}, {"GroupBox", true, kQuiet}, {"TabPanel", false, kQuiet, true}};
constexpr int kKindCount = sizeof(kKinds) / sizeof(kKinds[0]);
enum State { kPlain, kHiddenShown, kParentMoved, kTopMoved };
const char* const kInputs[] = {"click 1", "click --repeat 2 --delay 60 1", "click 3", "click 5"};
// Lower kind; upper -1 alone, where the lower is pressed just outside (right) or off its bar (low);
// middle -1: no third control between the two.
struct Cell { int lower, upper, state, input; char alone = 0; int middle = -1; };
struct Counts { int down = 0, up = 0, act = 0, focus = 0, wheel = 0, menu = 0, kind = 0; };
std::map<RuntimeObject*, Counts> gSeen, gAtBare;  // what was heard, and by the bare window's click
std::vector<Cell> gCells;
std::vector<RuntimeObject*> gMade[3];  // per cell its lower, middle and upper control, or none
RuntimeObject *gSink = nullptr, *gShelf = nullptr;
int gBare = 0;

Counts& Of(RuntimeObject* self) { return gSeen[self]; }
int64_t OnDown(RuntimeObject* s, intptr_t, intptr_t, intptr_t, intptr_t) { return ++Of(s).down, kKinds[Of(s).kind].takes; }
// Counts an event; a wheel is taken (1), so the runtime's own walk stops at the control.
template <int Counts::*F, int64_t kAnswer = 0> int64_t On(RuntimeObject* s, intptr_t, intptr_t, intptr_t, intptr_t) { return ++(Of(s).*F), kAnswer; }
uint8_t OnBareDown(VornRuntimeObject*, int32_t h, int32_t v) { return gAtBare = gSeen, gBare += h == 870 && v == 660, 0; }
void OnLayout(VornRuntimeObject* self) { for (int16_t side = 0; const int32_t at : {60, 60, 900, 700}) windowPosSetter(self, side++, at); }

// Level 0 lower, 1 middle, 2 upper: all three hold the point pressed, (150, 55) into the cell.
Rect CellRect(size_t i, int level) {
  const int32_t x = 20 + int32_t(i % 4) * 215, y = 20 + int32_t(i / 4) * 150;
  const Rect at[] = {MakeRect(x, y, x + 200, y + 80), MakeRect(x + 50, y + 20, x + 190, y + 100), MakeRect(x + 100, y, x + 200, y + 110)};
  return at[level];
}
RuntimeObject* Add(RuntimeObject* window, int kind, const char* name, const Rect& r) {
  const std::string_view cls = kKinds[kind].cls;
  test::PackedStream s = cls == "TabPanel" ? test::PackedStream().Text(30, "Sky\r\nEye") : test::PackedStream();
  if (cls == "ScrollBar" || cls == "Slider") s.Int(26, 0).Int(28, 100).Int(29, 5).Int(30, 20).Int(27, 50).Bool(31, true);
  if (cls == "ComboBox" || cls == "PopupMenu") s.Text(34, "Aperture\rSeeing\rSky");
  RuntimeObject* made = test::AddWindowControl(window, RuntimeLookupClass(string(kKinds[kind].cls).Rep()), name, r, s);
  Of(made).kind = kind;
  const std::pair<const char*, void*> handlers[] = {{"MouseDown", (void*)&OnDown}, {"MouseUp", (void*)&On<&Counts::up>},
      {"Action", (void*)&On<&Counts::act>}, {"ValueChanged", (void*)&On<&Counts::act>}, {"Change", (void*)&On<&Counts::act>},
      {"GotFocus", (void*)&On<&Counts::focus>}, {"MouseWheel", (void*)&On<&Counts::wheel, 1>}, {"ConstructContextualMenu", (void*)&On<&Counts::menu>}};
  for (const auto& [event, fn] : handlers) RuntimeInstallInstanceEventHandler(made, string(event).Rep(), fn);
  return made;
}
void OnCreateControls(VornRuntimeObject* self) {
  gSink = Add(self, 7, "Sink", MakeRect(20, 620, 200, 646));
  gShelf = Add(self, 10, "Shelf", MakeRect(300, 620, 500, 690));
  for (int level = 0; level < 3; ++level)
    for (size_t i = 0; i < gCells.size(); ++i) {
      const int kind = level == 0 ? gCells[i].lower : level == 1 ? gCells[i].middle : gCells[i].upper;
      const std::string name = std::string(level == 0 ? "Lower" : level == 1 ? "Middle" : "Upper") + std::to_string(i);
      gMade[level].push_back(kind < 0 ? nullptr : Add(self, kind, name.c_str(), CellRect(i, level)));
    }
}

class OverlapPressTest : public ::testing::TestWithParam<int> {};
TEST_P(OverlapPressTest, OnlyTheControlOnTopHearsThePress) {
  ASSERT_TRUE(test::EnsureDisplay());
  test::PrepareRuntimeWindows();
  const int row = GetParam();
  gCells.clear(), gSeen.clear();
  for (auto& made : gMade) made.clear();
  // A row's own seed draws its cells, so a failing row meets the same cells when run alone.
  std::mt19937 draw(row);
  for (int i = 0; i < 4; ++i)
    gCells.push_back({row % kKindCount, int(draw() % kKindCount), int(draw() % 4), int(draw() % 4), 0, i % 2 ? int(draw() % kKindCount) : -1});
  if (row == kKindCount) gCells = {{8, -1, kPlain, 2, 'r'}, {3, -1, kPlain, 0, 'l'}, {4, -1, kHiddenShown, 0, 'l'}, {0, 9, kPlain, 0}};
  static RuntimeClass* cls = test::MakeClass("OverlapWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
      {{"#Layout%%o<OverlapWindow>", reinterpret_cast<void*>(&OnLayout), nullptr, 0},
       {"#CreateControls%%o<OverlapWindow>", reinterpret_cast<void*>(&OnCreateControls), nullptr, 0}});
  RuntimeObject* window = RuntimeNewObject(cls);
  WindowDefaultConstructor(window);
  Window* native = GetWindowPaneOf(window);
  test::ShowAndSettle(native);
  for (size_t i = 0; i < gCells.size(); ++i) {
    RuntimeObject* lower = gMade[0][i];
    if (gCells[i].state == kHiddenShown) ControlVisibleSetter(lower, 0, 0), ControlVisibleSetter(lower, 0, 1);
    if (gCells[i].state == kParentMoved) ControlParentSetter(lower, 0, gShelf), ControlParentSetter(lower, 0, nullptr);
    if (gCells[i].state == kTopMoved) ctlPosSetter(lower, 1, ctlPosGetter(lower, 1) + 9), ctlPosSetter(lower, 1, ctlPosGetter(lower, 1) - 9);
  }
  RuntimeInstallInstanceEventHandler(window, string("MouseDown").Rep(), reinterpret_cast<void*>(&OnBareDown));
  for (size_t i = 0; i < gCells.size(); ++i) {
    const Cell& cell = gCells[i];
    RuntimeSetFocus(gSink);
    std::vector<RuntimeObject*> here;
    for (const auto& made : gMade) if (made[i]) here.push_back(made[i]), Of(made[i]) = Counts{.kind = Of(made[i]).kind};  // the moves are not heard
    const Rect a = ControlPane(AsControl(here[0]))->Bounds();
    const int32_t h = cell.alone == 'r' ? a.right : a.left + 150, v = cell.alone == 'l' ? a.bottom - 3 : a.top + 55;
    // The window's click order says which is on top; a move may have put the lower one last.
    const std::vector<SubPane*>& order = native->Panes();
    const auto rank = [&](RuntimeObject* c) { return std::find(order.begin(), order.end(), ControlPane(AsControl(c))); };
    RuntimeObject* top = cell.alone == 'r' ? nullptr : *std::max_element(here.begin(), here.end(), [&](auto* l, auto* r) { return rank(l) < rank(r); });
    std::vector<std::pair<RuntimeObject*, int>> under;  // each beneath, with its check box value
    for (RuntimeObject* c : here) if (c != top) under.emplace_back(c, Of(c).kind == 1 ? checkBoxValueGetter(c, 0) : -1);
    const Kind& kind = kKinds[top ? Of(top).kind : 0];
    const int input = cell.input;
    int32_t x, y;
    test::ScreenPoint(native, h, v, &x, &y);
    test::MovePointer(x, y, kInputs[input]);
    test::DeliverInput();
    // A popup or a field's menu opened by the input holds the pointer: it is closed first.
    if (gtk_grab_get_current()) test::Shell("xdotool key Escape"), test::PumpUntil([] { return gtk_grab_get_current() == nullptr; });
    test::ScreenPoint(native, 870, 660, &x, &y);
    const int bare = gBare;
    test::MovePointer(x, y, "click 1");
    ASSERT_TRUE(test::PumpUntil([&] { return gBare > bare; })) << "the bare window heard no click";
    const Counts t = top ? gAtBare[top] : Counts();
    std::string where = "cell " + std::to_string(i) + ": " + (top ? kind.cls : "none");
    for (const auto& [c, value] : under) where += std::string(" over ") + kKinds[Of(c).kind].cls;
    where += std::string(", ") + kInputs[input];
    for (const auto& [c, value] : under) {
      // The runtime's own wheel walk goes on beneath a control that hears no wheel: only what it did counts.
      const Counts u = gAtBare[c];
      EXPECT_TRUE(u.down + u.up + u.act + u.focus + u.menu == 0 && GetFocusPane() != ControlPane(AsControl(c))) << where << ", " << kKinds[u.kind].cls;
      if (value >= 0) { EXPECT_EQ(checkBoxValueGetter(c, 0), value) << where; }
    }
    if (top && input < 2 && !kind.silent) { EXPECT_EQ(t.down, input + 1) << where; }
    if (top && input < 2 && kind.takes) { EXPECT_EQ(t.up, input + 1) << where; }
    if (top && input == 0 && kind.does == kAct) { EXPECT_EQ(t.act, 1) << where; }
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(native->GtkWindowWidget())), *w = top ? ControlPane(AsControl(top))->Widget() : nullptr;
    if (top && input == 0 && kind.does == kFocus) { EXPECT_TRUE(focus && (focus == w || gtk_widget_is_ancestor(focus, w))) << where; }
  }
  for (const auto& made : {gMade[0], gMade[1], gMade[2], std::vector{gSink, gShelf}}) for (RuntimeObject* c : made) if (c) RuntimeUnlockObject(c);
  test::CloseAndRelease(window);
}
INSTANTIATE_TEST_SUITE_P(Rows, OverlapPressTest, ::testing::Range(0, kKindCount + 1), [](const auto& info) {
  return info.param < kKindCount ? std::string("Under") + kKinds[info.param].cls : std::string("Alone");
});

}  // namespace
}  // namespace vorn
