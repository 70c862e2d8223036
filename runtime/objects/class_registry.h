// The class and module registries: intrinsic definitions registered at start-up in a fixed
// order, each built on first use, and classes the image builds with RuntimeNewClass. Lookups
// ignore letter case.
#pragma once

#include <initializer_list>
#include <vector>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/class_abi.h"

namespace vorn {

// Enters the definition in the intrinsic class map (a module definition: the module map) and
// adds its members' entry points to the entry-point directory. A nil or nameless definition,
// or a name already registered for another definition, is reported and ignored.
void RegisterIntrinsicClass(ObjectDefinition* definition);

// Enters a class under its name without building it: `getter` builds the definition (and its
// members' entry points go into the directory) when the class is first looked up, iterated,
// or when a directory reader needs every row. The name must be the one the getter gives the
// definition; a mismatch is reported when it is built. Modules are registered built.
using DefinitionGetter = ObjectDefinition* (*)();
void RegisterIntrinsicClass(const char* name, DefinitionGetter getter);
struct IntrinsicClassEntry {
  const char* name;
  DefinitionGetter getter;
};
// Registers each in the list's order.
void RegisterIntrinsicClassList(std::initializer_list<IntrinsicClassEntry> classes);
// Builds every class registered so far and not built yet.
void BuildRegisteredIntrinsicClasses();

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
