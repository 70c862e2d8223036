#include "net/support/net_test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/run_loop.h"
#include "net/receive_queue.h"
#include "net/socket_core.h"

namespace vorn::testing {

bool PollUntil(const std::function<bool()>& done, int seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    PollAllSockets(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool IterateUntil(const std::function<bool()>& done) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kWaitLimitSeconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    RunMainLoopOnce(false);
  }
  return true;
}

void SendAndEnd(int fd, const std::string& bytes, PeerEnd end) {
  for (size_t at = 0; at < bytes.size();) {
    const ssize_t sent = send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
    if (sent <= 0) break;
    at += static_cast<size_t>(sent);
  }
  const linger abort{1, 0};
  if (end == PeerEnd::kReset) setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  end == PeerEnd::kShutdownWrite ? shutdown(fd, SHUT_WR) : close(fd);
}

int LoopbackClient(int32_t port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in to{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
  return connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 ? fd : -1;
}

std::vector<PeerEndRow> PeerEndRows(std::initializer_list<PeerEnd> ends) {
  const size_t block = ReceiveQueue::RoomWithin(size_t{1} << 20);  // the largest
  std::vector<PeerEndRow> rows;
  for (PeerEnd end : ends)
    for (size_t size : {size_t{0}, size_t{1}, block - 1, block, block + 1, size_t{2} << 20}) rows.push_back({end, size});
  return rows;
}

}  // namespace vorn::testing
