// Bitmap files into bitmaps: decoded byte by byte, then drawn into a new pane in one go.
#include <gtk/gtk.h>

#include "graphics/bmp_decoder.h"
#include "graphics/drawable_pane.h"
#include "strings/runtime_error.h"

namespace vorn {

DrawablePane* DrawableFromBMP(const void* data, size_t length, std::string* error) {
  if (!data) return nullptr;
  BmpImage image;
  const BmpError result = DecodeBMP(static_cast<const uint8_t*>(data), length, &image);
  if (result != BmpError::kNone) {
    if (result == BmpError::kBadHeaderSize) {
      ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "drawable", __LINE__, "0",
                         BmpErrorText(result));
    }
    if (error) *error = BmpErrorText(result);
    return nullptr;
  }
  DrawablePane* pane = NewDrawablePane(image.width, image.height, 24);
  if (!pane) {
    if (error) *error = "no bitmap of that size can be made";
    return nullptr;
  }
  gdk_draw_rgb_image(pane->Pixmap(), pane->GC(), 0, 0, image.width, image.height, GDK_RGB_DITHER_MAX,
                     image.rgb.data(), image.width * 3);
  return pane;
}

}  // namespace vorn
