// Fuzzes the bitmap decoder: the input is taken as a whole bitmap file. Only the decoding is
// exercised; drawing the result needs a display.
#include <cstddef>
#include <cstdint>

#include "graphics/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorn::BmpImage image;
  if (vorn::DecodeBMP(data, size, &image) == vorn::BmpError::kNone) {
    // Every pixel of a decoded image is there to be read.
    volatile uint8_t sum = 0;
    for (uint8_t byte : image.rgb) sum = static_cast<uint8_t>(sum + byte);
    if (image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3) __builtin_trap();
  }
  return 0;
}
