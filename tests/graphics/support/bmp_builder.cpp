#include "graphics/support/bmp_builder.h"

namespace vorn::testing {

namespace {

void Put16(std::string* out, uint32_t value) {
  out->push_back(static_cast<char>(value & 0xFF));
  out->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string* out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

void PatchWord(std::string* bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string BuildBmp(const BmpSpec& spec) {
  std::string header;
  if (spec.coreHeader) {
    Put32(&header, 12);
    Put16(&header, static_cast<uint32_t>(spec.width));
    Put16(&header, static_cast<uint32_t>(spec.height));
    Put16(&header, 1);
    Put16(&header, static_cast<uint32_t>(spec.bitsPerPixel));
  } else {
    Put32(&header, 40);
    Put32(&header, static_cast<uint32_t>(spec.width));
    Put32(&header, static_cast<uint32_t>(spec.height));
    Put16(&header, 1);
    Put16(&header, static_cast<uint32_t>(spec.bitsPerPixel));
    Put32(&header, spec.compression);
    for (int i = 0; i < 5; ++i) Put32(&header, 0);
  }
  std::string palette;
  for (uint32_t mask : spec.masks) Put32(&palette, mask);
  for (const auto& entry : spec.palette) {
    palette.push_back(static_cast<char>(entry[2]));
    palette.push_back(static_cast<char>(entry[1]));
    palette.push_back(static_cast<char>(entry[0]));
    if (!spec.coreHeader) palette.push_back('\0');
  }
  std::string pixels;
  for (const auto& row : spec.rows) {
    pixels.append(row.begin(), row.end());
    if (spec.bitsPerPixel != 32) pixels.append((4 - row.size() % 4) % 4, '\0');
  }
  const uint32_t offset = static_cast<uint32_t>(14 + header.size() + palette.size());
  std::string file = "BM";
  Put32(&file, static_cast<uint32_t>(offset + pixels.size()));
  Put32(&file, 0);
  Put32(&file, offset);
  return file + header + palette + pixels;
}

}  // namespace vorn::testing
