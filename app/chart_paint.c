#include "chart_paint.h"

#include "image_imports.h"
#include "vorn/graphics_api.h"
#include "vorn/runtime_math.h"

VORN_LITERAL(kAxisTitle, "Limiting magnitude");
VORN_LITERAL(kCurrentSettings, "Current settings");
VORN_LITERAL(kBar, "|");
VORN_LITERAL(kDecimals0, "0");
VORN_LITERAL(kDecimals1, "0.0");
VORN_LITERAL(kDecimals2, "0.00");
VORN_LITERAL(kDecimals3, "0.000");
VORN_LITERAL(kDecimals4, "0.0000");
VORN_LITERAL(kDecimals5, "0.00000");
VORN_LITERAL(kDecimals6, "0.000000");

static VornStringRecord *const kDecimalFormats[] = {
    VORN_STR(kDecimals0), VORN_STR(kDecimals1), VORN_STR(kDecimals2), VORN_STR(kDecimals3),
    VORN_STR(kDecimals4), VORN_STR(kDecimals5), VORN_STR(kDecimals6)};

enum {
  kColorBackground = 0xFFFFFF,
  kColorPlot = 0xFBFBF8,
  kColorGrid = 0xDCDCDC,
  kColorText = 0x202020,
  kColorFrame = 0x000000,
  kColorSingleCurve = 0x1F4E99,
  kColorMark = 0xD2691E,
  kLabelGap = 6,
  kTextSize = 11
};

static const uint32_t kFamilyColors[kChartMaxCurves] = {
    0x1F77B4, 0xD62728, 0x2CA02C, 0xFF7F0E, 0x9467BD, 0x8C564B,
    0xE377C2, 0x7F7F7F, 0xBCBD22, 0x17BECF, 0x000000};

ChartRect ChartFrameFor(const ChartData *chart, int32_t width, int32_t height) {
  ChartRect frame;
  int32_t right = kChartMarginRight;
  if (chart->familyParameter != kChartNoFamily) right += kChartLegendWidth;
  frame.left = kChartMarginLeft;
  frame.top = kChartMarginTop;
  frame.width = width - kChartMarginLeft - right;
  frame.height = height - kChartMarginTop - kChartMarginBottom;
  if (frame.width < 0) frame.width = 0;
  if (frame.height < 0) frame.height = 0;
  return frame;
}

uint32_t ChartCurveColor(const ChartData *chart, int32_t curve) {
  if (chart->familyParameter == kChartNoFamily) return kColorSingleCurve;
  if (curve < 0 || curve >= kChartMaxCurves) return kColorFrame;
  return kFamilyColors[curve];
}

static void SetColor(VornRuntimeObject *g, uint32_t color) { graphicsForeColorSetter(g, 0, color); }

static void SetPen(VornRuntimeObject *g, int32_t size) {
  graphicsPenWidthSetter(g, 0, size);
  graphicsPenHeightSetter(g, 0, size);
}

/* The text of a parameter value: its name for a named parameter, else the number written
 * with `decimals` decimals. One reference for the caller. */
static VornStringRecord *ValueText(int32_t parameter, double value, int32_t decimals) {
  const CalculatorParameter *p = &kCalculatorParameters[parameter];
  if (p->names) {
    int32_t index = RuntimeDoubleToInt(RuntimeRound(value - p->minimum));
    return StringNthField(p->names, VORN_STR(kBar), index + 1);
  }
  if (decimals < 0) decimals = 0;
  if (decimals > 6) decimals = 6;
  return StringFormat(value, kDecimalFormats[decimals]);
}

static void DrawText(VornRuntimeObject *g, VornStringRecord *text, int32_t x, int32_t baseline) {
  RuntimeGraphicsDrawStringCondensed(g, text, x, baseline, 0, 0);
}

