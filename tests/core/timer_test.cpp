#include "core/timer.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstddef>

#include "objects/class_registry.h"
#include "core/support/core_object_test.h"
#include "core/support/main_loop_turn.h"

namespace vorn {
namespace {

using testing::CoreObjectTest;

int sFired = 0;
gint64 sFiredAt = 0;
int32_t sModeInAction = -1;

int32_t ModeOf(RuntimeObject* timer) {
  return intGetter(timer, static_cast<int32_t>(offsetof(TimerObject, mode)));
}

void OnAction(RuntimeObject* self) {
  ++sFired;
  sFiredAt = g_get_monotonic_time();
  sModeInAction = ModeOf(self);
}

void OnActionReleasingItself(RuntimeObject* self) {
  ++sFired;
  RuntimeUnlockObject(self);  // the program's only reference
}

RuntimeClass* ActionTimer() {
  return testing::MakeSubclass("ActionTimer", "Timer", sizeof(TimerObject),
                               {{"#Action%%o<ActionTimer>", reinterpret_cast<void*>(&OnAction), nullptr, 0}});
}

void RunFor(int milliseconds) { testing::TurnMainLoopFor(milliseconds); }
constexpr auto* RunUntil = &testing::TurnMainLoopUntil;

class TimerTest : public CoreObjectTest {
 protected:
  void SetUp() override {
    CoreObjectTest::SetUp();
    sFired = 0;
    sModeInAction = -1;
  }
};

TEST_F(TimerTest, TheClassIsRegisteredWithItsPropertiesAndEvent) {
  ObjectDefinition* definition = LookupIntrinsicClass(string("timer"));
  ASSERT_EQ(definition, GetTimerClassDefinition());
  RuntimeClass* cls = RuntimeClassFromDefinition(definition);
  ASSERT_EQ(cls->PropertyCount(), 3);
  EXPECT_EQ(RepText(cls->mAccessors[0].signature), "Mode%i4%");
  EXPECT_EQ(cls->mAccessors[0].setter, reinterpret_cast<void*>(&timerModeSetter));
  EXPECT_EQ(cls->mAccessors[1].param, static_cast<int32_t>(offsetof(TimerObject, period)));
  EXPECT_EQ(RepText(cls->mAccessors[2].signature), "Enabled%b%");
  ASSERT_EQ(cls->EventCount(), 1);
  EXPECT_EQ(RepText(cls->mEvents[0].name), "Action");
}

TEST_F(TimerTest, ASingleTimerFiresItsActionOnceAndReadsModeZeroAfterwards) {
  RuntimeObject* timer = RuntimeNewObject(ActionTimer());
  EXPECT_EQ(ModeOf(timer), 0);
  EXPECT_EQ(intGetter(timer, static_cast<int32_t>(offsetof(TimerObject, period))), 1000);
  timerPeriodSetter(timer, 0, 200);
  gint64 armed = g_get_monotonic_time();
  timerModeSetter(timer, 0, kTimerSingle);
  ASSERT_TRUE(RunUntil([] { return sFired > 0; }));
  RunFor(300);
  EXPECT_EQ(sFired, 1);
  EXPECT_GE((sFiredAt - armed) / 1000, 195);
  EXPECT_EQ(sModeInAction, 0) << "a single timer is off before its Action runs";
  EXPECT_EQ(ModeOf(timer), 0);
  RuntimeUnlockObject(timer);
}

TEST_F(TimerTest, DisablingThroughThePropertyStopsTheAction) {
  RuntimeObject* timer = RuntimeNewObject(ActionTimer());
  timerPeriodSetter(timer, 0, 20);
  timerModeSetter(timer, 0, kTimerMultiple);
  intSetter(timer, static_cast<int32_t>(offsetof(TimerObject, enabled)), 0);
  RunFor(120);
  EXPECT_EQ(sFired, 0);
  EXPECT_EQ(ModeOf(timer), kTimerMultiple);
  intSetter(timer, static_cast<int32_t>(offsetof(TimerObject, enabled)), 1);
  EXPECT_TRUE(RunUntil([] { return sFired >= 2; }));
  RuntimeUnlockObject(timer);
}

TEST_F(TimerTest, ATimerReleasedInsideItsOwnActionIsFreedAfterItAndNeverFiresAgain) {
  RuntimeClass* cls = testing::MakeSubclass(
      "SelfReleasingTimer", "Timer", sizeof(TimerObject),
      {{"#Action%%o<SelfReleasingTimer>", reinterpret_cast<void*>(&OnActionReleasingItself), nullptr, 0}});
  int32_t before = LiveObjectCount();
  RuntimeObject* timer = RuntimeNewObject(cls);
  timerPeriodSetter(timer, 0, 20);
  timerModeSetter(timer, 0, kTimerMultiple);
  ASSERT_TRUE(RunUntil([] { return sFired > 0; }));
  RunFor(100);
  EXPECT_EQ(sFired, 1);
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST_F(TimerTest, AReleasedTimerNeverFires) {
  RuntimeObject* timer = RuntimeNewObject(ActionTimer());
  timerPeriodSetter(timer, 0, 10);
  timerModeSetter(timer, 0, kTimerMultiple);
  RuntimeUnlockObject(timer);
  RunFor(60);
  EXPECT_EQ(sFired, 0);
}

TEST_F(TimerTest, ResettingNoTimerIsReportedAndTouchesNothing) {
  RuntimeTimerReset(nullptr);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("obj"), std::string::npos);
  timerModeSetter(nullptr, 0, 1);
  timerPeriodSetter(nullptr, 0, 1);
}

}  // namespace
}  // namespace vorn
