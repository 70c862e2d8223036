// TabPanel and PagePanel on a real display: tabs from TabDefinition, clicking a tab shows
// exactly that page's controls and fires Change once, Value set by code does the same, and
// inserting or removing tabs keeps the controls with their pages.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "controls/control_support.h"
#include "controls/panel_classes.h"
#include "controls/static_text_class.h"
#include "controls/support/class_fixture.h"
#include "support/gui_support.h"
#include "support/window_pixels.h"
#include "vorn/controls2_api.h"
#include "vorn/controls_api.h"

namespace vorn {
namespace {

int gChanges = 0;
extern "C" void PanelChanged(VornRuntimeObject*) { ++gChanges; }

class PanelGuiTest : public test::ControlClassTest {
 protected:
  void SetUp() override {
    test::ControlClassTest::SetUp();
    gChanges = 0;
  }
  RuntimeObject* AddTabs(const std::string& definition, const Rect& bounds = MakeRect(20, 20, 380, 260)) {
    test::PackedStream stream;
    stream.Text(30, definition);
    RuntimeObject* tabs = AddControl(GetTabPanelClassDefinition(), "Tabs", bounds, host, &stream);
    Install(tabs, "Change", reinterpret_cast<void*>(&PanelChanged));
    MakePane(tabs);
    return tabs;
  }
  // A static text on a page (1-based; 0 for none), made as the window layer makes controls.
  RuntimeObject* AddText(const char* name, const Rect& bounds, int32_t page) {
    RuntimeObject* text = AddControl(GetStaticTextClassDefinition(), name, bounds, host);
    staticCaptionSetter(text, 0, string(name).Rep());
    AsControl(text)->tabPanelIndex = page;
    MakePane(text);
    ControlPane(AsControl(text))->SetTabPanelIndex(page);
    return text;
  }
  static SubPane* PaneOf(RuntimeObject* control) { return ControlPane(AsControl(control)); }
  static TabPanel* TabPane(RuntimeObject* tabs) { return ControlPaneAs<TabPanel>(tabs); }
  static bool OnScreen(RuntimeObject* control) {
    SubPane* pane = PaneOf(control);
    return pane && pane->IsDisplayed() && GTK_WIDGET_VISIBLE(pane->Widget());
  }
  static std::string Caption(RuntimeObject* tabs, int32_t index) {
    string text = string::Adopt(tabPanelCaptionGetter(tabs, index));
    return std::string(text.View());
  }
  // Clicks the middle of a tab's label.
  void ClickTab(RuntimeObject* tabs, int32_t index) {
    test::FlushWindowDrawing(native);  // a new tab gets its place in the strip first
    GtkWidget* label = TabPane(tabs)->TabLabel(index);
    ASSERT_NE(label, nullptr);
    test::ClickAt(native, label->allocation.x + label->allocation.width / 2,
                  label->allocation.y + label->allocation.height / 2);
  }
};

TEST_F(PanelGuiTest, TabDefinitionGivesTheTabs) {
  RuntimeObject* tabs = AddTabs("Sky\r\nEye");
  ASSERT_NE(TabPane(tabs), nullptr);
  EXPECT_EQ(PagePanelCountGetter(tabs, 0), 2);
  EXPECT_EQ(Caption(tabs, 0), "Sky");
  EXPECT_EQ(Caption(tabs, 1), "Eye");
  tabPanelCaptionSetter(tabs, 1, string("Optics").Rep());
  EXPECT_EQ(Caption(tabs, 1), "Optics");
  EXPECT_EQ(tabPanelCaptionGetter(tabs, 2), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(gChanges, 0) << "making the tabs is no change";

  RuntimeObject* three = AddControl(GetTabPanelClassDefinition(), "Three", MakeRect(20, 270, 380, 290), host);
  stringSetter(three, static_cast<int32_t>(offsetof(TabPanelObject, tabDefinition)), string("Sky\r\rEye").Rep());
  MakePane(three);
  EXPECT_EQ(PagePanelCountGetter(three, 0), 3);
  EXPECT_EQ(Caption(three, 1), "");
  EXPECT_EQ(Caption(three, 2), "Eye");
}

TEST_F(PanelGuiTest, ClickingATabShowsItsPageAndFiresChangeOnce) {
  RuntimeObject* tabs = AddTabs("Sky\rEye\rScope");
  RuntimeObject* first = AddText("Zenith", MakeRect(40, 80, 200, 100), 1);
  RuntimeObject* second = AddText("Age", MakeRect(40, 120, 200, 140), 2);
  RuntimeObject* outside = AddText("Result", MakeRect(20, 300, 200, 320), 0);
  EXPECT_EQ(PaneOf(first)->GetParent(), TabPane(tabs)) << "a control on a page over the panel is its child";
  test::ShowAndSettle(native);
  EXPECT_TRUE(OnScreen(first));
  EXPECT_FALSE(OnScreen(second));
  EXPECT_TRUE(OnScreen(outside));

  ClickTab(tabs, 1);
  EXPECT_EQ(tabPanelValueGetter(tabs, 0), 1);
  EXPECT_EQ(gChanges, 1);
  EXPECT_FALSE(OnScreen(first));
  EXPECT_TRUE(OnScreen(second));
  EXPECT_TRUE(OnScreen(outside)) << "a control on no page is not the panel's";
  test::FlushWindowDrawing(native);
  EXPECT_TRUE(test::SaveWindowScreenshot(native, std::string(VORN_BINARY_DIR) + "/tab_panel_eye.png"));

  ClickTab(tabs, 2);
  EXPECT_EQ(gChanges, 2);
  EXPECT_FALSE(OnScreen(first));
  EXPECT_FALSE(OnScreen(second));
  EXPECT_TRUE(test::SaveWindowScreenshot(native, std::string(VORN_BINARY_DIR) + "/tab_panel.png"));
}

TEST_F(PanelGuiTest, ValueSetByCodeSwitchesPagesAndChecksItsRange) {
  RuntimeObject* tabs = AddTabs("Sky\rEye");
  RuntimeObject* first = AddText("Zenith", MakeRect(40, 80, 200, 100), 1);
  RuntimeObject* second = AddText("Age", MakeRect(40, 120, 200, 140), 2);
  test::ShowAndSettle(native);
  tabPanelValueSetter(tabs, 0, 1);
  test::RunLoopIteration();
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(TabPane(tabs)->Widget())), 1);
  EXPECT_EQ(gChanges, 1) << "one Change for one selection";
  EXPECT_FALSE(OnScreen(first));
  EXPECT_TRUE(OnScreen(second));
  PagePanelValueSetter(tabs, 0, 0);
  EXPECT_EQ(gChanges, 2);
  EXPECT_TRUE(OnScreen(first));

