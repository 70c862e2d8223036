// The print library as the printing code sees it: a job with its drawing context and its
// configuration, pages begun and shown, RGB images placed through the current transform, a
// print dialog with a page range. Its functions are looked up by name once and kept in one
// table; without them printing is unavailable.
#pragma once

#include <cstdint>

#include "graphics/library_loader.h"

struct _GtkWidget;
struct _cairo_surface;

namespace vorn {

// Opaque handles of the library. Each is a GObject: holders let go of them with
// g_object_unref.
struct PrintJob;
struct PrintContext;
struct PrintConfig;

// A unit of a configured length: its name and how many points one unit is.
struct PrintUnit {
  const char* name;
  double points;
};

// Dialog parts (dialog_new) and page-range choices (dialog_construct_range_page).
constexpr int32_t kPrintDialogRange = 1;
constexpr int32_t kPrintDialogCopies = 2;
constexpr int32_t kPrintRangeRange = 2;
constexpr int32_t kPrintRangeSelection = 4;

// The configuration keys the printing code reads.
inline constexpr const char kPrintKeyDpiX[] = "Settings.Output.Resolution.DPI.X";
inline constexpr const char kPrintKeyDpiY[] = "Settings.Output.Resolution.DPI.Y";
inline constexpr const char kPrintKeyCopies[] = "Settings.Output.Job.NumCopies";
inline constexpr const char kPrintKeyMarginLeft[] = "Settings.Document.Page.Margins.Left";
inline constexpr const char kPrintKeyMarginTop[] = "Settings.Document.Page.Margins.Top";
inline constexpr const char kPrintKeyMarginRight[] = "Settings.Document.Page.Margins.Right";
inline constexpr const char kPrintKeyMarginBottom[] = "Settings.Document.Page.Margins.Bottom";
inline constexpr const char kPrintKeyPaperWidth[] = "Settings.Output.Media.PhysicalSize.Width";
inline constexpr const char kPrintKeyPaperHeight[] = "Settings.Output.Media.PhysicalSize.Height";

using PrintText = const unsigned char*;

// Answers of the int-returning functions: 0 or more is success, below 0 failure; the
// config getters answer non-zero when the key was read.
struct PrintFunctions {
  PrintJob* (*job_new)(PrintConfig* config);
  PrintContext* (*job_get_context)(PrintJob* job);
  int (*beginpage)(PrintContext* context, PrintText name);
  int (*showpage)(PrintContext* context);
  int (*moveto)(PrintContext* context, double x, double y);
  int (*show)(PrintContext* context, PrintText text);
  int (*job_close)(PrintJob* job);
  int (*job_print_to_file)(PrintJob* job, const char* output);
  _GtkWidget* (*dialog_new)(PrintJob* job, PrintText title, int flags);
  PrintConfig* (*job_get_config)(PrintJob* job);
  void (*config_dump)(PrintConfig* config);
  int (*config_get_double)(PrintConfig* config, PrintText key, double* value);
  int (*config_get_int)(PrintConfig* config, PrintText key, int* value);
  // A new text (g_free) or nil.
  unsigned char* (*config_get)(PrintConfig* config, PrintText key);
  void (*dialog_construct_range_page)(_GtkWidget* dialog, int flags, int start, int end, PrintText currentLabel,
                                      PrintText rangeLabel);
  unsigned long (*dialog_get_type)();
  int (*dialog_get_range_page)(_GtkWidget* dialog, int* start, int* end);
  int (*config_get_length)(PrintConfig* config, PrintText key, double* value, const PrintUnit** unit);
  int (*job_print)(PrintJob* job);
  // Pixels run left to right, top row first; the image fills the unit square of the current
  // transform, its top row at y = 1.
  int (*rgbimage)(PrintContext* context, const unsigned char* pixels, int width, int height, int rowStride);
  void (*dialog_construct)(_GtkWidget* dialog, PrintJob* job, int flags);
  int (*gsave)(PrintContext* context);
  int (*grestore)(PrintContext* context);
  // Prepends the matrix (a, b, c, d, e, f) to the current transform.
  int (*concat)(PrintContext* context, const double matrix[6]);
  int (*translate)(PrintContext* context, double x, double y);
  int (*rect_stroked)(PrintContext* context, double x, double y, double width, double height);
  int (*line_stroked)(PrintContext* context, double x0, double y0, double x1, double y1);
  // Not a function of the library: where the runtime's own layer is the one that takes the
  // images, it takes a page as an RGB24 image surface (keeping a reference) in place of
  // rgbimage, without converting or copying its pixels; nil otherwise.
  int (*rgb24surface)(PrintContext* context, _cairo_surface* image);
};

// The library's file names, tried in this order.
inline constexpr const char* kPrintLibraryNames[] = {
    "libgnomeprintui-2-2.so", "/usr/local/lib/libgnomeprintui-2-2.so", "/usr/lib/libgnomeprintui-2-2.so"};

// Looks the library up on the first call and answers whether every function was found;
// later calls answer the same.
bool LoadGnomePrint();
// The functions found; only to be called after LoadGnomePrint answered true.
const PrintFunctions& PrintLibrary();

// Looks up through `loader` from now on (nil: the runtime's own print layer) and forgets what
// earlier loads found; answers the previous loader.
LibraryLoader* SetPrintLibraryLoader(LibraryLoader* loader);

}  // namespace vorn
