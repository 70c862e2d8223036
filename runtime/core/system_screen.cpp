// The System module's view of the desktop: screen pixels, the mouse, and _DrawWindow, which
// paints a window's backdrop into a new picture.
#include <gdk/gdk.h>

#include <algorithm>

#include "core/system_module.h"
#include "graphics/bmp_decoder.h"
#include "graphics/drawable_pane.h"
#include "graphics/graphics.h"
#include "graphics/picture_object.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

// The root window of the default screen; nil without a display (GDK must not be asked then).
GdkWindow* RootWindow() {
  if (!gdk_display_get_default()) return nullptr;
  return gdk_get_default_root_window();
}

struct PointerState {
  int x = 0;
  int y = 0;
  GdkModifierType mask = static_cast<GdkModifierType>(0);
};

PointerState ReadPointer() {
  PointerState state;
  if (GdkWindow* root = RootWindow()) gdk_window_get_pointer(root, &state.x, &state.y, &state.mask);
  return state;
}

// The backdrop over the window picture: its size limited to the window's, stretched over the
// whole window or at its own (limited) size at the top left. Only a bitmap has pixels to draw.
void DrawBackdrop(Graphics* port, RuntimeObject* backDrop, int32_t width, int32_t height, bool stretch) {
  PictureObject* fields = PictureFields(backDrop);
  if (!fields || !fields->drawable) return;
  int32_t pictureWidth = 0, pictureHeight = 0;
  fields->drawable->GetSize(&pictureWidth, &pictureHeight);
  const int32_t sw = std::min(pictureWidth, width);
  const int32_t sh = std::min(pictureHeight, height);
  if (sw < 1 || sh < 1) return;
  // As the language's DrawPicture: a transparent picture leaves white out, a masked one uses
  // its mask.
  const bool maskFlag = fields->mask != nullptr || fields->transparent != 0;
  port->DrawPicture(0, 0, stretch ? width : sw, stretch ? height : sh, fields->drawable, 0, 0, sw, sh, maskFlag);
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

uint32_t systemPixel(VornRuntimeObject*, int32_t x, int32_t y) {
  GdkWindow* root = RootWindow();
  if (!root) return 0;
  // A point off the screen has no pixel; GDK would complain about the read instead.
  int width = 0, height = 0;
  gdk_drawable_get_size(root, &width, &height);
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 1, 1);
  if (!pixbuf) return 0;
  uint32_t color = 0;
  const guchar* p = gdk_pixbuf_get_from_drawable(pixbuf, root, nullptr, x, y, 0, 0, 1, 1)
                       ? gdk_pixbuf_get_pixels(pixbuf)
                       : nullptr;
  if (p) color = uint32_t{p[0]} * 0x10000 + uint32_t{p[1]} * 0x100 + p[2];
  g_object_unref(pixbuf);
  return color;
}

int32_t getMouseX(VornRuntimeObject*, int32_t) { return ReadPointer().x; }
int32_t getMouseY(VornRuntimeObject*, int32_t) { return ReadPointer().y; }
uint8_t getMouseDown(VornRuntimeObject*, int32_t) { return (ReadPointer().mask & GDK_BUTTON1_MASK) ? 1 : 0; }

VornRuntimeObject* SystemDrawWindow(VornRuntimeObject*, VornStringRecord*, int32_t width, int32_t height, int32_t,
                                    uint8_t, uint8_t, uint8_t, uint8_t, VornRuntimeObject* backDrop,
                                    uint8_t stretchBackDrop, uint32_t pictureFillColor) {
  // A window of no width or height is an empty picture, as a Picture of such a size is.
  const int32_t w = std::max(width, 0);
  const int32_t h = std::max(height, 0);
  if (w > kMaxBitmapSide || h > kMaxBitmapSide || int64_t{w} * h > kMaxBitmapPixels) {
    RuntimeRaiseExceptionWithMessage(GetOutOfMemoryExceptionClassDefinition(),
                                     string("The picture is too large to be made"));
    return nullptr;
  }
  DrawablePane* pane = nullptr;
  for (int32_t depth : {32, 16, 8}) {
    if ((pane = NewDrawablePane(w, h, depth))) break;
  }
  if (!pane) return nullptr;  // no display
  if (Graphics* port = pane->NewGraphics()) {
    pane->PrepareToDraw();
    port->SetForeColor(ColorToRGB48(pictureFillColor));
    port->FillRect(MakeRect(0, 0, w, h));
    if (backDrop && w > 0 && h > 0) DrawBackdrop(port, backDrop, w, h, stretchBackDrop != 0);
    DisposeGraphics(port);
  }
  RuntimeObject* picture = NewPictureWithDrawable(pane);
  pane->Release();
  return picture;
}

}  // extern "C"
