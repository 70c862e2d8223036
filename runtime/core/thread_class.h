// The language's Thread, Semaphore, CriticalSection and Mutex classes.
#pragma once

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/thread_api.h"

namespace vorn {

using ThreadObject = VornThreadObject;

ObjectDefinition* GetThreadClassDefinition();
ObjectDefinition* GetSemaphoreClassDefinition();
ObjectDefinition* GetCriticalSectionClassDefinition();
ObjectDefinition* GetMutexClassDefinition();

// Registers the four classes with the intrinsic class map, and what a thread that ends must
// give back (the locks it still owns).
void RegisterThreadClasses();

}  // namespace vorn
