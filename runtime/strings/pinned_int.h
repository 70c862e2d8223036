// Integer arithmetic that pins at the 32-bit range instead of wrapping: coordinates, extents
// and offsets the language hands in may lie anywhere in it, and a sum past the end must mean
// "as far as it goes", never a value on the other side.
#pragma once

#include <cstdint>
#include <limits>

namespace vorn {

inline int32_t PinToInt32(int64_t value) {
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

inline int32_t AddPinned(int32_t a, int32_t b) { return PinToInt32(int64_t{a} + b); }

}  // namespace vorn
