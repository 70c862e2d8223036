// The implicit windows: one instance per window class name, made on the compiled code's first
// request and forgotten when it closes.
#include "objects/runtime_object.h"
#include "strings/string_map.h"
#include "vorn/window_api.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

// Holds one reference to each window it maps to; nil values mark a request not yet served.
StringMap<RuntimeObject*>* sImplicitWindows = nullptr;

StringMap<RuntimeObject*>* Registry() {
  if (!sImplicitWindows) sImplicitWindows = new StringMap<RuntimeObject*>(256);
  return sImplicitWindows;
}

const string& ClassName(RuntimeObject* window) { return ClassOf(window)->mName; }

}  // namespace

void ClaimImplicitWindow(RuntimeObject* window) {
  if (!sImplicitWindows || !window) return;
  RuntimeObject* current = nullptr;
  if (!sImplicitWindows->GetEntry(ClassName(window), &current) || current) return;
  sImplicitWindows->SetEntry(ClassName(window), window);
  RuntimeLockObject(window);
}

void ForgetImplicitWindow(RuntimeObject* window) {
  if (!sImplicitWindows || !window) return;
  RuntimeObject* current = nullptr;
  if (!sImplicitWindows->GetEntry(ClassName(window), &current) || current != window) return;
  sImplicitWindows->RemoveEntry(ClassName(window));
  RuntimeUnlockObject(window);
}

}  // namespace vorn

VornRuntimeObject* RuntimeGetImplicitWindow(VornStringRecord* nameRep) {
  using namespace vorn;
  const string name = string::Share(nameRep);
  StringMap<RuntimeObject*>* registry = Registry();
  RuntimeObject* window = nullptr;
  if (registry->GetEntry(name, &window)) {
    RuntimeLockObject(window);
    return window;
  }
  registry->SetEntry(name, nullptr);
  return nullptr;
}
