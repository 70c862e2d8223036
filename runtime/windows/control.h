// The control object behind every control of the language: its layout, the Control class, the
// link through which its pane reads and writes the object's bounds and lock bytes, and the
// helpers the window, containment and control layers share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/string_map.h"
#include "vorn/control_api.h"
#include "windows/rect.h"
#include "windows/sub_pane.h"

namespace vorn {

using ControlObject = VornControlObject;

constexpr int32_t kNotInControlArray = VORN_NOT_IN_CONTROL_ARRAY;

// Parameter words of the property rows are the fields' offsets in the 64-bit layout.
constexpr int32_t FieldOffset(size_t offset) { return static_cast<int32_t>(offset); }
constexpr int32_t kControlNameOffset = FieldOffset(offsetof(ControlObject, name));
constexpr int32_t kControlIndexOffset = FieldOffset(offsetof(ControlObject, index));
constexpr int32_t kControlTabPanelOffset = FieldOffset(offsetof(ControlObject, tabPanelIndex));
constexpr int32_t kControlVisibleOffset = FieldOffset(offsetof(ControlObject, visible));
constexpr int32_t kControlEnabledOffset = FieldOffset(offsetof(ControlObject, enabled));
constexpr int32_t kControlAutoDeactivateOffset = FieldOffset(offsetof(ControlObject, autoDeactivate));
constexpr int32_t kControlLockLeftOffset = FieldOffset(offsetof(ControlObject, lockLeft));
constexpr int32_t kControlLockTopOffset = FieldOffset(offsetof(ControlObject, lockTop));
constexpr int32_t kControlLockRightOffset = FieldOffset(offsetof(ControlObject, lockRight));
constexpr int32_t kControlLockBottomOffset = FieldOffset(offsetof(ControlObject, lockBottom));
constexpr int32_t kControlMouseCursorOffset = FieldOffset(offsetof(ControlObject, mouseCursor));
constexpr int32_t kControlBalloonHelpOffset = FieldOffset(offsetof(ControlObject, balloonHelp));
constexpr int32_t kControlDisabledBalloonHelpOffset = FieldOffset(offsetof(ControlObject, disabledBalloonHelp));
constexpr int32_t kControlHelpTagOffset = FieldOffset(offsetof(ControlObject, helpTag));

// Control events, numbered first in every control class's event table.
enum ControlEvent : int32_t { kControlEventCreatePane, kControlEventOpen, kControlEventClose };

ObjectDefinition* GetObjectClassDefinition();
ObjectDefinition* GetControlClassDefinition();
ObjectDefinition* GetPaneChildInterfaceDefinition();
ObjectHook* GetControlEventHook(ControlEvent event);

bool IsControl(RuntimeObject* object);
// The object as a control; nil for nil and for objects that are not controls.
ControlObject* AsControl(RuntimeObject* object);
inline RuntimeObject* AsObject(ControlObject* ctl) { return reinterpret_cast<RuntimeObject*>(ctl); }

inline SubPane* ControlPane(const ControlObject* ctl) {
  return ctl ? static_cast<SubPane*>(ctl->pane) : nullptr;
}
Rect GetControlBounds(const ControlObject* ctl);
void SetControlBounds(ControlObject* ctl, const Rect& bounds);
uint8_t ControlLockFlags(const ControlObject* ctl);

// Makes the pane the control's own and tells the pane its object (CreatePane implementations
// call it). A control that has a pane already keeps it and the new one is reported.
void AttachControlPane(ControlObject* ctl, SubPane* pane);
// Takes the pane away from the control: the field is cleared and the pane forgets the object.
SubPane* DetachControlPane(ControlObject* ctl);

// The control's menu handlers; nil until the first is added.
StringMap<void*>* ControlMenuHandlers(const ControlObject* ctl);

// Failed assertions of the control code.
void ReportControlAssertion(int32_t line, const char* condition, const char* message = "");
// Messages (condition "0") of the control code.
void ReportControlMessage(int32_t line, const std::string& message);

}  // namespace vorn
