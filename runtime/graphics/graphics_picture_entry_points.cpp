// Pictures drawn through the language's Graphics class, packed into strings and drawn as a
// canvas's backdrop.
#include <cstring>
#include <limits>

#include "graphics/drawable_pane.h"
#include "graphics/graphics_call.h"
#include "graphics/graphics_object.h"
#include "graphics/graphics_state.h"
#include "graphics/picture_object.h"
#include "graphics/shape_plotter.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "vorn/graphics_api.h"
#include "vorn/image_format.h"
#include "vorn/picture_api.h"

namespace vorn {

namespace {

constexpr int32_t kDefaultExtent = -10000;
constexpr const char* kPictureSource = "../Common/picture";

}  // namespace

void ClipSpan(int64_t* position, int64_t* extent, int64_t* start, int64_t* size, int64_t limit) {
  if (*start < 0) {
    const int64_t cut = (-*start * *extent) / *size;
    *extent -= cut;
    *position += cut;
    *size += *start;
    *start = 0;
  }
  if (*size > 0 && *start + *size > limit) {
    const int64_t kept = limit - *start;
    *extent = *extent * kept / *size;
    *size = kept;
  }
}

namespace {

void DrawPictureBitmap(const DrawingCall& call, PictureObject* fields, int32_t x, int32_t y, int32_t w1, int32_t h1,
                       int32_t sx, int32_t sy, int32_t w2, int32_t h2) {
  Drawable* drawable = fields->drawable;
  int32_t pictureWidth = 0, pictureHeight = 0;
  drawable->GetSize(&pictureWidth, &pictureHeight);
  int64_t dx = x, dy = y;
  int64_t w = w1 == kDefaultExtent ? pictureWidth : w1;
  int64_t h = h1 == kDefaultExtent ? pictureHeight : h1;
  int64_t srcX = sx, srcY = sy;
  int64_t sw = w2 == kDefaultExtent ? w : w2;
  int64_t sh = h2 == kDefaultExtent ? h : h2;
  // An empty source or destination in either direction draws nothing (and would divide by
  // zero when clipping).
  if (w < 1 || sw < 1 || h < 1 || sh < 1) return;
  ClipSpan(&dx, &w, &srcX, &sw, pictureWidth);
  ClipSpan(&dy, &h, &srcY, &sh, pictureHeight);
  // Transparent pictures leave white out; a picture with a mask uses the mask.
  const bool maskFlag = fields->mask != nullptr || fields->transparent != 0;
  call.port->DrawPicture(call.H(PinToInt32(dx)), call.V(PinToInt32(dy)), PinToInt32(w), PinToInt32(h), drawable, PinToInt32(srcX),
                         PinToInt32(srcY), PinToInt32(sw), PinToInt32(sh), maskFlag);
}

// The shapes of a vector picture, clipped to the destination and moved, never scaled.
void DrawPictureObjects(const DrawingCall& call, PictureObject* fields, int32_t x, int32_t y, int32_t w1, int32_t h1,
                        int32_t sx, int32_t sy, int32_t w2, int32_t h2) {
  const int64_t w = w1 == kDefaultExtent ? fields->width : w1;
  const int64_t h = h1 == kDefaultExtent ? fields->height : h1;
  const int64_t sw = w2 == kDefaultExtent ? w : w2;
  const int64_t sh = h2 == kDefaultExtent ? h : h2;
  if (w < 1 || h < 1) return;
  ClipSaver saver(call.port);
  int32_t left = 0, top = 0;
  if (GraphicsTarget* target = call.port->Target()) {
    const Rect bounds = target->GetPaneBounds();
    left = bounds.left;
    top = bounds.top;
  }
  const int32_t clipLeft = AddPinned(left, x), clipTop = AddPinned(top, y);
  call.port->SetClipRect(MakeRect(clipLeft, clipTop, AddPinned(clipLeft, PinToInt32(w)), AddPinned(clipTop, PinToInt32(h))));
  ShapePlotter(call.port).DrawAt(fields->objects, static_cast<double>(sw) * x / w - sx,
                                 static_cast<double>(y) * sh / h - sy);
}

}  // namespace

int32_t DrawPictureBackdrop(Graphics* port, RuntimeObject* picture, int32_t h, int32_t v, int32_t width,
                            int32_t height) {
  PictureObject* fields = PictureFields(picture);
  if (!port || !fields || !fields->drawable) return 0;
  int32_t pictureWidth = 0, pictureHeight = 0;
  fields->drawable->GetSize(&pictureWidth, &pictureHeight);
  const int32_t w = pictureWidth < width ? pictureWidth : width;
  const int32_t ht = pictureHeight < height ? pictureHeight : height;
  port->DrawPicturePart(h, v, fields->drawable, 0, 0, w, ht, fields->transparent != 0);
  return fields->drawable->NativeWord();
}

}  // namespace vorn

