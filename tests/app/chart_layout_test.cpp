#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

extern "C" {
#include "chart_layout.h"
}

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The mantissa of a nice step: 1, 2, 2.5 or 5.
double Mantissa(double step) {
  double m = step / std::pow(10.0, std::floor(std::log10(step)));
  return m >= 9.999999 ? 1.0 : m;
}

TEST(ChartNiceStep, PicksTheSmallestNiceStepThatCoversTheSpan) {
  EXPECT_DOUBLE_EQ(ChartNiceStep(10, 5), 2);
  EXPECT_DOUBLE_EQ(ChartNiceStep(575, 8), 100);   // aperture 25..600
  EXPECT_DOUBLE_EQ(ChartNiceStep(4.8, 8), 1);     // naked-eye limit 3.0..7.8
  EXPECT_DOUBLE_EQ(ChartNiceStep(2.5, 8), 0.5);   // colour index -0.5..2.0
  EXPECT_DOUBLE_EQ(ChartNiceStep(1, 4), 0.25);
  EXPECT_DOUBLE_EQ(ChartNiceStep(0.95, 8), 0.2);  // extinction 0.05..1.00
  EXPECT_DOUBLE_EQ(ChartNiceStep(100, 10), 10);   // an exact decade is not pushed up
}

TEST(ChartNiceStep, DegenerateInputsGiveAUsableStep) {
  EXPECT_DOUBLE_EQ(ChartNiceStep(0, 5), 1);
  EXPECT_DOUBLE_EQ(ChartNiceStep(-3, 5), 1);
  EXPECT_DOUBLE_EQ(ChartNiceStep(kNaN, 5), 1);
  EXPECT_DOUBLE_EQ(ChartNiceStep(kInf, 5), 1);
  EXPECT_DOUBLE_EQ(ChartNiceStep(10, 0), 10);  // fewer than one interval counts as one
}

TEST(ChartNiceStep, IsNiceCoveringAndTightOverManySpans) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> exponent(-6, 6);
  std::uniform_int_distribution<int> intervals(1, 12);
  for (int i = 0; i < 2000; ++i) {
    double span = std::pow(10.0, exponent(random));
    int n = intervals(random);
    double step = ChartNiceStep(span, n);
    ASSERT_GE(step * n, span * (1 - 1e-9)) << span << " / " << n;
    ASSERT_LT(step, 2.0 * span / n * (1 + 1e-9)) << span << " / " << n;
    double m = Mantissa(step);
    ASSERT_TRUE(std::abs(m - 1) < 1e-6 || std::abs(m - 2) < 1e-6 || std::abs(m - 2.5) < 1e-6 ||
                std::abs(m - 5) < 1e-6)
        << step;
  }
}

TEST(ChartAxis, ValueAxisEndsOnTicksAroundTheData) {
  ChartAxis axis = ChartMakeAxis(6.13, 14.87, 6, 1);
  EXPECT_DOUBLE_EQ(axis.step, 2);
  EXPECT_DOUBLE_EQ(axis.low, 6);
  EXPECT_DOUBLE_EQ(axis.high, 16);
  ASSERT_EQ(ChartTickCount(&axis), 6);
  EXPECT_DOUBLE_EQ(ChartTickValue(&axis, 0), 6);
  EXPECT_DOUBLE_EQ(ChartTickValue(&axis, 5), 16);
  // Data already on ticks stays put.
  axis = ChartMakeAxis(-5, 15, 4, 1);
  EXPECT_DOUBLE_EQ(axis.low, -5);
  EXPECT_DOUBLE_EQ(axis.high, 15);
}

TEST(ChartAxis, ParameterAxisKeepsTheSliderRange) {
  ChartAxis axis = ChartMakeAxis(3.0, 7.8, 8, 0);
  EXPECT_DOUBLE_EQ(axis.low, 3.0);
  EXPECT_DOUBLE_EQ(axis.high, 7.8);
  ASSERT_EQ(ChartTickCount(&axis), 5);  // 3 4 5 6 7
  EXPECT_DOUBLE_EQ(ChartTickValue(&axis, 4), 7);
  axis = ChartMakeAxis(25, 600, 8, 0);
  ASSERT_EQ(ChartTickCount(&axis), 6);  // 100 .. 600
  EXPECT_DOUBLE_EQ(ChartTickValue(&axis, 0), 100);
}

