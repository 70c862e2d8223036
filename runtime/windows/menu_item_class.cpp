// The language's MenuItem, MenuBar and _MenuBarInstaller classes and their entry points.
#include <deque>
#include <unordered_set>
#include <vector>

#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/menu_api.h"
#include "windows/menu.h"
#include "windows/menu_gtk.h"
#include "windows/menu_routing.h"
#include "windows/menu_window.h"
#include "windows/pane_assert.h"

namespace vorn {

namespace {

constexpr const char* kMenuBarSource = "../Common/menubar.cpp";

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

Menu* NewGtkMenu(bool isMenuBar) { return new XMenuGTK(isMenuBar); }

MenuFactory sMenuFactory = &NewGtkMenu;

// The node of an entry point's item: nil raises NilObjectException; an item without node is
// a fault of the runtime and is reported.
Menu* SelfMenu(RuntimeObject* item) {
  if (!item) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  Menu* menu = MenuOf(item);
  if (!menu) ReportPaneAssertion(kMenuBarSource, __LINE__, "self->mImp");
  return menu;
}

VornStringRecord* StringResult(const string& text) { return text.GetRetainedRep(); }

// Placing an item inside its own subtree would make every clone of it clone itself without end;
// true (with InvalidParentException raised) when `child` is `parent` or holds it.
bool RefuseMenuCycle(RuntimeObject* parent, RuntimeObject* child) {
  std::vector<RuntimeObject*> pending = {child};
  std::unordered_set<RuntimeObject*> seen;
  while (!pending.empty()) {
    RuntimeObject* node = pending.back();
    pending.pop_back();
    if (node == parent) {
      RuntimeRaiseExceptionWithMessage(GetInvalidParentExceptionClassDefinition(),
                                       string("A menu item cannot contain itself"));
      return true;
    }
    if (!node || !seen.insert(node).second) continue;
    if (Menu* menu = MenuOf(node))
      for (int32_t i = 0; i < menu->Count(); ++i) pending.push_back(menu->ChildAt(i));
  }
  return false;
}

EventRow sMenuItemEvents[] = {
    {0, "Action", "", "Boolean", nullptr, 0},
    {0, "EnableMenu", "", "", nullptr, 0},
};

#define VORN_ACCESSOR(name) Fn(&name), #name
#define VORN_METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}

const PropertyRow kMenuItemProperties[] = {
    {0, "Name", "s", VORN_ACCESSOR(RuntimeMenuItemNameGetter), VORN_ACCESSOR(RuntimeMenuItemNameSetter), 0, 0},
    {0, "Index", "i4", VORN_ACCESSOR(RuntimeMenuItemIndexGetter), VORN_ACCESSOR(RuntimeMenuItemIndexSetter), 0, 0},
    {0, "Tag", "o<Variant>", VORN_ACCESSOR(RuntimeMenuItemTagGetter), VORN_ACCESSOR(RuntimeMenuItemTagSetter), 0, 0},
    {0, "BalloonHelp", "s", VORN_ACCESSOR(RuntimeMenuItemBalloonHelpGetter),
     VORN_ACCESSOR(RuntimeMenuItemBalloonHelpSetter), 0, 0},
    {0, "DisabledBalloonHelp", "s", VORN_ACCESSOR(RuntimeMenuItemDisabledHelpGetter),
     VORN_ACCESSOR(RuntimeMenuItemDisabledHelpSetter), 0, 0},
    {0, "Text", "s", VORN_ACCESSOR(RuntimeMenuItemTextGetter), VORN_ACCESSOR(RuntimeMenuItemTextSetter), 0, 0},
    {0, "Checked", "b", VORN_ACCESSOR(RuntimeMenuItemCheckedGetter), VORN_ACCESSOR(RuntimeMenuItemCheckedSetter), 0, 0},
    {0, "Enabled", "b", VORN_ACCESSOR(RuntimeMenuItemEnabledGetter), VORN_ACCESSOR(RuntimeMenuItemEnabledSetter), 0, 0},
    {0, "Visible", "b", VORN_ACCESSOR(RuntimeMenuItemVisibleGetter), VORN_ACCESSOR(RuntimeMenuItemVisibleSetter), 0, 0},
    {0x8000, "CommandKey", "s", VORN_ACCESSOR(RuntimeMenuItemCommandKeyGetter),
     VORN_ACCESSOR(RuntimeMenuItemCommandKeySetter), 0, 0},
    {0, "KeyboardShortcut", "s", VORN_ACCESSOR(RuntimeMenuItemCommandKeyGetter),
     VORN_ACCESSOR(RuntimeMenuItemCommandKeySetter), 0, 0},
    {0, "_Bold", "b", VORN_ACCESSOR(RuntimeMenuItemBoldGetter), VORN_ACCESSOR(RuntimeMenuItemBoldSetter), 0, 0},
    {0, "_Italic", "b", VORN_ACCESSOR(RuntimeMenuItemItalicsGetter), VORN_ACCESSOR(RuntimeMenuItemItalicsSetter), 0, 0},
    {0, "_Underline", "b", VORN_ACCESSOR(RuntimeMenuItemUnderlineGetter),
     VORN_ACCESSOR(RuntimeMenuItemUnderlineSetter), 0, 0},
    {0, "AutoEnable", "b", VORN_ACCESSOR(RuntimeMenuItemAutoEnableGetter),
     VORN_ACCESSOR(RuntimeMenuItemAutoEnableSetter), 0, 0},
};

const ParamRow kIndexParam[] = {{"index", "i4", 0, 0}};
const ParamRow kNameParam[] = {{"name", "s", 0, 0}};
const ParamRow kItemParam[] = {{"item", "o<MenuItem>", 0, 0}};
const ParamRow kInsertParams[] = {{"index", "i4", 0, 0}, {"item", "o<MenuItem>", 0, 0}};
const ParamRow kLookupArrayParams[] = {{"name", "s", 0, 0}, {"index", "i4", 0, 0}};
const ParamRow kConstructorParams[] = {{"Text", "s", 0, 0}, {"Tag", "o<Variant>", 0, 0}};
const ParamRow kPopUpParams[] = {{"GlobalMouseX", "i4", 0, 0}, {"GlobalMouseY", "i4", 0, 0}};
const ParamRow kSwapParams[] = {{"name", "s", 0, 0}, {"swapWith", "o<MenuItem>", 0, 0}};
const ParamRow kInstallParams[] = {{"installThis", "o<MenuItem>", 0, 0}};
const ParamRow kOwnerParam[] = {{"owner", "o<MenuBar>", 0, 0}};

const MethodRow kMenuItemMethods[] = {
    VORN_METHOD("Enable", "", nullptr, 0, RuntimeEnableMenu),
    VORN_METHOD("Close", "", nullptr, 0, RuntimeCloseMenuItem),
    VORN_METHOD("Item", "o<MenuItem>", kIndexParam, 1, RuntimeMenuItemItem),
    VORN_METHOD("Count", "i4", nullptr, 0, RuntimeMenuItemCount),
    VORN_METHOD("Child", "o<MenuItem>", kNameParam, 1, RuntimeMenuItemChild),
    VORN_METHOD("Append", "", kItemParam, 1, RuntimeMenuItemAppend),
    VORN_METHOD("Insert", "", kInsertParams, 2, RuntimeMenuItemInsert),
    VORN_METHOD("Remove", "", kIndexParam, 1, RuntimeMenuItemRemoveIndex),
    VORN_METHOD("Remove", "", kItemParam, 1, RuntimeMenuItemRemoveItem),
    VORN_METHOD("Remove", "", kNameParam, 1, RuntimeMenuItemRemoveByName),
    VORN_METHOD("_Lookup", "o<MenuItem>", kNameParam, 1, RuntimeMenuItemLookup),
    VORN_METHOD("_Lookup", "o<MenuItem>", kLookupArrayParams, 2, RuntimeMenuItemLookupArray),
    VORN_METHOD("MenuItem", "", nullptr, 0, RuntimeMenuItemDefaultConstructor),
    VORN_METHOD("MenuItem", "", kConstructorParams, 2, MenuItemConstructor),
    VORN_METHOD("PopUp", "o<MenuItem>", nullptr, 0, RuntimeMenuItemPopUpByCursor),
    VORN_METHOD("PopUp", "o<MenuItem>", kPopUpParams, 2, RuntimeMenuItemPopUp),
    VORN_METHOD("_Swap", "", kSwapParams, 2, RuntimeMenuItemSwap),
};

const MethodRow kMenuBarMethods[] = {
    VORN_METHOD("_InstallClone", "", kInstallParams, 1, MenuBarInstallClone),
};

// Its one method is implemented by whoever installs menu bars; the runtime only names it.
const MethodRow kInstallerMethods[] = {
    {"_Install", "", kOwnerParam, 1, nullptr, nullptr, nullptr, nullptr, 0, 0},
};

#undef VORN_METHOD
#undef VORN_ACCESSOR

RuntimeObject* LookupArray(Menu* menu, const string& name, int32_t index) {
  for (int32_t i = 0; i < menu->Count(); ++i) {
    RuntimeObject* child = menu->ChildAt(i);
    Menu* childMenu = ChildMenu(child);
    if (!childMenu) continue;
    if (childMenu->Name().Compare(name) == 0 && childMenu->Index() == index) {
      RuntimeLockObject(child);
      return child;
    }
    if (RuntimeObject* found = LookupArray(childMenu, name, index)) return found;
  }
  return nullptr;
}

}  // namespace

MenuFactory SetMenuFactory(MenuFactory factory) {
  MenuFactory previous = sMenuFactory;
  sMenuFactory = factory ? factory : &NewGtkMenu;
  return previous;
}

ObjectDefinition* GetMenuBarInstallerClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("_MenuBarInstaller");
    definition.mInstanceSize = static_cast<int32_t>(sizeof(RuntimeObject));
    SetMethodList(&definition, kInstallerMethods, RowCount(kInstallerMethods));
  }
  return &definition;
}

