// The runtime's clock: ticks, 60 per second, counted from the first reading in the process.
#pragma once

#include <cstdint>

namespace vorn {

constexpr uint32_t kTicksPerSecond = 60;

// Ticks since the clock's origin. The count wraps after about 2.2 years; compare two readings
// only through TicksElapsed.
uint32_t CurrentTicks();

// How far `later` lies after `earlier`, correct across the wrap of the 32-bit count.
inline int32_t TicksElapsed(uint32_t earlier, uint32_t later) {
  return static_cast<int32_t>(later - earlier);
}

// The millisecond time base of timers: ticks * 50 / 3 wrapped into a signed 32-bit value.
int32_t TicksToMilliseconds(uint32_t ticks);

// Milliseconds for a period given in ticks, at least 1 (a GTK timeout of 0 would spin).
uint32_t TicksToTimeoutMilliseconds(int32_t ticks);

// Tests and replay tools drive the clock themselves; nil restores the system clock.
using TickSource = uint32_t (*)();
TickSource SetTickSource(TickSource source);

}  // namespace vorn

extern "C" {
uint32_t TickCount();
uint32_t RuntimeTicks();
}
