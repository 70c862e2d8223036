#include "strings/memory.h"

#include <malloc.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vorn {

void ExitOutOfMemory(size_t size) {
  std::fprintf(stderr, "vorn: out of memory allocating %zu bytes\n", size);
  // A program cut short for want of memory did not succeed: whatever ran it (a shell script,
  // a service manager) must not read its end as a normal one.
  std::exit(EXIT_FAILURE);
}

namespace {

void* Checked(void* block, size_t size, OnFailure onFailure) {
  if (block == nullptr && onFailure == OnFailure::Exit) ExitOutOfMemory(size);
  return block;
}

}  // namespace

void* AllocMemory(size_t size, OnFailure onFailure) {
  return Checked(std::malloc(size == 0 ? 1 : size), size, onFailure);
}

void* AllocClearedMemory(size_t size, OnFailure onFailure) {
  return Checked(std::calloc(1, size == 0 ? 1 : size), size, onFailure);
}

void* ReallocMemory(void* block, size_t size, OnFailure onFailure) {
  return Checked(std::realloc(block, size == 0 ? 1 : size), size, onFailure);
}

void FreeMemory(void* block) { std::free(block); }

size_t UsableSize(const void* block) {
  return block ? malloc_usable_size(const_cast<void*>(block)) : 0;
}

}  // namespace vorn
