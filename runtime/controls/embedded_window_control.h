// Container controls: a Canvas showing a template window, an object of the container's
// compiled window class that holds the container's controls and handlers. The canvas's
// events go on to the template window's events of the same name.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/canvas_class.h"

namespace vorn {

struct EmbeddedWindowControlObject {
  CanvasObject canvas;
  RuntimeObject* templateWindow;  // locked while held
  CanvasTemplate* templateLink;   // owned; what the pane asks of the template window
};

// What the control needs of its template window beyond the control-window hooks. The
// runtime window layer installs them; a missing one has the default given with it.
struct TemplateWindowServices {
  // The window's design size; default: the size of its bounds (control-window hooks).
  bool (*designSize)(RuntimeObject* window, int32_t* width, int32_t* height) = nullptr;
  // True with the colour when the window has HasBackColor; default: no back colour.
  bool (*backColor)(RuntimeObject* window, uint32_t* color) = nullptr;
  // Default: never closing.
  bool (*isClosing)(RuntimeObject* window) = nullptr;
  // The window and the windows embedded in it, in order; default: the window alone.
  void (*collectEmbeddedWindows)(RuntimeObject* window, std::vector<RuntimeObject*>* out) = nullptr;
  // The window's activation handling; default: its Activate or Deactivate event.
  void (*activate)(RuntimeObject* window) = nullptr;
  void (*deactivate)(RuntimeObject* window) = nullptr;
  // Deletes the window's native pane and its link back to the container control; called
  // when the control lets the window go. Default: nothing.
  void (*detachFromContainer)(RuntimeObject* window) = nullptr;
};
void SetTemplateWindowServices(const TemplateWindowServices& services);
const TemplateWindowServices& GetTemplateWindowServices();

ObjectDefinition* GetEmbeddedWindowControlClassDefinition();
EmbeddedWindowControlObject* AsEmbeddedWindowControl(RuntimeObject* object);

// The window machinery sets the template window before the control's pane is made; the
// control holds it once. Nil clears it.
void SetEmbeddedTemplateWindow(RuntimeObject* control, RuntimeObject* window);
// The control's template window, not held for the caller; nil for other objects.
RuntimeObject* EmbeddedTemplateWindow(RuntimeObject* control);
// The link a canvas pane of the control follows its template window through; nil for a
// plain canvas or while no template window is set.
CanvasTemplate* EmbeddedTemplateLink(RuntimeObject* control);

// The template window's size for the control's pane; false without a template window.
bool EmbeddedTemplateSize(RuntimeObject* control, int32_t* width, int32_t* height);

// Joins container controls to the runtime window layer: the control-window hooks that tell
// a container control and its template window, and the template-window services over the
// runtime's window objects. Other hooks and services are kept.
void InstallContainerControlWindowHooks();

}  // namespace vorn
