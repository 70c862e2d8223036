// The growable vector of the menu code: children of a menu node, clone lists and the shortcut
// table all grow and shrink by the same rule, so memory follows the count closely even for
// menus that are rebuilt again and again.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

namespace vorn {

template <typename T>
class MenuVector {
 public:
  static constexpr uint32_t kMinimumGrowth = 16;

  explicit MenuVector(uint32_t step = 0) : mStep(step) {}
  MenuVector(const MenuVector&) = delete;
  MenuVector& operator=(const MenuVector&) = delete;

  uint32_t Count() const { return mCount; }
  uint32_t Capacity() const { return mCapacity; }
  T& operator[](uint32_t index) { return mData[index]; }
  const T& operator[](uint32_t index) const { return mData[index]; }
  T* begin() { return mData.get(); }
  T* end() { return mData.get() + mCount; }

  void Append(T value) { Insert(mCount, std::move(value)); }

  // The caller has checked 0 <= position <= Count().
  void Insert(uint32_t position, T value) {
    if (mCount == mCapacity) Grow();
    for (uint32_t i = mCount; i > position; --i) mData[i] = std::move(mData[i - 1]);
    mData[position] = std::move(value);
    ++mCount;
  }

  // The caller has checked 0 <= position < Count().
  void RemoveAt(uint32_t position) {
    for (uint32_t i = position; i + 1 < mCount; ++i) mData[i] = std::move(mData[i + 1]);
    --mCount;
    mData[mCount] = T();
    Shrink();
  }

  // The first index holding the value, or -1.
  int32_t IndexOf(const T& value) const {
    for (uint32_t i = 0; i < mCount; ++i) {
      if (mData[i] == value) return static_cast<int32_t>(i);
    }
    return -1;
  }

  // A capacity below the count cuts the count.
  void Resize(uint32_t capacity) {
    std::unique_ptr<T[]> data = capacity ? std::make_unique<T[]>(capacity) : nullptr;
    uint32_t kept = mCount < capacity ? mCount : capacity;
    for (uint32_t i = 0; i < kept; ++i) data[i] = std::move(mData[i]);
    mData = std::move(data);
    mCapacity = capacity;
    mCount = kept;
  }

 private:
  void Grow() {
    uint32_t growth = mStep ? mStep : mCapacity;
    if (growth < kMinimumGrowth) growth = kMinimumGrowth;
    Resize(mCapacity + growth);
  }

  void Shrink() {
    if (mStep) {
      if (mCapacity - mCount > 2 * mStep) Resize((mCount / mStep + 1) * mStep);
    } else if (mCapacity - mCount > 2 * mCount) {
      Resize(mCount / kMinimumGrowth * kMinimumGrowth + kMinimumGrowth);
    }
  }

  uint32_t mStep;
  uint32_t mCount = 0;
  uint32_t mCapacity = 0;
  std::unique_ptr<T[]> mData;
};

}  // namespace vorn
