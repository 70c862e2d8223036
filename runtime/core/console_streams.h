// The standard streams of the process as language objects: StdIn (a StandardInputStream),
// StdOut and StdErr (StandardOutputStreams), and Print and Input, the console's own
// shorthands. Reads go through one read-ahead buffer for descriptor 0 that every reader
// shares, so Input, StdIn.ReadLine and StdIn.Read can be mixed; writes go straight to the
// descriptor, so output of Print and of the streams keeps its order.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "vorn/object_abi.h"

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

extern "C" {
VornRuntimeObject* RuntimeGetStdIn(void);
VornRuntimeObject* RuntimeGetStdOut(void);
VornRuntimeObject* RuntimeGetStdErr(void);

VornStringRecord* RuntimeStdInputReadLine(VornRuntimeObject* stream, VornRuntimeObject* encoding);
VornStringRecord* RuntimeStdInputRead(VornRuntimeObject* stream, int32_t count, VornRuntimeObject* encoding);
uint8_t RuntimeStdInputEof(VornRuntimeObject* stream);
uint8_t RuntimeStdInputError(VornRuntimeObject* stream);

void RuntimeStdOutputStreamWrite(VornRuntimeObject* stream, VornStringRecord* text);
void RuntimeStdOutputStreamWriteLine(VornRuntimeObject* stream, VornStringRecord* line);
void RuntimeStdOutFlush(VornRuntimeObject* stream);
uint8_t RuntimeStdOutputError(VornRuntimeObject* stream);

// Print: the text and a line feed on standard output. Input: the next line of standard input.
void RuntimeConsolePrint(VornStringRecord* text);
VornStringRecord* RuntimeConsoleInput(void);
}
