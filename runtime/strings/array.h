// Growable array of pointer-sized values (pane lists, row entries, row indexes). Every index is
// checked: a bad one is reported as a failed assertion and the call answers 0 or does nothing.
#pragma once

#include <cstdint>

namespace vorn {

class Array {
 public:
  Array() = default;
  ~Array();
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;

  int32_t Count() const { return mCount; }
  intptr_t GetAt(int32_t index) const;  // 0..count - 1
  void SetAt(int32_t index, intptr_t value);
  // Answers the new count.
  int32_t Append(intptr_t value);
  void InsertAt(int32_t index, intptr_t value);  // 0..count
  void RemoveAt(int32_t index);
  // Grows with zeros or cuts; 0 empties the array and frees its storage.
  void SetCount(int32_t count);
  // Exchanges the ranges [start1, start1 + count1) and [start2, start2 + count2), which must
  // not overlap; what lies between them shifts so that everything stays contiguous.
  void ExchangeRanges(int32_t start1, int32_t count1, int32_t start2, int32_t count2);

 private:
  void Reserve(int32_t needed);

  intptr_t* mData = nullptr;
  int32_t mCount = 0;
  int32_t mCapacity = 0;
};

}  // namespace vorn
