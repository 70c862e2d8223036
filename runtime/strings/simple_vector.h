// The runtime's growable vector {step, data, count, capacity}.
//
// Growth: when full, the capacity grows by the step, or by the capacity itself when the step
// is 0, but never by fewer than 16 slots. After a removal the vector gives storage back once
// the free room exceeds twice the step (twice the count when the step is 0), down to the next
// multiple of the step above the count (the count with its low four bits cleared, plus 16).
#pragma once

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "strings/container_assert.h"
#include "strings/memory.h"

namespace vorn {

inline constexpr const char* kSimpleVectorSource = "../Universal/SimpleVector";
inline constexpr int32_t kSimpleVectorPopLine = 264;

template <typename T>
class SimpleVector {
 public:
  explicit constexpr SimpleVector(int32_t step = 0) : mStep(step < 0 ? 0 : step) {}
  ~SimpleVector() { Clear(); }
  SimpleVector(const SimpleVector&) = delete;
  SimpleVector& operator=(const SimpleVector&) = delete;

  int32_t Step() const { return mStep; }
  int32_t Count() const { return mCount; }
  int32_t Capacity() const { return mCapacity; }
  bool IsEmpty() const { return mCount == 0; }
  T* Data() { return mData; }
  const T* Data() const { return mData; }
  T* begin() { return mData; }
  T* end() { return mData + mCount; }
  const T* begin() const { return mData; }
  const T* end() const { return mData + mCount; }

  void Append(const T& value) { Emplace(value); }
  void Append(T&& value) { Emplace(std::move(value)); }

  // Element index; an index at or past the count first raises the count to index + 1 (new
  // slots default-constructed). A negative index is reported and reads slot 0.
  T& operator[](int32_t index) {
    if (index < 0) {
      ReportContainerAssertion(kSimpleVectorSource, __LINE__, "index >= 0");
      index = 0;
    }
    if (index >= mCount) {
      Reserve(static_cast<int64_t>(index) + 1);
      for (int32_t i = mCount; i <= index; ++i) new (mData + i) T();
      mCount = index + 1;
    }
    return mData[index];
  }

  // Inserts before index 0..count; outside that range the call is reported and ignored.
  void InsertAt(int32_t index, T value) {
    if (index < 0 || index > mCount) {
      ReportContainerAssertion(kSimpleVectorSource, __LINE__, "index >= 0 && index <= mCount");
      return;
    }
    Reserve(static_cast<int64_t>(mCount) + 1);
    if (index == mCount) {
      new (mData + mCount) T(std::move(value));
    } else {
      new (mData + mCount) T(std::move(mData[mCount - 1]));
      for (int32_t i = mCount - 1; i > index; --i) mData[i] = std::move(mData[i - 1]);
      mData[index] = std::move(value);
    }
    ++mCount;
  }

  // Removes index 0..count - 1, shifting the later elements down.
  void RemoveAt(int32_t index) {
    if (index < 0 || index >= mCount) {
      ReportContainerAssertion(kSimpleVectorSource, __LINE__, "index >= 0 && index < mCount");
      return;
    }
    for (int32_t i = index; i + 1 < mCount; ++i) mData[i] = std::move(mData[i + 1]);
    mData[--mCount].~T();
    ShrinkAfterRemoval();
  }

  // Removes and answers the last element; an empty vector is reported and answers T().
  T Pop() {
    if (mCount <= 0) {
      ReportContainerAssertion(kSimpleVectorSource, kSimpleVectorPopLine, "mCount > 0");
      return T();
    }
    T value = std::move(mData[mCount - 1]);
    mData[--mCount].~T();
    ShrinkAfterRemoval();
    return value;
  }

  // Exactly n slots (a negative n counts as 0), keeping the first min(count, n) elements.
  void SetCapacity(int32_t n) { Reallocate(n < 0 ? 0 : n); }

  void Clear() {
    for (int32_t i = 0; i < mCount; ++i) mData[i].~T();
    FreeMemory(mData);
    mData = nullptr;
    mCount = mCapacity = 0;
  }

 private:
  template <typename U>
  void Emplace(U&& value) {
    // A reference into this vector must survive the move to a larger buffer.
    if (mCount == mCapacity) {
      T copy(std::forward<U>(value));
      Reserve(static_cast<int64_t>(mCount) + 1);
      new (mData + mCount) T(std::move(copy));
    } else {
      new (mData + mCount) T(std::forward<U>(value));
    }
    ++mCount;
  }

  // Grows by the vector's rule until at least `needed` slots exist.
  void Reserve(int64_t needed) {
    if (needed <= mCapacity) return;
    int64_t capacity = mCapacity;
    while (capacity < needed) {
      int64_t by = mStep > 0 ? mStep : capacity;
      capacity += std::max<int64_t>(16, by);
    }
    Reallocate(static_cast<int32_t>(std::min<int64_t>(capacity, INT32_MAX)));
  }

  void ShrinkAfterRemoval() {
    int64_t freeRoom = mCapacity - mCount;
    int64_t capacity = mCapacity;
    if (mStep > 0) {
      if (freeRoom > 2 * static_cast<int64_t>(mStep)) capacity = (mCount / mStep + 1) * int64_t{mStep};
    } else if (freeRoom > 2 * static_cast<int64_t>(mCount)) {
      capacity = (mCount & ~int32_t{15}) + 16;
    }
    if (capacity < mCapacity) Reallocate(static_cast<int32_t>(capacity));
  }

  void Reallocate(int32_t capacity) {
    T* data = nullptr;
    if (capacity > 0) {
      data = static_cast<T*>(AllocMemory(sizeof(T) * static_cast<size_t>(capacity)));
    }
    int32_t kept = std::min(mCount, capacity);
    for (int32_t i = 0; i < kept; ++i) new (data + i) T(std::move(mData[i]));
    for (int32_t i = 0; i < mCount; ++i) mData[i].~T();
    FreeMemory(mData);
    mData = data;
    mCount = kept;
    mCapacity = capacity;
  }

  int32_t mStep;
  T* mData = nullptr;
  int32_t mCount = 0;
  int32_t mCapacity = 0;
};

}  // namespace vorn
