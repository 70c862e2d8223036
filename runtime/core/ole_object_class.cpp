#include "core/ole_object_class.h"

#include "objects/runtime_class.h"

namespace vorn {

namespace {

ObjectDefinition* BuildOLEObjectDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("OLEObject");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(RuntimeObject));
  return definition;
}

}  // namespace

ObjectDefinition* GetOLEObjectClassDefinition() {
  static ObjectDefinition* definition = BuildOLEObjectDefinition();
  return definition;
}

}  // namespace vorn
