// Print jobs on a real display: pages drawn through a Graphics object reach the print library
// as RGB images through the page transform, end up as pages of a PDF file, and the print
// dialog answers nil when cancelled.
#include <gtest/gtest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "graphics/gtk_print_helper.h"
#include "graphics/pixmap_surface.h"
#include "graphics/print_layer.h"
#include "graphics/print_layer_model.h"
#include "graphics/printer_setup_class.h"
#include "graphics/support/pdf_reader.h"
#include "graphics/support/pixmap_target.h"
#include "graphics/support/print_pages.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "vorn/graphics_api.h"
#include "vorn/printer_api.h"

namespace vorn {
namespace {

constexpr uint32_t kRed = testing::kFirstPageColor;
constexpr uint32_t kBlue = testing::kSecondPageColor;
constexpr uint32_t kWhite = 0xFFFFFF;

// What reached the library's page functions.
struct Recorded {
  std::vector<std::string> pageNames;
  std::vector<std::array<double, 6>> transforms;
  std::vector<testing::PdfImage> images;
  int32_t shown = 0;
};

Recorded& Log() {
  static Recorded recorded;
  return recorded;
}

template <typename Function>
Function Layer(const char* name) {
  LibraryLoader* layer = PrintLayerLoader();
  return reinterpret_cast<Function>(layer->Find(layer->Open(kPrintLibraryNames[0]), name));
}

int RecordBeginPage(PrintContext* context, PrintText name) {
  Log().pageNames.emplace_back(reinterpret_cast<const char*>(name));
  return Layer<decltype(&RecordBeginPage)>("gnome_print_beginpage")(context, name);
}

int RecordConcat(PrintContext* context, const double matrix[6]) {
  Log().transforms.push_back({matrix[0], matrix[1], matrix[2], matrix[3], matrix[4], matrix[5]});
  return Layer<decltype(&RecordConcat)>("gnome_print_concat")(context, matrix);
}

int RecordImage(PrintContext* context, const unsigned char* pixels, int width, int height, int stride) {
  testing::PdfImage image{width, height, {}};
  for (int y = 0; y < height; ++y) image.rgb.insert(image.rgb.end(), pixels + y * stride, pixels + y * stride + 3 * width);
  Log().images.push_back(std::move(image));
  return Layer<decltype(&RecordImage)>("gnome_print_rgbimage")(context, pixels, width, height, stride);
}

int RecordShowPage(PrintContext* context) {
  ++Log().shown;
  return Layer<decltype(&RecordShowPage)>("gnome_print_showpage")(context);
}

// The print layer with its page functions watched.
class RecordingLayer : public LibraryLoader {
 public:
  void* Open(const char* file) override { return PrintLayerLoader()->Open(file); }
  void* Find(void* library, const char* name) override {
    const std::string wanted = name;
    if (wanted == "gnome_print_beginpage") return reinterpret_cast<void*>(&RecordBeginPage);
    if (wanted == "gnome_print_concat") return reinterpret_cast<void*>(&RecordConcat);
    if (wanted == "gnome_print_rgbimage") return reinterpret_cast<void*>(&RecordImage);
    if (wanted == "gnome_print_showpage") return reinterpret_cast<void*>(&RecordShowPage);
    return PrintLayerLoader()->Find(library, name);
  }
};

class PrintingGuiTest : public test::IntrinsicClassTest {
 protected:
  void SetUp() override {
    IntrinsicClassTest::SetUp();
    if (!testing::EnsureGtk()) GTEST_SKIP() << "no display";
    // The dialogs are driven by their English titles and mnemonics, whatever the desktop's
    // language; numbers stay in the locale the suite runs under.
    std::setlocale(LC_MESSAGES, "C");
    Log() = {};
    mOutput = "/tmp/vorn-print-test-" + std::to_string(getpid()) + ".pdf";
    std::remove(mOutput.c_str());
    SetDefaultPrintSetting(kPrintKeyOutputFile, mOutput);
    for (const char* key : {kPrintKeyMarginLeft, kPrintKeyMarginTop, kPrintKeyMarginRight, kPrintKeyMarginBottom})
      SetDefaultPrintSetting(key, "36pt");
    SetDefaultPrintSetting(kPrintKeyPaperWidth, "612pt");
    SetDefaultPrintSetting(kPrintKeyPaperHeight, "792pt");
  }
  void TearDown() override {
    for (const char* key : {kPrintKeyOutputFile, kPrintKeyDpiX, kPrintKeyDpiY, kPrintKeyMarginLeft, kPrintKeyMarginTop})
      SetDefaultPrintSetting(key, "");
    SetPrintLibraryLoader(nullptr);
    std::remove(mOutput.c_str());
    std::setlocale(LC_MESSAGES, "");
    // Jobs after the first write beside it.
    for (int n = 2; n < 10; ++n) std::remove((mOutput.substr(0, mOutput.size() - 4) + "-" + std::to_string(n) + ".pdf").c_str());
    IntrinsicClassTest::TearDown();
  }


