#include "listbox/list_binding_parts.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "controls/binding_interfaces.h"
#include "objects/runtime_class.h"
#include "strings/vstring.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The focus lists of the list's fields are laid out as a ToggleReceiverLists, so that the
// action sources of the buttons serve the list box too.
static_assert(sizeof(VornReceiverList) == sizeof(NotificationReceiverList));
static_assert(offsetof(VornReceiverList, head) == offsetof(NotificationReceiverList, head));
static_assert(offsetof(VornReceiverList, sending) == offsetof(NotificationReceiverList, sending));
static_assert(offsetof(ToggleReceiverLists, checked) == 0);
static_assert(offsetof(VornListboxFields, lostFocusReceivers) - offsetof(VornListboxFields, gotFocusReceivers) ==
              offsetof(ToggleReceiverLists, unchecked));

constexpr std::string_view kColumnValuePrefix = "columnValueProvider_";

const ParamRow kReceiver[] = {{"receiver", "o<dataNotificationReceiver>", 0, 0}};
const ParamRow kValue[] = {{"value", "b", 0, 0}};
const ParamRow kStr[] = {{"Str", "s", 0, 0}};

#define METHOD(name, result, params, fn) \
  {name, result, params, RowCount(params), Fn(&fn), #fn, nullptr, nullptr, 0, 0}
#define METHOD0(name, result, fn) \
  {name, result, nullptr, 0, Fn(&fn), #fn, nullptr, nullptr, 0, 0}

// Interfaces are given in the order the class lists them; AddInterface prepends.
ObjectDefinition* BuildPart(const char* name, int32_t size, const ProcEntry& destructor, const MethodRow* methods,
                            int32_t methodCount, std::initializer_list<ObjectDefinition*> interfaces) {
  auto* definition = new ObjectDefinition();
  definition->mName = string(name);
  definition->mInstanceSize = size;
  definition->mFinalizer = destructor;
  SetMethodList(definition, methods, methodCount);
  for (auto it = std::rbegin(interfaces); it != std::rend(interfaces); ++it) definition->AddInterface(*it);
  return definition;
}

ListSelectionProviderObject* AsSelectionProvider(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetListSelectionProviderClassDefinition())
             ? reinterpret_cast<ListSelectionProviderObject*>(object)
             : nullptr;
}

ListColumnValueProviderObject* AsColumnValueProvider(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetListColumnValueProviderClassDefinition())
             ? reinterpret_cast<ListColumnValueProviderObject*>(object)
             : nullptr;
}

// The column number after the prefix: optional sign, then digits up to the first non-digit.
int32_t ColumnNumber(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min<int64_t>(value * 10 + (text[i] - '0'), 0x7FFFFFFF);
  return static_cast<int32_t>(negative ? -value : value);
}

// The row a column value provider reads: the list's first selected row, -1 for none.
int32_t SelectedRow(RuntimeObject* list) { return ListboxPane(list) ? listSelectionGetter(list, 0) : -1; }

void Unregister(RuntimeObject* list, RuntimeObject* part) {
  if (RuntimeListbox* pane = ListboxPane(list)) pane->RemoveSelectionReceiver(part);
}

}  // namespace

ToggleReceiverLists* ListFocusReceivers(ListboxObject* list) {
  return list ? reinterpret_cast<ToggleReceiverLists*>(&list->fields.gotFocusReceivers) : nullptr;
}

ObjectDefinition* GetListSelectionProviderClassDefinition() {
  static ObjectDefinition* definition = [] {
    static const MethodRow methods[] = {
        METHOD("addDataNotificationReceiver", "", kReceiver, listSelectionAddDataNotificationReceiver),
        METHOD("removeDataNotificationReceiver", "", kReceiver, listSelectionRemoveDataNotificationReceiver),
        METHOD0("getBoolean", "b", listSelectionGetBoolean),
        METHOD("setBoolean", "", kValue, listSelectionSetBoolean),
        METHOD0("selectionChanging", "", listSelectionChanging),
        METHOD0("selectionChanged", "", listSelectionChanged),
    };
    return BuildPart("listSelectionProvider", static_cast<int32_t>(sizeof(ListSelectionProviderObject)),
                     {Fn(&listSelectionProviderDestructor), "listSelectionProviderDestructor"}, methods,
                     RowCount(methods),
                     {GetBooleanProviderInterfaceDefinition(), GetDataNotifierInterfaceDefinition(),
                      GetListSelectionNotificationReceiverInterfaceDefinition()});
  }();
  return definition;
}

