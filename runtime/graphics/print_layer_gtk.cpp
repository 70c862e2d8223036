// The print layer's way to the desktop's printers: a closed job's pages are drawn on the
// surface of a GtkPrintJob for the printer chosen (or the default one) and sent through
// whatever backend GTK has for it: CUPS, the file backend of "Print to File", lpr.
#include <fcntl.h>
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "graphics/print_layer.h"
#include "graphics/print_layer_model.h"
#include "strings/c_number_text.h"

namespace vorn::print_layer {

namespace {

constexpr int kMostOtherNames = 9999;
constexpr guint kPrinterWaitMilliseconds = 2000;
constexpr guint kSendWaitMilliseconds = 60000;
constexpr char kLandscape[] = "R90";

// The name with -n before its extension (n > 1), or the name itself.
std::string Numbered(const std::string& requested, int n) {
  if (n < 2) return requested;
  const size_t slash = requested.rfind('/');
  size_t dot = requested.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == slash + 1) {
    dot = requested.size();
  }
  return requested.substr(0, dot) + "-" + std::to_string(n) + requested.substr(dot);
}

bool IsFilePrinter(GtkPrinter* printer) {
  GtkPrintBackend* backend = gtk_printer_get_backend(printer);
  return backend && std::strcmp(G_OBJECT_TYPE_NAME(backend), "GtkPrintBackendFile") == 0;
}

// A printer search outlives the wait for it when a backend never finishes its list (CUPS with
// no server keeps asking): whichever of the two ends last frees it.
struct PrinterSearch {
  std::string wanted;  // empty: the default printer
  int holders = 2;
  bool abandoned = false;
  bool done = false;
  bool queues = false;           // a printer other than "Print to File" was seen
  GtkPrinter* chosen = nullptr;  // one reference
  GtkPrinter* file = nullptr;    // one reference
};

void LetGo(PrinterSearch* search) {
  if (--search->holders > 0) return;
  if (search->chosen) g_object_unref(search->chosen);
  if (search->file) g_object_unref(search->file);
  delete search;
}

gboolean TakePrinter(GtkPrinter* printer, gpointer data) {
  auto* search = static_cast<PrinterSearch*>(data);
  if (search->abandoned) return TRUE;
  const bool wanted = search->wanted.empty() ? gtk_printer_is_default(printer)
                                             : search->wanted == gtk_printer_get_name(printer);
  if (!search->chosen && wanted) search->chosen = GTK_PRINTER(g_object_ref(printer));
  if (!search->file && IsFilePrinter(printer)) search->file = GTK_PRINTER(g_object_ref(printer));
  if (!IsFilePrinter(printer)) search->queues = true;
  return search->chosen != nullptr;
}

void SearchEnded(gpointer data) {
  auto* search = static_cast<PrinterSearch*>(data);
  search->done = true;
  LetGo(search);
}

gboolean WakeUp(gpointer flag) {
  *static_cast<bool*>(flag) = true;
  return FALSE;
}

// The printer of that name as its print system sees it now, or (for an empty name) the
// default printer. Without a default, "Print to File" where there is no print system, and nil
// where its queues name none of them the default (*noDefault says so): a job meant for the
// default printer must not end in a file unasked. Nil when GTK has no printer at all. A print
// system that has not named the printer within the wait has none to offer.
GtkPrinter* FindPrinter(const std::string& name, bool* noDefault) {
  auto* search = new PrinterSearch();
  search->wanted = name;
  gtk_enumerate_printers(&TakePrinter, search, &SearchEnded, FALSE);
  bool late = false;
  const guint timer = g_timeout_add(kPrinterWaitMilliseconds, &WakeUp, &late);
  while (!search->done && !search->chosen && !late) g_main_context_iteration(nullptr, TRUE);
  if (!late) g_source_remove(timer);
  const bool queuesWithoutDefault = name.empty() && !search->chosen && search->queues;
  *noDefault = queuesWithoutDefault;
  GtkPrinter* printer = search->chosen ? search->chosen : name.empty() && !queuesWithoutDefault ? search->file : nullptr;
  if (printer) g_object_ref(printer);
  search->abandoned = true;
  LetGo(search);
  return printer;
}

// Like a printer search, a sending outlives the wait for it when the backend never answers.
struct Sending {
  int holders = 2;
  bool done = false;
  std::string error;
};

void LetGo(Sending* sending) {
  if (--sending->holders == 0) delete sending;
}

void OnSent(GtkPrintJob*, gpointer data, GError* error) {
  auto* sending = static_cast<Sending*>(data);
  if (error) sending->error = error->message ? error->message : "the printer failed";
  sending->done = true;
}

std::string PathOfUri(const char* uri) {
  if (!uri || !*uri) return std::string();
  gchar* path = g_filename_from_uri(uri, nullptr, nullptr);
  std::string result = path ? path : "";
  g_free(path);
  return result;
}

// The file "Print to File" writes: one the user named in the dialog stands; one the runtime
// picks is made afresh. Empty when it cannot be made.
std::string PrepareFileOutput(const Job& job, const Config& config, GtkPrintSettings* settings, bool* fresh) {
  std::string path = PathOfUri(gtk_print_settings_get(settings, GTK_PRINT_SETTINGS_OUTPUT_URI));
  *fresh = false;
  if (!path.empty() && path != job.offeredOutput) return path;
  path = FreshOutputFile(path.empty() ? Setting(&config, kPrintKeyOutputFile) : path);
  if (path.empty()) return path;
  *fresh = true;
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
  g_free(uri);
  return path;
}

// Draws the pages on the job's surface and hands it to the backend, waiting for its answer.
bool DrawAndSend(GtkPrintJob* printJob, const Context& context, const Config& config, std::string* error) {
  GError* failure = nullptr;
  cairo_surface_t* surface = gtk_print_job_get_surface(printJob, &failure);
  if (!surface) {
    *error = failure && failure->message ? failure->message : "the printer takes no pages";
    if (failure) g_error_free(failure);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  DrawPages(cr, context, config);
  const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  if (!drawn || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    *error = "the pages could not be written for the printer";
    return false;
  }
  auto* sending = new Sending();
  gtk_print_job_send(printJob, &OnSent, sending, [](gpointer data) { LetGo(static_cast<Sending*>(data)); });
  bool late = false;
  const guint timer = g_timeout_add(kSendWaitMilliseconds, &WakeUp, &late);
  while (!sending->done && !late) g_main_context_iteration(nullptr, TRUE);
  if (!late) g_source_remove(timer);
  *error = sending->done ? sending->error : "the printer did not answer";
  const bool sent = sending->done && sending->error.empty();
  LetGo(sending);
  return sent;
}

}  // namespace

std::string FreeOutputName(const std::string& requested) {
  if (requested.empty()) return requested;
  struct stat info;
  for (int n = 1; n <= kMostOtherNames; ++n) {
    const std::string name = Numbered(requested, n);
    if (lstat(name.c_str(), &info) != 0 && errno == ENOENT) return name;
  }
  return std::string();
}

std::string FreshOutputFile(const std::string& requested) {
  if (requested.empty()) return requested;
  for (int n = 1; n <= kMostOtherNames; ++n) {
    const std::string name = Numbered(requested, n);
    // O_EXCL: an existing file or a link planted at the name is never opened.
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return name;
    }
    if (errno != EEXIST) break;
  }
  return std::string();
}

