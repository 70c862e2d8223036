// Where the navigation pane's four buttons and caption lie: pure arithmetic on its bounds.
#pragma once

#include <algorithm>
#include <cstdint>

#include "windows/rect.h"

namespace vorn {

enum NavButton : int32_t { kNavNone = 0, kNavFirst = 1, kNavPrevious = 2, kNavNext = 3, kNavLast = 4 };

// As wide as the bar is high, but five must fit across, and never wider than 35.
inline int32_t NavButtonWidth(const Rect& bounds) {
  const int32_t w = bounds.right - bounds.left;
  const int32_t h = bounds.bottom - bounds.top;
  int32_t b = h;
  if (5 * h > w) b = w / 5;
  return std::min(b, 35);
}

inline Rect NavButtonRect(const Rect& bounds, int32_t button) {
  const int32_t b = NavButtonWidth(bounds);
  int32_t left = bounds.left;
  int32_t right = bounds.left;
  switch (button) {
    case kNavFirst: right = bounds.left + b; break;
    case kNavPrevious: left = bounds.left + b; right = bounds.left + 2 * b; break;
    case kNavNext: left = bounds.right - 2 * b; right = bounds.right - b; break;
    case kNavLast: left = bounds.right - b; right = bounds.right; break;
    default: break;
  }
  Rect r = bounds;
  r.left = static_cast<int16_t>(left);
  r.right = static_cast<int16_t>(right);
  return r;
}

// The caption's left edge for the alignment (0 left, 1 centre, 2 right), never left of the
// box's text start.
inline int32_t NavCaptionX(const Rect& bounds, int32_t align, int32_t textWidth) {
  const int32_t b = NavButtonWidth(bounds);
  const int32_t x0 = bounds.left + 2 * b + 5;
  int32_t x = x0;
  if (align == 1) x = x0 + (bounds.right - 2 * b - 5 - x0 - textWidth) / 2;
  if (align == 2) x = bounds.right - 2 * b - textWidth - 5;
  return std::max(x, x0);
}

}  // namespace vorn
