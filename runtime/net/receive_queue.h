// A stream socket's received bytes: the blocks recv filled, kept as they came. A long read's
// block is the runtime string recv filled in place (its room is not cleared first), so a read
// that takes exactly the front block hands that string over: a program that reads what
// arrived pays for no copy beyond the kernel's.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

#include "net/fifo.h"
#include "strings/vstring.h"

namespace vorn {

class ReceiveQueue {
 public:
  ReceiveQueue() = default;
  ~ReceiveQueue() { Clear(); }
  ReceiveQueue(const ReceiveQueue&) = delete;
  ReceiveQueue& operator=(const ReceiveQueue&) = delete;

  // Fills a new block of up to `room` bytes through `receive` (recv's contract: the count, 0
  // at the end of the stream, -1 with errno); answers its result.
  template <typename Receive>
  [[gnu::always_inline]] inline ssize_t Fill(size_t room, Receive receive);
  // Up to count bytes from the front, removed, tagged with the encoding.
  string TakeString(int64_t count, EncodingCode encoding = kEncodingUnknown) {
    if (mFrontStart == 0 && !mBlocks.Empty() && mBlocks.Front()->length == count) {
      // Reading what arrived: the block is handed over as it is.
      string bytes = string::Adopt(mBlocks.Front());
      mBlocks.PopFront();
      mTotal -= count;
      if (bytes.Encoding() != encoding) bytes.SetEncoding(encoding);
      KeepSpare(bytes.Rep());
      return bytes;
    }
    return TakeCopy(count, encoding);
  }
  std::string Take(int64_t count);
  // The most one block may take so that the block and its record fit in `bytes`. A receive
  // that asked for the whole megabyte the socket was granted would make blocks a few bytes
  // larger than a megabyte; freed megabytes (earlier blocks, send buffers) could then not
  // serve them, and the allocator would grow and trim the heap, a page fault a page, on every
  // receive.
  static size_t RoomWithin(size_t bytes) {
    constexpr size_t kRecord = string_block::kHeaderSize + sizeof(StringRep) + 2;
    return bytes > 2 * kRecord ? bytes - kRecord : bytes;
  }
  // Everything, left in place.
  std::string Peek() const;
  void Clear();
  int64_t Count() const { return mTotal; }

 private:
  // Reads up to this size are always copied out of a staging buffer.
  static constexpr size_t kCopiedRead = 16384;
  // Where short reads land, shared (socket work runs on one thread at a time).
  static char sSmallStaging[kCopiedRead];
  // The block every socket receives long reads into, shared as well; a long read takes it
  // over and the next receive starts a new one.
  static string& Staging();
  string TakeCopy(int64_t count, EncodingCode encoding);
  // Copies count bytes (at most Count()) from the front into `into` and removes them.
  void MoveFront(int64_t count, char* into);
  // A record holding a short read's bytes: the spare when the program let go of it and it
  // fits, a new one otherwise.
  StringRep* ShortBlock(const char* bytes, int32_t count);
  // A short block handed over whole stays known, with a reference of the queue's own.
  void KeepSpare(StringRep* block) {
    if (string_block::CapacityOf(block) > static_cast<string_block::Capacity>(kCopiedRead)) return;
    RetainStringRep(block);
    if (mSpare) ReleaseStringRep(mSpare);
    mSpare = block;
  }
  // Keeps a block of received bytes; the queue holds the record's one reference.
  void Push(StringRep* block, ssize_t count) {
    mBlocks.EmplaceBack(block);
    mTotal += count;
  }

  // Each block's record, with the one reference the queue holds; never empty.
  Fifo<StringRep*> mBlocks;
  size_t mFrontStart = 0;  // bytes of the front block already taken
  int64_t mTotal = 0;
  // The last short block handed to the program. Once the program has let go of it the next
  // short read is copied into it: the program's release was a decrement and the read needs
  // no new record, where a request and its reply would otherwise free and allocate one each.
  StringRep* mSpare = nullptr;
};

template <typename Receive>
ssize_t ReceiveQueue::Fill(size_t room, Receive receive) {
  if (room <= kCopiedRead) {
    // A short read lands in the shared buffer and is kept in a string of its size.
    ssize_t count = receive(sSmallStaging, room);
    if (count > 0) Push(ShortBlock(sSmallStaging, static_cast<int32_t>(count)), count);
    return count;
  }
  string& staging = Staging();
  staging.Reserve(static_cast<int32_t>(room));
  char* into = staging.MutableBytes();
  ssize_t count = receive(into, room);
  if (count <= 0) return count;
  auto got = static_cast<size_t>(count);
  if (got > kCopiedRead && 2 * got >= static_cast<size_t>(string_block::CapacityOf(staging.Rep()))) {
    // A read that filled half the block or more keeps it: no copy, and held memory stays
    // within twice the bytes held.
    staging.SetFilledLength(static_cast<int32_t>(got));
    Push(staging.GetRetainedRep(), count);
    staging = string();
  } else {
    // Anything shorter is kept at its size and the staging block waits for the next receive;
    // giving back the rest of a large block instead would make the allocator trim and grow
    // the heap on every such read.
    Push(NewStringRep(into, static_cast<int32_t>(got), kEncodingUnknown), count);
  }
  return count;
}

}  // namespace vorn