extern "C" {

void RuntimeGraphicsDrawPicture(VornRuntimeObject* g, VornRuntimeObject* picture, int32_t x, int32_t y, int32_t w1,
                                int32_t h1, int32_t sx, int32_t sy, int32_t w2, int32_t h2) {
  vorn::PictureObject* fields = vorn::PictureFields(picture);
  if (!fields) return;
  vorn::DrawingCall call;
  if (!vorn::BeginDrawing(g, &call)) return;
  if (fields->drawable) vorn::DrawPictureBitmap(call, fields, x, y, w1, h1, sx, sy, w2, h2);
  if (fields->objects) vorn::DrawPictureObjects(call, fields, x, y, w1, h1, sx, sy, w2, h2);
}

VornStringRecord* PicturePacker(VornRuntimeObject* picture) {
  vorn::PictureObject* fields = vorn::PictureFields(picture);
  if (!fields) return nullptr;
  const int32_t width = pictureWidthGetter(picture, 0);
  const int32_t height = pictureHeightGetter(picture, 0);
  const int64_t pixels = int64_t{width < 0 ? 0 : width} * (height < 0 ? 0 : height);
  if (8 + 4 * pixels > std::numeric_limits<int32_t>::max()) {
    vorn::RuntimeRaiseExceptionWithMessage(vorn::GetOutOfMemoryExceptionClassDefinition(),
                                           vorn::string("The picture is too large to be packed"));
    return nullptr;
  }
  // The picture's own pixels when it has nothing to combine them with; else the picture
  // drawn onto white.
  VornRuntimeObject* temporary = nullptr;
  vorn::DrawablePane* pane = nullptr;
  if (!fields->mask && !fields->objects) pane = vorn::PictureBitmap(picture);
  if (!pane && pixels > 0) {
    temporary = newPicture(width, height, 32);
    if (!temporary) {
      ReportRuntimeError(vorn::kRuntimeErrorKind, vorn::kErrorFailedAssertion, vorn::kPictureSource, __LINE__,
                               "tempPicture", "");
    } else if (VornRuntimeObject* g = pictureGraphicsGetter(temporary, 0)) {
      RuntimeGraphicsDrawPicture(g, picture, 0, 0, width, height, 0, 0, width, height);
      RuntimeUnlockObject(g);
      pane = vorn::PictureBitmap(temporary);
    } else {
      ReportRuntimeError(vorn::kRuntimeErrorKind, vorn::kErrorFailedAssertion, vorn::kPictureSource, __LINE__,
                               "tempG", "");
    }
  }
  // Pixels that cannot be had at all are packed as 0.
  std::string bytes(static_cast<size_t>(8 + 4 * pixels), '\0');
  auto* out = reinterpret_cast<uint8_t*>(bytes.data());
  vorn::image::WriteU32LE(out, static_cast<uint32_t>(width));
  vorn::image::WriteU32LE(out + 4, static_cast<uint32_t>(height));
  if (pane) {
    out += 8;
    for (int32_t row = 0; row < height; ++row)
      for (int32_t column = 0; column < width; ++column, out += 4) vorn::image::WriteU32LE(out, vorn::BitmapPixel(pane, column, row));
  }
  RuntimeUnlockObject(temporary);
  return vorn::string(bytes.data(), vorn::RecordLength(bytes.size()), vorn::kEncodingUnknown).GetRetainedRep();
}

}  // extern "C"
