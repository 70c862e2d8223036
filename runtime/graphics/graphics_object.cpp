#include "graphics/graphics_object.h"

#include "graphics/graphics_call.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "vorn/graphics_api.h"

namespace vorn {

namespace {

void ReportNoPane(const char* source, int32_t line) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, source, line, "thePane", "");
}

// The left and top of the pane the port draws into.
void PaneOrigin(Graphics* port, int32_t* left, int32_t* top) {
  *left = 0;
  *top = 0;
  GraphicsTarget* target = port->Target();
  if (!target) {
    ReportNoPane(kPaneOriginSource, kPaneOriginLine);
    return;
  }
  const Rect bounds = target->GetPaneBounds();
  *left = bounds.left;
  *top = bounds.top;
}

}  // namespace

GraphicsObject* GraphicsObjectFields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetGraphicsClassDefinition())) return nullptr;
  return reinterpret_cast<GraphicsObject*>(object);
}

RuntimeObject* NewGraphicsObject(Graphics* port) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetGraphicsClassDefinition());
  if (!object) {
    DisposeGraphics(port);
    return nullptr;
  }
  reinterpret_cast<GraphicsObject*>(object)->port = port;
  return object;
}

RuntimeObject* NewGraphicsObjectForTarget(GraphicsTarget* target) { return NewGraphicsObject(NewGraphics(target)); }

Graphics* GraphicsObjectPort(RuntimeObject* object) {
  GraphicsObject* fields = GraphicsObjectFields(object);
  return fields ? fields->port : nullptr;
}

void SetGraphicsObjectPort(RuntimeObject* object, Graphics* port) {
  GraphicsObject* fields = GraphicsObjectFields(object);
  if (!fields || fields->port == port) return;
  Graphics* old = fields->port;
  fields->port = port;
  DisposeGraphics(old);
}

Graphics* DetachGraphicsObjectPort(RuntimeObject* object) {
  GraphicsObject* fields = GraphicsObjectFields(object);
  if (!fields) return nullptr;
  Graphics* port = fields->port;
  fields->port = nullptr;
  return port;
}

void SetGraphicsPageRange(RuntimeObject* object, int32_t copies, int32_t firstPage, int32_t lastPage) {
  GraphicsObject* fields = GraphicsObjectFields(object);
  if (!fields) return;
  fields->copies = copies;
  fields->firstPage = firstPage;
  fields->lastPage = lastPage;
}

Graphics* PortOfGraphicsObject(RuntimeObject* object) {
  if (!object) {
    RuntimeNilObject();
    return nullptr;
  }
  return GraphicsObjectPort(object);
}

int32_t DrawingCall::H(int32_t h) const { return AddPinned(h, originH); }
int32_t DrawingCall::V(int32_t v) const { return AddPinned(v, originV); }

Rect DrawingCall::Box(int32_t x, int32_t y, int32_t width, int32_t height) const {
  const int32_t left = H(x);
  const int32_t top = V(y);
  return MakeRect(left, top, AddPinned(left, width), AddPinned(top, height));
}

bool BeginMeasuring(RuntimeObject* object, DrawingCall* call) {
  call->port = PortOfGraphicsObject(object);
  if (!call->port) return false;
  PaneOrigin(call->port, &call->originH, &call->originV);
  return true;
}

bool BeginDrawing(RuntimeObject* object, DrawingCall* call, bool withOrigin) {
  call->port = PortOfGraphicsObject(object);
  if (!call->port) return false;
  GraphicsTarget* target = call->port->Target();
  if (!target) {
    ReportNoPane(kGraphicsSource, __LINE__);
  } else if (target->IsDrawablePane()) {
    target->PrepareToDraw();
  }
  if (withOrigin) PaneOrigin(call->port, &call->originH, &call->originV);
  return true;
}

void DrawGraphicsPolygon(RuntimeObject* object, const int32_t* elements, int32_t upperBound, bool fill) {
  DrawingCall call;
  if (!BeginDrawing(object, &call, false)) return;
  if (elements && upperBound >= 1) call.port->DrawPolygon(elements, upperBound, fill);
}

}  // namespace vorn

extern "C" void RuntimeGraphicsDestructor(VornRuntimeObject* g) {
  auto* fields = reinterpret_cast<vorn::GraphicsObject*>(g);
  if (!fields) return;
  vorn::Graphics* port = fields->port;
  fields->port = nullptr;
  vorn::DisposeGraphics(port);
}
