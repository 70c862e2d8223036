#include "core/tray_item.h"

#include <cstddef>

#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "strings/runtime_error.h"
#include "strings/simple_vector.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

const PropertyRow kTrayItemProperties[] = {
    {0, "Icon", "o<Picture>", Fn(&objGetter), "objGetter", Fn(&TrayItemSetPicture), "TrayItemSetPicture",
     Offset(offsetof(TrayItemObject, icon)), 0},
    {0, "HelpTag", "s", Fn(&stringGetter), "stringGetter", Fn(&TrayItemSetHelpTag), "TrayItemSetHelpTag",
     Offset(offsetof(TrayItemObject, helpTag)), 0},
};

EventRow sTrayItemEvents[] = {{0, "Action", "cause As Integer", "", nullptr, 0}};

ObjectDefinition* BuildTrayItemDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("TrayItem");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(TrayItemObject));
  definition->mInitializer = {Fn(&TrayItemInitializer), "TrayItemInitializer"};
  definition->mFinalizer = {Fn(&TrayItemFinalizer), "TrayItemFinalizer"};
  definition->SetInstanceVariables(BuildPropertyList(kTrayItemProperties, RowCount(kTrayItemProperties)));
  SetEventList(definition, sTrayItemEvents, RowCount(sTrayItemEvents));
  return definition;
}

TrayItemObject* TrayItemFields(VornRuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetTrayItemClassDefinition())) return nullptr;
  return reinterpret_cast<TrayItemObject*>(object);
}

// Kept until exit: the quit sequence may run after everything else has let go of its items.
SimpleVector<RuntimeObject*>& TrayList() {
  static auto* list = new SimpleVector<RuntimeObject*>(0);
  return *list;
}

int32_t IndexOfId(int32_t id) {
  SimpleVector<RuntimeObject*>& list = TrayList();
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (reinterpret_cast<TrayItemObject*>(list[i])->mID == id) return i;
  }
  return -1;
}

}  // namespace

ObjectDefinition* GetTrayItemClassDefinition() {
  static ObjectDefinition* definition = BuildTrayItemDefinition();
  return definition;
}

void AddToTrayList(RuntimeObject* item) {
  if (!TrayItemFields(item)) return;
  RuntimeLockObject(item);
  TrayList().Append(item);
}

void RemoveFromTrayList(RuntimeObject* item) {
  TrayItemObject* fields = TrayItemFields(item);
  if (!fields) return;
  const int32_t index = IndexOfId(fields->mID);
  if (index < 0) return;
  RuntimeObject* listed = TrayList()[index];
  TrayList().RemoveAt(index);
  RuntimeUnlockObject(listed);
}

RuntimeObject* FindTrayItem(int32_t id) {
  const int32_t index = IndexOfId(id);
  return index < 0 ? nullptr : TrayList()[index];
}

int32_t TrayListCount() { return TrayList().Count(); }

void RemoveAllTrayItems() {
  SimpleVector<RuntimeObject*>& list = TrayList();
  for (int32_t i = list.Count() - 1; i >= 0; --i) {
    if (i < list.Count()) RemoveTrayItem(nullptr, list[i]);
  }
}

void FireTrayItemAction(RuntimeObject* item, int32_t cause) {
  if (!TrayItemFields(item)) return;
  FireEvent<void, int32_t>(item, sTrayItemEvents[0].hook, cause);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void AddTrayItem(VornRuntimeObject*, VornRuntimeObject* item) {
  TrayItemObject* fields = TrayItemFields(item);
  if (!fields) return;
  if (fields->mID != 0) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "../Common/TrayItem", 109, "item->mID == 0",
                       "You are trying to add an icon with the same ID, which will wreak havoc with the system!  "
                       "Make a new TrayItem please.");
  }
  // This desktop offers no notification area, so nothing is installed and the id stays 0.
}

void RemoveTrayItem(VornRuntimeObject*, VornRuntimeObject*) {}

void TrayItemInitializer(VornRuntimeObject* item) {
  TrayItemObject* fields = TrayItemFields(item);
  if (!fields) return;
  fields->icon = nullptr;
  fields->helpTag = nullptr;
  fields->mID = 0;
}

void TrayItemFinalizer(VornRuntimeObject* item) {
  TrayItemObject* fields = TrayItemFields(item);
  if (!fields) return;
  ReleaseStringRep(fields->helpTag);
  fields->helpTag = nullptr;
  RuntimeObject* icon = fields->icon;
  fields->icon = nullptr;
  RuntimeUnlockObject(icon);
}

void TrayItemSetPicture(VornRuntimeObject* item, int32_t, VornRuntimeObject* picture) {
  TrayItemObject* fields = TrayItemFields(item);
  if (!fields) return;
  // The new picture is locked before the old one goes, so setting the same one keeps it.
  RuntimeLockObject(picture);
  RuntimeObject* old = fields->icon;
  fields->icon = picture;
  RuntimeUnlockObject(old);
}

void TrayItemSetHelpTag(VornRuntimeObject* item, int32_t, VornStringRecord* text) {
  if (TrayItemFields(item)) ReplaceStringRep(TrayItemFields(item)->helpTag, text);
}

}  // extern "C"
