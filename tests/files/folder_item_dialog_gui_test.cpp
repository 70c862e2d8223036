// The file dialogs on a real display: the GTK file chooser is driven from outside with xdotool
// while the dialog's modal run serves the run loop, and the FolderItem it answers is checked.
#include <gtk/gtk.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "startup/class_registration.h"
#include "core/run_loop.h"
#include "windows/folder_item_dialog.h"
#include "files/support/chooser_driver.h"
#include "files/support/folder_item_test.h"
#include "files/support/temp_folder.h"
#include "graphics/picture_export.h"
#include "support/gui_support.h"
#include "vorn/folder_item_api.h"
#include "vorn/folder_item_dialog_api.h"
#include "vorn/picture_api.h"
#include "windows/window.h"

// Last: X11's macros clash with names in the headers above.
#include <gdk/gdkx.h>

namespace vorn::testing {
namespace {

string Str(const std::string& text) { return vorn::testing::Text(text); }

using Steps = std::vector<ChooserDriver::Step>;

// What the chooser showed, read once it was on the screen.
struct Shown {
  std::string xid;
  std::string titledWindows;  // xdotool's answer to a search by the title
  std::string currentFolder;
  std::vector<std::string> filterNames;
  std::vector<std::string> textFilterMatches;  // names the "Text" filter lets through
  GtkWindow* transientFor = nullptr;
};

std::function<void(GtkWidget*)>& OnShown() {
  static std::function<void(GtkWidget*)> handler;
  return handler;
}

void CallOnShown(GtkWidget* chooser) {
  if (OnShown()) OnShown()(chooser);
}

bool FilterPasses(GtkFileFilter* filter, const char* name) {
  GtkFileFilterInfo info = {};
  info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
  info.display_name = name;
  return gtk_file_filter_filter(filter, &info);
}

Shown Inspect(GtkWidget* chooser, const std::string& title) {
  Shown shown;
  shown.xid = std::to_string(GDK_WINDOW_XID(gtk_widget_get_window(chooser)));
  if (!title.empty()) shown.titledWindows = test::Shell("xdotool search --onlyvisible --name '^" + title + "$'");
  if (gchar* folder = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(chooser))) {
    shown.currentFolder = std::string(folder) + "/";
    g_free(folder);
  }
  GSList* filters = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(chooser));
  for (GSList* link = filters; link; link = link->next) {
    auto* filter = GTK_FILE_FILTER(link->data);
    std::string name = gtk_file_filter_get_name(filter);
    shown.filterNames.push_back(name);
    if (name != "Text") continue;
    for (const char* file : {"a.txt", "b.text", "c.csv"}) {
      if (FilterPasses(filter, file)) shown.textFilterMatches.push_back(file);
    }
  }
  g_slist_free(filters);
  shown.transientFor = gtk_window_get_transient_for(GTK_WINDOW(chooser));
  return shown;
}

gboolean CountTick(gpointer data) {
  ++*static_cast<int*>(data);
  return TRUE;
}

bool CountIteration(void* data) {
  ++*static_cast<int*>(data);
  return false;
}

