// Container controls over the runtime's window objects: what a template window is asked.
#include "controls/embedded_window_control.h"
#include "objects/event_dispatch.h"
#include "windows/control_window_hooks.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

WindowObject* Fields(RuntimeObject* window) { return IsWindowObject(window) ? AsWindowFields(window) : nullptr; }

bool DesignSize(RuntimeObject* window, int32_t* width, int32_t* height) {
  WindowObject* fields = Fields(window);
  if (!fields) return false;
  *width = fields->bounds.Width();
  *height = fields->bounds.Height();
  return true;
}

bool BackColor(RuntimeObject* window, uint32_t* color) {
  WindowObject* fields = Fields(window);
  if (!fields || !fields->hasBackColor) return false;
  *color = fields->backColor;
  return true;
}

bool IsClosing(RuntimeObject* window) {
  WindowObject* fields = Fields(window);
  return fields && fields->view && fields->view->IsClosing();
}

void CollectTree(RuntimeObject* window, std::vector<RuntimeObject*>* out) {
  std::vector<RuntimeObject*> tree = CollectWindowTree(window);
  out->insert(out->end(), tree.begin(), tree.end());
}

void Activate(RuntimeObject* window) {
  if (Fields(window)) FireEvent(window, WindowEventHook(kEventActivate));
}

void Deactivate(RuntimeObject* window) {
  if (Fields(window)) FireEvent(window, WindowEventHook(kEventDeactivate));
}

void DetachFromContainer(RuntimeObject* window) {
  WindowObject* fields = Fields(window);
  if (!fields) return;
  if (RuntimeViewWindow* view = fields->view) {
    fields->view = nullptr;
    view->Close();
  }
  fields->embeddedWindowControl = nullptr;
}

}  // namespace

void InstallContainerControlWindowHooks() {
  ControlWindowHooks hooks = GetControlWindowHooks();
  hooks.isEmbeddedWindowControl = [](RuntimeObject* control) { return AsEmbeddedWindowControl(control) != nullptr; };
  hooks.templateWindow = &EmbeddedTemplateWindow;
  SetControlWindowHooks(hooks);

  TemplateWindowServices services = GetTemplateWindowServices();
  services.designSize = &DesignSize;
  services.backColor = &BackColor;
  services.isClosing = &IsClosing;
  services.collectEmbeddedWindows = &CollectTree;
  services.activate = &Activate;
  services.deactivate = &Deactivate;
  services.detachFromContainer = &DetachFromContainer;
  SetTemplateWindowServices(services);
}

}  // namespace vorn
