// The menu-enabling pass before a menu is shown: the focus pane's own enabling and the
// EnableMenuItems events of the window, the containers shown in it and the application.
// Resetting the menu bar and enabling items by their handlers join once menu bars exist.
#pragma once

namespace vorn {

class Window;

// The front window pane when it belongs to a runtime window, else nil.
Window* FrontRuntimeWindow();

// skipHandlers leaves out the application's event (and, with menus, the menu handlers); a
// nil window stands for the front runtime window.
void EnableMenuItemsForWindow(bool skipHandlers, Window* window);

}  // namespace vorn
