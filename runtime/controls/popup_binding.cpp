// PopupMenu in data binding: a string provider of its Text, a data notifier heard at every
// Change, a list filled from a listDataProvider, a control bound to a data control by name,
// and the owner of "RowTagProvider" parts that provide the selected row's tag as a string.
#include <algorithm>
#include <vector>

#include "controls/binding_interfaces.h"
#include "controls/popup_class.h"
#include "controls/popup_pane.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "objects/variant.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

PopupRowTagObject* AsRowTag(RuntimeObject* object) { return reinterpret_cast<PopupRowTagObject*>(object); }

// Row-tag objects alive, so that a popup going away can clear their owner.
std::vector<PopupRowTagObject*>& LiveRowTags() {
  static auto* tags = new std::vector<PopupRowTagObject*>;
  return *tags;
}

bool HasPaneAndSelection(RuntimeObject* popup) {
  PopupMenu* pane = PopupPaneOf(popup);
  return pane && pane->GetListIndex() >= 0;
}

}  // namespace

void ForgetPopupRowTagOwner(RuntimeObject* popup) {
  for (PopupRowTagObject* tag : LiveRowTags())
    if (tag->owner == popup) tag->owner = nullptr;
}

int32_t LivePopupRowTagCount() { return static_cast<int32_t>(LiveRowTags().size()); }

ObjectDefinition* GetPopupRowTagClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("sys$popupRowTag");
    d->mInstanceSize = sizeof(PopupRowTagObject);
    d->mFinalizer = {Fn(&popupRowTagDestructor), "popupRowTagDestructor"};
    static const ParamRow receiver[] = {{"receiver", "o<dataNotificationReceiver>", 0, 0}};
    static const MethodRow methods[] = {
        {"getString", "s", nullptr, 0, Fn(&popupRowTagGetString), "popupRowTagGetString", nullptr, nullptr, 0, 0},
        {"addDataNotificationReceiver", "", receiver, 1, Fn(&popupRowTagAddDNR), "popupRowTagAddDNR", nullptr,
         nullptr, 0, 0},
        {"removeDataNotificationReceiver", "", receiver, 1, Fn(&popupRowTagRemoveDNR), "popupRowTagRemoveDNR",
         nullptr, nullptr, 0, 0},
        {"dataAvailable", "b", nullptr, 0, Fn(&popupRowTagDataAvailable), "popupRowTagDataAvailable", nullptr,
         nullptr, 0, 0},
        {"dataChanged", "", nullptr, 0, Fn(&popupRowTagDataChanged), "popupRowTagDataChanged", nullptr, nullptr, 0,
         0},
    };
    SetMethodList(d, methods, std::size(methods));
    d->AddInterface(GetDataNotificationReceiverInterfaceDefinition());
    d->AddInterface(GetDataAvailableProviderInterfaceDefinition());
    d->AddInterface(GetDataNotifierInterfaceDefinition());
    d->AddInterface(GetStringProviderInterfaceDefinition());
    return d;
  }();
  return definition;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

// --- the popup's members ------------------------------------------------------------------

VornStringRecord* PopupDataSourceGetter(VornRuntimeObject* object, int32_t) {
  PopupMenuObject* self = AsPopup(object);
  if (!self) return nullptr;
  RetainStringRep(self->dataSource);
  return self->dataSource;
}

void PopupDataSourceSetter(VornRuntimeObject* object, int32_t, VornStringRecord* name) {
  PopupMenuObject* self = AsPopup(object);
  if (!self) return;
  RetainStringRep(name);
  ReleaseStringRep(self->dataSource);
  self->dataSource = name;
  if (PopupMenu* pane = PopupPaneOf(object)) {
    pane->UnbindDataSource();
    pane->SetDataSourceName(string::Share(name));
    pane->BindDataSource();
  }
}

void PopupDataFieldSetter(VornRuntimeObject* object, int32_t, VornStringRecord* name) {
  PopupMenuObject* self = AsPopup(object);
  if (!self) return;
  RetainStringRep(name);
  ReleaseStringRep(self->dataField);
  self->dataField = name;
  if (PopupMenu* pane = PopupPaneOf(object)) pane->BindDataSource();
}

void popupAddDNR(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  if (PopupMenuObject* self = AsPopup(object)) AddNotificationReceiver(&self->receivers, receiver);
}