TEST(ChartAxis, OddInputsStillGiveAValidAxis) {
  ChartAxis flat = ChartMakeAxis(13.8, 13.8, 6, 1);
  EXPECT_LT(flat.low, 13.8);
  EXPECT_GT(flat.high, 13.8);
  ChartAxis zero = ChartMakeAxis(0, 0, 6, 1);
  EXPECT_LT(zero.low, 0);
  EXPECT_GT(zero.high, 0);
  ChartAxis reversed = ChartMakeAxis(10, 2, 4, 1);
  EXPECT_LE(reversed.low, 2);
  EXPECT_GE(reversed.high, 10);
  for (ChartAxis axis : {ChartMakeAxis(kNaN, 3, 5, 1), ChartMakeAxis(1, kInf, 5, 0)}) {
    EXPECT_TRUE(std::isfinite(axis.low) && std::isfinite(axis.high));
    EXPECT_LT(axis.low, axis.high);
    EXPECT_GT(ChartTickCount(&axis), 0);
  }
}

TEST(ChartAxis, TickValuesAreExactDecimalsWithoutNegativeZero) {
  ChartAxis axis = ChartMakeAxis(-0.5, 2.0, 8, 0);  // colour index
  ASSERT_DOUBLE_EQ(axis.step, 0.5);
  ASSERT_EQ(ChartTickCount(&axis), 6);
  EXPECT_DOUBLE_EQ(ChartTickValue(&axis, 0), -0.5);
  EXPECT_EQ(ChartTickValue(&axis, 1), 0.0);
  EXPECT_FALSE(std::signbit(ChartTickValue(&axis, 1)));
  axis = ChartMakeAxis(0.05, 1.0, 8, 0);  // extinction: ticks 0.2, 0.4 ... 1.0
  ASSERT_EQ(ChartTickCount(&axis), 5);
  for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(ChartTickValue(&axis, i), (i + 1) * 2 / 10.0);
}

TEST(ChartAxis, TickCountIsBounded) {
  ChartAxis axis{0, 1e9, 1};
  EXPECT_EQ(ChartTickCount(&axis), kChartMaxTicks);
  ChartAxis empty{5, 1, 1};
  EXPECT_EQ(ChartTickCount(&empty), 0);
  ChartAxis noStep{0, 1, 0};
  EXPECT_EQ(ChartTickCount(&noStep), 0);
}

TEST(ChartStepDecimals, CountsTheDecimalsOfTheStep) {
  EXPECT_EQ(ChartStepDecimals(100), 0);
  EXPECT_EQ(ChartStepDecimals(1), 0);
  EXPECT_EQ(ChartStepDecimals(2.5), 1);
  EXPECT_EQ(ChartStepDecimals(0.1), 1);
  EXPECT_EQ(ChartStepDecimals(0.25), 2);
  EXPECT_EQ(ChartStepDecimals(0.05), 2);
  EXPECT_EQ(ChartStepDecimals(1e-9), 6);
  EXPECT_EQ(ChartStepDecimals(kNaN), 0);
}

TEST(ChartValueRange, SkipsValuesThatAreNotFinite) {
  const double values[] = {kNaN, 3, -kInf, 7, 5, kInf};
  double low = 0, high = 0;
  ASSERT_TRUE(ChartValueRange(values, 6, &low, &high));
  EXPECT_EQ(low, 3);
  EXPECT_EQ(high, 7);
  const double none[] = {kNaN, kInf};
  EXPECT_FALSE(ChartValueRange(none, 2, &low, &high));
  EXPECT_FALSE(ChartValueRange(values, 0, &low, &high));
}

TEST(ChartValueRange, LimitSpanKeepsTheUpperPart) {
  double low = -13.7, high = 14.2;
  ChartLimitSpan(&low, &high, 12);
  EXPECT_DOUBLE_EQ(low, 2.2);
  EXPECT_DOUBLE_EQ(high, 14.2);
  low = 8;
  ChartLimitSpan(&low, &high, 12);
  EXPECT_DOUBLE_EQ(low, 8);
}

TEST(ChartMapping, EndsOfTheAxisMeetTheFrameEdges) {
  ChartRect frame{60, 30, 401, 201};
  ChartAxis x{25, 600, 100};
  ChartAxis y{6, 16, 2};
  EXPECT_DOUBLE_EQ(ChartMapX(&frame, &x, 25), 60);
  EXPECT_DOUBLE_EQ(ChartMapX(&frame, &x, 600), 460);
  EXPECT_DOUBLE_EQ(ChartMapX(&frame, &x, 312.5), 260);
  EXPECT_DOUBLE_EQ(ChartMapY(&frame, &y, 16), 30);   // high values at the top
  EXPECT_DOUBLE_EQ(ChartMapY(&frame, &y, 6), 230);
  EXPECT_DOUBLE_EQ(ChartMapY(&frame, &y, 11), 130);
  EXPECT_EQ(ChartPixel(129.5), 130);
  EXPECT_EQ(ChartPixel(-0.4), 0);
  EXPECT_EQ(ChartPixel(1e300), 1000000);
  EXPECT_EQ(ChartPixel(-1e300), -1000000);
  EXPECT_EQ(ChartPixel(kNaN), 0);
}

