// Reading Windows bitmap files held in memory: the 14-byte file header, a core (12-byte) or
// info (40 bytes and more) header, the palette or channel masks and uncompressed rows of 1, 4,
// 8, 16, 24 or 32 bits. Every field is read byte by byte and checked against the data length before use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// Largest side and pixel count a bitmap may have: more than an X pixmap holds, or more
// memory than a picture should take.
constexpr int32_t kMaxBitmapSide = 32767;
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;

enum class BmpError {
  kNone,
  kNoData,           // nil or shorter than the file and core headers
  kBadHeaderSize,    // neither 12 nor 40 and more
  kTruncatedHeader,  // the declared header runs past the data
  kBadDimensions,    // zero width or height, a negative width
  kTooLarge,         // beyond kMaxBitmapSide / kMaxBitmapPixels, or no memory for it
  kUnsupportedDepth, // bits per pixel other than 1, 4, 8, 16, 24, 32
  kCompressed,       // run-length or embedded compressed data
  kBadPixelOffset,   // the rows start outside the data or inside the headers
  kTruncatedRows,    // fewer bytes than the rows need
  kBadMasks,         // channel masks missing, empty, with gaps, or for a palette depth
};

// The decoded picture: rows from the top, 3 bytes (red, green, blue) a pixel.
struct BmpImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;
};

// Decodes the bitmap; kNone with the image filled, else the reason (the image then empty).
BmpError DecodeBMP(const uint8_t* data, size_t length, BmpImage* out);
// A sentence for each error, for reports and tests.
const char* BmpErrorText(BmpError error);

}  // namespace vorn
