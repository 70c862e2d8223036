// The menu model without a display: children, positions and names of MenuItem objects, the
// growth rule of the menu vectors, shortcut texts, installing clones next to their namesakes,
// the enabling pass over the application's menu bar and the routing of a chosen item.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/application.h"
#include "core/run_loop.h"
#include "base/shutdown_task.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "support/class_test.h"
#include "vorn/class_abi.h"
#include "vorn/menu_api.h"
#include "vorn/window_api.h"
#include "windows/menu.h"
#include "windows/menu_enabling.h"
#include "windows/menu_gtk.h"
#include "windows/menu_routing.h"
#include "windows/menu_standard.h"

namespace vorn {
namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

std::string Text(StringRep* rep) { return std::string(string::Share(rep).View()); }

Menu* PlainMenu(bool) { return new Menu(); }

// --- compiled-style classes --------------------------------------------------------------

struct ItemScript {
  uint8_t actionAnswer = 0;
};
ItemScript& Script() {
  static ItemScript script;
  return script;
}

uint8_t OnAction(VornRuntimeObject* self) {
  Log().push_back("Action:" + std::string(MenuOf(self)->Name().View()));
  return Script().actionAnswer;
}

void OnEnableMenu(VornRuntimeObject* self) { Log().push_back("EnableMenu:" + std::string(MenuOf(self)->Name().View())); }

uint8_t OnQuitAction(VornRuntimeObject*) {
  Log().push_back("QuitAction");
  return Script().actionAnswer;
}

uint8_t OnCancelClose(VornRuntimeObject*) {
  Log().push_back("CancelClose");
  return 1;
}

void OnAppEnableMenuItems(VornRuntimeObject*) { Log().push_back("App.EnableMenuItems"); }

uint8_t AppHandler(VornRuntimeObject* owner, int32_t index) {
  Log().push_back("AppHandler:" + std::to_string(index) + (owner == GetApplicationObject() ? ":app" : ":other"));
  return 1;
}

uint8_t DecliningHandler(VornRuntimeObject*, int32_t) {
  Log().push_back("Declined");
  return 0;
}

using test::MakeClass;

void* Fn(auto f) { return reinterpret_cast<void*>(f); }

RuntimeClass* ActionItemClass() {
  return MakeClass("TestActionItem", "MenuItem", sizeof(MenuItemObject),
                   {{"#Action%b%o<TestActionItem>", Fn(&OnAction), nullptr, 0},
                    {"#EnableMenu%%o<TestActionItem>", Fn(&OnEnableMenu), nullptr, 0}});
}

RuntimeClass* EnableMenuItemClass() {
  return MakeClass("TestEnableItem", "MenuItem", sizeof(MenuItemObject),
                   {{"#EnableMenu%%o<TestEnableItem>", Fn(&OnEnableMenu), nullptr, 0}});
}

RuntimeClass* TestAppClass() {
  return MakeClass("MenuTestApp", "Application", sizeof(VornApplicationObject),
                   {{"#CancelClose%b%o<MenuTestApp>", Fn(&OnCancelClose), nullptr, 0},
                    {"#EnableMenuItems%%o<MenuTestApp>", Fn(&OnAppEnableMenuItems), nullptr, 0}});
}

bool CaptureReport(const std::string& text) {
  Log().push_back("Report:" + text);
  return true;
}

class MenuModelTest : public test::IntrinsicClassTest {
 protected:
  void SetUp() override {
    IntrinsicClassTest::SetUp();
    mPreviousFactory = SetMenuFactory(&PlainMenu);
    // Reports go into the log, in order with the events.
    SetRuntimeErrorPresenter(&CaptureReport);
    Log().clear();
    Script() = ItemScript();
    ActionItemClass();
    EnableMenuItemClass();
    TestAppClass();
  }

  void TearDown() override {
    ReleaseObjects();
    if (mAppRegistered) {
      ReleaseApplicationObject();
      SetApplicationHooks({});
    }
    EXPECT_EQ(TakePendingClassName(), "") << "no exception may be left pending";
    IntrinsicClassTest::TearDown();
    SetMenuFactory(mPreviousFactory);
  }

  // An item of the class, named and captioned; held until the test ends.
  RuntimeObject* Item(const char* name, const char* text = "", RuntimeClass* cls = nullptr) {
    RuntimeObject* item = cls ? RuntimeNewObject(cls) : CreateInstanceFromDefinition(GetMenuItemClassDefinition());
    RuntimeMenuItemNameSetter(item, 0, string(name).Rep());
    RuntimeMenuItemTextSetter(item, 0, string(text).Rep());
    return Keep(item);
  }

