/*
 * The chart's layout arithmetic: axis ranges with "nice" tick steps, the mapping of values to
 * pixels, and clipping of line segments to the plot frame. Plain C on doubles, shared by the
 * image's Paint handler and the unit tests; nothing here draws.
 */
#ifndef CHART_LAYOUT_H
#define CHART_LAYOUT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* An axis from low to high (low < high) with ticks at the multiples of step inside it. */
typedef struct ChartAxis {
  double low;
  double high;
  double step;
} ChartAxis;

/* A pixel rectangle: the plot frame inside the canvas. */
typedef struct ChartRect {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
} ChartRect;

enum { kChartMaxTicks = 64 };

/* The smallest step of the form 1, 2, 2.5 or 5 times a power of ten that divides span into at
 * most `intervals` parts (at least one). A span that is not a positive finite number gives 1. */
double ChartNiceStep(double span, int32_t intervals);

/* An axis over [low, high] with about `intervals` tick intervals. Non-finite bounds are taken
 * as 0 and 1, reversed bounds are swapped, an empty range is widened around its value. With
 * `snapOutward` the ends move out to the nearest ticks (value axes); without it they stay at
 * the data's ends (parameter axes, whose range is the slider's). */
ChartAxis ChartMakeAxis(double low, double high, int32_t intervals, int32_t snapOutward);

/* Number of ticks inside the axis (at most kChartMaxTicks) and the value of tick i. Tick values
 * are exact multiples of the step, with -0 and rounding noise removed. */
int32_t ChartTickCount(const ChartAxis *axis);
double ChartTickValue(const ChartAxis *axis, int32_t index);

/* Decimals needed to write every tick of a step exactly (0 to 6). */
int32_t ChartStepDecimals(double step);

/* The data range of `count` values, skipping values that are not finite; false when none is. */
int32_t ChartValueRange(const double *values, int32_t count, double *low, double *high);

/* Keeps the upper part of a value range at most maxSpan wide: a curve that collapses (the
 * limit near the horizon) is then cut at the frame instead of squashing every other curve. */
void ChartLimitSpan(double *low, double *high, double maxSpan);

/* Value to pixel (as a double, not rounded): x grows to the right, y upwards. */
double ChartMapX(const ChartRect *frame, const ChartAxis *axis, double value);
double ChartMapY(const ChartRect *frame, const ChartAxis *axis, double value);

/* A pixel coordinate rounded to the nearest integer and kept within +-1e6. */
int32_t ChartPixel(double coordinate);

/* Clips the segment (x1, y1)-(x2, y2) to the frame, edges included (left .. left + width - 1,
 * top .. top + height - 1). True with the clipped end points when some part lies inside;
 * false when none does or a coordinate is not a number. */
int32_t ChartClipSegment(const ChartRect *frame, double *x1, double *y1, double *x2, double *y2);

#ifdef __cplusplus
}
#endif

#endif
