// A full update of the calculator's chart: eleven curves of 200 points computed with the model,
// then drawn with axes, grid, labels, mark and legend through the language's Graphics entry
// points into an offscreen pixmap. The synced variant waits for the X server, so it measures
// whole frames; the other measures the client side only.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include "graphics/graphics_defaults.h"
#include "graphics/graphics_object.h"
#include "graphics/graphics_target.h"
#include "objects/runtime_object.h"

extern "C" {
#include "chart_data.h"
#include "chart_paint.h"
}

namespace {

constexpr int kWidth = 880;
constexpr int kHeight = 454;

bool HaveDisplay() {
  static int state = -1;
  if (state < 0) {
    state = gtk_init_check(nullptr, nullptr) ? 1 : 0;
    vorn::InitGraphicsDefaults();
    vorn::InitEllipsisString();
  }
  return state == 1;
}

class Offscreen : public vorn::GraphicsTarget {
 public:
  Offscreen() {
    GdkColormap* colormap = gdk_screen_get_system_colormap(gdk_screen_get_default());
    mPixmap = gdk_pixmap_new(nullptr, kWidth, kHeight, gdk_visual_get_depth(gdk_colormap_get_visual(colormap)));
    gdk_drawable_set_colormap(mPixmap, colormap);
    mGC = gdk_gc_new(mPixmap);
  }
  ~Offscreen() override {
    g_object_unref(mGC);
    g_object_unref(mPixmap);
  }
  _GdkDrawable* GetGdkDrawable() override { return mPixmap; }
  _GdkGC* NewGC() override { return mGC; }
  vorn::Rect GetPaneBounds() const override { return vorn::MakeRect(0, 0, kWidth, kHeight); }

  GdkPixmap* mPixmap;
  GdkGC* mGC;
};

void Defaults(double values[kParamCount]) {
  for (int i = 0; i < kParamCount; ++i) values[i] = kCalculatorParameters[i].defaultValue;
}

// Magnification has 200 slider positions: one point each; the aperture gives eleven curves.
void ComputeFamily(ChartData* chart, const double values[kParamCount]) {
  ChartCompute(chart, values, kParamMagnification, kParamAperture, kChartMaxCurves, kChartMaxPoints);
}

void BM_ChartCompute(benchmark::State& state) {
  double values[kParamCount];
  Defaults(values);
  static ChartData chart;
  for (auto _ : state) {
    ComputeFamily(&chart, values);
    benchmark::DoNotOptimize(chart.ys[10][199]);
  }
  state.counters["curves"] = chart.curveCount;
  state.counters["points"] = chart.pointCount;
}
BENCHMARK(BM_ChartCompute)->Unit(benchmark::kMicrosecond);

void BM_ChartUpdate(benchmark::State& state) {
  if (!HaveDisplay()) {
    state.SkipWithError("no display");
    return;
  }
  const bool synced = state.range(0) != 0;
  Offscreen target;
  VornRuntimeObject* g = vorn::NewGraphicsObjectForTarget(&target);
  double values[kParamCount];
  Defaults(values);
  static ChartData chart;
  for (auto _ : state) {
    ComputeFamily(&chart, values);
    ChartPaint(g, &chart, kWidth, kHeight);
    if (synced) gdk_display_sync(gdk_display_get_default());
  }
  state.counters["curves"] = chart.curveCount;
  RuntimeUnlockObject(g);
}
BENCHMARK(BM_ChartUpdate)->Arg(0)->Arg(1)->ArgName("synced")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
