#include "net/receive_queue.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace vorn {

char ReceiveQueue::sSmallStaging[kCopiedRead];

string& ReceiveQueue::Staging() {
  static auto* staging = new string();
  return *staging;
}

StringRep* ReceiveQueue::ShortBlock(const char* bytes, int32_t count) {
  string spare = string::Adopt(std::exchange(mSpare, nullptr));
  if (StringRep* rep = spare.Rep()) {
    // Held memory stays within twice the bytes held.
    string_block::Capacity room = string_block::CapacityOf(rep);
    if (rep->refCount == 1 && room >= count && room <= 2 * static_cast<string_block::Capacity>(count)) {
      // Nobody else holds the record, so it is filled again in place.
      std::memcpy(spare.MutableBytes(), bytes, static_cast<size_t>(count));
      spare.SetFilledLength(count);
      spare.SetEncoding(kEncodingUnknown);
      return spare.GetRetainedRep();
    }
  }
  return NewStringRep(bytes, count, kEncodingUnknown);
}

void ReceiveQueue::MoveFront(int64_t count, char* into) {
  int64_t moved = 0;
  while (moved < count) {
    const StringRep* front = mBlocks.Front();
    size_t take = std::min(static_cast<size_t>(front->length) - mFrontStart, static_cast<size_t>(count - moved));
    std::memcpy(into + moved, front->buffer + 1 + mFrontStart, take);
    moved += static_cast<int64_t>(take);
    mFrontStart += take;
    if (mFrontStart == static_cast<size_t>(front->length)) {
      ReleaseStringRep(mBlocks.Front());
      mBlocks.PopFront();
      mFrontStart = 0;
    }
  }
  mTotal -= count;
}

string ReceiveQueue::TakeCopy(int64_t count, EncodingCode encoding) {
  count = std::min({count, mTotal, int64_t{INT32_MAX}});
  if (count < 1) return {};
  string bytes;
  bytes.Reserve(static_cast<int32_t>(count));
  MoveFront(count, bytes.MutableBytes());
  bytes.SetFilledLength(static_cast<int32_t>(count));
  bytes.SetEncoding(encoding);
  return bytes;
}

std::string ReceiveQueue::Take(int64_t count) {
  count = std::min(count, mTotal);
  if (count < 1) return {};
  std::string bytes(static_cast<size_t>(count), '\0');
  MoveFront(count, bytes.data());
  return bytes;
}

std::string ReceiveQueue::Peek() const {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(mTotal));
  for (size_t i = 0; i < mBlocks.Size(); ++i) {
    size_t skip = i == 0 ? mFrontStart : 0;
    bytes.append(mBlocks[i]->buffer + 1 + skip, static_cast<size_t>(mBlocks[i]->length) - skip);
  }
  return bytes;
}

void ReceiveQueue::Clear() {
  while (!mBlocks.Empty()) {
    ReleaseStringRep(mBlocks.Front());
    mBlocks.PopFront();
  }
  mFrontStart = 0;
  mTotal = 0;
  ReleaseStringRep(std::exchange(mSpare, nullptr));
}

}  // namespace vorn
