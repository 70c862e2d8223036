// A window drawn into a Graphics other than its own: the window with its backdrop, Paint event
// and controls, placed at a point of the port.
#include "graphics/graphics.h"
#include "graphics/graphics_object.h"
#include "vorn/control_api.h"
#include "vorn/window_api.h"
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
