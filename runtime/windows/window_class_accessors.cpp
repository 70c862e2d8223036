// Property accessors of the Window class. Most act on the native window when there is one
// and on the object's fields otherwise; the native window takes the fields when it is made.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "graphics/graphics_object.h"
#include "objects/runtime_object.h"
#include "vorn/control_api.h"
#include "vorn/window_api.h"
#include "windows/pane_assert.h"
#include "windows/container_control.h"
#include "windows/gtk_window_order.h"
#include "windows/menu_standard.h"
#include "windows/mouse_cursor_class.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"
#include "windows/pane_port.h"
#include "graphics/graphics.h"
#include "windows/window_class.h"
#include "windows/window_controls.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

constexpr const char* kWindowSource = "../Common/ClassLib/window";

// Setters given no window report it and do nothing.
WindowObject* FieldsOrReport(RuntimeObject* window, int32_t line, const char* assertion, const char* message = "") {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) ReportPaneAssertion(kWindowSource, line, assertion, message);
  return fields;
}

void EnterFullScreen(RuntimeViewWindow* view, WindowObject* fields) {
  GtkWindow* gtkWindow = GTK_WINDOW(view->GtkWindowWidget());
  if (!fields->resizeable) {
    // A fixed-size window cannot take the screen's size until its hints allow it.
    gtk_window_set_resizable(gtkWindow, TRUE);
    GdkGeometry geometry = {};
    geometry.max_width = geometry.max_height = 32000;
    gtk_window_set_geometry_hints(gtkWindow, nullptr, &geometry,
                                  static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
  }
  PaneGuard guard(view);
  if (auto runOnce = GetWindowLayerHooks().runLoopOnce) {
    for (int i = 0; i < 5 && guard.Get(); ++i) runOnce(false);
  }
  if (guard.Get()) gtk_window_fullscreen(gtkWindow);
}

void LeaveFullScreen(RuntimeViewWindow* view, WindowObject* fields) {
  GtkWindow* gtkWindow = GTK_WINDOW(view->GtkWindowWidget());
  gtk_window_set_resizable(gtkWindow, fields->resizeable != 0);
  gtk_window_unfullscreen(gtkWindow);
}

}  // namespace

RuntimeObject* EmbeddingControlOf(WindowObject* fields) {
  return fields && !fields->view && ControlPane(AsControl(fields->embeddedWindowControl))
             ? fields->embeddedWindowControl
             : nullptr;
}

}  // namespace vorn

using namespace vorn;

uint8_t WindowVisibleGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return 0;
  if (RuntimeObject* control = EmbeddingControlOf(fields)) return controlVisibleGetter(control, 0);
  return fields->view ? fields->view->IsShown() : fields->visible;
}

void WindowVisibleSetter(VornRuntimeObject* window, int32_t, uint8_t value) {
  WindowObject* fields = FieldsOrReport(window, __LINE__, "view");
  if (!fields) return;
  if (RuntimeObject* control = EmbeddingControlOf(fields)) ControlVisibleSetter(control, 0, value);
  fields->visible = value != 0;
  if (RuntimeViewWindow* view = fields->view) {
    if (value) {
      view->Show();
    } else {
      view->Hide();
    }
  }
}

int32_t windowPosGetter(VornRuntimeObject* window, int32_t selector) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return 0;
  const Rect& b = fields->bounds;
  switch (selector) {
    case 0: return b.left;
    case 1: return b.top;
    case 2: return b.Width();
    case 3: return b.Height();
    default: return 0;
  }
}

void windowPosSetter(VornRuntimeObject* window, int32_t selector, int32_t value) {
  WindowObject* fields = FieldsOrReport(window, __LINE__, "view");
  if (!fields || fields->fullScreen) return;
  // An embedded container is placed by the control that embeds it; that control's setter
  // moves this window's rectangle along with its pane.
  if (RuntimeObject* control = EmbeddingControlOf(fields); control && selector >= 0 && selector <= 3) {
    ctlPosSetter(control, selector, value);
    return;
  }
  Rect& b = fields->bounds;
  switch (selector) {
    case 0: OffsetRect(b, value - b.left, 0); break;
    case 1: OffsetRect(b, 0, value - b.top); break;
    case 2: b = MakeRect(b.left, b.top, b.left + value, b.bottom); break;
    case 3: b = MakeRect(b.left, b.top, b.right, b.top + value); break;
    default: return;
  }
  RuntimeViewWindow* view = fields->view;
  if (!view) return;
  if (selector <= 1) {
    view->MoveWindow(b.left, b.top, true);
  } else {
    view->SetWindowBounds(b.Width(), b.Height(), true);
  }
}

int32_t windowPlacementGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields ? fields->placement : 0;
}

void windowPlacementSetter(VornRuntimeObject* window, int32_t, int32_t value) {
  if (WindowObject* fields = WindowFieldsOf(window)) fields->placement = value;
}

