#include "controls/support/mouse_down_recorder.h"

namespace vorn::test {

MouseDownRecord& RecordedMouseDowns() {
  static MouseDownRecord record;
  return record;
}

void ResetRecordedMouseDowns() { RecordedMouseDowns() = MouseDownRecord(); }

}  // namespace vorn::test

extern "C" uint8_t RecordMouseDown(VornRuntimeObject*, int32_t x, int32_t y) {
  vorn::test::MouseDownRecord& record = vorn::test::RecordedMouseDowns();
  record.x = x;
  record.y = y;
  ++record.count;
  return 0;
}
