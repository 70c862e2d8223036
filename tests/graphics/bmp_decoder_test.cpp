// The bitmap decoder on hand-made files: exact pixels in every depth, both row orders, and
// the ways a file can lie about itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/bmp_decoder.h"
#include "graphics/support/bmp_builder.h"

using vorn::BmpError;
using vorn::BmpImage;
using vorn::DecodeBMP;
using vorn::testing::BmpSpec;
using vorn::testing::BuildBmp;
using vorn::testing::PatchWord;

namespace {

BmpError Decode(const std::string& file, BmpImage* image) {
  return DecodeBMP(reinterpret_cast<const uint8_t*>(file.data()), file.size(), image);
}

uint32_t Pixel(const BmpImage& image, int x, int y) {
  const uint8_t* p = image.rgb.data() + (y * image.width + x) * 3;
  return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

BmpSpec Small24() {
  BmpSpec spec;
  spec.width = 2;
  spec.height = 2;
  spec.rows = {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}};
  return spec;
}

TEST(BmpDecoder, OneBitIsBlackAndWhiteWhateverThePaletteSays) {
  BmpSpec spec;
  spec.width = 10;
  spec.height = 2;
  spec.bitsPerPixel = 1;
  spec.palette = {{255, 0, 0}, {0, 255, 0}};
  spec.rows = {{0b10100000, 0b01000000}, {0b00000001, 0b11000000}};  // bottom row first
  BmpImage image;
  ASSERT_EQ(Decode(BuildBmp(spec), &image), BmpError::kNone);
  ASSERT_EQ(image.width, 10);
  ASSERT_EQ(image.height, 2);
  const std::string top = ".......###";
  const std::string bottom = "#.#......#";
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(Pixel(image, x, 0), top[x] == '#' ? 0xFFFFFFu : 0u) << x;
    EXPECT_EQ(Pixel(image, x, 1), bottom[x] == '#' ? 0xFFFFFFu : 0u) << x;
  }
}

TEST(BmpDecoder, FourBitRowsOfOddWidthSkipTheirPadding) {
  BmpSpec spec;
  spec.width = 3;
  spec.height = 2;
  spec.bitsPerPixel = 4;
  spec.palette = {{0, 0, 0}, {0x11, 0x22, 0x33}, {0x44, 0x55, 0x66}};
  // Two bytes a row (the low nibble of the second unused), then two bytes of padding; index 9
  // lies past the palette read and gives black.
  spec.rows = {{0x12, 0x9F}, {0x21, 0x1F}};
  const std::string file = BuildBmp(spec);
  EXPECT_EQ(file.size(), 14u + 40u + 12u + 8u);
  BmpImage image;
  ASSERT_EQ(Decode(file, &image), BmpError::kNone);
  EXPECT_EQ(Pixel(image, 0, 1), 0x112233u);
  EXPECT_EQ(Pixel(image, 1, 1), 0x445566u);
  EXPECT_EQ(Pixel(image, 2, 1), 0u);
  EXPECT_EQ(Pixel(image, 0, 0), 0x445566u);
  EXPECT_EQ(Pixel(image, 1, 0), 0x112233u);
  EXPECT_EQ(Pixel(image, 2, 0), 0x112233u);
}

TEST(BmpDecoder, EightBitWithACoreHeaderUsesThreeBytePaletteEntries) {
  BmpSpec spec;
  spec.width = 2;
  spec.height = 1;
  spec.bitsPerPixel = 8;
  spec.coreHeader = true;
  spec.palette = {{0xAA, 0xBB, 0xCC}, {0x01, 0x02, 0x03}};
  spec.rows = {{1, 0}};
  BmpImage image;
  ASSERT_EQ(Decode(BuildBmp(spec), &image), BmpError::kNone);
  EXPECT_EQ(Pixel(image, 0, 0), 0x010203u);
  EXPECT_EQ(Pixel(image, 1, 0), 0xAABBCCu);
}

