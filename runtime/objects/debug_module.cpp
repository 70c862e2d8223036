// The runtime debug module: heap use and the live-object index, for the debugger's object
// dump. The module is itself a (hidden) object, handed out locked.
#include <malloc.h>

#include <algorithm>
#include <limits>

#include "objects/debug_module.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

RuntimeObject* sDebugInstance = nullptr;

ObjectDefinition* GetRuntimeDebugClassDefinition();

RuntimeObject* LiveObjectOrRaise(int32_t index) {
  RuntimeObject* object = LiveObjectAt(index);
  if (!object) RuntimeRaiseOutOfBoundsException();
  return object;
}

}  // namespace
}  // namespace vorn

extern "C" {

void RuntimeDebugDestructor(VornRuntimeObject* object) {
  if (vorn::sDebugInstance == object) vorn::sDebugInstance = nullptr;
}

VornRuntimeObject* RuntimeDebugInstance(void) {
  using namespace vorn;
  if (sDebugInstance) {
    RuntimeLockObject(sDebugInstance);
    return sDebugInstance;
  }
  sDebugInstance = CreateInstanceFromDefinition(GetRuntimeDebugClassDefinition());
  return sDebugInstance;
}

int32_t RuntimeDebugMemoryUsed(VornRuntimeObject*, int32_t) {
  struct mallinfo2 info = mallinfo2();
  size_t used = info.uordblks + info.hblkhd;
  return static_cast<int32_t>(std::min<size_t>(used, std::numeric_limits<int32_t>::max()));
}

int32_t RuntimeDebugObjectCount(VornRuntimeObject*, int32_t) { return vorn::LiveObjectCount(); }

VornStringRecord* RuntimeDebugObjectClass(VornRuntimeObject*, int32_t index) {
  VornRuntimeObject* object = vorn::LiveObjectOrRaise(index);
  return object ? object->classPtr->mName.GetRetainedRep() : nullptr;
}

int32_t RuntimeDebugObjectID(VornRuntimeObject*, int32_t index) {
  VornRuntimeObject* object = vorn::LiveObjectOrRaise(index);
  return object ? static_cast<int32_t>(object->objectId) : 0;
}

int32_t RuntimeDebugObjectRefs(VornRuntimeObject*, int32_t index) {
  VornRuntimeObject* object = vorn::LiveObjectOrRaise(index);
  return object ? object->refCount : 0;
}

}  // extern "C"

namespace vorn {
namespace {

ObjectDefinition* GetRuntimeDebugClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("_RuntimeDebug");
    definition.mInstanceSize = VORN_OBJECT_HEADER_SIZE;
    definition.mFinalizer = {reinterpret_cast<void*>(&RuntimeDebugDestructor), "RuntimeDebugDestructor"};
  }
  return &definition;
}

}  // namespace
}  // namespace vorn
