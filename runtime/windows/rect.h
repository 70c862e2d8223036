// The pane layer's forms of the runtime's rectangle helpers (pointer arguments, h and v
// given apart), in the coordinates of a window's content area (or of the screen for frames).
#pragma once

#include <cstdint>

#include "strings/rect.h"

namespace vorn {

// Arguments in the order left, top, right, bottom, as the runtime has always taken them.
inline void SetRect(Rect* r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  SetRect(*r, left, top, right, bottom);
}

inline void OffsetRect(Rect* r, int32_t dh, int32_t dv) { OffsetRect(*r, dh, dv); }

// Half-open: the right and bottom edges are outside.
inline bool PointInRect(int32_t h, int32_t v, const Rect& r) { return PointInRect(VHPoint{v, h}, r); }

// False and all zeros when the rectangles do not overlap (touching edges do not overlap).
inline bool IntersectRect(const Rect& a, const Rect& b, Rect* out) { return IntersectRect(a, b, *out); }

}  // namespace vorn
