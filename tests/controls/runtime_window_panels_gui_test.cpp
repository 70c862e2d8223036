// A tab panel, a progress bar and a rectangle in a runtime window, built the way compiled code
// builds them: packed property streams (the page of each control among them) and a TabPanel
// subclass whose Change is implemented by its class. A click on a tab shows that page's
// controls only. Radio buttons on two pages of the tab panel form one group per page.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "controls/control_support.h"
#include "controls/embedded_window_control.h"
#include "controls/panel_classes.h"
#include "controls/progress_bar_pane.h"
#include "controls/shape_panes.h"
#include "controls/static_text_class.h"
#include "controls/support/runtime_window_controls.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "support/window_pixels.h"
#include "vorn/buttons_api.h"
#include "vorn/class_abi.h"
#include "vorn/controls2_api.h"
#include "vorn/window_api.h"
#include "windows/runtime_window.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

struct PanelsWindowObject {
  WindowObject window;
  RuntimeObject* tabs;  // held, as compiled code keeps its controls in fields
  RuntimeObject* sky;
  RuntimeObject* eye;
  RuntimeObject* bar;
  RuntimeObject* box;
};

int gChanges = 0;
RuntimeClass* sTabsClass = nullptr;
RuntimeClass* sWindowClass = nullptr;

PanelsWindowObject* Panels(RuntimeObject* self) { return reinterpret_cast<PanelsWindowObject*>(self); }

void OnTabsChanged(VornRuntimeObject*) { ++gChanges; }

RuntimeClass* Intrinsic(const char* name) { return RuntimeLookupClass(string(name).Rep()); }

void OnLayout(VornRuntimeObject* self) {
  windowPosSetter(self, 0, 150);
  windowPosSetter(self, 1, 150);
  windowPosSetter(self, 2, 420);
  windowPosSetter(self, 3, 300);
  windowTitleSetter(self, 0, string("Observer").Rep());
}

void OnCreateControls(VornRuntimeObject* self) {
  test::PackedStream tabs;
  tabs.Text(30, "Sky\r\nEye");
  Panels(self)->tabs = test::AddWindowControl(self, sTabsClass, "Tabs", MakeRect(10, 10, 410, 200), tabs);
  test::PackedStream sky;
  sky.Int(2, 1).Text(27, "Zenith limit");
  Panels(self)->sky = test::AddWindowControl(self, Intrinsic("StaticText"), "Sky", MakeRect(30, 60, 250, 80), sky);
  test::PackedStream eye;
  eye.Int(2, 2).Text(27, "Observer age");
  Panels(self)->eye = test::AddWindowControl(self, Intrinsic("StaticText"), "Eye", MakeRect(30, 100, 250, 120), eye);
  test::PackedStream bar;
  bar.Int(26, 30).Int(27, 60);
  Panels(self)->bar = test::AddWindowControl(self, Intrinsic("ProgressBar"), "Bar", MakeRect(10, 220, 410, 240), bar);
  test::PackedStream box;
  box.Color(26, 0xFF0000).Int(27, 1).Color(28, 0x00FF00).Color(29, 0x0000FF);
  Panels(self)->box = test::AddWindowControl(self, Intrinsic("Rectangle"), "Box", MakeRect(10, 250, 110, 290), box);
}

void PanelsWindowFinalizer(VornRuntimeObject* self) {
  PanelsWindowObject* w = Panels(self);
  for (RuntimeObject** field : {&w->tabs, &w->sky, &w->eye, &w->bar, &w->box}) {
    RuntimeUnlockObject(*field);
    *field = nullptr;
  }
}

void EnsureClasses() {
  if (sWindowClass) return;
  sTabsClass = test::MakeClass("SkyTabs", "TabPanel", sizeof(TabPanelObject),
                               {{"#Change%%o<SkyTabs>", Fn(&OnTabsChanged), nullptr, 0}});
  sWindowClass = test::MakeClass("PanelsWindow", "Window", sizeof(PanelsWindowObject),
                                 {{"#Layout%%o<PanelsWindow>", Fn(&OnLayout), nullptr, 0},
                                  {"#CreateControls%%o<PanelsWindow>", Fn(&OnCreateControls), nullptr, 0}},
                                 {Fn(&PanelsWindowFinalizer), nullptr});
}

