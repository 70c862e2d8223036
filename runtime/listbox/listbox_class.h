// The language's Listbox class over a RuntimeListbox pane.
#pragma once

#include "listbox/runtime_listbox.h"
#include "objects/object_definition.h"
#include "vorn/listbox_api.h"
#include "windows/control.h"

namespace vorn {

using ListboxObject = VornListboxObject;

ObjectDefinition* GetListboxClassDefinition();
// The older list box class over the same pane.
ObjectDefinition* GetOldListboxClassDefinition();
// The events of the object's class (Listbox or OldListbox).
const ListboxHooks* ListboxEventHooks(RuntimeObject* object);
// The object as a Listbox; nil for anything else.
ListboxObject* AsListboxObject(RuntimeObject* object);
// The text style its fields give.
vorn::TextStyle ListboxTextStyle(ListboxObject* list);
// Its pane; nil before CreatePane and after Close.
RuntimeListbox* ListboxPane(RuntimeObject* object);
// Shows the rows of the list's bound provider (or its own, none, when unbound) in its pane.
void LoadBoundRows(RuntimeObject* object);
// Listbox, ListColumn and the list's binding parts, in their start-up order.
void RegisterListboxClasses();

}  // namespace vorn