  std::string mOutput;
};

TEST_F(PrintingGuiTest, EachPageReachesTheLibraryAsOneImageThroughThePageTransform) {
  RecordingLayer recording;
  SetPrintLibraryLoader(&recording);
  RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
  RuntimeObject* graphics = RuntimeOpenPrinter(setup);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(graphicsWidthGetter(graphics, 0), 540);
  EXPECT_EQ(graphicsHeightGetter(graphics, 0), 720);
  EXPECT_EQ(graphicsCopiesGetter(graphics, 0), 1);
  EXPECT_EQ(graphicsFirstPageGetter(graphics, 0), 0);
  EXPECT_EQ(graphicsLastPageGetter(graphics, 0), 65535);
  ASSERT_EQ(Log().pageNames.size(), 1u);
  testing::PrintTwoPages(graphics);

  const Recorded& log = Log();
  ASSERT_EQ(log.pageNames.size(), 2u);
  EXPECT_EQ(std::atoi(log.pageNames[1].c_str()), std::atoi(log.pageNames[0].c_str()) + 1);
  EXPECT_EQ(log.shown, 2);
  ASSERT_EQ(log.transforms.size(), 2u);
  for (const auto& transform : log.transforms) {
    EXPECT_EQ(transform, (std::array<double, 6>{540, 0, 0, 720, 36, 36}));
  }
  ASSERT_EQ(log.images.size(), 2u);
  EXPECT_EQ(log.images[0].width, 540);
  EXPECT_EQ(log.images[0].height, 720);
  EXPECT_EQ(log.images[0].PixelAt(10, 10), kRed);
  EXPECT_EQ(log.images[0].PixelAt(120, 120), kWhite);
  // Each page starts blank.
  EXPECT_EQ(log.images[1].PixelAt(10, 10), kWhite);
  EXPECT_EQ(log.images[1].PixelAt(120, 120), kBlue);
  EXPECT_EQ(ActivePrintObject(), nullptr);

  // The page counter goes on with the next job.
  RuntimeUnlockObject(RuntimeOpenPrinter(setup));
  ASSERT_EQ(log.pageNames.size(), 3u);
  EXPECT_EQ(std::atoi(log.pageNames[2].c_str()), std::atoi(log.pageNames[1].c_str()) + 1);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(PrintingGuiTest, ATwoPageJobEndsAsATwoPagePdfHoldingTheDrawnPixels) {
  // A job on a setup made for it: the setup lives as long as the job.
  RuntimeObject* graphics = RuntimeOpenPrinter(nullptr);
  ASSERT_NE(graphics, nullptr);
  testing::PrintTwoPages(graphics);

  const std::string pdf = testing::ReadWholeFile(mOutput);
  ASSERT_FALSE(pdf.empty()) << mOutput;
  EXPECT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
  EXPECT_EQ(testing::CountPdfPages(pdf), 2);
  const std::vector<testing::PdfImage> images = testing::PdfRgbImages(pdf);
  ASSERT_EQ(images.size(), 2u);
  for (const testing::PdfImage& image : images) {
    EXPECT_EQ(image.width, 540);
    EXPECT_EQ(image.height, 720);
  }
  EXPECT_EQ(images[0].PixelAt(10, 10), kRed);
  EXPECT_EQ(images[0].PixelAt(120, 120), kWhite);
  EXPECT_EQ(images[1].PixelAt(120, 120), kBlue);
  EXPECT_EQ(ActivePrintObject(), nullptr);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(PrintingGuiTest, WithNoPrintSystemAtAllTheJobIsStillWrittenAsAPdfFile) {
  // No backend GTK can load: it finds no printer, not even "Print to File".
  g_object_set(gtk_settings_get_default(), "gtk-print-backends", "vorn-none", nullptr);
  RuntimeObject* graphics = RuntimeOpenPrinter(nullptr);
  ASSERT_NE(graphics, nullptr);
  testing::PrintTwoPages(graphics);
  g_object_set(gtk_settings_get_default(), "gtk-print-backends", "file,cups", nullptr);
  EXPECT_EQ(testing::CountPdfPages(testing::ReadWholeFile(mOutput)), 2);
  EXPECT_TRUE(Reports().empty());
}

// A job that fails on its way out fails, and leaves no file of its own: an output file that
// cannot be made, pages that cannot be drawn (a transform of nothing), or a backend that cannot
// write the file the user named.
TEST_F(PrintingGuiTest, AJobThatFailsOnItsWayOutIsReportedAndLeavesNoFileOfItsOwn) {
  enum { kNoFolder, kUndrawable, kBackendFails };
  for (int failure : {kNoFolder, kUndrawable, kBackendFails}) {
    SetDefaultPrintSetting(kPrintKeyOutputFile, failure == kNoFolder ? "/nonexistent-folder/job.pdf" : mOutput);
    auto* job = Layer<PrintJob* (*)(PrintConfig*)>("gnome_print_job_new")(nullptr);
    auto* context = Layer<PrintContext* (*)(PrintJob*)>("gnome_print_job_get_context")(job);
    RecordBeginPage(context, reinterpret_cast<PrintText>("1"));
    const double nothing[6] = {};
    if (failure == kUndrawable) RecordConcat(context, nothing);
    const unsigned char red[3] = {255, 0, 0};
    RecordImage(context, red, 1, 1, 3);
    Layer<int (*)(PrintJob*)>("gnome_print_job_close")(job);
    if (failure == kBackendFails) {
      GtkPrintSettings* settings = gtk_print_settings_new();
      gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, "file:///nonexistent-folder/job.pdf");
      print_layer::JobOf(job)->settings = G_OBJECT(settings);
    }
    EXPECT_EQ(Layer<int (*)(PrintJob*)>("gnome_print_job_print")(job), -1) << failure;
    EXPECT_NE(access(mOutput.c_str(), F_OK), 0) << failure;
    g_object_unref(context);
    g_object_unref(job);
  }
}

// Printed pages go from the server's pixels to the PDF file in buffers that later pages and
// jobs take over: each page must still show exactly its own pixels, to its last row and column.
TEST_F(PrintingGuiTest, JobsOfDifferentSizesOneAfterAnotherEachShowOnlyTheirOwnPixels) {
  // A smaller page after a larger one, and the same size again: a buffer too small, one
  // read with the wrong row length or one still holding the last job's page would show.
  struct Case {
    int32_t dpi;
    uint32_t color;
  };
  const Case cases[] = {{72, 0xFF0000}, {150, 0x00FF00}, {72, 0x0000FF}, {72, 0x808080}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
    printerSetupMaxResSetter(setup, kPageMaxHorizontalResolution, -1);
    printerSetupMaxResSetter(setup, kPageMaxVerticalResolution, -1);
    PrinterSetupFields(setup)->horizontalResolution = c.dpi;
    PrinterSetupFields(setup)->verticalResolution = c.dpi;
    RuntimeObject* graphics = RuntimeOpenPrinter(setup);
    ASSERT_NE(graphics, nullptr);
    const int32_t width = graphicsWidthGetter(graphics, 0), height = graphicsHeightGetter(graphics, 0);
    EXPECT_EQ(width, (612 - 72) * c.dpi / 72);
    graphicsForeColorSetter(graphics, 0, c.color);
    // The last column and row, and a square that moves from job to job.
    RuntimeGraphicsFillRect(graphics, width - 3, height - 3, 3, 3);
    const int32_t square = 20 + 30 * static_cast<int32_t>(i);
    RuntimeGraphicsFillRect(graphics, square, square, 20, 20);
    RuntimeUnlockObject(graphics);

    const std::vector<testing::PdfImage> images = testing::PdfRgbImages(testing::ReadWholeFile(mOutput));
    ASSERT_EQ(images.size(), 1u);
    const testing::PdfImage& page = images[0];
    EXPECT_EQ(page.width, width);
    EXPECT_EQ(page.height, height);
    EXPECT_EQ(page.PixelAt(width - 1, height - 1), c.color);
    EXPECT_EQ(page.PixelAt(width - 4, height - 4), kWhite);
    EXPECT_EQ(page.PixelAt(square, square), c.color);
    EXPECT_EQ(page.PixelAt(square + 19, square + 19), c.color);
    // Where the jobs before drew.
    for (int32_t earlier = 20; earlier < square; earlier += 30) EXPECT_EQ(page.PixelAt(earlier + 5, earlier + 5), kWhite);
    EXPECT_EQ(page.PixelAt(square - 1, square - 1), kWhite);
    EXPECT_TRUE(Reports().empty());
    std::remove(mOutput.c_str());
  }
}

// A page is read into the buffer the last page gave back when that is large enough, a new one
// when it is short by even a row; the first page is larger than any page of the earlier tests.
TEST(PrintPageBufferGuiTest, PagesLargerAndSmallerThanTheBufferKeptAreEachReadWhole) {
  if (!testing::EnsureGtk()) GTEST_SKIP() << "no display";
  const struct {
    int32_t width, height;
    uint32_t color;
  } cases[] = {{2000, 1500, 0xFF0000}, {2000, 1501, 0x00FF00}, {120, 90, 0x0000FF}, {120, 90, 0x808080}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    testing::PixmapTarget page(c.width, c.height);
    Graphics* port = NewGraphics(&page);
    port->SetForeColor(ColorToRGB48(c.color));
    // The first and the last row and column.
    port->FillRect(MakeRect(0, 0, c.width, 1));
    port->FillRect(MakeRect(0, c.height - 1, c.width, c.height));
    port->FillRect(MakeRect(c.width - 1, 0, c.width, c.height));
    DisposeGraphics(port);
    cairo_surface_t* image = ReadPixmapSurface(page.GetGdkDrawable(), c.width, c.height);
    ASSERT_NE(image, nullptr) << "not read through shared memory";
    ASSERT_EQ(cairo_image_surface_get_width(image), c.width);
    ASSERT_EQ(cairo_image_surface_get_height(image), c.height);
    const auto pixel = [&](int32_t x, int32_t y) {
      const unsigned char* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
      return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(0, 0), c.color);
    EXPECT_EQ(pixel(c.width - 1, c.height - 1), c.color);
    EXPECT_EQ(pixel(0, c.height - 1), c.color);
    EXPECT_EQ(pixel(c.width - 2, c.height - 2), kWhite);
    EXPECT_EQ(pixel(1, 1), kWhite);
    cairo_surface_destroy(image);
  }
}

TEST_F(PrintingGuiTest, APrinterAt600DpiPrintsAtTheSetupsResolutionUnlessBothAllowMore) {
  SetDefaultPrintSetting(kPrintKeyDpiX, "600");
  SetDefaultPrintSetting(kPrintKeyDpiY, "600");
  RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
  RuntimeObject* graphics = RuntimeOpenPrinter(setup);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(printerSetupInfoGetter(setup, kPageHorizontalResolution), 72);
  EXPECT_EQ(printerSetupInfoGetter(setup, kPageVerticalResolution), 72);
  RuntimeUnlockObject(graphics);

  printerSetupMaxResSetter(setup, kPageMaxHorizontalResolution, 150);
  printerSetupMaxResSetter(setup, kPageMaxVerticalResolution, -1);
  PrinterSetupFields(setup)->horizontalResolution = 600;
  PrinterSetupFields(setup)->verticalResolution = 100;
  graphics = RuntimeOpenPrinter(setup);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(printerSetupInfoGetter(setup, kPageHorizontalResolution), 150);
  EXPECT_EQ(printerSetupInfoGetter(setup, kPageVerticalResolution), 100);
  // 612 points at 150 dpi less two 75-dot margins.
  EXPECT_EQ(graphicsWidthGetter(graphics, 0), 1275 - 150);
  RuntimeUnlockObject(graphics);
}

TEST_F(PrintingGuiTest, PagesArePlacedInPointsInsideTheirOwnMarginsAtAnyResolution) {
  RecordingLayer recording;
  SetPrintLibraryLoader(&recording);
  SetDefaultPrintSetting(kPrintKeyDpiX, "36");
  SetDefaultPrintSetting(kPrintKeyDpiY, "36");
  SetDefaultPrintSetting(kPrintKeyMarginLeft, "72pt");
  SetDefaultPrintSetting(kPrintKeyMarginTop, "18pt");
  RuntimeObject* graphics = RuntimeOpenPrinter(nullptr);
  ASSERT_NE(graphics, nullptr);
  // (612 - 72 - 36) and (792 - 18 - 36) points at half a dot a point.
  EXPECT_EQ(graphicsWidthGetter(graphics, 0), 252);
  EXPECT_EQ(graphicsHeightGetter(graphics, 0), 369);
  RuntimeUnlockObject(graphics);
  ASSERT_EQ(Log().transforms.size(), 1u);
  EXPECT_EQ(Log().transforms[0], (std::array<double, 6>{504, 0, 0, 738, 72, 792 - 18 - 738}));
}

TEST_F(PrintingGuiTest, ATakenOutputNameIsNeitherFollowedNorReplacedButNumbered) {
  char folder[] = "/tmp/vorn-print-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string base = folder;
  const std::string victim = base + "/victim", link = base + "/out.pdf", taken = base + "/out-2.pdf";
  for (const std::string& path : {victim, taken}) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("keep", file);
    std::fclose(file);
  }
  ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);
  SetDefaultPrintSetting(kPrintKeyOutputFile, link);
  RuntimeObject* graphics = RuntimeOpenPrinter(nullptr);
  ASSERT_NE(graphics, nullptr);
  RuntimeUnlockObject(graphics);
  EXPECT_EQ(testing::ReadWholeFile(victim), "keep");
  EXPECT_EQ(testing::ReadWholeFile(taken), "keep");
  EXPECT_EQ(testing::ReadWholeFile(base + "/out-3.pdf").compare(0, 5, "%PDF-"), 0);
  EXPECT_TRUE(Reports().empty());
  for (const char* name : {"/victim", "/out.pdf", "/out-2.pdf", "/out-3.pdf"}) std::remove((base + name).c_str());
  rmdir(folder);
}

TEST_F(PrintingGuiTest, AJobKeepsItsSetupWhileAnotherJobRunsAndASetupRunsOneJobAtATime) {
  // The first job's setup is held by nothing else once the second job becomes the active one.
  RuntimeObject* first = RuntimeOpenPrinter(nullptr);
  ASSERT_NE(first, nullptr);
  RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
  RuntimeObject* second = RuntimeOpenPrinter(setup);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(RuntimeOpenPrinter(setup), nullptr);
  RuntimeGraphicsFillRect(first, 0, 0, 10, 10);
  RuntimeUnlockObject(first);
  EXPECT_EQ(testing::CountPdfPages(testing::ReadWholeFile(mOutput)), 1);
  RuntimeGraphicsNextPage(second);
  RuntimeUnlockObject(second);
  // The second job's file stands beside the first one's, which it leaves alone.
  const std::string next = mOutput.substr(0, mOutput.size() - 4) + "-2.pdf";
  EXPECT_EQ(testing::CountPdfPages(testing::ReadWholeFile(mOutput)), 1);
  EXPECT_EQ(testing::CountPdfPages(testing::ReadWholeFile(next)), 2);
  std::remove(next.c_str());
  EXPECT_EQ(ActivePrintObject(), nullptr);
  EXPECT_TRUE(Reports().empty());
}

// The dialog of that title on screen; nil until it is mapped.
GtkWidget* FindPrintDialog(const std::string& wanted = "Print Dialog") {
  GtkWidget* found = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item; item = item->next) {
    auto* window = GTK_WIDGET(item->data);
    const char* title = gtk_window_get_title(GTK_WINDOW(window));
    if (GTK_IS_DIALOG(window) && title && title == wanted && GTK_WIDGET_MAPPED(window))
      found = window;
  }
  g_list_free(windows);
  return found;
}

