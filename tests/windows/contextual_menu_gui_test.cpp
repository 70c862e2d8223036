// Right clicks on a real display, made with xdotool: the control under the pointer and its
// window build one contextual menu, which is read back from the widget tree while it is up,
// and the chosen item goes along the same chain. A click on the window itself is first its
// MouseDown.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "objects/runtime_object.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "vorn/class_abi.h"
#include "vorn/control_api.h"
#include "vorn/menu_api.h"
#include "vorn/window_api.h"
#include "windows/pane_focus.h"
#include "windows/menu_gtk.h"
#include "windows/menu_routing.h"
#include "windows/support/compiled_window_fixture.h"
#include "windows/support/window_test_classes.h"

namespace vorn {
namespace {

using test::EventLog;

void* Fn(auto f) { return reinterpret_cast<void*>(f); }
std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

// What the handlers add and answer.
struct MenuScript {
  std::vector<std::string> canvasRows, windowRows;
  bool canvasStops = false;       // the canvas's ConstructContextualMenu answer
  bool canvasTakesAction = false; // its ContextualMenuAction answer
  RuntimeObject* base = nullptr;  // the menu being built, seen by the last handler; held
  RuntimeObject* box = nullptr;   // the window's control
};
MenuScript& Menu() {
  static MenuScript script;
  return script;
}

// The menu being built is held, so the poll that reads it never sees it freed.
void HoldBase(RuntimeObject* base) {
  RuntimeLockObject(base);
  RuntimeUnlockObject(Menu().base);
  Menu().base = base;
}

void AddRows(RuntimeObject* base, const std::vector<std::string>& rows) {
  HoldBase(base);
  for (const std::string& row : rows) {
    RuntimeObject* item = CreateInstanceFromDefinition(GetMenuItemClassDefinition());
    RuntimeMenuItemTextSetter(item, 0, string(row.c_str()).Rep());
    RuntimeMenuItemAppend(base, item);
    RuntimeUnlockObject(item);
  }
}

void OnLayout(VornRuntimeObject* self) {
  windowPosSetter(self, 0, 100);
  windowPosSetter(self, 1, 100);
  windowPosSetter(self, 2, 300);
  windowPosSetter(self, 3, 200);
  WindowVisibleSetter(self, 0, 1);
}

uint8_t OnWindowMouseDown(VornRuntimeObject*, int32_t x, int32_t y) {
  EventLog().push_back("Window.MouseDown:" + std::to_string(x) + "," + std::to_string(y));
  return 0;
}

uint8_t OnWindowConstruct(VornRuntimeObject*, VornRuntimeObject* base, int32_t x, int32_t y) {
  EventLog().push_back("Window.Construct:" + std::to_string(x) + "," + std::to_string(y));
  AddRows(base, Menu().windowRows);
  return 0;
}

uint8_t OnWindowAction(VornRuntimeObject*, VornRuntimeObject* item) {
  EventLog().push_back("Window.Action:" + Text(RuntimeMenuItemTextGetter(item, 0)));
  return 1;
}

void OnBoxCreatePane(VornRuntimeObject* self) {
  ControlObject* control = AsControl(self);
  auto* window = static_cast<Window*>(control->windowPane);
  if (window) AttachControlPane(control, new SubPane(window, control->tabPanelIndex, GetControlBounds(control)));
}

uint8_t OnBoxConstruct(VornRuntimeObject*, VornRuntimeObject* base, int32_t x, int32_t y) {
  EventLog().push_back("Box.Construct:" + std::to_string(x) + "," + std::to_string(y));
  AddRows(base, Menu().canvasRows);
  return Menu().canvasStops;
}

uint8_t OnBoxAction(VornRuntimeObject*, VornRuntimeObject* item) {
  EventLog().push_back("Box.Action:" + Text(RuntimeMenuItemTextGetter(item, 0)));
  return Menu().canvasTakesAction;
}

RuntimeClass* BoxClass() {
  static RuntimeClass* box = test::MakeClass(
      "ContextBox", "RectControl", VORN_CONTROL_INSTANCE_SIZE,
      {{"#CreatePane%%o<ContextBox>", Fn(&OnBoxCreatePane), nullptr, 0},
       {"#ConstructContextualMenu%b%o<ContextBox>o<MenuItem>i4i4", Fn(&OnBoxConstruct), nullptr, 0},
       {"#ContextualMenuAction%b%o<ContextBox>o<MenuItem>", Fn(&OnBoxAction), nullptr, 0}});
  return box;
}

void OnCreateControls(VornRuntimeObject* self) {
  RuntimeObject* box = WindowAllocateObject(self, BoxClass());
  ControlObject* control = AsControl(box);
  control->name = string("Box").GetRetainedRep();
  SetControlBounds(control, MakeRect(20, 30, 120, 90));
  control->visible = 1;
  control->enabled = 1;
  control->index = kNotInControlArray;
  WindowAddControl(self, control->name, box);
  Menu().box = box;
  RuntimeUnlockObject(box);
}

RuntimeClass* ContextWindowClass() {
  static RuntimeClass* window = test::MakeClass(
      "ContextWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
      {{"#Layout%%o<ContextWindow>", Fn(&OnLayout), nullptr, 0},
       {"#CreateControls%%o<ContextWindow>", Fn(&OnCreateControls), nullptr, 0},
       {"#MouseDown%b%o<ContextWindow>i4i4", Fn(&OnWindowMouseDown), nullptr, 0},
       {"#ConstructContextualMenu%b%o<ContextWindow>o<MenuItem>i4i4", Fn(&OnWindowConstruct), nullptr, 0},
       {"#ContextualMenuAction%b%o<ContextWindow>o<MenuItem>", Fn(&OnWindowAction), nullptr, 0}});
  return window;
}

// The rows of the menu on screen, as its widgets show them ("-" for a separator); empty while
// it is not mapped.
std::vector<std::string> RowsShown() {
  std::vector<std::string> rows;
  auto* node = Menu().base ? dynamic_cast<XMenuGTK*>(MenuOf(Menu().base)) : nullptr;
  if (!node || !node->MenuWidget() || !GTK_WIDGET_MAPPED(node->MenuWidget())) return rows;
  GList* children = gtk_container_get_children(GTK_CONTAINER(node->MenuWidget()));
  for (GList* it = children; it; it = it->next) {
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(it->data));
    rows.push_back(child && GTK_IS_LABEL(child) ? gtk_label_get_text(GTK_LABEL(child)) : "-");
  }
  g_list_free(children);
  return rows;
}

// While the menu is up: what it shows, then the keys that choose from it.
struct MenuVisit {
  std::string keys;
  std::vector<std::string> rows;
  bool seen = false;
};

gboolean VisitWhenShown(gpointer data) {
  auto* visit = static_cast<MenuVisit*>(data);
  std::vector<std::string> rows = RowsShown();
  if (rows.empty()) return TRUE;
  visit->rows = rows;
  visit->seen = true;
  test::PictureTool("import -window root " + std::string(VORN_BINARY_DIR) + "/contextual_menu.png");
  test::Shell("xdotool key --delay 40 " + visit->keys);
  return FALSE;
}

class ContextualMenuGuiTest : public test::CompiledWindowTest {
 protected:
  void SetUp() override {
    CompiledWindowTest::SetUp();
    Menu() = MenuScript();
    mWindow = Keep(RuntimeNewObject(ContextWindowClass()));
    WindowDefaultConstructor(mWindow);
    test::ShowAndSettle(View(mWindow));
  }