VornStringRecord* windowTitleGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return nullptr;
  RuntimeLockString(fields->title);
  return fields->title;
}

void windowTitleSetter(VornRuntimeObject* window, int32_t, VornStringRecord* value) {
  WindowObject* fields =
      FieldsOrReport(window, __LINE__, "view", "Trying to set the window's title, but there was no window");
  if (!fields) return;
  ReplaceStringRep(fields->title, value);
  if (fields->view) fields->view->SetTitle(string::Share(value));
}

uint8_t windowFullScreenGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields ? fields->fullScreen : 0;
}

void windowFullScreenSetter(VornRuntimeObject* window, int32_t, uint8_t value) {
  WindowObject* fields = FieldsOrReport(window, __LINE__, "view");
  if (!fields) return;
  const uint8_t wanted = value != 0;
  RuntimeViewWindow* view = fields->view;
  if (!view) {
    fields->fullScreenRequest = wanted;
    return;
  }
  if (fields->fullScreen == wanted) return;
  fields->fullScreen = wanted;
  if (wanted) {
    EnterFullScreen(view, fields);
  } else {
    LeaveFullScreen(view, fields);
  }
}

uint8_t windowMenusVisibleGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields ? fields->menuBarVisible : 0;
}

// Only the front window's bar shows or hides at once; others follow when activated.
void windowMenusVisibleSetter(VornRuntimeObject* window, int32_t, uint8_t value) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields || fields->menuBarVisible == (value != 0)) return;
  fields->menuBarVisible = value != 0;
  if (!fields->view || GetFrontWindowPane() != fields->view) return;
  if (value) {
    ShowMenuBar();
  } else {
    HideMenuBar();
  }
}

#define VORN_BYTE_FIELD_ACCESSORS(getter, setter, field)                    \
  uint8_t getter(VornRuntimeObject* window, int32_t) {                      \
    WindowObject* fields = WindowFieldsOf(window);                                  \
    return fields ? fields->field : 0;                                      \
  }                                                                         \
  void setter(VornRuntimeObject* window, int32_t, uint8_t value) {          \
    if (WindowObject* fields = WindowFieldsOf(window)) fields->field = value != 0;  \
  }

VORN_BYTE_FIELD_ACCESSORS(windowCloseBoxGetter, windowCloseBoxSetter, closeButton)
VORN_BYTE_FIELD_ACCESSORS(windowGrowIconGetter, windowGrowIconSetter, resizeable)
VORN_BYTE_FIELD_ACCESSORS(windowZoomIconGetter, windowZoomIconSetter, maximizeButton)

#undef VORN_BYTE_FIELD_ACCESSORS

int32_t windowFrameGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields ? fields->frame : 0;
}

void windowFrameSetter(VornRuntimeObject* window, int32_t, int32_t value) {
  if (WindowObject* fields = WindowFieldsOf(window)) fields->frame = value;
}

uint8_t windowLiveResizeGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = FieldsOrReport(window, __LINE__, "window");
  if (!fields) return 0;
  return fields->view ? fields->view->LiveResize() : fields->liveResize;
}

// The field keeps the setting too, so a native window made again after a close starts with it.
void windowLiveResizeSetter(VornRuntimeObject* window, int32_t, uint8_t value) {
  WindowObject* fields = FieldsOrReport(window, __LINE__, "window");
  if (!fields) return;
  fields->liveResize = value != 0;
  if (fields->view) fields->view->SetLiveResize(value != 0);
}

VornRuntimeObject* windowBackdropGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return nullptr;
  RuntimeLockObject(fields->backdrop);
  return fields->backdrop;
}

void windowBackdropSetter(VornRuntimeObject* window, int32_t, VornRuntimeObject* value) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  RuntimeObject* old = fields->backdrop;
  RuntimeLockObject(value);
  fields->backdrop = value;
  RuntimeUnlockObject(old);
  if (fields->view) fields->view->Invalidate(true);
  const EmbeddingControlServices& embedding = GetEmbeddingControlServices();
  if (RuntimeObject* control = EmbeddingControlOf(fields); control && embedding.setBackdrop) {
    embedding.setBackdrop(control, 0, value);
  }
}

uint8_t windowHasBackColorGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields ? fields->hasBackColor : 0;
}

VornRuntimeObject* windowGraphicsGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  const EmbeddingControlServices& embedding = GetEmbeddingControlServices();
  if (RuntimeObject* control = EmbeddingControlOf(fields); control && embedding.graphics) {
    return embedding.graphics(control, 0);
  }
  if (!fields || !fields->view) return nullptr;
  if (!fields->graphics) {
    EnsurePanePorts();
    RuntimeObject* graphics = NewGraphicsObject(NewPaneGraphics(fields->view));
    if (!graphics) return nullptr;
    fields->graphics = graphics;
  }
  RuntimeLockObject(fields->graphics);
  return fields->graphics;
}

