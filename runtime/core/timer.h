// The language's Timer class: runs its Action after a period, once or repeatedly.
#pragma once

#include "core/timer_state.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/application_abi.h"

namespace vorn {

using TimerObject = VornTimerObject;

ObjectDefinition* GetTimerClassDefinition();

// The native state inside a timer object.
TimerState* TimerStateOf(RuntimeObject* timer);

// The action receivers a timer keeps (addActionNotificationReceiver) belong to the data
// binding layer above; it installs how they hear of an Action and how they are let go when
// the timer goes. Both take the timer's receivers field; without hooks a timer has none.
struct TimerReceiverHooks {
  void (*notify)(void* receivers);
  void (*release)(void* receivers);
};
void SetTimerReceiverHooks(const TimerReceiverHooks& hooks);

}  // namespace vorn

extern "C" {
void RuntimeTimerConstructor(VornRuntimeObject* timer);
void RuntimeTimerDestructor(VornRuntimeObject* timer);
}
