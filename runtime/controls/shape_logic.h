// The geometry of the Line control apart from any widget: where its pane lies and which
// clicks hit it.
#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/rect.h"
#include "strings/rect.h"

namespace vorn {

// A rectangle from 64-bit sums, each side pinned to the 16-bit range of window coordinates.
inline Rect LinePinnedRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  auto pin = [](int64_t v) { return PinToInt16(static_cast<int32_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX))); };
  return MakeRect(pin(left), pin(top), pin(right), pin(bottom));
}

// The bounding box of the two end points, one pixel wider and higher so a point has room.
inline Rect LineEndPointBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return LinePinnedRect(std::min(x1, x2), std::min(y1, y2), int64_t{std::max(x1, x2)} + 1,
                        int64_t{std::max(y1, y2)} + 1);
}

// The end points' box grown by the pen: half the border width above and left, the rest below
// and right.
inline Rect LineBoundsWithBorder(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t borderWidth) {
  const int64_t half = borderWidth / 2;
  const int64_t rest = int64_t{borderWidth} - half;
  return LinePinnedRect(std::min(x1, x2) - half, std::min(y1, y2) - half, std::max(x1, x2) + rest,
                        std::max(y1, y2) + rest);
}

// Squared distance of (x, y) from the line through both end points, truncated; 0 for a line
// of no length, which every click in its pane hits.
inline int64_t LineDistanceSquared(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x, int32_t y) {
  int64_t dx = int64_t{x2} - x1;
  int64_t dy = int64_t{y2} - y1;
  int64_t lengthSquared = dx * dx + dy * dy;
  if (lengthSquared == 0) return 0;
  double c = static_cast<double>((int64_t{y} - y1) * dx - (int64_t{x} - x1) * dy);
  return static_cast<int64_t>(c * c / static_cast<double>(lengthSquared));
}

// A click this far (squared) or nearer counts as on the line.
inline constexpr int64_t kLineHitDistanceSquared = 35;

inline bool LineHit(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x, int32_t y) {
  return LineDistanceSquared(x1, y1, x2, y2, x, y) <= kLineHitDistanceSquared;
}

}  // namespace vorn
