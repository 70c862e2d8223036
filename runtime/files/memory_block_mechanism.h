// A byte store over a MemoryBlock's own bytes, holding a reference to the block. The block's
// size is its length, read afresh at every access because the program may resize the block
// while a stream works on it; reads and writes never reach past it.
#pragma once

#include <cstdint>

#include "files/random_access_mechanism.h"
#include "objects/runtime_class.h"

namespace vorn {

// The store's error code for a write that would run past the end of the block (the C
// library's "no space left").
inline constexpr int32_t kBlockFullError = 28;

class MemoryBlockMechanism : public RandomAccessMechanism {
 public:
  MemoryBlockMechanism() = default;
  ~MemoryBlockMechanism() override;

  bool Read(void* buffer, int32_t count, int32_t* outCount = nullptr) override;
  // Writes only what fits wholly inside the block: a write that would pass its end writes
  // nothing, sets kBlockFullError and fails.
  bool Write(const void* buffer, int32_t count) override;
  // Lets go of the block.
  bool Close() override;
  bool IsEOF() override;
  bool SetPosition(int32_t position) override;
  int32_t GetLength() override;
  // Resizes the block itself.
  bool SetLength(int32_t length) override;
  int32_t GetPosition() override;

  // Lets go of the current block, holds this one from position 0. A nil block raises
  // NilObjectException, an object of another class TypeMismatchException, and either leaves the
  // store as it was.
  void SetMemoryBlock(RuntimeObject* block);
  RuntimeObject* MemoryBlock() const { return mBlock; }

 private:
  uint8_t* Bytes() const;
  void ClampToBlock();

  RuntimeObject* mBlock = nullptr;
  int32_t mPosition = 0;
};

}  // namespace vorn
