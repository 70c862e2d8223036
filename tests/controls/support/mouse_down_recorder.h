// A MouseDown handler for controls that records where the last click went and refuses it.
#pragma once

#include <cstdint>

#include "vorn/object_abi.h"

namespace vorn::test {

struct MouseDownRecord {
  int32_t x = -1;
  int32_t y = -1;
  int count = 0;
};

// What RecordMouseDown saw since the last reset.
MouseDownRecord& RecordedMouseDowns();
void ResetRecordedMouseDowns();

}  // namespace vorn::test

extern "C" uint8_t RecordMouseDown(VornRuntimeObject* self, int32_t x, int32_t y);
