// What Semaphore, CriticalSection and Mutex share: the list of threads waiting on a lock, and
// the ownership a thread gives back when it ends.
#pragma once

#include "core/thread_scheduler.h"
#include "strings/simple_vector.h"
#include "vorn/thread_api.h"

namespace vorn {

using WaiterList = SimpleVector<ThreadRecord*>;
using CriticalSectionObject = VornCriticalSectionObject;
using MutexObject = VornMutexObject;

WaiterList* WaitersOf(void* field);

// The current thread joins the waiters and gives the runtime away until a holder wakes it.
// The lock object is held meanwhile, so it outlives every wait on it.
void WaitOn(RuntimeObject* lock, WaiterList* waiters);
// Takes the oldest waiter off the list and lets it run again; nil when there is none.
ThreadRecord* WakeFirstWaiter(WaiterList* waiters);

// Every live CriticalSection (Mutex included), so that the locks of a thread that ends can be
// given on to their waiters instead of being held forever by a record that is gone.
void ListSection(CriticalSectionObject* section);
void UnlistSection(CriticalSectionObject* section);

bool IsMutex(RuntimeObject* object);
// A mutex whose owner ended: its file lock is given up too.
void ReleaseMutexFileLock(MutexObject* mutex);

}  // namespace vorn
