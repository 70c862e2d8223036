// Print jobs reaching a real print server: a CUPS server of the test's own with one queue,
// its default, whose device is a file; the document that arrives there is drawn back to
// pixels. The print dialog is driven from outside, as a user would.
#include <gtest/gtest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>

#include "graphics/gtk_print_helper.h"
#include "graphics/print_layer.h"
#include "graphics/printer_setup_class.h"
#include "graphics/support/pixmap_target.h"
#include "graphics/support/print_pages.h"
#include "graphics/support/private_cups.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "vorn/graphics_api.h"
#include "vorn/printer_api.h"

namespace vorn {
namespace {

constexpr uint32_t kRed = testing::kFirstPageColor;
constexpr uint32_t kBlue = testing::kSecondPageColor;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr char kQueue[] = "vorn-test-pdf";

bool Near(uint32_t a, uint32_t b) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) return false;
  }
  return true;
}

class PrintingCupsGuiTest : public test::IntrinsicClassTest {
 protected:
  void SetUp() override {
    IntrinsicClassTest::SetUp();
    if (!testing::EnsureGtk()) GTEST_SKIP() << "no display";
    if (test::Shell("command -v pdftoppm").empty()) GTEST_SKIP() << "pdftoppm is not installed";
    mCups = std::make_unique<testing::PrivateCups>(kQueue);
    if (!mCups->Ready()) GTEST_SKIP() << "no private CUPS server: " << mCups->Why();
    for (const char* key : {kPrintKeyMarginLeft, kPrintKeyMarginTop, kPrintKeyMarginRight, kPrintKeyMarginBottom})
      SetDefaultPrintSetting(key, "36pt");
    SetDefaultPrintSetting(kPrintKeyPaperWidth, "612pt");
    SetDefaultPrintSetting(kPrintKeyPaperHeight, "792pt");
    // Should a job miss the queue, it lands here rather than in the user's home.
    SetDefaultPrintSetting(kPrintKeyOutputFile, mCups->Arrived() + ".pdf");
  }
  void TearDown() override {
    SetDefaultPrintSetting(kPrintKeyOutputFile, "");
    mCups.reset();
    IntrinsicClassTest::TearDown();
  }


  // The two pages as they arrived: the squares where they were drawn, inside the 36-point
  // margins, at 72 dots per inch one dot a point.
  void ExpectTheTwoPagesArrived() {
    ASSERT_TRUE(mCups->WaitUntilIdle(30)) << "the job never finished";
    const std::vector<testing::PageImage> pages = testing::RenderPdfPages(mCups->Arrived());
    ASSERT_EQ(pages.size(), 2u) << "what arrived is not a two-page PDF";
    EXPECT_EQ(pages[0].width, 612);
    EXPECT_EQ(pages[0].height, 792);
    EXPECT_TRUE(Near(pages[0].PixelAt(36 + 25, 36 + 25), kRed)) << std::hex << pages[0].PixelAt(61, 61);
    EXPECT_TRUE(Near(pages[0].PixelAt(36 + 125, 36 + 125), kWhite));
    EXPECT_TRUE(Near(pages[1].PixelAt(36 + 25, 36 + 25), kWhite));
    EXPECT_TRUE(Near(pages[1].PixelAt(36 + 125, 36 + 125), kBlue)) << std::hex << pages[1].PixelAt(161, 161);
    // Just outside the squares.
    EXPECT_TRUE(Near(pages[0].PixelAt(36 + 52, 36 + 25), kWhite));
    EXPECT_TRUE(Near(pages[1].PixelAt(36 + 98, 36 + 125), kWhite));
  }

  std::unique_ptr<testing::PrivateCups> mCups;
};

struct Driver {
  std::string keys;
  bool sent = false;
};

