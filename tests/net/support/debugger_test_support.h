// Helpers of the debugger link's tests: a delegate that records what a connection tells it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "net/debugger_connection.h"

namespace vorn::testing {

class RecordingDebuggerDelegate : public DebuggerConnectionDelegate {
 public:
  void HandleMessage(const string& tag, const string& payload) override {
    messages.push_back(std::string(tag.View()) + "|" + std::string(payload.View()));
    if (onMessage) onMessage();
  }
  void Connected() override { events += "Connected;"; }
  void Disconnected() override { events += "Disconnected;"; }

  // "tag|payload" per message, in arrival order.
  std::vector<std::string> messages;
  std::string events;
  std::function<void()> onMessage;
};

}  // namespace vorn::testing
