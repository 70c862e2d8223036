#include "net/support/net_test_support.h"

#include <chrono>
#include <thread>

#include "core/run_loop.h"
#include "net/socket_core.h"

namespace vorn::testing {

bool PollUntil(const std::function<bool()>& done) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    PollAllSockets(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool IterateUntil(const std::function<bool()>& done) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    RunMainLoopOnce(false);
  }
  return true;
}

}  // namespace vorn::testing
