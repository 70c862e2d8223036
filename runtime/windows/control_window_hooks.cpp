#include "windows/control_window_hooks.h"

namespace vorn {

namespace {
ControlWindowHooks sHooks;
}  // namespace

void SetControlWindowHooks(const ControlWindowHooks& hooks) { sHooks = hooks; }
const ControlWindowHooks& GetControlWindowHooks() { return sHooks; }

ControlMap* WindowControlMap(RuntimeObject* window) {
  return window && sHooks.controlMap ? sHooks.controlMap(window) : nullptr;
}

RuntimeObject* ContainingWindowOf(RuntimeObject* window) {
  return window && sHooks.containingWindow ? sHooks.containingWindow(window) : nullptr;
}

bool IsEmbeddedWindowControl(RuntimeObject* control) {
  return control && sHooks.isEmbeddedWindowControl && sHooks.isEmbeddedWindowControl(control);
}

RuntimeObject* TemplateWindowOf(RuntimeObject* control) {
  return control && sHooks.templateWindow ? sHooks.templateWindow(control) : nullptr;
}

}  // namespace vorn
