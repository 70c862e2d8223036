// The open, save and select-folder dialogs: the language's FolderItemDialog family and the
// global functions that ask the user for a file or folder. Every way in ends in one modal run
// of the GTK file chooser, which answers a FolderItem or nil.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/file_types.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/simple_vector.h"

struct _GtkWidget;

namespace vorn {

class Window;

inline constexpr const char* kFolderItemDialogSource = "../Common/FolderItemDialog";

enum FolderItemDialogKind : int32_t {
  kAbstractDialogKind = -1,
  kOpenDialogKind = 0,
  kSaveDialogKind = 1,
  kSelectFolderDialogKind = 2,
};

struct FolderItemDialogObject {
  RuntimeObject header;
  int32_t kind;
  int32_t top;   // -1 until set
  int32_t left;  // -1 until set
  StringRep* title;
  StringRep* actionButtonCaption;
  StringRep* cancelButtonCaption;
  StringRep* suggestedFileName;
  StringRep* promptText;
  StringRep* filter;  // file-type names separated by ";"
  RuntimeObject* initialDirectory;
  RuntimeObject* result;  // the last choice
  SimpleVector<FileType*> typeList;  // filled from the filter for one run only
  uint32_t reserved;
  Window* parent;  // the window of the last ShowModalWithin
  StringRep* filterSuppression;  // non-empty leaves the filters out; nothing sets it
};

ObjectDefinition* GetFolderItemDialogClassDefinition();
ObjectDefinition* GetOpenDialogClassDefinition();
ObjectDefinition* GetSaveAsDialogClassDefinition();
ObjectDefinition* GetSelectFolderDialogClassDefinition();
void RegisterFolderItemDialogClasses();

// One file filter of the chooser: named for its file type, one pattern per extension.
struct FileFilterSpec {
  std::string name;  // UTF-8
  std::vector<std::string> patterns;
};
// The filters of a type list, in its order: ".txt" gives "*.txt", "text" gives "*.text".
std::vector<FileFilterSpec> FileFilterSpecs(const SimpleVector<FileType*>& types);

// Shows the dialog modally inside the run loop, so timers, background tasks and sockets keep
// being served. Replaces Result with the choice (nil when cancelled) and answers it, not
// retained for the caller. A save dialog asks before replacing an existing file.
RuntimeObject* FolderItemDialogRun(FolderItemDialogObject* dialog, Window* parent);

// Called with each chooser right after it is shown (tests drive the dialog through it).
using FolderItemDialogShownHook = void (*)(_GtkWidget* chooser);
FolderItemDialogShownHook SetFolderItemDialogShownHook(FolderItemDialogShownHook hook);

}  // namespace vorn
