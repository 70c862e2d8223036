// Functions of shared libraries that compiled code names only when it runs. Each declaration
// passes the same literal records at every call, so both lookups are cached by the identity of
// those records and a declaration is resolved once.
#pragma once

#include <string>

#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

namespace vorn {

// The handle of the library, found under the name, in the standard folders, through symbolic
// links or through a linker script; nil when none loads.
void* OpenSoftLibrary(const std::string& name);

// Empties both caches (the program's end does the same).
void ClearSoftDeclareCaches();

}  // namespace vorn

extern "C" {
void* LoadFunctionPointerFromLibrary(VornStringRecord* functionName, VornStringRecord* libraryName);
uint8_t IsFunctionAvailable(VornRuntimeObject* self, VornStringRecord* functionName, VornStringRecord* libraryName);
}
