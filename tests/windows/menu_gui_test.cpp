// Menus on a real display, driven from outside with xdotool: a window's menu bar, choosing
// items with the mouse and by shortcut, disabled items, the enabling pass before a menu opens,
// and menus popped up at the pointer.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/application.h"
#include "core/run_loop.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "vorn/class_abi.h"
#include "vorn/menu_api.h"
#include "vorn/window_api.h"
#include "windows/gtk_pane_support.h"
#include "windows/menu_gtk.h"
#include "windows/menu_routing.h"
#include "windows/support/compiled_window_fixture.h"
#include "windows/support/window_test_classes.h"

namespace vorn {
namespace {

using test::EventLog;
using test::ClickWidget;
using test::MakeClass;
using test::Pump;

void* Fn(auto f) { return reinterpret_cast<void*>(f); }

uint8_t OnAppMenu(VornRuntimeObject*, int32_t index) {
  EventLog().push_back("Chosen:" + std::to_string(index));
  return 1;
}

uint8_t OnWindowQuit(VornRuntimeObject*, int32_t) {
  EventLog().push_back("Window.Quit");
  return 1;
}

void OnMenuWindowLayout(VornRuntimeObject* self) {
  windowPosSetter(self, 0, 100);
  windowPosSetter(self, 1, 100);
  windowPosSetter(self, 2, 320);
  windowPosSetter(self, 3, 200);
  WindowVisibleSetter(self, 0, 1);
}

// What the next EarlyBarWindow's Layout sets, before its native window exists.
RuntimeObject* sEarlyBar = nullptr;
bool sEarlyBarVisible = true;

void OnEarlyBarLayout(VornRuntimeObject* self) {
  windowPosSetter(self, 0, 160);
  windowPosSetter(self, 1, 140);
  windowPosSetter(self, 2, 300);
  windowPosSetter(self, 3, 180);
  windowMenusVisibleSetter(self, 0, sEarlyBarVisible);
  WindowMenuBarSetter(self, 0, sEarlyBar);
  WindowVisibleSetter(self, 0, 1);
}

RuntimeObject* sInstalledInto = nullptr;
void OnInstall(VornRuntimeObject*, VornRuntimeObject* bar) { sInstalledInto = bar; }

void OnMenuWindowEnableMenuItems(VornRuntimeObject*) { EventLog().push_back("Window.EnableMenuItems"); }

void OnContextualAction(VornRuntimeObject*, VornStringRecord* text) {
  EventLog().push_back("Contextual:" + std::string(string::Share(text).View()));
}

RuntimeClass* MenuWindowClass() {
  return MakeClass("MenuTestWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
                   {{"#Layout%%o<MenuTestWindow>", Fn(&OnMenuWindowLayout), nullptr, 0},
                    {"#EnableMenuItems%%o<MenuTestWindow>", Fn(&OnMenuWindowEnableMenuItems), nullptr, 0}});
}

RuntimeClass* EarlyBarWindowClass() {
  return MakeClass("EarlyBarWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
                   {{"#Layout%%o<EarlyBarWindow>", Fn(&OnEarlyBarLayout), nullptr, 0}});
}

RuntimeClass* InstallerClass() {
  static RuntimeClass* cls = [] {
    static const VornClassMember methods[] = {{"_Install%%o<BarInstaller>o<MenuBar>", Fn(&OnInstall), nullptr, 0}};
    VornClassRecord record{};
    record.version = kVornClassRecordVersion;
    record.name = "BarInstaller";
    record.superName = "_MenuBarInstaller";
    record.instanceSize = static_cast<int32_t>(sizeof(RuntimeObject));
    record.methods = methods;
    record.methodCount = 1;
    return RuntimeNewClass(&record);
  }();
  return cls;
}

RuntimeClass* ContextualClass() {
  return MakeClass("TestContextualMenu", "ContextualMenu", GetContextualMenuClassDefinition()->mInstanceSize,
                   {{"#Action%%o<TestContextualMenu>s", Fn(&OnContextualAction), nullptr, 0}});
}

// Clicks the middle of a widget on the screen.

int Count(const std::string& entry) {
  return static_cast<int>(std::count(EventLog().begin(), EventLog().end(), entry));
}

class MenuGuiTest : public test::CompiledWindowTest {
 protected:
  void SetUp() override {
    CompiledWindowTest::SetUp();
    mApp = CreateInstanceFromDefinition(GetApplicationClassDefinition());
    RuntimeRegisterAppObject(mApp);
    RuntimeUnlockObject(mApp);
  }