  void TearDown() override {
    HoldBase(nullptr);
    CompiledWindowTest::TearDown();
  }

  // A right click at (h, v) of the window; the menu, once shown, gets the keys.
  MenuVisit RightClick(int32_t h, int32_t v, const std::string& keys) {
    int32_t x, y;
    test::ScreenPoint(View(mWindow), h, v, &x, &y);
    return Visit("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.1 click 3", keys);
  }

  // The user's `command` asks for the menu; once shown, it gets the keys.
  MenuVisit Visit(const std::string& command, const std::string& keys) {
    MenuVisit visit{keys, {}, false};
    HoldBase(nullptr);  // the last click's menu is gone
    const guint poll = g_timeout_add(50, VisitWhenShown, &visit);
    EventLog().clear();
    test::Shell(command);
    // Until the click has gone through its menu (the deadline keeps a lost click from hanging).
    const gint64 deadline = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
    while (g_get_monotonic_time() < deadline && (EventLog().empty() || (!visit.seen && !keys.empty())))
      test::Pump(50);
    test::Pump(200);
    if (!visit.seen) g_source_remove(poll);
    return visit;
  }

  RuntimeObject* mWindow = nullptr;
};

TEST_F(ContextualMenuGuiTest, TheControlAndItsWindowBuildOneMenuAndTheChoiceGoesBackAlongThem) {
  Menu().canvasRows = {"Zoom in", "-"};
  Menu().windowRows = {"Close chart", "-"};
  // Down twice passes over the separator to the window's row.
  MenuVisit visit = RightClick(50, 60, "Down Down Return");
  ASSERT_TRUE(visit.seen) << "no menu came up; " << ::testing::PrintToString(EventLog());
  EXPECT_EQ(visit.rows, (std::vector<std::string>{"Zoom in", "-", "Close chart"})) << "the trailing separator goes";
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"Box.Construct:30,30", "Window.Construct:50,60",
                                                  "Box.Action:Close chart",
                                                  "Window.Action:Close chart"}));

  // A control that takes the choice keeps it; one that stops the building keeps the window out.
  Menu().canvasStops = true;
  Menu().canvasTakesAction = true;
  visit = RightClick(50, 60, "Down Return");
  EXPECT_EQ(visit.rows, (std::vector<std::string>{"Zoom in"}));
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"Box.Construct:30,30", "Box.Action:Zoom in"}));
}

