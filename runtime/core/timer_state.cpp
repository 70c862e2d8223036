#include "core/timer_state.h"

#include <glib.h>

#include "core/suspension.h"
#include "base/ticks.h"

namespace vorn {

namespace {

TimerState* sTimers = nullptr;
int32_t sEarliestDue = 0;  // 0 when none is known

void DisarmTimer(TimerState* timer) {
  if (timer->mTimeoutID != 0) {
    g_source_remove(timer->mTimeoutID);
    timer->mTimeoutID = 0;
  }
}

// One step below the window-system events: GDK hands out one event per loop iteration, and
// GLib dispatches only the most urgent sources that are ready, so a timer due at every
// iteration (an Action longer than its period) still lets the events it causes be served
// between its Actions instead of piling up behind them, and fires as soon as they are.
constexpr int kTimerPriority = G_PRIORITY_DEFAULT + 1;

void ArmTimer(TimerState* timer) {
  timer->mTimeoutID =
      g_timeout_add_full(kTimerPriority, static_cast<guint>(timer->mPeriod), &TimerFired, timer, nullptr);
}

}  // namespace

int32_t TimerNow() { return TicksToMilliseconds(CurrentTicks()); }

void InitTimerState(TimerState* timer, const TimerOwner* owner) {
  *timer = TimerState{};
  timer->mOwner = owner;
  timer->mPeriod = 1000;
  timer->mEnabled = 1;
  timer->mLastFire = TimerNow();
  timer->mNext = sTimers;
  sTimers = timer;
  sEarliestDue = timer->mLastFire;
}

void DestroyTimerState(TimerState* timer) {
  for (TimerState** link = &sTimers; *link; link = &(*link)->mNext) {
    if (*link == timer) {
      *link = timer->mNext;
      break;
    }
  }
  timer->mNext = nullptr;
  DisarmTimer(timer);
}

void SetTimerMode(TimerState* timer, int32_t mode) {
  timer->mMode = mode;
  timer->mLastFire = TimerNow();
  DisarmTimer(timer);
  if (mode != kTimerOff) ArmTimer(timer);
  sEarliestDue = timer->mLastFire;
}

void SetTimerPeriod(TimerState* timer, int32_t period) {
  timer->mPeriod = period < 1 ? 1 : period;
  DisarmTimer(timer);
  if (timer->mMode != kTimerOff) ArmTimer(timer);
}

void ResetTimer(TimerState* timer) { timer->mLastFire = TimerNow(); }

int TimerFired(void* data) {
  auto* timer = static_cast<TimerState*>(data);
  // A disabled timer keeps its timeout, so firing resumes once it is enabled again: setting
  // Enabled arms nothing by itself.
  if (timer->mEnabled == 0) return G_SOURCE_CONTINUE;
  // A program stopped in the debugger runs no Action, whoever turns the main loop meanwhile.
  if (TimersSuspended()) return G_SOURCE_CONTINUE;
  // The timeout firing now. Whatever the Action does to Mode or Period, the timer owns at
  // most one timeout afterwards: this one stays only while it is still the one recorded.
  const uint32_t firing = timer->mTimeoutID;
  if (timer->mMode != kTimerMultiple) {
    // A single timer turns itself off before its Action, which may arm it afresh.
    timer->mTimeoutID = 0;
    timer->mMode = kTimerOff;
  }
  timer->mLastFire = TimerNow();
  const TimerOwner* owner = timer->mOwner;
  if (owner == nullptr || owner->fire == nullptr) return timer->mMode == kTimerMultiple;
  // The Action may release the last reference to its own timer; the state must outlive the
  // call and the look at its mode afterwards.
  if (owner->retain) owner->retain(timer);
  owner->fire(timer);
  bool keep = firing != 0 && timer->mTimeoutID == firing && timer->mMode == kTimerMultiple;
  if (owner->release) owner->release(timer);
  return keep ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

bool AnyTimers() { return sTimers != nullptr; }

int32_t MillisecondsToNextTimer() {
  if (sEarliestDue == 0) return 20000;
  return sEarliestDue - TimerNow();
}

}  // namespace vorn
