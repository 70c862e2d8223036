// The longest text a record holds, lowered for tests.
#pragma once

#include <cstdint>

namespace vorn {

// Lowers the longest length RecordLength (vstring.h) lets through, so that a test drives a text
// maker past it without gigabytes; 0 or less restores kLongestStringBytes.
void SetLongestRecordLengthForTests(int32_t bytes);

}  // namespace vorn