ObjectDefinition* GetMenuItemClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("MenuItem");
    definition.mInstanceSize = static_cast<int32_t>(sizeof(MenuItemObject));
    definition.mInitializer = {Fn(&MenuItemInitializer), "MenuItemInitializer"};
    definition.mFinalizer = {Fn(&MenuItemFinalizer), "MenuItemFinalizer"};
    definition.SetInstanceVariables(BuildPropertyList(kMenuItemProperties, RowCount(kMenuItemProperties)));
    SetEventList(&definition, sMenuItemEvents, RowCount(sMenuItemEvents));
    SetMethodList(&definition, kMenuItemMethods, RowCount(kMenuItemMethods));
  }
  return &definition;
}

ObjectDefinition* GetMenuBarClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("MenuBar");
    definition.mSuper = GetMenuItemClassDefinition();
    definition.mInstanceSize = static_cast<int32_t>(sizeof(MenuItemObject));
    definition.mInitializer = {Fn(&MenuBarInitializer), "MenuBarInitializer"};
    SetMethodList(&definition, kMenuBarMethods, RowCount(kMenuBarMethods));
  }
  return &definition;
}

const ObjectHook* MenuItemEventHook(MenuItemEvent event) {
  GetMenuItemClassDefinition();
  return sMenuItemEvents[event].hook;
}

