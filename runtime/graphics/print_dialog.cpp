// The print layer's dialogs are GTK's own: the print dialog, with the job's page setup, the
// printers GTK finds, copies and a page range; and the page setup dialog of PrinterSetup.
// What the user accepts goes into the job: the printer and its settings, the page setup's
// lengths, the printer's resolution and the copies.
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "graphics/print_layer.h"
#include "graphics/print_layer_model.h"

namespace vorn::print_layer {

namespace {

constexpr char kJobKey[] = "vorn-print-job";
constexpr char kFromKey[] = "vorn-print-from";
constexpr char kToKey[] = "vorn-print-to";

const char* Text(PrintText text) { return text ? reinterpret_cast<const char*>(text) : ""; }

void Replace(GObject** slot, gpointer object) {
  if (*slot) g_object_unref(*slot);
  *slot = object ? G_OBJECT(object) : nullptr;
}

// The first range chosen, counted from 1 as the job's pages are; none for all pages.
void KeepRange(GtkDialog* dialog, GtkPrintSettings* settings) {
  int from = 0, to = 0;
  gint count = 0;
  GtkPageRange* ranges = gtk_print_settings_get_print_pages(settings) == GTK_PRINT_PAGES_RANGES
                             ? gtk_print_settings_get_page_ranges(settings, &count)
                             : nullptr;
  if (ranges && count > 0) {
    from = ranges[0].start + 1;
    to = std::max(ranges[0].end, ranges[0].start) + 1;
  }
  g_free(ranges);
  g_object_set_data(G_OBJECT(dialog), kFromKey, GINT_TO_POINTER(from));
  g_object_set_data(G_OBJECT(dialog), kToKey, GINT_TO_POINTER(to));
}

void OnResponse(GtkDialog* dialog, gint response, gpointer) {
  if (response != GTK_RESPONSE_OK) return;
  Job* job = JobOf(g_object_get_data(G_OBJECT(dialog), kJobKey));
  Config* config = job ? ConfigOf(job->config) : nullptr;
  if (!config) return;
  GtkPrintUnixDialog* print = GTK_PRINT_UNIX_DIALOG(dialog);
  GtkPrintSettings* settings = gtk_print_unix_dialog_get_settings(print);
  GtkPrinter* printer = gtk_print_unix_dialog_get_selected_printer(print);
  Replace(&job->printer, printer ? g_object_ref(printer) : nullptr);
  Replace(&job->settings, settings);
  ConfigFromPageSetup(config, G_OBJECT(gtk_print_unix_dialog_get_page_setup(print)));
  const int dpiX = gtk_print_settings_get_resolution_x(settings);
  const int dpiY = gtk_print_settings_get_resolution_y(settings);
  if (dpiX > 0) config->values[kPrintKeyDpiX] = std::to_string(dpiX);
  if (dpiY > 0) config->values[kPrintKeyDpiY] = std::to_string(dpiY);
  config->values[kPrintKeyCopies] = std::to_string(std::max(1, gtk_print_settings_get_n_copies(settings)));
  KeepRange(dialog, settings);
}

}  // namespace

_GtkWidget* DialogNew(PrintJob* job, PrintText title, int flags) {
  if (!JobOf(job)) return nullptr;
  GtkWidget* dialog = gtk_print_unix_dialog_new(Text(title), nullptr);
  DialogConstruct(dialog, job, flags);
  return dialog;
}

void DialogConstruct(_GtkWidget* dialog, PrintJob* handle, int flags) {
  Job* job = JobOf(handle);
  if (!GTK_IS_PRINT_UNIX_DIALOG(dialog) || !job) return;
  const Config* config = ConfigOf(job->config);
  GtkPrintUnixDialog* print = GTK_PRINT_UNIX_DIALOG(dialog);
  g_object_set_data_full(G_OBJECT(dialog), kJobKey, g_object_ref(handle), g_object_unref);
  g_signal_connect(dialog, "response", G_CALLBACK(OnResponse), nullptr);
  // No preview: the pages do not exist before the dialog answers.
  gtk_print_unix_dialog_set_manual_capabilities(
      print, static_cast<GtkPrintCapabilities>(GTK_PRINT_CAPABILITY_GENERATE_PDF |
                                               ((flags & kPrintDialogCopies) ? GTK_PRINT_CAPABILITY_COPIES : 0)));
  GtkPrintSettings* settings = job->settings ? gtk_print_settings_copy(GTK_PRINT_SETTINGS(job->settings))
                                             : gtk_print_settings_new();
  gtk_print_settings_set_n_copies(settings, std::max(1, std::atoi(Setting(config, kPrintKeyCopies).c_str())));
  // "Print to File" offers a name no file has yet; the job makes it afresh if it is taken by then.
  job->offeredOutput = FreeOutputName(Setting(config, kPrintKeyOutputFile));
  if (!job->offeredOutput.empty()) {
    gchar* uri = g_filename_to_uri(job->offeredOutput.c_str(), nullptr, nullptr);
    if (uri) gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
    g_free(uri);
  }
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
  gtk_print_unix_dialog_set_settings(print, settings);
  g_object_unref(settings);
  if (config) {
    GObject* setup = PageSetupFromConfig(*config);
    gtk_print_unix_dialog_set_page_setup(print, GTK_PAGE_SETUP(setup));
    g_object_unref(setup);
  }
}

void DialogConstructRangePage(_GtkWidget*, int, int, int, PrintText, PrintText) {
  // GTK's dialog has its page range (all, or from and to) of its own.
}

unsigned long DialogGetType() { return GTK_TYPE_PRINT_UNIX_DIALOG; }

int DialogGetRangePage(_GtkWidget* dialog, int* start, int* end) {
  if (!GTK_IS_PRINT_UNIX_DIALOG(dialog) || !start || !end) return 0;
  *start = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(dialog), kFromKey));
  *end = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(dialog), kToKey));
  return *start == 0 && *end == 0 ? 0 : kPrintRangeRange;
}

}  // namespace vorn::print_layer

namespace vorn {

bool RunPageSetupDialog(PrintConfig* handle) {
  print_layer::Config* config = print_layer::ConfigOf(handle);
  // Without a display there is nobody to ask.
  if (!config || !gdk_display_get_default()) return false;
  GtkWidget* dialog = gtk_page_setup_unix_dialog_new("Page Setup", nullptr);
  GObject* setup = print_layer::PageSetupFromConfig(*config);
  gtk_page_setup_unix_dialog_set_page_setup(GTK_PAGE_SETUP_UNIX_DIALOG(dialog), GTK_PAGE_SETUP(setup));
  g_object_unref(setup);
  const bool accepted = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK;
  if (accepted) {
    print_layer::ConfigFromPageSetup(
        config, G_OBJECT(gtk_page_setup_unix_dialog_get_page_setup(GTK_PAGE_SETUP_UNIX_DIALOG(dialog))));
  }
  gtk_widget_destroy(dialog);
  return accepted;
}

}  // namespace vorn
