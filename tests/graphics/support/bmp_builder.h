// Hand-made bitmap files for the decoder and picture tests: headers, palette and rows laid
// out byte by byte, little-endian, rows given in file order and padded as the format wants.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn::testing {

struct BmpSpec {
  int32_t width = 0;
  int32_t height = 0;  // negative: rows from the top
  int32_t bitsPerPixel = 24;
  bool coreHeader = false;  // 12-byte header with 3-byte palette entries
  uint32_t compression = 0;
  std::vector<uint32_t> masks;                  // written right after the header
  std::vector<std::array<uint8_t, 3>> palette;  // red, green, blue
  std::vector<std::vector<uint8_t>> rows;       // file order, unpadded
};

std::string BuildBmp(const BmpSpec& spec);

// Little-endian 32-bit word at offset of a built file.
void PatchWord(std::string* bytes, size_t offset, uint32_t value);

}  // namespace vorn::testing
