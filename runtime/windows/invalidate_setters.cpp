// Property setters that redraw: the field is stored as by the plain accessors, then the
// control (or window) the object is gets marked for a repaint. Other objects only store.
#include "vorn/object_abi.h"
#include "vorn/desktop_api.h"
#include "windows/control.h"
#include "windows/runtime_window.h"
#include "windows/sub_pane.h"
#include "windows/window_class.h"

namespace vorn {

namespace {

void Invalidate(RuntimeObject* object) {
  if (ControlObject* control = AsControl(object)) {
    SubPane* pane = ControlPane(control);
    if (pane && control->visible && pane->IsDisplayed()) pane->Invalidate(true);
  } else if (RuntimeViewWindow* view = ViewOf(object)) {
    view->Invalidate(true);
  }
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

void intInvalidateSetter(VornRuntimeObject* object, int32_t offset, int32_t value) {
  intSetter(object, offset, value);
  Invalidate(object);
}

void boolInvalidateSetter(VornRuntimeObject* object, int32_t offset, uint8_t value) {
  boolSetter(object, offset, value);
  Invalidate(object);
}

void stringInvalidateSetter(VornRuntimeObject* object, int32_t offset, VornStringRecord* value) {
  stringSetter(object, offset, value);
  Invalidate(object);
}

void objInvalidateSetter(VornRuntimeObject* object, int32_t offset, VornRuntimeObject* value) {
  objSetter(object, offset, value);
  Invalidate(object);
}

}  // extern "C"
