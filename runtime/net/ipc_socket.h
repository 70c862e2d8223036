// A local stream connection between processes over a Unix-domain socket at a path: a stream
// socket in IPC mode whose events go to an IPCSocketDelegate.
#pragma once

#include <cstdint>
#include <string>

#include "core/pollable.h"
#include "net/tcp_socket.h"

namespace vorn {

class IPCSocket;

class IPCSocketDelegate {
 public:
  virtual ~IPCSocketDelegate() = default;
  virtual void Connected(IPCSocket*) {}
  virtual void DataAvailable(IPCSocket*) {}
  virtual void Error(IPCSocket*, int32_t /*code*/) {}
};

class IPCSocket : public TCPSocketDelegate, public Pollable {
 public:
  explicit IPCSocket(IPCSocketDelegate* delegate);
  ~IPCSocket() override;
  IPCSocket(const IPCSocket&) = delete;
  IPCSocket& operator=(const IPCSocket&) = delete;

  void SetPath(const std::string& path);
  const std::string& Path() const { return mPath; }
  void Connect();
  // Binds the path; a socket file of this user that nobody accepts on (a server that was
  // killed) is removed first. A live listener's path or a file of another kind fails with 105.
  void Listen();
  void Write(const std::string& text);
  void WriteString(const string& text) { mSocket->Write(text); }
  std::string Read(int32_t count) { return mSocket->Read(count); }
  std::string ReadAll() { return mSocket->ReadAll(); }
  string ReadString(int32_t count, EncodingCode encoding) { return mSocket->ReadString(count, encoding); }
  string ReadAllString(EncodingCode encoding) { return mSocket->ReadAllString(encoding); }
  std::string Lookahead() { return mSocket->Lookahead(); }
  int32_t BytesAvailable() const { return mSocket->BytesAvailable(); }
  int32_t BytesLeftToSend() const { return mSocket->BytesLeftToSend(); }
  bool IsConnected() const { return mSocket->IsConnected(); }
  int32_t GetHandle() { return mSocket->GetHandle(); }
  int32_t LastError() const { return mSocket->LastError(); }
  void Close();
  void Flush() { mSocket->ClearSendBuffer(); }
  void Poll() override { mSocket->Poll(); }

  // TCPSocketDelegate
  void Connected(TCPSocket*) override;
  void DataAvailable(TCPSocket*) override;
  void Error(TCPSocket*, int32_t code) override;

 private:
  TCPSocket* mSocket;
  std::string mPath;
  IPCSocketDelegate* mDelegate;
};

}  // namespace vorn
