// A time limit of its own for a test, or the part of one, that can hang: a wait nobody wakes, a
// loop that never ends. Past it the test program ends at once with status 124, naming the test,
// instead of holding the run until CTest's limit for every test (tests/CMakeLists.txt).
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace vorn::test {

class HangLimit {
 public:
  // The limit leaves room for a machine busy with other work: what it catches never ends.
  explicit HangLimit(int seconds = 30);
  ~HangLimit();
  HangLimit(const HangLimit&) = delete;
  HangLimit& operator=(const HangLimit&) = delete;

 private:
  std::string mWhat;
  std::mutex mMutex;
  std::condition_variable mOver;
  bool mDone = false;
  std::thread mWatch;
};

}  // namespace vorn::test
