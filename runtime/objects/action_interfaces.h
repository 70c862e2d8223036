// The action pair of the data-binding interfaces: a source of actions (a push button, a timer)
// and what hears them. They live below the controls because the Timer of the core declares the
// source interface too.
#pragma once

#include "objects/object_definition.h"

namespace vorn {

// addActionNotificationReceiver (receiver As actionNotificationReceiver),
// removeActionNotificationReceiver (receiver As actionNotificationReceiver).
ObjectDefinition* GetActionSourceInterfaceDefinition();
// PerformAction ().
ObjectDefinition* GetActionNotificationReceiverInterfaceDefinition();

}  // namespace vorn
