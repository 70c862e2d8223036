// Semaphore and CriticalSection. Only one thread runs at a time, so neither needs a lock of
// the operating system: a thread that must wait joins the object's waiter list and yields,
// and the thread that frees the object wakes the oldest waiter.
#include "core/sync_objects.h"

#include <algorithm>
#include <vector>

#include "base/core_assert.h"
#include "core/thread_class.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

constexpr const char* kThreadSource = "../Common/ClassLib/RuntimeThread";

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

using SemaphoreObject = VornSemaphoreObject;

void RaiseLockingError(const char* message, int32_t number) {
  RuntimeRaiseExceptionWithMessage(GetIllegalLockingExceptionClassDefinition(), string(message), number);
}

std::vector<CriticalSectionObject*>& LiveSections() {
  static auto* sections = new std::vector<CriticalSectionObject*>();
  return *sections;
}

// Hands a free section to its oldest waiter, so no thread can slip in between the wake-up and
// the waiter's next turn.
void HandToFirstWaiter(CriticalSectionObject* section) {
  if (ThreadRecord* next = WakeFirstWaiter(WaitersOf(section->waiters))) {
    section->owner = next;
    section->lockCount = 1;
  }
}

void GiveBackLocksOf(ThreadRecord* record) {
  auto& sections = LiveSections();
  for (size_t i = 0; i < sections.size(); ++i) {
    CriticalSectionObject* section = sections[i];
    if (section->owner != record) continue;
    section->owner = nullptr;
    section->lockCount = 0;
    auto* object = reinterpret_cast<RuntimeObject*>(section);
    if (IsMutex(object)) {
      // The waiter takes the file lock itself when it runs.
      ReleaseMutexFileLock(reinterpret_cast<MutexObject*>(section));
      WakeFirstWaiter(WaitersOf(section->waiters));
    } else {
      HandToFirstWaiter(section);
    }
  }
}

const ParamRow kCountParam[] = {{"initialCount", "i4", kParamHasDefault, 1}};

const MethodRow kSemaphoreMethods[] = {
    {"Constructor", "", kCountParam, 1, Fn(&Semaphore_Constructor), "Semaphore_Constructor", nullptr, nullptr, 0, 0},
    {"Signal", "", nullptr, 0, Fn(&Semaphore_Signal), "Semaphore_Signal", nullptr, nullptr, 0, 0},
    {"TrySignal", "b", nullptr, 0, Fn(&Semaphore_TrySignal), "Semaphore_TrySignal", nullptr, nullptr, 0, 0},
    {"Release", "", nullptr, 0, Fn(&semaphore_release), "semaphore_release", nullptr, nullptr, 0, 0},
};

const MethodRow kSectionMethods[] = {
    {"Enter", "", nullptr, 0, Fn(&criticalsection_enter), "criticalsection_enter", nullptr, nullptr, 0, 0},
    {"TryEnter", "b", nullptr, 0, Fn(&CriticalSection_TryEnter), "CriticalSection_TryEnter", nullptr, nullptr, 0, 0},
    {"Leave", "", nullptr, 0, Fn(&criticalsection_leave), "criticalsection_leave", nullptr, nullptr, 0, 0},
};

ObjectDefinition* BuildDefinition(const char* name, int32_t size, ProcEntry initializer, ProcEntry finalizer,
                                  const MethodRow* methods, int32_t methodCount) {
  auto* definition = new ObjectDefinition();
  definition->mName = string(name);
  definition->mInstanceSize = size;
  definition->mInitializer = initializer;
  definition->mFinalizer = finalizer;
  SetMethodList(definition, methods, methodCount);
  return definition;
}

SemaphoreObject* SemaphoreFields(RuntimeObject* object) {
  if (!object) {
    ReportCoreAssertion(kThreadSource, 0, "semaphore");
    return nullptr;
  }
  return reinterpret_cast<SemaphoreObject*>(object);
}

CriticalSectionObject* SectionFields(RuntimeObject* object) {
  if (!object) {
    ReportCoreAssertion(kThreadSource, 0, "section");
    return nullptr;
  }
  return reinterpret_cast<CriticalSectionObject*>(object);
}

}  // namespace

WaiterList* WaitersOf(void* field) { return static_cast<WaiterList*>(field); }

void WaitOn(RuntimeObject* lock, WaiterList* waiters) {
  RuntimeLockObject(lock);
  waiters->Append(CurrentThreadRecord());
  WaitUntilWoken();
  RuntimeUnlockObject(lock);
}

ThreadRecord* WakeFirstWaiter(WaiterList* waiters) {
  if (waiters == nullptr || waiters->IsEmpty()) return nullptr;
  ThreadRecord* first = (*waiters)[0];
  waiters->RemoveAt(0);
  WakeWaitingThread(first);
  return first;
}

void ListSection(CriticalSectionObject* section) { LiveSections().push_back(section); }

void UnlistSection(CriticalSectionObject* section) {
  auto& sections = LiveSections();
  sections.erase(std::remove(sections.begin(), sections.end(), section), sections.end());
}

