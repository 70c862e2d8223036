// The Graphics class's entry points drawing into an offscreen pixmap, checked pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/graphics_object.h"
#include "graphics/support/pixmap_target.h"
#include "graphics/support/recording_port.h"
#include "vorn/graphics_api.h"

using vorn::RuntimeObject;
using vorn::string;
using vorn::testing::PixmapTarget;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

class GraphicsOnPixmap : public vorn::testing::GraphicsObjectTest {
 protected:
  void SetUp() override {
    GraphicsObjectTest::SetUp();
    if (!vorn::testing::EnsureGtk()) GTEST_SKIP() << "no display";
    Open(160, 100);
  }
  void TearDown() override {
    RuntimeUnlockObject(mGraphics);
    mGraphics = nullptr;
    GraphicsObjectTest::TearDown();
  }

  void Open(int32_t width, int32_t height) {
    RuntimeUnlockObject(mGraphics);
    mTarget = std::make_unique<PixmapTarget>(width, height);
    mGraphics = vorn::NewGraphicsObjectForTarget(mTarget.get());
    ASSERT_NE(mGraphics, nullptr);
  }

  uint32_t Pixel(int x, int y) { return mTarget->PixelAt(x, y); }
  bool Ink(int x, int y) { return Pixel(x, y) != kWhite; }
  // The ink's rows [top, bottom] inside columns [left, right); -1s when there is none.
  std::pair<int, int> InkRows(int left, int right) {
    mTarget->Snapshot();
    int top = -1, bottom = -1;
    for (int y = 0; y < mTarget->Height(); ++y)
      for (int x = left; x < right; ++x)
        if (Ink(x, y)) {
          if (top < 0) top = y;
          bottom = y;
          break;
        }
    return {top, bottom};
  }
  // Runs of columns holding ink between rows [top, bottom], left to right, as [first, last].
  std::vector<std::pair<int, int>> InkColumnRuns(int top, int bottom) {
    mTarget->Snapshot();
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < mTarget->Width(); ++x) {
      bool ink = false;
      for (int y = top; y <= bottom && !ink; ++y) ink = Ink(x, y);
      if (!ink) continue;
      if (!runs.empty() && runs.back().second == x - 1) {
        runs.back().second = x;
      } else {
        runs.push_back({x, x});
      }
    }
    return runs;
  }

  std::unique_ptr<PixmapTarget> mTarget;
  RuntimeObject* mGraphics = nullptr;
};

TEST_F(GraphicsOnPixmap, RectanglesCoverExactlyTheirWidthAndHeight) {
  RuntimeGraphicsDrawRect(mGraphics, 0, 0, 10, 10);
  RuntimeGraphicsFillRect(mGraphics, 20, 0, 10, 10);
  mTarget->Snapshot();
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(Pixel(i, 0), kBlack) << i;
    EXPECT_EQ(Pixel(i, 9), kBlack) << i;
    EXPECT_EQ(Pixel(0, i), kBlack) << i;
    EXPECT_EQ(Pixel(9, i), kBlack) << i;
  }
  EXPECT_EQ(Pixel(10, 0), kWhite);
  EXPECT_EQ(Pixel(0, 10), kWhite);
  EXPECT_EQ(Pixel(5, 5), kWhite);
  int filled = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 18; x < 32; ++x) filled += Ink(x, y);
  EXPECT_EQ(filled, 100);

  // A line runs from its first point to its last, both included.
  RuntimeGraphicsDrawLine(mGraphics, 40, 5, 49, 5);
  mTarget->Snapshot();
  EXPECT_EQ(Pixel(39, 5), kWhite);
  EXPECT_EQ(Pixel(40, 5), kBlack);
  EXPECT_EQ(Pixel(49, 5), kBlack);
  EXPECT_EQ(Pixel(50, 5), kWhite);
}

