// A chart-like frame (frame, 20 grid lines, 10 labels, 600 line segments) drawn into an
// offscreen pixmap through the GDK drawing port, beside the same drawing made directly with
// GDK and Pango. The synced variants wait for the X server, so they measure whole frames;
// the others measure the client side only.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "graphics/graphics_gtk.h"
#include "windows/gtk_helper.h"

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 400;
constexpr int kSegments = 600;

bool HaveDisplay() {
  static int state = -1;
  if (state < 0) state = gtk_init_check(nullptr, nullptr) ? 1 : 0;
  return state == 1;
}

class Offscreen : public vorn::GraphicsTarget {
 public:
  Offscreen() {
    GdkColormap* colormap = gdk_screen_get_system_colormap(gdk_screen_get_default());
    mPixmap = gdk_pixmap_new(nullptr, kWidth, kHeight,
                             gdk_visual_get_depth(gdk_colormap_get_visual(colormap)));
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

int CurveY(int i) {
  return 200 - static_cast<int>(150.0 * std::sin(i * 0.02) * std::exp(-i * 0.002));
}

void Labels(char texts[10][16]) {
  for (int i = 0; i < 10; ++i) std::snprintf(texts[i], 16, "%.1f", i * 1.5);
}

void DrawThroughPort(vorn::Graphics* g, const vorn::string* labels) {
  g->SetForeColor(vorn::kWhite48);
  g->FillRect(vorn::MakeRect(0, 0, kWidth, kHeight));
  g->SetForeColor(vorn::kBlack48);
  g->DrawRect(vorn::MakeRect(40, 20, 580, 360));
  g->SetForeColor(vorn::ColorToRGB48(0xC0C0C0));
  for (int i = 1; i <= 10; ++i) {
    g->MoveTo(40 + i * 54, 20);
    g->LineTo(40 + i * 54, 360);
    g->MoveTo(40, 20 + i * 34);
    g->LineTo(580, 20 + i * 34);
  }
  g->SetForeColor(vorn::kBlack48);
  for (int i = 0; i < 10; ++i) g->DrawText(labels[i], 30 + i * 54, 380, 0);
  g->SetForeColor(vorn::ColorToRGB48(0x0000FF));
  g->MoveTo(0, CurveY(0));
  for (int i = 1; i <= kSegments; ++i) g->LineTo(i, CurveY(i));
}

void SetColor(GdkGC* gc, guint16 r, guint16 g, guint16 b) {
  GdkColor color = {0, r, g, b};
  gdk_gc_set_rgb_fg_color(gc, &color);
}

void DrawDirect(GdkDrawable* d, GdkGC* gc, PangoLayout* layout, int ascent, char labels[10][16]) {
  SetColor(gc, 65535, 65535, 65535);
  gdk_draw_rectangle(d, gc, TRUE, 0, 0, kWidth, kHeight);
  SetColor(gc, 0, 0, 0);
  gdk_draw_rectangle(d, gc, FALSE, 40, 20, 539, 339);
  SetColor(gc, 0xC0C0, 0xC0C0, 0xC0C0);
  for (int i = 1; i <= 10; ++i) {
    gdk_draw_line(d, gc, 40 + i * 54, 20, 40 + i * 54, 360);
    gdk_draw_line(d, gc, 40, 20 + i * 34, 580, 20 + i * 34);
  }
  SetColor(gc, 0, 0, 0);
  for (int i = 0; i < 10; ++i) {
    pango_layout_set_text(layout, labels[i], -1);
    gdk_draw_layout(d, gc, 30 + i * 54, 380 - ascent, layout);
  }
  SetColor(gc, 0, 0, 0xFFFF);
  int x = 0, y = CurveY(0);
  for (int i = 1; i <= kSegments; ++i) {
    const int ny = CurveY(i);
    gdk_draw_line(d, gc, x, y, i, ny);
    x = i;
    y = ny;
  }
}

void BM_ChartThroughPort(benchmark::State& state) {
  if (!HaveDisplay()) {
    state.SkipWithError("no display");
    return;
  }
  const bool sync = state.range(0) != 0;
  Offscreen target;
  std::unique_ptr<vorn::Graphics> port(vorn::NewGraphics(&target));
  port->SetTextFont(vorn::string("System"));
  port->SetTextSize(12);
  char texts[10][16];
  Labels(texts);
  vorn::string labels[10];
  for (int i = 0; i < 10; ++i) labels[i] = vorn::string(texts[i]);
  DrawThroughPort(port.get(), labels);
  gdk_flush();
  for (auto _ : state) {
    DrawThroughPort(port.get(), labels);
    if (sync) gdk_flush();
  }
  gdk_flush();
}
BENCHMARK(BM_ChartThroughPort)->Arg(0)->Arg(1)->ArgName("synced")->Unit(benchmark::kMicrosecond);

void BM_ChartDirect(benchmark::State& state) {
  if (!HaveDisplay()) {
    state.SkipWithError("no display");
    return;
  }
  const bool sync = state.range(0) != 0;
  Offscreen target;
  vorn::TextStyle style;
  style.mFontName = vorn::string("System");
  PangoFontDescription* font = vorn::MakeFontDescription(style);
  PangoContext* context = gdk_pango_context_get();
  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_font_description(layout, font);
  PangoFontMetrics* metrics = pango_context_get_metrics(context, font, nullptr);
  const int ascent = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics)) - 1;
  pango_font_metrics_unref(metrics);
  char labels[10][16];
  Labels(labels);
  DrawDirect(target.mPixmap, target.mGC, layout, ascent, labels);
  gdk_flush();
  for (auto _ : state) {
    DrawDirect(target.mPixmap, target.mGC, layout, ascent, labels);
    if (sync) gdk_flush();
  }
  gdk_flush();
  g_object_unref(layout);
  g_object_unref(context);
  pango_font_description_free(font);
}
BENCHMARK(BM_ChartDirect)->Arg(0)->Arg(1)->ArgName("synced")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