  void TearDown() override {
    test::Shell("xdotool key Escape");
    CompiledWindowTest::TearDown();
    ReleaseApplicationObject();
    SetApplicationHooks({});
  }

  RuntimeObject* Item(const char* name, const char* text, const char* key = "") {
    RuntimeObject* item = Keep(CreateInstanceFromDefinition(GetMenuItemClassDefinition()));
    RuntimeMenuItemNameSetter(item, 0, string(name).Rep());
    RuntimeMenuItemTextSetter(item, 0, string(text).Rep());
    RuntimeMenuItemCommandKeySetter(item, 0, string(key).Rep());
    return item;
  }

  // A File menu with Open (index 3), a separator, Dim (no handler) and Quit (Q); the
  // application handles Open and Quit.
  RuntimeObject* MakeBar() {
    RuntimeObject* bar = Keep(CreateInstanceFromDefinition(GetMenuBarClassDefinition()));
    RuntimeObject* file = Item("FileMenu", "&File");
    RuntimeObject* open = Item("FileOpen", "&Open...");
    RuntimeMenuItemIndexSetter(open, 0, 3);
    RuntimeMenuItemAppend(file, open);
    RuntimeMenuItemAppend(file, Item("Sep", "-"));
    RuntimeMenuItemAppend(file, Item("FileDim", "Dim", "D"));
    RuntimeMenuItemAppend(file, Item("FileQuit", "&Quit", "Q"));
    RuntimeMenuItemAppend(bar, file);
    ApplicationAddMenuHandler(mApp, string("FileOpen").Rep(), Fn(&OnAppMenu));
    ApplicationAddMenuHandler(mApp, string("FileQuit").Rep(), Fn(&OnAppMenu));
    return bar;
  }

  RuntimeObject* EarlyBarWindow(bool barVisible) {
    sEarlyBar = MakeBar();
    sEarlyBarVisible = barVisible;
    RuntimeObject* window = Keep(RuntimeNewObject(EarlyBarWindowClass()));
    WindowDefaultConstructor(window);
    test::ShowAndSettle(View(window));
    return window;
  }

  static bool BarShown(RuntimeObject* window) {
    NativeWidget bar = View(window) ? View(window)->MenuBarWidget() : nullptr;
    return bar && GTK_WIDGET_VISIBLE(bar);
  }

  RuntimeObject* ShownWindowWithBar() {
    RuntimeObject* window = Keep(RuntimeNewObject(MenuWindowClass()));
    WindowDefaultConstructor(window);
    mBar = MakeBar();
    WindowMenuBarSetter(window, 0, mBar);
    test::ShowAndSettle(View(window));
    return window;
  }

  // The window's own clone of the bar.
  static XMenuGTK* BarNode(RuntimeObject* window) {
    RuntimeObject* bar = WindowMenuBarGetter(window, 0);
    auto* node = dynamic_cast<XMenuGTK*>(MenuOf(bar));
    RuntimeUnlockObject(bar);
    return node;
  }

  // True when an InvalidParentException was pending, which is taken.
  static bool RaisedInvalidParent() {
    RuntimeObject* raised = TakePendingException();
    bool invalid = raised && RuntimeObjectIsaDefinition(raised, GetInvalidParentExceptionClassDefinition());
    RuntimeUnlockObject(raised);
    return invalid;
  }

