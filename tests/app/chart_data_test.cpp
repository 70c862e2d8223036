#include <gtest/gtest.h>

#include <cmath>
#include <string>

extern "C" {
#include "calculator_parameters.h"
#include "chart_data.h"
#include "limit_model.h"
}

namespace {

std::string Text(const VornStringRecord* record) { return record ? std::string(record->buffer + 1, record->length) : ""; }

void Defaults(double values[kParamCount]) {
  for (int i = 0; i < kParamCount; ++i) values[i] = kCalculatorParameters[i].defaultValue;
}

TEST(CalculatorParameters, TableMatchesTheWindowsDesign) {
  EXPECT_EQ(Text(kCalculatorParameters[kParamAperture].title), "Aperture (mm)");
  EXPECT_EQ(Text(kCalculatorParameters[kParamExperience].title), "Observer's experience");
  EXPECT_EQ(Text(kCalculatorParameters[kParamTelescopeType].names), "Refractor|Reflector|SCT");
  for (int i = 0; i < kParamCount; ++i) {
    const CalculatorParameter& p = kCalculatorParameters[i];
    SCOPED_TRACE(Text(p.title));
    // Every default is a slider position, and the range is a whole number of steps.
    const int32_t count = ParameterPositionCount(&p);
    EXPECT_NEAR(p.minimum + count * p.step, p.maximum, 1e-9);
    EXPECT_DOUBLE_EQ(ParameterValueAt(&p, ParameterPositionOf(&p, p.defaultValue)), p.defaultValue);
    // Records are complete literals: the length byte and the NUL are where they belong.
    EXPECT_EQ(static_cast<unsigned char>(p.title->buffer[0]), p.title->length);
    EXPECT_EQ(p.title->buffer[p.title->length + 1], '\0');
    EXPECT_EQ(p.title->bufferSize, p.title->length + 2);
    EXPECT_FALSE(Text(p.controlName).empty());
  }
}

TEST(CalculatorParameters, PositionsAndValuesRoundTripAndClamp) {
  const CalculatorParameter& colour = kCalculatorParameters[kParamColourIndex];
  EXPECT_EQ(ParameterPositionCount(&colour), 50);
  EXPECT_EQ(ParameterValueAt(&colour, 24), 0.70);  // exactly, as the caption shows it
  EXPECT_EQ(ParameterValueAt(&colour, 10), 0.0);
  EXPECT_EQ(ParameterValueAt(&colour, -5), -0.5);
  EXPECT_EQ(ParameterValueAt(&colour, 99), 2.0);
  EXPECT_EQ(ParameterPositionOf(&colour, 0.7000001), 24);
  EXPECT_EQ(ParameterPositionOf(&colour, -9), 0);
  EXPECT_EQ(ParameterPositionOf(&colour, 9), 50);
  EXPECT_EQ(ParameterPositionOf(&colour, std::nan("")), 0);
  // A design value that arrived as a single still lands on its position.
  EXPECT_EQ(ParameterPositionOf(&kCalculatorParameters[kParamExtinction], static_cast<float>(0.2)), 15);
}

TEST(CalculatorParameters, EvaluateUsesWindowOrder) {
  double values[kParamCount];
  Defaults(values);
  EXPECT_DOUBLE_EQ(EvaluateParameters(values),
                   LimitingMagnitude(150, 100, 6.0, 40, kTelescopeReflector, 7, 0.70, 0, 0.20, 2.00, 6));
  values[kParamTelescopeType] = 1.6;  // rounds to the SCT
  EXPECT_DOUBLE_EQ(EvaluateParameters(values),
                   LimitingMagnitude(150, 100, 6.0, 40, kTelescopeSCT, 7, 0.70, 0, 0.20, 2.00, 6));
}

TEST(ChartFamily, NumericFamilySpreadsSliderValuesOverTheRange) {
  double values[kChartMaxCurves];
  ASSERT_EQ(ChartFamilyValues(kParamAperture, 5, values), 5);
  EXPECT_EQ(values[0], 25);
  EXPECT_EQ(values[4], 600);
  for (int i = 1; i < 5; ++i) {
    EXPECT_GT(values[i], values[i - 1]);
    EXPECT_EQ(std::fmod(values[i] - 25, 5), 0) << values[i];  // a slider position
  }
  EXPECT_EQ(ChartFamilyValues(kParamTelescopeType, 5, values), 3);
  EXPECT_EQ(values[0], kTelescopeRefractor);
  EXPECT_EQ(values[2], kTelescopeSCT);
  EXPECT_EQ(ChartFamilyValues(kParamMagnification, 50, values), kChartMaxCurves);
  EXPECT_EQ(ChartFamilyValues(kParamCount, 5, values), 0);
  EXPECT_EQ(ChartFamilyValues(kParamAge, 0, values), 0);
}

class ChartComputeTest : public ::testing::Test {
 protected:
  void SetUp() override { Defaults(mValues); }
  double mValues[kParamCount];
  ChartData mChart;
};

TEST_F(ChartComputeTest, SingleCurvePassesThroughTheCurrentResult) {
  ChartCompute(&mChart, mValues, kParamAperture, kChartNoFamily, 5, 200);
  EXPECT_EQ(mChart.curveCount, 1);
  EXPECT_EQ(mChart.pointCount, 116);  // every slider position of the aperture
  EXPECT_DOUBLE_EQ(mChart.currentResult, EvaluateParameters(mValues));
  EXPECT_EQ(mChart.currentX, 150);
  EXPECT_DOUBLE_EQ(mChart.ys[0][25], mChart.currentResult);  // x = 25 + 25 * 5 = 150
  EXPECT_EQ(mChart.xs[0], 25);
  EXPECT_EQ(mChart.xs[115], 600);
  // The value axis holds the whole curve (it spans less than the limit).
  for (int i = 0; i < mChart.pointCount; ++i) {
    EXPECT_GE(mChart.ys[0][i], mChart.yAxis.low);
    EXPECT_LE(mChart.ys[0][i], mChart.yAxis.high);
  }
  EXPECT_EQ(mChart.xAxis.low, 25);
  EXPECT_EQ(mChart.xAxis.high, 600);
}

TEST_F(ChartComputeTest, LongRangesAreSampledEvenlyUpToTheCap) {
  ChartCompute(&mChart, mValues, kParamMagnification, kChartNoFamily, 5, 1000);
  EXPECT_EQ(mChart.pointCount, kChartMaxPoints);
  EXPECT_EQ(mChart.xs[0], 5);
  EXPECT_DOUBLE_EQ(mChart.xs[kChartMaxPoints - 1], 1000);
  ChartCompute(&mChart, mValues, kParamMagnification, kChartNoFamily, 5, 50);
  EXPECT_EQ(mChart.pointCount, 50);
  EXPECT_NEAR(mChart.xs[49] - mChart.xs[48], 995.0 / 49, 1e-9);
}

TEST_F(ChartComputeTest, TelescopeFamilyHasThreeCurvesOneOfThemTheCurrent) {
  ChartCompute(&mChart, mValues, kParamMagnification, kParamTelescopeType, 5, 200);
  ASSERT_EQ(mChart.curveCount, 3);
  ChartData single;
  ChartCompute(&single, mValues, kParamMagnification, kChartNoFamily, 5, 200);
  for (int i = 0; i < mChart.pointCount; ++i) {
    ASSERT_DOUBLE_EQ(mChart.ys[kTelescopeReflector][i], single.ys[0][i]);
    // Without an obstruction the refractor always sees fainter than the reflector.
    ASSERT_GT(mChart.ys[kTelescopeRefractor][i], mChart.ys[kTelescopeReflector][i]);
  }
}

TEST_F(ChartComputeTest, FamilyOfTheXParameterOrOutOfRangeDrawsOneCurve) {
  ChartCompute(&mChart, mValues, kParamAge, kParamAge, 5, 200);
  EXPECT_EQ(mChart.familyParameter, kChartNoFamily);
  EXPECT_EQ(mChart.curveCount, 1);
  ChartCompute(&mChart, mValues, kParamAge, 42, 5, 200);
  EXPECT_EQ(mChart.familyParameter, kChartNoFamily);
  ChartCompute(&mChart, mValues, -3, kChartNoFamily, 5, 200);
  EXPECT_EQ(mChart.xParameter, kParamAperture);
}

TEST_F(ChartComputeTest, SteepCollapseKeepsTheValueAxisReadable) {
  // Near the horizon with heavy extinction the limit falls by more than the axis may span.
  mValues[kParamExtinction] = 1.0;
  ChartCompute(&mChart, mValues, kParamZenithDistance, kParamExtinction, 5, 200);
  double low = 1e9, high = -1e9;
  for (int c = 0; c < mChart.curveCount; ++c) {
    for (int i = 0; i < mChart.pointCount; ++i) {
      ASSERT_TRUE(std::isfinite(mChart.ys[c][i]));
      low = std::min(low, mChart.ys[c][i]);
      high = std::max(high, mChart.ys[c][i]);
    }
  }
  ASSERT_GT(high - low, kChartMaxMagnitudeSpan);
  EXPECT_GE(mChart.yAxis.high, high);
  EXPECT_LE(mChart.yAxis.high - mChart.yAxis.low, kChartMaxMagnitudeSpan + 2 * mChart.yAxis.step);
}

TEST_F(ChartComputeTest, EveryAxisAndFamilyStaysFiniteAtTheSliderExtremes) {
  for (int extreme = 0; extreme < 2; ++extreme) {
    for (int i = 0; i < kParamCount; ++i) {
      mValues[i] = extreme ? kCalculatorParameters[i].maximum : kCalculatorParameters[i].minimum;
    }
    for (int x = 0; x < kParamCount; ++x) {
      for (int family = -1; family < kParamCount; ++family) {
        ChartCompute(&mChart, mValues, x, family, 5, 60);
        ASSERT_TRUE(std::isfinite(mChart.yAxis.low) && std::isfinite(mChart.yAxis.high));
        ASSERT_LT(mChart.yAxis.low, mChart.yAxis.high);
        for (int c = 0; c < mChart.curveCount; ++c) {
          for (int p = 0; p < mChart.pointCount; ++p) ASSERT_TRUE(std::isfinite(mChart.ys[c][p]));
        }
      }
    }
  }
}

}  // namespace