  tabPanelValueSetter(tabs, 0, 2);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << "Value equal to the tab count";
  tabPanelValueSetter(tabs, 0, -1);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(tabPanelValueGetter(tabs, 0), 0);
  EXPECT_EQ(gChanges, 2);
}

TEST_F(PanelGuiTest, InsertingAndRemovingTabsKeepsControlsWithTheirPages) {
  RuntimeObject* tabs = AddTabs("Sky\rEye");
  RuntimeObject* first = AddText("Zenith", MakeRect(40, 80, 200, 100), 1);
  RuntimeObject* second = AddText("Age", MakeRect(40, 120, 200, 140), 2);
  test::ShowAndSettle(native);
  TabPanelInsertTab(tabs, 1, string("Scope").Rep());
  EXPECT_EQ(Caption(tabs, 1), "Scope");
  EXPECT_EQ(Caption(tabs, 2), "Eye");
  EXPECT_EQ(AsControl(first)->tabPanelIndex, 1);
  EXPECT_EQ(AsControl(second)->tabPanelIndex, 3) << "the Eye controls moved with their tab";
  ClickTab(tabs, 2);
  EXPECT_TRUE(OnScreen(second));
  EXPECT_FALSE(OnScreen(first));

  // Removing the current tab closes its controls and selects the tab that takes its place.
  const int32_t before = LiveObjectCount();
  TabPanelRemoveTab(tabs, 2);
  EXPECT_EQ(LiveObjectCount(), before - 1) << "the Age text went with its tab";
  EXPECT_EQ(PagePanelCountGetter(tabs, 0), 2);
  EXPECT_EQ(tabPanelValueGetter(tabs, 0), 1);
  TabPanelRemoveTab(tabs, 5);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  TabPanelInsertTab(tabs, 4, string("Far").Rep());
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
}

TEST_F(PanelGuiTest, TabClickedOnFindsTabsOnlyInTheStrip) {
  RuntimeObject* tabs = AddTabs("Sky\rEye");
  test::ShowAndSettle(native);
  EXPECT_EQ(TabPanelTabClickedOn(tabs, 4, 5), 0);
  EXPECT_EQ(TabPanelTabClickedOn(tabs, 4, 150), -1) << "below the tab strip";
  EXPECT_EQ(TabPanelTabClickedOn(tabs, 300, 5), -1) << "past the last tab";
}

TEST_F(PanelGuiTest, PagePanelSwitchesPagesByValue) {
  test::PackedStream stream;
  stream.Int(28, 3);
  RuntimeObject* pages = AddControl(GetPagePanelClassDefinition(), "Pages", MakeRect(20, 20, 380, 260), host, &stream);
  Install(pages, "Change", reinterpret_cast<void*>(&PanelChanged));
  MakePane(pages);
  RuntimeObject* one = AddText("One", MakeRect(40, 40, 200, 60), 1);
  RuntimeObject* three = AddText("Three", MakeRect(40, 80, 200, 100), 3);
  test::ShowAndSettle(native);
  EXPECT_EQ(PagePanelValueGetter(pages, 0), 0);
  EXPECT_TRUE(OnScreen(one));
  EXPECT_FALSE(OnScreen(three));

  PagePanelValueSetter(pages, 0, 7);
  EXPECT_EQ(PagePanelValueGetter(pages, 0), 2) << "past the end selects the last page";
  EXPECT_EQ(gChanges, 1);
  EXPECT_FALSE(OnScreen(one));
  EXPECT_TRUE(OnScreen(three));
  PagePanelValueSetter(pages, 0, 2);
  EXPECT_EQ(gChanges, 2) << "Change also when the page stays";

  PagePanelAppendPage(pages);
  EXPECT_EQ(PagePanelCountGetter(pages, 0), 4);
  PagePanelInsertPage(pages, 0);
  EXPECT_EQ(AsControl(one)->tabPanelIndex, 2);
  EXPECT_EQ(AsControl(three)->tabPanelIndex, 4);
  PagePanelRemovePage(pages, 9);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
}

// Pages coming or going before the shown one leave it shown: Value follows it, and as the user
// chose nothing there is no Change.
TEST_F(PanelGuiTest, APageInsertedOrRemovedBeforeTheShownOneLeavesItShown) {
  RuntimeObject* tabs = AddTabs("A\rB\rC", MakeRect(20, 20, 380, 130));
  test::PackedStream stream;
  stream.Int(28, 3);
  RuntimeObject* pages = AddControl(GetPagePanelClassDefinition(), "Pages", MakeRect(20, 140, 380, 260), host, &stream);
  Install(pages, "Change", reinterpret_cast<void*>(&PanelChanged));
  MakePane(pages);
  struct Panel {
    RuntimeObject* control;
    std::vector<RuntimeObject*> texts;  // one a page
  } panels[] = {{tabs, {AddText("TA", MakeRect(40, 70, 200, 90), 1), AddText("TB", MakeRect(40, 70, 200, 90), 2),
                        AddText("TC", MakeRect(40, 70, 200, 90), 3)}},
                {pages, {AddText("PA", MakeRect(40, 180, 200, 200), 1), AddText("PB", MakeRect(40, 180, 200, 200), 2),
                         AddText("PC", MakeRect(40, 180, 200, 200), 3)}}};
  test::ShowAndSettle(native);
  ClickTab(tabs, 2);
  PagePanelValueSetter(pages, 0, 2);

  struct Step {
    bool insert;
    int32_t index;
    int32_t value;  // Value after the step: the third text's page stays shown throughout
  };
  for (const Panel& panel : panels) {
    gChanges = 0;
    for (const Step& step : {Step{true, 0, 3}, Step{true, 3, 4}, Step{true, 5, 4}, Step{false, 0, 3},
                             Step{false, 4, 3}, Step{false, 2, 2}}) {
      const std::string what = std::string(step.insert ? "insert " : "remove ") + std::to_string(step.index);
      if (step.insert) {
        PagePanelInsertPage(panel.control, step.index);
      } else {
        PagePanelRemovePage(panel.control, step.index);
      }
      test::FlushWindowDrawing(native);
      EXPECT_EQ(PagePanelValueGetter(panel.control, 0), step.value) << what;
      EXPECT_EQ(AsControl(panel.texts[2])->tabPanelIndex, step.value + 1) << what;
      EXPECT_TRUE(OnScreen(panel.texts[2])) << what;
      EXPECT_FALSE(OnScreen(panel.texts[1])) << what;
    }
    EXPECT_EQ(gChanges, 0);
  }
  EXPECT_TRUE(test::SaveWindowScreenshot(native, std::string(VORN_BINARY_DIR) + "/panel_insert_before.png"));
}

}  // namespace
}  // namespace vorn
