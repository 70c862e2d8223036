// Colour conversions offered to compiled code. Language colours are &h00RRGGBB; the
// conversions clamp out-of-range input instead of failing.
#pragma once

#include <cstdint>

#include "graphics/color_types.h"
#include "vorn/image_abi.h"

namespace vorn {

// Each fraction times 255, truncated and clamped to 0..255 (NaN counts as 0).
LanguageColor RGBFromFractions(double red, double green, double blue);
// Components in 0..1; hue in 0..1 (0 for greys), saturation and value in 0..1.
void RGBToHSV(double red, double green, double blue, double* hue, double* saturation,
              double* value);
// Its argument unchanged: integers and colours share their bits.
inline LanguageColor ColorFromInteger(uint32_t value) { return value; }

}  // namespace vorn

extern "C" {
int32_t readColorRed(uint32_t color);
int32_t readColorGreen(uint32_t color);
int32_t readColorBlue(uint32_t color);
double readColorCyan(uint32_t color);
double readColorMagenta(uint32_t color);
double readColorYellow(uint32_t color);
double readColorHue(uint32_t color);
double readColorSaturation(uint32_t color);
double readColorValue(uint32_t color);
uint32_t RuntimeRGB(int32_t red, int32_t green, int32_t blue);
uint32_t RuntimeHSV(double hue, double saturation, double value);
uint32_t RuntimeCMY(double cyan, double magenta, double yellow);
// Runs the colour picker titled with the prompt; True and the picked colour in *color on OK,
// False and *color unchanged otherwise.
uint8_t selectColor(uint32_t* color, VornStringRecord* prompt);
}
