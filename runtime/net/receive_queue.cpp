#include "net/receive_queue.h"

#include <algorithm>

namespace vorn {

std::string ReceiveQueue::Take(int64_t count) {
  count = std::min(count, mTotal);
  if (count < 1) return {};
  if (mFrontStart == 0 && static_cast<int64_t>(mBlocks.front().size()) == count) {
    std::string whole = std::move(mBlocks.front());
    mBlocks.pop_front();
    mTotal -= count;
    return whole;
  }
  std::string bytes;
  bytes.reserve(static_cast<size_t>(count));
  while (static_cast<int64_t>(bytes.size()) < count) {
    const std::string& front = mBlocks.front();
    size_t take = std::min(front.size() - mFrontStart, static_cast<size_t>(count) - bytes.size());
    bytes.append(front, mFrontStart, take);
    mFrontStart += take;
    if (mFrontStart == front.size()) {
      mBlocks.pop_front();
      mFrontStart = 0;
    }
  }
  mTotal -= count;
  return bytes;
}

std::string ReceiveQueue::Peek() const {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(mTotal));
  for (size_t i = 0; i < mBlocks.size(); ++i) bytes.append(mBlocks[i], i == 0 ? mFrontStart : 0);
  return bytes;
}

void ReceiveQueue::Clear() {
  mBlocks.clear();
  mFrontStart = 0;
  mTotal = 0;
}

}  // namespace vorn
