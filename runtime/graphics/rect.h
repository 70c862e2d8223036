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

inline Rect MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return Rect{PinToInt16(top), PinToInt16(left), PinToInt16(bottom), PinToInt16(right)};
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

inline bool operator==(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

}  // namespace vorn
