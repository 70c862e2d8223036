// Raw memory helpers and the small-block pool used for record, key and value buffers.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>

#include "strings/memory.h"

namespace vorn {

// Copies count bytes; the areas may overlap. Nothing for a count below 1.
void MoveMemory(void* destination, const void* source, int32_t count);

// Sets count bytes to value. Nothing for a count below 1.
void FillBytes(void* destination, int32_t count, uint8_t value);
// Count and value are both integers and easily swapped, which would fill the wrong length.
// The fill value must therefore be a uint8_t: any other type in the third place is refused at
// compile time.
template <typename Count, typename Value>
  requires(!std::same_as<Value, uint8_t>)
void FillBytes(void* destination, Count count, Value value) = delete;

// A block of size bytes from the small-block pool, or nil when onFailure allows it.
void* AllocBlock(size_t size, OnFailure onFailure = OnFailure::Exit);
// Gives a block back; size is what it was allocated with. Nil is ignored.
void FreeBlock(void* block, size_t size);

// Called first thing by main, before any other allocation of the runtime.
void MarkAllocatorReady();
bool IsAllocatorReady();

}  // namespace vorn
