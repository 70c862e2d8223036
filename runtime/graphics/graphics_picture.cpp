// The port's picture operations: they hand the rectangles to the drawable, which knows how
// to copy itself into a port.
#include "graphics/drawable.h"
#include "graphics/graphics.h"
#include "strings/pinned_int.h"

namespace vorn {

void Graphics::DrawPicturePart(int32_t h, int32_t v, Drawable* drawable, int32_t sx, int32_t sy, int32_t sw,
                               int32_t sh, bool maskFlag) {
  DrawPicture(h, v, sw, sh, drawable, sx, sy, sw, sh, maskFlag);
}

void Graphics::DrawPicture(int32_t h, int32_t v, int32_t width, int32_t height, Drawable* drawable, int32_t sx,
                           int32_t sy, int32_t sw, int32_t sh, bool maskFlag) {
  if (!drawable) return;
  const Rect source = MakeRect(sx, sy, AddPinned(sx, sw), AddPinned(sy, sh));
  Rect destination;
  GraphicsToPaneRect(this, &destination, MakeRect(h, v, AddPinned(h, width), AddPinned(v, height)));
  drawable->DrawInto(this, source, destination, maskFlag);
}

void Graphics::DrawPicturePartMasked(int32_t h, int32_t v, Drawable* drawable, int32_t sx, int32_t sy, int32_t sw,
                                     int32_t sh) {
  DrawPicturePart(h, v, drawable, sx, sy, sw, sh, true);
}

}  // namespace vorn
