// Polygons of the language's Graphics class, from Integer point arrays.
#include "graphics/graphics_object.h"
#include "objects/exceptions.h"
#include "vorn/graphics_api.h"

namespace {

// Only a one-dimensional Integer array has the flat point layout the port reads; anything
// else is the caller's type error rather than a polygon read from the wrong bytes.
void DrawPolygonFromArray(VornRuntimeObject* g, VornArray* points, bool fill) {
  if (!points) return;
  if (points->elementKind != kVornArrayInteger || points->dimensions != 1) {
    vorn::RuntimeRaiseExceptionWithMessage(vorn::GetTypeMismatchExceptionClassDefinition(),
                                           vorn::string("Polygon points must be a one-dimensional Integer array"));
    return;
  }
  const int32_t upperBound = points->upperBound[0];
  if (upperBound < 1 || !points->data) return;
  vorn::DrawGraphicsPolygon(g, static_cast<const int32_t*>(points->data), upperBound, fill);
}

}  // namespace

extern "C" {

void graphicsDrawPolygon(VornRuntimeObject* g, VornArray* points) { DrawPolygonFromArray(g, points, false); }

void graphicsFillPolygon(VornRuntimeObject* g, VornArray* points) { DrawPolygonFromArray(g, points, true); }

}  // extern "C"
