// The standard streams of the process as language objects: StdIn (a StandardInputStream),
// StdOut and StdErr (StandardOutputStreams), and Print and Input, the console's own
// shorthands. Reads go through one read-ahead buffer for descriptor 0 that every reader
// shares, so Input, StdIn.ReadLine and StdIn.Read can be mixed; writes go straight to the
// descriptor, so output of Print and of the streams keeps its order.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "vorn/console_api.h"

namespace vorn {

struct StandardOutputObject {
  VornRuntimeObject header;
  int32_t descriptor;
  int32_t lastError;  // errno of the last failed write, 0 after a good one
};

ObjectDefinition* GetStandardInputStreamClassDefinition();
ObjectDefinition* GetStandardOutputStreamClassDefinition();
void RegisterConsoleStreamClasses();

// Tests feed standard input from a descriptor of their own; -1 restores descriptor 0. The
// buffer is emptied either way.
void SetStandardInputDescriptor(int32_t descriptor);

}  // namespace vorn
