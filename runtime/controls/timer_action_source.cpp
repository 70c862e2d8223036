#include "controls/timer_action_source.h"

#include "controls/binding_interfaces.h"
#include "controls/binding_receivers.h"
#include "core/timer.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The list lives beside the timer, made by the first receiver: the timer's own field has room
// for one pointer.
NotificationReceiverList* ListOf(TimerState* state, bool create) {
  if (!state->mReceivers && create) state->mReceivers = new NotificationReceiverList{};
  return static_cast<NotificationReceiverList*>(state->mReceivers);
}

void SendToReceivers(TimerState* state) {
  if (NotificationReceiverList* list = ListOf(state, false)) SendPerformAction(list);
}

void ClearReceivers(TimerState* state) {
  NotificationReceiverList* list = ListOf(state, false);
  if (!list) return;
  RemoveAllNotificationReceivers(list);
  delete list;
  state->mReceivers = nullptr;
}

}  // namespace

void InstallTimerActionSource() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  static const ParamRow kReceiver[] = {{"receiver", "o<actionNotificationReceiver>", 0, 0}};
  static const MethodRow kMethods[] = {
      {"addActionNotificationReceiver", "", kReceiver, 1, Fn(&TimerAddActionNotificationReceiver),
       "TimerAddActionNotificationReceiver", nullptr, nullptr, 0, 0},
      {"removeActionNotificationReceiver", "", kReceiver, 1, Fn(&TimerRemoveActionNotificationReceiver),
       "TimerRemoveActionNotificationReceiver", nullptr, nullptr, 0, 0},
  };
  ObjectDefinition* timer = GetTimerClassDefinition();
  SetMethodList(timer, kMethods, RowCount(kMethods));
  timer->AddInterface(GetActionSourceInterfaceDefinition());
  TimerReceiverHooks hooks;
  hooks.send = &SendToReceivers;
  hooks.clear = &ClearReceivers;
  SetTimerReceiverHooks(hooks);
}

}  // namespace vorn

using namespace vorn;

void TimerAddActionNotificationReceiver(VornRuntimeObject* timer, VornRuntimeObject* receiver) {
  if (timer && receiver) AddNotificationReceiver(ListOf(TimerStateOf(timer), true), receiver);
}

void TimerRemoveActionNotificationReceiver(VornRuntimeObject* timer, VornRuntimeObject* receiver) {
  if (!timer) return;
  if (NotificationReceiverList* list = ListOf(TimerStateOf(timer), false)) RemoveNotificationReceiver(list, receiver);
}
