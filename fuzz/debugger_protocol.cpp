// Fuzzes the program's side of the debugger link: bytes from the peer arrive in reads cut
// where the input says, are framed into lines and split into tag and payload, every field of
// every payload is decoded as a number and as a string, and every line goes to the session's
// command dispatcher (without a link, so answers go nowhere). Stores into memory and property
// getters are left out: they act on whatever the input names. No socket is involved.
#include <strings.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "net/debugger_connection.h"
#include "net/debug_session.h"
#include "net/debugger_encoding.h"

namespace {

struct PeerBytes {
  std::string bytes;
  std::string ReadAll() { return std::exchange(bytes, {}); }
};

class ReceivingConnection : public vorn::DebuggerConnection {
 public:
  void SendLine(const vorn::string&) override {}
  void Send(const vorn::string&, const vorn::string&) override {}
  void Listen() override {}
  void Close() override { DiscardReceivedLines(); }
  void Connect() override {}
  void Receive(std::string_view chunk) {
    peer.bytes.append(chunk);
    DispatchBufferedLines(&peer);
  }
  PeerBytes peer;
};

void CheckField(std::string_view field) {
  vorn::DebugTextProblem problem;
  uint32_t value = vorn::HexDecode32(field, &problem);
  if (problem == vorn::DebugTextProblem::kNone && vorn::HexEncode32(value).View() != field) __builtin_trap();
  vorn::HexDecode64(field);
  uint8_t wide[32];
  vorn::HexDecodeBytes(field, wide, sizeof wide);
  vorn::string text = vorn::DecodeDebugString(field, &problem);
  // A well-formed string with bytes reads back as the same text.
  if (problem == vorn::DebugTextProblem::kNone && text.Length() > 0 &&
      vorn::EncodeDebugString(text).View() != field)
    __builtin_trap();
}

class CheckingDelegate : public vorn::DebuggerConnectionDelegate {
 public:
  void HandleMessage(const vorn::string& tag, const vorn::string& payload) override {
    if (tag.View().find_first_of(" \r") != std::string_view::npos) __builtin_trap();
    if (payload.View().find('\r') != std::string_view::npos) __builtin_trap();
    ++lines;
    std::string_view name = tag.View();
    bool store = name.size() == 2 && (name[0] | 0x20) == 's' && std::string_view("bhwlsBHWLS").find(name[1]) != std::string_view::npos;
    bool getter = name.size() == 4 && strncasecmp(name.data(), "DPV", 3) == 0;
    if (!store && !getter) vorn::DispatchDebuggerCommand(tag, payload);
    std::string_view rest = payload.View();
    for (;;) {
      size_t blank = rest.find(' ');
      CheckField(rest.substr(0, blank));
      if (blank == std::string_view::npos) break;
      rest.remove_prefix(blank + 1);
    }
  }
  void Connected() override {}
  void Disconnected() override {}
  size_t lines = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  vorn::SetDebuggerProgramEnd([](int) {});
  size_t chunk = (data[0] & 15) + 1;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  ReceivingConnection connection;
  CheckingDelegate delegate;
  connection.AddDelegate(&delegate);
  for (size_t at = 0; at < input.size(); at += chunk) connection.Receive(input.substr(at, chunk));
  // One message per carriage return; what follows the last one waits for more bytes.
  size_t lastEnd = input.rfind('\r');
  size_t waiting = lastEnd == std::string_view::npos ? input.size() : input.size() - lastEnd - 1;
  size_t ends = 0;
  for (char c : input) ends += c == '\r';
  if (connection.ReceivedBytesWaiting() != waiting || delegate.lines != ends) __builtin_trap();
  return 0;
}
