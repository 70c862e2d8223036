// Events a popup pane raises towards its owner (mouse, focus, keys) and its binding to a data
// control of its window through the data-control hooks.
#include <gtk/gtk.h>

#include <functional>

#include "controls/support/binding_fakes.h"
#include "controls/support/popup_gui_support.h"
#include "objects/runtime_object.h"
#include "windows/pane_focus.h"

namespace vorn::testing {
namespace {

TEST_F(PopupGuiTest, AClickOnTheEntryReachesMouseDownInControlCoordinates) {
  PopupMenu* pane = MakePopup(true);
  pane->AddRows(Strings({"Aperture", "Seeing"}));
  ShowWindow();
  events.takeMouse = true;
  int x, y;
  WidgetScreenPoint(pane->Entry(), 10, 6, &x, &y);
  ClickAt(x, y);
  ASSERT_EQ(events.mouseDowns, 1);
  // The entry sits at the pane's top-left corner, a pixel or two inside.
  EXPECT_NEAR(events.mousePoints[0].first, 10, 3);
  EXPECT_NEAR(events.mousePoints[0].second, 6, 3);
  EXPECT_EQ(events.mouseUps, 1);  // the pane held the mouse and hears the release
  EXPECT_EQ(GetMouseCapturePane(), nullptr);
}

TEST_F(PopupGuiTest, MouseDownOfADisabledPaneIsNotAsked) {
  PopupMenu* pane = MakePopup();
  pane->SetEnabled(false, false);
  EXPECT_FALSE(pane->MouseDown(30, 30, 0));
  EXPECT_EQ(events.mouseDowns, 0);
}

TEST_F(PopupGuiTest, FocusEventsAndKeysOfAComboBox) {
  PopupMenu* combo = MakePopup(true);
  PopupMenu* popup = MakePopup();
  EXPECT_TRUE(combo->CanFocus());
  SetFocusPane(combo);
  EXPECT_EQ(events.gotFocus, 1);
  SetFocusPane(popup);
  EXPECT_EQ(events.lostFocus, 1);
  EXPECT_EQ(events.gotFocus, 2);

  EXPECT_FALSE(combo->KeyDown('a', 0, 0));
  combo->KeyDown(0xE9, 0, 0);
  EXPECT_FALSE(popup->KeyDown('b', 0, 0));  // a popup menu raises no KeyDown
  EXPECT_EQ(events.keys, (std::vector<std::string>{"a", "\xE9"}));

  combo->FireTextChanged();
  EXPECT_EQ(events.textChanged, 1);
  combo->SetVisible(false);
  EXPECT_FALSE(combo->CanFocus());
  SetFocusPane(nullptr);
}

// TextChanged follows the entry text of a combo box however it changes, once per new text; a
// popup menu has no text of its own to tell of.
TEST_F(PopupGuiTest, AComboBoxTellsTextChangedForTypedSetAndShownText) {
  PopupMenu* combo = MakePopup(true);
  combo->AddRows(Strings({"Aperture", "Seeing"}));
  ShowWindow();
  int x, y;
  WidgetScreenPoint(combo->Entry(), 10, 6, &x, &y);
  ClickAt(x, y);
  Shell("xdotool type --delay 50 ab");
  PumpFor(200);
  EXPECT_EQ(combo->GetText().View(), "ab");
  EXPECT_EQ(events.textChanged, 2) << "a TextChanged a typed character";

  struct Step {
    const char* what;
    std::function<void()> act;
    int textChanged, changes;  // counts after the step
  };
  const int changes = events.changes;
  for (const Step& step : {Step{"set to a row's text", [&] { combo->SetText(string("Seeing")); }, 3, changes + 1},
                           Step{"set to the same text", [&] { combo->SetText(string("Seeing")); }, 3, changes + 1},
                           Step{"a row chosen by code", [&] { combo->SetListIndex(0, true); }, 4, changes + 2},
                           Step{"set to no row's text", [&] { combo->SetText(string("f/8")); }, 5, changes + 2}}) {
    step.act();
    EXPECT_EQ(events.textChanged, step.textChanged) << step.what;
    EXPECT_EQ(events.changes, step.changes) << step.what;
  }

  PopupMenu* popup = MakePopup();
  popup->AddRows(Strings({"Aperture", "Seeing"}));
  popup->SetListIndex(1, true);
  EXPECT_EQ(events.textChanged, 5);
}

// --- data controls -------------------------------------------------------------------------

struct BoundCall {
  std::string what;
  RuntimeObject* dataControl;
  RuntimeObject* control;
  int32_t kind;
};
std::vector<BoundCall>& BoundCalls() {
  static std::vector<BoundCall> calls;
  return calls;
}
RuntimeObject* sDataControl = nullptr;

RuntimeObject* FindDataControl(RuntimeObject*, const string& name) {
  return SameName(name.View(), "Stars") ? sDataControl : nullptr;
}
void AddBound(RuntimeObject* dc, RuntimeObject* control, int32_t kind) { BoundCalls().push_back({"add", dc, control, kind}); }
void RemoveBound(RuntimeObject* dc, RuntimeObject* control, int32_t kind) {
  BoundCalls().push_back({"remove", dc, control, kind});
}
void Refresh(RuntimeObject* dc) { BoundCalls().push_back({"refresh", dc, nullptr, 0}); }

class PopupDataControlTest : public PopupGuiTest {
 protected:
  void SetUp() override {
    PopupGuiTest::SetUp();
    BoundCalls().clear();
    sDataControl = NewLogReceiver(9);
    DataBindingHooks hooks;
    hooks.findDataControl = &FindDataControl;
    hooks.addBoundControl = &AddBound;
    hooks.removeBoundControl = &RemoveBound;
    hooks.refreshBoundControls = &Refresh;
    SetDataBindingHooks(hooks);
  }
  void TearDown() override {
    PopupGuiTest::TearDown();
    SetDataBindingHooks(DataBindingHooks());
    EXPECT_EQ(sDataControl->refCount, 1);
    RuntimeUnlockObject(sDataControl);
  }
};

TEST_F(PopupDataControlTest, BindingRegistersWithTheNamedDataControlOnce) {
  PopupMenu* pane = MakePopup();
  pane->SetDataSourceName(string("stars"));
  pane->BindDataSource();
  ASSERT_EQ(BoundCalls().size(), 2u);
  EXPECT_EQ(BoundCalls()[0].what, "add");
  EXPECT_EQ(BoundCalls()[0].control, owner);
  EXPECT_EQ(BoundCalls()[0].kind, kBoundPopupMenu);
  EXPECT_EQ(BoundCalls()[1].what, "refresh");
  EXPECT_EQ(pane->BoundDataControl(), sDataControl);

  // Binding again (a new data field) leaves the old registration first.
  pane->BindDataSource();
  ASSERT_EQ(BoundCalls().size(), 5u);
  EXPECT_EQ(BoundCalls()[2].what, "remove");
  EXPECT_EQ(BoundCalls()[3].what, "add");

  // The empty name unbinds.
  pane->SetDataSourceName(string());
  pane->BindDataSource();
  EXPECT_EQ(BoundCalls().back().what, "remove");
  EXPECT_EQ(pane->BoundDataControl(), nullptr);
}

TEST_F(PopupDataControlTest, ANameWithoutDataControlBindsNothingAndThePaneUnbindsWhenItGoes) {
  PopupMenu* pane = MakePopup();
  pane->SetDataSourceName(string("Planets"));
  pane->BindDataSource();
  EXPECT_TRUE(BoundCalls().empty());
  pane->SetDataSourceName(string("Stars"));
  pane->BindDataSource();
  CloseWindow();
  ASSERT_FALSE(BoundCalls().empty());
  EXPECT_EQ(BoundCalls().back().what, "remove");
  EXPECT_EQ(BoundCalls().back().control, owner);
}

}  // namespace
}  // namespace vorn::testing

