#include "graphics/colors.h"

#include <algorithm>
#include <cmath>

namespace vorn {

namespace {

uint32_t FractionToByte(double x) {
  const double scaled = std::trunc(x * 255.0);
  if (!(scaled > 0)) return 0;  // also NaN
  if (scaled >= 255) return 255;
  return static_cast<uint32_t>(scaled);
}

uint32_t ClampByte(int32_t x) { return static_cast<uint32_t>(std::clamp(x, 0, 255)); }

void ColorToFractions(uint32_t color, double* r, double* g, double* b) {
  *r = ((color >> 16) & 0xFF) / 255.0;
  *g = ((color >> 8) & 0xFF) / 255.0;
  *b = (color & 0xFF) / 255.0;
}

double HSVComponent(uint32_t color, int which) {
  double r, g, b, hsv[3];
  ColorToFractions(color, &r, &g, &b);
  RGBToHSV(r, g, b, &hsv[0], &hsv[1], &hsv[2]);
  return hsv[which];
}

}  // namespace

LanguageColor RGBFromFractions(double red, double green, double blue) {
  return (FractionToByte(red) << 16) | (FractionToByte(green) << 8) | FractionToByte(blue);
}

void RGBToHSV(double red, double green, double blue, double* hue, double* saturation,
              double* value) {
  const double max = std::max({red, green, blue});
  const double min = std::min({red, green, blue});
  const double d = max - min;
  const double s = max == 0 ? 0 : d / max;
  double h = 0;  // the hue of a grey
  if (s != 0) {
    if (red == max) {
      h = (green - blue) / d;
    } else if (green == max) {
      h = 2 + (blue - red) / d;
    } else {
      h = 4 + (red - green) / d;
    }
    h /= 6;
    if (h < 0) h += 1;
  }
  if (hue) *hue = h;
  if (saturation) *saturation = s;
  if (value) *value = max;
}

}  // namespace vorn

using vorn::RGBFromFractions;

extern "C" {

int32_t readColorRed(uint32_t color) { return static_cast<int32_t>((color >> 16) & 0xFF); }
int32_t readColorGreen(uint32_t color) { return static_cast<int32_t>((color >> 8) & 0xFF); }
int32_t readColorBlue(uint32_t color) { return static_cast<int32_t>(color & 0xFF); }

double readColorCyan(uint32_t color) { return (255 - readColorRed(color)) / 255.0; }
double readColorMagenta(uint32_t color) { return (255 - readColorGreen(color)) / 255.0; }
double readColorYellow(uint32_t color) { return (255 - readColorBlue(color)) / 255.0; }

double readColorHue(uint32_t color) { return vorn::HSVComponent(color, 0); }
double readColorSaturation(uint32_t color) { return vorn::HSVComponent(color, 1); }
double readColorValue(uint32_t color) { return vorn::HSVComponent(color, 2); }

uint32_t RuntimeRGB(int32_t red, int32_t green, int32_t blue) {
  return (vorn::ClampByte(red) << 16) | (vorn::ClampByte(green) << 8) | vorn::ClampByte(blue);
}

uint32_t RuntimeHSV(double hue, double saturation, double value) {
  if (saturation == 0) return vorn::FractionToByte(value) * 0x010101u;
  const double h = (hue >= 0 && hue < 1) ? hue : 0;
  const int i = std::min(static_cast<int>(std::trunc(6 * h)), 5);
  const double f = 6 * h - i;
  const double p = (1 - saturation) * value;
  const double q = (1 - saturation * f) * value;
  const double t = (1 - saturation * (1 - f)) * value;
  switch (i) {
    case 0: return RGBFromFractions(value, t, p);
    case 1: return RGBFromFractions(q, value, p);
    case 2: return RGBFromFractions(p, value, t);
    case 3: return RGBFromFractions(p, q, value);
    case 4: return RGBFromFractions(t, p, value);
    default: return RGBFromFractions(value, p, q);
  }
}

uint32_t RuntimeCMY(double cyan, double magenta, double yellow) {
  return RGBFromFractions(1 - cyan, 1 - magenta, 1 - yellow);
}

}  // extern "C"
