// The language's TextOutputStream: text written as its bytes stand, lines ended by the
// Delimiter property or, while that is empty, by the platform's end of line.
#pragma once

#include <cstdint>

#include "files/random_access_mechanism.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

struct TextOutputStreamObject {
  RuntimeObject header;
  RandomAccessMechanism* store;  // owned; nil once closed
  StringRep* delimiter;          // held; nil while empty
  int32_t lastError;
};

ObjectDefinition* GetTextOutputStreamClassDefinition();

}  // namespace vorn

extern "C" {
void TextOutputStreamInitializer(VornRuntimeObject* stream);
void TextOutputStreamDestructor(VornRuntimeObject* stream);
void TextOutputStreamWriteLine(VornRuntimeObject* stream, VornStringRecord* line);
void TextOutputStreamWrite(VornRuntimeObject* stream, VornStringRecord* text);
void TextOutputStreamClose(VornRuntimeObject* stream);
void TextOutputStreamFlush(VornRuntimeObject* stream);
int32_t TextOutputStreamLastErrorGetter(VornRuntimeObject* stream);
// WriteError: LastErrorCode as a Boolean.
uint8_t TextOutputStreamErrorFlag(VornRuntimeObject* stream);
}
