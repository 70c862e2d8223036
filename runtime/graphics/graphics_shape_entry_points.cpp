// Shapes, lines, icons and pixels of the language's Graphics class.
#include "graphics/graphics_call.h"
#include "vorn/graphics_api.h"

using vorn::DrawingCall;

namespace {

// Each rectangle entry point differs only in the port operation it ends in.
template <typename Operation>
void DrawBox(VornRuntimeObject* g, int32_t x, int32_t y, int32_t width, int32_t height, Operation operation) {
  DrawingCall call;
  if (!vorn::BeginDrawing(g, &call)) return;
  operation(call.port, call.Box(x, y, width, height));
}

void DrawIconAt(VornRuntimeObject* g, int32_t kind, int32_t x, int32_t y) {
  constexpr int32_t kIconSize = 32;
  DrawingCall call;
  if (!vorn::BeginDrawing(g, &call)) return;
  call.port->DrawIcon(kind, call.H(x), call.V(y), kIconSize, kIconSize);
}

}  // namespace

extern "C" {

void RuntimeGraphicsClearRect(VornRuntimeObject* g, int32_t x, int32_t y, int32_t width, int32_t height) {
  DrawBox(g, x, y, width, height, [](vorn::Graphics* port, const vorn::Rect& r) { port->ClearRect(r); });
}

void RuntimeGraphicsDrawRect(VornRuntimeObject* g, int32_t x, int32_t y, int32_t width, int32_t height) {
  DrawBox(g, x, y, width, height, [](vorn::Graphics* port, const vorn::Rect& r) { port->DrawRect(r); });
}

void RuntimeGraphicsFillRect(VornRuntimeObject* g, int32_t x, int32_t y, int32_t width, int32_t height) {
  DrawBox(g, x, y, width, height, [](vorn::Graphics* port, const vorn::Rect& r) { port->FillRect(r); });
}

void RuntimeGraphicsDrawOval(VornRuntimeObject* g, int32_t x, int32_t y, int32_t width, int32_t height) {
  DrawBox(g, x, y, width, height, [](vorn::Graphics* port, const vorn::Rect& r) { port->DrawOval(r); });
}

void RuntimeGraphicsFillOval(VornRuntimeObject* g, int32_t x, int32_t y, int32_t width, int32_t height) {
  DrawBox(g, x, y, width, height, [](vorn::Graphics* port, const vorn::Rect& r) { port->FillOval(r); });
}

void RuntimeGraphicsDrawRoundRect(VornRuntimeObject* g, int32_t x, int32_t y, int32_t width, int32_t height,
                                  int32_t arcWidth, int32_t arcHeight) {
  DrawBox(g, x, y, width, height,
          [=](vorn::Graphics* port, const vorn::Rect& r) { port->DrawRoundRect(r, arcWidth, arcHeight); });
}

void RuntimeGraphicsFillRoundRect(VornRuntimeObject* g, int32_t x, int32_t y, int32_t width, int32_t height,
                                  int32_t arcWidth, int32_t arcHeight) {
  DrawBox(g, x, y, width, height,
          [=](vorn::Graphics* port, const vorn::Rect& r) { port->FillRoundRect(r, arcWidth, arcHeight); });
}

void RuntimeGraphicsDrawFocusRing(VornRuntimeObject* g, int32_t x, int32_t y, int32_t width, int32_t height) {
  DrawBox(g, x, y, width, height, [](vorn::Graphics* port, const vorn::Rect& r) { port->DrawFocusRing(r); });
}

void RuntimeGraphicsDrawLine(VornRuntimeObject* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  DrawingCall call;
  if (!vorn::BeginDrawing(g, &call)) return;
  call.port->MoveTo(call.H(x1), call.V(y1));
  call.port->LineTo(call.H(x2), call.V(y2));
}

void graphicsDrawStopIcon(VornRuntimeObject* g, int32_t x, int32_t y) { DrawIconAt(g, vorn::kIconStop, x, y); }
void graphicsDrawNoteIcon(VornRuntimeObject* g, int32_t x, int32_t y) { DrawIconAt(g, vorn::kIconNote, x, y); }
void graphicsDrawCautionIcon(VornRuntimeObject* g, int32_t x, int32_t y) { DrawIconAt(g, vorn::kIconCaution, x, y); }

void RuntimeGraphicsNextPage(VornRuntimeObject* g) {
  DrawingCall call;
  if (!vorn::BeginDrawing(g, &call, false)) return;
  if (vorn::GraphicsTarget* target = call.port->Target()) target->Erase();
}

uint32_t graphicsPixelGetter(VornRuntimeObject* g, int32_t x, int32_t y) {
  DrawingCall call;
  if (!vorn::BeginMeasuring(g, &call)) return 0;
  vorn::RGB48 color = vorn::kBlack48;
  call.port->GetPixel(call.H(x), call.V(y), &color);
  return vorn::RGB48ToColor(color);
}

void graphicsPixelSetter(VornRuntimeObject* g, int32_t x, int32_t y, uint32_t color) {
  DrawingCall call;
  if (!vorn::BeginDrawing(g, &call)) return;
  call.port->SetPixel(call.H(x), call.V(y), vorn::ColorToRGB48(color));
}

}  // extern "C"
