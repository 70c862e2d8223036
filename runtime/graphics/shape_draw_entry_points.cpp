// The Graphics class's DrawObject: a shape plotter on the object's port.
#include "graphics/graphics_call.h"
#include "graphics/shape_plotter.h"
#include "vorn/shapes_api.h"

namespace {

void DrawObject(VornRuntimeObject* g, VornRuntimeObject* object, double x, double y) {
  // No pane origin here: the plotter places the shapes in the pane itself.
  vorn::DrawingCall call;
  if (!vorn::BeginDrawing(g, &call, false)) return;
  vorn::ShapePlotter(call.port).DrawAt(object, x, y);
}

}  // namespace

extern "C" {

void RuntimeGraphicsDrawObject(VornRuntimeObject* g, VornRuntimeObject* object) { DrawObject(g, object, 0, 0); }

void RuntimeGraphicsDrawObjectXY(VornRuntimeObject* g, VornRuntimeObject* object, int32_t deltaX, int32_t deltaY) {
  DrawObject(g, object, deltaX, deltaY);
}

}  // extern "C"
