// Drawing and measuring text through the language's Graphics class. In every form of
// DrawString, y is the baseline of the first line.
#include "graphics/graphics_call.h"
#include "graphics/graphics_defaults.h"
#include "vorn/graphics_api.h"

using vorn::DrawingCall;

namespace {

// Wrapped text has no bottom: the layout takes as many lines as it needs.
constexpr int32_t kNoBottom = 32767;

vorn::string Borrow(VornStringRecord* text) { return vorn::string::Share(text); }

}  // namespace

extern "C" {

void RuntimeGraphicsDrawStringCondensed(VornRuntimeObject* g, VornStringRecord* text, int32_t x, int32_t y,
                                        int32_t width, uint8_t condense) {
  DrawingCall call;
  if (!vorn::BeginDrawing(g, &call) || !text) return;
  vorn::Graphics* port = call.port;
  const vorn::string str = Borrow(text);
  const int32_t h = call.H(x);
  const int32_t v = call.V(y);
  if (condense && width >= 1) {
    vorn::DrawCondensedString(port, str, h, v, width, vorn::EllipsisString(), 0);
  } else if (width != 0) {
    const int32_t top = vorn::AddPinned(v, -port->FontAscent());
    port->DrawWrappedText(str, vorn::MakeRect(h, top, vorn::AddPinned(h, width), kNoBottom), vorn::kAlignDefault);
  } else {
    port->DrawText(str, h, v, 0);
  }
}

void RuntimeGraphicsDrawString(VornRuntimeObject* g, VornStringRecord* text, int32_t x, int32_t y, int32_t width) {
  RuntimeGraphicsDrawStringCondensed(g, text, x, y, width, 0);
}

int32_t RuntimeGraphicsStringWidth(VornRuntimeObject* g, VornStringRecord* text) {
  vorn::Graphics* port = vorn::PortOfGraphicsObject(g);
  if (!port || !text) return 0;
  return port->StringWidth(Borrow(text));
}

int32_t RuntimeGraphicsStringHeight(VornRuntimeObject* g, VornStringRecord* text, int32_t wrapWidth) {
  vorn::Graphics* port = vorn::PortOfGraphicsObject(g);
  if (!port || !text) return 0;
  return port->StringHeight(Borrow(text), wrapWidth);
}

int32_t RuntimeGraphicsStringDirection(VornRuntimeObject* g, VornStringRecord* text) {
  vorn::Graphics* port = vorn::PortOfGraphicsObject(g);
  if (!port) return 0;
  return text ? port->StringDirection(Borrow(text)) : port->DefaultTextDirection();
}

int32_t RuntimeGraphicsTextHeight(VornRuntimeObject* g) {
  vorn::Graphics* port = vorn::PortOfGraphicsObject(g);
  return port ? port->TextHeight() : 0;
}

int32_t RuntimeGraphicsTextAscent(VornRuntimeObject* g) {
  vorn::Graphics* port = vorn::PortOfGraphicsObject(g);
  return port ? port->FontAscent() : 0;
}

}  // extern "C"
