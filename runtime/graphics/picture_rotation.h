// Turning a bitmap by any angle with three shears (horizontal, vertical, horizontal), each
// moving rows or columns by a fractional amount with a two-pixel blend. The shape plotter
// draws rotated text and pictures with it.
#pragma once

#include <cstdint>

namespace vorn {

class DrawablePane;

// Flag bits of RotateDrawable and the shears.
constexpr int32_t kRotateFillWhite = 1;  // pixels a shift uncovers become white
constexpr int32_t kRotateBlendEdges = 2;  // row and column ends blend with their own end pixels

// Rotates source's bitmap by angle (radians) into destination, which keeps the source's size;
// parts turned outside it are lost. The source is left as it was. Missing or identical panes
// are reported.
void RotateDrawable(DrawablePane* source, DrawablePane* destination, double angle, int32_t flags);

// The pixel work on RGBA rows (4 bytes a pixel, strides in bytes): a is the source and
// scratch, the result ends in b.
void RotatePixels(uint8_t* a, int32_t aStride, uint8_t* b, int32_t bStride, int32_t width, int32_t height,
                  double angle, int32_t flags);
void XShear(const uint8_t* source, int32_t sourceStride, uint8_t* target, int32_t targetStride, int32_t width,
            int32_t height, double shear, int32_t flags);
void YShear(const uint8_t* source, int32_t sourceStride, uint8_t* target, int32_t targetStride, int32_t width,
            int32_t height, double shear, int32_t flags);

}  // namespace vorn