  RuntimeObject* Bar() { return Keep(CreateInstanceFromDefinition(GetMenuBarClassDefinition())); }

  RuntimeObject* RegisterApp() {
    RuntimeObject* app = RuntimeNewObject(TestAppClass());
    RuntimeRegisterAppObject(app);
    RuntimeUnlockObject(app);
    mAppRegistered = true;
    return app;
  }

  static std::string TakePendingClassName() {
    RuntimeObject* pending = TakePendingException();
    if (!pending) return "";
    std::string name(ClassOf(pending)->mName.View());
    RuntimeUnlockObject(pending);
    return name;
  }

  static std::vector<std::string> Names(RuntimeObject* parent) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < RuntimeMenuItemCount(parent); ++i) {
      names.emplace_back(MenuOf(MenuOf(parent)->ChildAt(i))->Name().View());
    }
    return names;
  }

 private:
  MenuFactory mPreviousFactory = nullptr;
  bool mAppRegistered = false;
};

using NameList = std::vector<std::string>;

// --- vectors -------------------------------------------------------------------------------

TEST(MenuVectorTest, GrowsBySixteenAtLeastAndShrinksToTheNextMultipleAboveTheCount) {
  MenuVector<int> vector;
  for (int i = 0; i < 16; ++i) vector.Append(i);
  EXPECT_EQ(vector.Capacity(), 16u);
  vector.Append(16);
  EXPECT_EQ(vector.Capacity(), 32u) << "growth by the capacity when the step is 0";
  for (int i = 17; i < 40; ++i) vector.Append(i);
  EXPECT_EQ(vector.Capacity(), 64u);
  // 64 - 22 = 42 is not more than twice the count; 64 - 21 = 43 is: 21 / 16 * 16 + 16 = 32.
  while (vector.Count() > 22) vector.RemoveAt(0);
  EXPECT_EQ(vector.Capacity(), 64u);
  vector.RemoveAt(0);
  EXPECT_EQ(vector.Count(), 21u);
  EXPECT_EQ(vector.Capacity(), 32u);
  vector.RemoveAt(0);
  EXPECT_EQ(vector[0], 20) << "the elements survive resizing in order";
  EXPECT_EQ(vector[19], 39);

  MenuVector<int> stepped(5);
  for (int i = 0; i < 17; ++i) stepped.Append(i);
  EXPECT_EQ(stepped.Capacity(), 32u) << "a step below 16 still grows by 16";
  // More than two steps free: 32 with 16 left becomes 20, 20 with 9 left becomes 10.
  while (stepped.Count() > 16) stepped.RemoveAt(stepped.Count() - 1);
  EXPECT_EQ(stepped.Capacity(), 20u);
  while (stepped.Count() > 2) stepped.RemoveAt(stepped.Count() - 1);
  EXPECT_EQ(stepped.Capacity(), 10u);
  stepped.Resize(1);
  EXPECT_EQ(stepped.Count(), 1u) << "a capacity below the count cuts it";
}

// --- children --------------------------------------------------------------------------------