TEST(BmpDecoder, TwentyFourBitRowsAreBlueGreenRedAndTheFirstRowIsTheBottom) {
  BmpImage image;
  ASSERT_EQ(Decode(BuildBmp(Small24()), &image), BmpError::kNone);
  EXPECT_EQ(Pixel(image, 0, 1), 0xFF0000u);
  EXPECT_EQ(Pixel(image, 1, 1), 0x00FF00u);
  EXPECT_EQ(Pixel(image, 0, 0), 0x0000FFu);
  EXPECT_EQ(Pixel(image, 1, 0), 0xFFFFFFu);

  // Width 1: three bytes and one byte of padding a row.
  BmpSpec narrow;
  narrow.width = 1;
  narrow.height = 2;
  narrow.rows = {{1, 2, 3}, {4, 5, 6}};
  const std::string file = BuildBmp(narrow);
  EXPECT_EQ(file.size(), 14u + 40u + 8u);
  ASSERT_EQ(Decode(file, &image), BmpError::kNone);
  EXPECT_EQ(Pixel(image, 0, 0), 0x060504u);
  EXPECT_EQ(Pixel(image, 0, 1), 0x030201u);
}

TEST(BmpDecoder, ThirtyTwoBitRowsAreUnpaddedAndANegativeHeightStoresThemFromTheTop) {
  BmpSpec spec;
  spec.width = 3;
  spec.height = -2;
  spec.bitsPerPixel = 32;
  spec.rows = {{1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99}, {10, 11, 12, 0, 13, 14, 15, 0, 16, 17, 18, 0}};
  const std::string file = BuildBmp(spec);
  EXPECT_EQ(file.size(), 14u + 40u + 24u);
  BmpImage image;
  ASSERT_EQ(Decode(file, &image), BmpError::kNone);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(Pixel(image, 0, 0), 0x030201u);
  EXPECT_EQ(Pixel(image, 2, 0), 0x090807u);
  EXPECT_EQ(Pixel(image, 1, 1), 0x0F0E0Du);

  // With the channel-mask code the file's own masks are read; the usual ones change nothing.
  spec.compression = 3;
  EXPECT_EQ(Decode(BuildBmp(spec), &image), BmpError::kBadMasks) << "masks missing";
  spec.masks = {0xFF0000, 0xFF00, 0xFF};
  ASSERT_EQ(Decode(BuildBmp(spec), &image), BmpError::kNone);
  EXPECT_EQ(Pixel(image, 2, 1), 0x121110u);
}

TEST(BmpDecoder, ChannelMasksGiveEachChannelItsBitsScaledToEightBits) {
  struct Case {
    int32_t bits;
    std::vector<uint32_t> masks;  // empty: the depth's usual ones without the mask code
    std::vector<uint8_t> pixel;   // one pixel, file bytes
    uint32_t rgb;
  };
  const Case cases[] = {
      // 10-10-10-2: red 0x3FF, green 0x200, blue 0.
      {32, {0x3FF00000, 0x000FFC00, 0x000003FF}, {0x00, 0x00, 0xF8, 0x3F}, 0xFF8000},
      // 7-1-8-7 style odd widths, red in the low bits.
      {32, {0x0000007F, 0x00000080, 0x0000FF00}, {0x7F, 0x40, 0x00, 0x00}, 0xFF0040},
      {16, {0xF800, 0x07E0, 0x001F}, {0x1F, 0xF8}, 0xFF00FF},  // 5-6-5
      {16, {}, {0xE0, 0x03}, 0x00FF00},  // 5-5-5
  };
  for (const Case& c : cases) {
    BmpSpec spec;
    spec.width = 1;
    spec.height = 1;
    spec.bitsPerPixel = c.bits;
    spec.compression = c.masks.empty() ? 0 : 3;
    spec.masks = c.masks;
    spec.rows = {c.pixel};
    BmpImage image;
    ASSERT_EQ(Decode(BuildBmp(spec), &image), BmpError::kNone) << c.bits;
    EXPECT_EQ(Pixel(image, 0, 0), c.rgb) << c.bits << " " << (c.masks.empty() ? 0 : c.masks[0]);
  }
  // Masks it cannot read are refused rather than decoded into wrong colours.
  for (const std::vector<uint32_t>& masks : std::vector<std::vector<uint32_t>>{{0xFF0000, 0, 0xFF}, {0xF0F000, 0xFF00, 0xFF}}) {
    BmpSpec spec;
    spec.width = 1;
    spec.height = 1;
    spec.bitsPerPixel = 32;
    spec.compression = 3;
    spec.masks = masks;
    spec.rows = {{0, 0, 0, 0}};
    BmpImage image;
    EXPECT_EQ(Decode(BuildBmp(spec), &image), BmpError::kBadMasks);
  }
}

