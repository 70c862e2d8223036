#include "chart_layout.h"

#include "vorn/runtime_math.h"

static int32_t IsFinite(double value) { return value == value && value - value == 0.0; }

double ChartNiceStep(double span, int32_t intervals) {
  if (!IsFinite(span) || span <= 0.0) return 1.0;
  if (intervals < 1) intervals = 1;
  double raw = span / intervals;
  double magnitude = RuntimePow(10.0, RuntimeFloor(RuntimeLog(raw) / RuntimeLog(10.0)));
  static const double kMultiples[] = {1.0, 2.0, 2.5, 5.0, 10.0};
  /* The logarithm may land a hair off; start one decade low so no step is skipped. */
  magnitude /= 10.0;
  for (int32_t decade = 0; decade < 3; ++decade, magnitude *= 10.0) {
    for (int32_t i = 0; i < 5; ++i) {
      double step = kMultiples[i] * magnitude;
      if (step * intervals >= span * (1.0 - 1e-9)) return step;
    }
  }
  return raw;
}

ChartAxis ChartMakeAxis(double low, double high, int32_t intervals, int32_t snapOutward) {
  ChartAxis axis;
  if (!IsFinite(low) || !IsFinite(high)) {
    low = 0.0;
    high = 1.0;
  }
  if (low > high) {
    double swap = low;
    low = high;
    high = swap;
  }
  if (high - low <= 1e-9 * (RuntimeAbs(low) + RuntimeAbs(high)) || high == low) {
    double pad = RuntimeAbs(low) > 1.0 ? RuntimeAbs(low) * 0.05 : 0.5;
    low -= pad;
    high += pad;
  }
  axis.step = ChartNiceStep(high - low, intervals);
  if (snapOutward) {
    low = RuntimeFloor(low / axis.step + 1e-9) * axis.step;
    high = RuntimeCeil(high / axis.step - 1e-9) * axis.step;
  }
  axis.low = low;
  axis.high = high;
  return axis;
}

static double FirstTickIndex(const ChartAxis *axis) {
  return RuntimeCeil(axis->low / axis->step - 1e-9);
}

int32_t ChartTickCount(const ChartAxis *axis) {
  if (!(axis->step > 0.0) || !(axis->high >= axis->low)) return 0;
  double last = RuntimeFloor(axis->high / axis->step + 1e-9);
  double count = last - FirstTickIndex(axis) + 1.0;
  if (!(count > 0.0)) return 0;
  return count > kChartMaxTicks ? kChartMaxTicks : RuntimeDoubleToInt(count);
}

double ChartTickValue(const ChartAxis *axis, int32_t index) {
  double value = (FirstTickIndex(axis) + index) * axis->step;
  /* Multiples of 0.1 and the like carry noise in the last bits; round it off at 1e-9 of the
   * step so that labels and grid lines agree. */
  double grain = axis->step * 1e-9;
  value = RuntimeRound(value / grain) * grain;
  return RuntimeAbs(value) < grain ? 0.0 : value;
}

int32_t ChartStepDecimals(double step) {
  if (!IsFinite(step) || step <= 0.0) return 0;
  double scaled = step;
  for (int32_t decimals = 0; decimals < 6; ++decimals) {
    double whole = RuntimeRound(scaled);
    if (whole != 0.0 && RuntimeAbs(scaled - whole) < 1e-6 * whole) return decimals;
    scaled *= 10.0;
  }
  return 6;
}

int32_t ChartValueRange(const double *values, int32_t count, double *low, double *high) {
  int32_t found = 0;
  for (int32_t i = 0; i < count; ++i) {
    double v = values[i];
    if (!IsFinite(v)) continue;
    if (!found || v < *low) *low = v;
    if (!found || v > *high) *high = v;
    found = 1;
  }
  return found;
}

void ChartLimitSpan(double *low, double *high, double maxSpan) {
  if (maxSpan > 0.0 && *high - *low > maxSpan) *low = *high - maxSpan;
}

double ChartMapX(const ChartRect *frame, const ChartAxis *axis, double value) {
  return frame->left + (value - axis->low) / (axis->high - axis->low) * (frame->width - 1);
}

double ChartMapY(const ChartRect *frame, const ChartAxis *axis, double value) {
  return frame->top + (frame->height - 1) - (value - axis->low) / (axis->high - axis->low) * (frame->height - 1);
}

int32_t ChartPixel(double coordinate) {
  if (!(coordinate == coordinate)) return 0;
  if (coordinate > 1e6) coordinate = 1e6;
  if (coordinate < -1e6) coordinate = -1e6;
  return RuntimeDoubleToInt(RuntimeFloor(coordinate + 0.5));
}

/* One Liang-Barsky boundary: p * t <= q keeps the part of the segment inside. */
static int32_t ClipEdge(double p, double q, double *t0, double *t1) {
  if (p == 0.0) return q >= 0.0;
  double t = q / p;
  if (p < 0.0) {
    if (t > *t1) return 0;
    if (t > *t0) *t0 = t;
  } else {
    if (t < *t0) return 0;
    if (t < *t1) *t1 = t;
  }
  return 1;
}

int32_t ChartClipSegment(const ChartRect *frame, double *x1, double *y1, double *x2, double *y2) {
  if (!IsFinite(*x1) || !IsFinite(*y1) || !IsFinite(*x2) || !IsFinite(*y2)) return 0;
  if (frame->width <= 0 || frame->height <= 0) return 0;
  double left = frame->left, right = frame->left + frame->width - 1;
  double top = frame->top, bottom = frame->top + frame->height - 1;
  double dx = *x2 - *x1, dy = *y2 - *y1;
  double t0 = 0.0, t1 = 1.0;
  if (!ClipEdge(-dx, *x1 - left, &t0, &t1) || !ClipEdge(dx, right - *x1, &t0, &t1) ||
      !ClipEdge(-dy, *y1 - top, &t0, &t1) || !ClipEdge(dy, bottom - *y1, &t0, &t1)) {
    return 0;
  }
  double startX = *x1, startY = *y1;
  if (t1 < 1.0) {
    *x2 = startX + t1 * dx;
    *y2 = startY + t1 * dy;
  }
  if (t0 > 0.0) {
    *x1 = startX + t0 * dx;
    *y1 = startY + t0 * dy;
  }
  /* Keep rounding from stepping one pixel outside. */
  if (*x1 < left) *x1 = left;
  if (*x1 > right) *x1 = right;
  if (*x2 < left) *x2 = left;
  if (*x2 > right) *x2 = right;
  if (*y1 < top) *y1 = top;
  if (*y1 > bottom) *y1 = bottom;
  if (*y2 < top) *y2 = top;
  if (*y2 > bottom) *y2 = bottom;
  return 1;
}
