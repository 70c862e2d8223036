// Container controls over the runtime's window objects: what a template window is asked.
#include <cstddef>

#include "controls/embedded_window_control.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "vorn/controls_api.h"
#include "windows/container_control.h"
#include "windows/control_window_hooks.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

RuntimeObject* NewEmbeddingControl() {
  return CreateInstanceFromDefinition(GetEmbeddedWindowControlClassDefinition());
}

bool IsEmbedding(RuntimeObject* control) { return AsEmbeddedWindowControl(control) != nullptr; }

bool AcceptsFocus(RuntimeObject* control) {
  EmbeddedWindowControlObject* object = AsEmbeddedWindowControl(control);
  return object && object->canvas.fields.acceptFocus;
}

int32_t CanvasFieldOffset(size_t fieldOffset) {
  return static_cast<int32_t>(offsetof(EmbeddedWindowControlObject, canvas) + offsetof(CanvasObject, fields) +
                              fieldOffset);
}

}  // namespace

void InstallContainerControlWindowHooks() {
  // The window layer embeds templates through these, and installs the control-window hooks
  // that tell a container control and its template window.
  EmbeddingControlServices embedding;
  embedding.newControl = &NewEmbeddingControl;
  embedding.setTemplateWindow = &SetEmbeddedTemplateWindow;
  embedding.templateWindow = &EmbeddedTemplateWindow;
  embedding.isEmbeddingControl = &IsEmbedding;
  embedding.acceptsFocus = &AcceptsFocus;
  embedding.setBackdrop = &canvasBackdropSetter;
  embedding.graphics = &canvasGraphicsGetter;
  embedding.canvasFieldOffsets[kEmbeddingAcceptFocus] = CanvasFieldOffset(offsetof(CanvasFields, acceptFocus));
  embedding.canvasFieldOffsets[kEmbeddingAcceptTabs] = CanvasFieldOffset(offsetof(CanvasFields, acceptTabs));
  embedding.canvasFieldOffsets[kEmbeddingUseFocusRing] = CanvasFieldOffset(offsetof(CanvasFields, useFocusRing));
  embedding.canvasFieldOffsets[kEmbeddingEraseBackground] =
      CanvasFieldOffset(offsetof(CanvasFields, eraseBackground));
  SetEmbeddingControlServices(embedding);

  TemplateWindowServices services = GetTemplateWindowServices();
  services.designSize = &TemplateDesignSize;
  services.backColor = &TemplateBackColor;
  services.isClosing = &TemplateWindowClosing;
  services.collectEmbeddedWindows = &TemplateCollectEmbeddedWindows;
  services.activate = &RuntimeWindowActivate;
  services.deactivate = &RuntimeWindowDeactivate;
  services.detachFromContainer = &DetachTemplateWindow;
  SetTemplateWindowServices(services);
}

}  // namespace vorn
