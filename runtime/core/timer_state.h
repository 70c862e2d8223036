// The native part of a language Timer: its fields, in the order the object layout keeps them,
// and the GLib timeout that fires it. The Timer class puts this right after the object header
// and supplies the Action call; everything about arming and firing lives here.
#pragma once

#include <cstdint>

namespace vorn {

enum TimerMode : int32_t { kTimerOff = 0, kTimerSingle = 1, kTimerMultiple = 2 };

struct TimerState;

// What firing does, supplied by the owner of the state. `fire` runs the Action and answers
// nothing; `retain`/`release` keep the owner alive around it, since an Action may drop the
// last reference to its own timer.
struct TimerOwner {
  void (*fire)(TimerState* timer) = nullptr;
  void (*retain)(TimerState* timer) = nullptr;
  void (*release)(TimerState* timer) = nullptr;
};

struct TimerState {
  TimerState* mNext;
  int32_t mMode;
  int32_t mPeriod;    // milliseconds
  int32_t mLastFire;  // in the millisecond time base of the ticks
  int32_t mEnabled;
  uint32_t mTimeoutID;  // 0 when no timeout is armed
  uint32_t mReserved[2];
  void* mReceivers;
  const TimerOwner* mOwner;
};

// Construction: period 1000 ms, enabled, off, listed at the front of the timer list.
void InitTimerState(TimerState* timer, const TimerOwner* owner);
// Destruction: unlisted, and an armed timeout is removed, so a released timer never fires.
void DestroyTimerState(TimerState* timer);

// Mode: restarts the period from now; any mode but off arms a fresh timeout.
void SetTimerMode(TimerState* timer, int32_t mode);
// Period: at least 1; re-arms a running timer with the new period without restarting
// the time of the last firing.
void SetTimerPeriod(TimerState* timer, int32_t period);
// Reset: the time of the last firing becomes now (the armed timeout runs on unchanged).
void ResetTimer(TimerState* timer);

// The GLib timeout callback; answers whether the timeout stays.
int TimerFired(void* timer);

// When a timer that was due at `due` and whose Action ran from `start` to `end` is due next
// (microseconds of one clock). A firing the loop served late is followed by the next one a
// period after it was due, so the load of the loop does not stretch the period. An Action that
// outlasts its period is followed by a whole period without the timer: GDK hands out one event
// per iteration, so a timer due at every iteration would let the events its Actions cause pile
// up. Behind by a period or more, the timer fires once more at once and goes on by its period
// from there: never more than twice in a row.
int64_t NextTimerFiring(int64_t due, int64_t start, int64_t end, int64_t period);

// The millisecond time base of timers, now.
int32_t TimerNow();

bool AnyTimers();
// Milliseconds until the earliest known firing; 20000 when none is known.
int32_t MillisecondsToNextTimer();

}  // namespace vorn
