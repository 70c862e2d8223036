// The language's FolderItemDialog class with its three kinds, and the global functions
// GetOpenFolderItem, GetSaveFolderItem and SelectFolder.
#include <cstddef>
#include <iterator>
#include <new>

#include "windows/folder_item_dialog.h"
#include "objects/accessors.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/folder_item_dialog_api.h"
#include "windows/pane.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

FolderItemDialogObject* Fields(RuntimeObject* object) { return reinterpret_cast<FolderItemDialogObject*>(object); }

#define INT_PROPERTY(name, field)                                                                  \
  {0, name, "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter",                       \
   Offset(offsetof(FolderItemDialogObject, field)), 0}
#define STRING_PROPERTY(name, field)                                                               \
  {0, name, "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",            \
   Offset(offsetof(FolderItemDialogObject, field)), 0}

const PropertyRow kDialogProperties[] = {
    INT_PROPERTY("Top", top),
    INT_PROPERTY("Left", left),
    {0, "InitialDirectory", "o<FolderItem>", Fn(&objGetter), "objGetter", Fn(&objSetter), "objSetter",
     Offset(offsetof(FolderItemDialogObject, initialDirectory)), 0},
    {0, "Result", "o<FolderItem>", Fn(&objGetter), "objGetter", nullptr, nullptr,
     Offset(offsetof(FolderItemDialogObject, result)), 0},
    STRING_PROPERTY("Filter", filter),
    STRING_PROPERTY("Title", title),
    STRING_PROPERTY("ActionButtonCaption", actionButtonCaption),
    STRING_PROPERTY("CancelButtonCaption", cancelButtonCaption),
    STRING_PROPERTY("SuggestedFileName", suggestedFileName),
    STRING_PROPERTY("PromptText", promptText),
};

#undef INT_PROPERTY
#undef STRING_PROPERTY

const ParamRow kParentParam[] = {{"Parent", "o<Window>", 0, 0}};
const MethodRow kDialogMethods[] = {
    {"ShowModal", "o<FolderItem>", nullptr, 0, Fn(&FolderItemDialogShowModal), "FolderItemDialogShowModal",
     nullptr, nullptr, 0, 0},
    {"ShowModalWithin", "o<FolderItem>", kParentParam, 1, Fn(&FolderItemDialogShowWithin),
     "FolderItemDialogShowWithin", nullptr, nullptr, 0, 0},
};

ObjectDefinition* DialogKind(ObjectDefinition& definition, const char* name, void (*initializer)(VornRuntimeObject*),
                             const char* initializerName) {
  if (definition.mName.IsEmpty()) {
    definition.mName = string(name);
    definition.mSuper = GetFolderItemDialogClassDefinition();
    definition.mInstanceSize = static_cast<int32_t>(sizeof(FolderItemDialogObject));
    definition.mInitializer = {Fn(initializer), initializerName};
  }
  return &definition;
}

void SetKind(VornRuntimeObject* self, FolderItemDialogKind kind) {
  if (self) Fields(self)->kind = kind;
}

// The choice with one reference for the caller, the dialog kept alive while it runs.
RuntimeObject* ShowModal(RuntimeObject* self, Window* parent) {
  if (!RuntimeObjectIsaDefinition(self, GetFolderItemDialogClassDefinition())) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  RuntimeLockObject(self);
  RuntimeObject* result = FolderItemDialogRun(Fields(self), parent);
  RuntimeLockObject(result);
  RuntimeUnlockObject(self);
  return result;
}

// The global functions: a dialog of the kind, made, run once and dropped.
RuntimeObject* AskWithNewDialog(ObjectDefinition* definition, StringRep* filter, StringRep* suggestedName) {
  ClearCurrentPane();
  RuntimeObject* object = CreateInstanceFromDefinition(definition);
  if (!object) return nullptr;
  FolderItemDialogObject* dialog = Fields(object);
  ReplaceStringRep(dialog->filter, filter);
  ReplaceStringRep(dialog->suggestedFileName, suggestedName);
  RuntimeObject* result = FolderItemDialogRun(dialog, nullptr);
  RuntimeLockObject(result);
  RuntimeUnlockObject(object);
  return result;
}

}  // namespace

