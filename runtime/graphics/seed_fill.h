// The scan-line seed fill over any grid of colours: every pixel 4-connected to the seed that
// has the seed's colour takes the fill colour. Pending line segments wait on a stack that grows
// as the region needs, so a region of any shape is filled whole.
#pragma once

#include <cstdint>

namespace vorn {

class PixelGrid {
 public:
  virtual ~PixelGrid() = default;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual uint32_t Get(int32_t x, int32_t y) const = 0;
  virtual void Set(int32_t x, int32_t y, uint32_t color) = 0;
};

// Nothing when the seed lies outside the grid or already has the fill colour.
void SeedFill(PixelGrid* grid, int32_t x, int32_t y, uint32_t color);

}  // namespace vorn
