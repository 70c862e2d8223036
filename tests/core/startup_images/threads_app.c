/* Cooperative threads as compiled code uses them. Each scenario logs one short result; the
 * main thread takes part in them like any other thread. A wait that is never woken leaves the
 * program hanging, which the test's deadline turns into a failure. */
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "vorn/image_abi.h"
#include "vorn/thread_api.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

VORN_LITERAL(kSemaphoreName, "Semaphore");
VORN_LITERAL(kSectionName, "CriticalSection");
VORN_LITERAL(kMutexName, "Mutex");
VORN_LITERAL(kEmpty, "");
VORN_LITERAL(kStackOverflow, "StackOverflowException");
VORN_LITERAL(kAlreadyRunning, "ThreadAlreadyRunningException");
VORN_LITERAL(kIllegalLocking, "IllegalLockingException");

typedef struct {
  VornRuntimeObject header;
  int32_t errorNumber;
  void *message;
} ExceptionFields;

enum { kRelay, kSectionAdder, kSpinner, kSleeper, kEarlySleeper, kHolder, kLockWaiter, kRecurser };

typedef struct Worker {
  VornThreadObject thread;
  int32_t role;
  int32_t index;
} Worker;

static VornRuntimeObject *gRelay[3];
static VornRuntimeObject *gSection;
static VornRuntimeObject *gMutex;
static VornRuntimeObject *gDone;
static int32_t gCounter, gContended, gStop, gFinished, gWaiterReady, gHolderMayEnd, gDepth;
static int32_t gTurns[2];
static char gOrder[64];
static int32_t gOrderLength;
static uint8_t gOverflowed;

static VornRuntimeObject *New(VornStringRecord *className) { return RuntimeNewObject(RuntimeLookupClass(className)); }

/* Takes the pending exception and answers whether it is of that class (and its number). */
static uint8_t Caught(VornStringRecord *className, int32_t *number) {
  VornRuntimeObject *exception = vornPendingException;
  if (!exception) return 0;
  vornPendingException = 0;
  uint8_t matches = RuntimeObjectIsa(exception, RuntimeLookupClass(className));
  if (number) *number = ((ExceptionFields *)exception)->errorNumber;
  RuntimeUnlockObject(exception);
  return matches;
}

static void Relay(int32_t index, int32_t rounds) {
  for (int32_t round = 0; round < rounds; ++round) {
    if (index != 0 || round > 0) Semaphore_Signal(gRelay[index]);
    gOrder[gOrderLength++] = (char)('0' + index);
    ++gCounter;
    semaphore_release(gRelay[(index + 1) % 3]);
  }
}

static __attribute__((noinline)) int32_t Recurse(int32_t depth) {
  RuntimeStackCheck();
  if (VORN_FAILED()) return depth;
  char frame[256];
  frame[0] = (char)depth;
  int32_t reached = Recurse(depth + 1);
  __asm__ volatile("" : : "r"(frame) : "memory"); /* a frame of its own for every call */
  return reached;
}

static void Run(VornRuntimeObject *self) {
  Worker *worker = (Worker *)self;
  switch (worker->role) {
    case kRelay:
      Relay(worker->index, 4);
      break;
    case kSectionAdder:
      for (int32_t i = 0; i < 50; ++i) {
        if (!CriticalSection_TryEnter(gSection)) {
          ++gContended;
          criticalsection_enter(gSection);
        }
        int32_t seen = gCounter;
        YieldToNextThread(); /* the other adder runs here and must find the section taken */
        gCounter = seen + 1;
        criticalsection_leave(gSection);
        YieldToNextThread();
      }
      break;
    case kSpinner:
      while (!gStop) {
        ++gTurns[worker->index];
        if (gTurns[0] + gTurns[1] >= 600) gStop = 1;
        YieldToNextThread();
      }
      break;
    case kSleeper:
    case kEarlySleeper:
      ThreadSleep(self, 60000, worker->role == kEarlySleeper);
      semaphore_release(gDone);
      break;
    case kHolder:
      criticalsection_enter(gSection);
      criticalsection_enter(gSection);
      MutexLock(gMutex);
      while (!gHolderMayEnd) YieldToNextThread();
      break; /* ends owning both locks */
    case kLockWaiter:
      gWaiterReady = 1;
      criticalsection_enter(gSection);
      MutexLock(gMutex);
      LogText("waiterGotBoth;");
      MutexUnlock(gMutex);
      criticalsection_leave(gSection);
      break;
    case kRecurser:
      gDepth = Recurse(0);
      gOverflowed = Caught(VORN_STR(kStackOverflow), 0);
      break;
  }
  ++gFinished;
}

