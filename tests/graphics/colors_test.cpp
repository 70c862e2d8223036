#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/colors.h"
#include "graphics/graphics.h"
#include "graphics/graphics_defaults.h"
#include "graphics/string_find_byte.h"
#include "windows/gtk_helper.h"
#include "graphics/text_style.h"

using vorn::string;

namespace {

TEST(Colors, RGBClampsEachComponent) {
  EXPECT_EQ(RuntimeRGB(300, -5, 128), 0xFF0080u);
  EXPECT_EQ(RuntimeRGB(0, 0, 0), 0u);
  EXPECT_EQ(RuntimeRGB(INT32_MIN, INT32_MAX, 255), 0x00FFFFu);
}

TEST(Colors, ComponentReaders) {
  EXPECT_EQ(readColorRed(0x123456), 0x12);
  EXPECT_EQ(readColorGreen(0x123456), 0x34);
  EXPECT_EQ(readColorBlue(0x123456), 0x56);
  EXPECT_DOUBLE_EQ(readColorCyan(0x00FFFF), 1.0);
  EXPECT_DOUBLE_EQ(readColorMagenta(0x00FFFF), 0.0);
  EXPECT_DOUBLE_EQ(readColorYellow(0x000080), 127.0 / 255.0);
  EXPECT_DOUBLE_EQ(readColorHue(0x00FF00), 1.0 / 3.0);
  EXPECT_DOUBLE_EQ(readColorHue(0xFF00FF), 5.0 / 6.0);  // negative raw hue wraps round
  EXPECT_DOUBLE_EQ(readColorSaturation(0x808080), 0.0);
  EXPECT_DOUBLE_EQ(readColorHue(0x808080), 0.0);
  EXPECT_DOUBLE_EQ(readColorValue(0x000000), 0.0);
  EXPECT_DOUBLE_EQ(readColorSaturation(0x000000), 0.0);
  EXPECT_DOUBLE_EQ(readColorValue(0x4080FF), 1.0);
}

TEST(Colors, HSVEdges) {
  EXPECT_EQ(RuntimeHSV(0.5, 0, 0.5), 0x7F7F7Fu);
  EXPECT_EQ(RuntimeHSV(1.0, 1, 1), 0xFF0000u);  // hue 1 is hue 0
  EXPECT_EQ(RuntimeHSV(-0.25, 1, 1), 0xFF0000u);
  EXPECT_EQ(RuntimeHSV(1.0 / 3.0, 1, 1), 0x00FF00u);
  EXPECT_EQ(RuntimeHSV(std::nextafter(1.0, 0.0), 1, 1), 0xFF0000u);  // the last sector
  EXPECT_EQ(RuntimeHSV(0.2, 1, 2), 0xFFFF00u);  // a value above 1 clamps
  EXPECT_EQ(RuntimeHSV(0.0, 0, 3), 0xFFFFFFu);  // clamped, not wrapped
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(RuntimeHSV(nan, 1, 1), 0xFF0000u);
  EXPECT_EQ(RuntimeHSV(0, 0, nan), 0u);
}

TEST(Colors, CMYIsTheComplement) {
  EXPECT_EQ(RuntimeCMY(0, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(RuntimeCMY(1, 1, 1), 0u);
  EXPECT_EQ(RuntimeCMY(1, 0, 0.5), 0x00FF7Fu);
  EXPECT_EQ(RuntimeCMY(-1, 2, 0), 0xFF00FFu);
}

// Reading a colour as HSV and building it back loses at most one step per component (the
// way back truncates).
TEST(Colors, HSVRoundTripStaysWithinOneStep) {
  for (uint32_t r = 0; r < 256; r += 17) {
    for (uint32_t g = 0; g < 256; g += 51) {
      for (uint32_t b = 0; b < 256; b += 15) {
        const uint32_t color = (r << 16) | (g << 8) | b;
        const uint32_t back =
            RuntimeHSV(readColorHue(color), readColorSaturation(color), readColorValue(color));
        ASSERT_LE(std::abs(readColorRed(back) - static_cast<int>(r)), 1) << std::hex << color;
        ASSERT_LE(std::abs(readColorGreen(back) - static_cast<int>(g)), 1) << std::hex << color;
        ASSERT_LE(std::abs(readColorBlue(back) - static_cast<int>(b)), 1) << std::hex << color;
      }
    }
  }
}

TEST(Colors, LanguageAndPortColoursConvertExactly) {
  const vorn::RGB48 port = vorn::ColorToRGB48(0x123456);
  EXPECT_EQ(port, (vorn::RGB48{0x1212, 0x3434, 0x5656}));
  EXPECT_EQ(vorn::RGB48ToColor(port), 0x123456u);
  EXPECT_EQ(vorn::ColorToRGB48(0xFFFFFF), vorn::kWhite48);
  EXPECT_EQ(vorn::ColorFromInteger(0xABCDEF), 0xABCDEFu);
}

TEST(TextStyles, AssignReportsWhetherAnythingChanged) {
  vorn::TextStyle a, b;
  EXPECT_EQ(a.mSize, 12);
  EXPECT_TRUE(a.mFontName.IsEmpty());
  EXPECT_EQ(a.Assign(b), 0);
  b.mFontName = string("Serif");
  EXPECT_EQ(a.Assign(b), 1);
  EXPECT_EQ(a.Assign(b), 0);
  b.mFontName = string("serif");  // byte for byte, not ignoring case
  EXPECT_EQ(a.Assign(b), 1);
  b.mUnderline = 1;
  EXPECT_EQ(a.Assign(b), 1);
  EXPECT_EQ(a.mUnderline, 1);
}

TEST(TextStyles, StyleBitsAreAddedNeverCleared) {
  vorn::TextStyle style;
  style.mBold = 1;
  style.AddStyleBits(vorn::kStyleItalic);
  EXPECT_EQ(style.GetStyleBits(), vorn::kStyleBold | vorn::kStyleItalic);
  style.AddStyleBits(0);
  EXPECT_EQ(style.GetStyleBits(), vorn::kStyleBold | vorn::kStyleItalic);
  style.AddStyleBits(vorn::kStyleCondense | vorn::kStyleUnderline);
  EXPECT_EQ(style.GetStyleBits(), 7);
}

TEST(GraphicsDefaults, TableStyleAndEllipsis) {
  vorn::graphicsDefaultsFlag = 5;
  vorn::InitGraphicsDefaults();
  vorn::InitEllipsisString();
  EXPECT_EQ(vorn::graphicsDefaultsFlag, 0);
  EXPECT_EQ(vorn::GetDefaultColor(0), (vorn::RGB48{60948, 60948, 60948}));
  EXPECT_EQ(vorn::GetDefaultColor(1), (vorn::RGB48{52428, 52428, 52428}));
  EXPECT_EQ(vorn::GetDefaultColor(4), (vorn::RGB48{39336, 39336, 39336}));
  EXPECT_EQ(vorn::GetDefaultColor(5), vorn::kWhite48);
  EXPECT_EQ(vorn::GetDefaultColor(6), vorn::kBlack48);
  EXPECT_EQ(vorn::GetDefaultColor(-1), vorn::kBlack48);
  EXPECT_EQ(vorn::DefaultTextStyle().mSize, 10);
  EXPECT_EQ(vorn::DefaultTextStyle().mFontName.CompareBinary(string("System")), 0);
  EXPECT_EQ(vorn::EllipsisString().CompareBinary(string("...")), 0);
  EXPECT_EQ(vorn::EllipsisString().Encoding(), vorn::kEncodingASCII);
  EnableCoreGraphicsTextOnOSX();
  EXPECT_EQ(vorn::graphicsDefaultsFlag, 1);
}

TEST(Fonts, LogicalNamesAndSizes) {
  vorn::SetDefaultFont(string("DejaVu Sans"), 11);
  EXPECT_EQ(vorn::MapSystemFontName(string("system"), true).CompareBinary(string("DejaVu Sans")), 0);
  EXPECT_EQ(vorn::MapSystemFontName(string(), true).CompareBinary(string("DejaVu Sans")), 0);
  EXPECT_EQ(vorn::MapSystemFontName(string("Serif"), true).CompareBinary(string("Serif")), 0);
  EXPECT_EQ(vorn::MapSystemFontName(string("DejaVu Sans"), false).CompareBinary(string("System")), 0);
  EXPECT_EQ(vorn::ConvertPaneFontSize(0, true), 11);
  EXPECT_EQ(vorn::ConvertPaneFontSize(12, true), 10);
  EXPECT_EQ(vorn::ConvertPaneFontSize(2, true), 1);
  EXPECT_EQ(vorn::ConvertPaneFontSize(10, false), 12);
  vorn::SetDefaultFont(string(), 0);
  EXPECT_EQ(vorn::GetDefaultFontName().CompareBinary(string("Sans")), 0);
  EXPECT_EQ(vorn::GetDefaultFontSize(), 10);
  EXPECT_EQ(vorn::GetFontFamilyName(0).CompareBinary(string("System")), 0);
  EXPECT_TRUE(vorn::GetFontFamilyName(-1).IsEmpty());
  EXPECT_TRUE(vorn::GetFontFamilyName(vorn::GetFontFamilyCount()).IsEmpty());
}

TEST(StringFindByte, FindsFromTheStartOnward) {
  const string text("a,b,c");
  EXPECT_EQ(vorn::StringFindByte(0, text, ','), 1);
  EXPECT_EQ(vorn::StringFindByte(2, text, ','), 3);
  EXPECT_EQ(vorn::StringFindByte(-4, text, 'a'), 0);
  EXPECT_EQ(vorn::StringFindByte(4, text, ','), -1);
  EXPECT_EQ(vorn::StringFindByte(5, text, 'c'), -1);
  EXPECT_EQ(vorn::StringFindByte(0, string(), 'a'), -1);
  const char withNul[] = {'x', 0, 'y'};
  EXPECT_EQ(vorn::StringFindByte(0, string(withNul, 3, vorn::kEncodingUnknown), 'y'), 2);
}

}  // namespace
