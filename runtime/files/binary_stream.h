// The language's BinaryStream: raw bytes and typed values over any store, big-endian unless
// its LittleEndian property says otherwise (the store's own swap switches play no part).
#pragma once

#include <cstdint>

#include "files/random_access_mechanism.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

struct BinaryStreamObject {
  RuntimeObject header;
  RandomAccessMechanism* store;  // owned; nil once closed
  uint8_t littleEndian;
  int32_t lastError;  // the store's code, kept when it closes
};

ObjectDefinition* GetBinaryStreamClassDefinition();

}  // namespace vorn

extern "C" {
void BinaryStreamInitializer(VornRuntimeObject* stream);
void BinaryStreamDestructor(VornRuntimeObject* stream);
void BinaryStringStringCtor(VornRuntimeObject* stream, VornStringRecord* text);
void BinaryStringMemoryBlockCtor(VornRuntimeObject* stream, VornRuntimeObject* block);

int32_t BinaryStreamGetLength(VornRuntimeObject* stream);
void BinaryStreamSetLength(VornRuntimeObject* stream, int32_t unused, int32_t length);
int32_t BinaryStreamGetPosition(VornRuntimeObject* stream);
void BinaryStreamSetPosition(VornRuntimeObject* stream, int32_t unused, int32_t position);
int32_t BinaryStreamLastErrorGetter(VornRuntimeObject* stream);
// ReadError and WriteError: LastErrorCode as a Boolean.
uint8_t BinaryStreamErrorFlag(VornRuntimeObject* stream);

int32_t BinaryStreamReadByte(VornRuntimeObject* stream);
int32_t BinaryStreamReadShort(VornRuntimeObject* stream);
int32_t BinaryStreamReadLong(VornRuntimeObject* stream);
double BinaryStreamReadFloat(VornRuntimeObject* stream);
double BinaryStreamReadDouble(VornRuntimeObject* stream);
uint8_t BinaryStreamReadBoolean(VornRuntimeObject* stream);
VornStringRecord* BinaryStreamReadPString(VornRuntimeObject* stream, VornRuntimeObject* encoding);
VornStringRecord* BinaryStreamRead(VornRuntimeObject* stream, int32_t count, VornRuntimeObject* encoding);

void BinaryStreamWriteByte(VornRuntimeObject* stream, int32_t value);
void BinaryStreamWriteShort(VornRuntimeObject* stream, int32_t value);
void BinaryStreamWriteLong(VornRuntimeObject* stream, int32_t value);
void BinaryStreamWriteFloat(VornRuntimeObject* stream, double value);
void BinaryStreamWriteDouble(VornRuntimeObject* stream, double value);
void BinaryStreamWriteBoolean(VornRuntimeObject* stream, uint8_t value);
void BinaryStreamWritePString(VornRuntimeObject* stream, VornStringRecord* text);
void BinaryStreamWrite(VornRuntimeObject* stream, VornStringRecord* text);

void BinaryStreamClose(VornRuntimeObject* stream);
void BinaryStreamFlush(VornRuntimeObject* stream);
uint8_t BinaryStreamEOF(VornRuntimeObject* stream);
}
