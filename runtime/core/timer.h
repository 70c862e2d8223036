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

}  // namespace vorn

extern "C" {
void RuntimeTimerConstructor(VornRuntimeObject* timer);
void RuntimeTimerDestructor(VornRuntimeObject* timer);
}
