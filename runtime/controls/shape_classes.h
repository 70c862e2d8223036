// The language's shape classes: Rectangle, RoundRectangle, Oval and Line. Their settings live
// in the object until the pane exists and in both afterwards (see paneIntGetter).
#pragma once

#include <cstddef>
#include <cstdint>

#include "controls/shape_panes.h"
#include "objects/object_definition.h"
#include "windows/control.h"

namespace vorn {

struct RectangleObject {
  VornControlObject base;
  int32_t fillColor;
  int32_t topLeftColor;
  int32_t bottomRightColor;
  int16_t borderWidth;
};

struct RoundRectangleObject {
  VornControlObject base;
  int32_t fillColor;
  int32_t borderColor;
  int16_t borderWidth;
  int16_t ovalWidth;
  int16_t ovalHeight;
};

struct OvalObject {
  VornControlObject base;
  int32_t fillColor;
  int32_t borderColor;
  int16_t borderWidth;
};

struct LineObject {
  VornControlObject base;
  int32_t x1;
  int32_t x2;
  int32_t y1;
  int32_t y2;
  int16_t borderWidth;
  int32_t lineColor;
};

// The parameter word of a shared pane accessor: the object field's offset in bits 0-9 and the
// pane field's selector in bits 10-19 and again in 20-29.
constexpr int32_t PaneFieldParam(size_t objectOffset, ShapeField field) {
  return static_cast<int32_t>(objectOffset) | (field << 10) | (field << 20);
}
constexpr int32_t PaneParamObjectOffset(int32_t param) { return param & 0x3FF; }
constexpr int32_t PaneParamField(int32_t param) { return (param >> 10) & 0x3FF; }

ObjectDefinition* GetRectangleClassDefinition();
ObjectDefinition* GetRoundRectangleClassDefinition();
ObjectDefinition* GetOvalClassDefinition();
ObjectDefinition* GetLineClassDefinition();
void RegisterShapeClasses();

}  // namespace vorn
