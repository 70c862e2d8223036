#include "strings/sort_callbacks.h"

namespace vorn {

void SortWithCallbacks(int32_t first, int32_t last, SortCompareProc compare, SortSwapProc swap,
                       void* context) {
  if (context == nullptr || compare == nullptr || swap == nullptr || last - first < 2) return;
  // Sorting the smaller side first and keeping the larger one on the stack bounds the stack
  // at log2 of the length: 32 ranges cover any int32 range.
  struct Range {
    int32_t low, high;  // [low, high)
  };
  Range stack[64];
  int32_t depth = 0;
  stack[depth++] = {first, last};
  while (depth > 0) {
    Range r = stack[--depth];
    while (r.high - r.low > 1) {
      // Three-way partition around the middle element, which is first moved to r.low. The
      // equal run [lt, gt] always starts with an element equal to the pivot, so comparisons
      // go against index lt while elements move.
      int32_t mid = r.low + (r.high - r.low) / 2;
      if (mid != r.low) swap(r.low, mid, context);
      int32_t lt = r.low, i = r.low + 1, gt = r.high - 1;
      while (i <= gt) {
        int32_t c = compare(i, lt, context);
        if (c < 0) {
          swap(lt, i, context);
          ++lt;
          ++i;
        } else if (c > 0) {
          if (i != gt) swap(i, gt, context);
          --gt;
        } else {
          ++i;
        }
      }
      Range less{r.low, lt}, greater{gt + 1, r.high};
      if (less.high - less.low < greater.high - greater.low) {
        stack[depth++] = greater;
        r = less;
      } else {
        stack[depth++] = less;
        r = greater;
      }
    }
  }
}

}  // namespace vorn
