// The standard menu items of an application (Quit, Preferences, the application menu) and
// hiding the menu bar of the front window, which the end of the application undoes.
#pragma once

#include "objects/object_definition.h"

namespace vorn {

ObjectDefinition* GetQuitMenuItemClassDefinition();
ObjectDefinition* GetPrefsMenuItemClassDefinition();
ObjectDefinition* GetAppleMenuItemClassDefinition();

void HideMenuBar();
void ShowMenuBar();
bool MenuBarHidden();
// True while a shutdown task is waiting to show the bar again.
bool MenuShutdownPending();

}  // namespace vorn