ObjectDefinition* GetListboxActionClassDefinition() {
  static ObjectDefinition* definition = BuildButtonActionClass(
      "Sys$ListboxAction", {Fn(&listboxActionDestructor), "listboxActionDestructor"},
      Fn(&lbaAddActionNotificationReceiver), "lbaAddActionNotificationReceiver",
      Fn(&lbaRemoveActionNotificationReceiver), "lbaRemoveActionNotificationReceiver");
  return definition;
}

ObjectDefinition* GetListColumnValueProviderClassDefinition() {
  static ObjectDefinition* definition = [] {
    static const MethodRow methods[] = {
        METHOD0("getString", "s", lcvpGetString),
        METHOD("setString", "", kStr, lcvpSetString),
        METHOD("addDataNotificationReceiver", "", kReceiver, lcvpAddDataNotificationReceiver),
        METHOD("removeDataNotificationReceiver", "", kReceiver, lcvpRemoveDataNotificationReceiver),
        METHOD0("selectionChanging", "", lcvpSelectionChanging),
        METHOD0("selectionChanged", "", lcvpSelectionChanged),
        METHOD0("dataAvailable", "b", lcvpDataAvailable),
    };
    return BuildPart("listColumnValueProvider", static_cast<int32_t>(sizeof(ListColumnValueProviderObject)),
                     {Fn(&listColumnValueProviderDestructor), "listColumnValueProviderDestructor"}, methods,
                     RowCount(methods),
                     {GetListSelectionNotificationReceiverInterfaceDefinition(), GetStringProviderInterfaceDefinition(),
                      GetStringInterfaceDefinition(), GetDataNotifierInterfaceDefinition(),
                      GetDataAvailableProviderInterfaceDefinition()});
  }();
  return definition;
}

#undef METHOD
#undef METHOD0

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* listGetBoundPart(VornRuntimeObject* object, VornStringRecord* nameRep) {
  ListboxObject* list = AsListboxObject(object);
  if (!list) return nullptr;
  const std::string_view name = RepText(nameRep);
  const bool gotFocus = SameName(name, "gotFocusAction");
  if (gotFocus || SameName(name, "lostFocusAction")) {
    RuntimeObject* part = CreateInstanceFromDefinition(GetListboxActionClassDefinition());
    if (!part) return nullptr;
    auto* self = reinterpret_cast<ButtonActionObject*>(part);
    RuntimeLockObject(object);
    self->button = object;
    self->checked = gotFocus ? 1 : 0;
    self->lists = ListFocusReceivers(list);
    return part;
  }
  if (SameName(name, "getSelectionProvider")) {
    RuntimeObject* part = CreateInstanceFromDefinition(GetListSelectionProviderClassDefinition());
    if (!part) return nullptr;
    RuntimeLockObject(object);
    AsSelectionProvider(part)->list = object;
    listAddLSNR(object, part);
    return part;
  }
  if (name.size() >= kColumnValuePrefix.size() &&
      SameName(name.substr(0, kColumnValuePrefix.size()), kColumnValuePrefix)) {
    RuntimeObject* part = CreateInstanceFromDefinition(GetListColumnValueProviderClassDefinition());
    if (!part) return nullptr;
    ListColumnValueProviderObject* self = AsColumnValueProvider(part);
    RuntimeLockObject(object);
    self->list = object;
    self->column = ColumnNumber(name.substr(kColumnValuePrefix.size()));
    listAddLSNR(object, part);
    return part;
  }
  return nullptr;
}

void listAddLSNR(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  if (RuntimeListbox* pane = ListboxPane(object)) pane->AddSelectionReceiver(receiver);
}

void listRemoveLSNR(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  if (RuntimeListbox* pane = ListboxPane(object)) pane->RemoveSelectionReceiver(receiver);
}

// --- the focus action sources ------------------------------------------------------------

void lbaAddActionNotificationReceiver(VornRuntimeObject* action, VornRuntimeObject* receiver) {
  ChangeButtonActionReceivers(action, GetListboxActionClassDefinition(), receiver, true);
}

