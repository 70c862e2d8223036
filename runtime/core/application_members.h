// What the language reaches through the application object and the run loop besides opening
// and quitting: the App function, its version numbers, DoEvents with a wait, objects polled
// at every iteration (the _Pollable interface), becoming a daemon, the user-cancel test,
// Microseconds, text resources, and the script rows this platform keeps empty.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "vorn/application_abi.h"

namespace vorn {

// The _Pollable interface: Poll (), called at every run-loop iteration.
ObjectDefinition* GetPollableInterfaceDefinition();

}  // namespace vorn
