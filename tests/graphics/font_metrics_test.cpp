#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include "graphics/gtk_fonts.h"

namespace vorn {
namespace {

// The short way to a font's ascent and descent must give Pango's own figures for every font a
// port can ask for: hinted or not, upright, slanted, bold, tiny, large, and sideways text.
TEST(FontAscentDescentTest, MatchesPangosMetricsForEveryKindOfFont) {
  struct Case {
    const char* description;
    cairo_hint_metrics_t hinting;
    PangoGravity gravity;
  };
  const Case cases[] = {
      {"Sans 9", CAIRO_HINT_METRICS_ON, PANGO_GRAVITY_SOUTH},
      {"Serif Italic 13", CAIRO_HINT_METRICS_ON, PANGO_GRAVITY_SOUTH},
      {"Monospace Bold Italic 20", CAIRO_HINT_METRICS_DEFAULT, PANGO_GRAVITY_AUTO},
      {"Sans 1", CAIRO_HINT_METRICS_ON, PANGO_GRAVITY_SOUTH},
      {"Sans 96", CAIRO_HINT_METRICS_ON, PANGO_GRAVITY_SOUTH},
      {"Sans 11", CAIRO_HINT_METRICS_OFF, PANGO_GRAVITY_SOUTH},
      {"Serif 11", CAIRO_HINT_METRICS_ON, PANGO_GRAVITY_EAST},
  };
  PangoFontMap* map = pango_cairo_font_map_get_default();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.description) + " hinting " + std::to_string(c.hinting) + " gravity " +
                 std::to_string(c.gravity));
    PangoContext* context = pango_font_map_create_context(map);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, c.hinting);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_base_gravity(context, c.gravity);
    PangoFontDescription* description = pango_font_description_from_string(c.description);
    PangoFont* font = pango_context_load_font(context, description);
    ASSERT_NE(font, nullptr);
    int32_t ascent = -1, descent = -1;
    GetFontAscentDescent(font, &ascent, &descent);
    PangoFontMetrics* metrics = pango_font_get_metrics(font, nullptr);
    EXPECT_EQ(ascent, pango_font_metrics_get_ascent(metrics));
    EXPECT_EQ(descent, pango_font_metrics_get_descent(metrics));
    pango_font_metrics_unref(metrics);
    g_object_unref(font);
    pango_font_description_free(description);
    g_object_unref(context);
  }
}

}  // namespace
}  // namespace vorn
