// Container controls over the runtime's window objects: what a template window is asked.
#include <cstddef>

#include "controls/embedded_window_control.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "windows/container_control.h"
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

// A template has no native window of its own: it closes with the window that shows it.
bool IsClosing(RuntimeObject* window) { return Fields(window) && TemplateWindowClosing(window); }

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
  DetachTemplateWindow(window);
}

RuntimeObject* NewEmbeddingControl() {
  return CreateInstanceFromDefinition(GetEmbeddedWindowControlClassDefinition());
}

bool IsEmbeddingControl(RuntimeObject* object) { return AsEmbeddedWindowControl(object) != nullptr; }

bool EmbeddingAcceptsFocus(RuntimeObject* control) {
  EmbeddedWindowControlObject* object = AsEmbeddedWindowControl(control);
  return object && object->canvas.fields.acceptFocus != 0;
}

constexpr int32_t CanvasFieldOffset(size_t field) {
  return static_cast<int32_t>(offsetof(EmbeddedWindowControlObject, canvas) + offsetof(CanvasObject, fields) + field);
}

// The window layer's container controls make their embedding controls through these: without
// them a ContainerControl subclass cannot be shown at all.
void InstallEmbeddingControlServices() {
  EmbeddingControlServices services;
  services.newControl = &NewEmbeddingControl;
  services.setTemplateWindow = &SetEmbeddedTemplateWindow;
  services.templateWindow = &EmbeddedTemplateWindow;
  services.isEmbeddingControl = &IsEmbeddingControl;
  services.acceptsFocus = &EmbeddingAcceptsFocus;
  services.canvasFieldOffsets[kEmbeddingAcceptFocus] = CanvasFieldOffset(offsetof(CanvasFields, acceptFocus));
  services.canvasFieldOffsets[kEmbeddingAcceptTabs] = CanvasFieldOffset(offsetof(CanvasFields, acceptTabs));
  services.canvasFieldOffsets[kEmbeddingUseFocusRing] = CanvasFieldOffset(offsetof(CanvasFields, useFocusRing));
  services.canvasFieldOffsets[kEmbeddingEraseBackground] =
      CanvasFieldOffset(offsetof(CanvasFields, eraseBackground));
  SetEmbeddingControlServices(services);
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
  InstallEmbeddingControlServices();
}

}  // namespace vorn
