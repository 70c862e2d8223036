#include "net/debugger_transports.h"

#include "net/debugger_transport_common.h"
#include "net/socket_errors.h"

namespace vorn {

TCPSocketConnection::TCPSocketConnection(const string& host, int32_t port)
    : mWire(new TCPSocket(nullptr, this)), mHost(host), mPort(port) {}

TCPSocketConnection::~TCPSocketConnection() {
  // Detached first: closing must not call back into a half-destroyed connection.
  TCPSocket* wire = mWire;
  mWire = nullptr;
  if (wire) {
    wire->SetDelegate(nullptr);
    delete wire;
  }
}

bool TCPSocketConnection::HasWire(int32_t line) const {
  if (!mWire) ReportMissingDebuggerSocket(line, "mWire");
  return mWire != nullptr;
}

void TCPSocketConnection::Write(const std::string& bytes) {
  mWire->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void TCPSocketConnection::SendLine(const string& line) {
  if (HasWire(__LINE__)) Write(DebuggerLineBytes(line));
}

void TCPSocketConnection::Send(const string& tag, const string& payload) {
  if (HasWire(__LINE__)) Write(DebuggerMessageBytes(tag, payload));
}

void TCPSocketConnection::Listen() {
  if (HasWire(__LINE__)) mWire->Listen(mPort);
}

void TCPSocketConnection::Close() {
  if (HasWire(__LINE__)) CloseWire();
}

void TCPSocketConnection::Connect() {
  if (HasWire(__LINE__)) mWire->Connect(std::string(mHost.View()), mPort);
}

void TCPSocketConnection::CloseWire() {
  DiscardReceivedLines();
  mWire->Close(false);
  mWire->Reset(true);
}

void TCPSocketConnection::Connected(TCPSocket* socket) {
  if (socket == mWire) NotifyConnected();
}

void TCPSocketConnection::DataAvailable(TCPSocket* socket) {
  if (socket == mWire) DispatchBufferedLines(mWire);
}

void TCPSocketConnection::Error(TCPSocket* socket, int32_t code) {
  if (socket != mWire) return;
  if (code == kSocketLostConnection) NotifyDisconnected();
  CloseWire();
}

}  // namespace vorn
