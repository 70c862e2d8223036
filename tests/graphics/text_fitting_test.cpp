#include <gtest/gtest.h>

#include <string>

#include "graphics/graphics.h"
#include "graphics/support/fake_port.h"
#include "support/process_locale.h"

using vorn::FitStringLength;
using vorn::string;
using vorn::testing::FakePort;
using vorn::testing::FakeTarget;

namespace {

string UTF8(const char* text) { return string(text, vorn::kEncodingUTF8); }

class TextFitting : public ::testing::Test {
 protected:
  FakeTarget mTarget;
  FakePort mPort{&mTarget};
};

TEST_F(TextFitting, WholeTextWhenItFitsNothingWhenNothingDoes) {
  EXPECT_EQ(FitStringLength(&mPort, string("abcd"), 41, false), 4);
  EXPECT_EQ(FitStringLength(&mPort, string(), 100, false), 0);
  EXPECT_EQ(FitStringLength(&mPort, string("abcd"), 0, false), 0);
  EXPECT_EQ(FitStringLength(&mPort, string("abcd"), -5, false), 0);
  EXPECT_EQ(FitStringLength(nullptr, string("abcd"), 10, false), 0);
  // Narrower than the width, strictly: 40 pixels do not fit into 40.
  EXPECT_EQ(FitStringLength(&mPort, string("abcd"), 40, false), 3);
  EXPECT_EQ(FitStringLength(&mPort, string("abcd"), 5, false), 0);
}

TEST_F(TextFitting, LongestFittingPrefixForEveryWidth) {
  const string text("the quick brown fox jumps over the lazy dog, twice over");
  mPort.mWidths = {{'i', 3}, {'W', 15}, {'m', 14}, {' ', 4}};
  for (int32_t width = 1; width < 400; ++width) {
    const int32_t n = FitStringLength(&mPort, text, width, false);
    ASSERT_LT(mPort.StringWidth(text.Left(n)), width) << "width " << width;
    if (n < text.Length()) {
      ASSERT_GE(mPort.StringWidth(text.Left(n + 1)), width) << "width " << width;
    }
  }
}

// The first guess comes from the width of an "a"; a text of much wider letters must still
// come back no wider than the width.
TEST_F(TextFitting, FarOffFirstGuessStillGivesAFittingPrefix) {
  mPort.mWidths = {{'W', 15}, {'i', 3}};
  const string wide("WWWWWWWWWWWWWWWWWWWW");
  const int32_t n = FitStringLength(&mPort, wide, 101, false);
  EXPECT_EQ(n, 6);  // 90 < 101 <= 105
  const string narrow("iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii");
  EXPECT_EQ(FitStringLength(&mPort, narrow, 101, false), 33);  // 99 < 101 <= 102
}

TEST_F(TextFitting, NeverCutsInsideAUTF8Character) {
  // Two-, three- and four-byte characters between ASCII letters.
  const string text = UTF8("a\xC3\xA9" "b\xE2\x82\xAC" "c\xF0\x9F\x98\x80" "d\xC3\xA9\xC3\xA9\xE2\x82\xAC");
  for (int32_t width = 1; width <= 140; ++width) {
    const int32_t n = FitStringLength(&mPort, text, width, false);
    ASSERT_TRUE(n == text.Length() || (text.Byte(n) & 0xC0) != 0x80) << "cut at " << n;
    // Every character is 10 wide here: (width - 1) / 10 whole characters fit.
    const int32_t characters = (width - 1) / 10;
    int32_t counted = 0;
    for (int32_t i = 0; i < n; ++i) counted += (text.Byte(i) & 0xC0) != 0x80;
    ASSERT_EQ(counted, std::min(characters, 10)) << "width " << width;
  }
}

TEST_F(TextFitting, UTF16CutsOnlyBetweenUnits) {
  const char units[] = {0, 'a', 0, 'b', 0, 'c', 0, 'd'};
  const string text(units, 8, vorn::kEncodingUTF16);
  mPort.mCharWidth = 5;  // the fake measures bytes: 10 per unit
  for (int32_t width = 1; width < 45; ++width) {
    ASSERT_EQ(FitStringLength(&mPort, text, width, false) % 2, 0);
  }
}

TEST_F(TextFitting, WordBreakKeepsTheBlankOnTheLine) {
  // "ab c" (40) fits into 41, "ab cd" does not: the cut moves back to the blank, and the
  // blank stays on this line.
  EXPECT_EQ(FitStringLength(&mPort, string("ab cd"), 41, true), 3);
  EXPECT_EQ(FitStringLength(&mPort, string("ab\t  cdef"), 61, true), 5);
  // No blank before the cut: the cut stays where it is.
  EXPECT_EQ(FitStringLength(&mPort, string("abcdef gh"), 41, true), 4);
}

TEST_F(TextFitting, CondensedStringFitsWholeWithoutEllipsis) {
  vorn::DrawCondensedString(&mPort, string("abc"), 5, 20, 31, string("..."), 0);
  ASSERT_EQ(mPort.mDrawn.size(), 1u);
  EXPECT_EQ(mPort.mDrawn[0].text, "abc");
  EXPECT_EQ(mPort.mDrawn[0].h, 5);
  EXPECT_EQ(mPort.mDrawn[0].v, 20);
  EXPECT_EQ(mPort.mDrawn[0].style, 0);
}

TEST_F(TextFitting, CondensedStringTriesCondensingBeforeCutting) {
  mPort.mCondensedWidth = 7;
  mPort.SetTextStyle(vorn::kStyleItalic);
  vorn::DrawCondensedString(&mPort, string("abcd"), 0, 0, 30, string("..."), 0);
  ASSERT_EQ(mPort.mDrawn.size(), 1u);
  EXPECT_EQ(mPort.mDrawn[0].text, "abcd");
  EXPECT_EQ(mPort.mDrawn[0].style, vorn::kStyleItalic | vorn::kStyleCondense);
  EXPECT_EQ(mPort.TextStyleBits(), vorn::kStyleItalic);
}

TEST_F(TextFitting, CondensedStringCutsAndAddsTheEllipsisAfterTheCut) {
  mPort.mWidths = {{'.', 3}};
  // Ellipsis 9 wide; "abcdefgh" needs 80 > 50; 50 - 9 = 41 leaves "abcd" (40).
  vorn::DrawCondensedString(&mPort, string("abcdefgh"), 7, 11, 50, string("..."), 0);
  ASSERT_EQ(mPort.mDrawn.size(), 2u);
  EXPECT_EQ(mPort.mDrawn[0].text, "abcd");
  EXPECT_EQ(mPort.mDrawn[1].text, "...");
  EXPECT_EQ(mPort.mDrawn[1].h, 7 + 40);
  EXPECT_EQ(mPort.mDrawn[1].v, 11);
  EXPECT_EQ(mPort.TextStyleBits(), 0);
}

TEST_F(TextFitting, CondensedStringNarrowerThanTheEllipsisDrawsNothing) {
  vorn::DrawCondensedString(&mPort, string("abcdefgh"), 0, 0, 30, string("..."), 0);
  EXPECT_TRUE(mPort.mDrawn.empty());
  EXPECT_EQ(mPort.TextStyleBits(), 0);

  FakePort detached(nullptr);
  vorn::DrawCondensedString(&detached, string("a"), 0, 0, 100, string("..."), 0);
  EXPECT_TRUE(detached.mDrawn.empty());
}

// The same digits, with ".", in every process locale.
TEST_F(TextFitting, NumberKeepsAsManyDecimalsAsFit) {
  const struct { double value; int32_t digits, width; const char* drawn; } rows[] = {
      {3.25, 4, 100, "3.25"}, {12.3456, 6, 45, "12.3"} /* "12.3456" is 70 wide */, {12.3456, 6, 25, "12"}};
  for (const std::string& locale : vorn::test::RowLocales()) {
    vorn::test::ProcessLocale in(locale);
    ASSERT_TRUE(in.Loaded()) << locale;
    for (const auto& row : rows) {
      mPort.mDrawn.clear();
      vorn::DrawNumberInWidth(&mPort, row.value, row.digits, 1, 2, row.width);
      ASSERT_EQ(mPort.mDrawn.size(), 1u);
      EXPECT_EQ(mPort.mDrawn[0].text, row.drawn) << locale;
    }
  }
}

// When even the integer part is too wide the number is replaced by a marker, never by a
// shortened (and so different) number.
TEST_F(TextFitting, NumberTooWideForItsIntegerPartShowsAMarker) {
  mPort.SetTextStyle(vorn::kStyleBold);
  vorn::DrawNumberInWidth(&mPort, 123456.0, 3, 4, 5, 35);
  ASSERT_EQ(mPort.mDrawn.size(), 1u);
  EXPECT_EQ(mPort.mDrawn[0].text, "#");
  EXPECT_EQ(mPort.mDrawn[0].h, 4);
  EXPECT_EQ(mPort.TextStyleBits(), vorn::kStyleBold);

  mPort.mDrawn.clear();
  vorn::DrawNumberInWidth(&mPort, 123456.0, 3, 4, 5, 5);
  EXPECT_TRUE(mPort.mDrawn.empty());
  EXPECT_EQ(mPort.TextStyleBits(), vorn::kStyleBold);

  mPort.mDrawn.clear();
  vorn::DrawNumberInWidth(&mPort, -7.5, 0, 0, 0, 25);
  ASSERT_EQ(mPort.mDrawn.size(), 1u);
  EXPECT_EQ(mPort.mDrawn[0].text, "-8");
}

}  // namespace