bool IsMenuItem(RuntimeObject* object) { return RuntimeObjectIsaDefinition(object, GetMenuItemClassDefinition()); }

void RegisterMenuClasses() {
  RegisterIntrinsicClass("_MenuBarInstaller", &GetMenuBarInstallerClassDefinition);
  RegisterIntrinsicClass("MenuBar", &GetMenuBarClassDefinition);
  RegisterIntrinsicClass("MenuItem", &GetMenuItemClassDefinition);
  RegisterStandardMenuItemClasses();
  InstallMenuWindowHooks();
}

}  // namespace vorn

using namespace vorn;

// --- life ----------------------------------------------------------------------------------

void MenuItemInitializer(VornRuntimeObject* item) {
  auto* fields = reinterpret_cast<MenuItemObject*>(item);
  if (!fields->imp) fields->imp = sMenuFactory(false);
}

void MenuBarInitializer(VornRuntimeObject* item) {
  auto* fields = reinterpret_cast<MenuItemObject*>(item);
  delete static_cast<Menu*>(fields->imp);
  fields->imp = sMenuFactory(true);
}

void MenuItemFinalizer(VornRuntimeObject* item) {
  auto* fields = reinterpret_cast<MenuItemObject*>(item);
  Menu* menu = static_cast<Menu*>(fields->imp);
  fields->imp = nullptr;
  delete menu;
}

void RuntimeMenuItemDefaultConstructor(VornRuntimeObject*) {}

void MenuItemConstructor(VornRuntimeObject* item, VornStringRecord* text, VornRuntimeObject* tag) {
  RuntimeMenuItemTextSetter(item, 0, text);
  RuntimeMenuItemTagSetter(item, 0, tag);
}

// --- properties ----------------------------------------------------------------------------

#define VORN_MENU_STRING_PROPERTY(getter, setter, field, operation)                         \
  VornStringRecord* getter(VornRuntimeObject* item, int32_t) {                              \
    Menu* menu = SelfMenu(item);                                                            \
    return menu ? StringResult(menu->field()) : nullptr;                                    \
  }                                                                                         \
  void setter(VornRuntimeObject* item, int32_t, VornStringRecord* value) {                  \
    if (Menu* menu = SelfMenu(item)) menu->operation(string::Share(value));                 \
  }

