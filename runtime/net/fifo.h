// A first-in first-out list over one vector, for the sockets' byte queues. Taking the front
// moves an index; when the last item goes the vector empties and keeps its room, so a queue
// that fills and drains (a request, its reply) allocates nothing after its first use and
// touches one small array instead of a deque's map and nodes.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace vorn {

template <typename T>
class Fifo {
 public:
  bool Empty() const { return mHead == mItems.size(); }
  size_t Size() const { return mItems.size() - mHead; }
  T& Front() { return mItems[mHead]; }
  const T& Front() const { return mItems[mHead]; }
  T& Back() { return mItems.back(); }
  // The i-th item from the front.
  const T& operator[](size_t i) const { return mItems[mHead + i]; }

  template <typename... Args>
  T& EmplaceBack(Args&&... args) {
    // Items taken from the front are dropped before the vector would grow, when they are at
    // least half of it: a queue that never empties stays within twice what it holds.
    if (mHead > 0 && mItems.size() == mItems.capacity() && 2 * mHead >= mItems.size()) {
      mItems.erase(mItems.begin(), mItems.begin() + static_cast<std::ptrdiff_t>(mHead));
      mHead = 0;
    }
    return mItems.emplace_back(std::forward<Args>(args)...);
  }
  // The front item is reset (whatever it holds goes now) and taken out.
  void PopFront() {
    mItems[mHead] = T();
    if (++mHead == mItems.size()) Clear();
  }
  void Clear() {
    mItems.clear();
    mHead = 0;
  }

 private:
  std::vector<T> mItems;
  size_t mHead = 0;
};

}  // namespace vorn
