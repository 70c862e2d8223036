// Property accessors of the language's Graphics class: (object, parameter word[, value]).
// The parameter word is not read: each property has accessors of its own.
#include "graphics/graphics_call.h"
#include "graphics/graphics_object.h"
#include "vorn/graphics_api.h"

namespace {

vorn::Graphics* Port(VornRuntimeObject* g) { return vorn::PortOfGraphicsObject(g); }

// The page fields live in the object, so they read even without a port.
vorn::GraphicsObject* PageFields(VornRuntimeObject* g) {
  if (!g) {
    RuntimeNilObject();
    return nullptr;
  }
  return vorn::GraphicsObjectFields(g);
}

uint8_t StyleBit(VornRuntimeObject* g, uint8_t bit) {
  vorn::Graphics* port = Port(g);
  return port && (port->TextStyleBits() & bit) ? 1 : 0;
}

// Changes one bit and leaves the others (condense included) as they were.
void SetStyleBit(VornRuntimeObject* g, uint8_t bit, uint8_t value) {
  vorn::Graphics* port = Port(g);
  if (!port) return;
  const uint8_t bits = port->TextStyleBits();
  port->SetTextStyle(value ? static_cast<uint8_t>(bits | bit) : static_cast<uint8_t>(bits & ~bit));
}

int32_t PaneSize(VornRuntimeObject* g, bool width) {
  vorn::Graphics* port = Port(g);
  vorn::GraphicsTarget* target = port ? port->Target() : nullptr;
  if (!target) return 0;
  const vorn::Rect bounds = target->GetPaneBounds();
  return width ? bounds.right - bounds.left : bounds.bottom - bounds.top;
}

}  // namespace

extern "C" {

uint32_t graphicsForeColorGetter(VornRuntimeObject* g, int32_t) {
  vorn::Graphics* port = Port(g);
  return port ? vorn::RGB48ToColor(port->ForeColor()) : 0;
}

void graphicsForeColorSetter(VornRuntimeObject* g, int32_t, uint32_t color) {
  if (vorn::Graphics* port = Port(g)) port->SetForeColor(vorn::ColorToRGB48(color));
}

int32_t graphicsWidthGetter(VornRuntimeObject* g, int32_t) { return PaneSize(g, true); }
int32_t graphicsHeightGetter(VornRuntimeObject* g, int32_t) { return PaneSize(g, false); }

VornStringRecord* graphicsTextFontGetter(VornRuntimeObject* g, int32_t) {
  vorn::Graphics* port = Port(g);
  return port ? port->TextFont().GetRetainedRep() : nullptr;
}

void graphicsTextFontSetter(VornRuntimeObject* g, int32_t, VornStringRecord* font) {
  if (vorn::Graphics* port = Port(g)) port->SetTextFont(vorn::string::Share(font));
}

int32_t graphicsTextSizeGetter(VornRuntimeObject* g, int32_t) {
  vorn::Graphics* port = Port(g);
  return port ? port->TextSize() : 0;
}

void graphicsTextSizeSetter(VornRuntimeObject* g, int32_t, int32_t size) {
  if (vorn::Graphics* port = Port(g)) port->SetTextSize(size);
}

int32_t graphicsCopiesGetter(VornRuntimeObject* g, int32_t) {
  vorn::GraphicsObject* fields = PageFields(g);
  return fields ? fields->copies : 0;
}

int32_t graphicsFirstPageGetter(VornRuntimeObject* g, int32_t) {
  vorn::GraphicsObject* fields = PageFields(g);
  return fields ? fields->firstPage : 0;
}

int32_t graphicsLastPageGetter(VornRuntimeObject* g, int32_t) {
  vorn::GraphicsObject* fields = PageFields(g);
  return fields ? fields->lastPage : 0;
}

uint8_t graphicsBoldGetter(VornRuntimeObject* g, int32_t) { return StyleBit(g, vorn::kStyleBold); }
void graphicsBoldSetter(VornRuntimeObject* g, int32_t, uint8_t value) { SetStyleBit(g, vorn::kStyleBold, value); }
uint8_t graphicsItalicGetter(VornRuntimeObject* g, int32_t) { return StyleBit(g, vorn::kStyleItalic); }
void graphicsItalicSetter(VornRuntimeObject* g, int32_t, uint8_t value) { SetStyleBit(g, vorn::kStyleItalic, value); }
uint8_t graphicsUnderlineGetter(VornRuntimeObject* g, int32_t) { return StyleBit(g, vorn::kStyleUnderline); }
void graphicsUnderlineSetter(VornRuntimeObject* g, int32_t, uint8_t value) {
  SetStyleBit(g, vorn::kStyleUnderline, value);
}

int32_t graphicsPenWidthGetter(VornRuntimeObject* g, int32_t) {
  vorn::Graphics* port = Port(g);
  return port ? port->PenWidth() : 0;
}

void graphicsPenWidthSetter(VornRuntimeObject* g, int32_t, int32_t value) {
  if (vorn::Graphics* port = Port(g)) port->SetPenSize(value, port->PenHeight());
}

int32_t graphicsPenHeightGetter(VornRuntimeObject* g, int32_t) {
  vorn::Graphics* port = Port(g);
  return port ? port->PenHeight() : 0;
}

void graphicsPenHeightSetter(VornRuntimeObject* g, int32_t, int32_t value) {
  if (vorn::Graphics* port = Port(g)) port->SetPenSize(port->PenWidth(), value);
}

uint8_t graphicsUseOldRendererGetter(VornRuntimeObject* g, int32_t) {
  if (!g) RuntimeNilObject();
  return 0;
}

void graphicsUseOldRendererSetter(VornRuntimeObject* g, int32_t, uint8_t) {
  if (!g) RuntimeNilObject();
}

}  // extern "C"
