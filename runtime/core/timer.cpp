#include "core/timer.h"

#include <cstddef>

#include "base/core_assert.h"
#include "objects/action_interfaces.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"

namespace vorn {

// The fields compiled code sees and the native state are one and the same memory.
static_assert(sizeof(TimerState) == sizeof(TimerObject) - offsetof(TimerObject, next));
static_assert(offsetof(TimerObject, mode) - offsetof(TimerObject, next) == offsetof(TimerState, mMode));
static_assert(offsetof(TimerObject, period) - offsetof(TimerObject, next) == offsetof(TimerState, mPeriod));
static_assert(offsetof(TimerObject, enabled) - offsetof(TimerObject, next) == offsetof(TimerState, mEnabled));
static_assert(offsetof(TimerObject, timeoutID) - offsetof(TimerObject, next) == offsetof(TimerState, mTimeoutID));
static_assert(offsetof(TimerObject, owner) - offsetof(TimerObject, next) == offsetof(TimerState, mOwner));

namespace {

EventRow sTimerEvents[] = {{0, "Action", "", "", nullptr, 0}};
TimerReceiverHooks sReceiverHooks = {};

constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

const PropertyRow kTimerProperties[] = {
    {0, "Mode", "i4", reinterpret_cast<void*>(&intGetter), "intGetter",
     reinterpret_cast<void*>(&timerModeSetter), "timerModeSetter", Offset(offsetof(TimerObject, mode)), 0},
    {0, "Period", "i4", reinterpret_cast<void*>(&intGetter), "intGetter",
     reinterpret_cast<void*>(&timerPeriodSetter), "timerPeriodSetter",
     Offset(offsetof(TimerObject, period)), 0},
    {0, "Enabled", "b", reinterpret_cast<void*>(&intGetter), "intGetter",
     reinterpret_cast<void*>(&intSetter), "intSetter", Offset(offsetof(TimerObject, enabled)), 0},
};

const ParamRow kReceiverParam[] = {{"receiver", "o<actionNotificationReceiver>", 0, 0}};

const MethodRow kTimerMethods[] = {
    {"Reset", "", nullptr, 0, reinterpret_cast<void*>(&RuntimeTimerReset), "RuntimeTimerReset",
     nullptr, nullptr, 0, 0},
    {"addActionNotificationReceiver", "", kReceiverParam, 1,
     reinterpret_cast<void*>(&TimerAddActionNotificationReceiver), "TimerAddActionNotificationReceiver", nullptr,
     nullptr, 0, 0},
    {"removeActionNotificationReceiver", "", kReceiverParam, 1,
     reinterpret_cast<void*>(&TimerRemoveActionNotificationReceiver), "TimerRemoveActionNotificationReceiver",
     nullptr, nullptr, 0, 0},
};

RuntimeObject* ObjectOf(TimerState* state) {
  return reinterpret_cast<RuntimeObject*>(reinterpret_cast<char*>(state) - offsetof(TimerObject, next));
}

const TimerOwner kTimerOwner = {
    [](TimerState* state) {
      GetTimerClassDefinition();
      RuntimeObject* timer = ObjectOf(state);
      // Receivers hear first; the timer is held so that one of them cannot end it meanwhile.
      if (state->mReceivers && sReceiverHooks.notify) {
        RuntimeLockObject(timer);
        sReceiverHooks.notify(state->mReceivers);
        RuntimeUnlockObject(timer);
      }
      FireEvent(timer, sTimerEvents[0].hook);
    },
    [](TimerState* state) { RuntimeLockObject(ObjectOf(state)); },
    [](TimerState* state) { RuntimeUnlockObject(ObjectOf(state)); },
};

ObjectDefinition* BuildTimerDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Timer");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(TimerObject));
  definition->mInitializer = {reinterpret_cast<void*>(&RuntimeTimerConstructor), "RuntimeTimerConstructor"};
  definition->mFinalizer = {reinterpret_cast<void*>(&RuntimeTimerDestructor), "RuntimeTimerDestructor"};
  definition->SetInstanceVariables(
      BuildPropertyList(kTimerProperties, static_cast<int32_t>(std::size(kTimerProperties))));
  SetEventList(definition, sTimerEvents, static_cast<int32_t>(std::size(sTimerEvents)));
  SetMethodList(definition, kTimerMethods, static_cast<int32_t>(std::size(kTimerMethods)));
  // Declared so that an action binder with a timer as its source attaches its dest.
  definition->AddInterface(GetActionSourceInterfaceDefinition());
  return definition;
}

}  // namespace

ObjectDefinition* GetTimerClassDefinition() {
  static ObjectDefinition* definition = BuildTimerDefinition();
  return definition;
}

void SetTimerReceiverHooks(const TimerReceiverHooks& hooks) { sReceiverHooks = hooks; }

TimerState* TimerStateOf(RuntimeObject* timer) {
  return timer ? reinterpret_cast<TimerState*>(&reinterpret_cast<TimerObject*>(timer)->next) : nullptr;
}

}  // namespace vorn

using namespace vorn;

void RuntimeTimerConstructor(VornRuntimeObject* timer) { InitTimerState(TimerStateOf(timer), &kTimerOwner); }

void RuntimeTimerDestructor(VornRuntimeObject* timer) {
  TimerState* state = TimerStateOf(timer);
  DestroyTimerState(state);
  if (state && state->mReceivers && sReceiverHooks.release) sReceiverHooks.release(state->mReceivers);
  if (state) state->mReceivers = nullptr;
}

void timerModeSetter(VornRuntimeObject* timer, int32_t, int32_t mode) {
  if (timer) SetTimerMode(TimerStateOf(timer), mode);
}

void timerPeriodSetter(VornRuntimeObject* timer, int32_t, int32_t period) {
  if (timer) SetTimerPeriod(TimerStateOf(timer), period);
}

void RuntimeTimerReset(VornRuntimeObject* timer) {
  if (timer == nullptr) {
    ReportCoreAssertion("../Common/RunTimer", 304, "obj");
    return;
  }
  ResetTimer(TimerStateOf(timer));
}