struct DialogKey {
  std::string keys;  // shell commands that run xdotool
  std::string title = "Print Dialog";
  bool sent = false;
  bool timedOut = false;
};

// Presses the key in the dialog once it is shown, from outside the process like a user;
// gives up after a while so that a lost key cannot hang the test.
gboolean PressWhenShown(gpointer data) {
  auto* press = static_cast<DialogKey*>(data);
  GtkWidget* dialog = FindPrintDialog(press->title);
  if (!dialog) return TRUE;
  if (!press->sent) {
    press->sent = true;
    const unsigned long xid = GDK_WINDOW_XID(dialog->window);
    test::Shell("(sleep 0.5; xdotool windowfocus --sync " + std::to_string(xid) + "; " + press->keys +
                ") >/dev/null 2>&1 &");
  }
  return TRUE;
}

gboolean GiveUp(gpointer data) {
  auto* press = static_cast<DialogKey*>(data);
  if (GtkWidget* dialog = FindPrintDialog(press->title)) {
    press->timedOut = true;
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
  }
  return FALSE;
}

template <typename Action>
auto WhilePressing(DialogKey* press, Action action) {
  const guint poll = g_timeout_add(100, PressWhenShown, press);
  const guint guard = g_timeout_add(10000, GiveUp, press);
  auto result = action();
  g_source_remove(poll);
  // A guard that fired is gone already.
  if (!press->timedOut) g_source_remove(guard);
  return result;
}

