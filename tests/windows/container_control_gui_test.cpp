// Container controls on a real display: a SliderBox container embedded in a window at
// (20, 30), an OuterBox holding a SliderBox at (30, 20) of itself, their controls' panes,
// widgets and pixels, the pass-through members, showing, hiding and closing containers, and
// the menu-enabling pass over a window and its containers, and containers on the pages of a
// tab panel.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "support/gui_support.h"
#include "vorn/class_abi.h"
#include "vorn/control_api.h"
#include "vorn/controls2_api.h"
#include "vorn/window_api.h"
#include "windows/container_control.h"
#include "windows/menu_enabling.h"
#include "windows/support/compiled_window_fixture.h"
#include "windows/support/container_test_classes.h"
#include "windows/support/test_panes.h"
#include "windows/support/window_test_classes.h"

namespace vorn {
namespace {

using test::EventLog;
using test::LogEntries;
using test::Pump;
using test::Script;

class ContainerControlGuiTest : public test::ContainerWindowTest {
 protected:
  void SetUp() override {
    ContainerWindowTest::SetUp();
    Script().bounds = MakeRect(100, 100, 500, 360);
  }

  RuntimeObject* ShownWindow() {
    RuntimeObject* window = Keep(test::NewMainWindow());
    RuntimeShowWindow(window);
    Pump(200);
    return window;
  }

  static ControlObject* EmbeddingOf(RuntimeObject* box) { return AsControl(AsWindowFields(box)->embeddedWindowControl); }
  static SubPane* PaneOf(RuntimeObject* control) { return ControlPane(AsControl(control)); }

