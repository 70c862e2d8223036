// The two transports of the debugger link: the local socket at a path and TCP to a host.
// Each owns its socket and is that socket's delegate; the socket layer's polling drives them.
#pragma once

#include <cstdint>
#include <string>

#include "net/debugger_connection.h"
#include "net/ipc_socket.h"
#include "net/tcp_socket.h"

namespace vorn {

class IPCSocketConnection : public DebuggerConnection, public IPCSocketDelegate {
 public:
  explicit IPCSocketConnection(std::string path = DebuggerSocketPath());
  ~IPCSocketConnection() override;

  void SendLine(const string& line) override;
  void Send(const string& tag, const string& payload) override;
  void Listen() override;
  void Close() override;
  void Connect() override;

  // IPCSocketDelegate
  void Connected(IPCSocket* socket) override;
  void DataAvailable(IPCSocket* socket) override;
  void Error(IPCSocket* socket, int32_t code) override;

  const std::string& Path() const { return mPath; }
  bool IsConnected() const { return mSocket && mSocket->IsConnected(); }

 private:
  bool HasSocket(int32_t line) const;
  void Write(const std::string& bytes);

  IPCSocket* mSocket;
  std::string mPath;
};

class TCPSocketConnection : public DebuggerConnection, public TCPSocketDelegate {
 public:
  explicit TCPSocketConnection(const string& host, int32_t port = kDebuggerPort);
  ~TCPSocketConnection() override;

  void SendLine(const string& line) override;
  void Send(const string& tag, const string& payload) override;
  void Listen() override;
  void Close() override;
  void Connect() override;

  // TCPSocketDelegate
  void Connected(TCPSocket* socket) override;
  void DataAvailable(TCPSocket* socket) override;
  void Error(TCPSocket* socket, int32_t code) override;

  const string& Host() const { return mHost; }
  int32_t Port() const { return mPort; }
  // The port the socket is bound to (after Listen with port 0, the one the system chose).
  int32_t BoundPort() const { return mWire ? mWire->GetPort() : -1; }
  bool IsConnected() const { return mWire && mWire->IsConnected(); }

 private:
  bool HasWire(int32_t line) const;
  void Write(const std::string& bytes);
  // Ends the connection without telling the delegates: a local close is not a lost link.
  void CloseWire();

  TCPSocket* mWire;
  string mHost;
  int32_t mPort;
};

}  // namespace vorn