TEST_F(GraphicsOnPixmap, ForeColorReadsBackAndPaintsThatColour) {
  graphicsForeColorSetter(mGraphics, 0, 0x123456);
  EXPECT_EQ(graphicsForeColorGetter(mGraphics, 0), 0x123456u);
  RuntimeGraphicsFillRect(mGraphics, 5, 5, 4, 4);
  EXPECT_EQ(Pixel(6, 6), 0x123456u);
  EXPECT_EQ(graphicsPixelGetter(mGraphics, 6, 6), 0x123456u);
  EXPECT_EQ(graphicsPixelGetter(mGraphics, 20, 20), kWhite);

  graphicsPixelSetter(mGraphics, 30, 31, 0xC08040);
  mTarget->Snapshot();
  EXPECT_EQ(Pixel(30, 31), 0xC08040u);
  EXPECT_EQ(Pixel(31, 31), kWhite);
  EXPECT_EQ(graphicsPixelGetter(mGraphics, 30, 31), 0xC08040u);
}

TEST_F(GraphicsOnPixmap, TextStandsOnTheBaselineInEveryForm) {
  graphicsTextSizeSetter(mGraphics, 0, 24);
  const int32_t ascent = RuntimeGraphicsTextAscent(mGraphics);
  ASSERT_GT(ascent, 5);
  EXPECT_GT(RuntimeGraphicsTextHeight(mGraphics), ascent);
  const string text("HH");
  const int32_t baseline = 40;
  RuntimeGraphicsDrawString(mGraphics, text.Rep(), 5, baseline, 0);
  const auto [top, bottom] = InkRows(0, 60);
  EXPECT_GE(bottom, baseline - 1);
  EXPECT_LE(bottom, baseline + 1);
  EXPECT_GE(top, baseline - ascent - 1);
  EXPECT_LT(top, baseline - ascent / 2);

  // Wrapped to a width and condensed into one, the first line sits on the same baseline.
  RuntimeGraphicsDrawStringCondensed(mGraphics, text.Rep(), 60, baseline, 90, 0);
  RuntimeGraphicsDrawStringCondensed(mGraphics, text.Rep(), 110, baseline, 45, 1);
  EXPECT_EQ(InkRows(60, 105), std::make_pair(top, bottom));
  EXPECT_EQ(InkRows(110, 160), std::make_pair(top, bottom));
}

TEST_F(GraphicsOnPixmap, WrappedTextTakesTheLinesStringHeightPromises) {
  graphicsTextSizeSetter(mGraphics, 0, 12);
  const string text("one two three four five six");
  const int32_t width = 60;
  const int32_t height = RuntimeGraphicsStringHeight(mGraphics, text.Rep(), width);
  const int32_t line = RuntimeGraphicsTextHeight(mGraphics);
  ASSERT_GE(height, 2 * line);
  const int32_t baseline = 20;
  RuntimeGraphicsDrawString(mGraphics, text.Rep(), 10, baseline, width);
  const auto [top, bottom] = InkRows(0, 160);
  const int32_t ascent = RuntimeGraphicsTextAscent(mGraphics);
  EXPECT_GE(top, baseline - ascent);
  EXPECT_LT(bottom, baseline - ascent + height);
  EXPECT_GT(bottom, baseline + line);
  // Nothing reaches past the wrap width (a pixel of overhang allowed).
  const auto runs = InkColumnRuns(0, mTarget->Height() - 1);
  ASSERT_FALSE(runs.empty());
  EXPECT_LE(runs.back().second, 10 + width);
}

TEST_F(GraphicsOnPixmap, ACondensedStringTooWideForItsWidthEndsInDots) {
  Open(300, 60);
  graphicsTextSizeSetter(mGraphics, 0, 14);
  const string text("Limiting magnitude of the telescope");
  const int32_t full = RuntimeGraphicsStringWidth(mGraphics, text.Rep());
  const int32_t width = 120;
  ASSERT_GT(full, width + 40);
  const int32_t baseline = 30;
  RuntimeGraphicsDrawStringCondensed(mGraphics, text.Rep(), 10, baseline, width, 1);

  const int32_t ascent = RuntimeGraphicsTextAscent(mGraphics);
  const auto runs = InkColumnRuns(baseline - ascent, baseline + 8);
  ASSERT_GE(runs.size(), 4u);
  EXPECT_GE(runs.front().first, 10);
  EXPECT_LT(runs.back().second, 10 + width);
  // The last three runs are dots: narrow and low, sitting on the baseline.
  for (size_t i = runs.size() - 3; i < runs.size(); ++i) {
    const auto [first, last] = runs[i];
    EXPECT_LE(last - first, 3) << "run " << i;
    const auto [top, bottom] = InkRows(first, last + 1);
    EXPECT_GE(top, baseline - ascent / 3) << "run " << i;
    EXPECT_LE(bottom, baseline + 1) << "run " << i;
  }
  // Before them stands a letter, reaching well above the dots.
  const auto letter = runs[runs.size() - 4];
  EXPECT_LT(InkRows(letter.first, letter.second + 1).first, baseline - ascent / 3);
}

