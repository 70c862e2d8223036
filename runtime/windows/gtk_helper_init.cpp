// Start-up of the GTK helper layer: the text direction, reading the desktop font, the theme's
// colours and the key snooper.
#include <gtk/gtk.h>

#include <charconv>

#include "objects/exceptions.h"
#include "windows/gtk_helper.h"
#include "windows/pane_disposal.h"

namespace vorn {

namespace {

SystemColor sSystemColors[kSystemColorCount];

gint HandleKeySnoop(GtkWidget*, GdkEventKey* event, gpointer) {
  if (event->type == GDK_KEY_PRESS) {
    NoteKeyPressed(event->hardware_keycode, event->keyval);
  } else {
    NoteKeyReleased(event->hardware_keycode);
  }
  return FALSE;
}

SystemColor FromGdk(const GdkColor& c) { return SystemColor{c.red, c.green, c.blue}; }

}  // namespace

FontSetting ParseFontSetting(std::string_view setting) {
  auto trim = [](std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
  };
  std::string_view text = trim(setting);
  FontSetting result{text, 0};
  // As Pango reads it: the size is the last word when that word is a number.
  size_t blank = text.find_last_of(" \t");
  std::string_view last = blank == std::string_view::npos ? text : text.substr(blank + 1);
  double size = 0;
  auto [end, error] = std::from_chars(last.data(), last.data() + last.size(), size);
  if (!last.empty() && error == std::errc() && end == last.data() + last.size() && size > 0) {
    result.family = blank == std::string_view::npos ? std::string_view() : trim(text.substr(0, blank));
    result.size = size > 1000 ? 1000 : static_cast<int32_t>(size + 0.5);
  }
  if (result.family.empty()) result.family = "Sans";
  if (result.size <= 0) result.size = 10;
  return result;
}

void InitGTKHelper() {
  // Controls stand where their left and top say and their texts align as the program asks, so a
  // desktop written right to left must not mirror them: GTK would move a left-aligned title to the
  // right of its box, into the value beside it, turn sliders round and put a minus sign after its
  // number.
  gtk_widget_set_default_direction(GTK_TEXT_DIR_LTR);

  GtkSettings* settings = gtk_settings_get_default();
  gchar* fontName = nullptr;
  if (settings) g_object_get(settings, "gtk-font-name", &fontName, nullptr);
  FontSetting font = ParseFontSetting(fontName ? fontName : "");
  SetDefaultFont(string(font.family, kEncodingUTF8), font.size);
  g_free(fontName);

  gtk_key_snooper_install(HandleKeySnoop, nullptr);
  InstallDispatchTracking();

  GtkStyle* style = settings ? gtk_rc_get_style_by_paths(settings, "GtkWidget", "GtkWidget",
                                                         gtk_widget_get_type())
                             : nullptr;
  // Without a theme rc style the built-in default style still has sensible colours.
  if (!style) style = gtk_widget_get_default_style();
  if (style) {
    sSystemColors[0] = FromGdk(style->bg[GTK_STATE_SELECTED]);
    sSystemColors[1] = FromGdk(style->dark[GTK_STATE_NORMAL]);
    sSystemColors[2] = FromGdk(style->bg[GTK_STATE_NORMAL]);
    sSystemColors[3] = FromGdk(style->text[GTK_STATE_NORMAL]);
    sSystemColors[4] = FromGdk(style->base[GTK_STATE_NORMAL]);
    sSystemColors[5] = FromGdk(style->bg[GTK_STATE_ACTIVE]);
    sSystemColors[6] = FromGdk(style->fg[GTK_STATE_INSENSITIVE]);
  }
}

bool RefuseWithoutDisplay() {
  if (gdk_display_get_default()) return false;
  RuntimeRaiseExceptionWithMessage(GetRuntimeExceptionClassDefinition(),
                                   string("There is no display to show a window on"));
  return true;
}

SystemColor GetSystemColor(int32_t index) {
  if (index < 0 || index >= kSystemColorCount) return SystemColor{};
  return sSystemColors[index];
}

}  // namespace vorn
