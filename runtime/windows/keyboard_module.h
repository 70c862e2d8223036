// The Keyboard module: which modifier keys are down, for the current event and right now,
// and the names of keys.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "vorn/desktop_api.h"

namespace vorn {

// Parameters of the modifier getters.
enum KeyboardModifier : int32_t {
  kKeyboardShift = 0,
  kKeyboardControl = 1,
  kKeyboardOption = 2,
  kKeyboardCommand = 3,  // the menu shortcut key, Control on this desktop
  kKeyboardAlt = 4,      // the same key as Option
  kKeyboardMenuShortcut = 5,
};

ObjectDefinition* GetKeyboardModuleDefinition();

}  // namespace vorn