class FolderItemDialogGuiTest : public TempFolderTest {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(test::EnsureDisplay()) << "needs an X display";
    SetFolderItemDialogShownHook(&CallOnShown);
    WindowLayerHooks hooks = GetWindowLayerHooks();
    hooks.runLoopOnce = &RunMainLoopOnce;
    hooks.quitRequested = &GetQuitFlag;
    SetWindowLayerHooks(hooks);
  }

  void SetUp() override {
    RuntimeInitExternalClasses();
    TempFolderTest::SetUp();
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    mWorkingFolder = cwd;
    AddRunLoopHook(RunLoopStage::kAfterPollables, &CountIteration, &mIterations);
    mTicks = g_timeout_add(10, &CountTick, &mTickCount);
    mWatchdog = g_timeout_add(vorn::test::kWaitLimitMs, &GiveUp, this);
  }

  void TearDown() override {
    OnShown() = nullptr;
    g_source_remove(mTicks);
    g_source_remove(mWatchdog);
    RemoveRunLoopHook(RunLoopStage::kAfterPollables, &CountIteration, &mIterations);
    mDriver.Stop();
    EXPECT_FALSE(mGaveUp) << "the dialog was still open after " << vorn::test::kWaitLimitMs / 1000 << " seconds, waiting for " << mDriver.Awaiting();
    EXPECT_TRUE(mDriver.Finished()) << "the dialog answered while the user was still to act: "
                                    << mDriver.Awaiting();
    // A key held down would repeat into the next test's chooser and answer it at once.
    EXPECT_FALSE(AnyKeyStillDown());
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    EXPECT_EQ(chdir(mWorkingFolder.c_str()), 0);
    while (FirstFileType()) DeregisterFileType(FirstFileType()->name);
    TempFolderTest::TearDown();
  }

  // Once the chooser is up: records what it shows, then a user acts on it with the steps.
  void WhenShown(const std::string& title, Steps steps, const std::string& paste = "") {
    OnShown() = [this, title, steps, paste](GtkWidget* chooser) {
      mChooser = chooser;
      if (!paste.empty()) gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), paste.c_str(), -1);
      Steps all{ChooserDriver::Shown([this, title](GtkWidget* shown) { mShown = Inspect(shown, title); })};
      all.insert(all.end(), steps.begin(), steps.end());
      mDriver.Start(chooser, std::move(all));
    };
  }

  // Opens the location bar, pastes the path into it and accepts it. The path goes in in one
  // piece: the bar's completion rewrites text typed into it a character at a time. Typing "/"
  // opens the bar whether or not the last chooser left it shown (Ctrl+L would toggle it).
  void WhenShownEnter(const std::string& title, const std::string& path) {
    WhenShown(title, {ChooserDriver::Press("slash"), ChooserDriver::EnterInEntry(path)}, path);
  }
  static Steps PressEscape() { return {ChooserDriver::Press("Escape")}; }

  RuntimeObject* NewDialog(ObjectDefinition* definition, const std::string& title) {
    RuntimeObject* dialog = CreateInstanceFromDefinition(definition);
    Fields(dialog)->title = Str(title).GetRetainedRep();
    return dialog;
  }
  static FolderItemDialogObject* Fields(RuntimeObject* dialog) { return reinterpret_cast<FolderItemDialogObject*>(dialog); }
  void StartIn(RuntimeObject* dialog, const std::string& folder) {
    Fields(dialog)->initialDirectory = RuntimeGetFolderItem(Str(folder).Rep(), 0);
  }

  // The path of the item the dialog answered, released; "<nil>" for nil.
  static std::string Answered(RuntimeObject* item) {
    if (!item) return "<nil>";
    std::string path = FolderItemTest::PathOf(item);
    RuntimeUnlockObject(item);
    return path;
  }

  // Ends every dialog still up, the chooser last, so that a stuck test fails instead of hanging.
  static gboolean GiveUp(gpointer data) {
    auto* self = static_cast<FolderItemDialogGuiTest*>(data);
    self->mGaveUp = true;
    GList* windows = gtk_window_list_toplevels();
    for (GList* link = windows; link; link = link->next) {
      auto* widget = GTK_WIDGET(link->data);
      if (GTK_IS_DIALOG(widget) && widget != self->mChooser && gtk_widget_get_visible(widget)) {
        gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_DELETE_EVENT);
      }
    }
    g_list_free(windows);
    if (self->mChooser) gtk_dialog_response(GTK_DIALOG(self->mChooser), GTK_RESPONSE_CANCEL);
    return TRUE;
  }

  Shown mShown;
  GtkWidget* mChooser = nullptr;
  ChooserDriver mDriver;
  int mIterations = 0;
  int mTickCount = 0;
  guint mTicks = 0;
  guint mWatchdog = 0;
  bool mGaveUp = false;
  std::string mWorkingFolder;
};

TEST_F(FolderItemDialogGuiTest, OpenAnswersTheTypedFileWhileTheRunLoopAndTimersGoOn) {
  WriteFile("chart.csv", "1,2,3\n");
  RuntimeObject* dialog = NewDialog(GetOpenDialogClassDefinition(), "Open a chart");
  WhenShownEnter("Open a chart", PathOf("chart.csv"));
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("chart.csv"));
  EXPECT_NE(mShown.titledWindows.find(mShown.xid), std::string::npos) << "the title names the chooser's window";
  // The four steps of the user (shown, "/", paste, Return) each ran from a timeout of their own,
  // 20 ms apart, which only the dialog's wait served; the 10 ms ticks fell between them.
  EXPECT_GE(mIterations, 4) << "the run loop served the wait";
  EXPECT_GE(mTickCount, 3) << "timeouts fired while the dialog was up";
  EXPECT_EQ(Answered(objGetter(dialog, offsetof(FolderItemDialogObject, result))), PathOf("chart.csv"));
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, EscapeAnswersNilAndForgetsTheEarlierChoice) {
  WriteFile("first.txt", "x");
  RuntimeObject* dialog = NewDialog(GetOpenDialogClassDefinition(), "Cancel me");
  WhenShownEnter("", PathOf("first.txt"));
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("first.txt"));
  WhenShown("", PressEscape());
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), "<nil>");
  EXPECT_EQ(Fields(dialog)->result, nullptr);
  RuntimeUnlockObject(dialog);
}

