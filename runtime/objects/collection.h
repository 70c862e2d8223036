// The language's Collection: Variant values in the order they were added, numbered from 1, each
// optionally filed under a String key (compared without regard to case; the first of equal keys
// wins). A missing key gives nil; an index outside 1..Count raises OutOfBoundsException.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

ObjectDefinition* GetCollectionClassDefinition();
void RegisterCollectionClass();

}  // namespace vorn

extern "C" {
void collectionDestructor(VornRuntimeObject* self);
void collectionAdd(VornRuntimeObject* self, VornRuntimeObject* value, VornStringRecord* key);
int32_t collectionCount(VornRuntimeObject* self);
VornRuntimeObject* collectionIdxItem(VornRuntimeObject* self, int32_t index);
VornRuntimeObject* collectionItem(VornRuntimeObject* self, VornStringRecord* key);
void collectionIdxRemove(VornRuntimeObject* self, int32_t index);
void collectionKeyRemove(VornRuntimeObject* self, VornStringRecord* key);
}
