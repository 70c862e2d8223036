// A stream socket's received bytes: the blocks recv filled, kept as they came. Each block is a
// runtime string filled in place (its room is not cleared first), so a read that takes
// exactly the front block hands that string over: a program that reads what arrived pays for
// no copy beyond the kernel's.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <sys/types.h>

#include "strings/vstring.h"

namespace vorn {

class ReceiveQueue {
 public:
  // Fills a new block of up to `room` bytes through `receive` (recv's contract: the count, 0
  // at the end of the stream, -1 with errno); answers its result.
  template <typename Receive>
  ssize_t Fill(size_t room, Receive receive);
  // Up to count bytes from the front, removed.
  string TakeString(int64_t count);
  std::string Take(int64_t count);
  // Everything, left in place.
  std::string Peek() const;
  void Clear();
  int64_t Count() const { return mTotal; }

 private:
  static constexpr size_t kStagedRead = 16384;
  // kStagedRead bytes shared by every socket: socket work runs on one thread at a time.
  static char* StagingBuffer();
  // Copies count bytes (at most Count()) from the front into `into` and removes them.
  void MoveFront(int64_t count, char* into);

  std::deque<string> mBlocks;
  size_t mFrontStart = 0;  // bytes of the front block already taken
  int64_t mTotal = 0;
};

template <typename Receive>
ssize_t ReceiveQueue::Fill(size_t room, Receive receive) {
  string block;
  ssize_t count;
  if (room <= kStagedRead) {
    // A small read lands in the shared staging buffer and is kept in a block of its size:
    // one allocation, and a copy too short to matter.
    count = receive(StagingBuffer(), room);
    if (count <= 0) return count;
    block = string(StagingBuffer(), static_cast<int32_t>(count), kEncodingUnknown);
  } else {
    block.Reserve(static_cast<int32_t>(room));
    count = receive(block.MutableBytes(), room);
    if (count <= 0) return count;
    block.SetFilledLength(static_cast<int32_t>(count));
    // A short read gives back the room it did not use: held memory stays near the bytes held.
    if (static_cast<size_t>(count) < room / 2) block.FitCapacity();
  }
  mTotal += count;
  mBlocks.push_back(std::move(block));
  return count;
}

}  // namespace vorn