// A timer of the program shows the same dialog again while the first run waits: the user
// picks a file in the second and cancels the first, and each run answers its own choice.
TEST_F(FolderItemDialogGuiTest, ADialogShownAgainDuringItsWaitAnswersEachRunItsOwnChoice) {
  WriteFile("inner.txt", "i");
  RuntimeObject* dialog = NewDialog(GetOpenDialogClassDefinition(), "Twice");
  GtkWidget* outer = nullptr;
  std::string innerAnswer;
  ChooserDriver outerDriver;
  std::function<void()> timer = [&] {
    WhenShownEnter("", PathOf("inner.txt"));
    innerAnswer = Answered(FolderItemDialogShowModal(dialog));
    outerDriver.Start(outer, {ChooserDriver::Shown(), ChooserDriver::Press("Escape")});
  };
  OnShown() = [&](GtkWidget* chooser) {
    outer = chooser;
    g_timeout_add(50, [](gpointer f) -> gboolean { return (*static_cast<std::function<void()>*>(f))(), FALSE; },
                  &timer);
  };
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), "<nil>");
  EXPECT_EQ(innerAnswer, PathOf("inner.txt"));
  EXPECT_TRUE(outerDriver.Finished()) << outerDriver.Awaiting();
  EXPECT_EQ(Fields(dialog)->result, nullptr) << "Result is the answer of the run that ended last";
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, TheInitialDirectoryIsWhereANameTypedAloneIsFound) {
  MakeFolder("charts");
  WriteFile("charts/notes.txt", "n");
  RuntimeObject* dialog = NewDialog(GetOpenDialogClassDefinition(), "Start in charts");
  StartIn(dialog, PathOf("charts"));
  WhenShownEnter("", "notes.txt");
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("charts/notes.txt"));
  EXPECT_EQ(mShown.currentFolder, PathOf("charts/"));
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(std::string(cwd) + "/", PathOf("charts/")) << "later relative paths start there";
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, SaveAnswersTheSuggestedNameInTheInitialDirectory) {
  RuntimeObject* dialog = NewDialog(GetSaveAsDialogClassDefinition(), "Save the chart");
  StartIn(dialog, Root());
  Fields(dialog)->suggestedFileName = Str("new chart.csv").GetRetainedRep();
  WhenShown("Save the chart", {ChooserDriver::PressInEntry("Return", "new chart.csv")});
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("new chart.csv"));
  EXPECT_FALSE(PathExists("new chart.csv")) << "choosing a name creates nothing";
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, SavingOverAnExistingFileAsksFirst) {
  WriteFile("old.csv", "keep");
  RuntimeObject* dialog = NewDialog(GetSaveAsDialogClassDefinition(), "Replace it?");
  StartIn(dialog, Root());
  Fields(dialog)->suggestedFileName = Str("old.csv").GetRetainedRep();
  // Declining the question returns to the chooser, which is then cancelled.
  Steps decline{ChooserDriver::PressInEntry("Return", "old.csv")};
  for (ChooserDriver::Step& step : ChooserDriver::Confirm("Escape")) decline.push_back(step);
  decline.push_back(ChooserDriver::BackToChooser());
  decline.push_back(ChooserDriver::Press("Escape"));
  WhenShown("", decline);
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), "<nil>");
  // The user's steps went on only once the question was up.
  EXPECT_TRUE(mDriver.Finished()) << "waiting for " << mDriver.Awaiting();
  Steps accept{ChooserDriver::PressInEntry("Return", "old.csv")};
  for (ChooserDriver::Step& step : ChooserDriver::Confirm("Return")) accept.push_back(step);
  WhenShown("", accept);
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("old.csv"));
  EXPECT_TRUE(mDriver.Finished()) << "waiting for " << mDriver.Awaiting();
  EXPECT_EQ(ReadFile("old.csv"), "keep");
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, SelectFolderAnswersTheChosenFolder) {
  MakeFolder("charts");
  RuntimeObject* dialog = NewDialog(GetSelectFolderDialogClassDefinition(), "Pick a folder");
  StartIn(dialog, Root());
  WhenShownEnter("Pick a folder", PathOf("charts"));
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("charts/"));
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, GetOpenFolderItemFiltersByTheNamedTypes) {
  RegisterFileType(Str("Chart"), string(), string(), Str(".csv"));
  RegisterFileType(Str("Text"), string(), string(), Str(".txt;text"));
  WhenShown("", PressEscape());
  EXPECT_EQ(Answered(RuntimeGetOpenFolderItem(Str("Text;Nope;Chart").Rep())), "<nil>");
  EXPECT_EQ(mShown.filterNames, (std::vector<std::string>{"Text", "Chart"}));
  EXPECT_EQ(mShown.textFilterMatches, (std::vector<std::string>{"a.txt", "b.text"}));
}

