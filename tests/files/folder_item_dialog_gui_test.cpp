// The file dialogs on a real display: the GTK file chooser is driven from outside with xdotool
// while the dialog's modal run serves the run loop, and the FolderItem it answers is checked.
#include <gtk/gtk.h>
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "core/class_registration.h"
#include "core/run_loop.h"
#include "files/folder_item_dialog.h"
#include "files/support/folder_item_test.h"
#include "files/support/temp_folder.h"
#include "support/gui_support.h"
#include "vorn/folder_item_api.h"
#include "vorn/folder_item_dialog_api.h"
#include "windows/window.h"

// Last: X11's macros clash with names in the headers above.
#include <gdk/gdkx.h>

namespace vorn::testing {
namespace {

string Str(const std::string& text) { return vorn::testing::Text(text); }

// What the chooser showed, read right after it appeared.
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
  test::PumpFor(300);
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

// A confirmation window the chooser raised over itself (it runs its own nested loop, where
// only GTK timeouts keep going).
gboolean WatchForConfirmation(gpointer data) {
  GList* windows = gtk_window_list_toplevels();
  for (GList* link = windows; link; link = link->next) {
    if (GTK_IS_MESSAGE_DIALOG(link->data) && gtk_widget_get_visible(GTK_WIDGET(link->data))) {
      *static_cast<bool*>(data) = true;
    }
  }
  g_list_free(windows);
  return TRUE;
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
    mTicks = g_timeout_add(50, &CountTick, &mTickCount);
    mWatchdog = g_timeout_add(20000, &GiveUp, this);
  }

  void TearDown() override {
    OnShown() = nullptr;
    g_source_remove(mTicks);
    g_source_remove(mWatchdog);
    RemoveRunLoopHook(RunLoopStage::kAfterPollables, &CountIteration, &mIterations);
    StopDrivers();
    EXPECT_FALSE(mGaveUp) << "the dialog was still open after 20 seconds";
    EXPECT_EQ(chdir(mWorkingFolder.c_str()), 0);
    while (FirstFileType()) DeregisterFileType(FirstFileType()->name);
    // Keys still on their way belong to this test's dialogs, not to the next test's.
    test::PumpFor(800);
    TempFolderTest::TearDown();
  }

  // Once the chooser is up: records what it shows, then has a user act on it from outside
  // with the xdotool commands, each given the chooser's window as "%w".
  // A path to enter is put on the clipboard and pasted into the location bar in one piece: the
  // bar's completion rewrites text typed into it a character at a time. Typing "/" opens the
  // bar whether or not the last chooser left it shown (Ctrl+L would toggle it).
  void WhenShown(const std::string& title, std::vector<std::string> commands, const std::string& paste = "") {
    OnShown() = [this, title, commands, paste](GtkWidget* chooser) {
      mChooser = chooser;
      mShown = Inspect(chooser, title);
      if (!paste.empty()) gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), paste.c_str(), -1);
      test::Shell("xdotool windowfocus --sync " + mShown.xid);
      test::PumpFor(300);
      // The first key xdotool sends can go to the window that held the focus before.
      test::Shell("xdotool key shift");
      test::PumpFor(200);
      StopDrivers();
      std::string script = "sleep 0.2";
      for (std::string command : commands) {
        if (size_t at = command.find("%w"); at != std::string::npos) command.replace(at, 2, mShown.xid);
        script += "; " + command + "; sleep 0.5";
      }
      std::string pid = test::Shell("setsid sh -c '" + script + "' >/dev/null 2>&1 & echo $!");
      mDrivers.push_back(std::stoi(pid));
    };
  }

  // A driver left over from an earlier dialog must not act on the next one.
  void StopDrivers() {
    for (pid_t driver : mDrivers) kill(-driver, SIGTERM);
    mDrivers.clear();
  }

  static constexpr const char* kPastePath = "xdotool key slash; sleep 0.5; xdotool key ctrl+a ctrl+v";

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
  int mIterations = 0;
  int mTickCount = 0;
  guint mTicks = 0;
  guint mWatchdog = 0;
  bool mGaveUp = false;
  std::vector<pid_t> mDrivers;
  std::string mWorkingFolder;
};