  RuntimeObject* mApp = nullptr;
  RuntimeObject* mBar = nullptr;
};

TEST_F(MenuGuiTest, TheBarSitsAboveTheContentWhichKeepsItsSize) {
  RuntimeObject* window = ShownWindowWithBar();
  Window* pane = View(window);
  XMenuGTK* bar = BarNode(window);
  ASSERT_NE(bar, nullptr);
  NativeWidget barWidget = pane->MenuBarWidget();
  EXPECT_EQ(barWidget, bar->MenuBarWidget()) << "the window shows its own clone of the bar";
  ASSERT_TRUE(GTK_WIDGET_VISIBLE(barWidget));
  int32_t barHeight = barWidget->allocation.height;
  EXPECT_GT(barHeight, 10);
  EXPECT_EQ(pane->Widget()->allocation.y, barHeight) << "the content starts below the bar";
  EXPECT_EQ(GetMenuBarHeight(pane), barHeight);
  EXPECT_EQ(pane->Widget()->allocation.height, 200) << "the content keeps its designed height";

  RuntimeObject* shown = WindowMenuBarGetter(window, 0);
  EXPECT_NE(shown, mBar) << "the window keeps its own bar object";
  EXPECT_EQ(RuntimeMenuItemCount(shown), 1);
  RuntimeUnlockObject(shown);

  // Taking the bar away gives the room back to the content.
  WindowMenuBarSetter(window, 0, nullptr);
  Pump(200);
  EXPECT_EQ(pane->MenuBarWidget(), nullptr);
  EXPECT_EQ(pane->Widget()->allocation.y, 0);
}

TEST_F(MenuGuiTest, ClickingTheMenuEnablesItThenChoosingAnItemRunsItsHandlerOnce) {
  RuntimeObject* window = ShownWindowWithBar();
  XMenuGTK* file = BarNode(window)->ChildNodeAt(0);
  ASSERT_NE(file, nullptr);
  EventLog().clear();
  ClickWidget(file->ItemWidget());
  ASSERT_TRUE(GTK_WIDGET_VISIBLE(file->MenuWidget())) << "the menu opened";
  EXPECT_EQ(Count("Window.EnableMenuItems"), 1) << "the enabling pass ran as the bar was pressed";
  XMenuGTK* dim = file->ChildNodeAt(2);
  XMenuGTK* open = file->ChildNodeAt(0);
  EXPECT_FALSE(dim->IsEnabled()) << "nobody handles Dim";
  EXPECT_FALSE(GTK_WIDGET_SENSITIVE(dim->ItemWidget()));
  EXPECT_TRUE(open->IsEnabled());

  ClickWidget(dim->ItemWidget());
  EXPECT_TRUE(test::LogEntries("Chosen").empty()) << "a disabled item does nothing";

  ClickWidget(open->ItemWidget());
  EXPECT_EQ(Count("Chosen:3"), 1) << "the handler ran once, with the item's Index";
  EXPECT_FALSE(GTK_WIDGET_VISIBLE(file->MenuWidget()));
}

TEST_F(MenuGuiTest, ShortcutsRunTheHandlerOfTheEnabledItemOfThisWindow) {
  RuntimeObject* window = ShownWindowWithBar();
  XMenuGTK* quit = BarNode(window)->ChildNodeAt(0)->ChildNodeAt(3);
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(quit->ItemWidget()));
  EXPECT_STREQ(gtk_label_get_label(GTK_LABEL(label)), "_Quit") << "the mnemonic became GTK's";
  EventLog().clear();
  test::Shell("xdotool key ctrl+q");
  Pump(300);
  EXPECT_EQ(Count("Chosen:" + std::to_string(kNoMenuIndex)), 1) << "Ctrl+Q chose Quit once";
  EXPECT_GE(Count("Window.EnableMenuItems"), 1) << "the enabling pass ran before the search";

  EventLog().clear();
  test::Shell("xdotool key ctrl+d");
  Pump(300);
  EXPECT_TRUE(test::LogEntries("Chosen").empty()) << "the disabled item's shortcut does nothing";

