#include "windows/menu_window.h"

#include <gtk/gtk.h>

#include "core/application.h"
#include "objects/runtime_object.h"
#include "strings/string_map.h"
#include "vorn/menu_api.h"
#include "windows/menu_enabling.h"
#include "windows/menu_gtk.h"
#include "windows/menu_routing.h"
#include "windows/pane_assert.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

constexpr const char* kWindowSource = "../Common/ClassLib/window";
constexpr const char* kApplicationSource = "../Common/RuntimeMain";
// What a shown window grows by when it gets its first bar, so its content keeps its size.
constexpr int32_t kMenuBarGrowth = 26;
constexpr const char* kGrownKey = "vorn-grown-for-menu-bar";

bool WasGrown(Window* pane) {
  return g_object_get_data(G_OBJECT(pane->GtkWindowWidget()), kGrownKey) != nullptr;
}

void MarkGrown(Window* pane, bool grown) {
  g_object_set_data(G_OBJECT(pane->GtkWindowWidget()), kGrownKey, grown ? GINT_TO_POINTER(1) : nullptr);
}

gboolean OnBarButtonPress(GtkWidget*, GdkEventButton*, gpointer data) {
  auto* pane = static_cast<Window*>(data);
  EnableMenuItemsForWindow(pane->IsModal(), pane);
  return FALSE;
}

XMenuGTK* GtkMenuOf(RuntimeObject* item) { return dynamic_cast<XMenuGTK*>(MenuOf(item)); }

// A new MenuBar object holding a clone of the bar's node, installed in the window's box.
RuntimeObject* InstallBarClone(Window* pane, RuntimeObject* bar) {
  XMenuGTK* source = GtkMenuOf(bar);
  if (!source) return nullptr;
  RuntimeObject* perWindow = CreateInstanceFromDefinition(GetMenuBarClassDefinition());
  if (!perWindow) return nullptr;
  auto* fields = reinterpret_cast<MenuItemObject*>(perWindow);
  delete static_cast<Menu*>(fields->imp);
  XMenuGTK* clone = source->Clone();
  fields->imp = static_cast<Menu*>(clone);
  clone->AttachAccelGroup(pane);
  pane->SetMenuBar(clone->MenuBarWidget());
  gtk_widget_show(clone->MenuBarWidget());
  g_signal_connect(clone->MenuBarWidget(), "button-press-event", G_CALLBACK(OnBarButtonPress), pane);
  return perWindow;
}

void TakeBarOut(Window* pane) {
  if (NativeWidget bar = pane->MenuBarWidget()) {
    g_signal_handlers_disconnect_matched(bar, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, pane);
  }
  pane->RemoveMenuBar();
}

bool DispatchShortcut(Window* window, const string& key, int32_t modifiers, bool* countAsHandled) {
  bool handled = false;
  bool result = FindMenuShortcut(key, modifiers, window, &handled);
  *countAsHandled = handled;
  return result;
}

}  // namespace

void DetachWindowMenuBar(RuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields || !fields->ownsMenuBar) return;
  if (XMenuGTK* clone = GtkMenuOf(fields->menuBar)) {
    clone->AttachAccelGroup(nullptr);
    clone->DetachFromSource();
  }
}

void InstallMenuWindowHooks() {
  WindowLayerHooks hooks = GetWindowLayerHooks();
  hooks.dispatchMenuShortcut = &DispatchShortcut;
  SetWindowLayerHooks(hooks);
}

}  // namespace vorn

using namespace vorn;

VornRuntimeObject* WindowMenuBarGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) {
    ReportPaneAssertion(kWindowSource, __LINE__, "window");
    return nullptr;
  }
  RuntimeLockObject(fields->menuBar);
  return fields->menuBar;
}

void WindowMenuBarSetter(VornRuntimeObject* window, int32_t, VornRuntimeObject* bar) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) {
    ReportPaneAssertion(kWindowSource, __LINE__, "window");
    return;
  }
  if (!GetApplicationObject()) {
    ReportPaneAssertion(kWindowSource, __LINE__, "gApplicationObject",
                        "You don't have an application object and we're expecting one");
  }
  // The field holds one reference, whether to the bar set or to the window's own clone.
  RuntimeLockObject(bar);
  RuntimeObject* old = fields->menuBar;
  fields->menuBar = bar;
  fields->ownsMenuBar = 0;
  RuntimeUnlockObject(old);
  Window* pane = fields->view;
  if (!pane) return;
  bool hadBar = pane->HasMenuBar() && pane->MenuBarWidget();
  if (bar) {
    if (pane->MenuBarWidget()) TakeBarOut(pane);
    RuntimeObject* perWindow = InstallBarClone(pane, bar);
    if (!perWindow) return;
    fields->menuBar = perWindow;
    fields->ownsMenuBar = 1;
    RuntimeUnlockObject(bar);
    NativeWidget gtkWindow = pane->GtkWindowWidget();
    if (GTK_WIDGET_VISIBLE(gtkWindow) && !hadBar) {
      if (WasGrown(pane)) {
        pane->SetWindowBounds(pane->Width(), pane->Height(), false);
      } else {
        gtk_window_resize(GTK_WINDOW(gtkWindow), std::max(1, pane->Width()),
                          std::max(1, pane->Height() + kMenuBarGrowth));
        MarkGrown(pane, true);
      }
    }
  } else if (pane->MenuBarWidget()) {
    bool grown = WasGrown(pane);
    TakeBarOut(pane);
    if (grown) {
      MarkGrown(pane, false);
      pane->SetWindowBounds(pane->Width(), pane->Height(), false);
    }
  } else {
    pane->RemoveMenuBar();
  }
}

VornRuntimeObject* AppMenuBarGetter(VornRuntimeObject* app, int32_t) {
  auto* fields = reinterpret_cast<ApplicationObject*>(app);
  RuntimeObject* bar = fields ? fields->menuBar : nullptr;
  RuntimeLockObject(bar);
  return bar;
}

void AppMenuBarSetter(VornRuntimeObject* app, int32_t, VornRuntimeObject* bar) {
  auto* fields = reinterpret_cast<ApplicationObject*>(app);
  if (!fields) return;
  RuntimeLockObject(bar);
  RuntimeObject* old = fields->menuBar;
  fields->menuBar = bar;
  RuntimeUnlockObject(old);
}

void ApplicationAddMenuHandler(VornRuntimeObject* app, VornStringRecord* name, void* handler) {
  if (!app) {
    ReportPaneAssertion(kApplicationSource, __LINE__, "self");
    return;
  }
  if (!name) {
    ReportPaneAssertion(kApplicationSource, __LINE__, "name");
    return;
  }
  if (!handler) return;
  auto* fields = reinterpret_cast<ApplicationObject*>(app);
  if (!fields->menuHandlers) fields->menuHandlers = new StringMap<void*>(256);
  static_cast<StringMap<void*>*>(fields->menuHandlers)->SetEntry(string::Share(name), handler);
}

VornRuntimeObject* RuntimeMenuReference(VornStringRecord* name) {
  auto* view = dynamic_cast<RuntimeViewWindow*>(FrontRuntimeWindow());
  RuntimeObject* window = view ? view->WindowObjectRef() : nullptr;
  WindowObject* fields = WindowFieldsOf(window);
  RuntimeObject* bar = fields ? fields->menuBar : nullptr;
  if (!bar) return nullptr;
  RuntimeLockObject(bar);
  RuntimeObject* item = RuntimeMenuItemLookup(bar, name);
  RuntimeUnlockObject(bar);
  return item;
}
