// The Timer as an action source: receivers added to a timer hear PerformAction each time it
// fires, before its Action event.
#pragma once

#include "objects/runtime_class.h"

namespace vorn {

// Adds the receiver methods and the actionSource interface to the Timer class; before the
// class is registered.
void InstallTimerActionSource();

}  // namespace vorn

extern "C" {
void TimerAddActionNotificationReceiver(VornRuntimeObject* timer, VornRuntimeObject* receiver);
void TimerRemoveActionNotificationReceiver(VornRuntimeObject* timer, VornRuntimeObject* receiver);
}
