// A list box fed by a listDataProvider: binding, the provider's notifications of inserted,
// removed and reloaded rows, and the text of a provider's field.
#include "controls/binding_interfaces.h"
#include "listbox/listbox_class.h"
#include "listbox/provider_row.h"

namespace vorn {

void RuntimeListbox::BindDataSource() { BindOwner(mOwner, kBoundListBox); }
void RuntimeListbox::UnbindDataSource() { UnbindOwner(mOwner, kBoundListBox); }

string RuntimeListbox::BoundCellText(int32_t row, int32_t column) const {
  return ProviderRow(mBoundData, row).Field(column);
}

void LoadBoundRows(VornRuntimeObject* object) {
  ListboxObject* list = AsListboxObject(object);
  RuntimeListbox* pane = ListboxPane(object);
  if (!list || !pane) return;
  RuntimeObject* provider = list->fields.boundData;
  pane->SetBoundData(provider);
  pane->DeleteAllRows();
  const int32_t count = ProviderRowCount(provider);
  // GetCount may have closed the list or bound another provider.
  if (ListboxPane(object) == pane && list->fields.boundData == provider) pane->BoundRowsInserted(0, count);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void listBind(VornRuntimeObject* object, VornRuntimeObject* provider) {
  ListboxObject* list = AsListboxObject(object);
  if (!list) return;
  RuntimeLockObject(object);
  if (RuntimeListbox* pane = ListboxPane(object)) pane->DeleteAllRows();
  ObjectDefinition* notifier = GetListDataNotifierInterfaceDefinition();
  if (RuntimeObject* old = list->fields.boundData) {
    list->fields.boundData = nullptr;
    CallInterfaceMethod(old, notifier, "removeListDataNotificationReceiver", nullptr, object);
    RuntimeUnlockObject(old);
  }
  RuntimeLockObject(provider);
  list->fields.boundData = provider;
  CallInterfaceMethod(provider, notifier, "addListDataNotificationReceiver", nullptr, object);
  LoadBoundRows(object);
  if (RuntimeListbox* pane = ListboxPane(object)) {
    for (int32_t column = 0; column < kMaxListColumns; ++column) pane->SetSortDirection(column, 0);
  }
  RuntimeUnlockObject(object);
}

void listListDataInsertedRow(VornRuntimeObject* object, int32_t row) {
  if (RuntimeListbox* pane = ListboxPane(object)) pane->BoundRowsInserted(row, 1);
}

void listListDataRemovedRow(VornRuntimeObject* object, int32_t row) {
  if (RuntimeListbox* pane = ListboxPane(object)) pane->BoundRowRemoved(row);
}

void listListDataReload(VornRuntimeObject* object) {
  ListboxObject* list = AsListboxObject(object);
  if (!list || !list->fields.boundData) return;
  RuntimeLockObject(object);
  LoadBoundRows(object);
  RuntimeUnlockObject(object);
}

}  // extern "C"