TEST_F(MenuModelTest, InsertionRemovalAndPositionsOfChildren) {
  RuntimeObject* menu = Item("FileMenu", "&File");
  RuntimeObject* open = Item("Open");
  RuntimeObject* save = Item("Save");
  RuntimeObject* quit = Item("Quit");
  RuntimeMenuItemAppend(menu, open);
  RuntimeMenuItemAppend(menu, quit);
  RuntimeMenuItemInsert(menu, 1, save);
  RuntimeMenuItemAppend(menu, nullptr);
  EXPECT_EQ(Names(menu), (NameList{"Open", "Save", "Quit"}));
  EXPECT_EQ(open->refCount, 2) << "the menu holds one reference to each child";

  RuntimeObject* second = RuntimeMenuItemItem(menu, 1);
  EXPECT_EQ(second, save);
  RuntimeUnlockObject(second);
  EXPECT_EQ(RuntimeMenuItemItem(menu, 3), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");

  RuntimeMenuItemInsert(menu, 3, Item("Close"));
  EXPECT_EQ(Names(menu), (NameList{"Open", "Save", "Quit", "Close"})) << "inserting at Count appends";
  RuntimeMenuItemInsert(menu, 5, Item("Late"));
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  RuntimeMenuItemInsert(menu, -1, Item("Early"));
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(RuntimeMenuItemCount(menu), 4);

  RuntimeMenuItemRemoveIndex(menu, 4);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  RuntimeMenuItemRemoveIndex(menu, -1);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  MenuOf(menu)->RemoveAt(4);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(RuntimeMenuItemCount(menu), 4) << "a bad position changes nothing";

  RuntimeMenuItemRemoveIndex(menu, 3);
  RuntimeMenuItemRemoveByName(menu, string("SAVE").Rep());
  EXPECT_EQ(Names(menu), (NameList{"Open", "Quit"}));
  RuntimeMenuItemRemoveByName(menu, string("Missing").Rep());
  EXPECT_EQ(RuntimeMenuItemCount(menu), 2);

  // The same item twice: removing the item removes both entries and both references.
  RuntimeMenuItemAppend(menu, open);
  EXPECT_EQ(open->refCount, 3);
  RuntimeMenuItemRemoveItem(menu, open);
  EXPECT_EQ(Names(menu), (NameList{"Quit"}));
  EXPECT_EQ(open->refCount, 1);
}

TEST_F(MenuModelTest, NamesAreFoundIgnoringCaseAndLookupSearchesDepthFirst) {
  RuntimeObject* bar = Bar();
  RuntimeObject* file = Item("FileMenu");
  RuntimeObject* edit = Item("editmenu");
  RuntimeMenuItemAppend(bar, file);
  RuntimeMenuItemAppend(bar, edit);
  RuntimeObject* deep = Item("paste");
  RuntimeObject* sub = Item("Clipboard");
  RuntimeMenuItemAppend(sub, deep);
  RuntimeMenuItemAppend(file, sub);
  RuntimeObject* shallow = Item("Paste");
  RuntimeMenuItemAppend(edit, shallow);

  RuntimeObject* found = RuntimeMenuItemChild(bar, string("EditMenu").Rep());
  EXPECT_EQ(found, edit);
  RuntimeUnlockObject(found);
  EXPECT_EQ(RuntimeMenuItemChild(bar, string("Paste").Rep()), nullptr) << "Child looks at direct children only";

  found = RuntimeMenuItemLookup(bar, string("Paste").Rep());
  EXPECT_EQ(found, deep) << "the first child's subtree is searched completely before the second child";
  RuntimeUnlockObject(found);
  EXPECT_EQ(RuntimeMenuItemLookup(bar, nullptr), nullptr);

  RuntimeObject* recent0 = Item("Recent");
  RuntimeObject* recent1 = Item("Recent");
  RuntimeMenuItemIndexSetter(recent0, 0, 0);
  RuntimeMenuItemIndexSetter(recent1, 0, 1);
  RuntimeMenuItemAppend(edit, recent0);
  RuntimeMenuItemAppend(edit, recent1);
  found = RuntimeMenuItemLookupArray(bar, string("recent").Rep(), 1);
  EXPECT_EQ(found, recent1);
  RuntimeUnlockObject(found);
  EXPECT_EQ(RuntimeMenuItemLookup(bar, string("Recent").Rep()), nullptr)
      << "without an index only items that carry none match";

  RuntimeObject* replacement = Item("Copy");
  RuntimeMenuItemSwap(edit, string("PASTE").Rep(), replacement);
  EXPECT_EQ(Names(edit), (NameList{"Copy", "Recent", "Recent"}));
}

TEST_F(MenuModelTest, PropertiesGoThroughTheNodeAndNilItemsRaise) {
  RuntimeObject* item = Item("Cut", "Cu&t");
  RuntimeObject* tag = CreateInstanceFromDefinition(GetRuntimeExceptionClassDefinition());
  RuntimeMenuItemTagSetter(item, 0, tag);
  EXPECT_EQ(tag->refCount, 2) << "the node holds the tag";
  RuntimeObject* got = RuntimeMenuItemTagGetter(item, 0);
  EXPECT_EQ(got, tag);
  RuntimeUnlockObject(got);
  RuntimeUnlockObject(tag);
  RuntimeMenuItemCommandKeySetter(item, 0, string("X").Rep());
  StringRep* key = RuntimeMenuItemCommandKeyGetter(item, 0);
  EXPECT_EQ(Text(key), "X");
  RuntimeUnlockString(key);
  EXPECT_EQ(RuntimeMenuItemIndexGetter(item, 0), kNoMenuIndex);
  EXPECT_TRUE(RuntimeMenuItemAutoEnableGetter(item, 0));
  RuntimeMenuItemEnabledSetter(item, 0, 0);
  EXPECT_FALSE(RuntimeMenuItemEnabledGetter(item, 0));
  RuntimeEnableMenu(item);
  EXPECT_TRUE(RuntimeMenuItemEnabledGetter(item, 0));

  EXPECT_EQ(RuntimeMenuItemTextGetter(nullptr, 0), nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  RuntimeMenuItemAppend(nullptr, item);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_EQ(RuntimeMenuItemCount(nullptr), 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

// --- shortcuts -------------------------------------------------------------------------------

TEST(ShortcutModifiersTest, ControlAlwaysShiftAndOptionWhenNamed) {
  EXPECT_EQ(ShortcutModifiers(string("")), 0u);
  EXPECT_EQ(ShortcutModifiers(string("Z")), 4u);
  EXPECT_EQ(ShortcutModifiers(string("Ctrl+Shift+S")), 5u);
  EXPECT_EQ(ShortcutModifiers(string("shft-z")), 5u);
  EXPECT_EQ(ShortcutModifiers(string("Option+X")), 12u);
  EXPECT_EQ(ShortcutModifiers(string("ALT+SHIFT+Q")), 13u);
}

// --- installing clones -----------------------------------------------------------------------

TEST_F(MenuModelTest, InstalledClonesGoAfterTheirNamesakesWithTheNextIndex) {
  RuntimeObject* bar = Bar();
  RuntimeObject* file = Item("FileMenu");
  RuntimeMenuItemAppend(bar, Item("AppleMenu"));
  RuntimeMenuItemAppend(bar, file);
  for (int32_t i = 0; i < 2; ++i) {
    RuntimeObject* recent = Item("Recent");
    RuntimeMenuItemIndexSetter(recent, 0, i);
    RuntimeMenuItemAppend(file, recent);
  }
  RuntimeMenuItemAppend(file, Item("Quit"));
  RuntimeObject* clone = Item("Recent");
  MenuBarInstallClone(bar, clone);
  EXPECT_EQ(Names(file), (NameList{"Recent", "Recent", "Recent", "Quit"}));
  EXPECT_EQ(MenuOf(file)->ChildAt(2), clone);
  EXPECT_EQ(RuntimeMenuItemIndexGetter(clone, 0), 2);

  RuntimeMenuItemRemoveByName(file, string("Quit").Rep());
  RuntimeObject* last = Item("Recent");
  MenuBarInstallClone(bar, last);
  EXPECT_EQ(MenuOf(file)->ChildAt(3), last) << "with the namesakes last, the clone is appended";
  EXPECT_EQ(RuntimeMenuItemIndexGetter(last, 0), 3);

  RuntimeObject* stranger = Item("Nowhere");
  MenuBarInstallClone(bar, stranger);
  EXPECT_EQ(stranger->refCount, 1) << "without a namesake nothing is installed";
  MenuBarInstallClone(bar, nullptr);
  ASSERT_FALSE(Log().empty());
  EXPECT_NE(Log().back().find("installThis"), std::string::npos);
}

// --- enabling --------------------------------------------------------------------------------

TEST_F(MenuModelTest, EnablingResetsTheBarAndEnablesItemsThatSomeoneHandles) {
  RuntimeObject* app = RegisterApp();
  RuntimeObject* bar = Bar();
  AppMenuBarSetter(app, 0, bar);
  RuntimeObject* file = Item("FileMenu", "", EnableMenuItemClass());
  RuntimeObject* handled = Item("Open");
  RuntimeObject* orphan = Item("Orphan");
  RuntimeObject* acting = Item("Acting", "", ActionItemClass());
  RuntimeObject* manual = Item("Manual", "", EnableMenuItemClass());
  RuntimeObject* manualChild = Item("ManualChild");
  RuntimeMenuItemAppend(bar, file);
  for (RuntimeObject* item : {handled, orphan, acting, manual}) RuntimeMenuItemAppend(file, item);
  RuntimeMenuItemAppend(manual, manualChild);
  RuntimeMenuItemAutoEnableSetter(manual, 0, 0);
  ApplicationAddMenuHandler(app, string("OPEN").Rep(), Fn(&AppHandler));
  ApplicationAddMenuHandler(app, string("ManualChild").Rep(), Fn(&AppHandler));
  RuntimeMenuItemEnabledSetter(orphan, 0, 1);

  enableMenuItems();  // no window is open: the application's bar
  EXPECT_TRUE(RuntimeMenuItemEnabledGetter(file, 0)) << "a menu with items stays enabled";
  EXPECT_TRUE(RuntimeMenuItemEnabledGetter(handled, 0)) << "the application handles it";
  EXPECT_FALSE(RuntimeMenuItemEnabledGetter(orphan, 0)) << "nobody handles it";
  EXPECT_TRUE(RuntimeMenuItemEnabledGetter(acting, 0)) << "its own Action counts";
  EXPECT_TRUE(RuntimeMenuItemEnabledGetter(manual, 0)) << "not auto-enabled: the reset's state";
  EXPECT_TRUE(RuntimeMenuItemEnabledGetter(manualChild, 0)) << "its children are still considered";
  EXPECT_EQ(Log(), (std::vector<std::string>{"EnableMenu:FileMenu", "EnableMenu:Acting", "EnableMenu:Manual",
                                             "App.EnableMenuItems"}))
      << "EnableMenu fires over the tree in order, the application's event last";

  // Skipping the handlers leaves only the reset: leaves go off, no events fire.
  Log().clear();
  EnableMenuItemsForWindow(true, nullptr);
  EXPECT_FALSE(RuntimeMenuItemEnabledGetter(handled, 0));
  EXPECT_TRUE(RuntimeMenuItemEnabledGetter(file, 0));
  EXPECT_TRUE(Log().empty());
  AppMenuBarSetter(app, 0, nullptr);
}

// --- routing ---------------------------------------------------------------------------------

TEST_F(MenuModelTest, AChosenItemGoesToTheApplicationThenToItsActionAndEnablesAfterwards) {
  RuntimeObject* app = RegisterApp();
  RuntimeObject* claimed = Item("Claimed");
  RuntimeMenuItemIndexSetter(claimed, 0, 7);
  RuntimeObject* acting = Item("Acting", "", ActionItemClass());
  RuntimeObject* nobody = Item("Nobody");
  ApplicationAddMenuHandler(app, string("claimed").Rep(), Fn(&AppHandler));
  ApplicationAddMenuHandler(app, string("Acting").Rep(), Fn(&DecliningHandler));

  EXPECT_TRUE(HandleMenuItemChosen(claimed, nullptr));
  EXPECT_EQ(Log(), (std::vector<std::string>{"AppHandler:7:app", "App.EnableMenuItems"}));

  Log().clear();
  Script().actionAnswer = 1;
  EXPECT_TRUE(HandleMenuItemChosen(acting, nullptr));
  EXPECT_EQ(Log(), (std::vector<std::string>{"Declined", "Action:Acting", "App.EnableMenuItems"}));

  Log().clear();
  Script().actionAnswer = 0;
  EXPECT_FALSE(HandleMenuItemChosen(acting, nullptr));
  EXPECT_FALSE(HandleMenuItemChosen(nobody, nullptr));
  EXPECT_EQ(Log(), (std::vector<std::string>{"Declined", "Action:Acting"})) << "no enabling pass when unhandled";

  EXPECT_FALSE(HandleMenuItemChosen(nullptr, nullptr));
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

TEST_F(MenuModelTest, StandardItemsAlwaysCountAsHandled) {
  RegisterApp();
  RuntimeObject* prefs = Keep(CreateInstanceFromDefinition(GetPrefsMenuItemClassDefinition()));
  EXPECT_TRUE(HandleMenuItemChosen(prefs, nullptr)) << "a preferences item without Action is handled";

  RuntimeClass* quitClass = MakeClass("TestQuitItem", "QuitMenuItem", sizeof(MenuItemObject),
                                      {{"#Action%b%o<TestQuitItem>", Fn(&OnQuitAction), nullptr, 0}});
  RuntimeObject* quit = Keep(RuntimeNewObject(quitClass));
  Log().clear();
  Script().actionAnswer = 1;
  EXPECT_TRUE(HandleMenuItemChosen(quit, nullptr));
  EXPECT_EQ(Log(), (std::vector<std::string>{"QuitAction", "App.EnableMenuItems"})) << "true keeps it running";

  // Its own Action declining, the application is asked to quit; CancelClose keeps it here.
  Log().clear();
  Script().actionAnswer = 0;
  EXPECT_TRUE(HandleMenuItemChosen(quit, nullptr));
  EXPECT_EQ(Log(), (std::vector<std::string>{"QuitAction", "CancelClose", "App.EnableMenuItems"}));
  EXPECT_FALSE(GetQuitFlag());
}

TEST_F(MenuModelTest, HidingTheBarTwiceMakesOneShutdownTaskThatShowingTakesAway) {
  ASSERT_FALSE(MenuBarHidden());
  HideMenuBar();
  HideMenuBar();
  EXPECT_TRUE(MenuBarHidden());
  EXPECT_TRUE(MenuShutdownPending());
  ShowMenuBar();
  EXPECT_FALSE(MenuBarHidden());
  EXPECT_FALSE(MenuShutdownPending());
  ShowMenuBar();
  EXPECT_FALSE(MenuShutdownPending()) << "showing a shown bar changes nothing";
}

}  // namespace
}  // namespace vorn
