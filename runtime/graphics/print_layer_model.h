// What the print layer keeps for a job: its configuration, the pages recorded by its context,
// and the GObject handles they are given out as.
#pragma once

#include <cairo.h>
#include <glib-object.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/print_library.h"

namespace vorn::print_layer {

using Matrix = std::array<double, 6>;  // (a, b, c, d, e, f): x' = a x + c y + e, y' = b x + d y + f
constexpr Matrix kIdentity = {1, 0, 0, 1, 0, 0};

struct Config {
  std::map<std::string, std::string> values;
};

struct Mark {
  enum Kind { kImage, kText, kRect, kLine } kind = kImage;
  Matrix transform = kIdentity;
  double x = 0, y = 0, width = 0, height = 0;  // rectangles and lines (x1 = width, y1 = height)
  // Images: kept as the surface the page is drawn from, so that a job's pages are converted
  // once and nothing copies them again until the printer's surface is finished.
  std::shared_ptr<cairo_surface_t> image;
  int32_t columns = 0, rows = 0;
  std::string text;
};

struct Page {
  std::string name;
  std::vector<Mark> marks;
};

struct Context {
  std::vector<Page> pages;
  bool pageOpen = false;
  Matrix transform = kIdentity;
  std::vector<Matrix> saved;
  double penX = 0, penY = 0;
};

struct Job {
  GObject* config = nullptr;   // one reference each
  GObject* context = nullptr;
  // What the print dialog chose (GtkPrinter, GtkPrintSettings). Without a dialog, the default
  // printer as its drawing begins (TakeDefaultPrinter); nil: GTK has none at all, or none is
  // the default (noDefaultPrinter).
  GObject* printer = nullptr;
  bool noDefaultPrinter = false;  // the print system had queues but no default: the job fails
  GObject* settings = nullptr;
  // The output file the dialog offered: one the runtime picked, so it is made afresh.
  std::string offeredOutput;
  bool closed = false;
  ~Job();
};

// A new GObject holding `data` (deleted with the object); one reference for the caller.
GObject* Wrap(Config* data);
GObject* Wrap(Context* data);
GObject* Wrap(Job* data);
// What the handle holds, nil for nil or for a handle of another kind.
Config* ConfigOf(const void* handle);
Context* ContextOf(const void* handle);
Job* JobOf(const void* handle);

// The value of the key in the configuration, or in the defaults for a nil one; empty when
// unset.
std::string Setting(const Config* config, const std::string& key);
Config* NewDefaultConfig();
// A length: a number and a unit ("pt" when none is given); false for other text.
bool ParseLength(const std::string& text, double* value, const PrintUnit** unit);

// An RGB24 image surface holding the pixels (rows of 3-byte pixels); nil when none can be made.
std::shared_ptr<cairo_surface_t> ImageFromRgb(const unsigned char* pixels, int width, int height, int rowStride);
// A configured length in points; `fallback` when it is missing or not above 0.
double Points(const Config& config, const char* key, double fallback);
// Draws every page on a surface of the configured paper size, each ended with show_page.
void DrawPages(cairo_t* cr, const Context& context, const Config& config);
// Writes the pages as a PDF file of the configured paper size; false when that fails.
bool WritePdf(const Context& context, const Config& config, const std::string& path);

// A file made for one job alone: `requested` when no file (or link) has that name, else the
// first free name with -2, -3, ... before the extension. Empty when none can be made.
std::string FreshOutputFile(const std::string& requested);
// The name FreshOutputFile would make now, without making it.
std::string FreeOutputName(const std::string& requested);
// Makes the default printer of this moment the job's own, unless it has one: the job then
// goes where it was meant to or fails, but never to another printer or a file because the
// default changed or went while it was drawn.
void TakeDefaultPrinter(Job& job);
// Sends the closed job's pages to its printer, or the default one, through GTK's print
// system; with no printer at all it writes the PDF file itself, and with queues of which
// none is the default it fails. False with the reason when
// that fails.
bool SendJob(Job& job, std::string* error);

// The page setup (a GtkPageSetup, one reference for the caller) that the configuration
// describes, and the configuration values a page setup gives.
GObject* PageSetupFromConfig(const Config& config);
void ConfigFromPageSetup(Config* config, GObject* pageSetup);

// The dialog's functions.
_GtkWidget* DialogNew(PrintJob* job, PrintText title, int flags);
void DialogConstruct(_GtkWidget* dialog, PrintJob* job, int flags);
void DialogConstructRangePage(_GtkWidget* dialog, int flags, int start, int end, PrintText currentLabel,
                              PrintText rangeLabel);
unsigned long DialogGetType();
int DialogGetRangePage(_GtkWidget* dialog, int* start, int* end);

}  // namespace vorn::print_layer
