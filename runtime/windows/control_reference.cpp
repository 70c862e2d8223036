// How compiled code finds a control of a window by its name: the lookups behind every
// reference to a control placed on a window (and to a member of a control array).
#include <string>

#include "strings/vstring.h"
#include "windows/runtime_window.h"
#include "windows/control_containment.h"

namespace vorn {
namespace {

RuntimeObject* LookUp(RuntimeObject* window, const string& key) {
  if (!IsWindowObject(window)) return nullptr;
  StringMap<RuntimeObject*>* controls = AsWindowFields(window)->controls;
  RuntimeObject* control = nullptr;
  if (!controls || !controls->GetEntry(key, &control) || !control) return nullptr;
  RuntimeLockObject(control);
  return control;
}

}  // namespace
}  // namespace vorn

extern "C" {

// The control filed under the name in the window's controls, with a reference for the caller;
// nil when the window has none of that name (or is not a window).
VornRuntimeObject* RuntimeControlReference(VornRuntimeObject* window, VornStringRecord* name) {
  return vorn::LookUp(window, vorn::string::Share(name));
}

// The member `index` of the control array of that name, with a reference; nil when absent.
VornRuntimeObject* RuntimeControlArrayItemReference(VornRuntimeObject* window, VornStringRecord* name,
                                                    int32_t index) {
  return vorn::LookUp(window, vorn::ControlMapKey(vorn::string::Share(name), index));
}

}
