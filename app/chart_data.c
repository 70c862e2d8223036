#include "chart_data.h"

#include "vorn/runtime_math.h"

int32_t ChartFamilyValues(int32_t parameter, int32_t wanted, double *out) {
  if (parameter < 0 || parameter >= kParamCount || wanted < 1) return 0;
  const CalculatorParameter *p = &kCalculatorParameters[parameter];
  int32_t positions = ParameterPositionCount(p) + 1;
  if (wanted > kChartMaxCurves) wanted = kChartMaxCurves;
  int32_t count = positions < wanted ? positions : wanted;
  if (count == 1) {
    out[0] = p->minimum;
    return 1;
  }
  for (int32_t i = 0; i < count; ++i) {
    int32_t position = RuntimeDoubleToInt(RuntimeRound((double)i * (positions - 1) / (count - 1)));
    out[i] = ParameterValueAt(p, position);
  }
  return count;
}

static void SampleXs(ChartData *chart, int32_t pointCount) {
  const CalculatorParameter *p = &kCalculatorParameters[chart->xParameter];
  int32_t positions = ParameterPositionCount(p) + 1;
  if (pointCount > kChartMaxPoints) pointCount = kChartMaxPoints;
  if (pointCount < 2) pointCount = 2;
  if (positions <= pointCount) {
    chart->pointCount = positions;
    for (int32_t i = 0; i < positions; ++i) chart->xs[i] = ParameterValueAt(p, i);
    return;
  }
  chart->pointCount = pointCount;
  for (int32_t i = 0; i < pointCount; ++i) {
    chart->xs[i] = p->minimum + (p->maximum - p->minimum) * i / (pointCount - 1);
  }
}

void ChartCompute(ChartData *chart, const double values[kParamCount], int32_t xParameter,
                  int32_t familyParameter, int32_t familySize, int32_t pointCount) {
  if (xParameter < 0 || xParameter >= kParamCount) xParameter = kParamAperture;
  if (familyParameter < 0 || familyParameter >= kParamCount || familyParameter == xParameter) {
    familyParameter = kChartNoFamily;
  }
  chart->xParameter = xParameter;
  chart->familyParameter = familyParameter;
  SampleXs(chart, pointCount);

  double inputs[kParamCount];
  for (int32_t i = 0; i < kParamCount; ++i) inputs[i] = values[i];
  chart->currentX = values[xParameter];
  chart->currentResult = EvaluateParameters(values);

  if (familyParameter == kChartNoFamily) {
    chart->curveCount = 1;
    chart->familyValues[0] = 0.0;
  } else {
    chart->curveCount = ChartFamilyValues(familyParameter, familySize, chart->familyValues);
  }

  double low = chart->currentResult, high = chart->currentResult;
  for (int32_t c = 0; c < chart->curveCount; ++c) {
    if (familyParameter != kChartNoFamily) inputs[familyParameter] = chart->familyValues[c];
    for (int32_t i = 0; i < chart->pointCount; ++i) {
      inputs[xParameter] = chart->xs[i];
      double y = EvaluateParameters(inputs);
      chart->ys[c][i] = y;
      if (y < low) low = y;
      if (y > high) high = y;
    }
  }

  const CalculatorParameter *p = &kCalculatorParameters[xParameter];
  chart->xAxis = ChartMakeAxis(p->minimum, p->maximum, 8, 0);
  if (p->names) chart->xAxis.step = 1.0; /* one tick per named value */
  ChartLimitSpan(&low, &high, kChartMaxMagnitudeSpan);
  chart->yAxis = ChartMakeAxis(low, high, 6, 1);
}
