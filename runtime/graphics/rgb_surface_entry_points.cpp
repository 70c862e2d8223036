// The language's RGBSurface class: pixel reads and writes, flood fill and component maps
// over a picture's bitmap.
#include <gtk/gtk.h>

#include <string>

#include "graphics/drawable_pane.h"
#include "graphics/picture_object.h"
#include "graphics/seed_fill.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/picture_api.h"

namespace vorn {

RGBSurfaceObject* RGBSurfaceFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetRGBSurfaceClassDefinition())) return nullptr;
  return reinterpret_cast<RGBSurfaceObject*>(object);
}

namespace {

constexpr int32_t kMapUpperBound = 255;

// The surface's fields and bitmap; a nil surface raises NilObjectException.
RGBSurfaceObject* SurfaceOf(RuntimeObject* surface, DrawablePane** pane) {
  if (!surface) {
    RuntimeNilObject();
    return nullptr;
  }
  RGBSurfaceObject* fields = RGBSurfaceFields(surface);
  *pane = fields ? PictureBitmap(fields->picture) : nullptr;
  return *pane ? fields : nullptr;
}

bool Inside(const RGBSurfaceObject* fields, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < fields->width && y < fields->height;
}

// A bitmap's pixels read once into a pixbuf, changed there and written back in one go.
class PixbufGrid : public PixelGrid {
 public:
  PixbufGrid(GdkPixbuf* pixbuf, int32_t width, int32_t height)
      : mPixels(gdk_pixbuf_get_pixels(pixbuf)),
        mStride(gdk_pixbuf_get_rowstride(pixbuf)),
        mWidth(width),
        mHeight(height) {}
  int32_t Width() const override { return mWidth; }
  int32_t Height() const override { return mHeight; }
  uint32_t Get(int32_t x, int32_t y) const override {
    const guchar* p = mPixels + y * mStride + 4 * x;
    return (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[2];
  }
  void Set(int32_t x, int32_t y, uint32_t color) override {
    guchar* p = mPixels + y * mStride + 4 * x;
    p[0] = static_cast<guchar>(color >> 16);
    p[1] = static_cast<guchar>(color >> 8);
    p[2] = static_cast<guchar>(color);
  }

 private:
  guchar* mPixels;
  int32_t mStride;
  int32_t mWidth;
  int32_t mHeight;
};

// The surface's area of the bitmap (never beyond the bitmap as it is now).
void SurfaceArea(const RGBSurfaceObject* fields, DrawablePane* pane, int32_t* width, int32_t* height) {
  *width = fields->width < pane->Width() ? fields->width : pane->Width();
  *height = fields->height < pane->Height() ? fields->height : pane->Height();
}

bool CheckMap(VornArray* map) {
  if (!map) {
    RuntimeNilObject();
    return false;
  }
  if (map->elementKind != kVornArrayInteger || map->dimensions != 1) {
    RuntimeRaiseExceptionWithMessage(GetTypeMismatchExceptionClassDefinition(),
                                     string("Transform maps must be one-dimensional Integer arrays"));
    return false;
  }
  if (map->upperBound[0] != kMapUpperBound || !map->data) {
    const std::string text = "Transform map UBound must be 255, not " + std::to_string(map->upperBound[0]);
    RuntimeRaiseExceptionWithMessage(GetUnsupportedFormatExceptionClassDefinition(), string(text.c_str()));
    return false;
  }
  return true;
}

}  // namespace

}  // namespace vorn

using vorn::DrawablePane;
using vorn::RGBSurfaceObject;

extern "C" {

void RGBSurfaceDestructor(VornRuntimeObject* surface) {
  auto* fields = reinterpret_cast<RGBSurfaceObject*>(surface);
  if (!fields) return;
  VornRuntimeObject* picture = fields->picture;
  fields->picture = nullptr;
  RuntimeUnlockObject(picture);
}

uint32_t rgbSurfaceGetPixel(VornRuntimeObject* surface, int32_t x, int32_t y) {
  DrawablePane* pane = nullptr;
  RGBSurfaceObject* fields = vorn::SurfaceOf(surface, &pane);
  if (!fields || !vorn::Inside(fields, x, y)) return 0;
  return vorn::BitmapPixel(pane, x, y);
}

void rgbSurfaceSetPixel(VornRuntimeObject* surface, int32_t x, int32_t y, uint32_t color) {
  DrawablePane* pane = nullptr;
  RGBSurfaceObject* fields = vorn::SurfaceOf(surface, &pane);
  if (!fields || !vorn::Inside(fields, x, y)) return;
  pane->SetPixel(x, y, color);
}

void rgbSurfaceSeedFill(VornRuntimeObject* surface, int32_t x, int32_t y, uint32_t color) {
  DrawablePane* pane = nullptr;
  RGBSurfaceObject* fields = vorn::SurfaceOf(surface, &pane);
  if (!fields || (fields->depth != 24 && fields->depth != 32)) return;
  int32_t width = 0, height = 0;
  vorn::SurfaceArea(fields, pane, &width, &height);
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  GdkPixbuf* pixbuf = pane->ReadPixbuf(0, 0, width, height);
  if (!pixbuf) return;
  vorn::PixbufGrid grid(pixbuf, width, height);
  const uint32_t fill = color & 0xFFFFFF;
  if (grid.Get(x, y) != fill) {
    vorn::SeedFill(&grid, x, y, fill);
    pane->WritePixbuf(pixbuf, 0, 0);
  }
  g_object_unref(pixbuf);
}

void rgbSurfaceTransform(VornRuntimeObject* surface, VornArray* map) {
  rgbSurfaceTransformRGB(surface, map, map, map);
}

void rgbSurfaceTransformRGB(VornRuntimeObject* surface, VornArray* redMap, VornArray* greenMap,
                            VornArray* blueMap) {
  if (!surface) {
    RuntimeNilObject();
    return;
  }
  if (!vorn::CheckMap(redMap) || !vorn::CheckMap(greenMap) || !vorn::CheckMap(blueMap)) return;
  DrawablePane* pane = nullptr;
  RGBSurfaceObject* fields = vorn::SurfaceOf(surface, &pane);
  if (!fields) return;
  if (fields->depth != 24 && fields->depth != 32) {
    const std::string text = "Transform depth must be 24 or 32, not " + std::to_string(fields->depth);
    vorn::RuntimeRaiseExceptionWithMessage(vorn::GetUnsupportedFormatExceptionClassDefinition(),
                                           vorn::string(text.c_str()));
    return;
  }
  GdkPixbuf* pixbuf = pane->ReadPixbuf(0, 0, pane->Width(), pane->Height());
  if (!pixbuf) return;
  const int32_t* red = static_cast<const int32_t*>(redMap->data);
  const int32_t* green = static_cast<const int32_t*>(greenMap->data);
  const int32_t* blue = static_cast<const int32_t*>(blueMap->data);
  const int32_t stride = gdk_pixbuf_get_rowstride(pixbuf);
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  for (int32_t y = 0; y < pane->Height(); ++y) {
    for (guchar* p = pixels + y * stride; p < pixels + y * stride + 4 * pane->Width(); p += 4) {
      p[0] = static_cast<guchar>(red[p[0]]);
      p[1] = static_cast<guchar>(green[p[1]]);
      p[2] = static_cast<guchar>(blue[p[2]]);
    }
  }
  pane->WritePixbuf(pixbuf, 0, 0);
  g_object_unref(pixbuf);
}

}  // extern "C"
