// A byte store over a growable memory handle: writes past the end grow the handle (with room to
// spare, so a run of small writes does not reallocate each time), and the finished bytes can be
// detached as a handle of exactly the written length.
#pragma once

#include <cstdint>

#include "files/random_access_mechanism.h"
#include "strings/handle.h"

namespace vorn {

class FileHandle : public RandomAccessMechanism {
 public:
  FileHandle() = default;
  ~FileHandle() override;

  bool Read(void* buffer, int32_t count, int32_t* outCount = nullptr) override;
  bool Write(const void* buffer, int32_t count) override;
  // True unless a write failed to get memory; the handle stays.
  bool Close() override;
  bool IsEOF() override { return mPosition >= mLength; }
  bool SetPosition(int32_t position) override;
  int32_t GetLength() override { return mLength; }
  bool SetLength(int32_t length) override;
  int32_t GetPosition() override { return mPosition; }

  // Starts over with a new, empty, owned handle and a cleared failure.
  void Reset();
  // Works on the caller's handle (which the caller keeps owning) from position 0.
  void AttachHandle(Handle handle);
  // Hands the handle, trimmed to the length, to the caller and leaves the store empty; nil and
  // no change when a write failed (or the trimming did).
  Handle DetachHandle();

  int32_t mAllocated = 0;
  int32_t mPosition = 0;
  int32_t mLength = 0;
  uint8_t mFailed = 0;
  uint8_t mOwnsHandle = 1;
  Handle mHandle = nullptr;

 private:
  void DropHandle();
  // Makes the handle hold at least `size` bytes (exactly `size` when it has to grow); false
  // when memory cannot be had.
  bool Reserve(int64_t size);
  // The bytes a read may reach: never past the handle, whatever its owner did to it.
  int32_t ReadableLength() const;
};

}  // namespace vorn
