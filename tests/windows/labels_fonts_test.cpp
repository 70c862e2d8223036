#include <gtest/gtest.h>

#include "windows/gtk_helper.h"

namespace vorn {
namespace {

std::string Mnemonic(const char* caption) {
  return std::string(ConvertMnemonicCaption(string(caption)).View());
}

TEST(MnemonicCaptionTest, AmpersandsBecomeUnderscores) {
  EXPECT_EQ(Mnemonic("&Open"), "_Open");
  EXPECT_EQ(Mnemonic("Save &As..."), "Save _As...");
  EXPECT_EQ(Mnemonic("Salt && Pepper"), "Salt & Pepper");
  EXPECT_EQ(Mnemonic("snake_case"), "snake__case");
  EXPECT_EQ(Mnemonic("Trailing&"), "Trailing_");
  EXPECT_EQ(Mnemonic("&&&x"), "&_x");
  EXPECT_EQ(Mnemonic(""), "");
}

TEST(MnemonicCaptionTest, ResultIsUTF8) {
  const char latin1[] = {'C', static_cast<char>(0xE9), '&', 'l', 0};
  string caption(latin1, 4, kEncodingMacRoman);
  string converted = ConvertMnemonicCaption(caption);
  EXPECT_EQ(converted.Encoding(), kEncodingUTF8);
  EXPECT_EQ(converted.Length(), 5);  // the accented letter takes two bytes
  EXPECT_EQ(converted.Byte(3), '_');
}

TEST(FontSettingTest, FamilyAndSizeSplitAtTheLastBlank) {
  FontSetting one = ParseFontSetting("Cantarell 12");
  EXPECT_EQ(one.family, "Cantarell");
  EXPECT_EQ(one.size, 12);
  FontSetting multi = ParseFontSetting("DejaVu Sans Mono 9");
  EXPECT_EQ(multi.family, "DejaVu Sans Mono");
  EXPECT_EQ(multi.size, 9);
  FontSetting fraction = ParseFontSetting("Sans 10.5");
  EXPECT_EQ(fraction.family, "Sans");
  EXPECT_EQ(fraction.size, 11);
}

TEST(FontSettingTest, MissingPartsGetSansAndTen) {
  FontSetting noSize = ParseFontSetting("Liberation Serif");
  EXPECT_EQ(noSize.family, "Liberation Serif");
  EXPECT_EQ(noSize.size, 10);
  FontSetting empty = ParseFontSetting("");
  EXPECT_EQ(empty.family, "Sans");
  EXPECT_EQ(empty.size, 10);
  FontSetting sizeOnly = ParseFontSetting("  14 ");
  EXPECT_EQ(sizeOnly.family, "Sans");
  EXPECT_EQ(sizeOnly.size, 14);
  FontSetting zero = ParseFontSetting("Sans 0");
  EXPECT_EQ(zero.size, 10);
  FontSetting junk = ParseFontSetting("Sans 12pt");
  EXPECT_EQ(junk.family, "Sans 12pt");
  EXPECT_EQ(junk.size, 10);
}

TEST(FontSizeTest, PaneSizesAreTwoPointsAboveNative) {
  EXPECT_EQ(ConvertPaneFontSize(12, true), 10);
  EXPECT_EQ(ConvertPaneFontSize(10, false), 12);
  EXPECT_EQ(ConvertPaneFontSize(0, true), GetDefaultFontSize());
  EXPECT_EQ(ConvertPaneFontSize(-3, true), GetDefaultFontSize());
}

TEST(FontNameTest, SystemMapsToTheDefaultFamilyAndBack) {
  EXPECT_EQ(MapSystemFontName(string("system"), true).Compare(GetDefaultFontName()), 0);
  EXPECT_EQ(MapSystemFontName(string(""), true).Compare(GetDefaultFontName()), 0);
  EXPECT_EQ(std::string(MapSystemFontName(string("Serif"), true).View()), "Serif");
  EXPECT_EQ(std::string(MapSystemFontName(string("Serif"), false).View()), "Serif");
}

}  // namespace
}  // namespace vorn