void windowHasBackColorSetter(VornRuntimeObject* window, int32_t, uint8_t value) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  fields->hasBackColor = value != 0;
  if (!fields->view) return;
  if (value) {
    fields->view->SetBackColor(fields->backColor);
    fields->view->Invalidate(true);
  } else {
    fields->view->ClearBackColor();
  }
}

uint32_t windowBackColorGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields ? fields->backColor : 0;
}

void windowBackColorSetter(VornRuntimeObject* window, int32_t, uint32_t value) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  fields->backColor = value & 0xFFFFFF;
  if (fields->hasBackColor && fields->view) {
    fields->view->SetBackColor(fields->backColor);
    fields->view->Invalidate(true);
  }
}

void windowBalloonHelpSetter(VornRuntimeObject* window, int32_t, VornStringRecord* value) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  ReplaceStringRep(fields->balloonHelp, value);
  if (fields->view) fields->view->SetBalloonHelp(string::Share(value));
}

int32_t windowMinMaxWidthHeightGetter(VornRuntimeObject* window, int32_t selector) {
  WindowObject* fields = FieldsOrReport(window, __LINE__, "window");
  if (!fields) return 0;
  switch (selector) {
    case 0: return fields->minWidth;
    case 1: return fields->minHeight;
    case 2: return fields->maxWidth;
    case 3: return fields->maxHeight;
    default: return 0;
  }
}

void windowMinMaxWidthHeightSetter(VornRuntimeObject* window, int32_t selector, int32_t value) {
  WindowObject* fields = FieldsOrReport(window, __LINE__, "window");
  if (!fields) return;
  const auto stored = static_cast<int16_t>(value);
  switch (selector) {
    case 0: fields->minWidth = stored; break;
    case 1: fields->minHeight = stored; break;
    case 2: fields->maxWidth = stored; break;
    case 3: fields->maxHeight = stored; break;
    default: break;
  }
}

void formMouseCursorSetter(VornRuntimeObject* window, int32_t, VornRuntimeObject* value) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  RuntimeObject* old = fields->mouseCursor;
  RuntimeLockObject(value);
  fields->mouseCursor = value;
  RuntimeUnlockObject(old);
  if (fields->view) {
    fields->view->SetCursor(MouseCursorRecordOf(value));
  } else if (fields->embeddedWindowControl) {
    // An embedded window has no pane of its own: the control showing it wears the cursor.
    controlMouseCursorSetter(fields->embeddedWindowControl, 0, value);
  }
}

int32_t windowControlCountGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields || !fields->controls) return 0;
  int32_t count = 0;
  StringMapIterator<RuntimeObject*>* it = fields->controls->NewIterator();
  RuntimeObject* entry = nullptr;
  while (it->Next(&entry)) {
    if (IsControl(entry)) ++count;
  }
  delete it;
  return count;
}

int32_t windowMouseXGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  if (RuntimeObject* control = EmbeddingControlOf(fields)) return controlMouseXGetter(control, 0);
  if (!fields || !fields->view) return 0;
  int32_t h = 0, v = 0;
  fields->view->GetMouseLocation(&h, &v);
  return h;
}

int32_t windowMouseYGetter(VornRuntimeObject* window, int32_t) {
  WindowObject* fields = WindowFieldsOf(window);
  if (RuntimeObject* control = EmbeddingControlOf(fields)) return controlMouseYGetter(control, 0);
  if (!fields || !fields->view) return 0;
  int32_t h = 0, v = 0;
  fields->view->GetMouseLocation(&h, &v);
  return v;
}

int32_t windowWindowPtrGetter(VornRuntimeObject*, int32_t) { return 0; }
int32_t windowHWNDGetter(VornRuntimeObject*, int32_t) { return 0; }

int32_t WindowHandleGetter(VornRuntimeObject* window, int32_t) {
  // The X window id: it fits an Integer (X leaves its top three bits clear), stays the
  // window's while the native window lives, and is what X calls made by the program take.
  WindowObject* fields = WindowFieldsOf(window);
  GtkWidget* widget = fields && fields->view ? fields->view->GtkWindowWidget() : nullptr;
  if (!widget) return 0;
  gtk_widget_realize(widget);
  GdkWindow* native = gtk_widget_get_window(widget);
  return native ? static_cast<int32_t>(GDK_WINDOW_XID(native)) : 0;
}

VornRuntimeObject* WindowDockItemGetter(VornRuntimeObject* window, int32_t) {
  if (!window) ReportPaneAssertion("../Common/ClassLib/window", __LINE__, "win");
  return nullptr;
}

VornRuntimeObject* WindowFocusGetter(VornRuntimeObject*, int32_t) {
  RuntimeObject* control = ControlObjectOfPane(GetFocusPane());
  RuntimeLockObject(control);
  return control;
}

void WindowFocusSetter(VornRuntimeObject*, int32_t, VornRuntimeObject* control) {
  if (!IsControl(control)) return;
  if (SubPane* pane = ControlPane(AsControl(control))) SetFocusPane(pane);
}
