// The runtime's integer-keyed hash map: a fixed 1,024 buckets chosen by (key * 13) & 0x3FF,
// entries {chain next, insertion-order next, key, value}; it never grows. Keys are wide enough
// for the addresses some callers key it by.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "strings/memory.h"

namespace vorn {

template <typename T>
class IntMap {
 public:
  static constexpr int32_t kBucketCount = 1024;

  static constexpr uint32_t BucketOf(intptr_t key) {
    return static_cast<uint32_t>((static_cast<uintptr_t>(key) * 13u) & 0x3FFu);
  }

  IntMap() = default;
  ~IntMap() {
    Clear();
    FreeMemory(mBuckets);
  }
  IntMap(const IntMap&) = delete;
  IntMap& operator=(const IntMap&) = delete;

  // Inserts, or replaces the value of a present key.
  void SetEntry(intptr_t key, T value) {
    if (Entry* found = Find(key)) {
      found->value = std::move(value);
      return;
    }
    if (mBuckets == nullptr) {
      mBuckets = static_cast<Entry**>(AllocClearedMemory(sizeof(Entry*) * kBucketCount));
    }
    auto* entry = static_cast<Entry*>(AllocMemory(sizeof(Entry)));
    Entry*& chain = mBuckets[BucketOf(key)];
    new (entry) Entry{chain, nullptr, key, std::move(value)};
    chain = entry;
    if (mLast) {
      mLast->orderNext = entry;
    } else {
      mFirst = entry;
    }
    mLast = entry;
    ++mCount;
  }

  // Whether the key is present; its value goes to *value when value is not nil.
  bool GetEntry(intptr_t key, T* value = nullptr) const {
    Entry* found = Find(key);
    if (found && value) *value = found->value;
    return found != nullptr;
  }

  void Clear() {
    for (Entry* e = mFirst; e != nullptr;) {
      Entry* next = e->orderNext;
      e->~Entry();
      FreeMemory(e);
      e = next;
    }
    mFirst = mLast = nullptr;
    mCount = 0;
    if (mBuckets) {
      for (int32_t i = 0; i < kBucketCount; ++i) mBuckets[i] = nullptr;
    }
  }

  int32_t Count() const { return mCount; }

  // Calls f(key, value) for every entry in insertion order.
  template <typename F>
  void ForEach(F&& f) const {
    for (Entry* e = mFirst; e != nullptr; e = e->orderNext) f(e->key, e->value);
  }

 private:
  struct Entry {
    Entry* chainNext;
    Entry* orderNext;
    intptr_t key;
    T value;
  };

  Entry* Find(intptr_t key) const {
    if (mBuckets == nullptr) return nullptr;
    for (Entry* e = mBuckets[BucketOf(key)]; e; e = e->chainNext) {
      if (e->key == key) return e;
    }
    return nullptr;
  }

  Entry** mBuckets = nullptr;
  Entry* mFirst = nullptr;
  Entry* mLast = nullptr;
  int32_t mCount = 0;
};

}  // namespace vorn