TEST_F(GraphicsOnPixmap, AChartDrawnThroughTheEntryPoints) {
  Open(320, 200);
  RuntimeObject* g = mGraphics;
  const string title("Limiting magnitude by aperture");
  const string axis("Aperture (mm)");
  graphicsTextSizeSetter(g, 0, 13);
  graphicsBoldSetter(g, 0, 1);
  RuntimeGraphicsDrawStringCondensed(g, title.Rep(), 10, 20, 300, 1);
  graphicsBoldSetter(g, 0, 0);
  graphicsTextSizeSetter(g, 0, 10);

  // Axes and a grid.
  const int32_t left = 40, top = 30, right = 310, bottom = 170;
  graphicsForeColorSetter(g, 0, 0xDDDDDD);
  for (int32_t y = bottom - 28; y > top; y -= 28) RuntimeGraphicsDrawLine(g, left + 1, y, right, y);
  graphicsForeColorSetter(g, 0, kBlack);
  RuntimeGraphicsDrawLine(g, left, top, left, bottom);
  RuntimeGraphicsDrawLine(g, left, bottom, right, bottom);
  for (int32_t mag = 10, y = bottom - 28; y > top; mag += 2, y -= 28) {
    const string label(std::to_string(mag).c_str());
    const int32_t w = RuntimeGraphicsStringWidth(g, label.Rep());
    RuntimeGraphicsDrawString(g, label.Rep(), left - 4 - w, y + 4, 0);
  }

  // Bars: filled in colour, framed in black, labelled below with condensed text.
  const int32_t heights[] = {40, 62, 85, 101, 118};
  const char* labels[] = {"60", "80", "102", "127", "150 refractor"};
  const uint32_t colors[] = {0x4477AA, 0x66CCEE, 0x228833, 0xCCBB44, 0xEE6677};
  for (int i = 0; i < 5; ++i) {
    const int32_t x = left + 12 + i * 52;
    graphicsForeColorSetter(g, 0, colors[i]);
    RuntimeGraphicsFillRect(g, x, bottom - heights[i], 36, heights[i]);
    graphicsForeColorSetter(g, 0, kBlack);
    RuntimeGraphicsDrawRect(g, x, bottom - heights[i], 36, heights[i]);
    const string label(labels[i]);
    RuntimeGraphicsDrawStringCondensed(g, label.Rep(), x, bottom + 14, 40, 1);
  }
  graphicsForeColorSetter(g, 0, 0x555555);
  RuntimeGraphicsDrawStringCondensed(g, axis.Rep(), 130, bottom + 28, 120, 1);

  // A trend line through the bar tops and a marker oval.
  graphicsForeColorSetter(g, 0, 0xAA3377);
  graphicsPenWidthSetter(g, 0, 2);
  graphicsPenHeightSetter(g, 0, 2);
  for (int i = 0; i < 4; ++i)
    RuntimeGraphicsDrawLine(g, left + 30 + i * 52, bottom - heights[i], left + 30 + (i + 1) * 52,
                            bottom - heights[i + 1]);
  RuntimeGraphicsFillOval(g, left + 30 + 4 * 52 - 4, bottom - heights[4] - 4, 9, 9);

  mTarget->Snapshot();
  for (int i = 0; i < 5; ++i) {
    const int32_t x = left + 12 + i * 52;
    EXPECT_EQ(Pixel(x + 8, bottom - 3), colors[i]) << i;
    EXPECT_EQ(Pixel(x, bottom - 3), kBlack) << i;
    EXPECT_EQ(Pixel(x + 35, bottom - heights[i]), kBlack) << i;
  }
  EXPECT_EQ(Pixel(left, top + 5), kBlack);
  EXPECT_EQ(Pixel(left + 5, bottom - 28), 0xDDDDDDu);
  const std::string path = VORN_BINARY_DIR "/graphics_class_chart.png";
  EXPECT_TRUE(mTarget->SavePNG(path)) << path;
}

}  // namespace
