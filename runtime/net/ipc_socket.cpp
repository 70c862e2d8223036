#include "net/ipc_socket.h"

namespace vorn {

IPCSocket::IPCSocket(IPCSocketDelegate* delegate) : mSocket(new TCPSocket(nullptr, this)), mDelegate(delegate) {
  AddPollable(this);
}

IPCSocket::~IPCSocket() {
  RemovePollable(this);
  delete mSocket;
}

void IPCSocket::SetPath(const std::string& path) {
  mPath = path;
  mSocket->SetIPCPath(path);
}

void IPCSocket::Connect() {
  if (mPath.empty()) return;
  mSocket->SetIPCPath(mPath);  // a close forgets the socket's copy
  mSocket->Connect(std::string(), 0);
}

void IPCSocket::Listen() {
  if (mPath.empty()) return;
  mSocket->SetIPCPath(mPath);
  mSocket->Listen(0);
}

void IPCSocket::Write(const std::string& text) {
  mSocket->Write(text.data(), static_cast<int32_t>(text.size()));
}

void IPCSocket::Close() {
  mSocket->Close(false);
  mSocket->Reset(true);
}

void IPCSocket::Connected(TCPSocket*) {
  if (mDelegate) mDelegate->Connected(this);
}

void IPCSocket::DataAvailable(TCPSocket*) {
  if (mDelegate) mDelegate->DataAvailable(this);
}

void IPCSocket::Error(TCPSocket*, int32_t code) {
  if (mDelegate) mDelegate->Error(this, code);
}

}  // namespace vorn
