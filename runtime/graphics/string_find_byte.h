#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

// 0-based index of the first byte equal to value at or after start (a negative start counts
// as 0); -1 when the text is empty, start lies beyond it or no byte matches.
int32_t StringFindByte(int32_t start, const string& text, uint8_t value);

}  // namespace vorn
