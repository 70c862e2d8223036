// The language's ResourceFork class. Files here have no resource part, so no ResourceFork is
// ever opened: the class exists so that code mentioning it binds and runs, and every member
// answers nothing (the empty string, 0, false or nil).
#pragma once

#include <cstdint>

#include "objects/object_definition.h"

namespace vorn {

// Attribute masks of the per-resource flags.
constexpr int32_t kResourceLockedMask = 0x10;
constexpr int32_t kResourceProtectedMask = 0x08;
constexpr int32_t kResourcePreloadMask = 0x04;
constexpr int32_t kResourcePurgeableMask = 0x20;
constexpr int32_t kResourceSysHeapMask = 0x40;

ObjectDefinition* GetResourceForkClassDefinition();
void RegisterResourceForkClass();

}  // namespace vorn