// Whether a list in the widget shows a row naming the printer: the print server answers
// after the dialog is up, and keys typed before would find nothing to choose.
void FindRow(GtkWidget* widget, gpointer data) {
  auto* found = static_cast<bool*>(data);
  if (GTK_IS_TREE_VIEW(widget)) {
    GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(widget));
    GtkTreeIter row;
    for (bool more = model && gtk_tree_model_get_iter_first(model, &row); more && !*found;
         more = gtk_tree_model_iter_next(model, &row)) {
      for (gint column = 0; column < gtk_tree_model_get_n_columns(model); ++column) {
        if (gtk_tree_model_get_column_type(model, column) != G_TYPE_STRING) continue;
        gchar* text = nullptr;
        gtk_tree_model_get(model, &row, column, &text, -1);
        if (text && std::string(text) == kQueue) *found = true;
        g_free(text);
      }
    }
  }
  if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), FindRow, data);
}

gboolean DriveDialog(gpointer data) {
  auto* driver = static_cast<Driver*>(data);
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item && !driver->sent; item = item->next) {
    auto* window = GTK_WIDGET(item->data);
    bool listed = false;
    if (GTK_IS_DIALOG(window) && GTK_WIDGET_MAPPED(window)) FindRow(window, &listed);
    if (!listed) continue;
    driver->sent = true;
    test::Shell("(sleep 0.3; xdotool windowfocus --sync " + std::to_string(GDK_WINDOW_XID(window->window)) + "; " +
                driver->keys + ") >/dev/null 2>&1 &");
  }
  g_list_free(windows);
  return !driver->sent;
}

gboolean CancelDialog(gpointer) {
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item; item = item->next) {
    if (GTK_IS_DIALOG(item->data)) gtk_dialog_response(GTK_DIALOG(item->data), GTK_RESPONSE_CANCEL);
  }
  g_list_free(windows);
  return FALSE;
}

// The print dialog with the test queue chosen in its printer list (its search picks the
// queue by name) and Return pressed; nil when that did not print.
RuntimeObject* ChooseTheQueueInTheDialog() {
  Driver driver{std::string("xdotool key Tab; xdotool type --delay 60 ") + kQueue + "; sleep 0.3; xdotool key Return"};
  const guint poll = g_timeout_add(100, DriveDialog, &driver);
  const guint guard = g_timeout_add(20000, CancelDialog, nullptr);
  RuntimeObject* graphics = RuntimeOpenPrinterDialog(nullptr, nullptr);
  if (!driver.sent) g_source_remove(poll);
  g_source_remove(guard);
  return graphics;
}

// The default queue, for OpenPrinter, and the queue chosen in the print dialog.
TEST_F(PrintingCupsGuiTest, BothPagesReachTheDefaultQueueAndTheQueueChosenInTheDialog) {
  for (bool dialog : {false, true}) {
    std::ofstream(mCups->Arrived()).close();  // what the last job left
    RuntimeObject* graphics = dialog ? ChooseTheQueueInTheDialog() : RuntimeOpenPrinter(nullptr);
    ASSERT_NE(graphics, nullptr) << "the job was not made; dialog: " << dialog;
    testing::PrintTwoPages(graphics);
    EXPECT_TRUE(Reports().empty());
    ExpectTheTwoPagesArrived();
  }
}

TEST_F(PrintingCupsGuiTest, AQueueThatStopsTakingJobsWhileTheJobIsDrawnIsReported) {
  RuntimeObject* graphics = ChooseTheQueueInTheDialog();
  ASSERT_NE(graphics, nullptr) << "the dialog did not print";
  ASSERT_EQ(mCups->Tool(std::string("cupsreject ") + kQueue), 0);
  testing::PrintTwoPages(graphics);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("gnome_print_job_print"), std::string::npos) << Reports()[0];
  EXPECT_TRUE(mCups->WaitUntilIdle(30));
  EXPECT_EQ(test::Shell("cat " + mCups->Arrived()), "");
}

}  // namespace
}  // namespace vorn
