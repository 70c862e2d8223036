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

// A timer's own source at the default priority, beside the window-system events and thread
// switching: GLib dispatches only the most urgent ready sources, so a timer below them would
// never fire while one of them is ready at every iteration (a thread computing, the pointer
// moving over a busy control).
struct TimerSource {
  GSource source;
  TimerState* timer;
  gint64 periodUs;
};

// Runs the Action and sets when it is due next (NextTimerFiring).
gboolean DispatchTimerSource(GSource* source, GSourceFunc, gpointer) {
  auto* self = reinterpret_cast<TimerSource*>(source);
  const gint64 due = g_source_get_ready_time(source);
  const gint64 start = g_get_monotonic_time();
  // The Action may free the timer or re-arm it afresh: only the source is looked at afterwards.
  if (TimerFired(self->timer) == G_SOURCE_REMOVE) return G_SOURCE_REMOVE;
  if (g_source_is_destroyed(source)) return G_SOURCE_REMOVE;
  g_source_set_ready_time(source, NextTimerFiring(due, start, g_get_monotonic_time(), self->periodUs));
  return G_SOURCE_CONTINUE;
}

GSourceFuncs sTimerSourceFuncs = {nullptr, nullptr, &DispatchTimerSource, nullptr, nullptr, nullptr};

void ArmTimer(TimerState* timer) {
  GSource* source = g_source_new(&sTimerSourceFuncs, sizeof(TimerSource));
  auto* self = reinterpret_cast<TimerSource*>(source);
  self->timer = timer;
  self->periodUs = gint64{timer->mPeriod} * 1000;
  g_source_set_priority(source, G_PRIORITY_DEFAULT);
  g_source_set_ready_time(source, g_get_monotonic_time() + self->periodUs);
  timer->mTimeoutID = g_source_attach(source, nullptr);
  g_source_unref(source);
}

}  // namespace

int64_t NextTimerFiring(int64_t due, int64_t start, int64_t end, int64_t period) {
  if (end - start >= period) return end + period;
  // Behind by a period or more, the firing just made stands for the ones missed: one more
  // at once, due now, so that the next after it is a whole period away.
  if (due + period <= end) return end;
  return due + period;
}

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
