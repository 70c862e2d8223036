// The three-shear rotation on plain pixel buffers.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/object2d.h"
#include "graphics/picture_rotation.h"

using namespace vorn;

namespace {

// RGBA rows, 4 bytes a pixel, without padding.
struct Image {
  int32_t width;
  int32_t height;
  std::vector<uint8_t> bytes;
  Image(int32_t w, int32_t h) : width(w), height(h), bytes(static_cast<size_t>(4 * w * h), 255) {}
  uint8_t* Data() { return bytes.data(); }
  int32_t Stride() const { return 4 * width; }
  uint32_t At(int32_t x, int32_t y) const {
    const uint8_t* p = &bytes[static_cast<size_t>(4 * (y * width + x))];
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  }
  void Set(int32_t x, int32_t y, uint32_t rgb) {
    uint8_t* p = &bytes[static_cast<size_t>(4 * (y * width + x))];
    p[0] = static_cast<uint8_t>(rgb >> 16);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb);
  }
};

// A 16 x 16 white square with a black bar from (8, 8) to the right edge.
Image Bar() {
  Image image(16, 16);
  for (int32_t x = 8; x < 16; ++x) image.Set(x, 8, 0);
  return image;
}

Image Rotated(double angle, int32_t flags = kRotateFillWhite) {
  Image a = Bar();
  Image b(16, 16);
  RotatePixels(a.Data(), a.Stride(), b.Data(), b.Stride(), 16, 16, angle, flags);
  return b;
}

TEST(RotatePixelsTest, NoAngleCopiesTheImage) {
  EXPECT_EQ(Rotated(0).bytes, Bar().bytes);
}

TEST(RotatePixelsTest, AQuarterTurnIsExactAndTurnsClockwise) {
  // The rotation turns by minus its angle: -pi/2 is a quarter turn clockwise on screen,
  // taking the bar from pointing right to pointing down.
  const Image turned = Rotated(-kPi / 2);
  int32_t black = 0;
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) {
      const uint32_t c = turned.At(x, y);
      EXPECT_TRUE(c == 0 || c == 0xFFFFFF) << x << "," << y;  // no blending
      black += c == 0;
    }
  EXPECT_EQ(black, 8);
  for (int32_t y = 8; y < 16; ++y) EXPECT_EQ(turned.At(8, y), 0u) << y;
  EXPECT_EQ(turned.At(14, 8), 0xFFFFFFu);
}

TEST(RotatePixelsTest, WholeTurnsAreLeftOut) {
  EXPECT_EQ(Rotated(2 * kPi + 0.5).bytes, Rotated(0.5).bytes);
  EXPECT_EQ(Rotated(kPi / 2 + 0.00005).bytes, Rotated(kPi / 2 + 0.00004).bytes);
}

TEST(RotatePixelsTest, ShearsBlendNeighboursAndFillUncoveredPixels) {
  // One row moved by half a pixel: each pixel shares itself with the next.
  Image a(4, 1);
  a.Set(0, 0, 0);
  a.Set(1, 0, 0);
  Image b(4, 1);
  b.Set(3, 0, 0x123456);
  XShear(a.Data(), a.Stride(), b.Data(), b.Stride(), 4, 1, -1.0, kRotateFillWhite);
  // Offset +0.5 (k = 0, f = 0.5): half of each pixel moves on to the next, the white edge
  // comes in from the left.
  EXPECT_EQ(b.At(0, 0), 0x7F7F7Fu);
  EXPECT_EQ(b.At(1, 0), 0u);
  EXPECT_EQ(b.At(2, 0), 0x808080u);
  EXPECT_EQ(b.At(3, 0), 0xFFFFFFu);
}

}  // namespace
