/*
 * What the chart shows, computed from the current parameter values: the limiting magnitude
 * over the whole range of the X-axis parameter, or a family of such curves for several values
 * of a second parameter, the axes that fit them and the point of the current settings.
 */
#ifndef CHART_DATA_H
#define CHART_DATA_H

#include <stdint.h>

#include "calculator_parameters.h"
#include "chart_layout.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
  kChartMaxPoints = 200,
  kChartMaxCurves = 11,
  kChartNoFamily = -1,
  kChartFamilySize = 5        /* curves across the range of a numeric family parameter */
};

/* The value axis never spans more magnitudes than this; steeper parts are cut at the frame. */
#define kChartMaxMagnitudeSpan 12.0

typedef struct ChartData {
  int32_t xParameter;
  int32_t familyParameter;    /* kChartNoFamily for a single curve */
  int32_t pointCount;
  int32_t curveCount;
  double xs[kChartMaxPoints];
  double familyValues[kChartMaxCurves];
  double ys[kChartMaxCurves][kChartMaxPoints];
  double currentX;            /* the X parameter's current value */
  double currentResult;       /* the model at the current values */
  ChartAxis xAxis;
  ChartAxis yAxis;
} ChartData;

/* The values of a family parameter: the slider positions spread evenly over the range, at
 * most `wanted` of them (every position when there are fewer). Answers the count. */
int32_t ChartFamilyValues(int32_t parameter, int32_t wanted, double *out);

/* Fills `chart` for the values (window order). A family parameter that is out of range or the
 * X parameter itself draws no family. pointCount is capped at kChartMaxPoints; a parameter
 * with fewer slider positions is sampled at its positions only. familySize as above (the
 * telescope type always gives its three types). */
void ChartCompute(ChartData *chart, const double values[kParamCount], int32_t xParameter,
                  int32_t familyParameter, int32_t familySize, int32_t pointCount);

#ifdef __cplusplus
}
#endif

#endif
