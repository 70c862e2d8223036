#include "strings/memory_manager.h"

#include <algorithm>
#include <cstring>

#include "strings/memory.h"

namespace vorn {

MemoryManager::~MemoryManager() { Clear(); }

void MemoryManager::Append(const void* bytes, int32_t count) {
  if (bytes == nullptr || count < 1) return;
  const auto* in = static_cast<const uint8_t*>(bytes);
  size_t left = static_cast<size_t>(count);
  while (left > 0) {
    if (mTail == nullptr || mTail->end == kChunkSize) {
      auto* chunk = static_cast<Chunk*>(AllocMemory(sizeof(Chunk)));
      chunk->next = nullptr;
      chunk->start = chunk->end = 0;
      if (mTail) {
        mTail->next = chunk;
      } else {
        mHead = chunk;
      }
      mTail = chunk;
    }
    size_t n = std::min(left, kChunkSize - mTail->end);
    std::memcpy(mTail->bytes + mTail->end, in, n);
    mTail->end += n;
    in += n;
    left -= n;
    mTotal += static_cast<int64_t>(n);
  }
}

const uint8_t* MemoryManager::GetReadPointer(int32_t* count) const {
  if (mHead == nullptr || mHead->start == mHead->end) {
    if (count) *count = 0;
    return nullptr;
  }
  if (count) *count = static_cast<int32_t>(mHead->end - mHead->start);
  return mHead->bytes + mHead->start;
}

void MemoryManager::Consume(int64_t n) {
  while (n > 0 && mHead != nullptr) {
    size_t available = mHead->end - mHead->start;
    size_t take = static_cast<size_t>(std::min<int64_t>(n, static_cast<int64_t>(available)));
    mHead->start += take;
    mTotal -= static_cast<int64_t>(take);
    n -= static_cast<int64_t>(take);
    if (mHead->start == mHead->end) {
      if (mHead == mTail) {
        // Keep the last chunk for the next Append instead of freeing and reallocating 1 MB.
        mHead->start = mHead->end = 0;
        break;
      }
      Chunk* next = mHead->next;
      FreeMemory(mHead);
      mHead = next;
    }
  }
}

int32_t MemoryManager::Read(void* buffer, int32_t n, bool remove) {
  if (buffer == nullptr || n < 1) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t wanted = static_cast<size_t>(n);
  size_t copied = 0;
  for (Chunk* chunk = mHead; chunk != nullptr && copied < wanted; chunk = chunk->next) {
    size_t take = std::min(wanted - copied, chunk->end - chunk->start);
    std::memcpy(out + copied, chunk->bytes + chunk->start, take);
    copied += take;
  }
  if (remove) Consume(static_cast<int64_t>(copied));
  return static_cast<int32_t>(copied);
}

void MemoryManager::Clear() {
  while (mHead != nullptr) {
    Chunk* next = mHead->next;
    FreeMemory(mHead);
    mHead = next;
  }
  mTail = nullptr;
  mTotal = 0;
}

}  // namespace vorn
