// The menu-enabling pass before a menu is shown: the menu bar is reset and its items enabled
// by the menu handlers that exist for them, then the focus pane's own enabling and the
// EnableMenuItems events of the window, the containers shown in it and the application.
#pragma once

#include <string_view>

namespace vorn {

class Window;

// The front window pane when it belongs to a runtime window, else nil.
Window* FrontRuntimeWindow();

// skipHandlers leaves out the application's event (and, with menus, the menu handlers); a
// nil window stands for the front runtime window.
void EnableMenuItemsForWindow(bool skipHandlers, Window* window);

// Enables every item named `name` (compared without case) in the menu bar being enabled, or
// outside a pass in the front runtime window's menu bar (the application's when no runtime
// window is in front). Panes that know their own menu items by name, like edit fields with
// the Edit menu, call it from their EnableMenuItems.
void EnableMenuItemsNamed(std::string_view name);

}  // namespace vorn