ObjectDefinition* GetFolderItemDialogClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("FolderItemDialog");
    definition.mInstanceSize = static_cast<int32_t>(sizeof(FolderItemDialogObject));
    definition.mInitializer = {Fn(&FolderItemDialogInitializer), "FolderItemDialogInitializer"};
    definition.mFinalizer = {Fn(&FolderItemDialogFinalizer), "FolderItemDialogFinalizer"};
    definition.SetInstanceVariables(BuildPropertyList(kDialogProperties, RowCount(kDialogProperties)));
    SetMethodList(&definition, kDialogMethods, RowCount(kDialogMethods));
  }
  return &definition;
}

ObjectDefinition* GetOpenDialogClassDefinition() {
  static ObjectDefinition definition;
  return DialogKind(definition, "OpenDialog", &OpenDialogInitializer, "OpenDialogInitializer");
}

ObjectDefinition* GetSaveAsDialogClassDefinition() {
  static ObjectDefinition definition;
  return DialogKind(definition, "SaveAsDialog", &SaveAsDialogInitializer, "SaveAsDialogInitializer");
}

ObjectDefinition* GetSelectFolderDialogClassDefinition() {
  static ObjectDefinition definition;
  return DialogKind(definition, "SelectFolderDialog", &SelectFolderDialogInitializer,
                    "SelectFolderDialogInitializer");
}

void RegisterFolderItemDialogClasses() {
  RegisterIntrinsicClass("FolderItemDialog", &GetFolderItemDialogClassDefinition);
  RegisterIntrinsicClass("OpenDialog", &GetOpenDialogClassDefinition);
  RegisterIntrinsicClass("SaveAsDialog", &GetSaveAsDialogClassDefinition);
  RegisterIntrinsicClass("SelectFolderDialog", &GetSelectFolderDialogClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void FolderItemDialogInitializer(VornRuntimeObject* self) {
  if (!self) return;
  FolderItemDialogObject* dialog = Fields(self);
  new (&dialog->typeList) SimpleVector<FileType*>();
  if (dialog->kind != 0) return;
  dialog->kind = kAbstractDialogKind;
  dialog->result = nullptr;
  dialog->top = -1;
  dialog->left = -1;
}

void FolderItemDialogFinalizer(VornRuntimeObject* self) {
  if (!self) return;
  FolderItemDialogObject* dialog = Fields(self);
  RuntimeObject* items[] = {dialog->result, dialog->initialDirectory};
  dialog->result = dialog->initialDirectory = nullptr;
  for (RuntimeObject* item : items) RuntimeUnlockObject(item);
  StringRep** strings[] = {&dialog->title,      &dialog->actionButtonCaption, &dialog->cancelButtonCaption,
                           &dialog->suggestedFileName, &dialog->promptText, &dialog->filter,
                           &dialog->filterSuppression};
  for (StringRep** field : strings) {
    RuntimeUnlockString(*field);
    *field = nullptr;
  }
  dialog->typeList.~SimpleVector();
}

void OpenDialogInitializer(VornRuntimeObject* self) { SetKind(self, kOpenDialogKind); }
void SaveAsDialogInitializer(VornRuntimeObject* self) { SetKind(self, kSaveDialogKind); }
void SelectFolderDialogInitializer(VornRuntimeObject* self) { SetKind(self, kSelectFolderDialogKind); }

VornRuntimeObject* FolderItemDialogShowModal(VornRuntimeObject* self) { return ShowModal(self, nullptr); }

VornRuntimeObject* FolderItemDialogShowWithin(VornRuntimeObject* self, VornRuntimeObject* parentWindow) {
  return ShowModal(self, GetWindowPaneOf(parentWindow));
}

VornRuntimeObject* RuntimeGetOpenFolderItem(VornStringRecord* filter) {
  return AskWithNewDialog(GetOpenDialogClassDefinition(), filter, nullptr);
}

VornRuntimeObject* RuntimeGetSaveFolderItem(VornStringRecord* filter, VornStringRecord* defaultName) {
  return AskWithNewDialog(GetSaveAsDialogClassDefinition(), filter, defaultName);
}

VornRuntimeObject* RuntimeSelectFolder() {
  return AskWithNewDialog(GetSelectFolderDialogClassDefinition(), nullptr, nullptr);
}

}  // extern "C"
