// The menu-enabling pass before a menu is shown: the menu bar is reset and its items enabled
// by the menu handlers that exist for them, then the focus pane's own enabling and the
// EnableMenuItems events of the window, the containers shown in it and the application.
#pragma once

namespace vorn {

class Window;

// The front window pane when it belongs to a runtime window, else nil.
Window* FrontRuntimeWindow();

// skipHandlers leaves out the application's event (and, with menus, the menu handlers); a
// nil window stands for the front runtime window.
void EnableMenuItemsForWindow(bool skipHandlers, Window* window);

}  // namespace vorn
