#include "objects/runtime_object.h"

#include <cstring>
#include <deque>
#include <vector>

#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "strings/memory.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

using ProcFunction = void (*)(RuntimeObject*);

struct LiveIndex {
  std::vector<RuntimeObject*> objects;
  uint32_t nextId = 1;
};

LiveIndex& Live() {
  static LiveIndex index;
  return index;
}

void AddLive(RuntimeObject* object) {
  LiveIndex& live = Live();
  object->objectId = live.nextId++;
  object->liveIndex = live.objects.size();
  live.objects.push_back(object);
}

// Swap-remove keeps removal O(1); the index order is the runtime's object order.
void RemoveLive(RuntimeObject* object) {
  LiveIndex& live = Live();
  size_t slot = object->liveIndex;
  if (slot >= live.objects.size() || live.objects[slot] != object) return;
  RuntimeObject* last = live.objects.back();
  live.objects[slot] = last;
  last->liveIndex = slot;
  live.objects.pop_back();
}

ObjectCallback sDisposedHook = nullptr;
bool sDestroying = false;

std::deque<RuntimeObject*>& DestructionQueue() {
  static std::deque<RuntimeObject*> queue;
  return queue;
}

void DestroyNow(RuntimeObject* object) {
  RuntimeClass* cls = object->classPtr;
  if (sDisposedHook) sDisposedHook(object);
  for (const ProcEntry& destructor : cls->mDestructors) {
    ExceptionBoundary boundary;
    reinterpret_cast<ProcFunction>(destructor.function)(object);
  }
  if (object->eventTable && object->eventTable != cls->mEvents.data()) FreeMemory(object->eventTable);
  RemoveLive(object);
  FreeMemory(object);
}

// A destruction started while another runs waits in the queue, so destructors never nest.
void Destroy(RuntimeObject* object) {
  if (sDestroying) {
    DestructionQueue().push_back(object);
    return;
  }
  sDestroying = true;
  DestroyNow(object);
  auto& queue = DestructionQueue();
  while (!queue.empty()) {
    RuntimeObject* next = queue.front();
    queue.pop_front();
    DestroyNow(next);
  }
  sDestroying = false;
}

}  // namespace

RuntimeObject* CreateInstanceFromDefinition(ObjectDefinition* definition) {
  if (!definition) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "../Common/Object Model/RuntimeObject",
                       __LINE__, "defn", "");
    return nullptr;
  }
  return RuntimeNewObject(RuntimeClassFromDefinition(definition));
}

RuntimeClass* RuntimeObjectGetClass(RuntimeObject* object) { return ClassOf(object); }

bool RuntimeObjectIsaDefinition(RuntimeObject* object, ObjectDefinition* definition) {
  if (!object || !definition) return false;
  // Every read of a field checks its object and cursor: the classes are matched by their
  // definitions first, which asks for no class to be made; interfaces take the general path.
  for (const RuntimeClass* cls = object->classPtr; cls; cls = cls->mSuper) {
    if (cls->mDefinition == definition) return true;
  }
  return ClassIsa(object->classPtr, RuntimeClassFromDefinition(definition));
}

bool ObjectIsaDefinition(RuntimeObject* object, ObjectDefinition* definition) {
  return RuntimeObjectIsaDefinition(object, definition);
}

void* LookupInterfaceMethod(RuntimeObject* object, ObjectDefinition* iface, const string& methodName) {
  return iface ? LookupInterfaceMethod(object, RuntimeClassFromDefinition(iface), methodName) : nullptr;
}

void* LookupInterfaceMethod(RuntimeObject* object, RuntimeClass* ifaceClass, const string& methodName) {
  if (!object || !ifaceClass) return nullptr;
  InterfaceEntry* entry = FindInterfaceEntry(object->classPtr, ifaceClass);
  if (!entry) return nullptr;
  int32_t slot = FindMethodSlot(ifaceClass, methodName.View());
  if (slot < 0 || static_cast<size_t>(slot) >= entry->vtable.size()) return nullptr;
  return entry->vtable[static_cast<size_t>(slot)];
}

