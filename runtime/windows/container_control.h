// Container controls: windows designed like any window but shown inside another window. The
// container's window object (the template window) never gets a native window; an embedding
// control of the control layer stands for it in the containing window, and embedding gives
// the template's own controls their panes inside that control's pane.
//
// The control layer provides the embedding control class through SetEmbeddingControlServices;
// this layer provides what that class asks of its template window (the Template* functions
// below, each shaped to be handed over as a service).
#pragma once

#include <cstdint>
#include <vector>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/rect.h"

namespace vorn {

// Canvas fields of the embedding control that ContainerControl properties pass through to;
// their property rows carry these negative selectors, resolved through canvasFieldOffsets.
enum EmbeddingCanvasField : int32_t {
  kEmbeddingAcceptFocus,
  kEmbeddingAcceptTabs,
  kEmbeddingUseFocusRing,
  kEmbeddingEraseBackground,
  kEmbeddingCanvasFieldCount
};
constexpr int32_t kEmbeddingAcceptFocusParam = -1 - kEmbeddingAcceptFocus;
constexpr int32_t kEmbeddingAcceptTabsParam = -1 - kEmbeddingAcceptTabs;
constexpr int32_t kEmbeddingUseFocusRingParam = -1 - kEmbeddingUseFocusRing;
constexpr int32_t kEmbeddingEraseBackgroundParam = -1 - kEmbeddingEraseBackground;

struct EmbeddingControlServices {
  // A new embedding control, one reference for the caller; nil when it cannot be made.
  RuntimeObject* (*newControl)() = nullptr;
  // Sets (nil clears) the control's template window; the control holds it.
  void (*setTemplateWindow)(RuntimeObject* control, RuntimeObject* window) = nullptr;
  // The control's template window (not held for the caller) and whether an object is an
  // embedding control; both are also installed as the control-window hooks of those names.
  RuntimeObject* (*templateWindow)(RuntimeObject* control) = nullptr;
  bool (*isEmbeddingControl)(RuntimeObject* object) = nullptr;
  // Whether the control takes focus (and so keys) itself; false when missing.
  bool (*acceptsFocus)(RuntimeObject* control) = nullptr;
  // The control's Backdrop setter and Graphics getter (the object held for the caller): an
  // embedded window's own Backdrop and Graphics are its control's.
  void (*setBackdrop)(RuntimeObject* control, int32_t param, RuntimeObject* picture) = nullptr;
  RuntimeObject* (*graphics)(RuntimeObject* control, int32_t param) = nullptr;
  // Byte offsets (offsetof) of the canvas fields in the embedding control object; 0 while
  // unknown, and such a property then reads false and ignores assignments.
  int32_t canvasFieldOffsets[kEmbeddingCanvasFieldCount] = {};
};
void SetEmbeddingControlServices(const EmbeddingControlServices& services);
const EmbeddingControlServices& GetEmbeddingControlServices();

// Whether a control is a PagePanel, the controls room's class, which installs this when the
// class is built (no page panel exists before); false while none is installed.
using PagePanelTest = bool (*)(RuntimeObject* control);
void SetPagePanelTest(PagePanelTest test);
bool IsPagePanel(RuntimeObject* control);

// The ContainerControl class ("Window" subclass) and its registration.
ObjectDefinition* GetContainerControlClassDefinition();
void RegisterContainerControlClass();
bool IsContainerControl(RuntimeObject* object);

// The class initializer's part for a container: the embedding control is made and linked,
// Layout runs, the maps are made and CreateControls runs at once; no native window.
void CreateContainerTemplate(RuntimeObject* templateWindow);

// The common embedding step: the template's embedding control goes into `container` at
// (left, top) of it (width and height -1 keep the designed size) and the template's controls
// get their panes. Nested embedding (a container found in a window's controls map) keeps the
// template's own position and fires no Open.
void EmbedWindow(RuntimeObject* templateWindow, RuntimeObject* container, int32_t left, int32_t top, int32_t width,
                 int32_t height, bool nested);
// A container entry of a window's controls map that is not embedded yet.
bool NeedsNestedEmbedding(RuntimeObject* entry);
// Moves the embedding control's pane to the control's bounds, without redraw.
void PlaceEmbeddedControlPane(RuntimeObject* templateWindow);

// The window, then recursively the template windows of its embedding controls whose native
// pane exists and whose template takes keys itself, each only while shown (Visible).
void CollectEmbeddedWindows(RuntimeObject* window, std::vector<RuntimeObject*>* out);

// Services for the embedding control class.
bool TemplateDesignSize(RuntimeObject* templateWindow, int32_t* width, int32_t* height);
bool TemplateBackColor(RuntimeObject* templateWindow, uint32_t* color);
bool TemplateWindowClosing(RuntimeObject* templateWindow);
void TemplateCollectEmbeddedWindows(RuntimeObject* templateWindow, std::vector<RuntimeObject*>* out);
void RuntimeWindowActivate(RuntimeObject* window);
void RuntimeWindowDeactivate(RuntimeObject* window);
// The embedding control lets its template go: the template forgets the control and its
// containing window.
void DetachTemplateWindow(RuntimeObject* templateWindow);

}  // namespace vorn