RuntimeObject* RunDialogPressing(DialogKey* press) {
  return WhilePressing(press, [] { return RuntimeOpenPrinterDialog(nullptr, nullptr); });
}

TEST_F(PrintingGuiTest, EscapeCancelsTheDialogAndNothingIsPrinted) {
  DialogKey press{"xdotool key Escape"};
  RuntimeObject* graphics = RunDialogPressing(&press);
  EXPECT_FALSE(press.timedOut);
  EXPECT_EQ(graphics, nullptr);
  RuntimeUnlockObject(graphics);
  EXPECT_EQ(ActivePrintObject(), nullptr);
  EXPECT_TRUE(testing::ReadWholeFile(mOutput).empty());
}

// "Print to File" chosen in the printer list by its own search, and the range left alone or
// pages 2 to 3 typed: the job's FirstPage and LastPage count from 1.
TEST_F(PrintingGuiTest, ThePageRangeChosenInTheDialogReachesTheJobCountedFromOne) {
  const struct {
    const char* range;  // typed into the dialog's page range; nil: left alone
    int32_t first, last;
  } cases[] = {{nullptr, 0, 65535}, {"2-3", 2, 3}, {"4", 4, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.range ? c.range : "all");
    std::string keys = "xdotool key Tab; xdotool type --delay 80 'Print to'; sleep 0.3; ";
    // Out of the list's search, to the range's entry (Pag_es), where Return prints too.
    if (c.range) keys += std::string("xdotool key Escape; sleep 0.2; xdotool key alt+e; sleep 0.2; xdotool type '") + c.range + "'; ";
    DialogKey press{keys + "xdotool key Return"};
    RuntimeObject* graphics = RunDialogPressing(&press);
    EXPECT_FALSE(press.timedOut);
    ASSERT_NE(graphics, nullptr);
    EXPECT_EQ(graphicsFirstPageGetter(graphics, 0), c.first);
    EXPECT_EQ(graphicsLastPageGetter(graphics, 0), c.last);
    EXPECT_EQ(graphicsCopiesGetter(graphics, 0), 1);
    RuntimeUnlockObject(graphics);
    EXPECT_EQ(testing::CountPdfPages(testing::ReadWholeFile(mOutput)), 1);
    std::remove(mOutput.c_str());
  }
}