static const VornClassMember kWorkerHandlers[] = {{"#Run%%o<Worker>", (void *)Run, 0, 0}};
static const VornClassRecord kWorker = {
    kVornClassRecordVersion, 0, "Worker", "Thread", sizeof(Worker),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kWorkerHandlers, 1, 0, 0};
static VornRuntimeClass *gWorkerClass;

static VornRuntimeObject *Start(int32_t role, int32_t index, int32_t priority) {
  VornRuntimeObject *worker = RuntimeNewObject(gWorkerClass);
  ((Worker *)worker)->role = role;
  ((Worker *)worker)->index = index;
  if (priority) ThreadSetPriority(worker, 0, priority);
  threadRun(worker);
  return worker;
}

static void AwaitFinished(int32_t count) {
  while (gFinished < count) YieldToNextThread();
  gFinished = 0;
}

static void LogResult(const char *name, int32_t value) {
  LogText(name);
  LogText("=");
  LogNumber(value);
  LogText(";");
}

static void RelayAroundThreeThreads(void) {
  for (int32_t i = 0; i < 3; ++i) {
    gRelay[i] = New(VORN_STR(kSemaphoreName));
    Semaphore_Signal(gRelay[i]); /* every participant starts by waiting for its turn */
  }
  VornRuntimeObject *a = Start(kRelay, 1, 0);
  VornRuntimeObject *b = Start(kRelay, 2, 0);
  Relay(0, 4);
  Semaphore_Signal(gRelay[0]); /* the last turn comes back to the main thread */
  AwaitFinished(2);
  gOrder[gOrderLength] = 0;
  LogText("relay=");
  LogText(gOrder);
  LogResult(",counter", gCounter);
  for (int32_t i = 0; i < 3; ++i) RuntimeUnlockObject(gRelay[i]);
  RuntimeUnlockObject(a);
  RuntimeUnlockObject(b);
}

static void SectionBetweenTwoThreads(void) {
  gSection = New(VORN_STR(kSectionName));
  gCounter = 0;
  VornRuntimeObject *a = Start(kSectionAdder, 0, 0);
  VornRuntimeObject *b = Start(kSectionAdder, 1, 0);
  AwaitFinished(2);
  LogResult("section", gCounter);
  LogResult("contended", gContended > 0);
  RuntimeUnlockObject(a);
  RuntimeUnlockObject(b);
  RuntimeUnlockObject(gSection);
}

static void PrioritiesShareTheTurns(void) {
  VornRuntimeObject *high = Start(kSpinner, 0, 10);
  VornRuntimeObject *normal = Start(kSpinner, 1, 0);
  ThreadSetPriority(normal, 0, 0);
  ThreadSetPriority(normal, 0, -3);
  LogResult("priorityKept", ThreadGetPriority(normal, 0));
  AwaitFinished(2);
  LogResult("high", gTurns[0]);
  LogResult("normal", gTurns[1]);
  RuntimeUnlockObject(high);
  RuntimeUnlockObject(normal);
}

static void SleepResumeAndEarlyWake(void) {
  gDone = New(VORN_STR(kSemaphoreName));
  Semaphore_Signal(gDone);
  VornRuntimeObject *sleeper = Start(kSleeper, 0, 0);
  LogResult("sleeping", ThreadGetState(sleeper, 0));
  ThreadResume(sleeper);
  Semaphore_Signal(gDone); /* only the resumed sleeper can release it within the minute */
  LogText("resumed;");
  VornRuntimeObject *early = Start(kEarlySleeper, 0, 0);
  Semaphore_Signal(gDone); /* nobody else can run: the early sleeper is woken */
  LogText("wokeEarly;");
  AwaitFinished(2);
  LogResult("ended", ThreadGetState(sleeper, 0));
  RuntimeUnlockObject(sleeper);
  RuntimeUnlockObject(early);
  RuntimeUnlockObject(gDone);
}

static void SuspendAndResume(void) {
  gStop = 0;
  gTurns[0] = gTurns[1] = 0;
  VornRuntimeObject *spinner = Start(kSpinner, 0, 0);
  ThreadResume(spinner); /* never suspended: no effect */
  ThreadSuspend(spinner);
  int32_t before = gTurns[0];
  for (int32_t i = 0; i < 20; ++i) YieldToNextThread();
  LogResult("suspendedTurns", gTurns[0] - before);
  LogResult("suspendedState", ThreadGetState(spinner, 0));
  ThreadResume(spinner);
  for (int32_t i = 0; i < 20; ++i) YieldToNextThread();
  LogResult("resumedRuns", gTurns[0] > before);
  gStop = 1;
  AwaitFinished(1);
  RuntimeUnlockObject(spinner);
}

