// ScrollableCursor: the rest of a RecordSet copied once into a row cache on scratch files, then
// read back by row number as DatabaseRecords. Lists and DatabaseQuery read results through it.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_object.h"

namespace vorn {

class RowCache;

struct ScrollableCursorObject {
  VornRuntimeObject header;
  RowCache* cache;  // owned; nil when the scratch files could not be made
  int32_t columnCount;
};

ObjectDefinition* GetScrollableCursorClassDefinition();
// A new cursor holding the rest of the record set, one reference for the caller.
RuntimeObject* NewScrollableCursor(RuntimeObject* recordSet);

}  // namespace vorn

extern "C" {
void scrollableCursorConstructor(VornRuntimeObject* self, VornRuntimeObject* recordSet);
void scrollableCursorDestructor(VornRuntimeObject* self);
int32_t scrollableCursorGetCount(VornRuntimeObject* self);
VornRuntimeObject* scrollableCursorGetRow(VornRuntimeObject* self, int32_t row);
}
