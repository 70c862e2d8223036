#include "controls/binding_receivers.h"

#include "controls/binding_interfaces.h"
#include "strings/memory.h"

namespace vorn {

namespace {

void FreeNode(NotificationNode* node) { FreeMemory(node); }

// Frees the nodes marked during sends; only when no send is walking the list.
void Sweep(NotificationReceiverList* list) {
  if (list->sending > 0) return;
  NotificationNode** link = &list->head;
  while (NotificationNode* node = *link) {
    if (node->receiver) {
      link = &node->next;
    } else {
      *link = node->next;
      FreeNode(node);
    }
  }
}

void Unlist(NotificationReceiverList* list, NotificationNode* node) {
  RuntimeObject* receiver = node->receiver;
  node->receiver = nullptr;
  Sweep(list);
  RuntimeUnlockObject(receiver);
}

void Send(NotificationReceiverList* list, ObjectDefinition* iface, const char* method) {
  if (!list) return;
  ++list->sending;
  // Nodes stay allocated while `sending` counts this walk, so `next` is always readable;
  // receivers added meanwhile go in front of the walk and are not called.
  for (NotificationNode* node = list->head; node; node = node->next) {
    if (RuntimeObject* receiver = node->receiver) CallInterfaceMethod(receiver, iface, method, nullptr);
  }
  --list->sending;
  Sweep(list);
}

}  // namespace

void AddNotificationReceiver(NotificationReceiverList* list, RuntimeObject* receiver) {
  if (!list || !receiver) return;
  auto* node = static_cast<NotificationNode*>(AllocMemory(sizeof(NotificationNode)));
  RuntimeLockObject(receiver);
  node->receiver = receiver;
  node->next = list->head;
  list->head = node;
}

void RemoveNotificationReceiver(NotificationReceiverList* list, RuntimeObject* receiver) {
  if (!list || !receiver) return;
  for (NotificationNode* node = list->head; node; node = node->next) {
    if (node->receiver == receiver) {
      Unlist(list, node);
      return;
    }
  }
}

void RemoveAllNotificationReceivers(NotificationReceiverList* list) {
  if (!list) return;
  // Releasing a receiver can run its destructor, which may touch this list again: take each
  // one off before letting it go.
  while (true) {
    NotificationNode* node = list->head;
    while (node && !node->receiver) node = node->next;
    if (!node) break;
    Unlist(list, node);
  }
  Sweep(list);
}

int32_t CountNotificationReceivers(const NotificationReceiverList* list) {
  int32_t count = 0;
  for (const NotificationNode* node = list ? list->head : nullptr; node; node = node->next)
    if (node->receiver) ++count;
  return count;
}

RuntimeObject* NotificationReceiverAt(const NotificationReceiverList* list, int32_t index) {
  for (const NotificationNode* node = list ? list->head : nullptr; node; node = node->next) {
    if (!node->receiver) continue;
    if (index-- == 0) return node->receiver;
  }
  return nullptr;
}

void SendDataChanged(NotificationReceiverList* list) {
  Send(list, GetDataNotificationReceiverInterfaceDefinition(), "DataChanged");
}

void SendPerformAction(NotificationReceiverList* list) {
  Send(list, GetActionNotificationReceiverInterfaceDefinition(), "PerformAction");
}

void SendListDataReload(NotificationReceiverList* list) {
  Send(list, GetListDataNotificationReceiverInterfaceDefinition(), "listDataReload");
}

}  // namespace vorn
