// The parts through which a list box joins data binding: a selection provider (is a row
// selected?), a column value provider (one column of the selected row as a string) and the
// got-focus and lost-focus action sources. A binder asks the list for them by name.
#pragma once

#include <cstdint>

#include "controls/binding_receivers.h"
#include "controls/button_class_support.h"
#include "listbox/listbox_class.h"
#include "listbox/ordered_receivers.h"

namespace vorn {

// "listSelectionProvider"
struct ListSelectionProviderObject {
  RuntimeObject header;
  RuntimeObject* list;  // held
  NotificationReceiverList receivers;
};

// "listColumnValueProvider"
struct ListColumnValueProviderObject {
  RuntimeObject header;
  RuntimeObject* list;  // held
  int32_t column;
  OrderedReceivers* receivers;  // made with the first receiver
};

ObjectDefinition* GetListSelectionProviderClassDefinition();
// "Sys$ListboxAction": a ButtonActionObject over the list's focus lists, kind 1 (its "checked"
// list) for got focus and 0 for lost focus.
ObjectDefinition* GetListboxActionClassDefinition();
ObjectDefinition* GetListColumnValueProviderClassDefinition();

// The list's got-focus ("checked") and lost-focus ("unchecked") receiver lists.
ToggleReceiverLists* ListFocusReceivers(ListboxObject* list);

}  // namespace vorn
