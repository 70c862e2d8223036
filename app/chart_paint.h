/*
 * Draws a computed chart through the language's Graphics entry points: background, grid,
 * axis labels, the curves clipped to the frame, the mark of the current settings, the legend
 * of a family and the frame.
 */
#ifndef CHART_PAINT_H
#define CHART_PAINT_H

#include <stdint.h>

#include "chart_data.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Margins around the plot frame, in pixels; the legend column is added on the right when the
 * chart shows a family. */
enum {
  kChartMarginLeft = 62,
  kChartMarginTop = 34,
  kChartMarginRight = 28,
  kChartMarginBottom = 50,
  kChartLegendWidth = 172
};

/* The plot frame of a chart drawn into a canvas of that size. */
ChartRect ChartFrameFor(const ChartData *chart, int32_t width, int32_t height);

/* The colour of curve i of a family (the single curve has its own). */
uint32_t ChartCurveColor(const ChartData *chart, int32_t curve);

/* Draws the whole chart into g, which covers width x height pixels from (0, 0). */
void ChartPaint(VornRuntimeObject *g, const ChartData *chart, int32_t width, int32_t height);

#ifdef __cplusplus
}
#endif

#endif
