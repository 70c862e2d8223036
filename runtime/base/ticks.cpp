#include "base/ticks.h"

#include <time.h>

namespace vorn {

namespace {

// A monotonic clock: the wall clock may be set back, and ticks must never run backwards.
uint64_t MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

uint32_t SystemTicks() {
  static const uint64_t origin = MonotonicNanoseconds();
  uint64_t elapsed = MonotonicNanoseconds() - origin;
  return static_cast<uint32_t>(elapsed * kTicksPerSecond / 1000000000u);
}

TickSource sTickSource = nullptr;

}  // namespace

uint32_t CurrentTicks() { return sTickSource ? sTickSource() : SystemTicks(); }

TickSource SetTickSource(TickSource source) {
  TickSource previous = sTickSource;
  sTickSource = source;
  return previous;
}

int32_t TicksToMilliseconds(uint32_t ticks) {
  // Widened first: ticks * 50 overflows 32 bits after about 20 days.
  uint64_t ms = static_cast<uint64_t>(ticks) * 50u / 3u;
  return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

uint32_t TicksToTimeoutMilliseconds(int32_t ticks) {
  if (ticks <= 0) return 1;
  uint64_t ms = static_cast<uint64_t>(ticks) * 1000u / kTicksPerSecond;
  if (ms == 0) return 1;
  return ms > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(ms);
}

}  // namespace vorn

uint32_t TickCount() { return vorn::CurrentTicks(); }
uint32_t RuntimeTicks() { return vorn::CurrentTicks(); }
