// Sorting through callbacks, for data only the caller can compare and move (list rows, groups).
#pragma once

#include <cstdint>

namespace vorn {

using SortCompareProc = int32_t (*)(int32_t i, int32_t j, void* context);  // <0, 0, >0
using SortSwapProc = void (*)(int32_t i, int32_t j, void* context);

// Sorts the indexes [first, last) in place with an iterative quicksort; elements that compare
// equal do not keep their order. Nothing happens when the context or a callback is nil.
void SortWithCallbacks(int32_t first, int32_t last, SortCompareProc compare, SortSwapProc swap,
                       void* context);

}  // namespace vorn
