/*
 * The calculator's window written straight on GTK 2, for comparing start-up and memory with
 * the real application on the runtime: the same window size, the eleven sliders with their
 * title, value, minimum and maximum labels in three framed groups, the result line, the two
 * menus with their labels and the chart of five curves of 200 points with grid, axis labels,
 * legend and the current-settings mark, each text at the application's size and weight (so
 * that both load the same fonts). The model is the application's own, with the C library's
 * maths behind the runtime's maths names.
 */
#include <gtk/gtk.h>
#include <math.h>
#include <stdio.h>

#include "limit_model.h"

double RuntimePow(double base, double exponent) { return pow(base, exponent); }
double RuntimeExp(double x) { return exp(x); }
double RuntimeSqrt(double x) { return sqrt(x); }
double RuntimeLog(double x) { return log(x); }
double RuntimeCos(double x) { return cos(x); }

typedef struct {
  const char *title, *format;
  double minimum, maximum, step, value;
} Parameter;

static Parameter kParameters[11] = {
    {"Aperture (mm)", "%.0f", 25, 600, 1, 150},       {"Magnification", "%.0f", 5, 1000, 5, 100},
    {"Naked-eye limit", "%.1f", 3, 7.8, 0.1, 6},       {"Observer's age", "%.0f", 10, 80, 1, 40},
    {"Telescope type", "%.0f", 0, 2, 1, 1},            {"Cleanliness", "%.0f", 1, 9, 1, 7},
    {"Colour index (B-V)", "%.2f", -0.5, 2, 0.05, 0.7}, {"Zenith distance", "%.0f", 0, 85, 1, 0},
    {"Extinction coefficient", "%.2f", 0.05, 1, 0.01, 0.2}, {"Seeing disc radius", "%.2f", 0.25, 10, 0.05, 2},
    {"Observer's experience", "%.0f", 1, 9, 1, 6}};
static const int kGroupOf[11] = {0, 0, 1, 1, 0, 0, 2, 2, 2, 2, 1};
static const int kRowOf[11] = {0, 1, 0, 1, 2, 3, 0, 1, 2, 3, 2};
static const char *kGroups[3] = {"Telescope", "Observer", "Sky and star"};

enum { kPoints = 200, kCurves = 5 };
static double gXs[kPoints], gYs[kCurves][kPoints], gFamily[kCurves];
static GtkWidget *gResult;

static double Model(const double v[11]) {
  return LimitingMagnitude(v[0], v[1], v[2], v[3], (int)lround(v[4]), v[5], v[6], v[7], v[8], v[9], v[10]);
}

static void Compute(void) {
  double values[11];
  for (int i = 0; i < 11; ++i) values[i] = kParameters[i].value;
  for (int c = 0; c < kCurves; ++c) {
    gFamily[c] = 25 + (600 - 25) * c / (kCurves - 1);
    values[0] = gFamily[c];
    for (int p = 0; p < kPoints; ++p) {
      gXs[p] = 5 + (1000 - 5) * (double)p / (kPoints - 1);
      values[1] = gXs[p];
      gYs[c][p] = Model(values);
    }
  }
  for (int i = 0; i < 11; ++i) values[i] = kParameters[i].value;
  char text[160];
  snprintf(text, sizeof text, "<span size=\"13312\" weight=\"bold\">Limiting magnitude: %.2f</span>", Model(values));
  gtk_label_set_markup(GTK_LABEL(gResult), text);
}

static void Text(GdkDrawable *d, GdkGC *gc, PangoLayout *layout, int x, int y, const char *text) {
  pango_layout_set_text(layout, text, -1);
  gdk_draw_layout(d, gc, x, y, layout);
}

