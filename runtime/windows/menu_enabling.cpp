#include "windows/menu_enabling.h"

#include <vector>

#include "core/application.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "vorn/window_api.h"
#include "windows/container_control.h"
#include "windows/control_window_hooks.h"
#include "windows/gtk_window_order.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

// The application class's events are its own; they are found by name.
void* HandlerNamed(RuntimeObject* object, std::string_view name) {
  if (!object || !object->classPtr || !object->eventTable) return nullptr;
  for (int32_t i = object->classPtr->EventCount() - 1; i >= 0; --i) {
    const EventEntry& entry = object->eventTable[i];
    if (SameName(RepText(entry.name), name)) return entry.handler;
  }
  return nullptr;
}

// A window counts while the native window it is shown in exists.
bool HasNativeHost(RuntimeObject* window) {
  for (int32_t i = 0; window && i < 64; ++i) {
    if (GetWindowPaneOf(window)) return true;
    window = ContainingWindowOf(window);
  }
  return false;
}

}  // namespace

Window* FrontRuntimeWindow() {
  Window* front = GetFrontWindowPane();
  return dynamic_cast<RuntimeViewWindow*>(front) ? front : nullptr;
}

void EnableMenuItemsForWindow(bool skipHandlers, Window* window) {
  if (!window) window = FrontRuntimeWindow();
  auto* view = dynamic_cast<RuntimeViewWindow*>(window);
  RuntimeObject* object = view ? view->WindowObjectRef() : nullptr;
  RuntimeLockObject(object);
  // No menu bar exists in this system yet: nothing to reset or enable by handlers.
  if (SubPane* focus = GetFocusPane()) focus->EnableMenuItems();
  if (object) {
    std::vector<RuntimeObject*> windows;
    CollectEmbeddedWindows(object, &windows);
    for (RuntimeObject* w : windows) RuntimeLockObject(w);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
      if (HasNativeHost(*it)) FireEvent(*it, WindowEventHook(kEventEnableMenuItems));
    }
    for (RuntimeObject* w : windows) RuntimeUnlockObject(w);
  }
  RuntimeUnlockObject(object);
  if (skipHandlers) return;
  if (RuntimeObject* app = GetApplicationObject()) {
    RuntimeLockObject(app);
    if (void* handler = HandlerNamed(app, "EnableMenuItems")) CallEventHandler(handler, app);
    RuntimeUnlockObject(app);
  }
}

}  // namespace vorn

void enableMenuItems(void) { vorn::EnableMenuItemsForWindow(false, nullptr); }
