#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "graphics/graphics_defaults.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "app/support/chart_recording_port.h"
#include "support/process_locale.h"

extern "C" {
#include "chart_paint.h"
#include "vorn/object_abi.h"
}

namespace {

using vorn::testing::ChartRecordingPort;

class ChartPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vorn::InitGraphicsDefaults();
    vorn::InitEllipsisString();
    mBaseline = vorn::LiveObjectCount();
    for (int i = 0; i < kParamCount; ++i) mValues[i] = kCalculatorParameters[i].defaultValue;
    mGraphics = vorn::testing::NewRecordingGraphics(&mPort);
    ASSERT_NE(mGraphics, nullptr);
  }
  void TearDown() override {
    RuntimeUnlockObject(mGraphics);
    EXPECT_EQ(vorn::LiveObjectCount(), mBaseline);
  }

  void Paint(int32_t x, int32_t family, int32_t width = 640, int32_t height = 400) {
    ChartCompute(&mChart, mValues, x, family, kChartFamilySize, kChartMaxPoints);
    ChartPaint(mGraphics, &mChart, width, height);
    mFrame = ChartFrameFor(&mChart, width, height);
  }

  // Lines drawn with the two-pixel pen are the curves.
  int CurveSegments() const {
    return static_cast<int>(std::count_if(mPort->mLines.begin(), mPort->mLines.end(),
                                          [](const auto& line) { return line.pen == 2; }));
  }

  void ExpectCurvesInsideTheFrame() const {
    // With the pen's round caps a curve reaches one pixel beyond its end points; those pixels
    // must still lie on or inside the frame.
    for (const auto& line : mPort->mLines) {
      if (line.pen != 2) continue;
      for (int32_t x : {line.x1, line.x2}) {
        ASSERT_GE(x - 1, mFrame.left);
        ASSERT_LE(x + 1, mFrame.left + mFrame.width - 1);
      }
      for (int32_t y : {line.y1, line.y2}) {
        ASSERT_GE(y - 1, mFrame.top);
        ASSERT_LE(y + 1, mFrame.top + mFrame.height - 1);
      }
    }
  }

  bool Drew(const std::string& text) const {
    return std::any_of(mPort->mTexts.begin(), mPort->mTexts.end(),
                       [&](const auto& t) { return t.text == text; });
  }

  bool DrewStartOf(const std::string& text) const {
    return std::any_of(mPort->mTexts.begin(), mPort->mTexts.end(),
                       [&](const auto& t) { return t.text.rfind(text, 0) == 0; });
  }

  double mValues[kParamCount];
  ChartData mChart;
  ChartRect mFrame;
  ChartRecordingPort* mPort = nullptr;
  VornRuntimeObject* mGraphics = nullptr;
  int32_t mBaseline = 0;
};

TEST_F(ChartPaintTest, SingleCurveWithFrameLabelsAndMark) {
  Paint(kParamAperture, kChartNoFamily);
  // One segment per pair of sample points, all in the single curve's colour.
  EXPECT_EQ(CurveSegments(), mChart.pointCount - 1);
  ExpectCurvesInsideTheFrame();
  // The frame is drawn last, over the curves' ends.
  ASSERT_FALSE(mPort->mShapes.empty());
  const auto& frame = mPort->mShapes.back();
  EXPECT_EQ(frame.kind, "DrawRect");
  EXPECT_EQ(frame.rect.left, mFrame.left);
  EXPECT_EQ(frame.rect.top, mFrame.top);
  EXPECT_EQ(frame.rect.right - frame.rect.left, mFrame.width);
  // Axis labels: every aperture tick and every magnitude tick, and both titles.
  for (const char* label : {"100", "200", "300", "400", "500", "600"}) EXPECT_TRUE(Drew(label)) << label;
  for (int i = 0; i < ChartTickCount(&mChart.yAxis); ++i) {
    const double value = ChartTickValue(&mChart.yAxis, i);
    EXPECT_TRUE(Drew(std::to_string(static_cast<int>(value)))) << value;
  }
  EXPECT_TRUE(Drew("Aperture (mm)"));
  EXPECT_TRUE(Drew("Limiting magnitude"));
  // The mark: a dot centred on the current result.
  auto dot = std::find_if(mPort->mShapes.begin(), mPort->mShapes.end(),
                          [](const auto& s) { return s.kind == "FillOval"; });
  ASSERT_NE(dot, mPort->mShapes.end());
  EXPECT_EQ(dot->rect.left + 4, ChartPixel(ChartMapX(&mFrame, &mChart.xAxis, 150)));
  EXPECT_EQ(dot->rect.top + 4, ChartPixel(ChartMapY(&mFrame, &mChart.yAxis, mChart.currentResult)));
}

