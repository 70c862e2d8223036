// A stream socket's received bytes: the blocks recv filled, kept as they came. A read that
// takes exactly the front block hands that block over without copying it, so a program that
// reads what arrived pays for no copy beyond the kernel's.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <sys/types.h>

namespace vorn {

class ReceiveQueue {
 public:
  // Fills a new block of up to `room` bytes through `receive` (recv's contract: the count, 0
  // at the end of the stream, -1 with errno); answers its result.
  template <typename Receive>
  ssize_t Fill(size_t room, Receive receive);
  // Up to count bytes from the front, removed.
  std::string Take(int64_t count);
  // Everything, left in place.
  std::string Peek() const;
  void Clear();
  int64_t Count() const { return mTotal; }

 private:
  std::deque<std::string> mBlocks;
  size_t mFrontStart = 0;  // bytes of the front block already taken
  int64_t mTotal = 0;
};

template <typename Receive>
ssize_t ReceiveQueue::Fill(size_t room, Receive receive) {
  std::string block(room, '\0');
  ssize_t count = receive(block.data(), room);
  if (count <= 0) return count;
  // A short read keeps a right-sized copy: held memory stays near the bytes held.
  if (static_cast<size_t>(count) < room / 2) block = std::string(block.data(), static_cast<size_t>(count));
  else block.resize(static_cast<size_t>(count));
  mTotal += count;
  mBlocks.push_back(std::move(block));
  return count;
}

}  // namespace vorn