bool Shown(RuntimeObject* control) {
  SubPane* pane = ControlPane(AsControl(control));
  return pane && pane->IsDisplayed() && GTK_WIDGET_VISIBLE(pane->Widget());
}

TEST(RuntimeWindowPanelsTest, PagesOfATabPanelInARuntimeWindowFollowTheTabs) {
  ASSERT_TRUE(test::EnsureDisplay());
  test::PrepareRuntimeWindows();
  EnsureClasses();
  ASSERT_NE(sTabsClass, nullptr);
  gChanges = 0;
  RuntimeObject* window = RuntimeNewObject(sWindowClass);
  WindowDefaultConstructor(window);
  test::RunLoopIteration();
  PanelsWindowObject* w = Panels(window);
  auto* tabs = ControlPaneAs<TabPanel>(w->tabs);
  ASSERT_NE(tabs, nullptr) << "the window layer made the pane through PagePanelCreatePane";
  EXPECT_EQ(tabs->GetTabCount(), 2);
  EXPECT_EQ(ControlPane(AsControl(w->eye))->GetParent(), tabs);
  ASSERT_NE(ControlPaneAs<ProgressBar>(w->bar), nullptr);
  EXPECT_DOUBLE_EQ(gtk_progress_bar_get_fraction(GTK_PROGRESS_BAR(ControlPane(AsControl(w->bar))->Widget())), 0.5);
  ASSERT_NE(ControlPaneAs<EditRect>(w->box), nullptr);

  Window* native = GetWindowPaneOf(window);
  test::ShowAndSettle(native);
  EXPECT_TRUE(Shown(w->sky));
  EXPECT_FALSE(Shown(w->eye));
  EXPECT_EQ(gChanges, 0) << "nothing fires while the window is built";

  test::FlushWindowDrawing(native);
  GtkWidget* label = tabs->TabLabel(1);
  test::ClickAt(native, label->allocation.x + label->allocation.width / 2,
                label->allocation.y + label->allocation.height / 2);
  EXPECT_EQ(gChanges, 1);
  EXPECT_EQ(tabPanelValueGetter(w->tabs, 0), 1);
  EXPECT_FALSE(Shown(w->sky));
  EXPECT_TRUE(Shown(w->eye));
  test::FlushWindowDrawing(native);
  EXPECT_EQ(test::WindowScreenPixel(native, 60, 270), 0xFF0000u) << "the rectangle's fill";
  EXPECT_TRUE(test::SaveWindowScreenshot(native, std::string(VORN_BINARY_DIR) + "/runtime_window_panels.png"));

  test::CloseAndRelease(window);
}

// A radio button added to the shown window on a page of the tab panel (pages count from 0).
RuntimeObject* AddRadio(RuntimeObject* window, const char* name, int32_t page, int32_t top) {
  test::PackedStream radio;
  radio.Int(2, page + 1).Text(26, name);
  return test::AddWindowControl(window, Intrinsic("RadioButton"), name, MakeRect(30, top, 200, top + 22), radio);
}

void ClickControl(Window* native, RuntimeObject* control) {
  Rect b = GetControlBounds(AsControl(control));
  test::ClickAt(native, b.left + 8, (b.top + b.bottom) / 2);
}

