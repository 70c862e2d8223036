#include "graphics/seed_fill.h"

#include <vector>

namespace vorn {

namespace {

struct Segment {
  int32_t y, left, right, direction;
};

class SegmentStack {
 public:
  explicit SegmentStack(int32_t height) : mHeight(height) {}
  // Dropped when the line it leads to lies outside the grid.
  void Push(int32_t y, int32_t left, int32_t right, int32_t direction) {
    if (y + direction < 0 || y + direction >= mHeight) return;
    mSegments.push_back({y, left, right, direction});
  }
  bool Empty() const { return mSegments.empty(); }
  // The segment's next line.
  Segment Pop() {
    Segment s = mSegments.back();
    mSegments.pop_back();
    s.y += s.direction;
    return s;
  }

 private:
  int32_t mHeight;
  std::vector<Segment> mSegments;
};

}  // namespace

void SeedFill(PixelGrid* grid, int32_t seedX, int32_t seedY, uint32_t color) {
  const int32_t width = grid->Width();
  const int32_t height = grid->Height();
  if (seedX < 0 || seedX >= width || seedY < 0 || seedY >= height) return;
  const uint32_t old = grid->Get(seedX, seedY);
  if (old == color) return;
  SegmentStack pending(height);
  pending.Push(seedY, seedX, seedX, 1);
  pending.Push(seedY + 1, seedX, seedX, -1);
  while (!pending.Empty()) {
    const Segment s = pending.Pop();
    const int32_t y = s.y, x1 = s.left, x2 = s.right, dy = s.direction;
    // The run through x1 going left.
    int32_t x = x1;
    for (; x >= 0 && grid->Get(x, y) == old; --x) grid->Set(x, y, color);
    int32_t left;
    if (x >= x1) {
      // x1 itself was not part of the region: look for the next run inside the segment.
      for (++x; x <= x2 && grid->Get(x, y) != old; ++x) {
      }
      left = x;
      if (x > x2) continue;
    } else {
      left = x + 1;
      if (left < x1) pending.Push(y, left, x1 - 1, -dy);  // leak to the left
      x = x1 + 1;
    }
    do {
      for (; x < width && grid->Get(x, y) == old; ++x) grid->Set(x, y, color);
      pending.Push(y, left, x - 1, dy);
      if (x > x2 + 1) pending.Push(y, x2 + 1, x - 1, -dy);  // leak to the right
      for (++x; x <= x2 && grid->Get(x, y) != old; ++x) {
      }
      left = x;
    } while (x <= x2);
  }
}

}  // namespace vorn