GObject* PageSetupFromConfig(const Config& config) {
  const bool landscape = Setting(&config, kPrintKeyOrientation) == kLandscape;
  double width = Points(config, kPrintKeyPaperWidth, 612);
  double height = Points(config, kPrintKeyPaperHeight, 792);
  if (landscape) std::swap(width, height);
  GtkPaperSize* paper = nullptr;
  const std::string name = Setting(&config, kPrintKeyPaperName);
  if (!name.empty()) {
    paper = gtk_paper_size_new(name.c_str());
    // A named paper only where it is the size configured.
    if (std::fabs(gtk_paper_size_get_width(paper, GTK_UNIT_POINTS) - width) > 0.5 ||
        std::fabs(gtk_paper_size_get_height(paper, GTK_UNIT_POINTS) - height) > 0.5) {
      gtk_paper_size_free(paper);
      paper = nullptr;
    }
  }
  if (!paper) paper = gtk_paper_size_new_custom("custom", "Custom", width, height, GTK_UNIT_POINTS);
  GtkPageSetup* setup = gtk_page_setup_new();
  gtk_page_setup_set_orientation(setup, landscape ? GTK_PAGE_ORIENTATION_LANDSCAPE : GTK_PAGE_ORIENTATION_PORTRAIT);
  gtk_page_setup_set_paper_size(setup, paper);
  gtk_paper_size_free(paper);
  gtk_page_setup_set_left_margin(setup, Points(config, kPrintKeyMarginLeft, 0), GTK_UNIT_POINTS);
  gtk_page_setup_set_top_margin(setup, Points(config, kPrintKeyMarginTop, 0), GTK_UNIT_POINTS);
  gtk_page_setup_set_right_margin(setup, Points(config, kPrintKeyMarginRight, 0), GTK_UNIT_POINTS);
  gtk_page_setup_set_bottom_margin(setup, Points(config, kPrintKeyMarginBottom, 0), GTK_UNIT_POINTS);
  return G_OBJECT(setup);
}