void popupRemoveDNR(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  if (PopupMenuObject* self = AsPopup(object)) RemoveNotificationReceiver(&self->receivers, receiver);
}

uint8_t popupDataAvailable(VornRuntimeObject* object) { return HasPaneAndSelection(object) ? 1 : 0; }

void popupBindList(VornRuntimeObject* object, VornRuntimeObject* data) {
  PopupMenuObject* self = AsPopup(object);
  if (!self) return;
  RuntimeLockObject(data);
  RuntimeObject* old = self->boundList;
  self->boundList = data;
  RuntimeUnlockObject(old);

  RuntimeComboBoxEmpty(object);
  ObjectDefinition* provider = GetListDataProviderInterfaceDefinition();
  ObjectDefinition* tuple = GetTupleInterfaceDefinition();
  int32_t count = CallInterfaceMethod<int32_t>(data, provider, "GetCount", nullptr);
  for (int32_t i = 0; i < count; ++i) {
    bool hasGetRow = false;
    RuntimeObject* row = CallInterfaceMethod<RuntimeObject*>(data, provider, "GetRow", &hasGetRow, i + 1);
    if (!hasGetRow) break;
    if (!row) continue;
    bool hasFieldCount = false;
    int32_t fields = CallInterfaceMethod<int32_t>(row, tuple, "FieldCount", &hasFieldCount);
    if (!hasFieldCount) fields = 1;
    bool hasText = LookupInterfaceMethod(row, tuple, string("getIndString")) != nullptr;
    if (hasText && fields > 0) {
      int32_t index = RuntimeComboBoxCountGetter(object, 0);
      string text = string::Adopt(CallInterfaceMethod<StringRep*>(row, tuple, "getIndString", nullptr, 1));
      RuntimeComboBoxAddRow(object, text.Rep());
      if (fields > 1) {
        string tagText = string::Adopt(CallInterfaceMethod<StringRep*>(row, tuple, "getIndString", nullptr, 2));
        RuntimeObject* tag = stringToVariant(tagText.Rep());
        setPopupRowTag(object, index, tag);
        RuntimeUnlockObject(tag);
      }
    }
    RuntimeUnlockObject(row);
  }
}

VornRuntimeObject* popupGetBoundPart(VornRuntimeObject* object, VornStringRecord* name) {
  if (!object || !SameName(RepText(name), "RowTagProvider")) return nullptr;
  RuntimeObject* part = CreateInstanceFromDefinition(GetPopupRowTagClassDefinition());
  if (!part) return nullptr;
  AsRowTag(part)->owner = object;
  LiveRowTags().push_back(AsRowTag(part));
  popupAddDNR(object, part);
  return part;
}

// --- the row-tag part ---------------------------------------------------------------------

void popupRowTagDestructor(VornRuntimeObject* object) {
  PopupRowTagObject* self = AsRowTag(object);
  auto& live = LiveRowTags();
  live.erase(std::remove(live.begin(), live.end(), self), live.end());
  RemoveAllNotificationReceivers(&self->receivers);
}

VornStringRecord* popupRowTagGetString(VornRuntimeObject* object) {
  RuntimeObject* owner = object ? AsRowTag(object)->owner : nullptr;
  int32_t index = owner ? RuntimeComboBoxSelectionGetter(owner, 0) : -1;
  if (index < 0) return nullptr;
  RuntimeObject* tag = getPopupRowTag(owner, index);
  if (!tag) return nullptr;
  StringRep* text = variantToString(tag);
  RuntimeUnlockObject(tag);
  return text;
}

void popupRowTagAddDNR(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  if (object) AddNotificationReceiver(&AsRowTag(object)->receivers, receiver);
}

void popupRowTagRemoveDNR(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  if (object) RemoveNotificationReceiver(&AsRowTag(object)->receivers, receiver);
}

uint8_t popupRowTagDataAvailable(VornRuntimeObject* object) {
  return object && HasPaneAndSelection(AsRowTag(object)->owner) ? 1 : 0;
}

void popupRowTagDataChanged(VornRuntimeObject* object) {
  if (!object) return;
  RuntimeLockObject(object);
  SendDataChanged(&AsRowTag(object)->receivers);
  RuntimeUnlockObject(object);
}

}  // extern "C"
