// Rectangles of signed 16-bit coordinates, stored top, left, bottom, right. Results that would
// leave the 16-bit range are clamped to it rather than wrapped, so a rectangle never turns
// inside out through an overflow.
#pragma once

#include <cstdint>

namespace vorn {

struct Rect {
  int16_t top = 0;
  int16_t left = 0;
  int16_t bottom = 0;
  int16_t right = 0;

  int32_t Width() const { return int32_t{right} - left; }
  int32_t Height() const { return int32_t{bottom} - top; }
  bool IsEmpty() const { return left >= right || top >= bottom; }
};

// A point as the hit tests take it: vertical first, each 32 bits.
struct VHPoint {
  int32_t v;
  int32_t h;
};

// Arguments in the order left, top, right, bottom.
void SetRect(Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Adds dh to left and right, dv to top and bottom.
void OffsetRect(Rect& rect, int32_t dh, int32_t dv);
// Moves the rectangle by dh and dv as far as the 16-bit range lets it go whole: a move that
// would carry an edge past the range stops there, and the size stays.
void MoveRectWhole(Rect& rect, int32_t dh, int32_t dv);
// Moves left and right inwards by dh, top and bottom by dv; negative amounts grow the
// rectangle. A result with no area becomes all zeros.
void InsetRect(Rect& rect, int32_t dh, int32_t dv);
bool EqualRect(const Rect& a, const Rect& b);
// left <= h < right and top <= v < bottom.
bool PointInRect(VHPoint point, const Rect& rect);
// Stores the intersection and answers true; rectangles that do not overlap (touching edges
// included) give false and all zeros. out may be a or b.
bool IntersectRect(const Rect& a, const Rect& b, Rect& out);
// a both narrower and shorter than b.
bool RectIsSmallerThanRect(const Rect& a, const Rect& b);
// a entirely within b (shared edges allowed).
bool RectIsInsideRect(const Rect& a, const Rect& b);

// A rectangle from left, top, right, bottom, each clamped to the 16-bit range.
inline Rect MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Rect r;
  SetRect(r, left, top, right, bottom);
  return r;
}

inline int32_t RectWidth(const Rect& r) { return int32_t{r.right} - r.left; }
inline int32_t RectHeight(const Rect& r) { return int32_t{r.bottom} - r.top; }

}  // namespace vorn
