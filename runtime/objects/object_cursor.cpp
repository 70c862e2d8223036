#include "objects/object_cursor.h"

#include <iterator>
#include <vector>

#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

struct ObjectCursorObject {
  RuntimeObject header;
  std::vector<RuntimeObject*>* objects;  // held
  int32_t next;
};

ObjectCursorObject* CursorOf(RuntimeObject* self) {
  if (!self) RuntimeRaiseNilObjectException();
  return reinterpret_cast<ObjectCursorObject*>(self);
}

int32_t CountOf(const ObjectCursorObject* cursor) {
  return cursor->objects ? static_cast<int32_t>(cursor->objects->size()) : 0;
}

const PropertyRow kProperties[] = {
    {0, "Count", "i4", Fn(&objectCursorCountGetter), "objectCursorCountGetter", nullptr, nullptr, 0, 0},
};
const ParamRow kIndex[] = {{"index", "i4", 0, 0}};
const MethodRow kMethods[] = {
    {"NextObject", "o<Object>", nullptr, 0, Fn(&objectCursorNextObject), "objectCursorNextObject", nullptr, nullptr, 0, 0},
    {"Item", "o<Object>", kIndex, 1, Fn(&objectCursorGetItem), "objectCursorGetItem", nullptr, nullptr, 0, 0},
};

}  // namespace

ObjectDefinition* GetObjectCursorClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("ObjectCursor");
    definition.mInstanceSize = sizeof(ObjectCursorObject);
    definition.mInitializer = {Fn(&objectCursorConstructor), "objectCursorConstructor"};
    definition.mFinalizer = {Fn(&objectCursorDestructor), "objectCursorDestructor"};
    definition.SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
    SetMethodList(&definition, kMethods, static_cast<int32_t>(std::size(kMethods)));
  }
  return &definition;
}

void RegisterObjectCursorClass() {
  RegisterIntrinsicClass("ObjectCursor", &GetObjectCursorClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

// Objects whose destruction has begun (count 0) cannot be held and are left out.
void objectCursorConstructor(VornRuntimeObject* self) {
  auto* cursor = reinterpret_cast<ObjectCursorObject*>(self);
  auto* objects = new std::vector<RuntimeObject*>();
  for (int32_t i = 0; i < LiveObjectCount(); ++i) {
    RuntimeObject* object = LiveObjectAt(i);
    if (object == self || object->refCount <= 0) continue;
    RuntimeLockObject(object);
    objects->push_back(object);
  }
  cursor->objects = objects;
  cursor->next = 0;
}

void objectCursorDestructor(VornRuntimeObject* self) {
  auto* cursor = reinterpret_cast<ObjectCursorObject*>(self);
  std::vector<RuntimeObject*>* objects = cursor->objects;
  cursor->objects = nullptr;
  if (!objects) return;
  for (RuntimeObject* object : *objects) RuntimeUnlockObject(object);
  delete objects;
}

VornRuntimeObject* objectCursorNextObject(VornRuntimeObject* self) {
  ObjectCursorObject* cursor = CursorOf(self);
  if (!self || cursor->next >= CountOf(cursor)) return nullptr;
  RuntimeObject* object = (*cursor->objects)[static_cast<size_t>(cursor->next++)];
  RuntimeLockObject(object);
  return object;
}

VornRuntimeObject* objectCursorGetItem(VornRuntimeObject* self, int32_t index) {
  ObjectCursorObject* cursor = CursorOf(self);
  if (!self) return nullptr;
  if (index < 0 || index >= CountOf(cursor)) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RuntimeObject* object = (*cursor->objects)[static_cast<size_t>(index)];
  RuntimeLockObject(object);
  return object;
}

int32_t objectCursorCountGetter(VornRuntimeObject* self, int32_t) {
  ObjectCursorObject* cursor = CursorOf(self);
  return self ? CountOf(cursor) : 0;
}

}  // extern "C"
