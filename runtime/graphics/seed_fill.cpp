#include "graphics/seed_fill.h"

namespace vorn {

namespace {

struct Segment {
  int16_t y, left, right, direction;
};

class SegmentStack {
 public:
  explicit SegmentStack(int32_t height) : mHeight(height) {}
  // Dropped when full or when the line it leads to lies outside the grid.
  void Push(int32_t y, int32_t left, int32_t right, int32_t direction) {
    if (mCount >= kSeedFillStackSize || y + direction < 0 || y + direction >= mHeight) return;
    mSegments[mCount++] = {static_cast<int16_t>(y), static_cast<int16_t>(left), static_cast<int16_t>(right),
                           static_cast<int16_t>(direction)};
  }
  bool Empty() const { return mCount == 0; }
  // The segment's next line.
  Segment Pop() {
    Segment s = mSegments[--mCount];
    s.y = static_cast<int16_t>(s.y + s.direction);
    return s;
  }

 private:
  int32_t mHeight;
  int32_t mCount = 0;
  Segment mSegments[kSeedFillStackSize];
};

}  // namespace

void SeedFill(PixelGrid* grid, int32_t seedX, int32_t seedY, uint32_t color) {
  const int32_t width = grid->Width();
  const int32_t height = grid->Height();
  // The segments hold 16-bit coordinates.
  if (width > INT16_MAX || height > INT16_MAX) return;
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
