// The Keyboard module: which modifier keys are down, for the current event and right now,
// and the names of keys.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "vorn/object_abi.h"

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

extern "C" {
// The one instance of the module (one reference for the caller).
VornRuntimeObject* getKeyboardObject(void);
// Whether the modifier was down for the event being handled; outside an event, whether it is
// down now. An unknown modifier is never down.
uint8_t modifierKeyGetter(VornRuntimeObject* keyboard, int32_t modifier);
// Whether the modifier is held down now (the held-key set the key snooper keeps).
uint8_t asyncModifierKeyGetter(VornRuntimeObject* keyboard, int32_t modifier);
// The name of a key by the codes AsyncKeyDown takes: below 128 a Macintosh key code, else a
// key value; the empty string for a code without a key.
VornStringRecord* keyboardKeyName(VornRuntimeObject* keyboard, int32_t code);
}
