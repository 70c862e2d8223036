// A timer's action receivers: objects implementing actionNotificationReceiver that hear each
// Action of the timer. The list is made on the first receiver and lives as long as the timer.
#include "controls/binding_interfaces.h"
#include "controls/binding_receivers.h"
#include "core/timer.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

NotificationReceiverList* ListOf(VornRuntimeObject* timer, bool create) {
  if (!RuntimeObjectIsaDefinition(timer, GetTimerClassDefinition())) return nullptr;
  TimerState* state = TimerStateOf(timer);
  if (!state->mReceivers && create) state->mReceivers = new NotificationReceiverList{};
  return static_cast<NotificationReceiverList*>(state->mReceivers);
}

void Notify(void* receivers) { SendPerformAction(static_cast<NotificationReceiverList*>(receivers)); }

void Release(void* receivers) {
  auto* list = static_cast<NotificationReceiverList*>(receivers);
  RemoveAllNotificationReceivers(list);
  delete list;
}

}  // namespace

void InstallTimerReceiverHooks() { SetTimerReceiverHooks({&Notify, &Release}); }

}  // namespace vorn

using namespace vorn;

extern "C" {

void TimerAddActionNotificationReceiver(VornRuntimeObject* timer, VornRuntimeObject* receiver) {
  if (!receiver) return;
  if (NotificationReceiverList* list = ListOf(timer, true)) AddNotificationReceiver(list, receiver);
}

void TimerRemoveActionNotificationReceiver(VornRuntimeObject* timer, VornRuntimeObject* receiver) {
  if (NotificationReceiverList* list = ListOf(timer, false)) RemoveNotificationReceiver(list, receiver);
}

}  // extern "C"
