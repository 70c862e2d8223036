// Print jobs reaching a real print server: a CUPS server of the test's own with two queues,
// one its default, whose devices are files; the document that arrives there is drawn back to
// pixels. The print dialog is driven from outside, as a user would.
#include <gtest/gtest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "graphics/gtk_print_helper.h"
#include "graphics/print_layer.h"
#include "graphics/printer_setup_class.h"
#include "graphics/support/pdf_reader.h"
#include "graphics/support/pixmap_target.h"
#include "graphics/support/print_pages.h"
#include "graphics/support/private_cups.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "support/private_environment.h"
#include "vorn/graphics_api.h"
#include "vorn/printer_api.h"

namespace vorn {
namespace {

constexpr uint32_t kRed = testing::kFirstPageColor;
constexpr uint32_t kBlue = testing::kSecondPageColor;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr char kDefaultQueue[] = "vorn-test-default";
constexpr char kOtherQueue[] = "vorn-test-other";

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
    mCups = std::make_unique<testing::PrivateCups>(std::vector<std::string>{kDefaultQueue, kOtherQueue});
    if (!mCups->Ready()) GTEST_SKIP() << "no private CUPS server: " << mCups->Why();
    for (const char* key : {kPrintKeyMarginLeft, kPrintKeyMarginTop, kPrintKeyMarginRight, kPrintKeyMarginBottom})
      SetDefaultPrintSetting(key, "36pt");
    SetDefaultPrintSetting(kPrintKeyPaperWidth, "612pt");
    SetDefaultPrintSetting(kPrintKeyPaperHeight, "792pt");
    // Should a job miss the queues, it lands here.
    mMissed = test::PrivateRoot() + "/missed.pdf";
    SetDefaultPrintSetting(kPrintKeyOutputFile, mMissed);
  }
  void TearDown() override {
    SetDefaultPrintSetting(kPrintKeyOutputFile, "");
    mCups.reset();
    std::remove(mMissed.c_str());
    IntrinsicClassTest::TearDown();
  }


