// The plug-in API's services over Graphics objects.
#include <cstdint>

#include "graphics/graphics.h"
#include "graphics/graphics_object.h"

using namespace vorn;

extern "C" {

uint8_t VORNGetGraphicsOrigin(VornRuntimeObject* graphics, int32_t* h, int32_t* v) {
  Graphics* port = graphics ? GraphicsObjectPort(graphics) : nullptr;
  if (!port) return 0;
  if (h) *h = port->OriginH();
  if (v) *v = port->OriginV();
  return 1;
}

void VORNSetGraphicsOrigin(VornRuntimeObject* graphics, int32_t h, int32_t v) {
  if (Graphics* port = graphics ? GraphicsObjectPort(graphics) : nullptr) port->SetOrigin(h, v);
}

}  // extern "C"