  // The colour at a point of the window's content.
  static uint32_t Pixel(RuntimeObject* window, int x, int y) {
    GdkWindow* gdkWindow = gtk_widget_get_window(View(window)->GtkWindowWidget());
    GdkPixbuf* pixels = gdk_pixbuf_get_from_drawable(nullptr, GDK_DRAWABLE(gdkWindow), nullptr, x, y, 0, 0, 1, 1);
    if (!pixels) return 0xFFFFFFFF;
    const guchar* rgb = gdk_pixbuf_get_pixels(pixels);
    uint32_t value = (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
    g_object_unref(pixels);
    return value;
  }

  static GtkAllocation Allocation(RuntimeObject* control) {
    GtkAllocation allocation = {};
    gtk_widget_get_allocation(PaneOf(control)->Widget(), &allocation);
    return allocation;
  }
};

TEST_F(ContainerControlGuiTest, ATemplateIsBuiltWithoutAWindowAndOpensWhenEmbedded) {
  RuntimeObject* box = Keep(test::NewSliderBox());
  EXPECT_EQ(View(box), nullptr);
  std::vector<std::string> expected = {"SliderBox.Layout", "SliderBox.CreateControls"};
  EXPECT_EQ(EventLog(), expected) << "no native window and no Open before embedding";
  ASSERT_NE(EmbeddingOf(box), nullptr);
  EXPECT_EQ(PaneOf(test::SwatchOf(box)), nullptr);
  RuntimeShowAsWindow(box);
  EXPECT_EQ(View(box), nullptr) << "a container never gets a window of its own";

  RuntimeObject* window = ShownWindow();
  EventLog().clear();
  EmbedWithin(box, window, 20, 30, -1, -1);
  expected = {"SliderBox.AddMenuHandlers:self", "Swatch.Open", "SliderBox.Open"};
  EXPECT_EQ(EventLog(), expected);
  // The designed size stays; the designed position (7, 9) does not count.
  Rect placed = GetControlBounds(EmbeddingOf(box));
  EXPECT_EQ(placed.left, 20);
  EXPECT_EQ(placed.top, 30);
  EXPECT_EQ(placed.Width(), 200);
  EXPECT_EQ(placed.Height(), 60);
  EXPECT_EQ(AsWindowFields(box)->containingWindow, window);
  EXPECT_EQ(EmbeddingOf(box)->window, window);
  EXPECT_EQ(AsObject(EmbeddingOf(box))->refCount, 2) << "the window's controls map and the control's pane hold it";
  EXPECT_EQ(AsWindowFields(box)->windowKeys, 1) << "a control without focus leaves keys to the template";
  EXPECT_EQ(ControlMenuHandlers(EmbeddingOf(box)), nullptr) << "the template keeps its menu handlers";

  // The template's control sits inside the container: bounds and widget in the outer window,
  // Left and Top in the template's own coordinates.
  RuntimeObject* swatch = test::SwatchOf(box);
  ASSERT_NE(PaneOf(swatch), nullptr);
  EXPECT_EQ(PaneOf(swatch)->GetParent(), ControlPane(EmbeddingOf(box)));
  EXPECT_EQ(GetControlBounds(AsControl(swatch)).left, 30);
  EXPECT_EQ(GetControlBounds(AsControl(swatch)).top, 40);
  EXPECT_EQ(ctlPosGetter(swatch, 0), 10) << "Left reads 20 less in a window embedded at (20, 30)";
  EXPECT_EQ(ctlPosGetter(swatch, 1), 10);
  Pump(300);
  GtkAllocation a = Allocation(swatch);
  EXPECT_EQ(a.x, 30);
  EXPECT_EQ(a.y, 40);
  EXPECT_EQ(a.width, 40);
  EXPECT_EQ(Pixel(window, 35, 45), test::kSliderBoxSwatchColor);
  EXPECT_NE(Pixel(window, 15, 45), test::kSliderBoxSwatchColor);

  // Writing Left moves the control within the template.
  ctlPosSetter(swatch, 0, 50);
  EXPECT_EQ(GetControlBounds(AsControl(swatch)).left, 70);
  Pump(200);
  EXPECT_EQ(Pixel(window, 75, 45), test::kSliderBoxSwatchColor);
  test::PictureTool("import -window root " + std::string(VORN_BINARY_DIR) + "/container_embedded.png");
}

TEST_F(ContainerControlGuiTest, AContainerInAContainerSitsAtTheSumOfBothOffsets) {
  RuntimeObject* outer = Keep(test::NewOuterBox());
  RuntimeObject* inner = test::InnerBoxOf(outer);
  ASSERT_NE(inner, nullptr);
  RuntimeObject* window = ShownWindow();
  EventLog().clear();
  EmbedWithin(outer, window, 20, 30, -1, -1);
  // Controls inside the inner container open before it, and both before the outer one.
  std::vector<std::string> opens = LogEntries("Swatch.Open");
  EXPECT_EQ(opens.size(), 2u);
  const std::vector<std::string>& log = EventLog();
  auto at = [&](const std::string& entry) { return std::find(log.begin(), log.end(), entry) - log.begin(); };
  EXPECT_LT(at("SliderBox.Open"), at("OuterBox.Open"));

  EXPECT_EQ(AsWindowFields(inner)->containingWindow, outer);
  Rect innerPlace = GetControlBounds(EmbeddingOf(inner));
  EXPECT_EQ(innerPlace.left, 50);
  EXPECT_EQ(innerPlace.top, 50);
  EXPECT_EQ(PaneOf(AsObject(EmbeddingOf(inner)))->GetParent(), ControlPane(EmbeddingOf(outer)));
  RuntimeObject* innerSwatch = test::SwatchOf(inner);
  EXPECT_EQ(GetControlBounds(AsControl(innerSwatch)).left, 60);
  EXPECT_EQ(ctlPosGetter(innerSwatch, 0), 10);
  EXPECT_EQ(ctlPosGetter(AsObject(EmbeddingOf(inner)), 0), 30) << "the inner container's Left, in the outer box";

  Pump(300);
  GtkAllocation a = Allocation(innerSwatch);
  EXPECT_EQ(a.x, 60);
  EXPECT_EQ(a.y, 60);
  EXPECT_EQ(Pixel(window, 65, 65), test::kSliderBoxSwatchColor);
  EXPECT_EQ(Pixel(window, 225, 45), test::kOuterSwatchColor);

  // Every window of the tree and every control are found for closing.
  std::vector<RuntimeObject*> tree = CollectWindowTree(window);
  ASSERT_EQ(tree.size(), 3u);
  EXPECT_EQ(tree[1], outer);
  EXPECT_EQ(tree[2], inner);
  test::PictureTool("import -window root " + std::string(VORN_BINARY_DIR) + "/container_nested.png");
}

TEST_F(ContainerControlGuiTest, ContainersInTheControlsMapAreEmbeddedWhenTheWindowIsBuilt) {
  RuntimeObject* window = Keep(test::NewMainWindow());
  RuntimeCloseWindow(window);
  RuntimeObject* box = Keep(test::NewSliderBox());
  windowPosSetter(box, 0, 40);
  windowPosSetter(box, 1, 50);
  WindowAddControl(window, string("Box").Rep(), box);
  EventLog().clear();
  RuntimeShowAsWindow(window);
  ASSERT_NE(View(window), nullptr);
  EXPECT_EQ(AsWindowFields(box)->containingWindow, window);
  EXPECT_EQ(GetControlBounds(EmbeddingOf(box)).left, 40) << "nested embedding keeps the designed place";
  EXPECT_NE(PaneOf(test::SwatchOf(box)), nullptr);
  EXPECT_TRUE(LogEntries("SliderBox.Open").empty()) << "windows rebuilt later do not open again";
}

TEST_F(ContainerControlGuiTest, ExplicitSizesResizeTheContainerAndBadTargetsAreRefused) {
  RuntimeObject* window = ShownWindow();
  RuntimeObject* box = Keep(test::NewSliderBox());
  EmbedWithin(box, window, 10, 10, 300, -1);
  EXPECT_EQ(GetControlBounds(EmbeddingOf(box)).Width(), 300);
  EXPECT_EQ(GetControlBounds(EmbeddingOf(box)).Height(), 60);
  EXPECT_EQ(windowPosGetter(box, 2), 300);

  // Embedding twice would file the control twice: refused with a report.
  EmbedWithin(box, window, 0, 0, -1, -1);
  EXPECT_EQ(Reports().size(), 1u);
  EXPECT_EQ(GetControlBounds(EmbeddingOf(box)).left, 10) << "the container stays where it was";

  RuntimeObject* other = Keep(test::NewSliderBox());
  EmbedWithinControl(other, nullptr, 0, 0, -1, -1);
  RuntimeObject* raised = TakePendingException();
  EXPECT_TRUE(RuntimeObjectIsaDefinition(raised, GetNilObjectExceptionClassDefinition()));
  RuntimeUnlockObject(raised);
  RuntimeObject* loose = test::NewSwatch(nullptr, "Loose", MakeRect(0, 0, 10, 10), 0);
  EmbedWithinControl(other, loose, 0, 0, -1, -1);
  raised = TakePendingException();
  EXPECT_TRUE(RuntimeObjectIsaDefinition(raised, GetInvalidParentExceptionClassDefinition()));
  RuntimeUnlockObject(raised);
  RuntimeUnlockObject(loose);
  // A window cannot go into a window embedded in it.
  RuntimeObject* outer = Keep(test::NewOuterBox());
  EmbedWithin(outer, window, 0, 100, -1, -1);
  RuntimeObject* loop = Keep(test::NewOuterBox());
  EmbedWithin(loop, test::InnerBoxOf(loop), 0, 0, -1, -1);
  raised = TakePendingException();
  EXPECT_TRUE(RuntimeObjectIsaDefinition(raised, GetInvalidParentExceptionClassDefinition()));
  RuntimeUnlockObject(raised);
  // The remaining template gets its place relative to a control of the window; a focusable
  // container takes keys and menu handlers through its control.
  eWindowBoolPassThroughSetter(other, kEmbeddingAcceptFocusParam, 1);
  EmbedWithinControl(other, AsObject(EmbeddingOf(box)), 5, 6, -1, -1);
  EXPECT_EQ(GetControlBounds(EmbeddingOf(other)).left, 15);
  EXPECT_EQ(GetControlBounds(EmbeddingOf(other)).top, 16);
  EXPECT_EQ(AsWindowFields(other)->windowKeys, 0);
  EXPECT_NE(ControlMenuHandlers(EmbeddingOf(other)), nullptr) << "the template's menu handlers reach the control";
}

TEST_F(ContainerControlGuiTest, LeftAndMoveOfAnEmbeddedContainerMoveItsControlOnTheScreen) {
  RuntimeObject* window = ShownWindow();
  RuntimeObject* box = Keep(test::NewSliderBox());
  EmbedWithin(box, window, 20, 30, -1, -1);
  Pump(300);
  ASSERT_EQ(Pixel(window, 35, 45), test::kSliderBoxSwatchColor);
  // Left through the container's own property: the control and its swatch go with it.
  windowPosSetter(box, 0, 120);
  EXPECT_EQ(GetControlBounds(EmbeddingOf(box)).left, 120);
  Pump(300);
  EXPECT_EQ(Pixel(window, 135, 45), test::kSliderBoxSwatchColor);
  EXPECT_NE(Pixel(window, 35, 45), test::kSliderBoxSwatchColor) << "nothing left at the old place";
  // _Move places and sizes it at once.
  WindowMove(box, 40, 150, 200, 60);
  Pump(300);
  Rect placed = GetControlBounds(EmbeddingOf(box));
  EXPECT_EQ(placed.left, 40);
  EXPECT_EQ(placed.top, 150);
  EXPECT_EQ(Pixel(window, 55, 165), test::kSliderBoxSwatchColor);
  test::PictureTool("import -window root " + std::string(VORN_BINARY_DIR) + "/container_moved.png");
}

RuntimeObject* sBackdropSeen = nullptr;

TEST_F(ContainerControlGuiTest, WindowMembersOfAnEmbeddedContainerReachItsControl) {
  RuntimeObject* window = ShownWindow();
  RuntimeObject* box = Keep(test::NewSliderBox());
  EmbedWithin(box, window, 20, 30, -1, -1);
  Pump(300);
  ControlObject* control = EmbeddingOf(box);

  WindowVisibleSetter(box, 0, 0);
  EXPECT_FALSE(control->visible);
  EXPECT_EQ(WindowVisibleGetter(box, 0), 0);
  Pump(200);
  EXPECT_NE(Pixel(window, 35, 45), test::kSliderBoxSwatchColor) << "hidden with its control";
  WindowVisibleSetter(box, 0, 1);
  Pump(200);
  EXPECT_EQ(Pixel(window, 35, 45), test::kSliderBoxSwatchColor);
  formRefresh(box, 1);
  formRefreshRect(box, 0, 0, 10, 10, 1);

  // The pointer, as the control sees it.
  int32_t x = 0, y = 0;
  test::ScreenPoint(View(window), 50, 45, &x, &y);
  test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
  Pump(200);
  EXPECT_EQ(windowMouseXGetter(box, 0), 30);
  EXPECT_EQ(windowMouseYGetter(box, 0), 15);

  // Backdrop and Graphics are the control's.
  EmbeddingControlServices saved = GetEmbeddingControlServices();
  EmbeddingControlServices services = saved;
  services.setBackdrop = [](RuntimeObject*, int32_t, RuntimeObject* picture) { sBackdropSeen = picture; };
  services.graphics = [](RuntimeObject* control, int32_t) {
    RuntimeLockObject(control);
    return control;
  };
  SetEmbeddingControlServices(services);
  windowBackdropSetter(box, 0, window);
  EXPECT_EQ(sBackdropSeen, window);
  RuntimeObject* graphics = windowGraphicsGetter(box, 0);
  EXPECT_EQ(graphics, AsObject(control));
  RuntimeUnlockObject(graphics);
  windowBackdropSetter(box, 0, nullptr);
  SetEmbeddingControlServices(saved);

  // Keys typed in the window reach the embedded window that takes no focus itself.
  EventLog().clear();
  test::PressKeys("q");
  EXPECT_EQ(LogEntries("SliderBox.KeyDown"), std::vector<std::string>{"SliderBox.KeyDown:q"});
}

TEST_F(ContainerControlGuiTest, PassThroughMembersActOnTheEmbeddingControl) {
  RuntimeObject* window = ShownWindow();
  RuntimeObject* box = Keep(test::NewSliderBox());
  eWindowInitialParentSetter(box, 0, string("Nowhere").Rep());
  EmbedWithinPanel(box, nullptr, 2, 0, 0, -1, -1);  // nil panel: NilObjectException
  RuntimeUnlockObject(TakePendingException());
  EXPECT_EQ(eWindowIntPassThroughGetter(box, offsetof(VornControlObject, tabPanelIndex)), 3);
  EmbedWithin(box, window, 20, 30, -1, -1);
  ControlObject* control = EmbeddingOf(box);

  eWindowBoolPassThroughSetter(box, offsetof(VornControlObject, lockLeft), 1);
  EXPECT_EQ(control->lockLeft, 1);
  EXPECT_EQ(eWindowBoolPassThroughGetter(box, offsetof(VornControlObject, lockLeft)), 1);
  eWindowBoolPassThroughSetter(box, kEmbeddingAcceptFocusParam, 1);
  EXPECT_EQ(reinterpret_cast<test::TestEmbeddingObject*>(control)->acceptFocus, 1);
  EXPECT_EQ(eWindowBoolPassThroughGetter(box, kEmbeddingAcceptTabsParam), 0) << "a field the class lacks reads false";
  eWindowBoolPassThroughSetter(box, 100000, 1);  // outside the object: ignored
  EXPECT_EQ(eWindowIntPassThroughGetter(box, -100), 0);

  eWindowHelpTagSetter(box, 0, string("Aperture").Rep());
  StringRep* tag = eWindowStringPassThroughGetter(box, offsetof(VornControlObject, helpTag));
  EXPECT_EQ(string::Share(tag).View(), "Aperture");
  RuntimeUnlockString(tag);
  RuntimeObject* ctl = eWindowControlGetter(box, 0);
  EXPECT_EQ(ctl, AsObject(control));
  RuntimeUnlockObject(ctl);
  RuntimeObject* container = eWindowContainingWindowGettter(box, 0);
  EXPECT_EQ(container, window);
  RuntimeUnlockObject(container);

  // Disabling the container disables its controls' panes; they keep their own wish.
  eWindowEnabledSetter(box, 0, 0);
  EXPECT_FALSE(control->enabled);
  EXPECT_FALSE(PaneOf(test::SwatchOf(box))->IsEnabled());
  EXPECT_TRUE(AsControl(test::SwatchOf(box))->enabled);
  eWindowEnabledSetter(box, 0, 1);
  EXPECT_TRUE(PaneOf(test::SwatchOf(box))->IsEnabled());

  // Nothing to act on: nothing happens.
  EXPECT_EQ(eWindowBoolPassThroughGetter(nullptr, offsetof(VornControlObject, lockLeft)), 0);
  EXPECT_EQ(eWindowControlGetter(window, 0), nullptr);
  eWindowEnabledSetter(window, 0, 0);
}

TEST_F(ContainerControlGuiTest, ShowHideAndCloseOfAContainerActOnItsControl) {
  RuntimeObject* window = ShownWindow();
  RuntimeObject* box = Keep(test::NewSliderBox());
  EmbedWithin(box, window, 20, 30, -1, -1);
  Pump(200);
  SubPane* swatchPane = PaneOf(test::SwatchOf(box));
  RuntimeHideWindow(box);
  EXPECT_FALSE(EmbeddingOf(box)->visible);
  EXPECT_FALSE(swatchPane->IsDisplayed());
  EXPECT_FALSE(WindowVisibleGetter(box, 0));
  Pump(200);
  EXPECT_NE(Pixel(window, 35, 45), test::kSliderBoxSwatchColor);
  RuntimeShowWindow(box);
  EXPECT_TRUE(swatchPane->IsDisplayed());
  EXPECT_TRUE(WindowVisibleGetter(box, 0));

  // CancelClose of an embedded window keeps the outer window open.
  Script().cancelClose = true;
  RuntimeCloseWindow(window);
  EXPECT_NE(View(window), nullptr);
  EXPECT_EQ(LogEntries("SliderBox.CancelClose").size(), 1u);
  Script().cancelClose = false;

  // Closing the template closes its control and the control's controls.
  EventLog().clear();
  RuntimeCloseWindow(box);
  EXPECT_EQ(AsWindowFields(box)->embeddedWindowControl, nullptr);
  EXPECT_EQ(PaneOf(test::SwatchOf(box)), nullptr);
  EXPECT_EQ(LogEntries("Swatch.Close").size(), 1u);
  EXPECT_EQ(windowControlCountGetter(window, 0), 0);
  EXPECT_EQ(AsWindowFields(box)->containingWindow, nullptr) << "the control let its template go";
  Pump(100);
  EXPECT_NE(Pixel(window, 35, 45), test::kSliderBoxSwatchColor);
}

TEST_F(ContainerControlGuiTest, ClosingTheOuterWindowClosesTheEmbeddedControlsFirst) {
  const int32_t liveBefore = LiveObjectCount();
  RuntimeObject* window = test::NewMainWindow();
  RuntimeObject* box = test::NewSliderBox();
  EmbedWithin(box, window, 20, 30, -1, -1);
  EventLog().clear();
  RuntimeCloseWindow(window);
  std::vector<std::string> expected = {"SliderBox.CancelClose", "CancelClose:closing", "Swatch.Close", "Close"};
  EXPECT_EQ(EventLog(), expected);
  RuntimeUnlockObject(box);
  RuntimeUnlockObject(window);
  EXPECT_EQ(LiveObjectCount(), liveBefore) << "window, container, template and controls are all gone";
}

TEST_F(ContainerControlGuiTest, MenuEnablingAsksTheWindowAndItsShownContainersInnermostFirst) {
  RuntimeObject* window = Keep(RuntimeNewObject(test::StateWindowClass()));
  WindowDefaultConstructor(window);
  RuntimeObject* outer = Keep(test::NewOuterBox());
  EmbedWithin(outer, window, 0, 0, -1, -1);
  RuntimeShowWindow(window);
  Pump(300);
  EventLog().clear();
  EnableMenuItemsForWindow(true, View(window));
  std::vector<std::string> expected = {"SliderBox.EnableMenuItems", "OuterBox.EnableMenuItems",
                                       "StateWindow.EnableMenuItems"};
  EXPECT_EQ(EventLog(), expected);

  RuntimeHideWindow(test::InnerBoxOf(outer));
  EventLog().clear();
  enableMenuItems();
  EXPECT_EQ(EventLog().size(), 2u) << "a hidden container is not asked";
  EXPECT_EQ(FrontRuntimeWindow(), View(window));
}

TEST_F(ContainerControlGuiTest, ContainersOnTabPanelPagesFollowTheirPage) {
  RuntimeObject* window = ShownWindow();
  RuntimeObject* tabs = WindowAllocateObject(window, RuntimeLookupClass(string("TabPanel").Rep()));
  ASSERT_NE(tabs, nullptr);
  ControlObject* t = AsControl(tabs);
  t->name = string("Tabs").GetRetainedRep();
  t->visible = t->enabled = 1;
  SetControlBounds(t, MakeRect(10, 10, 390, 240));
  WindowAddControl(window, t->name, tabs);
  TabPanelAppendTab(tabs, string("Sky").Rep());
  TabPanelAppendTab(tabs, string("Eye").Rep());
  ASSERT_NE(PaneOf(tabs), nullptr);

  // Without a page the container goes on the page shown; EmbedWithinPanel names its page.
  RuntimeObject* shownPage = Keep(test::NewSliderBox());
  EmbedWithinControl(shownPage, tabs, 20, 40, -1, -1);
  EXPECT_EQ(EmbeddingOf(shownPage)->tabPanelIndex, 1);
  EXPECT_EQ(eWindowIntPassThroughGetter(shownPage, offsetof(VornControlObject, tabPanelIndex)), 1);
  RuntimeObject* second = Keep(test::NewSliderBox());
  EmbedWithinPanel(second, tabs, 1, 20, 120, -1, -1);
  EXPECT_EQ(EmbeddingOf(second)->tabPanelIndex, 2);
  Pump(200);
  SubPane* firstSwatch = PaneOf(test::SwatchOf(shownPage));
  SubPane* secondSwatch = PaneOf(test::SwatchOf(second));
  ASSERT_NE(firstSwatch, nullptr);
  ASSERT_NE(secondSwatch, nullptr);
  EXPECT_TRUE(firstSwatch->IsDisplayed());
  EXPECT_FALSE(secondSwatch->IsDisplayed()) << "the second page is not shown";

  tabPanelValueSetter(tabs, 0, 1);
  Pump(200);
  EXPECT_FALSE(firstSwatch->IsDisplayed());
  EXPECT_TRUE(secondSwatch->IsDisplayed());

  // A page named explicitly is kept even when the container is embedded again.
  RuntimeObject* third = Keep(test::NewSliderBox());
  EmbedWithinPanel(third, tabs, 0, 200, 40, -1, -1);
  EXPECT_EQ(EmbeddingOf(third)->tabPanelIndex, 1) << "page 0 although page 1 is shown";
  RuntimeUnlockObject(tabs);
}

}  // namespace
}  // namespace vorn
