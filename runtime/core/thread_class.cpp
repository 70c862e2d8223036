// The language's Thread class over the cooperative scheduler.
#include "core/thread_class.h"

#include <cstddef>
#include <vector>

#include "base/core_assert.h"
#include "base/reloc_entry.h"
#include "core/run_loop.h"
#include "core/thread_scheduler.h"
#include "objects/event_dispatch.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

constexpr const char* kThreadSource = "../Common/ClassLib/RuntimeThread";

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

EventRow sThreadEvents[] = {{0, "Run", "", "", nullptr, 0}};

const PropertyRow kThreadProperties[] = {
    {0, "StackSize", "i4", Fn(&ThreadGetStackSize), "ThreadGetStackSize", Fn(&ThreadSetStackSize),
     "ThreadSetStackSize", 0, 0},
    {0, "Priority", "i4", Fn(&ThreadGetPriority), "ThreadGetPriority", Fn(&ThreadSetPriority),
     "ThreadSetPriority", 0, 0},
    {0, "ThreadID", "i4", Fn(&ThreadGetID), "ThreadGetID", nullptr, nullptr, 0, 0},
    {0, "State", "i4", Fn(&ThreadGetState), "ThreadGetState", nullptr, nullptr, 0, 0},
};

const ParamRow kSleepParams[] = {{"milliseconds", "i4", 0, 0}, {"wakeEarly", "b", kParamHasDefault, 0}};

const MethodRow kThreadMethods[] = {
    {"Run", "", nullptr, 0, Fn(&threadRun), "threadRun", nullptr, nullptr, 0, 0},
    {"Suspend", "", nullptr, 0, Fn(&ThreadSuspend), "ThreadSuspend", nullptr, nullptr, 0, 0},
    {"Resume", "", nullptr, 0, Fn(&ThreadResume), "ThreadResume", nullptr, nullptr, 0, 0},
    {"Sleep", "", kSleepParams, 2, Fn(&ThreadSleep), "ThreadSleep", nullptr, nullptr, 0, 0},
};

int32_t DebuggerThreadCount() { return ThreadsWithObjectCount(); }

RuntimeObject* DebuggerThreadLookup(void*, int32_t index) {
  ThreadRecord* record = NthThreadWithObject(index);
  if (!record) return nullptr;
  RuntimeLockObject(record->mThreadObject);
  return record->mThreadObject;
}

ObjectDefinition* BuildThreadDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Thread");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(ThreadObject));
  definition->mInitializer = {Fn(&ThreadInitializer), "ThreadInitializer"};
  definition->SetInstanceVariables(BuildPropertyList(kThreadProperties, RowCount(kThreadProperties)));
  SetEventList(definition, sThreadEvents, RowCount(sThreadEvents));
  SetMethodList(definition, kThreadMethods, RowCount(kThreadMethods));
  AddRelocEntry("DebuggerThreadCount", Fn(&DebuggerThreadCount));
  AddRelocEntry("DebuggerThreadLookup", Fn(&DebuggerThreadLookup));
  return definition;
}

ThreadObject* Fields(RuntimeObject* thread) {
  if (thread == nullptr) {
    ReportCoreAssertion(kThreadSource, 0, "thread");
    return nullptr;
  }
  return reinterpret_cast<ThreadObject*>(thread);
}

ThreadRecord* RecordOf(ThreadObject* thread) {
  return thread ? static_cast<ThreadRecord*>(thread->threadRecord) : nullptr;
}

size_t CheckedStackBytes(const ThreadObject* thread) {
  return thread->stackSize > 0 ? static_cast<size_t>(thread->stackSize) : kDefaultThreadCheckedStack;
}

// Exceptions that a thread's Run left unhandled. Only the main thread may show the report (a
// dialog), so it takes them up at its next turn of the run loop.
std::vector<RuntimeObject*>& Unreported() {
  static auto* list = new std::vector<RuntimeObject*>();
  return *list;
}
bool sReportHookInstalled = false;

bool ReportThreadExceptions(void*) {
  auto& list = Unreported();
  while (!list.empty()) {
    RuntimeObject* exception = list.front();
    list.erase(list.begin());
    RuntimeUnhandledException(exception);
    RuntimeUnlockObject(exception);
  }
  RemoveRunLoopHook(RunLoopStage::kAfterEvents, &ReportThreadExceptions, nullptr);
  sReportHookInstalled = false;
  return false;
}

void ReportOnTheMainThread(RuntimeObject* exception) {
  Unreported().push_back(exception);
  if (sReportHookInstalled) return;
  sReportHookInstalled = true;
  AddRunLoopHook(RunLoopStage::kAfterEvents, &ReportThreadExceptions, nullptr);
}

