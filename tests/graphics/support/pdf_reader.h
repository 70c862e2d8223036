// Just enough of a PDF file for the printing tests: its pages and its RGB images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn::testing {

struct PdfImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;  // inflated, 3 bytes a pixel, top row first

  // &hRRGGBB of a pixel; 0xFFFFFFFF outside the image.
  uint32_t PixelAt(int32_t x, int32_t y) const;
};

// The whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Page objects ("/Type /Page", not the page tree).
int32_t CountPdfPages(const std::string& pdf);
// The 8-bit RGB and grey images (grey given as RGB) with Flate-compressed data, in file order.
std::vector<PdfImage> PdfRgbImages(const std::string& pdf);

}  // namespace vorn::testing
