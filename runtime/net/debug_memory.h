// Memory access for the debug session's memory commands. The addresses come from the peer, so
// a read or write goes through the kernel and fails (false) on any byte the process has not
// mapped with that access, instead of faulting.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorn {

bool DebugReadMemory(uint64_t address, void* destination, size_t count);
bool DebugWriteMemory(uint64_t address, const void* source, size_t count);

}  // namespace vorn