static void DrawGridAndLabels(VornRuntimeObject *g, const ChartData *chart, const ChartRect *frame) {
  int32_t ascent = RuntimeGraphicsTextAscent(g);
  int32_t lineHeight = RuntimeGraphicsTextHeight(g);
  int32_t right = frame->left + frame->width - 1;
  int32_t bottom = frame->top + frame->height - 1;

  /* Value axis: horizontal grid lines with labels on the left, right-aligned. */
  int32_t yDecimals = ChartStepDecimals(chart->yAxis.step);
  int32_t ticks = ChartTickCount(&chart->yAxis);
  for (int32_t i = 0; i < ticks; ++i) {
    double value = ChartTickValue(&chart->yAxis, i);
    int32_t y = ChartPixel(ChartMapY(frame, &chart->yAxis, value));
    SetColor(g, kColorGrid);
    RuntimeGraphicsDrawLine(g, frame->left, y, right, y);
    VornStringRecord *label = StringFormat(value, kDecimalFormats[yDecimals > 6 ? 6 : yDecimals]);
    SetColor(g, kColorText);
    DrawText(g, label, frame->left - kLabelGap - RuntimeGraphicsStringWidth(g, label),
             y - lineHeight / 2 + ascent);
    RuntimeUnlockString(label);
  }

  /* Parameter axis: vertical grid lines with labels centred below the frame. */
  int32_t xDecimals = ChartStepDecimals(chart->xAxis.step);
  ticks = ChartTickCount(&chart->xAxis);
  for (int32_t i = 0; i < ticks; ++i) {
    double value = ChartTickValue(&chart->xAxis, i);
    int32_t x = ChartPixel(ChartMapX(frame, &chart->xAxis, value));
    SetColor(g, kColorGrid);
    RuntimeGraphicsDrawLine(g, x, frame->top, x, bottom);
    VornStringRecord *label = ValueText(chart->xParameter, value, xDecimals);
    SetColor(g, kColorText);
    DrawText(g, label, x - RuntimeGraphicsStringWidth(g, label) / 2, bottom + kLabelGap + ascent);
    RuntimeUnlockString(label);
  }

  /* Axis titles: the parameter's title under its labels, the magnitude above its labels. */
  VornStringRecord *title = kCalculatorParameters[chart->xParameter].title;
  graphicsBoldSetter(g, 0, 1);
  DrawText(g, title, frame->left + (frame->width - RuntimeGraphicsStringWidth(g, title)) / 2,
           bottom + kLabelGap + lineHeight + 4 + ascent);
  DrawText(g, VORN_STR(kAxisTitle), 8, frame->top - kLabelGap - lineHeight + ascent - 4);
  graphicsBoldSetter(g, 0, 0);
}

static void DrawCurve(VornRuntimeObject *g, const ChartData *chart, const ChartRect *frame, int32_t curve) {
  /* The pen is two pixels wide with round caps, so segments stop one pixel short of the frame
   * to leave every pixel of ink inside it. */
  ChartRect inner = {frame->left + 1, frame->top + 1, frame->width - 2, frame->height - 2};
  SetColor(g, ChartCurveColor(chart, curve));
  SetPen(g, 2);
  const double *ys = chart->ys[curve];
  for (int32_t i = 1; i < chart->pointCount; ++i) {
    double x1 = ChartMapX(frame, &chart->xAxis, chart->xs[i - 1]);
    double y1 = ChartMapY(frame, &chart->yAxis, ys[i - 1]);
    double x2 = ChartMapX(frame, &chart->xAxis, chart->xs[i]);
    double y2 = ChartMapY(frame, &chart->yAxis, ys[i]);
    if (!ChartClipSegment(&inner, &x1, &y1, &x2, &y2)) continue;
    RuntimeGraphicsDrawLine(g, ChartPixel(x1), ChartPixel(y1), ChartPixel(x2), ChartPixel(y2));
  }
  SetPen(g, 1);
}

