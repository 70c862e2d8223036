// The runtime debug module's entry points (handle from RuntimeDebugInstance, released by the
// caller; the handle argument of the queries is not needed and may be nil).
#pragma once

#include <cstdint>

#include "vorn/object_abi.h"

extern "C" {
VornRuntimeObject* RuntimeDebugInstance(void);
void RuntimeDebugDestructor(VornRuntimeObject* object);
int32_t RuntimeDebugMemoryUsed(VornRuntimeObject* handle, int32_t unused);
int32_t RuntimeDebugObjectCount(VornRuntimeObject* handle, int32_t unused);
// Live object i's class name (retained for the caller), its serial number and its count;
// nil or 0 with an OutOfBoundsException pending for an index outside the index.
VornStringRecord* RuntimeDebugObjectClass(VornRuntimeObject* handle, int32_t index);
int32_t RuntimeDebugObjectID(VornRuntimeObject* handle, int32_t index);
int32_t RuntimeDebugObjectRefs(VornRuntimeObject* handle, int32_t index);
}
