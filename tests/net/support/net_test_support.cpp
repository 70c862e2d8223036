#include "net/support/net_test_support.h"

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "core/run_loop.h"
#include "net/receive_queue.h"
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

void SendAndEnd(int fd, const std::string& bytes, PeerEnd end) {
  for (size_t at = 0; at < bytes.size();) {
    ssize_t sent = send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
    if (sent <= 0) break;
    at += static_cast<size_t>(sent);
  }
  if (end == PeerEnd::kShutdownWrite) {
    shutdown(fd, SHUT_WR);
    return;
  }
  if (end == PeerEnd::kReset) {
    linger abort{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  }
  close(fd);
}

std::string NoiseBytes(size_t count, unsigned seed) {
  std::mt19937 noise(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(noise());
  return bytes;
}

std::vector<size_t> SizesAroundReceiveBlocks() {
  const size_t granted = ReceiveQueue::RoomWithin(size_t{1} << 20);
  return {0,     1,     10,    4095,  4096,        4097,    16383,       16384,          16385,
          65535, 65536, 65537, granted - 1, granted, granted + 1, size_t{2} << 20};
}

}  // namespace vorn::testing
