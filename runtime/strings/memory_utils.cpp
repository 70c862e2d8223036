#include "strings/memory_utils.h"

#include <cstring>

namespace vorn {

namespace {
bool gAllocatorReady = false;
}  // namespace

void MoveMemory(void* destination, const void* source, int32_t count) {
  if (count < 1 || destination == nullptr || source == nullptr) return;
  std::memmove(destination, source, static_cast<size_t>(count));
}

void FillBytes(void* destination, int32_t count, uint8_t value) {
  if (count < 1 || destination == nullptr) return;
  std::memset(destination, value, static_cast<size_t>(count));
}

// The general allocator already keeps per-size free lists for small blocks, so the pool is a
// thin layer over it; the size passed back to FreeBlock is kept in the interface for callers
// that track it.
void* AllocBlock(size_t size, OnFailure onFailure) { return AllocMemory(size, onFailure); }

void FreeBlock(void* block, size_t /*size*/) { FreeMemory(block); }

void MarkAllocatorReady() { gAllocatorReady = true; }

bool IsAllocatorReady() { return gAllocatorReady; }

}  // namespace vorn