TEST_F(FolderItemDialogGuiTest, OpenAnswersTheTypedFileWhileTheRunLoopAndTimersGoOn) {
  WriteFile("chart.csv", "1,2,3\n");
  RuntimeObject* dialog = NewDialog(GetOpenDialogClassDefinition(), "Open a chart");
  WhenShown("Open a chart", {kPastePath, "xdotool key Return"}, PathOf("chart.csv"));
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("chart.csv"));
  EXPECT_NE(mShown.titledWindows.find(mShown.xid), std::string::npos) << "the title names the chooser's window";
  EXPECT_GT(mIterations, 5) << "the run loop served the wait";
  EXPECT_GT(mTickCount, 5) << "timeouts fired while the dialog was up";
  EXPECT_EQ(Answered(objGetter(dialog, offsetof(FolderItemDialogObject, result))), PathOf("chart.csv"));
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, EscapeAnswersNilAndForgetsTheEarlierChoice) {
  WriteFile("first.txt", "x");
  RuntimeObject* dialog = NewDialog(GetOpenDialogClassDefinition(), "Cancel me");
  WhenShown("", {kPastePath, "xdotool key Return"}, PathOf("first.txt"));
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("first.txt"));
  WhenShown("", {"xdotool key Escape"});
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), "<nil>");
  EXPECT_EQ(Fields(dialog)->result, nullptr);
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, TheInitialDirectoryIsWhereANameTypedAloneIsFound) {
  MakeFolder("charts");
  WriteFile("charts/notes.txt", "n");
  RuntimeObject* dialog = NewDialog(GetOpenDialogClassDefinition(), "Start in charts");
  StartIn(dialog, PathOf("charts"));
  WhenShown("", {kPastePath, "xdotool key Return"}, "notes.txt");
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
  WhenShown("Save the chart", {"xdotool key Return"});
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("new chart.csv"));
  EXPECT_FALSE(PathExists("new chart.csv")) << "choosing a name creates nothing";
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, SavingOverAnExistingFileAsksFirst) {
  WriteFile("old.csv", "keep");
  bool asked = false;
  guint watch = g_timeout_add(50, &WatchForConfirmation, &asked);
  RuntimeObject* dialog = NewDialog(GetSaveAsDialogClassDefinition(), "Replace it?");
  StartIn(dialog, Root());
  Fields(dialog)->suggestedFileName = Str("old.csv").GetRetainedRep();
  // Declining the question returns to the chooser, which is then cancelled.
  WhenShown("", {"xdotool key Return", "sleep 0.6; xdotool key Escape", "sleep 0.6; xdotool key Escape"});
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), "<nil>");
  EXPECT_TRUE(asked);
  asked = false;
  WhenShown("", {"xdotool key Return", "sleep 0.6; xdotool key Return"});
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("old.csv"));
  EXPECT_TRUE(asked);
  EXPECT_EQ(ReadFile("old.csv"), "keep");
  g_source_remove(watch);
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, SelectFolderAnswersTheChosenFolder) {
  MakeFolder("charts");
  RuntimeObject* dialog = NewDialog(GetSelectFolderDialogClassDefinition(), "Pick a folder");
  StartIn(dialog, Root());
  WhenShown("Pick a folder", {kPastePath, "xdotool key Return"}, PathOf("charts"));
  EXPECT_EQ(Answered(FolderItemDialogShowModal(dialog)), PathOf("charts/"));
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogGuiTest, GetOpenFolderItemFiltersByTheNamedTypes) {
  RegisterFileType(Str("Chart"), string(), string(), Str(".csv"));
  RegisterFileType(Str("Text"), string(), string(), Str(".txt;text"));
  WhenShown("", {"xdotool key Escape"});
  EXPECT_EQ(Answered(RuntimeGetOpenFolderItem(Str("Text;Nope;Chart").Rep())), "<nil>");
  EXPECT_EQ(mShown.filterNames, (std::vector<std::string>{"Text", "Chart"}));
  EXPECT_EQ(mShown.textFilterMatches, (std::vector<std::string>{"a.txt", "b.text"}));
}

TEST_F(FolderItemDialogGuiTest, GetSaveFolderItemAnswersTheDefaultNameInTheWorkingFolder) {
  ASSERT_EQ(chdir(Root().c_str()), 0);
  WhenShown("", {"xdotool key Return"});
  EXPECT_EQ(Answered(RuntimeGetSaveFolderItem(nullptr, Str("plot.bmp").Rep())), PathOf("plot.bmp"));
}

TEST_F(FolderItemDialogGuiTest, SelectFolderCancelledAnswersNil) {
  WhenShown("", {"xdotool key Escape"});
  EXPECT_EQ(Answered(RuntimeSelectFolder()), "<nil>");
}

TEST_F(FolderItemDialogGuiTest, AParentWindowKeepsTheChooserAboveIt) {
  test::TestWindow parent(MakeRect(100, 100, 400, 300));
  test::ShowAndSettle(&parent);
  RuntimeObject* dialog = NewDialog(GetOpenDialogClassDefinition(), "Over the parent");
  WhenShown("", {"xdotool key Escape"});
  EXPECT_EQ(FolderItemDialogRun(Fields(dialog), &parent), nullptr);
  EXPECT_EQ(mShown.transientFor, GTK_WINDOW(parent.GtkWindowWidget()));
  RuntimeUnlockObject(dialog);
}

}  // namespace
}  // namespace vorn::testing