EventEntry* MakePrivateEventTable(RuntimeObject* object) {
  if (!object) return nullptr;
  RuntimeClass* cls = object->classPtr;
  if (cls->mEvents.empty()) return nullptr;
  if (object->eventTable != cls->mEvents.data()) return object->eventTable;
  size_t bytes = cls->mEvents.size() * sizeof(EventEntry);
  auto* table = static_cast<EventEntry*>(AllocMemory(bytes));
  std::memcpy(table, cls->mEvents.data(), bytes);
  object->eventTable = table;
  return table;
}

int32_t LiveObjectCount() { return static_cast<int32_t>(Live().objects.size()); }

RuntimeObject* LiveObjectAt(int32_t index) {
  const auto& objects = Live().objects;
  if (index < 0 || static_cast<size_t>(index) >= objects.size()) return nullptr;
  return objects[static_cast<size_t>(index)];
}

ObjectCallback SetObjectDisposedHook(ObjectCallback hook) {
  ObjectCallback previous = sDisposedHook;
  sDisposedHook = hook;
  return previous;
}

}  // namespace vorn

using vorn::RuntimeObject;

extern "C" {

VornRuntimeObject* RuntimeNewObject(VornRuntimeClass* cls) {
  using namespace vorn;
  if (!cls) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  if (cls->mIsInterface) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "../Common/Object Model/RuntimeObject",
                       __LINE__, "!cls->isInterface", std::string(cls->mName.View()).c_str());
    RuntimeRaiseExceptionDefinition(GetIllegalCastExceptionClassDefinition());
    return nullptr;
  }
  auto* object = static_cast<RuntimeObject*>(
      AllocClearedMemory(static_cast<size_t>(cls->mInstanceSize), OnFailure::ReturnNull));
  if (!object) {
    RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
    return nullptr;
  }
  object->methodTable = cls->mMethodTable.data();
  object->classPtr = cls;
  object->eventTable = cls->mEvents.data();
  object->refCount = 1;
  AddLive(object);
  // A constructor that raises ends the chain; the caller sees the exception and releases the object.
  RuntimeObject* pendingBefore = PendingException();
  for (const ProcEntry& constructor : cls->mConstructors) {
    reinterpret_cast<void (*)(RuntimeObject*)>(constructor.function)(object);
    if (PendingException() != pendingBefore) break;
  }
  return object;
}

// A count of 0 means the destruction has begun: the object can no longer be revived.
void RuntimeLockObject(VornRuntimeObject* object) { vorn::RetainObject(object); }

void RuntimeUnlockObject(VornRuntimeObject* object) {
  if (!object || object->refCount <= 0) return;
  if (--object->refCount == 0) vorn::Destroy(object);
}

void* GetInterfaceRoutine(VornRuntimeObject* object, const char* interfaceName, const char* methodName) {
  if (!interfaceName || !methodName) return nullptr;
  vorn::RuntimeClass* iface = vorn::LookupClassByName(vorn::string(interfaceName));
  if (!iface || !iface->mIsInterface) return nullptr;
  return vorn::LookupInterfaceMethod(object, iface, vorn::string(methodName));
}

VornRuntimeObject* CreateInstance(vorn::ObjectDefinition* definition) {
  return vorn::CreateInstanceFromDefinition(definition);
}

void RuntimeLockUnlockObjects(VornRuntimeObject* newObject, VornRuntimeObject* oldObject) {
  RuntimeLockObject(newObject);
  RuntimeUnlockObject(oldObject);
}

uint8_t RuntimeObjectIsa(VornRuntimeObject* object, VornRuntimeClass* cls) {
  return object && vorn::ClassIsa(object->classPtr, cls) ? 1 : 0;
}

VornRuntimeObject* RuntimeCheckCast(VornRuntimeObject* object, VornRuntimeClass* cls) {
  if (!object) return nullptr;
  if (!vorn::ClassIsa(object->classPtr, cls)) {
    RuntimeRaiseExceptionDefinition(vorn::GetIllegalCastExceptionClassDefinition());
    return nullptr;
  }
  RuntimeLockObject(object);
  return object;
}

void** RuntimeLookupInterfaceVtable(VornRuntimeObject* object, VornRuntimeClass* iface) {
  if (!object) return nullptr;
  vorn::InterfaceEntry* entry = vorn::FindInterfaceEntry(object->classPtr, iface);
  return entry ? entry->vtable.data() : nullptr;
}

}  // extern "C"
