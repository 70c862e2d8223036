// Notification-receiver lists: what a notifier (a check box, a popup menu, a timer, a query)
// keeps of the objects that want to hear from it. A list is one field of its notifier; new
// receivers go to the front and every send walks from the front, so the newest hear first.
//
// A receiver may add or remove receivers, or remove itself, while a send is calling it: nodes
// removed meanwhile are only marked and are freed once the last send on the list returns, so
// a send never steps onto a freed node. The notifier must be held by the sender for the
// duration of a send (its list lives in it).
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"

namespace vorn {

struct NotificationNode {
  NotificationNode* next;
  RuntimeObject* receiver;  // one retained reference; nil once removed during a send
};

// Zero-filled is empty, so a list can live in a runtime object's fields as they are.
struct NotificationReceiverList {
  NotificationNode* head;
  int32_t sending;  // sends in progress on this list
};

// Retains the receiver and puts it first. A nil receiver is ignored.
void AddNotificationReceiver(NotificationReceiverList* list, RuntimeObject* receiver);
// Unlinks the first node from the front holding that receiver and releases it; nothing when
// no node holds it.
void RemoveNotificationReceiver(NotificationReceiverList* list, RuntimeObject* receiver);
void RemoveAllNotificationReceivers(NotificationReceiverList* list);

// Receivers still listed, in the order sends reach them.
int32_t CountNotificationReceivers(const NotificationReceiverList* list);
RuntimeObject* NotificationReceiverAt(const NotificationReceiverList* list, int32_t index);

// For each receiver from the front: its "DataChanged" of dataNotificationReceiver,
// "PerformAction" of actionNotificationReceiver, or "listDataReload" of
// listDataNotificationReceiver, called with the receiver alone when it has the method.
void SendDataChanged(NotificationReceiverList* list);
void SendPerformAction(NotificationReceiverList* list);
void SendListDataReload(NotificationReceiverList* list);

}  // namespace vorn