TEST(RuntimeWindowPanelsTest, RadioButtonsOnEachPageOfATabPanelFormAGroupOfTheirOwn) {
  ASSERT_TRUE(test::EnsureDisplay());
  test::PrepareRuntimeWindows();
  EnsureClasses();
  RuntimeObject* window = RuntimeNewObject(sWindowClass);
  WindowDefaultConstructor(window);
  test::RunLoopIteration();
  Window* native = GetWindowPaneOf(window);
  test::ShowAndSettle(native);
  PanelsWindowObject* w = Panels(window);
  RuntimeObject* north = AddRadio(window, "North", 0, 130);
  RuntimeObject* south = AddRadio(window, "South", 0, 160);
  RuntimeObject* near = AddRadio(window, "Near", 1, 130);
  RuntimeObject* far = AddRadio(window, "Far", 1, 160);
  auto* tabs = ControlPaneAs<TabPanel>(w->tabs);
  for (RuntimeObject* radio : {north, south, near, far}) {
    ASSERT_NE(ControlPane(AsControl(radio)), nullptr);
    EXPECT_EQ(ControlPane(AsControl(radio))->GetParent(), tabs) << "the radio sits in the tab panel";
  }
  test::FlushWindowDrawing(native);

  ClickControl(native, north);
  EXPECT_TRUE(radioValueGetter(north, 0));
  tabPanelValueSetter(w->tabs, 0, 1);
  test::FlushWindowDrawing(native);
  ClickControl(native, near);
  EXPECT_TRUE(radioValueGetter(near, 0));
  EXPECT_TRUE(radioValueGetter(north, 0)) << "a button on another page is in another group";
  ClickControl(native, far);
  EXPECT_TRUE(radioValueGetter(far, 0));
  EXPECT_FALSE(radioValueGetter(near, 0)) << "buttons of one page exclude each other";
  EXPECT_TRUE(radioValueGetter(north, 0));

  tabPanelValueSetter(w->tabs, 0, 0);
  test::FlushWindowDrawing(native);
  ClickControl(native, south);
  EXPECT_TRUE(radioValueGetter(south, 0));
  EXPECT_FALSE(radioValueGetter(north, 0));
  EXPECT_TRUE(radioValueGetter(far, 0));

  // Moved to the other page, a button leaves its group for that page's.
  ControlTabPanelIndexSetter(north, 0, 2);
  radioValueSetter(north, 0, 1);
  EXPECT_FALSE(radioValueGetter(far, 0)) << "North now shares the second page's group";
  EXPECT_TRUE(radioValueGetter(south, 0)) << "and left the first page's";

  // A tab inserted before both pages renumbers them: each page's group keeps its selection,
  // and the page shown (the second, with Far and Near) stays shown.
  radioValueSetter(north, 0, 0);
  ControlTabPanelIndexSetter(north, 0, 1);
  radioValueSetter(south, 0, 1);
  tabPanelValueSetter(w->tabs, 0, 1);
  radioValueSetter(far, 0, 1);
  test::FlushWindowDrawing(native);
  TabPanelInsertTab(w->tabs, 0, string("Site").Rep());
  test::FlushWindowDrawing(native);
  EXPECT_EQ(tabPanelValueGetter(w->tabs, 0), 2);
  EXPECT_TRUE(Shown(far) && Shown(near) && !Shown(south));
  struct Expected {
    RuntimeObject* radio;
    int32_t page;  // 1-based
    bool on;
  };
  for (const Expected& e : {Expected{north, 2, false}, Expected{south, 2, true}, Expected{near, 3, false},
                            Expected{far, 3, true}}) {
    EXPECT_EQ(AsControl(e.radio)->tabPanelIndex, e.page);
    EXPECT_EQ(radioValueGetter(e.radio, 0) != 0, e.on) << e.page;
  }
  EXPECT_TRUE(test::SaveWindowScreenshot(native, std::string(VORN_BINARY_DIR) + "/radio_tab_inserted.png"));
  // The user sees Far still selected.
  const Rect farBounds = GetControlBounds(AsControl(far));
  const Rect nearBounds = GetControlBounds(AsControl(near));
  EXPECT_NE(test::WindowScreenPixel(native, farBounds.left + 8, (farBounds.top + farBounds.bottom) / 2),
            test::WindowScreenPixel(native, nearBounds.left + 8, (nearBounds.top + nearBounds.bottom) / 2));

  for (RuntimeObject* radio : {north, south, near, far}) RuntimeUnlockObject(radio);
  RuntimeCloseWindow(window);
  test::RunLoopIteration();
  RuntimeUnlockObject(window);
}

}  // namespace
}  // namespace vorn
