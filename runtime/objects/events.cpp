#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"

namespace vorn {

void* RuntimeGetHookHandler(RuntimeObject* object, const ObjectHook* hook) {
  if (!object || !hook || !object->eventTable) return nullptr;
  RuntimeClass* cls = object->classPtr;
  if (hook->index < 0 || hook->index >= cls->EventCount() ||
      (hook->owner && !ClassIsa(cls, RuntimeClassFromDefinition(hook->owner)))) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return object->eventTable[hook->index].handler;
}

}  // namespace vorn

extern "C" void* RuntimeFindHookCode(VornRuntimeObject* holder, const void* hookWord) {
  using namespace vorn;
  const auto* hook = static_cast<const ObjectHook*>(hookWord);
  if (!holder || !hook) return nullptr;
  for (const ObjectDefinition* def = holder->classPtr->mDefinition; def; def = def->mSuper) {
    for (const ObjectHookInstance& impl : def->mHookInstances)
      if (def->FindHook(impl.eventName) == hook) return impl.function;
  }
  return nullptr;
}
