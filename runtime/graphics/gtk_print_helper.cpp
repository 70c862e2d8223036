#include "graphics/gtk_print_helper.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>

#include "graphics/graphics_object.h"
#include "graphics/pixmap_surface.h"
#include "graphics/print_layer.h"
#include "graphics/print_library.h"
#include "graphics/printer_setup_class.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

constexpr char kSource[] = "../Common/Linux/GTKPrintHelper";
constexpr int32_t kLastPossiblePage = 65535;
constexpr int32_t kPrintPaneDepth = 24;

int32_t sPageCounter = 1;
RuntimeObject* sActivePrintObject = nullptr;

void Assert(bool condition, int32_t line, const char* text, const char* message = "") {
  if (!condition) ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kSource, line, text, message);
}

PrintText Text(const char* text) { return reinterpret_cast<PrintText>(text); }

}  // namespace

PrintPane::PrintPane(const Rect& bounds, RuntimeObject* setup)
    : DrawablePane(bounds, kPrintPaneDepth), mSetup(setup) {
  RuntimeLockObject(mSetup);
}

PrintPane::~PrintPane() {
  if (mHelper) mHelper->EndJob(this);
  mHelper = nullptr;
  RuntimeObject* setup = mSetup;
  mSetup = nullptr;
  if (ActivePrintObject() == setup) ReleaseActivePrintObject();
  RuntimeUnlockObject(setup);
}

void PrintPane::Erase() {
  Assert(mHelper != nullptr, __LINE__, "mHelper");
  if (!mHelper) return;
  mHelper->PrintPage();
  // Each page starts blank, whatever the one before held.
  FillWhite();
  mHelper->StartPage();
}

GTKPrintHelper::GTKPrintHelper() = default;

GTKPrintHelper::~GTKPrintHelper() {
  ReleaseJob();
  if (mSetupConfig) g_object_unref(mSetupConfig);
}

void GTKPrintHelper::ReleaseJob() {
  if (mContext) g_object_unref(mContext);
  if (mConfig) g_object_unref(mConfig);
  if (mJob) g_object_unref(mJob);
  mContext = nullptr;
  mConfig = nullptr;
  mJob = nullptr;
}

double GTKPrintHelper::LengthInPoints(const char* key) {
  double value = 0;
  const PrintUnit* unit = nullptr;
  if (!PrintLibrary().config_get_length(mConfig ? mConfig : mSetupConfig, Text(key), &value, &unit)) return 0;
  return unit ? value * unit->points : value;
}

int32_t GTKPrintHelper::LengthInDots(const char* key, int32_t resolution) {
  return static_cast<int32_t>(LengthInPoints(key) * resolution / 72);
}

int32_t GTKPrintHelper::GetPageValue(int32_t index) {
  if (!LoadGnomePrint()) return 0;
  switch (index) {
    case kPageVerticalResolution: return mVerticalResolution;
    case kPageHorizontalResolution: return mHorizontalResolution;
    case kPageLeft:
    case kPageTop: return 0;
    case kPageWidth:
      return GetPageValue(kPagePageWidth) -
             (LengthInDots(kPrintKeyMarginRight, mHorizontalResolution) - GetPageValue(kPagePageLeft));
    case kPageHeight:
      return GetPageValue(kPagePageHeight) -
             (LengthInDots(kPrintKeyMarginBottom, mVerticalResolution) - GetPageValue(kPagePageTop));
    case kPagePageLeft: return -LengthInDots(kPrintKeyMarginLeft, mHorizontalResolution);
    case kPagePageTop: return -LengthInDots(kPrintKeyMarginTop, mVerticalResolution);
    case kPagePageWidth: return LengthInDots(kPrintKeyPaperWidth, mHorizontalResolution);
    case kPagePageHeight: return LengthInDots(kPrintKeyPaperHeight, mVerticalResolution);
    case kPageMaxVerticalResolution: return mMaxVerticalResolution;
    case kPageMaxHorizontalResolution: return mMaxHorizontalResolution;
    default: return 0;
  }
}

