#include "base/ticks.h"

#include <gtest/gtest.h>
#include <time.h>

namespace vorn {
namespace {

TEST(TicksTest, MillisecondsFollowTheTimerTimeBase) {
  EXPECT_EQ(TicksToMilliseconds(0), 0);
  EXPECT_EQ(TicksToMilliseconds(3), 50);
  EXPECT_EQ(TicksToMilliseconds(60), 1000);
  EXPECT_EQ(TicksToMilliseconds(1), 16);  // truncated, not rounded
  EXPECT_EQ(TicksToMilliseconds(2), 33);
}

TEST(TicksTest, MillisecondsWrapIntoSigned32Bits) {
  // 128849019 ticks * 50 / 3 = 2147483650, just past 2^31: the value wraps to the negatives.
  EXPECT_EQ(TicksToMilliseconds(128849018), 2147483633);
  EXPECT_EQ(TicksToMilliseconds(128849019), -2147483646);
  // The product overflows 32 bits long before the tick count does.
  EXPECT_EQ(TicksToMilliseconds(0xFFFFFFFFu), static_cast<int32_t>(0xFFFFFFFFull * 50 / 3));
  // Signed differences stay right across the wrap: one second apart is 1000 ms apart.
  int32_t before = TicksToMilliseconds(128849019 - 30);
  int32_t after = TicksToMilliseconds(128849019 + 30);
  EXPECT_EQ(static_cast<int32_t>(static_cast<uint32_t>(after) - static_cast<uint32_t>(before)),
            1000);
}

TEST(TicksTest, ElapsedIsCorrectAcrossTheWrapOfTheCount) {
  EXPECT_EQ(TicksElapsed(10, 70), 60);
  EXPECT_EQ(TicksElapsed(70, 10), -60);
  EXPECT_EQ(TicksElapsed(0xFFFFFFF0u, 0x10u), 0x20);
}

TEST(TicksTest, TimeoutIntervalsAreNeverZero) {
  EXPECT_EQ(TicksToTimeoutMilliseconds(-5), 1u);
  EXPECT_EQ(TicksToTimeoutMilliseconds(0), 1u);
  EXPECT_EQ(TicksToTimeoutMilliseconds(1), 16u);
  EXPECT_EQ(TicksToTimeoutMilliseconds(60), 1000u);
  // Beyond GLib's 32-bit interval a period is held at the longest interval there is.
  EXPECT_EQ(TicksToTimeoutMilliseconds(INT32_MAX), UINT32_MAX);
  EXPECT_EQ(TicksToTimeoutMilliseconds(257698037), 4294967283u);
}

TEST(TicksTest, SystemClockRunsAtSixtyPerSecond) {
  uint32_t start = TickCount();
  timespec pause{0, 250'000'000};
  nanosleep(&pause, nullptr);
  int32_t elapsed = TicksElapsed(start, RuntimeTicks());
  // 15 ticks in a quarter second; the scheduler may add a little.
  EXPECT_GE(elapsed, 14);
  EXPECT_LE(elapsed, 30);
}

uint32_t sFakeNow = 0;
uint32_t FakeTicks() { return sFakeNow; }

TEST(TicksTest, AnInstalledSourceReplacesTheClockUntilRemoved) {
  sFakeNow = 12345;
  TickSource previous = SetTickSource(&FakeTicks);
  EXPECT_EQ(TickCount(), 12345u);
  sFakeNow = 12346;
  EXPECT_EQ(RuntimeTicks(), 12346u);
  EXPECT_EQ(SetTickSource(previous), &FakeTicks);
  EXPECT_LT(TicksElapsed(12346, TickCount()), 0) << "back on the process clock, near zero";
}

}  // namespace
}  // namespace vorn
