#include "net/receive_queue.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vorn {

char* ReceiveQueue::SmallStaging() {
  static char staging[kCopiedRead];
  return staging;
}

string& ReceiveQueue::Staging() {
  static auto* staging = new string();
  return *staging;
}

void ReceiveQueue::MoveFront(int64_t count, char* into) {
  int64_t moved = 0;
  while (moved < count) {
    const string& front = mBlocks.front();
    size_t take = std::min(static_cast<size_t>(front.Length()) - mFrontStart, static_cast<size_t>(count - moved));
    std::memcpy(into + moved, front.CString() + mFrontStart, take);
    moved += static_cast<int64_t>(take);
    mFrontStart += take;
    if (mFrontStart == static_cast<size_t>(front.Length())) {
      mBlocks.pop_front();
      mFrontStart = 0;
    }
  }
  mTotal -= count;
}

string ReceiveQueue::TakeString(int64_t count, EncodingCode encoding) {
  count = std::min({count, mTotal, int64_t{INT32_MAX}});
  if (count < 1) return {};
  string bytes;
  if (mFrontStart == 0 && mBlocks.front().Length() == count) {
    bytes = std::move(mBlocks.front());
    mBlocks.pop_front();
    mTotal -= count;
  } else {
    bytes.Reserve(static_cast<int32_t>(count));
    MoveFront(count, bytes.MutableBytes());
    bytes.SetFilledLength(static_cast<int32_t>(count));
  }
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
  for (size_t i = 0; i < mBlocks.size(); ++i) bytes.append(mBlocks[i].View().substr(i == 0 ? mFrontStart : 0));
  return bytes;
}

void ReceiveQueue::Clear() {
  mBlocks.clear();
  mFrontStart = 0;
  mTotal = 0;
}

}  // namespace vorn