  // The window's own handler comes before the application's.
  WindowAddMenuHandler(window, string("FileQuit").Rep(), Fn(&OnWindowQuit));
  EventLog().clear();
  test::Shell("xdotool key ctrl+q");
  Pump(300);
  EXPECT_EQ(Count("Window.Quit"), 1);
  EXPECT_TRUE(test::LogEntries("Chosen").empty());
}

int sWaitsForTheRow = 0;

TEST_F(MenuGuiTest, AContextualMenuReportsTheChosenRowAndPopUpAnswersTheItem) {
  RuntimeObject* window = ShownWindowWithBar();
  (void)window;
  RuntimeObject* menu = Keep(RuntimeNewObject(ContextualClass()));
  contextualMenuAddRow(menu, string("Alpha").Rep());
  contextualMenuAddSeparator(menu);
  contextualMenuAddRow(menu, string("Beta").Rep());
  EventLog().clear();
  // The menu holds the pointer and keyboard while it is up: keys choose the second row.
  g_timeout_add(300, [](gpointer) -> gboolean {
    test::Shell("xdotool key Down Down Return");
    return FALSE;
  }, nullptr);
  contextualMenuOpen(menu);
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"Contextual:Beta"}));

  // Dismissed without a choice: no Action.
  EventLog().clear();
  g_timeout_add(300, [](gpointer) -> gboolean {
    test::Shell("xdotool key Escape");
    return FALSE;
  }, nullptr);
  contextualMenuOpen(menu);
  EXPECT_TRUE(EventLog().empty());

  // PopUp answers an item nobody handles, and nil for one a handler takes. The pointer stays
  // off the menu, so the keys alone pick the row.
  test::Shell("xdotool mousemove 1000 900");
  Pump(300);
  RuntimeObject* root = Item("Root", "Root");
  RuntimeObject* alpha = Item("Alpha", "Alpha");
  RuntimeMenuItemAppend(root, alpha);
  RuntimeMenuItemAppend(root, Item("FileOpen", "Open"));
  auto* rootNode = dynamic_cast<XMenuGTK*>(MenuOf(root));
  // The click waits until the row is on screen as well, which a loaded machine may take longer
  // for than the delay.
  auto clickLater = [](XMenuGTK* row) {
    g_timeout_add(300, [](gpointer data) -> gboolean {
      NativeWidget item = static_cast<XMenuGTK*>(data)->ItemWidget();
      if (item && !gtk_widget_get_mapped(item) && ++sWaitsForTheRow < 50) return TRUE;
      sWaitsForTheRow = 0;
      ClickWidget(item);
      return FALSE;
    }, row);
  };
  clickLater(rootNode->ChildNodeAt(0));
  RuntimeObject* chosen = RuntimeMenuItemPopUp(root, 200, 200);
  EXPECT_EQ(chosen, alpha);
  RuntimeUnlockObject(chosen);
  clickLater(rootNode->ChildNodeAt(1));
  EventLog().clear();
  EXPECT_EQ(RuntimeMenuItemPopUp(root, 200, 200), nullptr);
  EXPECT_EQ(Count("Chosen:" + std::to_string(kNoMenuIndex)), 1) << "the application took Open";
}

TEST_F(MenuGuiTest, ABarSetBeforeTheNativeWindowShowsAndComesBackWhenTheWindowIsBuiltAgain) {
  RuntimeObject* window = EarlyBarWindow(true);
  ASSERT_TRUE(BarShown(window)) << "the bar set in Layout is there";
  XMenuGTK* file = BarNode(window)->ChildNodeAt(0);
  ClickWidget(file->ItemWidget());
  EXPECT_TRUE(GTK_WIDGET_VISIBLE(file->MenuWidget())) << "and its menu opens";
  test::PictureTool("import -window root " + std::string(VORN_BINARY_DIR) + "/menu_bar_early.png");
  test::Shell("xdotool key Escape");
  Pump(200);

  // Closed, then built again as ShowModal and Show do: the bar comes back with the window.
  RuntimeCloseWindow(window);
  ASSERT_EQ(View(window), nullptr);
  RuntimeShowAsWindow(window);
  test::ShowAndSettle(View(window));
  ASSERT_TRUE(BarShown(window));
  file = BarNode(window)->ChildNodeAt(0);
  ASSERT_NE(file, nullptr);
  EventLog().clear();
  ClickWidget(file->ItemWidget());
  ClickWidget(file->ChildNodeAt(0)->ItemWidget());
  EXPECT_EQ(Count("Chosen:3"), 1) << "the rebuilt bar's items still reach their handler";
}

