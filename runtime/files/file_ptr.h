// A read-only byte store over bytes someone else owns and keeps alive while the store is used.
// Writing to it or changing its length is a programming error, reported as a failed assertion.
#pragma once

#include <cstdint>

#include "files/random_access_mechanism.h"

namespace vorn {

class FilePtr : public RandomAccessMechanism {
 public:
  bool Read(void* buffer, int32_t count, int32_t* outCount = nullptr) override;
  bool Write(const void* buffer, int32_t count) override;
  bool Close() override { return true; }
  bool IsEOF() override { return mPosition >= mLength; }
  bool SetPosition(int32_t position) override;
  int32_t GetLength() override { return mLength; }
  bool SetLength(int32_t length) override;
  int32_t GetPosition() override { return mPosition; }

  // Points the store at `length` bytes from position 0; a nil pointer or a negative length
  // gives an empty store.
  void SetData(const void* data, int32_t length);

  const uint8_t* mData = nullptr;
  int32_t mPosition = 0;
  int32_t mLength = 0;
};

}  // namespace vorn