#include <cstdlib>

#include "controls/support/control_test_support.h"
#include "graphics/graphics.h"

namespace vorn::testing {
namespace {

TEST_F(PopupGuiTest, DrawingIntoAPortShowsTheFieldTextAndButton) {
  PopupMenu* pane = MakePopup();  // bounds (20, 20) to (220, 46)
  pane->AddRows(Strings({"Transmission"}));
  pane->SetListIndex(0, false);
  ShowWindow();
  test::PixmapPort pixmap(260, 80);
  pane->DrawInto(pixmap.Port());
  pixmap.SavePNG(std::string(VORN_BINARY_DIR) + "/popup_draw_into.png");
  // The text lies in the field, left of the 21-pixel button; outside the pane stays white.
  Rect text{26, 22, 42, 120};
  Rect button{21, 200, 45, 220};
  Rect outside{50, 0, 80, 260};
  EXPECT_GT(pixmap.InkIn(text), 20);
  EXPECT_GT(pixmap.InkIn(button), 20);
  EXPECT_EQ(pixmap.InkIn(outside), 0);
}

TEST_F(PopupGuiTest, TheBaselineCentresTheTextInThePane) {
  PopupMenu* pane = MakePopup();
  ShowWindow();
  int32_t y = 0;
  ASSERT_TRUE(pane->GetBaseline(&y));
  Graphics* port = pane->GetGraphics();
  ASSERT_NE(port, nullptr);
  port->SetTextFontFrom(pane->Style());
  int32_t below = pane->Height() - y;  // room under the baseline for the descent and the margin
  EXPECT_GT(y, port->FontAscent() - 1);
  EXPECT_LE(std::abs((y - port->FontAscent()) - (below - port->FontDescent())), 1);
  DisposeGraphics(port);
}

}  // namespace
}  // namespace vorn::testing
