#include "windows/menu_enabling.h"

#include <deque>
#include <vector>

#include "core/application.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "vorn/window_api.h"
#include "windows/container_control.h"
#include "windows/control_window_hooks.h"
#include "windows/gtk_window_order.h"
#include "windows/menu.h"
#include "windows/menu_routing.h"
#include "windows/pane_assert.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"
#include "windows/window_controls.h"

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

// The menu bar of the pass in progress, for panes that enable items by name.
RuntimeObject* sPassMenuBar = nullptr;

void EnableNamedInTree(RuntimeObject* item, std::string_view name) {
  Menu* menu = MenuOf(item);
  if (!menu) return;
  if (menu->Count() == 0 && SameName(menu->Name().View(), name)) menu->Enable();
  for (int32_t i = 0; i < menu->Count(); ++i) {
    RuntimeObject* child = menu->ChildAt(i);
    RuntimeLockObject(child);
    EnableNamedInTree(child, name);
    RuntimeUnlockObject(child);
  }
}

constexpr const char* kEnablingSource = "../Common/RuntimeMain";

// Everything with children enabled, every leaf disabled: what the handlers then turn on.
void ResetMenuTree(RuntimeObject* item) {
  Menu* menu = MenuOf(item);
  if (!menu) {
    ReportPaneAssertion(kEnablingSource, 1748, "item");
    return;
  }
  if (menu->Count() > 0) {
    menu->Enable();
  } else {
    menu->Disable();
  }
  for (int32_t i = 0; i < menu->Count(); ++i) {
    RuntimeObject* child = menu->ChildAt(i);
    RuntimeLockObject(child);
    ResetMenuTree(child);
    RuntimeUnlockObject(child);
  }
}

bool MapHas(StringMap<void*>* map, const string& name) { return map && map->GetEntry(name); }

StringMap<void*>* ApplicationMenuHandlers() {
  auto* app = reinterpret_cast<ApplicationObject*>(GetApplicationObject());
  return app ? static_cast<StringMap<void*>*>(app->menuHandlers) : nullptr;
}

void EnableMenusByHandlers(RuntimeObject* menuBar, RuntimeObject* windowObject) {
  WindowObject* fields = WindowFieldsOf(windowObject);
  StringMap<void*>* windowMap = fields ? fields->menuHandlers : nullptr;
  SubPane* focus = GetFocusPane();
  RuntimeObject* focusControl = windowMap && focus ? ControlObjectOfPane(focus) : nullptr;
  StringMap<void*>* controlMap = focusControl ? ControlMenuHandlers(AsControl(focusControl)) : nullptr;
  std::deque<RuntimeObject*> queue;
  RuntimeLockObject(menuBar);
  queue.push_back(menuBar);
  while (!queue.empty()) {
    RuntimeObject* item = queue.front();
    queue.pop_front();
    Menu* menu = MenuOf(item);
    if (menu && menu->AutoEnable()) {
      const string& name = menu->Name();
      if (menu->Count() > 0 || MapHas(controlMap, name) || MapHas(windowMap, name) ||
          MapHas(ApplicationMenuHandlers(), name) ||
          RuntimeGetHookHandler(item, MenuItemEventHook(kMenuItemEventAction))) {
        menu->Enable();
      }
    }
    for (int32_t i = 0; menu && i < menu->Count(); ++i) {
      RuntimeObject* child = menu->ChildAt(i);
      RuntimeLockObject(child);
      queue.push_back(child);
    }
    RuntimeUnlockObject(item);
  }
}

void FireEnableMenuTree(RuntimeObject* item) {
  Menu* menu = MenuOf(item);
  if (!item || !menu) {
    ReportPaneAssertion(kEnablingSource, item ? 1879 : 1878, item ? "item->mImp" : "item");
    return;
  }
  FireEvent(item, MenuItemEventHook(kMenuItemEventEnableMenu));
  for (int32_t i = 0; i < menu->Count(); ++i) {
    RuntimeObject* child = menu->ChildAt(i);
    RuntimeLockObject(child);
    FireEnableMenuTree(child);
    RuntimeUnlockObject(child);
  }
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
  // A window without a language object has no menu bar here; no window means the application's.
  RuntimeObject* menuBar = nullptr;
  if (object) {
    menuBar = AsWindowFields(object)->menuBar;
  } else if (!window) {
    if (auto* app = reinterpret_cast<ApplicationObject*>(GetApplicationObject())) menuBar = app->menuBar;
  }
  RuntimeLockObject(menuBar);
  if (menuBar) {
    ResetMenuTree(menuBar);
    if (!skipHandlers) {
      EnableMenusByHandlers(menuBar, object);
      FireEnableMenuTree(menuBar);
    }
  }
  if (SubPane* focus = GetFocusPane()) {
    RuntimeObject* outer = sPassMenuBar;
    sPassMenuBar = menuBar;
    focus->EnableMenuItems();
    sPassMenuBar = outer;
  }
  RuntimeUnlockObject(menuBar);
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

void EnableMenuItemsNamed(std::string_view name) {
  RuntimeObject* menuBar = sPassMenuBar;
  if (!menuBar) {
    auto* view = dynamic_cast<RuntimeViewWindow*>(FrontRuntimeWindow());
    RuntimeObject* object = view ? view->WindowObjectRef() : nullptr;
    if (object) {
      menuBar = AsWindowFields(object)->menuBar;
    } else if (auto* app = reinterpret_cast<ApplicationObject*>(GetApplicationObject())) {
      menuBar = app->menuBar;
    }
  }
  if (!menuBar) return;
  RuntimeLockObject(menuBar);
  EnableNamedInTree(menuBar, name);
  RuntimeUnlockObject(menuBar);
}

}  // namespace vorn

void enableMenuItems(void) { vorn::EnableMenuItemsForWindow(false, nullptr); }
