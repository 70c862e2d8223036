// Where a bevel button puts its caption and sort triangle, and how its sort direction turns,
// apart from any widget.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace vorn {

// Caption alignments of a bevel button.
enum BevelCaptionAlignment : int32_t {
  kBevelAlignDefault = 0,
  kBevelAlignCenter = 2,
  kBevelAlignRight = 3,
  kBevelAlignRightNoOffset = 4,
};

// Room the sort triangle takes at the right end of a sorted button.
inline constexpr int32_t kBevelTriangleRoom = 15;

inline bool BevelShowsTriangle(int32_t value, int32_t direction, int32_t captionWidth, int32_t width) {
  return value != 0 && direction != 0 && captionWidth < width - kBevelTriangleRoom;
}

// The x of the caption's first pixel. `reserved` is the triangle's room (0 when unsorted).
inline int32_t BevelCaptionX(int32_t alignment, int32_t offset, int32_t left, int32_t width, int32_t textWidth,
                             int32_t reserved) {
  int32_t x = left + offset + 5;
  if (alignment == kBevelAlignCenter) {
    if (textWidth < width - 10) x = left + offset + (width - textWidth) / 2;
  } else if (alignment == kBevelAlignRight || alignment == kBevelAlignRightNoOffset) {
    int32_t used = alignment == kBevelAlignRightNoOffset ? 0 : offset;
    if (textWidth < width - 10 - reserved) {
      if (reserved > 0) used = std::min(used, -reserved);
      x = left + used + width - textWidth - 5;
    } else {
      x = left + used + 5;
    }
  }
  return std::max(x, left + 1);
}

// Setting the value a button has: 1 again turns the sort direction round; another value
// leaves it.
inline int32_t BevelSortDirectionAfter(int32_t oldValue, int32_t newValue, int32_t direction) {
  if (newValue == oldValue && newValue == 1) return direction == 1 ? -1 : (direction == -1 ? 1 : direction);
  return direction;
}

// The triangle's three corners (x, y pairs): pointing up for direction 1, down for -1.
inline std::array<int32_t, 6> BevelTrianglePoints(int32_t left, int32_t top, int32_t width, int32_t height,
                                                  int32_t direction) {
  const int32_t x0 = left + width - 5;
  const int32_t mid = top + (height - 5) / 2;
  if (direction == 1) return {x0 - 10, mid + 5, x0 - 5, mid, x0, mid + 5};
  return {x0 - 10, mid, x0 - 5, mid + 5, x0, mid};
}

}  // namespace vorn
