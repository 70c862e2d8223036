// A window drawn into a Graphics other than its own: the window with its backdrop, Paint event
// and controls, placed at a point of the port.
#include <gtk/gtk.h>

#include "graphics/color_types.h"
#include "graphics/graphics.h"
#include "graphics/graphics_object.h"
#include "vorn/control_api.h"
#include "vorn/window_api.h"
#include "windows/gtk_helper.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"

using namespace vorn;

void formDrawInto(VornRuntimeObject* window, VornRuntimeObject* g, int32_t x, int32_t y, uint8_t) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  if (RuntimeViewWindow* view = fields->view) {
    Graphics* port = GraphicsObjectPort(g);
    if (!port) return;
    const int32_t h = port->OriginH();
    const int32_t v = port->OriginV();
    port->SetOrigin(static_cast<int32_t>(static_cast<uint32_t>(h) - static_cast<uint32_t>(x)),
                    static_cast<int32_t>(static_cast<uint32_t>(v) - static_cast<uint32_t>(y)));
    view->DrawInto(port);
    port->SetOrigin(h, v);
  } else if (fields->embeddedWindowControl) {
    RuntimeControlDrawInto(fields->embeddedWindowControl, g, x, y);
  }
}

namespace {

// Runs draw with the port's origin moved by (dh, dv), then puts it back.
template <typename Draw>
void WithOriginMoved(Graphics* port, int32_t dh, int32_t dv, Draw draw) {
  const int32_t h = port->OriginH();
  const int32_t v = port->OriginV();
  port->SetOrigin(static_cast<int32_t>(static_cast<uint32_t>(h) + static_cast<uint32_t>(dh)),
                  static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(dv)));
  draw();
  port->SetOrigin(h, v);
}

}  // namespace

void formDrawBackground(VornRuntimeObject* window, VornRuntimeObject* g, int32_t, int32_t, int32_t, int32_t,
                        int32_t srcLeft, int32_t srcTop) {
  WindowObject* fields = WindowFieldsOf(window);
  Graphics* port = g ? GraphicsObjectPort(g) : nullptr;
  if (!fields || !port) return;
  if (RuntimeViewWindow* view = fields->view) {
    if (view->HasBackColor()) {
      port->SetForeColor(ColorToRGB48(view->BackColor()));
    } else {
      const SystemColor background = GetSystemColor(2);
      port->SetForeColor(RGB48{background.red, background.green, background.blue});
    }
    port->FillRect(MakeRect(0, 0, view->Width(), view->Height()));
    WithOriginMoved(port, srcLeft, srcTop, [&] { view->Paint(port); });
  } else if (SubPane* pane = ControlPane(AsControl(fields->embeddedWindowControl))) {
    WithOriginMoved(port, srcLeft, srcTop, [&] { pane->DrawInto(port); });
  }
}

void formSetFocus(VornRuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  GtkWidget* widget = fields && fields->view ? fields->view->GtkWindowWidget() : nullptr;
  if (!widget || !widget->window || !GTK_WIDGET_VISIBLE(widget)) return;
  // Now, not at the last input's time: the request is not an answer to an input event, and
  // the server ignores focus requests older than its last focus change.
  gdk_window_show(widget->window);
  gdk_window_focus(widget->window, GDK_CURRENT_TIME);
}

void clearFocus(VornRuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  RuntimeViewWindow* view = fields ? fields->view : nullptr;
  if (!view) return;
  SubPane* focus = GetFocusPane();
  if (focus && focus->GetWindow() == view) SetFocusPane(nullptr);
  if (GtkWidget* widget = view->GtkWindowWidget()) gtk_window_set_focus(GTK_WINDOW(widget), nullptr);
}

void* WindowToWindowPtr(VornRuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  return fields && fields->view ? static_cast<void*>(fields->view->GtkWindowWidget()) : nullptr;
}
