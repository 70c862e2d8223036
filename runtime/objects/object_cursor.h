// ObjectCursor: walks the objects alive when it was made, in the order of the runtime's object
// index. The cursor holds each of them until it is destroyed, so every object it hands out is
// still valid; objects made later are not seen.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

ObjectDefinition* GetObjectCursorClassDefinition();
void RegisterObjectCursorClass();

}  // namespace vorn

extern "C" {
void objectCursorConstructor(VornRuntimeObject* self);
void objectCursorDestructor(VornRuntimeObject* self);
// The next object (retained), nil after the last.
VornRuntimeObject* objectCursorNextObject(VornRuntimeObject* self);
// Object 0..Count-1 of the walk (retained).
VornRuntimeObject* objectCursorGetItem(VornRuntimeObject* self, int32_t index);
int32_t objectCursorCountGetter(VornRuntimeObject* self, int32_t unused);
}
