// The Timer as an action source: its receivers hear PerformAction each time it fires, and let
// go of them when the timer goes.
#include <gtest/gtest.h>

#include "controls/support/binding_fakes.h"
#include "controls/timer_action_source.h"
#include "core/class_registration.h"
#include "core/timer.h"

namespace vorn::testing {
namespace {

using TimerActionSourceTest = BindingTest;

TEST_F(TimerActionSourceTest, ReceiversHearEveryFiringUntilRemovedOrTheTimerGoes) {
  RuntimeInitExternalClasses();
  RuntimeObject* timer = RuntimeNewObject(RuntimeClassFromDefinition(GetTimerClassDefinition()));
  RuntimeObject* first = NewLogReceiver(1);
  RuntimeObject* second = NewLogReceiver(2);
  TimerAddActionNotificationReceiver(timer, first);
  TimerAddActionNotificationReceiver(timer, second);
  TimerFired(TimerStateOf(timer));
  TimerRemoveActionNotificationReceiver(timer, second);
  TimerFired(TimerStateOf(timer));
  EXPECT_EQ(ReceiverLog(), (std::vector<std::string>{"2.PerformAction", "1.PerformAction", "1.PerformAction"}));
  RuntimeUnlockObject(second);
  RuntimeUnlockObject(timer);  // releases the first receiver's list reference
  EXPECT_EQ(first->refCount, 1);
  RuntimeUnlockObject(first);
}

}  // namespace
}  // namespace vorn::testing
