#include "core/thread_scheduler.h"

#include <glib.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>

#include "base/background_task.h"
#include "base/core_assert.h"
#include "core/suspension.h"
#include "base/ticks.h"
#include "core/termination.h"
#include "files/descriptor_wait.h"
#include "objects/exceptions.h"
#include "strings/simple_vector.h"
#include "vorn/thread_api.h"

namespace vorn {

namespace {

constexpr const char* kThreadSource = "../Common/ClassLib/RuntimeThread";
// With every thread waiting or suspended and none asleep nothing in the runtime can change;
// the scheduler then looks again at this pace instead of spinning.
constexpr int32_t kIdlePollMilliseconds = 20;

pthread_mutex_t gRuntimeMutex = PTHREAD_MUTEX_INITIALIZER;

struct Slot {
  ThreadRecord* record = nullptr;
  uint8_t ranInPass = 0;
};

ThreadRecord* BuildMainRecord() {
  auto* record = new ThreadRecord();
  record->mThreadID = pthread_self();
  pthread_mutex_lock(&gRuntimeMutex);
  return record;
}

ThreadRecord* sCurrentThread = nullptr;
ThreadRecord* sRecords = nullptr;
int32_t sRecordCount = 0;
ThreadRecord* sDeadThreadList = nullptr;
ThreadEndHook sEndHook = nullptr;
uintptr_t sStackLimit = 0;

ThreadRecord& MainRecord() {
  static ThreadRecord* main = [] {
    ThreadRecord* record = BuildMainRecord();
    record->mNext = sRecords;
    sRecords = record;
    sRecordCount = 1;
    sCurrentThread = record;
    return record;
  }();
  return *main;
}

// The main thread's record is built by the thread that starts the process, before main.
[[maybe_unused]] const ThreadRecord& sMainRecordAtStart = MainRecord();

// The file layer's waits for pipes, devices and the programs it runs come here from the start,
// so that a runtime thread lets the others run while it waits for one.
[[maybe_unused]] const bool sFileWaitsInstalled = (SetDescriptorWaitHook(&WaitForDescriptor), true);

SimpleVector<Slot>& Schedule() {
  static auto* schedule = new SimpleVector<Slot>(0);
  return *schedule;
}

bool Schedulable(const ThreadRecord* record) {
  return record->mSuspendCount == 0 && !record->mWaiting && !record->mOutside.load(std::memory_order_acquire);
}

bool Awake(const ThreadRecord* record, uint32_t now) {
  // A thread whose sleep started after now fell asleep before the clock wrapped.
  return now >= record->mWakeTime || now < record->mSleepStart;
}

// A termination signal cuts the sleep short: the schedule looks again afterwards anyway.
void SleepMilliseconds(int32_t milliseconds) { WaitForDescriptorOrTermination(-1, 0, milliseconds); }

// Milliseconds until the first sleeping thread other than `except` wakes; 0 when one can run
// now, -1 when none will ever wake by itself.
int32_t MillisecondsUntilRunnable(const ThreadRecord* except) {
  uint32_t now = ThreadMilliseconds();
  int32_t earliest = -1;
  for (ThreadRecord* record = sRecords; record; record = record->mNext) {
    if (record == except || !Schedulable(record) || record->mSlotCount <= 0) continue;
    if (Awake(record, now) || record->mWakeEarly) return 0;
    int32_t remaining = static_cast<int32_t>(record->mWakeTime - now);
    if (earliest < 0 || remaining < earliest) earliest = remaining;
  }
  return earliest;
}

ThreadRecord* Choose(ThreadRecord& record) {
  record.mStateFlags = 0;
  record.mWakeEarly = 0;
  return &record;
}

ThreadRecord* Choose(Slot& slot) {
  slot.ranInPass = 1;
  return Choose(*slot.record);
}

// The main thread alone has nobody to hand over to, but a sleep or a wait of its own must still
// pass as time rather than as a spin.
ThreadRecord* PickMainAlone(bool maySleep) {
  ThreadRecord& main = MainRecord();
  while (true) {
    uint32_t now = ThreadMilliseconds();
    if (Schedulable(&main) && (Awake(&main, now) || main.mWakeEarly)) return Choose(main);
    if (!maySleep) return nullptr;
    bool waitsForEver = !Schedulable(&main);
    SleepMilliseconds(waitsForEver ? kIdlePollMilliseconds : std::max<int32_t>(static_cast<int32_t>(main.mWakeTime - now), 1));
  }
}

ThreadRecord* PickNextThread(bool maySleep) {
  if (sRecordCount < 2) return PickMainAlone(maySleep);
  SimpleVector<Slot>& schedule = Schedule();
  while (true) {
    // A termination signal waits for nobody's turn, also not for the lock or the sleep the
    // main thread waits in: only the main thread may carry it out, and does so when its yield
    // returns.
    if (TerminationDue()) return Choose(MainRecord());
    uint32_t now = ThreadMilliseconds();
    Slot* fresh = nullptr;
    Slot* again = nullptr;
    Slot* early = nullptr;
    for (Slot& slot : schedule) {
      ThreadRecord* record = slot.record;
      if (!Schedulable(record)) continue;
      if (Awake(record, now)) {
        if (!slot.ranInPass) {
          fresh = &slot;
          break;
        }
        if (!again) again = &slot;
      } else if (record->mWakeEarly && !early) {
        early = &slot;
      }
    }
    if (fresh) return Choose(*fresh);
    if (again) {
      for (Slot& slot : schedule) slot.ranInPass = 0;
      return Choose(*again);
    }
    // A sleeper that may wake early is woken only when nothing else can run, and then for
    // good: its sleep is over.
    if (early) {
      early->record->mWakeTime = now;
      return Choose(*early);
    }
    if (!maySleep) return nullptr;
    int32_t wait = MillisecondsUntilRunnable(nullptr);
    SleepMilliseconds(wait < 0 ? kIdlePollMilliseconds : std::max<int32_t>(wait, 1));
  }
}

void FreeDeadThreads() {
  while (ThreadRecord* dead = sDeadThreadList) {
    sDeadThreadList = dead->mNext;
    if (dead == sCurrentThread) {
      ReportCoreAssertion(kThreadSource, 0, "sDeadThreadList != sCurrentThread");
      continue;
    }
    pthread_cond_destroy(&dead->mTurn);
    delete dead;
  }
}

// The two halves of a hand-over, on the calling thread with the runtime held: naming `next`
// current, and waiting until the schedule names the caller again, then taking up its state.
void GiveTurn(ThreadRecord* self, ThreadRecord* next) {
  self->mParkedException = TakePendingException();
  sCurrentThread = next;
  pthread_cond_signal(&next->mTurn);
}

void AwaitTurn(ThreadRecord* self) {
  while (sCurrentThread != self) pthread_cond_wait(&self->mTurn, &gRuntimeMutex);
  sStackLimit = self->mStackLimit;
  if (RuntimeObject* parked = self->mParkedException) {
    self->mParkedException = nullptr;
    RestorePendingException(parked);
  }
}

void HandOver(ThreadRecord* self, ThreadRecord* next) {
  GiveTurn(self, next);
  AwaitTurn(self);
}

// Polls without the runtime: the others run meanwhile. Coming back, the thread is schedulable
// again at once, and wakes whoever idles so that the schedule sees it.
void PollOutsideRuntime(ThreadRecord* self, pollfd* entry, int timeoutMs) {
  self->mOutside.store(true, std::memory_order_release);
  // Nobody may be runnable (the main thread waiting on a lock this thread would free): the
  // main thread then waits in the schedule in its place, where a signal reaches it.
  ThreadRecord* next = PickNextThread(false);
  GiveTurn(self, next ? next : &MainRecord());
  pthread_mutex_unlock(&gRuntimeMutex);
  poll(entry, 1, timeoutMs);
  self->mOutside.store(false, std::memory_order_release);
  WakeWaits();
  pthread_mutex_lock(&gRuntimeMutex);
  AwaitTurn(self);
  FreeDeadThreads();
}

void Unlink(ThreadRecord* record) {
  for (ThreadRecord** link = &sRecords; *link; link = &(*link)->mNext) {
    if (*link == record) {
      *link = record->mNext;
      --sRecordCount;
      break;
    }
  }
  record->mNext = nullptr;
}

// --- switching from the run loop --------------------------------------------------------

// Run by the run loop at the end of every iteration while other threads exist, and by compiled
// code in long loops. The loop may still wait for events meanwhile: the switch source below
// wakes it as soon as another thread can run, so an idle program with sleeping threads does not
// spin.
class ThreadSwitchTask : public BackgroundTask {
 public:
  ThreadSwitchTask() : BackgroundTask(0) { RemoveBackgroundTaskTimeout(this); }
  void Run() override {
    if (!ThreadSwitchingSuspended()) YieldToNextThreadInternal();
  }
  bool KeepsLoopAwake() const override { return false; }
};

// Whether the main thread's loop has had its iteration since the main thread last yielded.
bool sLoopServedThisTurn = false;
// Set while the iteration that serves the turn runs, from its prepare to its check.
bool sServingIteration = false;

// Lets the other threads run from every main loop of the main thread, also from those that GTK
// runs itself for its own dialogs and that never come back to the run loop; a loop may block
// while no other thread can run, until the earliest sleeper is due. While another can run, the
// first iteration of each turn of the main thread goes without the switch, but never waits: at
// the default priority and ready at every iteration, the switch would keep GLib from ever
// dispatching anything less urgent (GTK's redrawing and resizing, idle work), and a wait would
// hold the runtime with nothing to do.
gboolean SwitchSourcePrepare(GSource*, gint* timeout) {
  *timeout = -1;
  sServingIteration = false;
  if (ThreadSwitchingSuspended() || sCurrentThread != &MainRecord()) return FALSE;
  int32_t wait = MillisecondsUntilRunnable(&MainRecord());
  if (wait != 0) {
    *timeout = wait;
    return FALSE;
  }
  if (sLoopServedThisTurn) return TRUE;
  sLoopServedThisTurn = true;
  sServingIteration = true;
  *timeout = 0;
  return FALSE;
}

gboolean SwitchSourceCheck(GSource*) {
  if (sServingIteration || ThreadSwitchingSuspended() || sCurrentThread != &MainRecord()) return FALSE;
  return MillisecondsUntilRunnable(&MainRecord()) == 0;
}

gboolean SwitchSourceDispatch(GSource*, GSourceFunc, gpointer) {
  YieldToNextThreadInternal();
  return G_SOURCE_CONTINUE;
}

GSourceFuncs sSwitchSourceFuncs = {&SwitchSourcePrepare, &SwitchSourceCheck, &SwitchSourceDispatch,
                                   nullptr, nullptr, nullptr};

ThreadSwitchTask* sSwitchTask = nullptr;
GSource* sSwitchSource = nullptr;

void StartSwitching() {
  if (!sSwitchTask) sSwitchTask = new ThreadSwitchTask();
  if (!sSwitchSource) {
    sSwitchSource = g_source_new(&sSwitchSourceFuncs, sizeof(GSource));
    g_source_attach(sSwitchSource, nullptr);
  }
}

void StopSwitching() {
  delete sSwitchTask;
  sSwitchTask = nullptr;
  if (sSwitchSource) {
    g_source_destroy(sSwitchSource);
    g_source_unref(sSwitchSource);
    sSwitchSource = nullptr;
  }
}

void EndThread(ThreadRecord* record) {
  if (sEndHook) sEndHook(record);
  SetThreadSlots(record, 0);
  Unlink(record);
  record->mStateFlags = kThreadDeadFlag;
  record->mNext = sDeadThreadList;
  sDeadThreadList = record;
  if (sRecordCount == 1) StopSwitching();
  // Nothing may travel from a finished thread into the next one.
  if (RuntimeObject* stale = TakePendingException()) RuntimeUnlockObject(stale);
  // A finished thread does no waiting of its own: the main thread, which can carry out a
  // termination signal, waits in its place when nobody can run yet.
  ThreadRecord* next = PickNextThread(false);
  if (!next) next = &MainRecord();
  sCurrentThread = next;
  pthread_cond_signal(&next->mTurn);
}

void* ThreadStart(void* data) {
  auto* record = static_cast<ThreadRecord*>(data);
  pthread_mutex_lock(&gRuntimeMutex);
  while (sCurrentThread != record) pthread_cond_wait(&record->mTurn, &gRuntimeMutex);
  FreeDeadThreads();
  InitStackChecker(record->mCheckedStackBytes);
  record->mBody(record);
  EndThread(record);
  pthread_mutex_unlock(&gRuntimeMutex);
  return nullptr;
}

}  // namespace

uint32_t ThreadMilliseconds() {
  uint64_t ms = static_cast<uint64_t>(CurrentTicks()) * 50u / 3u;
  return static_cast<uint32_t>(ms + 0x80000000u);
}

ThreadRecord* MainThreadRecord() { return &MainRecord(); }
ThreadRecord* CurrentThreadRecord() {
  MainRecord();
  return sCurrentThread;
}
int32_t ThreadRecordCount() {
  MainRecord();
  return sRecordCount;
}

void YieldToNextThreadInternal() {
  ThreadRecord* self = CurrentThreadRecord();
  if (self == nullptr) {
    ReportCoreAssertion(kThreadSource, 0, "sCurrentThread");
    return;
  }
  if (!pthread_equal(pthread_self(), self->mThreadID)) {
    ReportCoreAssertion(kThreadSource, 0, "pthread_equal( current, sCurrentThread->mThreadID )");
    return;
  }
  ThreadRecord* next = PickNextThread(true);
  while (next != self) {
    HandOver(self, next);
    // The main thread is also handed the turn when nobody can run, to wait in the schedule in
    // the place of a thread that ended or went to wait for a descriptor: a sleep of its own or
    // a suspension is not over by that.
    if (self != &MainRecord() || (Schedulable(self) && (Awake(self, ThreadMilliseconds()) || self->mWakeEarly))) break;
    next = PickNextThread(true);
  }
  FreeDeadThreads();
  // A signal taken while another thread ran is carried out once the main thread is back.
  if (self == &MainRecord()) {
    // Picked again by its own next slot or not, the main thread's loop serves once more.
    sLoopServedThisTurn = false;
    HandlePendingTermination();
  }
}

int WaitForDescriptor(int fd, short events, int timeoutMs) {
  ThreadRecord* self = CurrentThreadRecord();
  // A POSIX thread of no runtime thread's holds nothing to give away.
  if (self == &MainRecord() || !pthread_equal(pthread_self(), self->mThreadID)) {
    return WaitForDescriptorOrTermination(fd, events, timeoutMs);
  }
  gint64 deadline = g_get_monotonic_time() / 1000 + timeoutMs;
  bool handedOn = false;
  while (true) {
    // Another thread may have taken what woke the wait before this one had its turn again.
    pollfd entry{fd, events, 0};
    if (poll(&entry, 1, 0) > 0) {
      if (handedOn) return 1;
      // A store that is always ready (a device, a pipe fed faster than it is read) would
      // otherwise keep the runtime from the others, the main thread's loop and a quit signal
      // for as long as the reading goes on.
      YieldToNextThreadInternal();
      handedOn = true;
      continue;
    }
    int left = -1;
    if (timeoutMs >= 0) {
      gint64 now = g_get_monotonic_time() / 1000;
      if (now >= deadline) return 0;
      left = static_cast<int>(deadline - now);
    }
    PollOutsideRuntime(self, &entry, left);
    handedOn = true;
  }
}

void SleepThread(ThreadRecord* record, int32_t milliseconds, bool wakeEarly) {
  if (record == nullptr) return;
  uint32_t now = ThreadMilliseconds();
  record->mWakeTime = now + static_cast<uint32_t>(std::max<int32_t>(milliseconds, 0));
  record->mSleepStart = now;
  record->mWakeEarly = wakeEarly ? 1 : 0;
  record->mStateFlags |= kThreadSleepingFlag;
  if (record == sCurrentThread) YieldToNextThreadInternal();
}

void SuspendThread(ThreadRecord* record) {
  if (record == nullptr) return;
  ++record->mSuspendCount;
  record->mStateFlags |= kThreadSuspendedFlag;
  if (record == sCurrentThread) YieldToNextThreadInternal();
}

void ResumeThread(ThreadRecord* record) {
  if (record == nullptr) return;
  if (record->mSuspendCount > 0) --record->mSuspendCount;
  record->mStateFlags &= ~(kThreadSuspendedFlag | kThreadSleepingFlag);
  uint32_t now = ThreadMilliseconds();
  record->mWakeTime = now - 1;
  record->mSleepStart = now - 1;
}

void WaitUntilWoken() {
  ThreadRecord* self = CurrentThreadRecord();
  self->mWaiting = true;
  self->mStateFlags |= kThreadWaitingFlag;
  while (self->mWaiting) YieldToNextThreadInternal();
  self->mStateFlags &= ~kThreadWaitingFlag;
}

void WakeWaitingThread(ThreadRecord* record) {
  if (record) record->mWaiting = false;
}

void SetThreadSlots(ThreadRecord* record, int32_t count) {
  if (record == nullptr) record = &MainRecord();
  count = std::clamp(count, 0, kMaximumThreadSlots);
  SimpleVector<Slot>& schedule = Schedule();
  int32_t change = count - record->mSlotCount;
  for (; change > 0; --change) schedule.InsertAt(0, Slot{record, 0});
  for (int32_t i = schedule.Count(); change < 0 && i-- > 0;) {
    if (schedule[i].record != record) continue;
    schedule.RemoveAt(i);
    ++change;
  }
  record->mSlotCount = count;
}

ThreadRecord* NewThreadRecord(RuntimeObject* threadObject, int32_t slots) {
  ThreadRecord& main = MainRecord();
  // The main thread takes its turns from the moment a second thread exists, whether or not
  // stack checking gave it its slots already.
  if (main.mSlotCount <= 0) SetThreadSlots(&main, 5);
  StartSwitching();
  auto* record = new ThreadRecord();
  record->mThreadObject = threadObject;
  record->mNext = sRecords;
  sRecords = record;
  ++sRecordCount;
  SetThreadSlots(record, slots);
  return record;
}

bool StartThread(ThreadRecord* record, size_t checkedStackBytes, void (*body)(ThreadRecord*)) {
  record->mCheckedStackBytes = checkedStackBytes;
  record->mBody = body;
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  size_t stackBytes = std::max<size_t>(checkedStackBytes + kNativeStackReserve, PTHREAD_STACK_MIN);
  pthread_attr_setstacksize(&attributes, (stackBytes + 0xFFFF) & ~size_t{0xFFFF});
  // Termination signals go to the main thread, which alone may carry them out; a runtime thread
  // starts with them blocked.
  sigset_t termination, previous;
  sigemptyset(&termination);
  for (int signalNumber : {SIGTERM, SIGQUIT, SIGHUP}) sigaddset(&termination, signalNumber);
  pthread_sigmask(SIG_BLOCK, &termination, &previous);
  int err = pthread_create(&record->mThreadID, &attributes, &ThreadStart, record);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  pthread_attr_destroy(&attributes);
  if (err == 0) return true;
  ReportCoreAssertion(kThreadSource, 1586, "0 == err");
  SetThreadSlots(record, 0);
  Unlink(record);
  pthread_cond_destroy(&record->mTurn);
  delete record;
  if (sRecordCount == 1) StopSwitching();
  return false;
}

void SetThreadEndHook(ThreadEndHook hook) { sEndHook = hook; }

ThreadRecord* NthThreadWithObject(int32_t index) {
  for (ThreadRecord* record = CurrentThreadRecord() ? sRecords : nullptr; record; record = record->mNext) {
    if (record->mThreadObject && index-- == 0) return record;
  }
  return nullptr;
}

int32_t ThreadsWithObjectCount() {
  int32_t count = 0;
  MainRecord();
  for (ThreadRecord* record = sRecords; record; record = record->mNext) count += record->mThreadObject ? 1 : 0;
  return count;
}

// --- stack limits --------------------------------------------------------------------------

void InitStackChecker(size_t size) {
  auto position = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  uintptr_t limit = position > size ? position - size : 0;
  ThreadRecord* self = CurrentThreadRecord();
  self->mStackTop = position;
  self->mStackLimit = limit;
  sStackLimit = limit;
  if (self == &MainRecord() && self->mSlotCount <= 0) SetThreadSlots(self, 5);
}

size_t MainThreadStackAllowance() {
  rlimit limit{};
  if (getrlimit(RLIMIT_STACK, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kMainThreadCheckedStack;
  // What start-up has used already and the native reserve come off the process's limit.
  size_t available = limit.rlim_cur > 2 * kNativeStackReserve ? limit.rlim_cur - 2 * kNativeStackReserve
                                                              : limit.rlim_cur / 4;
  return std::min(kMainThreadCheckedStack, available);
}

}  // namespace vorn

using namespace vorn;

void RuntimeStackCheck() {
  if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < sStackLimit) [[unlikely]] {
    // One overflow is reported once: the compiled code unwinds on the pending exception.
    if (PendingException() == nullptr) RuntimeRaiseExceptionWithMessage(GetStackOverflowExceptionClassDefinition(), string());
  }
}

void VORNInitStackChecker(intptr_t size) { InitStackChecker(size > 0 ? static_cast<size_t>(size) : 0); }

uintptr_t VORNGetStackLimit() { return sStackLimit; }

void VORNSetStackLimit(uintptr_t limit) {
  sStackLimit = limit;
  CurrentThreadRecord()->mStackLimit = limit;
}

void YieldToNextThread() { YieldToNextThreadInternal(); }
