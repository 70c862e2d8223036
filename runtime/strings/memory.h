// Allocation wrappers of the runtime. A failed allocation ends the program with status 0
// (the runtime's documented behaviour when memory is exhausted) unless the caller asks for
// a null result instead.
#pragma once

#include <cstddef>

namespace vorn {

enum class OnFailure { Exit, ReturnNull };

void* AllocMemory(size_t size, OnFailure onFailure = OnFailure::Exit);
void* AllocClearedMemory(size_t size, OnFailure onFailure = OnFailure::Exit);
void* ReallocMemory(void* block, size_t size, OnFailure onFailure = OnFailure::Exit);
void FreeMemory(void* block);

// Ends the program as a failed allocation of `size` bytes does: for a size no allocation may
// be asked for, such as a text longer than a string holds.
[[noreturn]] void ExitOutOfMemory(size_t size);

// Bytes usable in a block from AllocMemory/ReallocMemory (at least what was asked for).
size_t UsableSize(const void* block);

}  // namespace vorn