#define VORN_MENU_BOOL_PROPERTY(getter, setter, field, operation)                           \
  uint8_t getter(VornRuntimeObject* item, int32_t) {                                        \
    Menu* menu = SelfMenu(item);                                                            \
    return menu && menu->field() ? 1 : 0;                                                   \
  }                                                                                         \
  void setter(VornRuntimeObject* item, int32_t, uint8_t value) {                            \
    if (Menu* menu = SelfMenu(item)) menu->operation(value != 0);                           \
  }

VORN_MENU_STRING_PROPERTY(RuntimeMenuItemNameGetter, RuntimeMenuItemNameSetter, Name, SetName)
VORN_MENU_STRING_PROPERTY(RuntimeMenuItemBalloonHelpGetter, RuntimeMenuItemBalloonHelpSetter, BalloonHelp,
                          SetBalloonHelp)
VORN_MENU_STRING_PROPERTY(RuntimeMenuItemDisabledHelpGetter, RuntimeMenuItemDisabledHelpSetter,
                          DisabledBalloonHelp, SetDisabledBalloonHelp)
VORN_MENU_STRING_PROPERTY(RuntimeMenuItemTextGetter, RuntimeMenuItemTextSetter, Text, SetText)
VORN_MENU_STRING_PROPERTY(RuntimeMenuItemCommandKeyGetter, RuntimeMenuItemCommandKeySetter, CommandKey,
                          SetCommandKey)
VORN_MENU_BOOL_PROPERTY(RuntimeMenuItemCheckedGetter, RuntimeMenuItemCheckedSetter, IsChecked, SetChecked)
VORN_MENU_BOOL_PROPERTY(RuntimeMenuItemVisibleGetter, RuntimeMenuItemVisibleSetter, IsVisible, SetVisible)
VORN_MENU_BOOL_PROPERTY(RuntimeMenuItemBoldGetter, RuntimeMenuItemBoldSetter, IsBold, SetBold)
VORN_MENU_BOOL_PROPERTY(RuntimeMenuItemItalicsGetter, RuntimeMenuItemItalicsSetter, IsItalic, SetItalic)
VORN_MENU_BOOL_PROPERTY(RuntimeMenuItemUnderlineGetter, RuntimeMenuItemUnderlineSetter, IsUnderline, SetUnderline)
VORN_MENU_BOOL_PROPERTY(RuntimeMenuItemAutoEnableGetter, RuntimeMenuItemAutoEnableSetter, AutoEnable, SetAutoEnable)

#undef VORN_MENU_STRING_PROPERTY
#undef VORN_MENU_BOOL_PROPERTY

int32_t RuntimeMenuItemIndexGetter(VornRuntimeObject* item, int32_t) {
  Menu* menu = SelfMenu(item);
  return menu ? menu->Index() : 0;
}

void RuntimeMenuItemIndexSetter(VornRuntimeObject* item, int32_t, int32_t value) {
  if (Menu* menu = SelfMenu(item)) menu->SetIndex(value);
}

VornRuntimeObject* RuntimeMenuItemTagGetter(VornRuntimeObject* item, int32_t) {
  Menu* menu = SelfMenu(item);
  RuntimeObject* tag = menu ? menu->Tag() : nullptr;
  RuntimeLockObject(tag);
  return tag;
}

void RuntimeMenuItemTagSetter(VornRuntimeObject* item, int32_t, VornRuntimeObject* value) {
  if (Menu* menu = SelfMenu(item)) menu->SetTag(value);
}

uint8_t RuntimeMenuItemEnabledGetter(VornRuntimeObject* item, int32_t) {
  Menu* menu = SelfMenu(item);
  return menu && menu->IsEnabled() ? 1 : 0;
}

void RuntimeMenuItemEnabledSetter(VornRuntimeObject* item, int32_t, uint8_t value) {
  Menu* menu = SelfMenu(item);
  if (!menu) return;
  if (value) {
    menu->Enable();
  } else {
    menu->Disable();
  }
}

// --- methods -------------------------------------------------------------------------------

void RuntimeEnableMenu(VornRuntimeObject* item) { RuntimeMenuItemEnabledSetter(item, 0, 1); }

void RuntimeCloseMenuItem(VornRuntimeObject*) {}