bool GTKPrintHelper::NewJob() {
  // A second job while this helper's first is still printing would take its pages over.
  if (!LoadGnomePrint() || mPrintPane) return false;
  ReleaseJob();
  const PrintFunctions& f = PrintLibrary();
  // The page setup chosen for this PrinterSetup, if any, is where every job starts.
  mJob = f.job_new(mSetupConfig);
  mConfig = f.job_get_config(mJob);
  return mJob != nullptr;
}

RuntimeObject* GTKPrintHelper::ShowPrintDialog(RuntimeObject* setup) {
  if (!NewJob()) return nullptr;
  const PrintFunctions& f = PrintLibrary();
  GtkWidget* dialog = f.dialog_new(mJob, Text("Print Dialog"), kPrintDialogRange | kPrintDialogCopies);
  if (!dialog) return nullptr;
  f.dialog_construct_range_page(dialog, kPrintRangeRange | kPrintRangeSelection, 0, kLastPossiblePage, Text("None"),
                                Text("Page Range"));
  gtk_widget_show(dialog);
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  // Closing the dialog (Escape, the close box) is cancelling it too.
  if (response == GTK_RESPONSE_CANCEL || response == GTK_RESPONSE_DELETE_EVENT || response == GTK_RESPONSE_NONE) {
    gtk_widget_destroy(dialog);
    return nullptr;
  }
  int copies = 0;
  if (!f.config_get_int(mConfig, Text(kPrintKeyCopies), &copies)) copies = 0;
  int first = 0;
  int last = 0;
  f.dialog_get_range_page(dialog, &first, &last);
  if (first == 0 && last == 0) last = kLastPossiblePage;
  RuntimeObject* graphics = BeginJob(setup, copies, first, last);
  gtk_widget_destroy(dialog);
  return graphics;
}

RuntimeObject* GTKPrintHelper::OpenPrinter(RuntimeObject* setup) {
  if (!NewJob()) return nullptr;
  int copies = 0;
  if (!PrintLibrary().config_get_int(mConfig, Text(kPrintKeyCopies), &copies)) copies = 0;
  return BeginJob(setup, copies, 0, kLastPossiblePage);
}

RuntimeObject* GTKPrintHelper::BeginJob(RuntimeObject* setup, int32_t copies, int32_t firstPage,
                                         int32_t lastPage) {
  const PrintFunctions& f = PrintLibrary();
  mContext = f.job_get_context(mJob);
  const PrinterSetupObject* fields = PrinterSetupFields(setup);
  const auto resolution = [&](const char* key, int32_t maximum, int32_t own) {
    int value = 0;
    if (!f.config_get_int(mConfig, Text(key), &value) || value <= 0) value = 72;
    if (maximum != -1) value = std::min(value, maximum);
    return fields ? std::min(value, own) : value;
  };
  mHorizontalResolution = resolution(kPrintKeyDpiX, mMaxHorizontalResolution, fields ? fields->horizontalResolution : 0);
  mVerticalResolution = resolution(kPrintKeyDpiY, mMaxVerticalResolution, fields ? fields->verticalResolution : 0);

  auto* pane = new PrintPane(MakeRect(0, 0, GetPageValue(kPageWidth), GetPageValue(kPageHeight)), setup);
  if (!pane->IsValid()) {
    // No bitmap for a page this size (or no display): nothing can be printed.
    delete static_cast<GraphicsTarget*>(pane);
    ReleaseJob();
    return nullptr;
  }
  pane->SetHRes(mHorizontalResolution);
  pane->SetVRes(mVerticalResolution);
  Graphics* port = pane->NewGraphics();
  port->SetPrinting(true);
  port->SetOwnsPane(true);
  RuntimeObject* graphics = NewGraphicsObject(port);
  if (!graphics) {
    ReleaseJob();
    return nullptr;
  }
  SetGraphicsPageRange(graphics, copies, firstPage, lastPage);
  mPrintPane = pane;
  pane->AttachHelper(this);
  StartPage();
  return graphics;
}

