#include "controls/support/runtime_window_controls.h"

#include "controls/embedded_window_control.h"
#include "startup/class_registration.h"
#include "startup/window_loop_hooks.h"
#include "support/gui_support.h"
#include "vorn/window_api.h"
#include "windows/runtime_window.h"
#include "startup/runtime_window_install.h"

namespace vorn::test {

void PrepareRuntimeWindows() {
  static bool prepared = false;
  if (!prepared) {
    prepared = true;
    RuntimeInitExternalClasses();
    InitRuntimeWindowLayer();
    InstallWindowLoopHooks();
  }
  InstallControlWindowHooks();
  InstallContainerControlWindowHooks();
}

RuntimeObject* AddWindowControl(RuntimeObject* window, RuntimeClass* cls, const char* name, const Rect& bounds,
                                const PackedStream& stream) {
  RuntimeObject* control = WindowAllocateObject(window, cls);
  ControlObject* c = AsControl(control);
  c->name = string(name).GetRetainedRep();
  c->visible = c->enabled = 1;
  SetControlBounds(c, bounds);
  stream.ApplyTo(control);
  WindowAddControl(window, c->name, control);
  return control;
}

void CloseAndRelease(RuntimeObject* window) {
  RuntimeCloseWindow(window);
  RunLoopIteration();
  RuntimeUnlockObject(window);
}

}  // namespace vorn::test