TEST_F(MenuGuiTest, MenuBarVisibleHidesTheBarOfTheActiveWindowAndClosingItShowsTheNext) {
  RuntimeObject* shown = EarlyBarWindow(true);
  RuntimeObject* hidden = EarlyBarWindow(false);
  EXPECT_FALSE(BarShown(hidden)) << "activated with MenuBarVisible off";
  RuntimeCloseWindow(hidden);
  Pump(200);
  EXPECT_TRUE(BarShown(shown)) << "the window now in front shows its bar";
}

TEST_F(MenuGuiTest, AMenuBarInstallerMadeByAWindowIsInstalledIntoItsBar) {
  RuntimeObject* window = ShownWindowWithBar();
  sInstalledInto = nullptr;
  RuntimeObject* installer = WindowAllocateObject(window, InstallerClass());
  ASSERT_NE(installer, nullptr);
  EXPECT_EQ(sInstalledInto, AsWindowFields(window)->menuBar);
  EXPECT_NE(sInstalledInto, nullptr);
  RuntimeUnlockObject(installer);
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

// Every clone of an item clones its children, so an item placed inside its own subtree of an
// installed bar would clone itself until the stack ran out.
TEST_F(MenuGuiTest, AnItemPlacedInsideItsOwnSubtreeIsRefusedAndTheMenuStillOpens) {
  RuntimeObject* window = ShownWindowWithBar();
  RuntimeObject* file = RuntimeMenuItemItem(mBar, 0);
  RuntimeUnlockObject(file);
  RuntimeObject* recent = Item("Recent", "Recent");
  RuntimeObject* deeper = Item("Deeper", "Deeper");
  RuntimeMenuItemAppend(file, recent);
  RuntimeMenuItemAppend(recent, deeper);

  struct Attempt {
    const char* what;
    void (*place)(RuntimeObject* into, RuntimeObject* item);
    RuntimeObject* into;
    RuntimeObject* item;
  };
  auto append = [](RuntimeObject* into, RuntimeObject* item) { RuntimeMenuItemAppend(into, item); };
  auto insert = [](RuntimeObject* into, RuntimeObject* item) { RuntimeMenuItemInsert(into, 0, item); };
  auto swap = [](RuntimeObject* into, RuntimeObject* item) { RuntimeMenuItemSwap(into, string("Deeper").Rep(), item); };
  for (const Attempt& attempt : {Attempt{"File.Append(File)", append, file, file},
                                 Attempt{"Recent.Append(File)", append, recent, file},
                                 Attempt{"Deeper.Append(File), two levels down", append, deeper, file},
                                 Attempt{"Recent.Insert(0, Recent)", insert, recent, recent},
                                 Attempt{"Recent.Swap(Deeper, File)", swap, recent, file}}) {
    attempt.place(attempt.into, attempt.item);
    EXPECT_TRUE(RaisedInvalidParent()) << attempt.what;
  }
  EXPECT_EQ(RuntimeMenuItemCount(file), 5);
  EXPECT_EQ(RuntimeMenuItemCount(recent), 1) << "the refused swap kept Deeper";
  EXPECT_EQ(RuntimeMenuItemCount(deeper), 0);

  // A sibling subtree is no cycle: Deeper may also sit directly under File.
  RuntimeMenuItemAppend(file, deeper);
  EXPECT_EQ(TakePendingException(), nullptr);

  XMenuGTK* shown = BarNode(window)->ChildNodeAt(0);
  ClickWidget(shown->ItemWidget());
  ASSERT_TRUE(GTK_WIDGET_VISIBLE(shown->MenuWidget())) << "the user opens File";
  EXPECT_EQ(shown->ChildNodeAt(4)->ChildNodeAt(0)->Name().View(), "Deeper");
  EXPECT_EQ(shown->ChildNodeAt(5)->Name().View(), "Deeper");
}

}  // namespace
}  // namespace vorn