  // The two pages as they arrived: the squares where they were drawn, inside the 36-point
  // margins, at 72 dots per inch one dot a point.
  void ExpectTheTwoPagesArrived(const char* queue) {
    ASSERT_TRUE(mCups->WaitUntilIdle(30)) << "the job never finished";
    const std::vector<testing::PageImage> pages = testing::RenderPdfPages(mCups->Arrived(queue));
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
  std::string mMissed;
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
        if (text && std::string(text) == kOtherQueue) *found = true;
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

// The print dialog with the queue that is not the default chosen in its printer list (its
// search picks the queue by name) and Return pressed; nil when that did not print.
RuntimeObject* ChooseTheOtherQueueInTheDialog() {
  Driver driver{std::string("xdotool key Tab; xdotool type --delay 60 ") + kOtherQueue + "; sleep 0.3; xdotool key Return"};
  const guint poll = g_timeout_add(100, DriveDialog, &driver);
  const guint guard = g_timeout_add(20000, CancelDialog, nullptr);
  RuntimeObject* graphics = RuntimeOpenPrinterDialog(nullptr, nullptr);
  if (!driver.sent) g_source_remove(poll);
  g_source_remove(guard);
  return graphics;
}

// The default queue, for OpenPrinter, and the other queue chosen in the dialog: each job
// reaches its own queue and nothing else.
TEST_F(PrintingCupsGuiTest, BothPagesReachTheDefaultQueueAndTheQueueChosenInTheDialog) {
  for (bool dialog : {false, true}) {
    for (const char* queue : {kDefaultQueue, kOtherQueue}) std::ofstream(mCups->Arrived(queue)).close();
    RuntimeObject* graphics = dialog ? ChooseTheOtherQueueInTheDialog() : RuntimeOpenPrinter(nullptr);
    ASSERT_NE(graphics, nullptr) << "the job was not made; dialog: " << dialog;
    testing::PrintTwoPages(graphics);
    EXPECT_TRUE(Reports().empty());
    ExpectTheTwoPagesArrived(dialog ? kOtherQueue : kDefaultQueue);
    EXPECT_EQ(testing::ReadWholeFile(mCups->Arrived(dialog ? kDefaultQueue : kOtherQueue)).size(), 0u) << dialog;
  }
}

// A queue that stops taking jobs or goes while the pages are drawn, whether it was chosen in
// the dialog or is the default, and queues of which none is the default: the job fails where
// the program hears it, and nothing is printed, neither on another queue nor into a file.
TEST_F(PrintingCupsGuiTest, AQueueThatStopsTakingJobsOrGoesWhileTheJobIsDrawnIsReported) {
  // Deleted before the job is made, the default queue leaves queues of which none is the default.
  for (const auto& [dialog, deleted, early] :
       {std::tuple{true, false, false}, {false, false, false}, {false, true, false}, {false, true, true}}) {
    SCOPED_TRACE(std::string(dialog ? "chosen in the dialog" : "the default") + (deleted ? ", deleted" : ", refusing") +
                 (early ? " before the job" : ""));
    const std::string queue = dialog ? kOtherQueue : kDefaultQueue, change = (deleted ? "lpadmin -x " : "cupsreject ") + queue;
    Reports().clear();
    ASSERT_EQ(early ? mCups->Tool(change) : 0, 0);
    RuntimeObject* graphics = dialog ? ChooseTheOtherQueueInTheDialog() : RuntimeOpenPrinter(nullptr);
    ASSERT_NE(graphics, nullptr) << "no job was made";
    ASSERT_EQ(early ? 0 : mCups->Tool(change), 0);
    testing::PrintTwoPages(graphics);
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_NE(Reports()[0].find("gnome_print_job_print"), std::string::npos) << Reports()[0];
    EXPECT_NE(Reports()[0].find(early ? "no default" : queue), std::string::npos) << Reports()[0];
    // Nothing reached a queue's device or the file a job writes without a printer.
    EXPECT_TRUE(mCups->WaitUntilIdle(30));
    for (const char* each : {kDefaultQueue, kOtherQueue}) EXPECT_EQ(testing::ReadWholeFile(mCups->Arrived(each)), "");
    EXPECT_NE(access(mMissed.c_str(), F_OK), 0);
    if (deleted) {
      ASSERT_EQ(mCups->Tool("lpadmin -p " + queue + " -E -v capture:" + mCups->Arrived(queue)), 0);
      ASSERT_EQ(mCups->Tool("lpadmin -d " + queue), 0);
    } else {
      ASSERT_EQ(mCups->Tool("cupsaccept " + queue), 0);
    }
  }
}

// The printing tests run as on a desk whose print server has a default queue, named the ways a
// desktop names it: each test program's surroundings keep them from it, so they pass and the
// desk's queue gets nothing, whether it takes jobs or refuses them.
TEST(PrintingSurroundingsGuiTest, ThePrintingTestsNeverReachTheDesksPrintServer) {
  if (!testing::EnsureGtk()) GTEST_SKIP() << "no display";
  const std::string folder = test::PrivateRoot() + "/desk", home = folder + "/home", configured = home + "/.cups";
  testing::PrivateCups desk({"desk"}, folder);
  if (!desk.Ready()) GTEST_SKIP() << "no private CUPS server: " << desk.Why();
  ASSERT_EQ(test::Shell("mkdir -p '" + configured + "' && echo ok"), "ok\n");
  std::ofstream(configured + "/client.conf") << "ServerName " << desk.Socket() << "\n";
  // How the desk names its print server (the user's client.conf, the system's and LPDEST,
  // CUPS_SERVER), and whether its queue refuses jobs.
  const std::pair<std::string, bool> cases[] = {
      {"HOME=" + home, false},
      {"HOME=" + folder + " CUPS_SERVERROOT=" + configured + " LPDEST=desk", false},
      {"HOME=" + folder + " CUPS_SERVER=" + desk.Socket(), true},
  };
  for (const auto& [environment, refusing] : cases) {
    SCOPED_TRACE(environment);
    ASSERT_EQ(desk.Tool(refusing ? "cupsreject desk" : "cupsaccept desk"), 0);
    const std::string run = test::Shell("env -u CUPS_SERVER -u CUPS_SERVERROOT -u GTK2_RC_FILES " + environment +
                                        " /proc/" + std::to_string(getpid()) + "/exe --gtest_filter=" +
                                        "PrintingGuiTest.ATwoPageJobEndsAsATwoPagePdfHoldingTheDrawnPixels 2>&1; echo \"exit $?\"");
    EXPECT_NE(run.find("[  PASSED  ] 1 test."), std::string::npos) << run;
    EXPECT_NE(run.find("exit 0"), std::string::npos) << run;
  }
  EXPECT_TRUE(desk.WaitUntilIdle(30));
  EXPECT_EQ(testing::ReadWholeFile(desk.Arrived("desk")).size(), 0u);
  EXPECT_EQ(test::Shell("CUPS_SERVER='" + desk.Socket() + "' lpstat -W all -o 2>&1"), "");
}

}  // namespace
}  // namespace vorn
