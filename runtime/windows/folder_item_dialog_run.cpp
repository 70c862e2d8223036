// The modal run of a file dialog on the GTK file chooser.
#include <gtk/gtk.h>
#include <unistd.h>

#include <string>

#include "files/folder_item_class.h"
#include "windows/folder_item_dialog.h"
#include "files/folder_item_imp.h"
#include "files/unix_path_text.h"
#include "strings/runtime_error.h"
#include "windows/window.h"

namespace vorn {

namespace {

FolderItemDialogShownHook sShownHook = nullptr;

std::string Utf8(StringRep* rep) { return std::string(string::Share(rep).ToUTF8().View()); }

// The native path of the initial directory, empty when there is none.
std::string InitialFolderBytes(const FolderItemDialogObject* dialog) {
  if (!IsFolderItem(dialog->initialDirectory)) return {};
  FolderItemImp* imp = FolderItemImpOf(dialog->initialDirectory);
  return imp ? PathBytes(imp->GetAbsolutePath()) : std::string();
}

GtkFileChooserAction ActionOf(int32_t kind) {
  switch (kind) {
    case kSaveDialogKind: return GTK_FILE_CHOOSER_ACTION_SAVE;
    case kSelectFolderDialogKind: return GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER;
    default: return GTK_FILE_CHOOSER_ACTION_OPEN;
  }
}

void AddFilters(GtkFileChooser* chooser, const FolderItemDialogObject* dialog) {
  if (!string::Share(dialog->filterSuppression).IsEmpty()) return;
  for (const FileFilterSpec& spec : FileFilterSpecs(dialog->typeList)) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, spec.name.c_str());
    for (const std::string& pattern : spec.patterns) gtk_file_filter_add_pattern(filter, pattern.c_str());
    gtk_file_chooser_add_filter(chooser, filter);
  }
}

GtkWidget* NewChooser(const FolderItemDialogObject* dialog, Window* parent, const std::string& initialFolder) {
  const bool save = dialog->kind == kSaveDialogKind;
  GtkWidget* widget = gtk_file_chooser_dialog_new(Utf8(dialog->title).c_str(), nullptr, ActionOf(dialog->kind),
                                                  save ? GTK_STOCK_SAVE : GTK_STOCK_OPEN, GTK_RESPONSE_OK,
                                                  GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(widget);
  gtk_dialog_set_default_response(GTK_DIALOG(widget), GTK_RESPONSE_OK);
  gtk_window_set_modal(GTK_WINDOW(widget), TRUE);
  if (parent && parent->GtkWindowWidget()) {
    gtk_window_set_transient_for(GTK_WINDOW(widget), GTK_WINDOW(parent->GtkWindowWidget()));
  }
  if (dialog->kind != kSelectFolderDialogKind) AddFilters(chooser, dialog);
  // Without an initial directory the chooser starts in the working folder, which the last
  // initial directory set, rather than in a list of recent files that has no location bar.
  if (!initialFolder.empty()) {
    gtk_file_chooser_set_current_folder(chooser, initialFolder.c_str());
  } else if (gchar* working = g_get_current_dir()) {
    gtk_file_chooser_set_current_folder(chooser, working);
    g_free(working);
  }
  if (save) {
    // Replacing a file the user did not mean to lose is asked about first.
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
    const std::string name = Utf8(dialog->suggestedFileName);
    if (!name.empty()) gtk_file_chooser_set_current_name(chooser, name.c_str());
  }
  return widget;
}

struct PendingResponse {
  gint response = GTK_RESPONSE_NONE;
  bool answered = false;
  bool destroyed = false;
};

void OnResponse(GtkDialog*, gint response, gpointer data) {
  auto* pending = static_cast<PendingResponse*>(data);
  pending->response = response;
  pending->answered = true;
}

void OnDestroy(GtkWidget*, gpointer data) {
  auto* pending = static_cast<PendingResponse*>(data);
  pending->destroyed = true;
  pending->answered = true;
}

// Escape and the close box answer through the response signal; left to GTK, the chooser would
// then also be destroyed at once, under the run (and whoever watches the chooser) still using it.
gboolean KeepUntilTheRunEnds(GtkWidget*, GdkEvent*, gpointer) { return TRUE; }

// Serves the run loop until the chooser answers or the application quits: timers, background
// tasks and sockets go on while the user chooses.
void WaitForResponse(const PendingResponse& pending) {
  const WindowLayerHooks& hooks = GetWindowLayerHooks();
  while (!pending.answered && !(hooks.quitRequested && hooks.quitRequested())) {
    if (hooks.runLoopOnce) {
      hooks.runLoopOnce(true);
    } else {
      gtk_main_iteration_do(TRUE);
    }
  }
}

// Whether the user chose; `chosen` receives the UTF-8 path.
bool RunChooser(const FolderItemDialogObject* dialog, Window* parent, const std::string& initialFolder,
                std::string* chosen) {
  GtkWidget* widget = NewChooser(dialog, parent, initialFolder);
  // Someone else may still destroy the chooser (the application closing every window); the
  // reference keeps the object itself valid until the run has let go of it.
  g_object_ref(widget);
  PendingResponse pending;
  g_signal_connect(widget, "response", G_CALLBACK(&OnResponse), &pending);
  g_signal_connect(widget, "delete-event", G_CALLBACK(&KeepUntilTheRunEnds), nullptr);
  gulong destroyHandler = g_signal_connect(widget, "destroy", G_CALLBACK(&OnDestroy), &pending);
  gtk_window_present(GTK_WINDOW(widget));
  if (sShownHook) sShownHook(widget);
  WaitForResponse(pending);
  if (pending.destroyed) {
    g_object_unref(widget);
    return false;
  }

  bool answered = false;
  if (pending.answered && pending.response == GTK_RESPONSE_OK) {
    if (gchar* native = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(widget))) {
      if (gchar* utf8 = g_filename_to_utf8(native, -1, nullptr, nullptr, nullptr)) {
        *chosen = utf8;
        answered = true;
        g_free(utf8);
      }
      g_free(native);
    }
  }
  g_signal_handler_disconnect(widget, destroyHandler);
  gtk_widget_destroy(widget);
  g_object_unref(widget);
  // Open and save dialogs answer files only.
  if (dialog->kind != kSelectFolderDialogKind && (chosen->empty() || chosen->back() == '/')) return false;
  return answered;
}

}  // namespace