static gboolean ChartExpose(GtkWidget *widget, GdkEventExpose *event, gpointer unused) {
  (void)event, (void)unused;
  static const guint32 kColours[kCurves] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd};
  GdkDrawable *d = widget->window;
  GdkGC *gc = gdk_gc_new(d);
  GdkColor colour;
  int w = widget->allocation.width, h = widget->allocation.height;
  int left = 56, top = 34, right = w - 200, bottom = h - 50;
  /* The application's chart text: 9 points, the titles bold. */
  PangoLayout *layout = gtk_widget_create_pango_layout(widget, "");
  PangoLayout *title = gtk_widget_create_pango_layout(widget, "");
  PangoFontDescription *font = pango_font_description_copy(widget->style->font_desc);
  pango_font_description_set_size(font, 9 * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
  pango_layout_set_font_description(title, font);
  pango_font_description_free(font);
  gdk_gc_set_rgb_fg_color(gc, &(GdkColor){0, 0xffff, 0xffff, 0xffff});
  gdk_draw_rectangle(d, gc, TRUE, 0, 0, w, h);
  gdk_gc_set_rgb_fg_color(gc, &(GdkColor){0, 0xf8f8, 0xf8f8, 0xf0f0});
  gdk_draw_rectangle(d, gc, TRUE, left, top, right - left, bottom - top);
  for (int i = 0; i <= 5; ++i) {
    char label[16];
    int x = left + (right - left) * i / 5, y = bottom - (bottom - top) * i / 5;
    gdk_gc_set_rgb_fg_color(gc, &(GdkColor){0, 0xdddd, 0xdddd, 0xdddd});
    gdk_draw_line(d, gc, x, top, x, bottom);
    gdk_draw_line(d, gc, left, y, right, y);
    gdk_gc_set_rgb_fg_color(gc, &(GdkColor){0, 0, 0, 0});
    snprintf(label, sizeof label, "%d", i * 200);
    Text(d, gc, layout, x - 10, bottom + 4, label);
    snprintf(label, sizeof label, "%d", 8 + 2 * i);
    Text(d, gc, layout, left - 24, y - 8, label);
  }
  gdk_gc_set_rgb_fg_color(gc, &(GdkColor){0, 0, 0, 0});
  gdk_draw_rectangle(d, gc, FALSE, left, top, right - left, bottom - top);
  Text(d, gc, title, 8, 8, "Limiting magnitude");
  Text(d, gc, title, (left + right) / 2 - 40, bottom + 24, "Magnification");
  for (int c = 0; c < kCurves; ++c) {
    GdkPoint points[kPoints];
    for (int p = 0; p < kPoints; ++p) {
      points[p].x = left + (int)((gXs[p] - 5) / (1000 - 5) * (right - left));
      double y = (gYs[c][p] - 8) / 10;
      points[p].y = bottom - (int)(fmin(fmax(y, 0), 1) * (bottom - top));
    }
    colour.red = (kColours[c] >> 16 & 0xff) * 257;
    colour.green = (kColours[c] >> 8 & 0xff) * 257;
    colour.blue = (kColours[c] & 0xff) * 257;
    gdk_gc_set_rgb_fg_color(gc, &colour);
    gdk_gc_set_line_attributes(gc, 2, GDK_LINE_SOLID, GDK_CAP_ROUND, GDK_JOIN_ROUND);
    gdk_draw_lines(d, gc, points, kPoints);
    gdk_draw_rectangle(d, gc, TRUE, right + 20, top + 22 + 18 * c, 16, 4);
    gdk_gc_set_rgb_fg_color(gc, &(GdkColor){0, 0, 0, 0});
    char label[16];
    snprintf(label, sizeof label, "%.0f", gFamily[c]);
    Text(d, gc, layout, right + 42, top + 14 + 18 * c, label);
  }
  gdk_gc_set_line_attributes(gc, 1, GDK_LINE_SOLID, GDK_CAP_BUTT, GDK_JOIN_MITER);
  Text(d, gc, title, right + 16, top, "Aperture (mm)");
  Text(d, gc, layout, right + 42, top + 14 + 18 * kCurves, "Current settings");
  gdk_draw_arc(d, gc, TRUE, left + 70, top + 150, 8, 8, 0, 360 * 64);
  g_object_unref(title);
  g_object_unref(layout);
  g_object_unref(gc);
  return TRUE;
}

/* The application's captions: the slider titles and values bold at the desktop size, the
 * minimum and maximum at 7 points, the menus' captions bold at 9. */
