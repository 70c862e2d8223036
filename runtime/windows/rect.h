// The runtime's rectangle: four signed 16-bit values stored top, left, bottom, right, in the
// coordinates of a window's content area (or of the screen for window frames).
#pragma once

#include <algorithm>
#include <cstdint>

namespace vorn {

struct Rect {
  int16_t top = 0;
  int16_t left = 0;
  int16_t bottom = 0;
  int16_t right = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return left >= right || top >= bottom; }
};

// Arguments in the order left, top, right, bottom, as the runtime has always taken them.
inline void SetRect(Rect* r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  r->left = static_cast<int16_t>(left);
  r->top = static_cast<int16_t>(top);
  r->right = static_cast<int16_t>(right);
  r->bottom = static_cast<int16_t>(bottom);
}

inline Rect MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Rect r;
  SetRect(&r, left, top, right, bottom);
  return r;
}

inline void OffsetRect(Rect* r, int32_t dh, int32_t dv) {
  SetRect(r, r->left + dh, r->top + dv, r->right + dh, r->bottom + dv);
}

inline bool EqualRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

// Half-open: the right and bottom edges are outside.
inline bool PointInRect(int32_t h, int32_t v, const Rect& r) {
  return h >= r.left && h < r.right && v >= r.top && v < r.bottom;
}

// False and all zeros when the rectangles do not overlap (touching edges do not overlap).
inline bool IntersectRect(const Rect& a, const Rect& b, Rect* out) {
  Rect r = MakeRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom));
  if (r.IsEmpty()) {
    *out = Rect{};
    return false;
  }
  *out = r;
  return true;
}

inline bool RectIsInsideRect(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

}  // namespace vorn