TEST_F(ChartPaintTest, SteepFamilyStaysInsideTheFrameWithALegend) {
  vorn::test::ProcessLocale c("C");  // the legend's Format shows the locale's decimal point
  // A small telescope under a bright, murky sky: the limit falls below zero near the horizon.
  mValues[kParamExtinction] = 1.0;
  mValues[kParamAperture] = 25;
  mValues[kParamNakedEyeLimit] = 3.0;
  mValues[kParamCleanliness] = 1;
  Paint(kParamZenithDistance, kParamExtinction);
  ASSERT_EQ(mChart.curveCount, 5);
  ExpectCurvesInsideTheFrame();
  EXPECT_GT(CurveSegments(), 0);
  // The collapse near the horizon leaves the frame: some curves are cut at its bottom edge.
  const int32_t lowest = mFrame.top + mFrame.height - 2;
  EXPECT_TRUE(std::any_of(mPort->mLines.begin(), mPort->mLines.end(), [&](const auto& line) {
    return line.pen == 2 && (line.y1 == lowest || line.y2 == lowest);
  }));
  // Legend: the family's title, each value with the slider's decimals and a swatch in the
  // colour of its curve.
  EXPECT_TRUE(DrewStartOf("Extinction"));  // condensed to the legend's width
  for (const char* value : {"0.05", "1.00"}) EXPECT_TRUE(Drew(value)) << value;
  for (int c = 0; c < mChart.curveCount; ++c) {
    const uint32_t color = ChartCurveColor(&mChart, c);
    EXPECT_TRUE(std::any_of(mPort->mShapes.begin(), mPort->mShapes.end(), [&](const auto& s) {
      return s.kind == "FillRect" && s.color == color && s.rect.left > mFrame.left + mFrame.width;
    })) << "swatch " << c;
  }
  // The dot of the current settings, which lies between the curves, is explained there too.
  EXPECT_TRUE(Drew("Current settings"));
  EXPECT_EQ(std::count_if(mPort->mShapes.begin(), mPort->mShapes.end(),
                          [&](const auto& s) { return s.kind == "FillOval" && s.rect.left > mFrame.left + mFrame.width; }),
            1);
}

TEST_F(ChartPaintTest, TelescopeTypeIsLabelledByName) {
  Paint(kParamTelescopeType, kChartNoFamily);
  for (const char* name : {"Refractor", "Reflector", "SCT"}) EXPECT_TRUE(Drew(name)) << name;
  EXPECT_EQ(CurveSegments(), 2);
  Paint(kParamMagnification, kParamTelescopeType);
  EXPECT_TRUE(Drew("Telescope type"));
  EXPECT_EQ(mChart.curveCount, 3);
}

TEST_F(ChartPaintTest, TooSmallACanvasGetsOnlyItsBackground) {
  Paint(kParamAperture, kChartNoFamily, 90, 60);
  EXPECT_TRUE(mPort->mLines.empty());
  ASSERT_EQ(mPort->mShapes.size(), 1u);
  EXPECT_EQ(mPort->mShapes[0].kind, "FillRect");
  EXPECT_EQ(mPort->mShapes[0].rect.right, 90);
}

TEST_F(ChartPaintTest, NilGraphicsDrawsNothingAndRaisesNothing) {
  ChartCompute(&mChart, mValues, kParamAperture, kChartNoFamily, 5, 20);
  ChartPaint(nullptr, &mChart, 640, 400);
  EXPECT_EQ(vorn::PendingException(), nullptr);
}

}  // namespace
