// Menu bars in windows: the per-window clone a window shows, the application's bar, menu
// handlers of the application, and the hooks through which windows reach the menu layer.
#pragma once

#include "objects/runtime_class.h"

namespace vorn {

class Window;

// The window closes: its own clone of the bar stops following the bar it was cloned from.
void DetachWindowMenuBar(RuntimeObject* window);
// Connects the windows' key handling to the shortcut search of the menus.
void InstallMenuWindowHooks();

}  // namespace vorn
