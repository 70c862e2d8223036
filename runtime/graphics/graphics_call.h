// What every Graphics entry point does before it reaches the port: the nil-object check, the
// drawable preparation and the pane origin that turns the language's pane-relative
// coordinates into the window coordinates ports take.
#pragma once

#include <cstdint>

#include "graphics/graphics.h"
#include "objects/runtime_class.h"
#include "strings/pinned_int.h"

namespace vorn {

// The object's port. A nil object raises NilObjectException; nil then, and also for an
// object that is no Graphics object or holds no port (drawing then does nothing).
Graphics* PortOfGraphicsObject(RuntimeObject* object);

// A drawing call's port and the pane origin to add to its coordinates.
struct DrawingCall {
  Graphics* port = nullptr;
  int32_t originH = 0;
  int32_t originV = 0;

  int32_t H(int32_t h) const;
  int32_t V(int32_t v) const;
  // (left x, top y, right x + width, bottom y + height), moved by the origin.
  Rect Box(int32_t x, int32_t y, int32_t width, int32_t height) const;
};

// Readies a drawing call: the port, the drawable preparation, the origin. False when there is
// nothing to draw with (nil object: NilObjectException pending). A port without a target is
// reported as a failed assertion and the call goes on; the port then draws nothing. Without
// withOrigin the origin stays 0 (polygon points, which the port places itself).
bool BeginDrawing(RuntimeObject* object, DrawingCall* call, bool withOrigin = true);
// The origin alone, for the calls that do not draw (Pixel get).
bool BeginMeasuring(RuntimeObject* object, DrawingCall* call);

// Error report source and lines of the two "thePane" assertions.
inline constexpr const char* kGraphicsSource = "../Common/ClassLib/graphics";
inline constexpr const char* kPaneOriginSource = "../Common/runpanes";
inline constexpr int32_t kPaneOriginLine = 106;

}  // namespace vorn
