#include "files/file_handle.h"

#include <cstdint>
#include <cstring>

namespace vorn {

namespace {

constexpr int64_t kGrowthSlack = 2048;
constexpr int64_t kLargestStore = INT32_MAX;

}  // namespace

FileHandle::~FileHandle() { DropHandle(); }

void FileHandle::DropHandle() {
  if (mOwnsHandle) DisposeHandle(mHandle);
  mHandle = nullptr;
}

int32_t FileHandle::ReadableLength() const {
  int32_t size = GetHandleSize(mHandle);
  return mLength < size ? mLength : size;
}

bool FileHandle::Read(void* buffer, int32_t count, int32_t* outCount) {
  const uint8_t* data = mHandle ? reinterpret_cast<const uint8_t*>(*mHandle) : nullptr;
  return ReadFromBytes(data, ReadableLength(), &mPosition, buffer, count, outCount);
}

bool FileHandle::Reserve(int64_t size) {
  if (size > kLargestStore) return false;
  if (!mHandle) {
    mHandle = NewHandle(static_cast<int32_t>(size));
    if (!mHandle) return false;
    mOwnsHandle = 1;
  } else if (size > GetHandleSize(mHandle)) {
    if (!SetHandleSize(mHandle, static_cast<int32_t>(size))) return false;
  }
  mAllocated = GetHandleSize(mHandle);
  return true;
}

bool FileHandle::Write(const void* buffer, int32_t count) {
  if (mFailed) return false;
  if (count < 0 || (count > 0 && !buffer)) return false;
  if (!mHandle) {
    // Bytes the store claims without a handle to hold them cannot be written around.
    if (mLength != 0 || !Reserve(0)) {
      mFailed = 1;
      return false;
    }
  }
  int64_t end = int64_t{mPosition} + count;
  if (end > GetHandleSize(mHandle)) {
    int64_t grown = end + kGrowthSlack < kLargestStore ? end + kGrowthSlack : kLargestStore;
    if (!Reserve(grown)) {
      mFailed = 1;
      return false;
    }
  }
  if (end > mLength) mLength = static_cast<int32_t>(end);
  if (count == 0) return true;
  uint8_t* target = reinterpret_cast<uint8_t*>(*mHandle) + mPosition;
  std::memcpy(target, buffer, static_cast<size_t>(count));
  ScrambleInPlace(target, count);
  mPosition = static_cast<int32_t>(end);
  return true;
}

bool FileHandle::Close() { return !mFailed; }

bool FileHandle::SetPosition(int32_t position) {
  mPosition = ClampPosition(position, mLength);
  return true;
}

bool FileHandle::SetLength(int32_t length) {
  if (length < 0) length = 0;
  if (!mHandle) {
    if (mLength != 0 || !Reserve(length)) return false;
  } else if (length > GetHandleSize(mHandle)) {
    if (!SetHandleSize(mHandle, length)) return false;
    mAllocated = length;
  }
  // Bytes a longer store gains read as zeros, never as what an earlier truncation cut off.
  if (length > mLength) std::memset(*mHandle + mLength, 0, static_cast<size_t>(length - mLength));
  mLength = length;
  if (mPosition > mLength) mPosition = mLength;
  return true;
}

void FileHandle::Reset() {
  DropHandle();
  mHandle = NewHandle(0);
  mAllocated = mPosition = mLength = 0;
  mFailed = 0;
  mOwnsHandle = 1;
}

void FileHandle::AttachHandle(Handle handle) {
  DropHandle();
  mHandle = handle;
  mOwnsHandle = 0;
  mPosition = 0;
  mLength = mAllocated = GetHandleSize(handle);
}

Handle FileHandle::DetachHandle() {
  if (mFailed) return nullptr;
  if (mHandle && GetHandleSize(mHandle) != mLength && !SetHandleSize(mHandle, mLength)) return nullptr;
  Handle handle = mHandle;
  mHandle = nullptr;
  mOwnsHandle = 1;
  mAllocated = mPosition = mLength = 0;
  return handle;
}

}  // namespace vorn
