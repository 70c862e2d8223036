// The print layer's dialog: a GTK dialog with Cancel and Print, the number of copies and a
// page range. Copies chosen are written into the job's configuration when the user prints.
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "graphics/print_layer_model.h"

namespace vorn::print_layer {

namespace {

constexpr char kJobKey[] = "vorn-print-job";
constexpr char kCopiesKey[] = "vorn-print-copies";
constexpr char kRangeChoiceKey[] = "vorn-print-range-choice";
constexpr char kFromKey[] = "vorn-print-from";
constexpr char kToKey[] = "vorn-print-to";

const char* Text(PrintText text) { return text ? reinterpret_cast<const char*>(text) : ""; }

GtkWidget* Content(GtkWidget* dialog) { return GTK_DIALOG(dialog)->vbox; }

GtkWidget* Spin(int low, int high, int value) {
  GtkWidget* spin = gtk_spin_button_new_with_range(low, high, 1);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), value);
  gtk_entry_set_activates_default(GTK_ENTRY(spin), TRUE);
  return spin;
}

int SpinValue(GtkWidget* dialog, const char* key) {
  auto* spin = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(dialog), key));
  return spin ? gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(spin)) : 0;
}

void OnResponse(GtkDialog* dialog, gint response, gpointer) {
  if (response != GTK_RESPONSE_OK) return;
  auto* job = JobOf(g_object_get_data(G_OBJECT(dialog), kJobKey));
  Config* config = job ? ConfigOf(job->config) : nullptr;
  if (config && g_object_get_data(G_OBJECT(dialog), kCopiesKey)) {
    config->values[kPrintKeyCopies] = std::to_string(SpinValue(GTK_WIDGET(dialog), kCopiesKey));
  }
}

}  // namespace

_GtkWidget* DialogNew(PrintJob* job, PrintText title, int flags) {
  if (!JobOf(job)) return nullptr;
  GtkWidget* dialog = gtk_dialog_new_with_buttons(Text(title), nullptr, GTK_DIALOG_NO_SEPARATOR, GTK_STOCK_CANCEL,
                                                  GTK_RESPONSE_CANCEL, GTK_STOCK_PRINT, GTK_RESPONSE_OK, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  DialogConstruct(dialog, job, flags);
  return dialog;
}

void DialogConstruct(_GtkWidget* dialog, PrintJob* job, int flags) {
  if (!GTK_IS_DIALOG(dialog) || !JobOf(job)) return;
  g_object_set_data_full(G_OBJECT(dialog), kJobKey, g_object_ref(job), g_object_unref);
  g_signal_connect(dialog, "response", G_CALLBACK(OnResponse), nullptr);
  if (flags & kPrintDialogCopies) {
    int copies = 1;
    const Config* config = ConfigOf(JobOf(job)->config);
    copies = std::max(1, std::atoi(Setting(config, kPrintKeyCopies).c_str()));
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    GtkWidget* spin = Spin(1, 999, copies);
    gtk_box_pack_start(GTK_BOX(row), gtk_label_new("Copies:"), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), spin, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(Content(dialog)), row, FALSE, FALSE, 6);
    g_object_set_data(G_OBJECT(dialog), kCopiesKey, spin);
  }
  gtk_widget_show_all(Content(dialog));
}

void DialogConstructRangePage(_GtkWidget* dialog, int flags, int start, int end, PrintText currentLabel,
                              PrintText rangeLabel) {
  if (!GTK_IS_DIALOG(dialog) || end < start) return;
  GtkWidget* frame = gtk_frame_new(Text(rangeLabel));
  GtkWidget* column = gtk_vbox_new(FALSE, 4);
  gtk_container_add(GTK_CONTAINER(frame), column);
  GtkWidget* whole = gtk_radio_button_new_with_label(nullptr, Text(currentLabel));
  gtk_box_pack_start(GTK_BOX(column), whole, FALSE, FALSE, 0);
  if (flags & kPrintRangeRange) {
    GtkWidget* row = gtk_hbox_new(FALSE, 6);
    GtkWidget* choice = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(whole), "From:");
    GtkWidget* from = Spin(start, end, start);
    GtkWidget* to = Spin(start, end, end);
    gtk_box_pack_start(GTK_BOX(row), choice, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), from, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), gtk_label_new("to:"), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), to, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), row, FALSE, FALSE, 0);
    g_object_set_data(G_OBJECT(dialog), kRangeChoiceKey, choice);
    g_object_set_data(G_OBJECT(dialog), kFromKey, from);
    g_object_set_data(G_OBJECT(dialog), kToKey, to);
  }
  gtk_box_pack_start(GTK_BOX(Content(dialog)), frame, FALSE, FALSE, 6);
  gtk_widget_show_all(frame);
}

unsigned long DialogGetType() { return GTK_TYPE_DIALOG; }

int DialogGetRangePage(_GtkWidget* dialog, int* start, int* end) {
  if (!GTK_IS_DIALOG(dialog) || !start || !end) return 0;
  auto* choice = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(dialog), kRangeChoiceKey));
  if (!choice || !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(choice))) {
    *start = 0;
    *end = 0;
    return 0;
  }
  *start = SpinValue(dialog, kFromKey);
  *end = SpinValue(dialog, kToKey);
  return kPrintRangeRange;
}

}  // namespace vorn::print_layer
