// Plug-in control classes: registration as RectControl subclasses whose CreatePane makes a
// RuntimeCustomControlPane, and the plug-in API's control services.
#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>

#include "controls/control_support.h"
#include "controls/plugin_control_pane.h"
#include "core/plugin_session.h"
#include "graphics/graphics_object.h"
#include "objects/runtime_class.h"
#include "objects/runtime_object.h"
#include "vorn/control_api.h"
#include "windows/control.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"
#include "windows/window.h"

namespace vorn {

namespace {

// More bytes of its own than any control keeps: a damaged definition.
constexpr int32_t kMaxPluginControlData = 1 << 20;

std::unordered_map<const RuntimeClass*, LoadedControl>& LoadedControls() {
  static auto* controls = new std::unordered_map<const RuntimeClass*, LoadedControl>();
  return *controls;
}

RuntimeCustomControlPane* PaneOf(RuntimeObject* object) {
  return object && IsControl(object) ? ControlPaneAs<RuntimeCustomControlPane>(object) : nullptr;
}

}  // namespace

const LoadedControl* FindLoadedControl(RuntimeObject* object) {
  if (object == nullptr) return nullptr;
  for (const RuntimeClass* cls = object->classPtr; cls; cls = cls->mSuper) {
    auto found = LoadedControls().find(cls);
    if (found != LoadedControls().end()) return &found->second;
  }
  return nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void CustomControlConstructor(VornRuntimeObject* object) {
  const LoadedControl* control = FindLoadedControl(object);
  if (control && control->ctl->initializer) control->ctl->initializer(object);
}

void CustomControlDestructor(VornRuntimeObject* object) {
  // The pane may outlive the object a moment in its window; it must not call back with it.
  if (RuntimeCustomControlPane* pane = PaneOf(object)) pane->ForgetOwner();
}

void CustomControlCreatePane(VornRuntimeObject* object) {
  const LoadedControl* control = FindLoadedControl(object);
  ControlObject* c = IsControl(object) ? AsControl(object) : nullptr;
  if (!control || !c || c->pane) return;
  auto* pane = new RuntimeCustomControlPane(ControlParentPane(c), c->tabPanelIndex, GetControlBounds(c), object,
                                            control);
  AttachControlPane(c, pane);
}

VornRuntimeClass* PluginRegisterControl(const VornPluginControlDefinition* definition) {
  if (definition == nullptr || definition->name == nullptr || definition->name[0] == '\0') {
    ReportPluginRefusal("a control definition without a name");
    return nullptr;
  }
  if (definition->behaviour == nullptr || definition->dataSize < 0 || definition->dataSize > kMaxPluginControlData) {
    ReportPluginRefusal(std::string(definition->name) + ": no behaviour table or an absurd data size");
    return nullptr;
  }
  // The record is read once, but its texts must live as long as the class.
  static auto* signatures = new std::deque<std::string>();
  signatures->push_back("#CreatePane%%o<" + std::string(definition->name) + ">");
  VornClassMember implementation{signatures->back().c_str(), reinterpret_cast<void*>(&CustomControlCreatePane),
                                 "CustomControlCreatePane", 0};
  VornClassRecord record{};
  record.version = kVornClassRecordVersion;
  record.name = definition->name;
  record.superName = definition->superName ? definition->superName : "RectControl";
  record.instanceSize = VORN_CONTROL_INSTANCE_SIZE + definition->dataSize;
  record.initializer = {reinterpret_cast<void*>(&CustomControlConstructor), "CustomControlConstructor"};
  record.finalizer = {reinterpret_cast<void*>(&CustomControlDestructor), "CustomControlDestructor"};
  record.properties = definition->properties;
  record.propertyCount = definition->propertyCount;
  record.methods = definition->methods;
  record.methodCount = definition->methodCount;
  record.events = definition->events;
  record.eventCount = definition->eventCount;
  record.eventImplementations = &implementation;
  record.eventImplementationCount = 1;
  VornRuntimeClass* cls = PluginRegisterClass(&record);
  if (cls == nullptr) return nullptr;
  LoadedControls()[cls] = LoadedControl{definition, definition->behaviour};
  return cls;
}

uint8_t PluginGetControlBounds(VornRuntimeObject* control, int32_t* left, int32_t* top, int32_t* right,
                               int32_t* bottom) {
  if (control == nullptr || !IsControl(control)) return 0;
  Rect bounds = GetControlBounds(AsControl(control));
  if (left) *left = bounds.left;
  if (top) *top = bounds.top;
  if (right) *right = bounds.right;
  if (bottom) *bottom = bounds.bottom;
  return 1;
}

// The older name of the same service.
uint8_t GetControlBounds(VornRuntimeObject* control, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
  return PluginGetControlBounds(control, left, top, right, bottom);
}

void VORNInvalidateControl(VornRuntimeObject* control) {
  if (SubPane* pane = control && IsControl(control) ? ControlPane(AsControl(control)) : nullptr) pane->Invalidate(true);
}

void VORNInvalidateControlRect(VornRuntimeObject* control, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (SubPane* pane = control && IsControl(control) ? ControlPane(AsControl(control)) : nullptr) {
    pane->InvalidateArea(left, top, right, bottom);
  }
}

// A Graphics object drawing into the control's pane (one reference for the caller); nil
// while the control has no pane.
VornRuntimeObject* VORNGetControlGraphics(VornRuntimeObject* control) {
  SubPane* pane = control && IsControl(control) ? ControlPane(AsControl(control)) : nullptr;
  Graphics* port = pane ? pane->GetGraphics() : nullptr;
  return port ? NewGraphicsObject(port) : nullptr;
}

uint8_t VORNGetControlEnabled(VornRuntimeObject* control) {
  return control && IsControl(control) ? AsControl(control)->enabled : 0;
}

VornStringRecord* VORNGetControlName(VornRuntimeObject* control) {
  if (!control || !IsControl(control)) return nullptr;
  VornStringRecord* name = AsControl(control)->name;
  RuntimeLockString(name);
  return name;
}

void* VORNGetControlHandle(VornRuntimeObject* control) {
  SubPane* pane = control && IsControl(control) ? ControlPane(AsControl(control)) : nullptr;
  return pane ? pane->GetHandle() : nullptr;
}

uint8_t VORNGetControlFocus(VornRuntimeObject* control) {
  SubPane* pane = control && IsControl(control) ? ControlPane(AsControl(control)) : nullptr;
  return pane != nullptr && GetFocusPane() == pane;
}

void VORNSetControlFocus(VornRuntimeObject* control) {
  if (SubPane* pane = control && IsControl(control) ? ControlPane(AsControl(control)) : nullptr) pane->SetFocus();
}

// The handler of the event of that name the object has (its class's or its own); nil when
// nobody handles it. A plug-in fires an event by calling what this answers.
void* GetEventInstance(VornRuntimeObject* object, const char* eventName) {
  return eventName ? HandlerByEventName(object, eventName) : nullptr;
}

// The same lookup under the name of the other calling convention's build.
void* GetEventInstancePPC(VornRuntimeObject* object, const char* eventName) {
  return GetEventInstance(object, eventName);
}

uint8_t GetControlVisible(VornRuntimeObject* control) { return control && IsControl(control) ? AsControl(control)->visible : 0; }

void SetControlVisible(VornRuntimeObject* control, uint8_t visible) {
  if (control && IsControl(control)) ControlVisibleSetter(control, 0, visible);
}

// The window holding the control (one reference for the caller); nil after close.
VornRuntimeObject* VORNGetControlParent(VornRuntimeObject* control) {
  if (!control || !IsControl(control)) return nullptr;
  VornRuntimeObject* window = AsControl(control)->window;
  RuntimeLockObject(window);
  return window;
}

// The window's GtkWindow; nil before it is made and after it closed.
void* VORNGetWindowHandle(VornRuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields && fields->view ? fields->view->GtkWindowWidget() : nullptr;
}

}  // extern "C"
