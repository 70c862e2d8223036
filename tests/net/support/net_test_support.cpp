#include "net/support/net_test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
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

std::string NoiseBytes(size_t count) {
  std::mt19937 noise(static_cast<unsigned>(count));
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(noise());
  return bytes;
}

std::ostream& operator<<(std::ostream& out, const PeerEndRow& row) {
  const char* ends[] = {"closes", "shuts down writing", "resets"};
  return out << (row.listening ? "listening, " : "connecting, ") << row.size << " bytes, the peer "
             << ends[static_cast<int>(row.end)];
}

std::vector<PeerEndRow> PeerEndRows(std::initializer_list<PeerEnd> ends) {
  const size_t granted = ReceiveQueue::RoomWithin(size_t{1} << 20);  // the largest block
  const std::vector<size_t> sizes = {0,     1,     10,    4095,        4096,    4097,        16383, 16384,
                                     16385, 65535, 65536, 65537, granted - 1, granted, granted + 1, size_t{2} << 20};
  std::vector<PeerEndRow> rows;
  for (bool listening : {true, false})
    for (PeerEnd end : ends)
      for (size_t size : sizes)
        rows.push_back({listening, end, size});
  return rows;
}

}  // namespace vorn::testing
