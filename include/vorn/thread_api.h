/*
 * Cooperative threads and their locks as compiled code sees them: Thread, Semaphore,
 * CriticalSection and Mutex, the yield and sleep calls, and the stack check.
 *
 * Only one runtime thread runs at a time; it gives the runtime away only at a yield point
 * (YieldToNextThread, Sleep, Suspend of itself, a wait on a lock, DoEvents from a thread, the
 * end of its Run event). A thread's Run event has the prototype void (VornRuntimeObject*).
 *
 * RuntimeStackCheck belongs at the top of every compiled function: when the stack has grown
 * past the current thread's limit it raises StackOverflowException (pending, like every raise),
 * and the function should return at once.
 */
#ifndef VORN_THREAD_API_H
#define VORN_THREAD_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
  kVornThreadRunning = 0,
  kVornThreadWaiting = 1,
  kVornThreadSuspended = 2,
  kVornThreadSleeping = 3,
  kVornThreadNotRunning = 4,
  kVornThreadLowestPriority = 1,
  kVornThreadNormalPriority = 5,
  kVornThreadHighPriority = 10
};

/* Thread: event Run. */
typedef struct VornThreadObject {
  VornRuntimeObject header;
  void *threadRecord; /* nil while not running */
  int32_t stackSize;  /* 0 or less: the default */
  int32_t priority;   /* slots per pass of the schedule; 5 after initialisation */
} VornThreadObject;

typedef struct VornSemaphoreObject {
  VornRuntimeObject header;
  int32_t maximum;
  int32_t count; /* negative: the number of waiters */
  void *waiters; /* the runtime's list of waiting threads, oldest first */
} VornSemaphoreObject;

typedef struct VornCriticalSectionObject {
  VornRuntimeObject header;
  int32_t lockCount; /* re-entry depth of the owner */
  void *owner;       /* the owning thread's record, nil when free */
  void *waiters; /* the runtime's list of waiting threads, oldest first */
} VornCriticalSectionObject;

typedef struct VornMutexObject {
  VornCriticalSectionObject section;
  void *lockFile;   /* the runtime's record of the lock file */
  void *lockStream; /* non-nil while this object holds the file's lock */
} VornMutexObject;

void ThreadInitializer(VornRuntimeObject *thread);
void threadRun(VornRuntimeObject *thread);
void ThreadSuspend(VornRuntimeObject *thread);
void ThreadResume(VornRuntimeObject *thread);
void ThreadSleep(VornRuntimeObject *thread, int32_t milliseconds, uint8_t wakeEarly);
int32_t ThreadGetStackSize(VornRuntimeObject *thread, int32_t unused);
void ThreadSetStackSize(VornRuntimeObject *thread, int32_t unused, int32_t size);
intptr_t ThreadGetID(VornRuntimeObject *thread, int32_t unused);
int32_t ThreadGetPriority(VornRuntimeObject *thread, int32_t unused);
void ThreadSetPriority(VornRuntimeObject *thread, int32_t unused, int32_t priority);
int32_t ThreadGetState(VornRuntimeObject *thread, int32_t unused);

void YieldToNextThread(void);
/* The current thread's object, locked; nil on the main thread. */
VornRuntimeObject *VORNGetCurrentThread(void);
/* App.SleepCurrentThread: the calling thread (also the main thread) sleeps. */
void AppSleepCurrentThread(VornRuntimeObject *app, int32_t milliseconds);

void SemaphoreInitializer(VornRuntimeObject *semaphore);
void SemaphoreFinalizer(VornRuntimeObject *semaphore);
void Semaphore_Constructor(VornRuntimeObject *semaphore, int32_t initialCount);
void Semaphore_Signal(VornRuntimeObject *semaphore);
uint8_t Semaphore_TrySignal(VornRuntimeObject *semaphore);
void semaphore_release(VornRuntimeObject *semaphore);

void CriticalSectionInitializer(VornRuntimeObject *section);
void CriticalSectionFinalizer(VornRuntimeObject *section);
void criticalsection_enter(VornRuntimeObject *section);
uint8_t CriticalSection_TryEnter(VornRuntimeObject *section);
void criticalsection_leave(VornRuntimeObject *section);

void MutexInitializer(VornRuntimeObject *mutex);
void MutexFinalizer(VornRuntimeObject *mutex);
void MutexContructor(VornRuntimeObject *mutex, VornStringRecord *name);
void MutexLock(VornRuntimeObject *mutex);
uint8_t MutexTryLock(VornRuntimeObject *mutex);
void MutexUnlock(VornRuntimeObject *mutex);

void RuntimeStackCheck(void);
void VORNInitStackChecker(intptr_t size);
uintptr_t VORNGetStackLimit(void);
void VORNSetStackLimit(uintptr_t limit);

#ifdef __cplusplus
}
#endif

#endif
