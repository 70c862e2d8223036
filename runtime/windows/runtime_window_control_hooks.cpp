// The window operations the control code reaches through its hooks.
#include "vorn/window_api.h"
#include "windows/control_window_hooks.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

WindowObject* Fields(RuntimeObject* window) { return IsWindowObject(window) ? AsWindowFields(window) : nullptr; }

ControlMap* ControlsOf(RuntimeObject* window) {
  WindowObject* fields = Fields(window);
  return fields ? fields->controls : nullptr;
}

RuntimeObject* ContainingOf(RuntimeObject* window) {
  WindowObject* fields = Fields(window);
  return fields ? fields->containingWindow : nullptr;
}

Rect BoundsOf(RuntimeObject* window) {
  WindowObject* fields = Fields(window);
  return fields ? fields->bounds : Rect{};
}

void StoreBounds(RuntimeObject* window, const Rect& bounds) {
  if (WindowObject* fields = Fields(window)) fields->bounds = bounds;
}

Window* NativeOf(RuntimeObject* window) {
  WindowObject* fields = Fields(window);
  return fields ? fields->view : nullptr;
}

bool FullScreenOf(RuntimeObject* window) {
  WindowObject* fields = Fields(window);
  return fields && fields->fullScreen;
}

void CollectControls(RuntimeObject* window, std::vector<RuntimeObject*>* out) {
  std::vector<RuntimeObject*> controls = CollectWindowControls(window);
  out->insert(out->end(), controls.begin(), controls.end());
}

}  // namespace

void InstallControlWindowHooks() {
  ControlWindowHooks hooks = GetControlWindowHooks();
  hooks.controlMap = &ControlsOf;
  hooks.containingWindow = &ContainingOf;
  hooks.windowBounds = &BoundsOf;
  hooks.setWindowBounds = &StoreBounds;
  hooks.nativeWindow = &NativeOf;
  hooks.isFullScreen = &FullScreenOf;
  hooks.windowMove = &WindowMove;
  hooks.collectWindowControls = &CollectControls;
  SetControlWindowHooks(hooks);
}

}  // namespace vorn