// On the new thread, with the runtime: the Run event, then the object lets go of the record.
// The object is released while the thread still has its slots, since a destructor it runs may
// yield.
void RunThreadBody(ThreadRecord* record) {
  RuntimeObject* object = record->mThreadObject;
  if (void* handler = RuntimeGetHookHandler(object, sThreadEvents[0].hook)) {
    reinterpret_cast<void (*)(RuntimeObject*)>(handler)(object);
    if (RuntimeObject* exception = TakePendingException()) ReportOnTheMainThread(exception);
  }
  reinterpret_cast<ThreadObject*>(object)->threadRecord = nullptr;
  record->mThreadObject = nullptr;
  RuntimeUnlockObject(object);
}

}  // namespace

ObjectDefinition* GetThreadClassDefinition() {
  static ObjectDefinition* definition = BuildThreadDefinition();
  return definition;
}

}  // namespace vorn

using namespace vorn;

void ThreadInitializer(VornRuntimeObject* thread) {
  if (ThreadObject* fields = Fields(thread)) fields->priority = kVornThreadNormalPriority;
}

void threadRun(VornRuntimeObject* thread) {
  ThreadObject* fields = Fields(thread);
  if (!fields) return;
  if (fields->threadRecord) {
    RuntimeRaiseExceptionWithMessage(GetThreadAlreadyRunningExceptionClassDefinition(),
                                     string("You cannot call Run on a thread that is already running."), 0);
    return;
  }
  ThreadRecord* record = NewThreadRecord(thread, fields->priority > 0 ? fields->priority : kVornThreadNormalPriority);
  fields->threadRecord = record;
  RuntimeLockObject(thread);
  if (!StartThread(record, CheckedStackBytes(fields), &RunThreadBody)) {
    fields->threadRecord = nullptr;
    RuntimeUnlockObject(thread);
    return;
  }
  YieldToNextThreadInternal();
}

void ThreadSuspend(VornRuntimeObject* thread) { SuspendThread(RecordOf(Fields(thread))); }

void ThreadResume(VornRuntimeObject* thread) { ResumeThread(RecordOf(Fields(thread))); }

void ThreadSleep(VornRuntimeObject* thread, int32_t milliseconds, uint8_t wakeEarly) {
  SleepThread(RecordOf(Fields(thread)), milliseconds, wakeEarly != 0);
}

int32_t ThreadGetStackSize(VornRuntimeObject* thread, int32_t) {
  ThreadObject* fields = Fields(thread);
  return fields ? static_cast<int32_t>(CheckedStackBytes(fields)) : 0;
}

void ThreadSetStackSize(VornRuntimeObject* thread, int32_t, int32_t size) {
  ThreadObject* fields = Fields(thread);
  if (!fields) return;
  if (fields->threadRecord) {
    RuntimeRaiseExceptionDefinition(GetThreadAlreadyRunningExceptionClassDefinition());
    return;
  }
  if (size <= 0) {
    fields->stackSize = static_cast<int32_t>(kDefaultThreadCheckedStack);
  } else {
    fields->stackSize = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(size), kMaximumThreadCheckedStack));
  }
}

intptr_t ThreadGetID(VornRuntimeObject* thread, int32_t) {
  return reinterpret_cast<intptr_t>(RecordOf(Fields(thread)));
}

int32_t ThreadGetPriority(VornRuntimeObject* thread, int32_t) {
  ThreadObject* fields = Fields(thread);
  return fields ? fields->priority : 0;
}

void ThreadSetPriority(VornRuntimeObject* thread, int32_t, int32_t priority) {
  ThreadObject* fields = Fields(thread);
  if (!fields || priority <= 0) return;
  fields->priority = priority;
  if (ThreadRecord* record = RecordOf(fields)) SetThreadSlots(record, priority);
}

int32_t ThreadGetState(VornRuntimeObject* thread, int32_t) {
  ThreadRecord* record = RecordOf(Fields(thread));
  if (!record) return kVornThreadNotRunning;
  uint32_t flags = record->mStateFlags;
  if (flags == 0) return kVornThreadRunning;
  if (flags & kThreadWaitingFlag) return kVornThreadWaiting;
  if (flags & kThreadSuspendedFlag) return kVornThreadSuspended;
  if (flags & kThreadSleepingFlag) return kVornThreadSleeping;
  if (flags & kThreadDeadFlag) return kVornThreadNotRunning;
  ReportCoreAssertion(kThreadSource, 1880, "false");
  return kVornThreadRunning;
}

VornRuntimeObject* VORNGetCurrentThread() {
  RuntimeObject* object = CurrentThreadRecord()->mThreadObject;
  if (object) RuntimeLockObject(object);
  return object;
}

void AppSleepCurrentThread(VornRuntimeObject*, int32_t milliseconds) {
  SleepThread(CurrentThreadRecord(), milliseconds, false);
}
