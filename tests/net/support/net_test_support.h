// Helpers of the socket tests: delegates that log events, and polling until a condition holds.
#pragma once

#include <functional>
#include <string>

#include "net/tcp_socket.h"
#include "net/udp_socket.h"

namespace vorn::testing {

// Polls every socket until the condition holds or about two seconds have passed.
bool PollUntil(const std::function<bool()>& done);
// Runs non-blocking run-loop iterations, as DoEvents does, until the condition holds or about
// two seconds have passed.
bool IterateUntil(const std::function<bool()>& done);

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
