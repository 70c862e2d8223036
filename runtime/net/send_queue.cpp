#include "net/send_queue.h"

#include <algorithm>

namespace vorn {

void SendQueue::Gather(const char* from, size_t left) {
  mTotal += static_cast<int64_t>(left);
  while (left > 0) {
    if (mPieces.Empty() || !mPieces.Back().shared.IsEmpty() || mPieces.Back().gathered.size() >= kGatherLimit)
      mPieces.EmplaceBack();
    std::string& tail = mPieces.Back().gathered;
    size_t take = std::min(left, kGatherLimit - tail.size());
    tail.append(from, take);
    from += take;
    left -= take;
  }
}

void SendQueue::Share(const string& bytes) {
  // The front piece is never empty while bytes wait: an emptied gathering buffer takes it.
  if (mTotal != 0 || mPieces.Empty()) mPieces.EmplaceBack();
  mPieces.Back().shared = bytes;
  mTotal += bytes.Length();
}

void SendQueue::ConsumePieces(int64_t n) {
  n = std::min(n, mTotal);
  mTotal -= n;
  while (n > 0) {
    Piece& front = mPieces.Front();
    auto left = static_cast<int64_t>(front.Size() - front.start);
    if (n < left) {
      front.start += static_cast<size_t>(n);
      return;
    }
    n -= left;
    if (mPieces.Size() == 1 && front.shared.IsEmpty()) {
      // The last gathering buffer stays, its room kept for the next short writes.
      front.gathered.clear();
      front.start = 0;
      return;
    }
    mPieces.PopFront();
  }
}

void SendQueue::Clear() {
  mPieces.Clear();
  mTotal = 0;
}

}  // namespace vorn
