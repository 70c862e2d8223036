#include "windows/keyboard_module.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "windows/gtk_helper.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

struct ModifierKeys {
  GdkModifierType mask;
  uint32_t left, right;
};

bool Lookup(int32_t modifier, ModifierKeys* keys) {
  switch (modifier) {
    case kKeyboardShift: *keys = {GDK_SHIFT_MASK, GDK_Shift_L, GDK_Shift_R}; return true;
    case kKeyboardControl:
    case kKeyboardCommand:
    case kKeyboardMenuShortcut: *keys = {GDK_CONTROL_MASK, GDK_Control_L, GDK_Control_R}; return true;
    case kKeyboardOption:
    case kKeyboardAlt: *keys = {GDK_MOD1_MASK, GDK_Alt_L, GDK_Alt_R}; return true;
    default: return false;
  }
}

#define MODIFIER(name, getter, selector) {0, name, "b", Fn(&getter), #getter, nullptr, nullptr, selector, 0}

const PropertyRow kKeyboardProperties[] = {
    MODIFIER("ShiftKey", modifierKeyGetter, kKeyboardShift),
    MODIFIER("ControlKey", modifierKeyGetter, kKeyboardControl),
    MODIFIER("OptionKey", modifierKeyGetter, kKeyboardOption),
    MODIFIER("CommandKey", modifierKeyGetter, kKeyboardCommand),
    MODIFIER("AltKey", modifierKeyGetter, kKeyboardAlt),
    MODIFIER("MenuShortcutKey", modifierKeyGetter, kKeyboardMenuShortcut),
    MODIFIER("AsyncShiftKey", asyncModifierKeyGetter, kKeyboardShift),
    MODIFIER("AsyncControlKey", asyncModifierKeyGetter, kKeyboardControl),
    MODIFIER("AsyncOptionKey", asyncModifierKeyGetter, kKeyboardOption),
    MODIFIER("AsyncCommandKey", asyncModifierKeyGetter, kKeyboardCommand),
    MODIFIER("AsyncAltKey", asyncModifierKeyGetter, kKeyboardAlt),
    MODIFIER("AsyncMenuShortcutKey", asyncModifierKeyGetter, kKeyboardMenuShortcut),
};

#undef MODIFIER

const ParamRow kKeyNameParams[] = {{"code", "i4", 0, 0}};
const MethodRow kKeyboardMethods[] = {
    {"KeyName", "s", kKeyNameParams, 1, Fn(&keyboardKeyName), "keyboardKeyName", nullptr, nullptr, 0, 0},
};

}  // namespace

ObjectDefinition* GetKeyboardModuleDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("Keyboard");
    d->mFlags = kDefinitionModule;
    d->mInstanceSize = VORN_OBJECT_HEADER_SIZE;
    d->SetInstanceVariables(BuildPropertyList(kKeyboardProperties, RowCount(kKeyboardProperties)));
    SetMethodList(d, kKeyboardMethods, RowCount(kKeyboardMethods));
    return d;
  }();
  return definition;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* getKeyboardObject(void) {
  // Made once and kept until exit, like the System module.
  static RuntimeObject* sModule = CreateInstanceFromDefinition(GetKeyboardModuleDefinition());
  RuntimeLockObject(sModule);
  return sModule;
}

uint8_t modifierKeyGetter(VornRuntimeObject* keyboard, int32_t modifier) {
  ModifierKeys keys{};
  if (!Lookup(modifier, &keys)) return 0;
  GdkModifierType state{};
  if (gtk_get_current_event_state(&state)) return (state & keys.mask) != 0 ? 1 : 0;
  return asyncModifierKeyGetter(keyboard, modifier);
}

uint8_t asyncModifierKeyGetter(VornRuntimeObject*, int32_t modifier) {
  ModifierKeys keys{};
  if (!Lookup(modifier, &keys)) return 0;
  return IsKeyValueHeld(keys.left) || IsKeyValueHeld(keys.right) ? 1 : 0;
}

VornStringRecord* keyboardKeyName(VornRuntimeObject*, int32_t code) {
  uint32_t keyval = code < 0 ? 0 : code < 128 ? MacKeyCodeToKeyValue(code) : static_cast<uint32_t>(code);
  const char* name = keyval ? gdk_keyval_name(keyval) : nullptr;
  return name ? string(name).GetRetainedRep() : nullptr;
}

}  // extern "C"
