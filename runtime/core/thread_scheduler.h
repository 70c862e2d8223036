// Cooperative runtime threads. Every runtime thread is a POSIX thread, but only the one named
// by the current record holds the global runtime mutex and runs runtime or compiled code; it
// hands the runtime on only at a yield point, to the thread a weighted round-robin schedule
// picks. Hand-over is direct: the yielding thread names its successor and signals that
// thread's own condition variable, so threads that are not chosen never wake up. Because of
// this rule the runtime's reference counts and tables need no locks of their own.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "objects/runtime_class.h"

namespace vorn {

// State flags of a thread record.
enum : uint32_t {
  kThreadSuspendedFlag = 1,
  kThreadSleepingFlag = 2,
  kThreadWaitingFlag = 4,
  kThreadDeadFlag = 8,
};

struct ThreadRecord {
  pthread_t mThreadID{};
  uintptr_t mStackLimit = 0;  // the lowest stack address compiled code may reach
  uintptr_t mStackTop = 0;    // the stack position when checking was set up
  RuntimeObject* mThreadObject = nullptr;  // locked while the thread exists; nil for main
  ThreadRecord* mNext = nullptr;
  uint32_t mWakeTime = 0;    // thread time base
  uint32_t mSleepStart = 0;
  int32_t mSuspendCount = 0;  // non-zero: the schedule skips the thread
  int32_t mSlotCount = 0;     // slots in the schedule: the priority
  uint8_t mWakeEarly = 0;
  uint32_t mStateFlags = 0;

  // Set while the thread waits on a lock; only the lock's holder clears it. Kept apart from
  // the suspend count so that Resume never lets a waiter run before its lock is free.
  bool mWaiting = false;
  // Set while the thread waits for a descriptor without the runtime (WaitForDescriptor); the
  // thread clears it itself when the wait ends, before it can take the runtime back.
  std::atomic<bool> mOutside{false};
  // An exception the thread left pending when it gave the runtime away; the pending word is
  // the running thread's alone.
  RuntimeObject* mParkedException = nullptr;
  size_t mCheckedStackBytes = 0;  // for a new thread: how far its compiled code may go
  void (*mBody)(ThreadRecord* record) = nullptr;
  pthread_cond_t mTurn = PTHREAD_COND_INITIALIZER;  // signalled when the thread is chosen
};

// The thread time base: ticks * 50 / 3 + 2^31, modulo 2^32; compared unsigned.
uint32_t ThreadMilliseconds();

ThreadRecord* MainThreadRecord();
ThreadRecord* CurrentThreadRecord();
// The number of records, the main thread's included.
int32_t ThreadRecordCount();

// Gives the runtime to the next thread of the schedule and returns when the calling thread
// has it again. Also frees the records of threads that ended.
void YieldToNextThreadInternal();

// The thread of `record` sleeps for `milliseconds` (wakeEarly: it may be woken before that
// when no other thread can run); if it is the current thread it yields.
void SleepThread(ThreadRecord* record, int32_t milliseconds, bool wakeEarly);
void SuspendThread(ThreadRecord* record);
// Never below 0; a sleeping thread becomes runnable at once.
void ResumeThread(ThreadRecord* record);

// Waits until `fd` is ready for `events` or `timeoutMs` milliseconds have passed (negative: no
// limit); 1 when it is ready, as seen with the runtime held again, 0 when the time ran out.
// The main thread keeps the runtime and carries out a termination signal meanwhile
// (WaitForDescriptorOrTermination). Any other thread gives the runtime to the others for the
// wait, above all to the main thread, the only one that can carry out a signal, and hands it on
// once also when the descriptor is ready at once. The file layer's waits
// (files/descriptor_wait.h) come here too.
int WaitForDescriptor(int fd, short events, int timeoutMs);

// Waiting on a lock: the current thread is skipped by the schedule until WakeWaitingThread.
void WaitUntilWoken();
void WakeWaitingThread(ThreadRecord* record);

// Gives the thread `count` slots in the schedule (nil: the main thread), at most this many:
// a priority beyond it buys no larger share.
constexpr int32_t kMaximumThreadSlots = 1000;
// Gives the thread `count` slots in the schedule (nil: the main thread).
void SetThreadSlots(ThreadRecord* record, int32_t count);

// Starts a POSIX thread that runs `body` with the runtime once the schedule picks it. The
// record comes from NewThreadRecord and is linked; false (and the record unlinked and freed)
// when the system refuses the thread.
ThreadRecord* NewThreadRecord(RuntimeObject* threadObject, int32_t slots);
bool StartThread(ThreadRecord* record, size_t checkedStackBytes, void (*body)(ThreadRecord*));

// Called on a thread's own POSIX thread once its body has run: lets go of everything it holds
// and hands the runtime on for the last time.
using ThreadEndHook = void (*)(ThreadRecord* record);
void SetThreadEndHook(ThreadEndHook hook);

// The n-th record that has a thread object (newest first), nil past the end.
ThreadRecord* NthThreadWithObject(int32_t index);
int32_t ThreadsWithObjectCount();

// --- stack limits --------------------------------------------------------------------------

// Stack the compiled code of the main thread may use below the position at start-up, and the
// default for other threads. Both leave the native code that compiled code calls (GTK, Pango,
// fontconfig, the C library) room below the limit.
constexpr size_t kMainThreadCheckedStack = 4u << 20;
constexpr size_t kDefaultThreadCheckedStack = 1u << 20;
// Room a thread's POSIX stack has beyond its checked part, for native calls made near the
// limit and for raising the exception itself.
constexpr size_t kNativeStackReserve = 1u << 20;
constexpr size_t kMaximumThreadCheckedStack = 256u << 20;

// Sets the current thread's limit `size` bytes below the calling frame and makes it the
// process-wide limit; the main thread also gets its 5 schedule slots.
void InitStackChecker(size_t size);
// How much stack the main thread's compiled code may use, given the process's stack limit.
size_t MainThreadStackAllowance();

}  // namespace vorn
