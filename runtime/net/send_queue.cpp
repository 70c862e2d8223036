#include "net/send_queue.h"

#include <algorithm>

namespace vorn {

void SendQueue::Append(const void* bytes, int32_t count) {
  if (!bytes || count < 1) return;
  mTotal += count;
  const char* from = static_cast<const char*>(bytes);
  auto left = static_cast<size_t>(count);
  while (left > 0) {
    if (mPieces.empty() || !mPieces.back().shared.IsEmpty() || mPieces.back().gathered.size() >= kGatherLimit)
      mPieces.emplace_back();
    std::string& tail = mPieces.back().gathered;
    size_t take = std::min(left, kGatherLimit - tail.size());
    tail.append(from, take);
    from += take;
    left -= take;
  }
}

void SendQueue::Append(const string& bytes) {
  if (bytes.Length() < kSharedWrite) {
    Append(bytes.CString(), bytes.Length());
    return;
  }
  // The front piece is never empty while bytes wait: an emptied gathering buffer takes it.
  if (mTotal != 0 || mPieces.empty()) mPieces.emplace_back();
  mPieces.back().shared = bytes;
  mTotal += bytes.Length();
}

const char* SendQueue::Front(int32_t* count) const {
  if (mTotal == 0) {
    *count = 0;
    return nullptr;
  }
  const Piece& front = mPieces.front();
  *count = static_cast<int32_t>(front.Size() - front.start);
  return front.Bytes() + front.start;
}

void SendQueue::Consume(int64_t n) {
  n = std::min(n, mTotal);
  mTotal -= n;
  while (n > 0) {
    Piece& front = mPieces.front();
    auto left = static_cast<int64_t>(front.Size() - front.start);
    if (n < left) {
      front.start += static_cast<size_t>(n);
      return;
    }
    n -= left;
    if (mPieces.size() == 1 && front.shared.IsEmpty()) {
      // The last gathering buffer stays, its room kept for the next short writes.
      front.gathered.clear();
      front.start = 0;
      return;
    }
    mPieces.pop_front();
  }
}

void SendQueue::Clear() {
  mPieces.clear();
  mTotal = 0;
}

}  // namespace vorn
