// The class and module registries: intrinsic definitions registered at start-up in a fixed
// order, and classes the image builds with RuntimeNewClass. Lookups ignore letter case.
#pragma once

#include <vector>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/class_abi.h"

namespace vorn {

// Enters the definition in the intrinsic class map (a module definition: the module map) and
// adds its members' entry points to the entry-point directory. A nil or nameless definition,
// or a name already registered for another definition, is reported and ignored.
void RegisterIntrinsicClass(ObjectDefinition* definition);

ObjectDefinition* LookupIntrinsicClass(const string& name);
ObjectDefinition* LookupIntrinsicModule(const string& name);
// In registration order.
const std::vector<ObjectDefinition*>& IntrinsicClassesInOrder();
const std::vector<ObjectDefinition*>& IntrinsicModulesInOrder();

// A class the image built, nil when none has that name.
RuntimeClass* LookupCompiledClass(const string& name);
// Compiled classes first, then intrinsic ones.
RuntimeClass* LookupClassByName(const string& name);

}  // namespace vorn
