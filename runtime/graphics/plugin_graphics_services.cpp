// The plug-in API's services over Graphics objects.
#include <cstdint>

#include "graphics/graphics.h"
#include "graphics/graphics_object.h"
#include "graphics/graphics_target.h"
#include "graphics/picture_object.h"
#include "vorn/picture_api.h"

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

// The GDK drawable the Graphics object draws into; nil for a port without a target.
void* VORNGraphicsGdkDrawable(VornRuntimeObject* graphics) {
  Graphics* port = graphics ? GraphicsObjectPort(graphics) : nullptr;
  return port && port->Target() ? port->Target()->GetGdkDrawable() : nullptr;
}

// The picture's mask (one reference for the caller), as its Mask property answers it.
VornRuntimeObject* VORNGetPictureMask(VornRuntimeObject* picture) {
  return picture ? pictureMaskGetter(picture, 0) : nullptr;
}

// A plug-in that drew straight into the picture's drawable (through VORNGraphicsGdkDrawable)
// must say so: otherwise pixel reads keep answering the copy taken before it drew.
void VORNPictureClearCache(VornRuntimeObject* picture) {
  if (Drawable* drawable = picture ? PictureDrawable(picture) : nullptr) drawable->PrepareToDraw();
}

}  // extern "C"
