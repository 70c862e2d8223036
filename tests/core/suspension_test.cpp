#include "core/suspension.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(SuspensionTest, SuspensionsNestAndAStrayResumeIsIgnored) {
  ResumeTimers();  // stray: must not let a later suspend count for nothing
  EXPECT_FALSE(TimersSuspended());
  SuspendTimers();
  SuspendTimers();
  ResumeTimers();
  EXPECT_TRUE(TimersSuspended());
  ResumeTimers();
  EXPECT_FALSE(TimersSuspended());

  ResumeThreadSwitching();
  SuspendThreadSwitching();
  EXPECT_TRUE(ThreadSwitchingSuspended());
  EXPECT_FALSE(TimersSuspended()) << "the two counters are independent";
  ResumeThreadSwitching();
  EXPECT_FALSE(ThreadSwitchingSuspended());
}

}  // namespace
}  // namespace vorn