class ChartClip : public ::testing::Test {
 protected:
  ChartRect mFrame{10, 20, 101, 51};  // x 10..110, y 20..70
  bool Inside(double x, double y) const {
    return x >= 10 && x <= 110 && y >= 20 && y <= 70;
  }
};

TEST_F(ChartClip, SegmentInsideIsUnchanged) {
  double x1 = 15, y1 = 25, x2 = 100, y2 = 60;
  ASSERT_TRUE(ChartClipSegment(&mFrame, &x1, &y1, &x2, &y2));
  EXPECT_EQ(x1, 15);
  EXPECT_EQ(y1, 25);
  EXPECT_EQ(x2, 100);
  EXPECT_EQ(y2, 60);
}

TEST_F(ChartClip, SteepFallIsCutAtTheBottomEdgeOnItsLine) {
  // A curve that collapses: from inside straight down a million pixels.
  double x1 = 50, y1 = 40, x2 = 52, y2 = 1e6;
  ASSERT_TRUE(ChartClipSegment(&mFrame, &x1, &y1, &x2, &y2));
  EXPECT_EQ(x1, 50);
  EXPECT_EQ(y1, 40);
  EXPECT_DOUBLE_EQ(y2, 70);
  EXPECT_NEAR(x2, 50 + 2 * 30 / (1e6 - 40), 1e-12);
}

TEST_F(ChartClip, SegmentCrossingTheWholeFrameIsCutAtBothEnds) {
  double x1 = 0, y1 = 45, x2 = 200, y2 = 45;
  ASSERT_TRUE(ChartClipSegment(&mFrame, &x1, &y1, &x2, &y2));
  EXPECT_DOUBLE_EQ(x1, 10);
  EXPECT_DOUBLE_EQ(x2, 110);
  EXPECT_DOUBLE_EQ(y1, 45);
}

TEST_F(ChartClip, SegmentsOutsideOrUnusableAreRejected) {
  double x1 = 0, y1 = 0, x2 = 200, y2 = 10;  // above the frame
  EXPECT_FALSE(ChartClipSegment(&mFrame, &x1, &y1, &x2, &y2));
  x1 = 0, y1 = 60, x2 = 30, y2 = 100;  // passes the bottom-left corner outside
  EXPECT_FALSE(ChartClipSegment(&mFrame, &x1, &y1, &x2, &y2));
  x1 = kNaN, y1 = 30, x2 = 50, y2 = 30;
  EXPECT_FALSE(ChartClipSegment(&mFrame, &x1, &y1, &x2, &y2));
  x1 = 20, y1 = 30, x2 = 50, y2 = kInf;
  EXPECT_FALSE(ChartClipSegment(&mFrame, &x1, &y1, &x2, &y2));
  ChartRect empty{10, 10, 0, 5};
  x1 = 10, y1 = 10, x2 = 10, y2 = 12;
  EXPECT_FALSE(ChartClipSegment(&empty, &x1, &y1, &x2, &y2));
}

TEST_F(ChartClip, ClippedEndsLieInsideAndOnTheOriginalLine) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> coordinate(-300, 400);
  int kept = 0;
  for (int i = 0; i < 5000; ++i) {
    const double ax = coordinate(random), ay = coordinate(random);
    const double bx = coordinate(random), by = coordinate(random);
    double x1 = ax, y1 = ay, x2 = bx, y2 = by;
    if (!ChartClipSegment(&mFrame, &x1, &y1, &x2, &y2)) {
      // Nothing of a rejected segment may lie inside: test its midpoint and quarters.
      for (double t : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        double x = ax + t * (bx - ax), y = ay + t * (by - ay);
        ASSERT_FALSE(x > 10.001 && x < 109.999 && y > 20.001 && y < 69.999) << i;
      }
      continue;
    }
    ++kept;
    ASSERT_TRUE(Inside(x1, y1) && Inside(x2, y2)) << i;
    // Cross product: the clipped points stay on the line through the original ends.
    const double length = std::hypot(bx - ax, by - ay);
    ASSERT_NEAR(((bx - ax) * (y1 - ay) - (by - ay) * (x1 - ax)) / length, 0, 1e-6) << i;
    ASSERT_NEAR(((bx - ax) * (y2 - ay) - (by - ay) * (x2 - ax)) / length, 0, 1e-6) << i;
  }
  EXPECT_GT(kept, 100);
}

}  // namespace
