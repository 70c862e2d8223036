#include "net/debugger_transports.h"

#include <utility>

#include "net/debugger_transport_common.h"
#include "net/socket_errors.h"

namespace vorn {

IPCSocketConnection::IPCSocketConnection(std::string path) : mSocket(new IPCSocket(this)), mPath(std::move(path)) {}

IPCSocketConnection::~IPCSocketConnection() { delete mSocket; }

bool IPCSocketConnection::HasSocket(int32_t line) const {
  if (!mSocket) ReportMissingDebuggerSocket(line, "mSocket");
  return mSocket != nullptr;
}

void IPCSocketConnection::Write(const std::string& bytes) { mSocket->Write(bytes); }

void IPCSocketConnection::SendLine(const string& line) {
  if (HasSocket(__LINE__)) Write(DebuggerLineBytes(line));
}

void IPCSocketConnection::Send(const string& tag, const string& payload) {
  if (HasSocket(__LINE__)) Write(DebuggerMessageBytes(tag, payload));
}

void IPCSocketConnection::Listen() {
  if (!HasSocket(__LINE__)) return;
  mSocket->SetPath(mPath);
  mSocket->Listen();
}

void IPCSocketConnection::Close() {
  DiscardReceivedLines();
  if (HasSocket(__LINE__)) mSocket->Close();
}

void IPCSocketConnection::Connect() {
  if (!HasSocket(__LINE__)) return;
  mSocket->SetPath(mPath);
  mSocket->Connect();
}

void IPCSocketConnection::Connected(IPCSocket* socket) {
  if (socket == mSocket) NotifyConnected();
}

void IPCSocketConnection::DataAvailable(IPCSocket* socket) {
  if (socket == mSocket) DispatchBufferedLines(mSocket);
}

void IPCSocketConnection::Error(IPCSocket* socket, int32_t code) {
  if (socket != mSocket) return;
  DiscardReceivedLines();
  if (code == kSocketLostConnection) NotifyDisconnected();
  mSocket->Close();
}

}  // namespace vorn