TEST(BmpDecoder, HeadersThatCannotBeReadAreRejected) {
  BmpImage image;
  EXPECT_EQ(DecodeBMP(nullptr, 100, &image), BmpError::kNoData);
  EXPECT_EQ(Decode(std::string("BM\0\0", 4), &image), BmpError::kNoData);

  std::string file = BuildBmp(Small24());
  PatchWord(&file, 14, 20);
  EXPECT_EQ(Decode(file, &image), BmpError::kBadHeaderSize);
  PatchWord(&file, 14, 0xFFFFFFF0u);
  EXPECT_EQ(Decode(file, &image), BmpError::kTruncatedHeader);
  EXPECT_EQ(Decode(BuildBmp(Small24()).substr(0, 40), &image), BmpError::kTruncatedHeader);
  EXPECT_TRUE(image.rgb.empty());
}

TEST(BmpDecoder, DimensionsDepthsAndCompressionItCannotShowAreRejected) {
  BmpImage image;
  BmpSpec spec = Small24();
  spec.width = 0;
  EXPECT_EQ(Decode(BuildBmp(spec), &image), BmpError::kBadDimensions);
  spec.width = -2;
  EXPECT_EQ(Decode(BuildBmp(spec), &image), BmpError::kBadDimensions);
  spec = Small24();
  spec.height = 0;
  EXPECT_EQ(Decode(BuildBmp(spec), &image), BmpError::kBadDimensions);

  spec = Small24();
  spec.bitsPerPixel = 2;
  EXPECT_EQ(Decode(BuildBmp(spec), &image), BmpError::kUnsupportedDepth);
  spec.bitsPerPixel = 24;
  spec.compression = 3;
  EXPECT_EQ(Decode(BuildBmp(spec), &image), BmpError::kBadMasks);
  spec = Small24();
  spec.compression = 1;
  EXPECT_EQ(Decode(BuildBmp(spec), &image), BmpError::kCompressed);

  // Sizes beyond any bitmap are refused before the rows are even looked at.
  std::string huge = BuildBmp(Small24());
  PatchWord(&huge, 18, 100000);
  EXPECT_EQ(Decode(huge, &image), BmpError::kTooLarge);
  PatchWord(&huge, 18, 30000);
  PatchWord(&huge, 22, 30000);
  EXPECT_EQ(Decode(huge, &image), BmpError::kTooLarge);
  PatchWord(&huge, 22, 0x80000000u);
  EXPECT_EQ(Decode(huge, &image), BmpError::kTooLarge);
}

TEST(BmpDecoder, RowsMustLieInsideTheData) {
  BmpImage image;
  const std::string good = BuildBmp(Small24());
  // One byte short of the last row.
  EXPECT_EQ(Decode(good.substr(0, good.size() - 1), &image), BmpError::kTruncatedRows);
  // Large dimensions a small file cannot hold.
  std::string big = good;
  PatchWord(&big, 18, 4000);
  PatchWord(&big, 22, 4000);
  EXPECT_EQ(Decode(big, &image), BmpError::kTruncatedRows);

  std::string offset = good;
  PatchWord(&offset, 10, static_cast<uint32_t>(good.size() + 1));
  EXPECT_EQ(Decode(offset, &image), BmpError::kBadPixelOffset);
  PatchWord(&offset, 10, 20);  // inside the headers
  EXPECT_EQ(Decode(offset, &image), BmpError::kBadPixelOffset);
  PatchWord(&offset, 10, 0xFFFFFFFFu);
  EXPECT_EQ(Decode(offset, &image), BmpError::kBadPixelOffset);
}

TEST(BmpDecoder, APaletteLongerThan256EntriesIsCutAndAMissingOneGivesBlack) {
  BmpSpec spec;
  spec.width = 2;
  spec.height = 1;
  spec.bitsPerPixel = 8;
  spec.palette.assign(300, {0x10, 0x20, 0x30});
  spec.palette[255] = {0xFE, 0xFD, 0xFC};
  spec.rows = {{255, 0}};
  BmpImage image;
  ASSERT_EQ(Decode(BuildBmp(spec), &image), BmpError::kNone);
  EXPECT_EQ(Pixel(image, 0, 0), 0xFEFDFCu);
  EXPECT_EQ(Pixel(image, 1, 0), 0x102030u);

  spec.palette.clear();
  ASSERT_EQ(Decode(BuildBmp(spec), &image), BmpError::kNone);
  EXPECT_EQ(Pixel(image, 0, 0), 0u);
}

}  // namespace