void GTKPrintHelper::StartPage() {
  char name[16];
  std::snprintf(name, sizeof name, "%d", sPageCounter);
  ++sPageCounter;
  PrintLibrary().beginpage(mContext, Text(name));
}

void GTKPrintHelper::PrintPage() {
  Assert(mPrintPane != nullptr, __LINE__, "mPrintPane");
  if (!mPrintPane) return;
  GdkDrawable* pixmap = mPrintPane->Pixmap();
  Assert(pixmap != nullptr, __LINE__, "gfx");
  if (!pixmap) return;
  const int32_t width = std::max(mPrintPane->Width(), 1);
  const int32_t height = std::max(mPrintPane->Height(), 1);
  const PrintFunctions& f = PrintLibrary();
  // The server's pixels straight into the surface the layer keeps, where it can; else the
  // library's way, as RGB bytes.
  cairo_surface_t* surface = f.rgb24surface ? ReadPixmapSurface(pixmap, width, height) : nullptr;
  GdkPixbuf* pixels =
      surface ? nullptr : gdk_pixbuf_get_from_drawable(nullptr, pixmap, nullptr, 0, 0, 0, 0, width, height);
  if (!surface && !pixels) return;
  // The library places pages in points from the paper's bottom left; the bitmap is in dots
  // and sits inside the left and top margins.
  const double imageWidth = 72.0 * width / std::max(mHorizontalResolution, 1);
  const double imageHeight = 72.0 * height / std::max(mVerticalResolution, 1);
  const double left = LengthInPoints(kPrintKeyMarginLeft);
  const double bottom = LengthInPoints(kPrintKeyPaperHeight) - LengthInPoints(kPrintKeyMarginTop) - imageHeight;
  const double matrix[6] = {imageWidth, 0, 0, imageHeight, left, bottom};
  f.gsave(mContext);
  f.concat(mContext, matrix);
  f.moveto(mContext, 0, 0);
  if (surface) {
    f.rgb24surface(mContext, surface);
    cairo_surface_destroy(surface);
  } else {
    f.rgbimage(mContext, gdk_pixbuf_get_pixels(pixels), width, height, gdk_pixbuf_get_rowstride(pixels));
    g_object_unref(pixels);
  }
  f.grestore(mContext);
  f.showpage(mContext);
}

bool GTKPrintHelper::ShowPageSetupDialog() {
  if (!LoadGnomePrint()) return false;
  if (!mSetupConfig) {
    // The configuration of a job that never prints: what new jobs would start from.
    const PrintFunctions& f = PrintLibrary();
    PrintJob* job = f.job_new(nullptr);
    mSetupConfig = f.job_get_config(job);
    g_object_unref(job);
  }
  return mSetupConfig && RunPageSetupDialog(mSetupConfig);
}

void GTKPrintHelper::EndJob(PrintPane* pane) {
  if (pane != mPrintPane) return;
  PrintPage();
  const PrintFunctions& f = PrintLibrary();
  f.job_close(mJob);
  mPrintPane = nullptr;
  if (f.job_print(mJob) < 0) {
    // The printer (or the file) failed: nothing printed, and the program is told so.
    const std::string reason = LastPrintError();
    Assert(false, __LINE__, "gnome_print_job_print", reason.c_str());
  }
}

RuntimeObject* ActivePrintObject() { return sActivePrintObject; }

void SetActivePrintObject(RuntimeObject* setup) {
  RuntimeLockObject(setup);
  RuntimeObject* previous = sActivePrintObject;
  sActivePrintObject = setup;
  RuntimeUnlockObject(previous);
}

void ReleaseActivePrintObject() {
  RuntimeObject* previous = sActivePrintObject;
  sActivePrintObject = nullptr;
  RuntimeUnlockObject(previous);
}

}  // namespace vorn
