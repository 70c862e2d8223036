// Notification-receiver lists: order of sends, duplicates, references, and receivers that
// change the list while a send is calling them.
#include <gtest/gtest.h>

#include <glib.h>

#include "controls/binding_interfaces.h"
#include "controls/binding_receivers.h"
#include "core/timer.h"
#include "controls/support/binding_fakes.h"

namespace vorn::testing {
namespace {

using ReceiverListTest = BindingTest;
using Log = std::vector<std::string>;

TEST_F(ReceiverListTest, SendsReachTheNewestReceiverFirst) {
  NotificationReceiverList list{};
  RuntimeObject* receivers[3] = {NewLogReceiver(1), NewLogReceiver(2), NewLogReceiver(3)};
  for (RuntimeObject* r : receivers) AddNotificationReceiver(&list, r);
  EXPECT_EQ(NotificationReceiverAt(&list, 0), receivers[2]);

  SendDataChanged(&list);
  SendPerformAction(&list);
  SendListDataReload(&list);
  EXPECT_EQ(ReceiverLog(), (Log{"3.DataChanged", "2.DataChanged", "1.DataChanged", "3.PerformAction",
                                "2.PerformAction", "1.PerformAction", "3.listDataReload", "2.listDataReload",
                                "1.listDataReload"}));

  RemoveAllNotificationReceivers(&list);
  EXPECT_EQ(list.head, nullptr);
  for (RuntimeObject* r : receivers) {
    EXPECT_EQ(r->refCount, 1);
    RuntimeUnlockObject(r);
  }
}

TEST_F(ReceiverListTest, AReceiverAddedTwiceHearsTwiceAndIsRemovedOneNodeAtATime) {
  NotificationReceiverList list{};
  RuntimeObject* r = NewLogReceiver(7);
  AddNotificationReceiver(&list, r);
  AddNotificationReceiver(&list, r);
  EXPECT_EQ(r->refCount, 3);
  SendDataChanged(&list);
  EXPECT_EQ(ReceiverLog(), (Log{"7.DataChanged", "7.DataChanged"}));

  RemoveNotificationReceiver(&list, r);
  EXPECT_EQ(r->refCount, 2);
  EXPECT_EQ(CountNotificationReceivers(&list), 1);
  ReceiverLog().clear();
  SendDataChanged(&list);
  EXPECT_EQ(ReceiverLog(), (Log{"7.DataChanged"}));

  RuntimeObject* stranger = NewLogReceiver(8);
  RemoveNotificationReceiver(&list, stranger);  // not listed: nothing happens
  RemoveNotificationReceiver(&list, nullptr);
  EXPECT_EQ(CountNotificationReceivers(&list), 1);
  RuntimeUnlockObject(stranger);

  RemoveAllNotificationReceivers(&list);
  EXPECT_EQ(r->refCount, 1);
  RuntimeUnlockObject(r);
}

TEST_F(ReceiverListTest, EmptyListsAndReceiversWithoutTheMethodAreSkipped) {
  NotificationReceiverList list{};
  SendDataChanged(&list);
  SendDataChanged(nullptr);
  EXPECT_TRUE(ReceiverLog().empty());

  // The fake control hears actions but is no data receiver.
  RuntimeObject* control = NewFakeControl();
  RuntimeObject* r = NewLogReceiver(1);
  AddNotificationReceiver(&list, r);
  AddNotificationReceiver(&list, control);
  SendDataChanged(&list);
  EXPECT_EQ(ReceiverLog(), (Log{"1.DataChanged"}));
  SendPerformAction(&list);
  EXPECT_EQ(reinterpret_cast<FakeDestObject*>(control)->actions, 1);
  RemoveAllNotificationReceivers(&list);
  RuntimeUnlockObject(control);
  RuntimeUnlockObject(r);
}

TEST_F(ReceiverListTest, AReceiverLeavingDuringASendDoesNotDisturbTheOthers) {
  NotificationReceiverList list{};
  RuntimeObject* first = NewLogReceiver(1);
  RuntimeObject* leaving = NewLogReceiver(2);
  RuntimeObject* last = NewLogReceiver(3);
  reinterpret_cast<LogReceiverObject*>(leaving)->leaveOnChange = &list;
  AddNotificationReceiver(&list, first);
  AddNotificationReceiver(&list, leaving);
  AddNotificationReceiver(&list, last);
  // The list holds the only reference: leaving ends the receiver's life during the send.
  RuntimeUnlockObject(leaving);

  SendDataChanged(&list);
  EXPECT_EQ(ReceiverLog(), (Log{"3.DataChanged", "2.DataChanged", "1.DataChanged"}));
  EXPECT_EQ(CountNotificationReceivers(&list), 2);
  EXPECT_EQ(NotificationReceiverAt(&list, 0), last);
  EXPECT_EQ(NotificationReceiverAt(&list, 1), first);

  ReceiverLog().clear();
  SendDataChanged(&list);
  EXPECT_EQ(ReceiverLog(), (Log{"3.DataChanged", "1.DataChanged"}));
  RemoveAllNotificationReceivers(&list);
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(last);
}

}  // namespace
// A timer's receivers hear each Action, also without a handler of the timer's own, until
// removed; the timer lets them go when it ends.
TEST_F(ReceiverListTest, TimerReceiversHearEachActionUntilRemoved) {
  InstallTimerReceiverHooks();
  RuntimeObject* timer = CreateInstanceFromDefinition(GetTimerClassDefinition());
  RuntimeObject* kept = NewLogReceiver(1);
  RuntimeObject* removed = NewLogReceiver(2);
  TimerAddActionNotificationReceiver(timer, kept);
  TimerAddActionNotificationReceiver(timer, removed);
  TimerRemoveActionNotificationReceiver(timer, removed);
  TimerAddActionNotificationReceiver(nullptr, kept);  // nil timers and receivers change nothing
  TimerAddActionNotificationReceiver(timer, nullptr);
  timerPeriodSetter(timer, 0, 10);
  timerModeSetter(timer, 0, kVornTimerSingle);
  for (gint64 end = g_get_monotonic_time() + 5000000; ReceiverLog().empty() && g_get_monotonic_time() < end;) {
    g_main_context_iteration(nullptr, TRUE);
  }
  EXPECT_EQ(ReceiverLog(), (Log{"1.PerformAction"}));
  EXPECT_EQ(removed->refCount, 1);
  EXPECT_EQ(kept->refCount, 2);
  RuntimeUnlockObject(timer);
  EXPECT_EQ(kept->refCount, 1);
  RuntimeUnlockObject(kept);
  RuntimeUnlockObject(removed);
}

}  // namespace vorn::testing
