// Helpers of the socket tests: delegates that log events, and polling until a condition holds.
#pragma once

#include <cstddef>
#include <functional>
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
// Bytes of no pattern a chunk size divides, the same for the same seed.
std::string NoiseBytes(size_t count, unsigned seed);
// Around every receive block a stream socket uses: the smallest, the copied limit, 64 KiB and
// the whole granted megabyte, and a stream larger than any.
std::vector<size_t> SizesAroundReceiveBlocks();
// Fewer bytes than this are all taken by the kernel before the receiving side reads.
constexpr size_t kFitsTheKernel = size_t{1} << 17;

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
