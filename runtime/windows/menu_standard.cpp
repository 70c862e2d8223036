#include "windows/menu_standard.h"

#include <gtk/gtk.h>

#include "core/application.h"
#include "base/shutdown_task.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "vorn/menu_api.h"
#include "windows/gtk_window_order.h"
#include "windows/menu.h"
#include "windows/menu_routing.h"
#include "windows/window.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

EventRow sQuitEvents[] = {{0, "Action", "", "Boolean", nullptr, 0}};
EventRow sPrefsEvents[] = {{0, "Action", "", "Boolean", nullptr, 0}};

// The subclass's own Action hides the inherited one from compiled code, so the runtime's
// implementation goes straight into the inherited slot of the class's event table.
void ImplementInheritedAction(ObjectDefinition* definition, void* function) {
  RuntimeClass* cls = RuntimeClassFromDefinition(definition);
  int32_t slot = MenuItemEventHook(kMenuItemEventAction)->index;
  if (cls && slot >= 0 && slot < cls->EventCount()) cls->mEvents[static_cast<size_t>(slot)].handler = function;
}

ObjectDefinition* StandardItem(ObjectDefinition& definition, const char* name, EventRow* events, int32_t count) {
  if (definition.mName.IsEmpty()) {
    definition.mName = string(name);
    definition.mSuper = GetMenuItemClassDefinition();
    definition.mInstanceSize = static_cast<int32_t>(sizeof(MenuItemObject));
    if (events) SetEventList(&definition, events, count);
  }
  return &definition;
}

bool sHidden = false;

// Puts the front window's bar back; the window keeps the size of its content.
void ShowFrontBar(bool show) {
  Window* front = GetFrontWindowPane();
  NativeWidget bar = front ? front->MenuBarWidget() : nullptr;
  if (!bar) return;
  if (show) {
    gtk_widget_show(bar);
  } else {
    gtk_widget_hide(bar);
  }
  front->SetWindowBounds(front->Width(), front->Height(), false);
}

class menuShutdown : public runShutdownTask {
 public:
  ~menuShutdown() override;
};

menuShutdown* sShutdownTask = nullptr;

menuShutdown::~menuShutdown() {
  sShutdownTask = nullptr;
  ShowFrontBar(true);
}

}  // namespace

ObjectDefinition* GetQuitMenuItemClassDefinition() {
  static ObjectDefinition definition;
  return StandardItem(definition, "QuitMenuItem", sQuitEvents, RowCount(sQuitEvents));
}

ObjectDefinition* GetPrefsMenuItemClassDefinition() {
  static ObjectDefinition definition;
  return StandardItem(definition, "PrefsMenuItem", sPrefsEvents, RowCount(sPrefsEvents));
}

ObjectDefinition* GetAppleMenuItemClassDefinition() {
  static ObjectDefinition definition;
  return StandardItem(definition, "AppleMenuItem", nullptr, 0);
}

void RegisterStandardMenuItemClasses() {
  RegisterIntrinsicClass("QuitMenuItem", &GetQuitMenuItemClassDefinition);
  ImplementInheritedAction(GetQuitMenuItemClassDefinition(), Fn(&QuitMenuAction));
  RegisterIntrinsicClass("PrefsMenuItem", &GetPrefsMenuItemClassDefinition);
  ImplementInheritedAction(GetPrefsMenuItemClassDefinition(), Fn(&PrefsMenuAction));
  RegisterIntrinsicClass("AppleMenuItem", &GetAppleMenuItemClassDefinition);
  RegisterIntrinsicClass("ContextualMenu", &GetContextualMenuClassDefinition);
}

void HideMenuBar() {
  if (sHidden) return;
  sHidden = true;
  if (!sShutdownTask) sShutdownTask = new menuShutdown();
  ShowFrontBar(false);
}

void ShowMenuBar() {
  if (!sHidden) return;
  sHidden = false;
  delete sShutdownTask;
}

bool MenuBarHidden() { return sHidden; }
bool MenuShutdownPending() { return sShutdownTask != nullptr; }

}  // namespace vorn

using namespace vorn;

uint8_t QuitMenuAction(VornRuntimeObject* item) {
  if (FireEvent<uint8_t>(item, sQuitEvents[0].hook)) return 1;
  ApplicationQuit(GetApplicationObject(), 0, 0);
  return 1;
}

uint8_t PrefsMenuAction(VornRuntimeObject* item) {
  FireEvent<uint8_t>(item, sPrefsEvents[0].hook);
  return 1;
}
