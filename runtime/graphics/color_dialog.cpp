#include <gtk/gtk.h>

#include "graphics/colors.h"
#include "strings/vstring.h"

extern "C" uint8_t selectColor(uint32_t* color, VornStringRecord* prompt) {
  const vorn::string title = vorn::string::Share(prompt).ToUTF8();
  GtkWidget* dialog = gtk_color_selection_dialog_new(title.CString());
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  uint8_t chosen = 0;
  if (response == GTK_RESPONSE_OK && color) {
    GtkWidget* selection =
        gtk_color_selection_dialog_get_color_selection(GTK_COLOR_SELECTION_DIALOG(dialog));
    GdkColor picked;
    gtk_color_selection_get_current_color(GTK_COLOR_SELECTION(selection), &picked);
    *color = (static_cast<uint32_t>(picked.red / 257) << 16) +
             (static_cast<uint32_t>(picked.green / 257) << 8) + picked.blue / 257;
    chosen = 1;
  }
  gtk_widget_destroy(dialog);
  return chosen;
}