enum { kDesktopSize = 0, kSmallSize = 7, kMenuCaptionSize = 9 };

static GtkWidget *Label(const char *text, gboolean bold, int points) {
  GtkWidget *label = gtk_label_new(NULL);
  char *markup = points ? g_markup_printf_escaped("<span size=\"%d\" weight=\"%s\">%s</span>", points * PANGO_SCALE,
                                                  bold ? "bold" : "normal", text)
                        : g_markup_printf_escaped(bold ? "<b>%s</b>" : "%s", text);
  gtk_label_set_markup(GTK_LABEL(label), markup);
  g_free(markup);
  return label;
}

static GtkWidget *Slider(Parameter *p) {
  GtkWidget *fixed = gtk_fixed_new();
  char text[32];
  GtkWidget *scale = gtk_hscale_new_with_range(p->minimum, p->maximum, p->step);
  gtk_scale_set_draw_value(GTK_SCALE(scale), FALSE);
  gtk_range_set_value(GTK_RANGE(scale), p->value);
  gtk_widget_set_size_request(scale, 272, 20);
  gtk_fixed_put(GTK_FIXED(fixed), Label(p->title, TRUE, kDesktopSize), 0, 0);
  snprintf(text, sizeof text, p->format, p->value);
  gtk_fixed_put(GTK_FIXED(fixed), Label(text, TRUE, kDesktopSize), 240, 0);
  gtk_fixed_put(GTK_FIXED(fixed), scale, 0, 18);
  snprintf(text, sizeof text, p->format, p->minimum);
  gtk_fixed_put(GTK_FIXED(fixed), Label(text, FALSE, kSmallSize), 0, 40);
  snprintf(text, sizeof text, p->format, p->maximum);
  gtk_fixed_put(GTK_FIXED(fixed), Label(text, FALSE, kSmallSize), 248, 40);
  return fixed;
}

static GtkWidget *Menu(void) {
  GtkWidget *combo = gtk_combo_box_new_text();
  gtk_combo_box_append_text(GTK_COMBO_BOX(combo), "None");
  for (int i = 0; i < 11; ++i) gtk_combo_box_append_text(GTK_COMBO_BOX(combo), kParameters[i].title);
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), 2);
  gtk_widget_set_size_request(combo, 214, 26);
  return combo;
}

int main(int argc, char **argv) {
  gtk_set_locale();
  gtk_init(&argc, &argv);
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "Telescope Limiting Magnitude");
  gtk_window_set_default_size(GTK_WINDOW(window), 932, 800);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
  GtkWidget *fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window), fixed);
  GtkWidget *groups[3];
  for (int g = 0; g < 3; ++g) {
    GtkWidget *frame = gtk_frame_new(kGroups[g]);
    groups[g] = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(frame), groups[g]);
    gtk_widget_set_size_request(frame, 296, 270);
    gtk_fixed_put(GTK_FIXED(fixed), frame, 12 + 306 * g, 8);
  }
  for (int i = 0; i < 11; ++i) gtk_fixed_put(GTK_FIXED(groups[kGroupOf[i]]), Slider(&kParameters[i]), 8, 4 + 60 * kRowOf[i]);
  gResult = gtk_label_new(NULL);
  gtk_fixed_put(GTK_FIXED(fixed), gResult, 12, 292);
  gtk_fixed_put(GTK_FIXED(fixed), Label("X-Axis", TRUE, kMenuCaptionSize), 362, 296);
  gtk_fixed_put(GTK_FIXED(fixed), Menu(), 412, 290);
  gtk_fixed_put(GTK_FIXED(fixed), Label("Curves", TRUE, kMenuCaptionSize), 652, 296);
  gtk_fixed_put(GTK_FIXED(fixed), Menu(), 706, 290);
  GtkWidget *chart = gtk_drawing_area_new();
  gtk_widget_set_size_request(chart, 908, 458);
  g_signal_connect(chart, "expose-event", G_CALLBACK(ChartExpose), NULL);
  gtk_fixed_put(GTK_FIXED(fixed), chart, 12, 330);
  Compute();
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
