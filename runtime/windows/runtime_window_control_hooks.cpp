// The window operations the control code reaches through its hooks.
#include "vorn/window_api.h"
#include "windows/control_window_hooks.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

// One field of a window object as the hook answers it; the answer's zero for anything else.
template <typename Answer, auto Field>
Answer FieldOf(RuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields ? static_cast<Answer>(fields->*Field) : Answer{};
}

void StoreBounds(RuntimeObject* window, const Rect& bounds) {
  if (WindowObject* fields = WindowFieldsOf(window)) fields->bounds = bounds;
}

void CollectControls(RuntimeObject* window, std::vector<RuntimeObject*>* out) {
  std::vector<RuntimeObject*> controls = CollectWindowControls(window);
  out->insert(out->end(), controls.begin(), controls.end());
}

}  // namespace

void InstallControlWindowHooks() {
  ControlWindowHooks hooks = GetControlWindowHooks();
  hooks.controlMap = &FieldOf<ControlMap*, &WindowObject::controls>;
  hooks.containingWindow = &FieldOf<RuntimeObject*, &WindowObject::containingWindow>;
  hooks.windowBounds = &FieldOf<Rect, &WindowObject::bounds>;
  hooks.setWindowBounds = &StoreBounds;
  hooks.nativeWindow = &FieldOf<Window*, &WindowObject::view>;
  hooks.isFullScreen = &FieldOf<bool, &WindowObject::fullScreen>;
  hooks.windowMove = &WindowMove;
  hooks.collectWindowControls = &CollectControls;
  SetControlWindowHooks(hooks);
}

}  // namespace vorn
