// Colours as the drawing port keeps them (three unsigned 16-bit components) and as the
// language passes them (a 32-bit &h00RRGGBB value).
#pragma once

#include <cstdint>

namespace vorn {

using LanguageColor = uint32_t;

struct RGB48 {
  uint16_t red = 0;
  uint16_t green = 0;
  uint16_t blue = 0;
};

inline bool operator==(const RGB48& a, const RGB48& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Each 8-bit component times 257, so 0xFF becomes 0xFFFF exactly.
inline RGB48 ColorToRGB48(LanguageColor color) {
  return RGB48{static_cast<uint16_t>(((color >> 16) & 0xFF) * 257),
               static_cast<uint16_t>(((color >> 8) & 0xFF) * 257),
               static_cast<uint16_t>((color & 0xFF) * 257)};
}

// The high byte of each component.
inline LanguageColor RGB48ToColor(const RGB48& c) {
  return (static_cast<LanguageColor>(c.red >> 8) << 16) |
         (static_cast<LanguageColor>(c.green >> 8) << 8) | static_cast<LanguageColor>(c.blue >> 8);
}

constexpr RGB48 kBlack48{0, 0, 0};
constexpr RGB48 kWhite48{65535, 65535, 65535};

}  // namespace vorn
