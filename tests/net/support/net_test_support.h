// Helpers of the socket tests: delegates that log events, and polling until a condition holds.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "net/tcp_socket.h"
#include "net/udp_socket.h"

namespace vorn::testing {

// Polls every socket until the condition holds or about two seconds have passed.
bool PollUntil(const std::function<bool()>& done);
// Runs non-blocking run-loop iterations, as DoEvents does, until the condition holds or about
// two seconds have passed.
bool IterateUntil(const std::function<bool()>& done);

// How a foreign peer ends its side once its bytes are sent.
enum class PeerEnd { kClose, kShutdownWrite, kReset };
// Sends every byte on a blocking descriptor, then ends as told. A descriptor that only shut
// down writing stays open: the caller closes it.
void SendAndEnd(int fd, const std::string& bytes, PeerEnd end);
// A blocking client connected to a loopback port, or -1.
int LoopbackClient(int32_t port);

// A foreign peer that sends its bytes and ends before the program's first pass.
struct PeerEndRow {
  bool listening;  // the program's socket listens; else it connects to the peer
  PeerEnd end;
  size_t size;
};
std::ostream& operator<<(std::ostream& out, const PeerEndRow& row);
// Listening and connecting, each end, and sizes around every receive block a stream socket uses.
std::vector<PeerEndRow> PeerEndRows(std::initializer_list<PeerEnd> ends);
// The peer, which `open` connects or accepts, sends and ends; true once `closed` holds.
bool PeerSendsAndEnds(const PeerEndRow& row, const std::function<int()>& open, const std::function<bool()>& closed);
// Every byte the peer sent; after a reset, which may drop what the kernel held, the start of them.
bool ArrivedAsSent(const PeerEndRow& row, const std::string& received);
// Runs the row against a TCPSocket or IPCSocket that listens or connects as it says: the end
// is seen once, last, after every byte, and the socket closes.
template <typename Socket, typename Events>
void ExpectSeenEnding(const PeerEndRow& row, Socket& socket, Events& events, const std::function<int()>& open) {
  EXPECT_TRUE(PeerSendsAndEnds(row, open, [&] { return socket.GetHandle() == -1; })) << events.log;
  EXPECT_EQ(events.log.substr(std::min(events.log.size(), events.log.find("Error"))), "Error(102);");
  EXPECT_EQ(socket.LastError(), 102);
  EXPECT_FALSE(socket.IsConnected());
  EXPECT_TRUE(ArrivedAsSent(row, events.received + socket.ReadAll())) << events.received.size() << " bytes";  // kept past the error
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
