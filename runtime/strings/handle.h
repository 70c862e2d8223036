// Handles: growable memory blocks reached through a pointer to a pointer to the bytes. The
// database keeps large objects read from its file in them.
#pragma once

#include <cstdint>

namespace vorn {

using Handle = char**;

// A handle of size bytes (zero-filled), or nil when the size is negative or memory runs out:
// sizes come from files, so a bad one must not end the program.
Handle NewHandle(int32_t size);
int32_t GetHandleSize(Handle handle);  // 0 for nil
// Resizes keeping the first min(old, new) bytes; bytes gained are zero. Answers false, leaving
// the handle as it was, for a nil handle, a negative size or exhausted memory.
bool SetHandleSize(Handle handle, int32_t size);
void DisposeHandle(Handle handle);  // nil allowed
// Handles never move behind their owner's back here, so locking has nothing to do.
inline void UnlockHandle(Handle) {}

}  // namespace vorn
