// The chunked byte buffer behind a socket's receive and send buffers: bytes are appended at
// the tail and read or consumed from the front, and no byte is ever moved once stored.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorn {

class MemoryManager {
 public:
  static constexpr size_t kChunkSize = 0x100000;

  MemoryManager() = default;
  ~MemoryManager();
  MemoryManager(const MemoryManager&) = delete;
  MemoryManager& operator=(const MemoryManager&) = delete;

  // Adds count bytes at the tail; nothing for a count below 1.
  void Append(const void* bytes, int32_t count);
  // The unread bytes of the head chunk and their count, without copying; nil and 0 when empty.
  const uint8_t* GetReadPointer(int32_t* count) const;
  // Discards up to n bytes from the front.
  void Consume(int64_t n);
  // Copies up to n bytes from the front into buffer, consuming them when remove is set; answers
  // the count copied.
  int32_t Read(void* buffer, int32_t n, bool remove);
  void Clear();
  // Unread bytes in all chunks.
  int64_t Count() const { return mTotal; }

 private:
  struct Chunk {
    Chunk* next;
    size_t start;  // first unread byte
    size_t end;    // one past the last stored byte
    uint8_t bytes[kChunkSize];
  };

  Chunk* mHead = nullptr;
  Chunk* mTail = nullptr;
  int64_t mTotal = 0;
};

}  // namespace vorn
