// The language's MemoryBlock: a block of bytes the program reads and writes at byte offsets,
// numbers in the byte order its LittleEndian flag chooses. Every access is checked against the
// block: one that reaches before its start or past its end raises OutOfBoundsException,
// touches nothing and returns zero.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

struct MemoryBlockObject {
  RuntimeObject header;
  uint8_t* data;  // nil while the size is 0 (unless borrowed)
  int32_t size;
  uint8_t littleEndian;
  // A view of memory the program owns (from a Ptr): never freed or moved; its size is the
  // extent the program declares, 0 until it sets one.
  uint8_t borrowed;
};

ObjectDefinition* GetMemoryBlockClassDefinition();
void RegisterMemoryBlockClass();

}  // namespace vorn

extern "C" {
void MemoryBlockInitializer(VornRuntimeObject* self);
void MemoryBlockFinalizer(VornRuntimeObject* self);
void memoryBlockNewConstructor(VornRuntimeObject* self, int32_t size);
VornRuntimeObject* newMemoryBlock(int32_t size);
void* memoryBlockGetPtr(VornRuntimeObject* block);
int32_t memoryBlockGetSize(VornRuntimeObject* block);
void memoryBlockSetSize(VornRuntimeObject* block, int32_t size);
void memoryBlockSizeSetter(VornRuntimeObject* block, int32_t unused, int32_t size);
// A block viewing the memory at the pointer (nil for nil). The runtime cannot know how far the
// memory reaches: the block's size is 0, so every access is out of bounds, until the program
// sets the size to the extent it knows; setting it never copies or frees the memory.
VornRuntimeObject* PtrToMemoryBlock(void* pointer);
VornRuntimeObject* ConvertPtrToMemoryBlock(void* pointer);

int32_t memoryGetLong(VornRuntimeObject* block, int32_t offset);
void memorySetLong(VornRuntimeObject* block, int32_t offset, int32_t value);
int32_t memoryGetShort(VornRuntimeObject* block, int32_t offset);
void memorySetShort(VornRuntimeObject* block, int32_t offset, int32_t value);
int32_t memoryGetUShort(VornRuntimeObject* block, int32_t offset);
int32_t memoryGetByte(VornRuntimeObject* block, int32_t offset);
void memorySetByte(VornRuntimeObject* block, int32_t offset, int32_t value);
double memoryGetDouble(VornRuntimeObject* block, int32_t offset);
void memorySetDouble(VornRuntimeObject* block, int32_t offset, double value);
float memoryGetSingle(VornRuntimeObject* block, int32_t offset);
void memorySetSingle(VornRuntimeObject* block, int32_t offset, float value);
uint8_t memoryGetBoolean(VornRuntimeObject* block, int32_t offset);
void memorySetBoolean(VornRuntimeObject* block, int32_t offset, uint8_t value);
uint32_t memoryGetColor(VornRuntimeObject* block, int32_t offset);
void memorySetColor(VornRuntimeObject* block, int32_t offset, uint32_t value);
void* memoryGetPtr(VornRuntimeObject* block, int32_t offset);
void memorySetPtr(VornRuntimeObject* block, int32_t offset, void* value);
VornStringRecord* memoryGetPString(VornRuntimeObject* block, int32_t offset);
void memorySetPString(VornRuntimeObject* block, int32_t offset, VornStringRecord* value);
VornStringRecord* memoryGetCString(VornRuntimeObject* block, int32_t offset);
void memorySetCString(VornRuntimeObject* block, int32_t offset, VornStringRecord* value);
VornStringRecord* memoryGetWString(VornRuntimeObject* block, int32_t offset);
void memorySetWString(VornRuntimeObject* block, int32_t offset, VornStringRecord* value);
VornStringRecord* memoryGetString(VornRuntimeObject* block, int32_t offset, int32_t length);
void memorySetString(VornRuntimeObject* block, int32_t offset, int32_t length, VornStringRecord* value);

VornStringRecord* MemoryBlockToStringOperator(VornRuntimeObject* self);
void MemoryBlockFromStringOperator(VornRuntimeObject* self, VornStringRecord* text);
VornRuntimeObject* MemoryBlockAddOperator(VornRuntimeObject* self, VornRuntimeObject* other);
int32_t MemoryBlockCompareOperator(VornRuntimeObject* self, VornRuntimeObject* other);
VornRuntimeObject* MemoryBlockLeftB(VornRuntimeObject* self, int32_t count);
VornRuntimeObject* MemoryBlockMidB2(VornRuntimeObject* self, int32_t start);
VornRuntimeObject* MemoryBlockMidB3(VornRuntimeObject* self, int32_t start, int32_t count);
VornRuntimeObject* MemoryBlockRightB(VornRuntimeObject* self, int32_t count);
}