ObjectDefinition* GetSemaphoreClassDefinition() {
  static ObjectDefinition* definition =
      BuildDefinition("Semaphore", sizeof(SemaphoreObject), {Fn(&SemaphoreInitializer), "SemaphoreInitializer"},
                      {Fn(&SemaphoreFinalizer), "SemaphoreFinalizer"}, kSemaphoreMethods, RowCount(kSemaphoreMethods));
  return definition;
}

ObjectDefinition* GetCriticalSectionClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition(
      "CriticalSection", sizeof(CriticalSectionObject), {Fn(&CriticalSectionInitializer), "CriticalSectionInitializer"},
      {Fn(&CriticalSectionFinalizer), "CriticalSectionFinalizer"}, kSectionMethods, RowCount(kSectionMethods));
  return definition;
}

void RegisterThreadClasses() {
  RegisterIntrinsicClass("Thread", &GetThreadClassDefinition);
  RegisterIntrinsicClass("Semaphore", &GetSemaphoreClassDefinition);
  RegisterIntrinsicClass("CriticalSection", &GetCriticalSectionClassDefinition);
  RegisterIntrinsicClass("Mutex", &GetMutexClassDefinition);
  SetThreadEndHook(&GiveBackLocksOf);
}

}  // namespace vorn

using namespace vorn;

// --- Semaphore ---------------------------------------------------------------------------

void SemaphoreInitializer(VornRuntimeObject* object) {
  SemaphoreObject* semaphore = SemaphoreFields(object);
  if (!semaphore) return;
  semaphore->maximum = 1;
  semaphore->count = 1;
  semaphore->waiters = new WaiterList(0);
}

void SemaphoreFinalizer(VornRuntimeObject* object) {
  SemaphoreObject* semaphore = SemaphoreFields(object);
  if (!semaphore) return;
  delete WaitersOf(semaphore->waiters);
  semaphore->waiters = nullptr;
}

void Semaphore_Constructor(VornRuntimeObject* object, int32_t initialCount) {
  SemaphoreObject* semaphore = SemaphoreFields(object);
  if (!semaphore) return;
  if (initialCount < 1) {
    RaiseLockingError("Illegal initialCount for the Semaphore.", 1);
    return;
  }
  semaphore->maximum = initialCount;
  semaphore->count = initialCount;
}

void Semaphore_Signal(VornRuntimeObject* object) {
  SemaphoreObject* semaphore = SemaphoreFields(object);
  if (!semaphore) return;
  if (--semaphore->count >= 0) return;
  WaitOn(object, WaitersOf(semaphore->waiters));
}

uint8_t Semaphore_TrySignal(VornRuntimeObject* object) {
  SemaphoreObject* semaphore = SemaphoreFields(object);
  if (!semaphore || semaphore->count - 1 < 0) return 0;
  --semaphore->count;
  return 1;
}

void semaphore_release(VornRuntimeObject* object) {
  SemaphoreObject* semaphore = SemaphoreFields(object);
  if (!semaphore) return;
  if (++semaphore->count > semaphore->maximum) {
    semaphore->count = semaphore->maximum;
    RaiseLockingError("Called Semaphore.Release too many times.", 0);
    return;
  }
  if (WakeFirstWaiter(WaitersOf(semaphore->waiters))) YieldToNextThreadInternal();
}

// --- CriticalSection -----------------------------------------------------------------------

void CriticalSectionInitializer(VornRuntimeObject* object) {
  CriticalSectionObject* section = SectionFields(object);
  if (!section) return;
  section->lockCount = 0;
  section->owner = nullptr;
  section->waiters = new WaiterList(0);
  ListSection(section);
}

void CriticalSectionFinalizer(VornRuntimeObject* object) {
  CriticalSectionObject* section = SectionFields(object);
  if (!section) return;
  UnlistSection(section);
  section->owner = nullptr;
  delete WaitersOf(section->waiters);
  section->waiters = nullptr;
}

void criticalsection_enter(VornRuntimeObject* object) {
  CriticalSectionObject* section = SectionFields(object);
  if (!section) return;
  ThreadRecord* self = CurrentThreadRecord();
  if (section->lockCount > 0 && section->owner != self) {
    // The holder hands the section over before it wakes this thread.
    WaitOn(object, WaitersOf(section->waiters));
    if (section->owner == self) return;
  }
  section->owner = self;
  ++section->lockCount;
}

uint8_t CriticalSection_TryEnter(VornRuntimeObject* object) {
  CriticalSectionObject* section = SectionFields(object);
  if (!section) return 0;
  ThreadRecord* self = CurrentThreadRecord();
  if (section->lockCount > 0 && section->owner != self) return 0;
  section->owner = self;
  ++section->lockCount;
  return 1;
}

void criticalsection_leave(VornRuntimeObject* object) {
  CriticalSectionObject* section = SectionFields(object);
  if (!section) return;
  if (section->owner != CurrentThreadRecord() || section->lockCount <= 0) {
    RaiseLockingError(
        "The thread which Entered the CriticalSection must be the thread to Leave the CriticalSection", 2);
    return;
  }
  if (--section->lockCount > 0) return;
  section->owner = nullptr;
  HandToFirstWaiter(section);
  if (section->owner) YieldToNextThreadInternal();
}
