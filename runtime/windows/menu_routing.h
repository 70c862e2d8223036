// Where a chosen menu item goes: the menu handlers of the focused control, of the front
// window and the windows embedded in it, of the application, then the item's own Action
// event, then the focus pane. The classes of the language's menu items live here too.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/string_map.h"

namespace vorn {

class Window;

// Events of MenuItem, in event-table order.
enum MenuItemEvent : int32_t { kMenuItemEventAction, kMenuItemEventEnableMenu };

ObjectDefinition* GetMenuItemClassDefinition();
ObjectDefinition* GetMenuBarClassDefinition();
ObjectDefinition* GetMenuBarInstallerClassDefinition();
const ObjectHook* MenuItemEventHook(MenuItemEvent event);
bool IsMenuItem(RuntimeObject* object);

// Registers _MenuBarInstaller, MenuBar and MenuItem, then the standard items and the
// ContextualMenu control, and hooks the menu layer into the windows.
void RegisterMenuClasses();
// The standard items and the ContextualMenu control (registered by RegisterMenuClasses).
void RegisterStandardMenuItemClasses();
ObjectDefinition* GetContextualMenuClassDefinition();

// Makes the native node of a new MenuItem (a GTK node by default); tests of the model
// without a display install one that makes plain nodes. Answers the previous factory.
class Menu;
using MenuFactory = Menu* (*)(bool isMenuBar);
MenuFactory SetMenuFactory(MenuFactory factory);

// True when some handler took the item; a nil window stands for the front window.
bool HandleMenuItemChosen(RuntimeObject* item, Window* window);
// The item HandleMenuItemChosen is offering to the focus pane's DoMenuCommand, for panes
// that know their commands by item name; nil at any other time.
RuntimeObject* MenuItemOfferedToFocus();

// The handler of the map for the item's Name, called with (owner, item's Index); true when
// it claimed the item.
bool TryMenuHandlerMap(StringMap<void*>* map, RuntimeObject* owner, RuntimeObject* item);

}  // namespace vorn
