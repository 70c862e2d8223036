// Helpers of the socket tests: delegates that log events, and polling until a condition holds.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "net/tcp_socket.h"
#include "net/udp_socket.h"
#include "support/wait_limit.h"

namespace vorn::testing {

using test::kWaitLimitSeconds;

// Polls every socket until the condition holds or `seconds` have passed.
bool PollUntil(const std::function<bool()>& done, int seconds = kWaitLimitSeconds);
// Runs non-blocking run-loop iterations, as DoEvents does, until the condition holds or the limit.
bool IterateUntil(const std::function<bool()>& done);

// How a foreign peer ends its side once its bytes are sent.
enum class PeerEnd { kClose, kShutdownWrite, kReset };
// Sends every byte on a blocking descriptor, then ends as told; one that only shut down
// writing stays open for the caller to close.
void SendAndEnd(int fd, const std::string& bytes, PeerEnd end);
// A blocking client connected to a loopback port, or -1.
int LoopbackClient(int32_t port);

// A foreign peer that sends `size` bytes and ends before the program's first pass; the rows:
// each end at 0, 1, a receive block -1/0/+1 and one large stream.
struct PeerEndRow {
  PeerEnd end;
  size_t size;
};
std::vector<PeerEndRow> PeerEndRows(std::initializer_list<PeerEnd> ends);
// Runs the row against a TCPSocket or IPCSocket with the peer `open` connects or accepts: the
// end is seen once, last, after every byte, and the socket closes.
template <typename Socket, typename Events>
void ExpectSeenEnding(const PeerEndRow& row, Socket& socket, Events& events, const std::function<int()>& open) {
  SCOPED_TRACE(::testing::Message() << row.size << " bytes, end " << static_cast<int>(row.end));
  std::string sent(row.size, '\0');
  std::mt19937 noise(7);
  for (char& byte : sent) byte = static_cast<char>(noise());
  int peer = -1;
  auto sender = std::async(std::launch::async, [&] { SendAndEnd(peer = open(), sent, row.end); });
  // The kernel takes this much before the program's first pass; a larger stream ends while it reads.
  if (row.size < size_t{1} << 17) sender.wait();
  EXPECT_TRUE(PollUntil([&] { return socket.GetHandle() == -1; })) << events.log;
  sender.get();
  if (row.end == PeerEnd::kShutdownWrite) close(peer);
  EXPECT_EQ(events.log.substr(std::min(events.log.size(), events.log.find("Error"))), "Error(102);");
  EXPECT_EQ(socket.LastError(), 102);
  EXPECT_FALSE(socket.IsConnected());
  // Received bytes outlive the error; a reset may drop what the kernel held, but only at the end.
  const std::string received = events.received + socket.ReadAll();
  EXPECT_TRUE(row.end == PeerEnd::kReset ? sent.starts_with(received) : received == sent) << received.size() << " bytes";
}

class LoggingTCPDelegate : public TCPSocketDelegate {
 public:
  void Connected(TCPSocket*) override { log += "Connected;"; }
  void DataAvailable(TCPSocket* socket) override {
    log += "DataAvailable;";
    if (readOnData) received += socket->ReadAll();
  }
  void SendComplete(TCPSocket*) override { log += "SendComplete;"; }
  void Error(TCPSocket*, int32_t code) override { log += "Error(" + std::to_string(code) + ");"; }
  void SendProgress(TCPSocket*, int32_t, int32_t) override { ++progressCalls; }

  std::string log;
  std::string received;
  bool readOnData = false;
  int progressCalls = 0;
};

class LoggingUDPDelegate : public UDPSocketDelegate {
 public:
  void SendComplete(UDPSocket*) override { log += "SendComplete;"; }
  void Error(UDPSocket*, int32_t code) override { log += "Error(" + std::to_string(code) + ");"; }
  void DataAvailable(UDPSocket*) override { log += "DataAvailable;"; }
  std::string log;
};

}  // namespace vorn::testing
