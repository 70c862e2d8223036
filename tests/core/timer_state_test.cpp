#include "core/timer_state.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/support/main_loop_turn.h"

namespace vorn {
namespace {

// A timer object as the Timer class makes one: the state first, a reference count, an Action.
struct FakeTimer {
  TimerState state;
  int refs = 1;
  std::vector<gint64> fired;  // milliseconds after creation
  gint64 created = g_get_monotonic_time();
  void (*action)(FakeTimer*) = nullptr;
  bool* destroyed = nullptr;
};

FakeTimer* Of(TimerState* state) { return reinterpret_cast<FakeTimer*>(state); }

void Release(FakeTimer* timer) {
  if (--timer->refs > 0) return;
  DestroyTimerState(&timer->state);
  if (timer->destroyed) *timer->destroyed = true;
  delete timer;
}

const TimerOwner kOwner = {
    [](TimerState* state) {
      FakeTimer* timer = Of(state);
      timer->fired.push_back((g_get_monotonic_time() - timer->created) / 1000);
      if (timer->action) timer->action(timer);
    },
    [](TimerState* state) { ++Of(state)->refs; },
    [](TimerState* state) { Release(Of(state)); },
};

FakeTimer* NewTimer() {
  auto* timer = new FakeTimer;
  InitTimerState(&timer->state, &kOwner);
  return timer;
}

void RunFor(int milliseconds) { testing::TurnMainLoopFor(milliseconds); }
constexpr auto* RunUntil = &testing::TurnMainLoopUntil;

// Milliseconds until the timer's source falls due, however late the loop turns.
gint64 DueIn(const FakeTimer* timer) {
  GSource* source = timer->state.mTimeoutID ? g_main_context_find_source_by_id(nullptr, timer->state.mTimeoutID) : nullptr;
  return source ? (g_source_get_ready_time(source) - g_get_monotonic_time()) / 1000 : G_MAXINT64;
}

TEST(TimerStateTest, ANewTimerIsOffWithASecondsPeriodAndArmsNothing) {
  FakeTimer* timer = NewTimer();
  EXPECT_EQ(timer->state.mMode, kTimerOff);
  EXPECT_EQ(timer->state.mPeriod, 1000);
  EXPECT_EQ(timer->state.mEnabled, 1);
  EXPECT_EQ(timer->state.mTimeoutID, 0u);
  EXPECT_TRUE(AnyTimers());
  Release(timer);
}

TEST(TimerStateTest, ASingleTimerFiresOnceAfterItsPeriodAndTurnsItselfOff) {
  FakeTimer* timer = NewTimer();
  SetTimerPeriod(&timer->state, 150);
  EXPECT_EQ(timer->state.mTimeoutID, 0u) << "a period alone arms nothing";
  timer->created = g_get_monotonic_time();
  SetTimerMode(&timer->state, kTimerSingle);
  EXPECT_NE(timer->state.mTimeoutID, 0u);
  EXPECT_LE(DueIn(timer), 150);
  ASSERT_TRUE(RunUntil([&] { return !timer->fired.empty(); }));
  RunFor(150);
  ASSERT_EQ(timer->fired.size(), 1u);
  EXPECT_GE(timer->fired[0], 145);
  EXPECT_EQ(timer->state.mMode, kTimerOff);
  EXPECT_EQ(timer->state.mTimeoutID, 0u);
  Release(timer);
}

TEST(TimerStateTest, PeriodsBelowOneBecomeOne) {
  FakeTimer* timer = NewTimer();
  SetTimerPeriod(&timer->state, 0);
  EXPECT_EQ(timer->state.mPeriod, 1);
  SetTimerPeriod(&timer->state, -40);
  EXPECT_EQ(timer->state.mPeriod, 1);
  Release(timer);
}

TEST(TimerStateTest, AMultipleTimerFiresEveryPeriodUntilTurnedOff) {
  FakeTimer* timer = NewTimer();
  SetTimerPeriod(&timer->state, 40);
  SetTimerMode(&timer->state, kTimerMultiple);
  const gint64 start = g_get_monotonic_time();
  ASSERT_TRUE(RunUntil([&] { return timer->fired.size() >= 3; }));
  // Never more often than once a period, with one more at once after a late firing.
  EXPECT_LE(timer->fired.size(), size_t((g_get_monotonic_time() - start) / 1000 / 40 + 2));
  g_usleep(400000);  // the loop held up for ten periods: not ten firings in a row
  size_t count = timer->fired.size();
  ASSERT_TRUE(RunUntil([&] { return timer->fired.size() > count; }));
  RunFor(30);
  EXPECT_LE(timer->fired.size(), count + 3);
  SetTimerMode(&timer->state, kTimerOff);
  count = timer->fired.size();
  RunFor(120);
  EXPECT_EQ(timer->fired.size(), count);
  Release(timer);
}

// However late a firing (microseconds), one more comes at once and the next a whole period
// after that: never three within a period.
TEST(TimerStateTest, ALateTimerFiresOnceMoreAtOnceAndThenAfterAWholePeriod) {
  constexpr int64_t kPeriod = 10000;
  for (const int64_t late : {kPeriod, kPeriod * 3 / 2, kPeriod * 2 - 100, kPeriod * 10}) {
    EXPECT_EQ(NextTimerFiring(0, late, late + 10, kPeriod), late + 10) << late;
    EXPECT_EQ(NextTimerFiring(late + 10, late + 60, late + 70, kPeriod), late + 10 + kPeriod) << late;
  }
}

TEST(TimerStateTest, ChangingThePeriodOfARunningTimerReArmsIt) {
  FakeTimer* timer = NewTimer();
  SetTimerPeriod(&timer->state, 1000);
  SetTimerMode(&timer->state, kTimerSingle);
  timer->created = g_get_monotonic_time();
  SetTimerPeriod(&timer->state, 60);
  EXPECT_LE(DueIn(timer), 60) << "it kept the period of a second";
  EXPECT_TRUE(RunUntil([&] { return !timer->fired.empty(); }));
  Release(timer);
}

TEST(TimerStateTest, ADisabledTimerDoesNotActUntilEnabledAgain) {
  FakeTimer* timer = NewTimer();
  SetTimerPeriod(&timer->state, 30);
  SetTimerMode(&timer->state, kTimerSingle);
  timer->state.mEnabled = 0;
  RunFor(150);
  EXPECT_TRUE(timer->fired.empty());
  EXPECT_EQ(timer->state.mMode, kTimerSingle) << "the mode is left alone";
  timer->state.mEnabled = 1;  // the timeout was kept: firing resumes
  ASSERT_TRUE(RunUntil([&] { return !timer->fired.empty(); }));
  RunFor(100);
  EXPECT_EQ(timer->fired.size(), 1u);
  Release(timer);
}

TEST(TimerStateTest, ASingleTimerCanReArmItselfFromItsAction) {
  FakeTimer* timer = NewTimer();
  SetTimerPeriod(&timer->state, 30);
  timer->action = [](FakeTimer* self) {
    if (self->fired.size() < 3) SetTimerMode(&self->state, kTimerSingle);
  };
  SetTimerMode(&timer->state, kTimerSingle);
  ASSERT_TRUE(RunUntil([&] { return timer->fired.size() >= 3; }));
  RunFor(100);
  EXPECT_EQ(timer->fired.size(), 3u);
  EXPECT_EQ(timer->state.mMode, kTimerOff);
  Release(timer);
}

// The Action of a single timer that switches it to multiple arms a fresh timeout while the
// firing one is still being dispatched: only one of them may survive.
TEST(TimerStateTest, ASingleTimerSwitchedToMultipleInItsActionOwnsOneTimeout) {
  bool destroyed = false;
  FakeTimer* timer = NewTimer();
  timer->destroyed = &destroyed;
  SetTimerPeriod(&timer->state, 40);
  timer->action = [](FakeTimer* self) {
    if (self->fired.size() == 1) SetTimerMode(&self->state, kTimerMultiple);
    if (self->fired.size() == 6) Release(self);  // a second timeout would fire on freed memory
  };
  SetTimerMode(&timer->state, kTimerSingle);
  gint64 start = g_get_monotonic_time();
  ASSERT_TRUE(RunUntil([&] { return destroyed; }));
  EXPECT_GE((g_get_monotonic_time() - start) / 1000, 6 * 40 - 10) << "fired about twice per period";
  RunFor(150);
}

TEST(TimerStateTest, SettingTheModeInsideTheActionOfAMultipleTimerRestartsItsPeriod) {
  FakeTimer* timer = NewTimer();
  SetTimerPeriod(&timer->state, 50);
  timer->action = [](FakeTimer* self) {
    if (self->fired.size() == 1) {
      SetTimerPeriod(&self->state, 150);
      SetTimerMode(&self->state, kTimerMultiple);
    }
  };
  SetTimerMode(&timer->state, kTimerMultiple);
  ASSERT_TRUE(RunUntil([&] { return timer->fired.size() >= 2; }));
  EXPECT_GE(timer->fired[1] - timer->fired[0], 145) << "one at 50 ms, the next 150 ms later";
  Release(timer);
}

TEST(TimerStateTest, ATimerReleasedInsideItsOwnActionIsNeverFiredAgain) {
  bool destroyed = false;
  FakeTimer* timer = NewTimer();
  timer->destroyed = &destroyed;
  SetTimerPeriod(&timer->state, 20);
  timer->action = [](FakeTimer* self) { Release(self); };  // drops the owner's reference
  SetTimerMode(&timer->state, kTimerMultiple);
  EXPECT_TRUE(RunUntil([&] { return destroyed; }));  // and no use of the freed timer (checked under the sanitizers)
}

TEST(TimerStateTest, ADestroyedTimerNeverFires) {
  FakeTimer* timer = NewTimer();
  timer->action = [](FakeTimer*) { ADD_FAILURE() << "fired after destruction"; };
  SetTimerPeriod(&timer->state, 20);
  SetTimerMode(&timer->state, kTimerMultiple);
  Release(timer);
  RunFor(80);  // a firing would touch freed memory and fail under the sanitizers too
}

TEST(TimerStateTest, ResetRestartsTheLastFiringTimeOnly) {
  FakeTimer* timer = NewTimer();
  timer->state.mLastFire = 5;
  SetTimerPeriod(&timer->state, 500);
  SetTimerMode(&timer->state, kTimerSingle);
  uint32_t armed = timer->state.mTimeoutID;
  timer->state.mLastFire = 5;
  ResetTimer(&timer->state);
  EXPECT_NEAR(timer->state.mLastFire, TimerNow(), 20);
  EXPECT_EQ(timer->state.mTimeoutID, armed);
  Release(timer);
}

TEST(TimerStateTest, TheTimerListFollowsCreationAndDestruction) {
  // Every timer of the other tests has been released.
  EXPECT_FALSE(AnyTimers());
  FakeTimer* a = NewTimer();
  FakeTimer* b = NewTimer();
  EXPECT_EQ(b->state.mNext, &a->state) << "new timers go to the front";
  Release(a);
  EXPECT_EQ(b->state.mNext, nullptr);
  EXPECT_TRUE(AnyTimers());
  Release(b);
  EXPECT_FALSE(AnyTimers());
}

}  // namespace
}  // namespace vorn