TEST_F(FolderItemDialogGuiTest, GetSaveFolderItemAnswersTheDefaultNameInTheWorkingFolder) {
  ASSERT_EQ(chdir(Root().c_str()), 0);
  WhenShown("", {ChooserDriver::PressInEntry("Return", "plot.bmp")});
  EXPECT_EQ(Answered(RuntimeGetSaveFolderItem(nullptr, Str("plot.bmp").Rep())), PathOf("plot.bmp"));
}

TEST_F(FolderItemDialogGuiTest, AnExportedPictureIsSavedAsABitmapUnderTheChosenName) {
  ASSERT_EQ(chdir(Root().c_str()), 0);
  RuntimeObject* picture = newPicture(4, 3, 32);
  WhenShown("Export Image As:", {ChooserDriver::PressInEntry("Return", "Untitled Image.bmp")});
  EXPECT_EQ(exportPicture(picture), 1);
  EXPECT_NE(mShown.titledWindows.find(mShown.xid), std::string::npos) << "the title names the chooser's window";
  std::string head(2, '\0');
  std::ifstream(PathOf("Untitled Image.bmp"), std::ios::binary).read(head.data(), 2);
  EXPECT_EQ(head, "BM");
  RuntimeUnlockObject(picture);
}

TEST_F(FolderItemDialogGuiTest, CancellingAnExportWritesNothing) {
  ASSERT_EQ(chdir(Root().c_str()), 0);
  RuntimeObject* picture = newPicture(4, 3, 32);
  WhenShown("Export Image As:", PressEscape());
  EXPECT_EQ(exportPicture(picture), 0);
  EXPECT_FALSE(PathExists("Untitled Image.bmp"));
  RuntimeUnlockObject(picture);
}

TEST_F(FolderItemDialogGuiTest, SelectFolderCancelledAnswersNil) {
  WhenShown("", PressEscape());
  EXPECT_EQ(Answered(RuntimeSelectFolder()), "<nil>");
}

TEST_F(FolderItemDialogGuiTest, AParentWindowKeepsTheChooserAboveIt) {
  test::TestWindow parent(MakeRect(100, 100, 400, 300));
  test::ShowAndSettle(&parent);
  RuntimeObject* dialog = NewDialog(GetOpenDialogClassDefinition(), "Over the parent");
  WhenShown("", PressEscape());
  EXPECT_EQ(FolderItemDialogRun(Fields(dialog), &parent), nullptr);
  EXPECT_EQ(mShown.transientFor, GTK_WINDOW(parent.GtkWindowWidget()));
  RuntimeUnlockObject(dialog);
}

// A key that answers the chooser while whoever watches it is still busy with it (one held down
// from an earlier dialog, say) must not destroy the chooser under the watcher.
TEST_F(FolderItemDialogGuiTest, AChooserAnsweredAtOnceLastsUntilTheRunEnds) {
  bool answered = false;
  bool wholeAfterTheAnswer = false;
  gpointer alive = nullptr;
  OnShown() = [&](GtkWidget* chooser) {
    alive = chooser;
    g_object_add_weak_pointer(G_OBJECT(chooser), &alive);
    auto onResponse = +[](GtkDialog*, gint, gpointer flag) { *static_cast<bool*>(flag) = true; };
    g_signal_connect(chooser, "response", G_CALLBACK(onResponse), &answered);
    // The user presses Escape while the watcher, not yet the dialog's own wait, serves events.
    mDriver.Start(chooser, {ChooserDriver::Shown(), ChooserDriver::Press("Escape")});
    const gint64 end = g_get_monotonic_time() + 10 * G_TIME_SPAN_SECOND;
    while (!answered && g_get_monotonic_time() < end) test::PumpFor(5);
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    wholeAfterTheAnswer = alive && GTK_IS_FILE_CHOOSER(alive) && gtk_widget_get_visible(GTK_WIDGET(alive));
  };
  EXPECT_EQ(Answered(RuntimeSelectFolder()), "<nil>");
  EXPECT_TRUE(answered);
  EXPECT_TRUE(wholeAfterTheAnswer);
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  EXPECT_EQ(alive, nullptr) << "the run let the chooser go";
}

}  // namespace
}  // namespace vorn::testing
