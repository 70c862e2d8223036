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

// The timer as an action source of data binding, which lives above this layer: it keeps the
// receivers in the state's receiver field, hears each firing before the Action runs, and
// empties the list when the timer is destroyed.
struct TimerReceiverHooks {
  void (*send)(TimerState* timer) = nullptr;
  void (*clear)(TimerState* timer) = nullptr;
};
void SetTimerReceiverHooks(const TimerReceiverHooks& hooks);

}  // namespace vorn

extern "C" {
void RuntimeTimerConstructor(VornRuntimeObject* timer);
void RuntimeTimerDestructor(VornRuntimeObject* timer);
}
