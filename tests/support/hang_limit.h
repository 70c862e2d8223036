// A time limit of its own for a test, or the part of one, that can hang (a wait nobody wakes, a
// loop that never ends): past it the test program ends at once with status 124, naming the test,
// instead of holding the run until CTest's limit for every test (tests/CMakeLists.txt).
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace vorn::test {

class HangLimit {
 public:
  // The limit leaves room for a machine busy with other work: what it catches never ends.
  explicit HangLimit(unsigned seconds = 30) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::snprintf(sMessage, sizeof sMessage, "%s.%s did not end within %u s: it hangs\n", test->test_suite_name(),
                  test->name(), seconds);
    mPrevious = signal(SIGALRM, [](int) {
      if (write(STDERR_FILENO, sMessage, strlen(sMessage)) < 0) _exit(125);
      _exit(124);
    });
    alarm(seconds);
  }
  ~HangLimit() {
    alarm(0);
    signal(SIGALRM, mPrevious);
  }

 private:
  static inline char sMessage[512];
  sighandler_t mPrevious;
};

}  // namespace vorn::test
