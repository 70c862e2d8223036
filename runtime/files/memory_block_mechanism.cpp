#include "files/memory_block_mechanism.h"

#include <cstring>

#include "objects/exceptions.h"
#include "objects/memory_block.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

MemoryBlockObject* Fields(RuntimeObject* block) { return reinterpret_cast<MemoryBlockObject*>(block); }

}  // namespace

MemoryBlockMechanism::~MemoryBlockMechanism() { RuntimeUnlockObject(mBlock); }

uint8_t* MemoryBlockMechanism::Bytes() const { return mBlock ? Fields(mBlock)->data : nullptr; }

int32_t MemoryBlockMechanism::GetLength() { return mBlock ? Fields(mBlock)->size : 0; }

// A block made smaller behind the store's back pulls the position back with it.
void MemoryBlockMechanism::ClampToBlock() { mPosition = ClampPosition(mPosition, GetLength()); }

int32_t MemoryBlockMechanism::GetPosition() {
  ClampToBlock();
  return mPosition;
}

bool MemoryBlockMechanism::IsEOF() { return GetPosition() >= GetLength(); }

bool MemoryBlockMechanism::SetPosition(int32_t position) {
  mPosition = ClampPosition(position, GetLength());
  return true;
}

bool MemoryBlockMechanism::Read(void* buffer, int32_t count, int32_t* outCount) {
  ClampToBlock();
  return ReadFromBytes(Bytes(), GetLength(), &mPosition, buffer, count, outCount);
}

bool MemoryBlockMechanism::Write(const void* buffer, int32_t count) {
  if (!mBlock || count < 0 || (count > 0 && !buffer)) return false;
  ClampToBlock();
  if (int64_t{mPosition} + count > GetLength()) {
    mLastError = kBlockFullError;
    return false;
  }
  if (count == 0) return true;
  uint8_t* target = Bytes() + mPosition;
  std::memcpy(target, buffer, static_cast<size_t>(count));
  ScrambleInPlace(target, count);
  mPosition += count;
  return true;
}

bool MemoryBlockMechanism::SetLength(int32_t length) {
  if (!mBlock) return false;
  if (length < 0) length = 0;
  memoryBlockSetSize(mBlock, length);
  ClampToBlock();
  return GetLength() == length;
}

bool MemoryBlockMechanism::Close() {
  RuntimeObject* block = mBlock;
  mBlock = nullptr;
  mPosition = 0;
  RuntimeUnlockObject(block);
  return true;
}

void MemoryBlockMechanism::SetMemoryBlock(RuntimeObject* block) {
  if (!block) {
    RuntimeRaiseNilObjectException();
    return;
  }
  // Anything else would have its fields read as a block's data pointer and size.
  if (!RuntimeObjectIsaDefinition(block, GetMemoryBlockClassDefinition())) {
    RuntimeRaiseExceptionDefinition(GetTypeMismatchExceptionClassDefinition());
    return;
  }
  RuntimeLockObject(block);
  Close();
  mBlock = block;
}

}  // namespace vorn
