// An edit field bound to another control through the data-binding interfaces: it registers
// with its data notifier, takes its text (and enabled state) from it, and pushes its own text
// back on a change (with LiveUpdate) or when it loses the focus.
#pragma once

#include "editfield/edit_field_class.h"

namespace vorn {

// Leaves the previous notifier's receivers, joins the new one's, keeps it and refreshes from it.
void EditFieldBindDataNotifier(RuntimeObject* field, RuntimeObject* notifier);
// The text from the notifier's getString and Enabled from its dataAvailable, where it has them.
void RefreshEditFieldFromNotifier(EditFieldObject* field);
// The field's text to the notifier's setString, where it has one.
void PushEditFieldText(EditFieldObject* field);
// Lets string binders bind edit-field destinations.
void InstallEditFieldBindingHook();

}  // namespace vorn