void lbaRemoveActionNotificationReceiver(VornRuntimeObject* action, VornRuntimeObject* receiver) {
  ChangeButtonActionReceivers(action, GetListboxActionClassDefinition(), receiver, false);
}

void listboxActionDestructor(VornRuntimeObject* action) { DestroyButtonAction(action); }

// --- the selection provider --------------------------------------------------------------

void listSelectionProviderDestructor(VornRuntimeObject* object) {
  ListSelectionProviderObject* self = AsSelectionProvider(object);
  if (!self) return;
  Unregister(self->list, object);
  RemoveAllNotificationReceivers(&self->receivers);
  RuntimeObject* list = self->list;
  self->list = nullptr;
  RuntimeUnlockObject(list);
}

void listSelectionAddDataNotificationReceiver(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  if (ListSelectionProviderObject* self = AsSelectionProvider(object)) AddNotificationReceiver(&self->receivers, receiver);
}

void listSelectionRemoveDataNotificationReceiver(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  if (ListSelectionProviderObject* self = AsSelectionProvider(object))
    RemoveNotificationReceiver(&self->receivers, receiver);
}

uint8_t listSelectionGetBoolean(VornRuntimeObject* object) {
  ListSelectionProviderObject* self = AsSelectionProvider(object);
  return self && SelectedRow(self->list) >= 0 ? 1 : 0;
}

void listSelectionSetBoolean(VornRuntimeObject*, uint8_t) {}

void listSelectionChanging(VornRuntimeObject*) {}

void listSelectionChanged(VornRuntimeObject* object) {
  ListSelectionProviderObject* self = AsSelectionProvider(object);
  if (!self) return;
  RuntimeLockObject(object);
  SendDataChanged(&self->receivers);
  RuntimeUnlockObject(object);
}

// --- the column value provider -----------------------------------------------------------

void listColumnValueProviderDestructor(VornRuntimeObject* object) {
  ListColumnValueProviderObject* self = AsColumnValueProvider(object);
  if (!self) return;
  Unregister(self->list, object);
  RuntimeObject* list = self->list;
  self->list = nullptr;
  RuntimeUnlockObject(list);
  OrderedReceivers* receivers = self->receivers;
  self->receivers = nullptr;
  delete receivers;
}

VornStringRecord* lcvpGetString(VornRuntimeObject* object) {
  ListColumnValueProviderObject* self = AsColumnValueProvider(object);
  if (!self) return nullptr;
  const int32_t row = SelectedRow(self->list);
  if (row < 0) return nullptr;
  return ListboxPane(self->list)->CellText(row, self->column).GetRetainedRep();
}

void lcvpSetString(VornRuntimeObject* object, VornStringRecord* text) {
  ListColumnValueProviderObject* self = AsColumnValueProvider(object);
  if (!self) return;
  const int32_t row = SelectedRow(self->list);
  if (row >= 0) listSetCell(self->list, row, self->column, text);
}

void lcvpAddDataNotificationReceiver(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  ListColumnValueProviderObject* self = AsColumnValueProvider(object);
  if (!self || !receiver) return;
  if (!self->receivers) self->receivers = new OrderedReceivers();
  self->receivers->Add(receiver);
}

void lcvpRemoveDataNotificationReceiver(VornRuntimeObject* object, VornRuntimeObject* receiver) {
  ListColumnValueProviderObject* self = AsColumnValueProvider(object);
  if (self && self->receivers) self->receivers->Remove(receiver);
}

void lcvpSelectionChanging(VornRuntimeObject*) {}

void lcvpSelectionChanged(VornRuntimeObject* object) {
  ListColumnValueProviderObject* self = AsColumnValueProvider(object);
  if (!self || !self->receivers) return;
  RuntimeLockObject(object);
  self->receivers->Send(GetDataNotificationReceiverInterfaceDefinition(), "DataChanged");
  RuntimeUnlockObject(object);
}

uint8_t lcvpDataAvailable(VornRuntimeObject* object) {
  ListColumnValueProviderObject* self = AsColumnValueProvider(object);
  return self && SelectedRow(self->list) >= 0 ? 1 : 0;
}

}  // extern "C"