std::vector<FileFilterSpec> FileFilterSpecs(const SimpleVector<FileType*>& types) {
  std::vector<FileFilterSpec> specs;
  for (const FileType* type : types) {
    specs.push_back({std::string(type->name.ToUTF8().View()), FilterPatternsOfFileType(*type)});
  }
  return specs;
}

FolderItemDialogShownHook SetFolderItemDialogShownHook(FolderItemDialogShownHook hook) {
  FolderItemDialogShownHook previous = sShownHook;
  sShownHook = hook;
  return previous;
}

RuntimeObject* FolderItemDialogRun(FolderItemDialogObject* dialog, Window* parent) {
  if (!dialog) return nullptr;
  if (dialog->kind == kAbstractDialogKind) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kFolderItemDialogSource, __LINE__, "-1 != mType",
                       "It looks like you're trying to use the abstract FolderItemDialog class instead of a concrete "
                       "class");
  }
  dialog->parent = parent;
  bool typesFromFilter = false;
  if (!string::Share(dialog->filter).IsEmpty() && dialog->typeList.IsEmpty()) {
    ParseFileTypeList(string::Share(dialog->filter), &dialog->typeList);
    typesFromFilter = true;
  }
  RuntimeObject* previous = dialog->result;
  dialog->result = nullptr;
  RuntimeUnlockObject(previous);

  if (dialog->kind >= kOpenDialogKind && dialog->kind <= kSelectFolderDialogKind) {
    const std::string initialFolder = InitialFolderBytes(dialog);
    // Later relative paths start in the folder the dialog was pointed at; a folder that cannot
    // be entered leaves the working folder as it was.
    if (!initialFolder.empty() && chdir(initialFolder.c_str()) != 0) {
    }
    std::string chosen;
    RuntimeObject* answer = nullptr;
    // Without a display there is nobody to ask.
    if (gdk_display_get_default() && RunChooser(dialog, parent, initialFolder, &chosen)) {
      FolderItemImp* imp = FolderItemImpForNativePath(string(chosen, kEncodingUTF8), false);
      answer = NewFolderItemWithImp(nullptr, imp);
    }
    // Code run during the wait (a timer) may have shown this dialog again and left that run's
    // choice in Result: this run answers its own.
    RuntimeObject* nested = dialog->result;
    dialog->result = answer;
    RuntimeUnlockObject(nested);
  }
  if (typesFromFilter) dialog->typeList.Clear();
  return dialog->result;
}

}  // namespace vorn
