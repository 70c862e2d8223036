// The link between a program built for debugging and the development environment (IDE): one
// text connection over a local socket or TCP. The program always connects; the IDE listens.
// A connection turns received lines into (tag, payload) calls on its delegates and sends
// messages framed by debugger_lines.h.
//
// The debug session plugs in by implementing DebuggerConnectionDelegate and adding it to the
// connection that CreateDebuggerConnection makes; it answers through Send. Delegates run on
// the thread that polls the sockets. A delegate may add or remove delegates and may Close the
// connection from a callback, but must not delete the connection there: the socket is still
// delivering its events.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "net/debugger_lines.h"
#include "net/smart_ref.h"
#include "strings/simple_vector.h"
#include "strings/vstring.h"

namespace vorn {

// The local socket's name, inside a folder only the user can reach (DebuggerSocketFolder).
constexpr const char* kDebuggerSocketName = "VNLocalDebug";
constexpr int32_t kDebuggerPort = 13897;
// The host that selects the local socket instead of TCP.
constexpr const char* kDebuggerLocalHost = "127.0.0.1";

// The user's runtime folder when it is private to the user, else a folder of mode 0700 made
// under the temporary folder for this user and checked to be a real folder the user owns and
// no one else can enter; empty when none can be had (the local link then cannot start).
std::string DebuggerSocketFolder();
// The folder and the name; empty with the folder.
std::string DebuggerSocketPath();

class DebuggerConnectionDelegate {
 public:
  virtual ~DebuggerConnectionDelegate() = default;
  virtual void HandleMessage(const string& tag, const string& payload) = 0;
  virtual void Connected() = 0;
  virtual void Disconnected() = 0;
};

class DebuggerConnection {
 public:
  DebuggerConnection() = default;
  virtual ~DebuggerConnection() = default;
  DebuggerConnection(const DebuggerConnection&) = delete;
  DebuggerConnection& operator=(const DebuggerConnection&) = delete;

  // The text followed by one carriage return.
  virtual void SendLine(const string& line) = 0;
  // Tag, one blank, payload, one carriage return.
  virtual void Send(const string& tag, const string& payload) = 0;
  // Makes the transport listen; only the IDE's side does.
  virtual void Listen() = 0;
  virtual void Close() = 0;
  virtual void Connect() = 0;

  // Nil is ignored; the same delegate may be added twice and is then called twice.
  void AddDelegate(DebuggerConnectionDelegate* delegate);
  // Removes every occurrence.
  void RemoveDelegate(DebuggerConnectionDelegate* delegate);
  int32_t DelegateCount() const { return mDelegates.Count(); }
  // Received bytes of a line whose carriage return has not arrived.
  size_t ReceivedBytesWaiting() const { return mReceived.Held(); }

  // Each calls every delegate, from the last added to the first.
  void DispatchMessage(const string& tag, const string& payload);
  void NotifyConnected();
  void NotifyDisconnected();

  // Requests of the IDE's side, one per tag; addresses and references as HexEncodeAddress.
  void BR(int32_t line);
  void BRC(int32_t line);
  void BRLA(int32_t count);
  void RUN();
  void PID();
  void DABB(uint64_t array);
  void DB(uint64_t address);
  void DW(uint64_t address);
  void DL(uint64_t address);
  void DS(uint64_t address);
  void DO(uint64_t address);
  void DV(uint64_t address);
  void DOC(uint64_t object);
  void SB(uint64_t address, uint32_t value);
  void SW(uint64_t address, uint32_t value);
  void SL(uint64_t address, uint64_t value);
  void SS(uint64_t address, const string& text);
  void AWLS(uint64_t array);
  void AWLR(uint64_t array);
  void OWLS(uint64_t object);
  void OWLR(uint64_t object);
  void DPVB(uint64_t object, const string& property, int32_t parameter);
  void DPVI(uint64_t object, const string& property, int32_t parameter);
  void DPVF(uint64_t object, const string& property, int32_t parameter);
  void DPVD(uint64_t object, const string& property, int32_t parameter);
  void DPVS(uint64_t object, const string& property, int32_t parameter);
  void DPVO(uint64_t object, const string& property, int32_t parameter);
  void DPVV(uint64_t object, const string& property, int32_t parameter);

 protected:
  // Sends a message whose parts are all ASCII text.
  void SendText(const char* tag, std::string_view payload);
  void SendPropertyRequest(const char* tag, uint64_t object, const string& property, int32_t parameter);
  // Takes what a socket received and dispatches every complete line; a delegate that closes
  // the connection drops the rest (the transport's Close calls DiscardReceivedLines). A line
  // past the limit drops the link: it is closed and the delegates hear Disconnected.
  template <typename Socket>
  void DispatchBufferedLines(Socket* socket);
  void DiscardReceivedLines() { mReceived.Clear(); }

 private:
  void DispatchReceivedLines();

  SimpleVector<DebuggerConnectionDelegate*> mDelegates;
  DebuggerLineBuffer mReceived;
};

// A connection to the IDE at the host: the local socket for "127.0.0.1" in any letter case,
// TCP for any other text, the empty text included.
SmartRef<DebuggerConnection> CreateDebuggerConnection(const string& host);

template <typename Socket>
void DebuggerConnection::DispatchBufferedLines(Socket* socket) {
  mReceived.Add(socket->ReadAll());
  DispatchReceivedLines();
}

}  // namespace vorn
