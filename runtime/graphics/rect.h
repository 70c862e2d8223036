// Drawing's helpers over the runtime's rectangle (four signed 16-bit values kept top, left,
// bottom, right). Points are two signed 32-bit values, h before v.
#pragma once

#include <cstdint>

#include "strings/rect.h"

namespace vorn {

// Values outside the 16-bit range are pinned to it rather than wrapped, so a shape far off
// the drawable stays off it.
inline int16_t PinToInt16(int32_t value) {
  if (value < INT16_MIN) return INT16_MIN;
  if (value > INT16_MAX) return INT16_MAX;
  return static_cast<int16_t>(value);
}

// Swaps each pair that is the wrong way round: left and right first, then top and bottom.
inline void NormalizeRect(Rect& r) {
  if (r.left > r.right) {
    int16_t t = r.left;
    r.left = r.right;
    r.right = t;
  }
  if (r.top > r.bottom) {
    int16_t t = r.top;
    r.top = r.bottom;
    r.bottom = t;
  }
}

inline bool operator==(const Rect& a, const Rect& b) { return EqualRect(a, b); }

}  // namespace vorn