static void AThreadEndsHoldingLocks(void) {
  gSection = New(VORN_STR(kSectionName));
  gMutex = New(VORN_STR(kMutexName));
  MutexContructor(gMutex, VORN_STR(kEmpty));
  VornRuntimeObject *holder = Start(kHolder, 0, 0);
  VornRuntimeObject *waiter = Start(kLockWaiter, 0, 0);
  while (!gWaiterReady) YieldToNextThread();
  YieldToNextThread();
  LogResult("waiterState", ThreadGetState(waiter, 0));
  gHolderMayEnd = 1;
  AwaitFinished(2);
  RuntimeUnlockObject(holder);
  RuntimeUnlockObject(waiter);
  RuntimeUnlockObject(gSection);
  RuntimeUnlockObject(gMutex);
}

static void DeepRecursion(void) {
  VornRuntimeObject *thread = Start(kRecurser, 0, 0);
  AwaitFinished(1);
  LogResult("threadOverflow", gOverflowed);
  LogResult("deep", gDepth > 1000);
  RuntimeUnlockObject(thread);
  gDepth = Recurse(0);
  LogResult("mainOverflow", Caught(VORN_STR(kStackOverflow), 0));
}

static void BadInput(void) {
  int32_t number = -1;
  VornRuntimeObject *thread = Start(kSleeper, 0, 0); /* asleep for a minute */
  VornRuntimeObject *fresh = RuntimeNewObject(gWorkerClass);
  LogResult("freshState", ThreadGetState(fresh, 0));
  RuntimeUnlockObject(fresh);
  threadRun(thread);
  LogResult("runTwice", Caught(VORN_STR(kAlreadyRunning), 0));
  ThreadSetStackSize(thread, 0, 1 << 20);
  LogResult("stackWhileRunning", Caught(VORN_STR(kAlreadyRunning), 0));
  gDone = New(VORN_STR(kSemaphoreName));
  Semaphore_Signal(gDone);
  ThreadResume(thread);
  Semaphore_Signal(gDone);
  AwaitFinished(1);
  ThreadSetStackSize(thread, 0, 0);
  LogResult("stackZero", ThreadGetStackSize(thread, 0) > 0);
  ThreadSetStackSize(thread, 0, 0x7fffffff);
  LogResult("stackHuge", ThreadGetStackSize(thread, 0) < 0x7fffffff);
  RuntimeUnlockObject(thread);
  RuntimeUnlockObject(gDone);

  VornRuntimeObject *semaphore = New(VORN_STR(kSemaphoreName));
  Semaphore_Constructor(semaphore, 0);
  LogResult("semaphoreZero", Caught(VORN_STR(kIllegalLocking), &number) ? number : -1);
  semaphore_release(semaphore);
  LogResult("releaseTooMany", Caught(VORN_STR(kIllegalLocking), &number) ? number : -1);
  Semaphore_Signal(semaphore);
  LogResult("trySignalAtZero", Semaphore_TrySignal(semaphore));
  RuntimeUnlockObject(semaphore);

  VornRuntimeObject *section = New(VORN_STR(kSectionName));
  criticalsection_leave(section);
  LogResult("sectionNotHeld", Caught(VORN_STR(kIllegalLocking), &number) ? number : -1);
  VornRuntimeObject *mutex = New(VORN_STR(kMutexName));
  MutexContructor(mutex, VORN_STR(kEmpty));
  MutexLock(mutex);
  MutexTryLock(mutex);
  MutexLock(mutex);
  MutexUnlock(mutex);
  MutexUnlock(mutex);
  MutexUnlock(mutex);
  MutexUnlock(mutex);
  LogResult("mutexNotHeld", Caught(VORN_STR(kIllegalLocking), &number) ? number : -1);
  RuntimeUnlockObject(section);
  RuntimeUnlockObject(mutex);
}

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  gWorkerClass = RuntimeNewClass(&kWorker);
  RelayAroundThreeThreads();
  SectionBetweenTwoThreads();
  PrioritiesShareTheTurns();
  SleepResumeAndEarlyWake();
  SuspendAndResume();
  AThreadEndsHoldingLocks();
  DeepRecursion();
  BadInput();
  LogText("End;");
  RuntimeExit();
}
