#include "support/hang_limit.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace vorn::test {

HangLimit::HangLimit(int seconds) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  mWhat = test ? std::string(test->test_suite_name()) + "." + test->name() : std::string("the test program");
  mWatch = std::thread([this, seconds] {
    std::unique_lock lock(mMutex);
    if (mOver.wait_for(lock, std::chrono::seconds(seconds), [this] { return mDone; })) return;
    std::fprintf(stderr, "%s did not end within %d s: it hangs\n", mWhat.c_str(), seconds);
    std::fflush(stderr);
    _exit(124);
  });
}

HangLimit::~HangLimit() {
  {
    std::lock_guard lock(mMutex);
    mDone = true;
  }
  mOver.notify_one();
  mWatch.join();
}

}  // namespace vorn::test