void ConfigFromPageSetup(Config* config, GObject* pageSetup) {
  if (!config || !GTK_IS_PAGE_SETUP(pageSetup)) return;
  GtkPageSetup* setup = GTK_PAGE_SETUP(pageSetup);
  const auto points = [](double value) { return WriteCNumber(value, 'f', 6) + "pt"; };
  auto& values = config->values;
  values[kPrintKeyPaperWidth] = points(gtk_page_setup_get_paper_width(setup, GTK_UNIT_POINTS));
  values[kPrintKeyPaperHeight] = points(gtk_page_setup_get_paper_height(setup, GTK_UNIT_POINTS));
  values[kPrintKeyMarginLeft] = points(gtk_page_setup_get_left_margin(setup, GTK_UNIT_POINTS));
  values[kPrintKeyMarginTop] = points(gtk_page_setup_get_top_margin(setup, GTK_UNIT_POINTS));
  values[kPrintKeyMarginRight] = points(gtk_page_setup_get_right_margin(setup, GTK_UNIT_POINTS));
  values[kPrintKeyMarginBottom] = points(gtk_page_setup_get_bottom_margin(setup, GTK_UNIT_POINTS));
  const GtkPageOrientation orientation = gtk_page_setup_get_orientation(setup);
  values[kPrintKeyOrientation] =
      orientation == GTK_PAGE_ORIENTATION_LANDSCAPE || orientation == GTK_PAGE_ORIENTATION_REVERSE_LANDSCAPE
          ? kLandscape
          : "R0";
  GtkPaperSize* paper = gtk_page_setup_get_paper_size(setup);
  values[kPrintKeyPaperName] = paper && !gtk_paper_size_is_custom(paper) ? gtk_paper_size_get_name(paper) : "";
}

void TakeDefaultPrinter(Job& job) {
  // Without a display GTK looks for no printers; the job is sent by the rules of no printer.
  if (job.printer || job.noDefaultPrinter || !gdk_display_get_default()) return;
  job.printer = reinterpret_cast<GObject*>(FindPrinter("", &job.noDefaultPrinter));
}

bool SendJob(Job& job, std::string* error) {
  Config* config = ConfigOf(job.config);
  const Context* context = ContextOf(job.context);
  if (!config || !context || context->pages.empty()) {
    *error = "the job has no pages";
    return false;
  }
  // The job's printer (chosen in the dialog, or the default one when the drawing began) as it
  // is now: one that is gone or takes no jobs must fail the job here, because GTK's backend
  // reports a queue's refusal as success.
  const std::string chosen = job.printer ? gtk_printer_get_name(GTK_PRINTER(job.printer)) : "";
  bool noDefault = job.noDefaultPrinter;
  GtkPrinter* printer = noDefault ? nullptr : FindPrinter(chosen, &noDefault);
  if (noDefault) {
    *error = "the print system names no default printer";
    return false;
  }
  if ((!chosen.empty() && !printer) || (printer && !gtk_printer_is_accepting_jobs(printer))) {
    const std::string name = printer ? gtk_printer_get_name(printer) : chosen;
    *error = "the printer \"" + name + (printer ? "\" takes no jobs" : "\" is gone");
    if (printer) g_object_unref(printer);
    return false;
  }
  if (!printer) {
    // No print system at all: the PDF file "Print to File" would have written.
    const std::string path = FreshOutputFile(Setting(config, kPrintKeyOutputFile));
    if (!path.empty() && WritePdf(*context, *config, path)) return true;
    if (!path.empty()) std::remove(path.c_str());
    *error = "the output file could not be written";
    return false;
  }
  GtkPrintSettings* settings =
      job.settings ? gtk_print_settings_copy(GTK_PRINT_SETTINGS(job.settings)) : gtk_print_settings_new();
  std::string output;
  bool fresh = false;
  bool sent = false;
  if (IsFilePrinter(printer)) {
    output = PrepareFileOutput(job, *config, settings, &fresh);
    if (output.empty()) *error = "the output file could not be made";
  }
  if (!IsFilePrinter(printer) || !output.empty()) {
    const int copies = std::atoi(Setting(config, kPrintKeyCopies).c_str());
    gtk_print_settings_set_n_copies(settings, copies > 0 ? copies : 1);
    GObject* pageSetup = PageSetupFromConfig(*config);
    GtkPrintJob* printJob = gtk_print_job_new("vorn", printer, settings, GTK_PAGE_SETUP(pageSetup));
    sent = DrawAndSend(printJob, *context, *config, error);
    g_object_unref(printJob);
    g_object_unref(pageSetup);
  }
  // A file made for this job that the job never filled is no output.
  if (!sent && fresh) std::remove(output.c_str());
  g_object_unref(settings);
  g_object_unref(printer);
  return sent;
}

}  // namespace vorn::print_layer