/* The current settings: a vertical line at the X value and a dot at the result. */
static void DrawMark(VornRuntimeObject *g, const ChartData *chart, const ChartRect *frame) {
  double x = ChartMapX(frame, &chart->xAxis, chart->currentX);
  double y = ChartMapY(frame, &chart->yAxis, chart->currentResult);
  double x1 = x, y1 = frame->top, x2 = x, y2 = frame->top + frame->height - 1;
  SetColor(g, kColorMark);
  if (ChartClipSegment(frame, &x1, &y1, &x2, &y2)) {
    RuntimeGraphicsDrawLine(g, ChartPixel(x1), ChartPixel(y1), ChartPixel(x2), ChartPixel(y2));
  }
  int32_t px = ChartPixel(x), py = ChartPixel(y);
  if (px >= frame->left && px < frame->left + frame->width && py >= frame->top &&
      py < frame->top + frame->height) {
    RuntimeGraphicsFillOval(g, px - 4, py - 4, 9, 9);
    SetColor(g, kColorFrame);
    RuntimeGraphicsDrawOval(g, px - 4, py - 4, 9, 9);
  }
}

static void DrawLegend(VornRuntimeObject *g, const ChartData *chart, const ChartRect *frame) {
  const CalculatorParameter *p = &kCalculatorParameters[chart->familyParameter];
  int32_t ascent = RuntimeGraphicsTextAscent(g);
  int32_t lineHeight = RuntimeGraphicsTextHeight(g) + 4;
  int32_t left = frame->left + frame->width + 14;
  int32_t width = kChartLegendWidth - 8;
  /* The title, a row per curve, and the mark: with a family the current settings usually lie
   * between the curves, so the dot needs its own line. */
  int32_t height = lineHeight * (chart->curveCount + 2) + 10;
  SetColor(g, kColorBackground);
  RuntimeGraphicsFillRect(g, left, frame->top, width, height);
  SetColor(g, kColorGrid);
  RuntimeGraphicsDrawRect(g, left, frame->top, width, height);
  SetColor(g, kColorText);
  graphicsBoldSetter(g, 0, 1);
  RuntimeGraphicsDrawStringCondensed(g, p->title, left + 6, frame->top + 5 + ascent, width - 12, 1);
  graphicsBoldSetter(g, 0, 0);
  int32_t decimals = ChartStepDecimals(p->step);
  for (int32_t c = 0; c < chart->curveCount; ++c) {
    int32_t y = frame->top + 5 + lineHeight * (c + 1);
    SetColor(g, ChartCurveColor(chart, c));
    RuntimeGraphicsFillRect(g, left + 6, y + lineHeight / 2 - 2, 22, 4);
    VornStringRecord *text = ValueText(chart->familyParameter, chart->familyValues[c], decimals);
    SetColor(g, kColorText);
    RuntimeGraphicsDrawStringCondensed(g, text, left + 34, y + ascent, width - 40, 1);
    RuntimeUnlockString(text);
  }
  int32_t y = frame->top + 5 + lineHeight * (chart->curveCount + 1);
  int32_t dotTop = y + lineHeight / 2 - 5;
  SetColor(g, kColorMark);
  RuntimeGraphicsFillOval(g, left + 13, dotTop, 9, 9);
  SetColor(g, kColorFrame);
  RuntimeGraphicsDrawOval(g, left + 13, dotTop, 9, 9);
  SetColor(g, kColorText);
  RuntimeGraphicsDrawStringCondensed(g, VORN_STR(kCurrentSettings), left + 34, y + ascent, width - 40, 1);
}

void ChartPaint(VornRuntimeObject *g, const ChartData *chart, int32_t width, int32_t height) {
  if (!g || width <= 0 || height <= 0) return;
  SetPen(g, 1);
  SetColor(g, kColorBackground);
  RuntimeGraphicsFillRect(g, 0, 0, width, height);
  ChartRect frame = ChartFrameFor(chart, width, height);
  if (frame.width < 16 || frame.height < 16) return; /* no room for a readable chart */
  graphicsTextSizeSetter(g, 0, kTextSize);
  SetColor(g, kColorPlot);
  RuntimeGraphicsFillRect(g, frame.left, frame.top, frame.width, frame.height);
  DrawGridAndLabels(g, chart, &frame);
  for (int32_t c = 0; c < chart->curveCount; ++c) DrawCurve(g, chart, &frame, c);
  DrawMark(g, chart, &frame);
  if (chart->familyParameter != kChartNoFamily) DrawLegend(g, chart, &frame);
  SetColor(g, kColorFrame);
  RuntimeGraphicsDrawRect(g, frame.left, frame.top, frame.width, frame.height);
}
