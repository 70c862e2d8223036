// Language objects: creation, reference counts, destruction, class tests and the live-object
// index. Reference counts are plain integers: only the holder of the runtime's global lock
// runs runtime or compiled code.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/object_abi.h"

namespace vorn {

inline RuntimeClass* ClassOf(const RuntimeObject* object) {
  return object ? object->classPtr : nullptr;
}

// RuntimeLockObject and RuntimeUnlockObject inlined for paths that take several references an
// operation (a dictionary, per key); a release that may destroy goes the long way.
inline void RetainObject(RuntimeObject* object) {
  if (object && object->refCount > 0) ++object->refCount;
}
inline void ReleaseObject(RuntimeObject* object) {
  if (object && object->refCount > 1) {
    --object->refCount;
    return;
  }
  RuntimeUnlockObject(object);
}

// A new object of the class built from the definition: fields zero, initializers run base
// first, count 1. A nil definition is reported as the failed assertion "defn"; nil when the
// object cannot be made (an OutOfMemoryException is then pending).
RuntimeObject* CreateInstanceFromDefinition(ObjectDefinition* definition);

RuntimeClass* RuntimeObjectGetClass(RuntimeObject* object);
// Instance of the class built from the definition, of a subclass, or (for an interface
// definition) of a class implementing it; false for nil.
bool RuntimeObjectIsaDefinition(RuntimeObject* object, ObjectDefinition* definition);
// Whether the object implements the interface given by its definition (any class test works).
bool ObjectIsaDefinition(RuntimeObject* object, ObjectDefinition* definition);

// The function implementing the named method of the interface for the object's class, letter
// case ignored; nil for a nil object, a class not implementing it, or no such method.
void* LookupInterfaceMethod(RuntimeObject* object, ObjectDefinition* iface, const string& methodName);
void* LookupInterfaceMethod(RuntimeObject* object, RuntimeClass* ifaceClass, const string& methodName);

// The object's own copy of its class's event table, made on first use (per-instance
// handlers); freed with the object. Nil for a nil object or a class without events.
EventEntry* MakePrivateEventTable(RuntimeObject* object);

// Live objects, in the order of the runtime's object index.
int32_t LiveObjectCount();
RuntimeObject* LiveObjectAt(int32_t index);  // nil outside 0..count-1

using ObjectCallback = void (*)(RuntimeObject* object);
// Called with every object about to be destroyed; answers the previous hook.
ObjectCallback SetObjectDisposedHook(ObjectCallback hook);

}  // namespace vorn

extern "C" {
// For plug-ins: the function implementing a method of an interface (both named, letter case
// ignored) for the object's class; nil for a nil object or name, a name that is no interface,
// a class not implementing it, or no such method.
void* GetInterfaceRoutine(VornRuntimeObject* object, const char* interfaceName, const char* methodName);
// For plug-ins: CreateInstanceFromDefinition.
VornRuntimeObject* CreateInstance(vorn::ObjectDefinition* definition);
}