VornRuntimeObject* RuntimeMenuItemItem(VornRuntimeObject* item, int32_t index) {
  Menu* menu = SelfMenu(item);
  return menu ? menu->GetMenuChildLocked(index) : nullptr;
}

int32_t RuntimeMenuItemCount(VornRuntimeObject* item) {
  Menu* menu = SelfMenu(item);
  return menu ? menu->Count() : 0;
}

VornRuntimeObject* RuntimeMenuItemChild(VornRuntimeObject* item, VornStringRecord* name) {
  Menu* menu = SelfMenu(item);
  return menu ? menu->FindChildLocked(string::Share(name)) : nullptr;
}

void RuntimeMenuItemAppend(VornRuntimeObject* item, VornRuntimeObject* child) {
  Menu* menu = SelfMenu(item);
  if (menu && child && !RefuseMenuCycle(item, child)) menu->Append(child);
}

void RuntimeMenuItemInsert(VornRuntimeObject* item, int32_t index, VornRuntimeObject* child) {
  Menu* menu = SelfMenu(item);
  if (!menu) return;
  if (index < 0 || index > menu->Count()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  if (child && !RefuseMenuCycle(item, child)) menu->Insert(child, index);
}

void RuntimeMenuItemRemoveIndex(VornRuntimeObject* item, int32_t index) {
  Menu* menu = SelfMenu(item);
  if (!menu) return;
  if (index < 0 || index >= menu->Count()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  menu->RemoveAt(index);
}

void RuntimeMenuItemRemoveItem(VornRuntimeObject* item, VornRuntimeObject* child) {
  Menu* menu = SelfMenu(item);
  if (menu && child) menu->Remove(child);
}

void RuntimeMenuItemRemoveByName(VornRuntimeObject* item, VornStringRecord* name) {
  Menu* menu = SelfMenu(item);
  if (!menu) return;
  int32_t position = menu->FindChildPosition(string::Share(name));
  if (position >= 0) menu->RemoveAt(position);
}

VornRuntimeObject* RuntimeMenuItemLookup(VornRuntimeObject* item, VornStringRecord* name) {
  return RuntimeMenuItemLookupArray(item, name, kNoMenuIndex);
}

VornRuntimeObject* RuntimeMenuItemLookupArray(VornRuntimeObject* item, VornStringRecord* name, int32_t index) {
  if (!item || !name) return nullptr;
  Menu* menu = SelfMenu(item);
  return menu ? LookupArray(menu, string::Share(name), index) : nullptr;
}

void RuntimeMenuItemSwap(VornRuntimeObject* item, VornStringRecord* name, VornRuntimeObject* swapWith) {
  Menu* menu = SelfMenu(item);
  if (!menu) return;
  int32_t position = menu->FindChildPosition(string::Share(name));
  if (position < 0 || (swapWith && RefuseMenuCycle(item, swapWith))) return;
  // The replacement may be the child itself: hold it across the removal.
  RuntimeLockObject(swapWith);
  menu->RemoveAt(position);
  if (swapWith) menu->Insert(swapWith, position);
  RuntimeUnlockObject(swapWith);
}

void MenuBarInstallClone(VornRuntimeObject* menuBar, VornRuntimeObject* installThis) {
  if (!menuBar) {
    ReportPaneAssertion(kMenuBarSource, __LINE__, "menuBar");
    return;
  }
  if (!installThis) {
    ReportPaneAssertion(kMenuBarSource, __LINE__, "installThis");
    return;
  }
  Menu* installMenu = SelfMenu(installThis);
  if (!installMenu || !SelfMenu(menuBar)) return;
  string name = installMenu->Name();
  std::deque<RuntimeObject*> work = {menuBar};
  int32_t nextIndex = 0;
  for (; !work.empty(); work.pop_front()) {
    Menu* parent = MenuOf(work.front());
    if (!parent) continue;
    bool matched = false;
    for (int32_t i = 0; i < parent->Count(); ++i) {
      Menu* child = ChildMenu(parent->ChildAt(i));
      if (!child) continue;
      if (child->Name().Compare(name) == 0) {
        if (child->Index() != kNoMenuIndex && child->Index() + 1 > nextIndex) nextIndex = child->Index() + 1;
        matched = true;
      } else if (matched) {
        installMenu->SetIndex(nextIndex);
        parent->Insert(installThis, i);
        return;
      }
      if (child->Count() > 0) work.push_back(parent->ChildAt(i));
    }
    if (matched) {
      installMenu->SetIndex(nextIndex);
      parent->Append(installThis);
      return;
    }
  }
}
