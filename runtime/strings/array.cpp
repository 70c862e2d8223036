#include "strings/array.h"

#include <algorithm>
#include <cstring>

#include "strings/container_assert.h"
#include "strings/memory.h"

namespace vorn {

namespace {

constexpr const char* kArraySource = "../Universal/Array";

void Reverse(intptr_t* first, intptr_t* last) { std::reverse(first, last); }

}  // namespace

Array::~Array() { FreeMemory(mData); }

void Array::Reserve(int32_t needed) {
  if (needed <= mCapacity) return;
  int64_t capacity = mCapacity;
  while (capacity < needed) capacity += std::max<int64_t>(16, capacity);
  capacity = std::min<int64_t>(capacity, INT32_MAX);
  mData = static_cast<intptr_t*>(
      ReallocMemory(mData, sizeof(intptr_t) * static_cast<size_t>(capacity)));
  mCapacity = static_cast<int32_t>(capacity);
}

intptr_t Array::GetAt(int32_t index) const {
  if (index < 0 || index >= mCount) {
    ReportContainerAssertion(kArraySource, __LINE__, "index >= 0 && index < Count()");
    return 0;
  }
  return mData[index];
}

void Array::SetAt(int32_t index, intptr_t value) {
  if (index < 0 || index >= mCount) {
    ReportContainerAssertion(kArraySource, __LINE__, "index >= 0 && index < Count()");
    return;
  }
  mData[index] = value;
}

int32_t Array::Append(intptr_t value) {
  Reserve(mCount + 1);
  mData[mCount++] = value;
  return mCount;
}

void Array::InsertAt(int32_t index, intptr_t value) {
  if (index < 0 || index > mCount) {
    ReportContainerAssertion(kArraySource, __LINE__, "index >= 0 && index <= Count()");
    return;
  }
  Reserve(mCount + 1);
  std::memmove(mData + index + 1, mData + index, sizeof(intptr_t) * static_cast<size_t>(mCount - index));
  mData[index] = value;
  ++mCount;
}

void Array::RemoveAt(int32_t index) {
  if (index < 0 || index >= mCount) {
    ReportContainerAssertion(kArraySource, __LINE__, "index >= 0 && index < Count()");
    return;
  }
  std::memmove(mData + index, mData + index + 1,
               sizeof(intptr_t) * static_cast<size_t>(mCount - index - 1));
  --mCount;
}

void Array::SetCount(int32_t count) {
  if (count < 0) {
    ReportContainerAssertion(kArraySource, __LINE__, "count >= 0");
    return;
  }
  if (count == 0) {
    FreeMemory(mData);
    mData = nullptr;
    mCount = mCapacity = 0;
    return;
  }
  Reserve(count);
  for (int32_t i = mCount; i < count; ++i) mData[i] = 0;
  mCount = count;
}

void Array::ExchangeRanges(int32_t start1, int32_t count1, int32_t start2, int32_t count2) {
  if (start2 < start1) {
    std::swap(start1, start2);
    std::swap(count1, count2);
  }
  int64_t end1 = int64_t{start1} + count1;
  int64_t end2 = int64_t{start2} + count2;
  if (start1 < 0 || count1 < 0 || count2 < 0 || end1 > start2 || end2 > mCount) {
    ReportContainerAssertion(kArraySource, __LINE__, "ranges inside the array and apart");
    return;
  }
  // [A][M][B] -> [B][M][A]: reverse each part, then the whole.
  intptr_t* a = mData + start1;
  intptr_t* m = mData + end1;
  intptr_t* b = mData + start2;
  intptr_t* end = mData + end2;
  Reverse(a, m);
  Reverse(m, b);
  Reverse(b, end);
  Reverse(a, end);
}

}  // namespace vorn