TEST_F(ContextualMenuGuiTest, OutsideTheControlsTheWindowAloneIsAskedAndAnEmptyMenuNeverShows) {
  Menu().windowRows = {"Copy chart"};
  MenuVisit visit = RightClick(200, 150, "Escape");
  EXPECT_EQ(visit.rows, (std::vector<std::string>{"Copy chart"}));
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"Window.MouseDown:200,150", "Window.Construct:200,150"}))
      << "dismissed: no action";

  Menu().windowRows = {};
  visit = RightClick(200, 150, "");
  EXPECT_FALSE(visit.seen);
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"Window.MouseDown:200,150", "Window.Construct:200,150"}));
}

// From the keyboard the menu belongs to the focused control and its chain, wherever the
// pointer is, and comes up at the focus.
TEST_F(ContextualMenuGuiTest, ShiftF10AndTheMenuKeyOpenTheMenuOfTheFocusedControl) {
  Menu().canvasRows = {"Zoom in", "-"};
  Menu().windowRows = {"Close chart"};
  int32_t x, y;
  test::ScreenPoint(View(mWindow), 250, 170, &x, &y);
  test::Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
  for (const char* key : {"shift+F10", "Menu"}) {
    // The box has no widget of its own, so the window's widget takes GTK's focus back after
    // each menu; the box is given the focus again as a tab would.
    SetFocusPane(ControlPane(AsControl(Menu().box)));
    test::Pump(100);
    MenuVisit visit = Visit(std::string("xdotool key ") + key, "Down Down Return");
    ASSERT_TRUE(visit.seen) << key << ": no menu came up; " << ::testing::PrintToString(EventLog());
    EXPECT_EQ(visit.rows, (std::vector<std::string>{"Zoom in", "-", "Close chart"})) << key;
    EXPECT_EQ(EventLog(), (std::vector<std::string>{"Box.Construct:0,0", "Window.Construct:20,30",
                                                    "Box.Action:Close chart", "Window.Action:Close chart"}))
        << key;
  }

  // Without a focused control the window alone is asked, at its corner.
  ClearFocusPane();
  test::Pump(100);
  MenuVisit visit = Visit("xdotool key Menu", "Escape");
  EXPECT_EQ(visit.rows, (std::vector<std::string>{"Close chart"}));
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"Window.Construct:0,0"}));
}

}  // namespace
}  // namespace vorn
