// The language's TextInputStream: text read by lines or in blocks through a 64 KiB read-ahead
// buffer, made at the first read. Bytes are handed out as they are; an encoding only
// tags the strings read (and decides whether lines end at 8-bit or 16-bit terminators).
#pragma once

#include <cstdint>

#include "files/random_access_mechanism.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

// As much as a pipe holds: a file or a pipe is read in as few system calls as read(2) in a loop
// of one buffer takes, and a store that reads ahead itself hands a read this large straight on.
inline constexpr int32_t kTextInputBufferSize = 64 * 1024;

struct TextInputStreamObject {
  RuntimeObject header;
  RandomAccessMechanism* store;  // owned; nil once closed
  RuntimeObject* encoding;       // a TextEncoding, held
  int32_t bufferPosition;
  int32_t bufferCount;
  // kTextInputBufferSize bytes, nil until the first read. Kept until the object goes (not freed
  // by Close): a thread waiting in the store still reads into it when another closes the stream.
  uint8_t* buffer;
  int32_t nextFill;  // see LineBuffer
  int32_t lastError;
};

ObjectDefinition* GetTextInputStreamClassDefinition();

}  // namespace vorn

extern "C" {
void TextInputStreamInitializer(VornRuntimeObject* stream);
void TextInputStreamDestructor(VornRuntimeObject* stream);
VornStringRecord* TextInputStreamRead(VornRuntimeObject* stream, int32_t count, VornRuntimeObject* encoding);
VornStringRecord* TextInputStreamReadLine(VornRuntimeObject* stream, VornRuntimeObject* encoding);
// From the next byte to the store's end: a file, a pipe or a terminal is read until a read meets
// its end (its writer closes, Ctrl-D), the thread waiting meanwhile; a memory store's length
// tells how far. More than the longest text (LongestReadableText) gives nil with EOVERFLOW.
VornStringRecord* TextInputStreamReadAll(VornRuntimeObject* stream, VornRuntimeObject* encoding);
void TextInputStreamClose(VornRuntimeObject* stream);
uint8_t TextInputStreamEOF(VornRuntimeObject* stream);
int32_t TextInputStreamGetPosition(VornRuntimeObject* stream);
void TextInputStreamSetPosition(VornRuntimeObject* stream, int32_t unused, int32_t position);
int32_t TextInputStreamLastErrorGetter(VornRuntimeObject* stream);
// ReadError: LastErrorCode as a Boolean.
uint8_t TextInputStreamErrorFlag(VornRuntimeObject* stream);
}
