#include "strings/rect.h"

#include <algorithm>

namespace vorn {

namespace {

int16_t Clamp16(int64_t value) {
  return static_cast<int16_t>(std::clamp<int64_t>(value, INT16_MIN, INT16_MAX));
}

const Rect kEmptyRect = {0, 0, 0, 0};

}  // namespace

void SetRect(Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  rect.top = Clamp16(top);
  rect.left = Clamp16(left);
  rect.bottom = Clamp16(bottom);
  rect.right = Clamp16(right);
}

void OffsetRect(Rect& rect, int32_t dh, int32_t dv) {
  rect.left = Clamp16(int64_t{rect.left} + dh);
  rect.right = Clamp16(int64_t{rect.right} + dh);
  rect.top = Clamp16(int64_t{rect.top} + dv);
  rect.bottom = Clamp16(int64_t{rect.bottom} + dv);
}

void MoveRectWhole(Rect& rect, int32_t dh, int32_t dv) {
  const int64_t h = std::clamp<int64_t>(dh, int64_t{INT16_MIN} - rect.left, int64_t{INT16_MAX} - rect.right);
  const int64_t v = std::clamp<int64_t>(dv, int64_t{INT16_MIN} - rect.top, int64_t{INT16_MAX} - rect.bottom);
  OffsetRect(rect, static_cast<int32_t>(h), static_cast<int32_t>(v));
}

void InsetRect(Rect& rect, int32_t dh, int32_t dv) {
  int64_t left = int64_t{rect.left} + dh;
  int64_t right = int64_t{rect.right} - dh;
  int64_t top = int64_t{rect.top} + dv;
  int64_t bottom = int64_t{rect.bottom} - dv;
  if (right <= left || bottom <= top) {
    rect = kEmptyRect;
    return;
  }
  rect = {Clamp16(top), Clamp16(left), Clamp16(bottom), Clamp16(right)};
}

bool EqualRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

bool PointInRect(VHPoint point, const Rect& rect) {
  return rect.left <= point.h && point.h < rect.right && rect.top <= point.v &&
         point.v < rect.bottom;
}

bool IntersectRect(const Rect& a, const Rect& b, Rect& out) {
  Rect r = {std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
            std::min(a.right, b.right)};
  if (r.right <= r.left || r.bottom <= r.top) {
    out = kEmptyRect;
    return false;
  }
  out = r;
  return true;
}

bool RectIsSmallerThanRect(const Rect& a, const Rect& b) {
  return RectWidth(a) < RectWidth(b) && RectHeight(a) < RectHeight(b);
}

bool RectIsInsideRect(const Rect& a, const Rect& b) {
  return a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom;
}

}  // namespace vorn
