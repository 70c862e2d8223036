#include "windows/menu_routing.h"

#include <vector>

#include "core/application.h"
#include "objects/event_dispatch.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "windows/container_control.h"
#include "windows/control.h"
#include "windows/control_window_hooks.h"
#include "windows/gtk_window_order.h"
#include "windows/menu.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"
#include "windows/window_controls.h"

extern "C" void enableMenuItems(void);

namespace vorn {

namespace {

RuntimeObject* sOfferedToFocus = nullptr;

// The windows whose handlers are tried, innermost first: the window and its shown embedded
// windows as collected, from the last to the first.
bool TryWindowTree(RuntimeObject* window, RuntimeObject* item) {
  std::vector<RuntimeObject*> windows;
  CollectEmbeddedWindows(window, &windows);
  for (RuntimeObject* w : windows) RuntimeLockObject(w);
  bool handled = false;
  for (auto it = windows.rbegin(); it != windows.rend() && !handled; ++it) {
    WindowObject* fields = WindowFieldsOf(*it);
    if (fields) handled = TryMenuHandlerMap(fields->menuHandlers, *it, item);
  }
  for (RuntimeObject* w : windows) RuntimeUnlockObject(w);
  return handled;
}

bool TryFocusControl(SubPane* focus, RuntimeObject* item) {
  RuntimeObject* control = focus ? ControlObjectOfPane(focus) : nullptr;
  if (!control) return false;
  if (IsEmbeddedWindowControl(control)) {
    RuntimeObject* templ = TemplateWindowOf(control);
    return templ && !GetWindowPaneOf(templ) && TryWindowTree(templ, item);
  }
  return TryMenuHandlerMap(ControlMenuHandlers(AsControl(control)), control, item);
}

}  // namespace

bool TryMenuHandlerMap(StringMap<void*>* map, RuntimeObject* owner, RuntimeObject* item) {
  Menu* menu = MenuOf(item);
  if (!map || !menu) return false;
  void* handler = nullptr;
  if (!map->GetEntry(menu->Name(), &handler) || !handler) return false;
  return CallEventHandler<uint8_t, int32_t>(handler, owner, menu->Index()) != 0;
}

RuntimeObject* MenuItemOfferedToFocus() { return sOfferedToFocus; }

bool HandleMenuItemChosen(RuntimeObject* item, Window* window) {
  if (!item) {
    RuntimeRaiseNilObjectException();
    return false;
  }
  if (!window) window = GetFrontWindowPane();
  RuntimeLockObject(item);
  SubPane* focus = GetFocusPane();
  bool handled = false;
  auto* view = dynamic_cast<RuntimeViewWindow*>(window);
  if (RuntimeObject* w = view ? view->WindowObjectRef() : nullptr) {
    RuntimeLockObject(w);
    handled = TryFocusControl(focus, item) || TryWindowTree(w, item);
    RuntimeUnlockObject(w);
  }
  if (!handled) {
    auto* app = reinterpret_cast<ApplicationObject*>(GetApplicationObject());
    if (app && app->menuHandlers) {
      RuntimeObject* owner = GetApplicationObject();
      RuntimeLockObject(owner);
      handled = TryMenuHandlerMap(static_cast<StringMap<void*>*>(app->menuHandlers), owner, item);
      RuntimeUnlockObject(owner);
    }
  }
  if (!handled) handled = FireEvent<uint8_t>(item, MenuItemEventHook(kMenuItemEventAction)) != 0;
  // The pane's own command: it hears the item's Index, the number compiled code gave it.
  if (!handled && focus && focus == GetFocusPane()) {
    RuntimeObject* outer = sOfferedToFocus;
    sOfferedToFocus = item;
    handled = focus->DoMenuCommand(MenuOf(item)->Index());
    sOfferedToFocus = outer;
  }
  if (handled) enableMenuItems();
  RuntimeUnlockObject(item);
  return handled;
}

}  // namespace vorn