TEST_F(PrintingGuiTest, ThePageSetupDialogAnswersWhetherItWasAcceptedAndItsPageSetupStays) {
  RuntimeObject* setup = New(GetPrinterSetupClassDefinition());
  DialogKey cancel{"xdotool key Escape", "Page Setup"};
  EXPECT_EQ(WhilePressing(&cancel, [&] { return printerSetupPageSetup(setup, nullptr); }), 0);
  EXPECT_FALSE(cancel.timedOut);
  EXPECT_EQ(printerSetupInfoGetter(setup, kPagePageWidth), 612);
  EXPECT_EQ(printerSetupInfoGetter(setup, kPagePageHeight), 792);

  // To the orientation, down from Portrait to Landscape, then Apply, all by keys.
  DialogKey landscape{"xdotool key alt+o; sleep 0.2; xdotool key Down; sleep 0.2; xdotool key alt+a", "Page Setup"};
  EXPECT_EQ(WhilePressing(&landscape, [&] { return printerSetupPageSetup(setup, nullptr); }), 1);
  EXPECT_FALSE(landscape.timedOut);
  const int32_t width = printerSetupInfoGetter(setup, kPagePageWidth);
  const int32_t height = printerSetupInfoGetter(setup, kPagePageHeight);
  EXPECT_GT(width, height);
  // The setup's next job is printed on that page.
  RuntimeObject* graphics = RuntimeOpenPrinter(setup);
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(graphicsWidthGetter(graphics, 0), printerSetupInfoGetter(setup, kPageWidth));
  EXPECT_EQ(graphicsHeightGetter(graphics, 0), printerSetupInfoGetter(setup, kPageHeight));
  RuntimeUnlockObject(graphics);
  const std::vector<testing::PdfImage> images = testing::PdfRgbImages(testing::ReadWholeFile(mOutput));
  ASSERT_EQ(images.size(), 1u);
  EXPECT_GT(images[0].width, images[0].height);
  EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace vorn
