// Entry points of SocketCore and TCPSocket: check the object, call the native socket.
#include <algorithm>
#include <cctype>
#include <cstddef>

#include "net/network_utilities.h"
#include "net/socket_address.h"
#include "net/socket_classes.h"
#include "net/socket_errors.h"
#include "net/socket_text.h"
#include "objects/text_encoding_object.h"

using namespace vorn;

namespace {

VornTCPSocketObject* TCPFields(RuntimeObject* object) {
  return IsTCPSocketObject(object) ? reinterpret_cast<VornTCPSocketObject*>(object) : nullptr;
}

// The TCP socket of an object, reported as "sock" when the object is not one.
TCPSocket* TCPOf(RuntimeObject* object, int32_t line) {
  TCPSocket* socket = IsTCPSocketObject(object) ? NativeTCPSocketOf(object) : nullptr;
  if (!socket) ReportSocketAssertion(line, "sock");
  return socket;
}

bool SameTextIgnoringCase(const std::string& a, const char* b) {
  std::string lower = a;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower == b;
}

void ConnectTCP(RuntimeObject* object, TCPSocket* socket) {
  if (socket->FiredEvents() != 0) socket->Poll();
  socket->Close(false);
  socket->Reset(true);
  std::string address = SocketText(TCPFields(object)->address);
  if (SameTextIgnoringCase(address, "localhost")) address = "127.0.0.1";
  SocketFields(object)->lastErrorCode = 0;
  socket->Connect(address, SocketFields(object)->port);
}

void ListenTCP(RuntimeObject* object, TCPSocket* socket) {
  if (socket->FiredEvents() != 0) socket->Poll();
  socket->Close(false);
  socket->Reset(true);
  SocketFields(object)->lastErrorCode = 0;
  socket->Listen(SocketFields(object)->port);
}

}  // namespace

extern "C" {

// --- SocketCore ---------------------------------------------------------------------------

int32_t SocketPortGetter(VornRuntimeObject* sock, int32_t) {
  VornSocketCoreObject* fields = SocketFields(sock);
  if (!fields) return 0;
  int32_t port = fields->socket ? static_cast<SocketCore*>(fields->socket)->GetPort() : -1;
  return port != -1 ? port : fields->port;
}

void SocketPortSetter(VornRuntimeObject* sock, int32_t, int32_t port) {
  if (VornSocketCoreObject* fields = SocketFields(sock)) fields->port = port;
}

VornStringRecord* socketLocalAddressGetter(VornRuntimeObject* sock, int32_t) {
  VornSocketCoreObject* fields = SocketFields(sock);
  if (!fields) return nullptr;
  int32_t index = -1;
  if (fields->networkInterface) index = *reinterpret_cast<const int32_t*>(fields->networkInterface + 1);
  return HandOutSocketText(DottedText(GetNetworkInterfaceIPAddress(index)));
}

int32_t socketLastErrorCode(VornRuntimeObject* sock, int32_t) {
  VornSocketCoreObject* fields = SocketFields(sock);
  return fields ? fields->lastErrorCode : 0;
}

uint8_t SocketIsConnected(VornRuntimeObject* sock, int32_t) {
  SocketCore* socket = NativeSocketOf(sock);
  return socket && socket->IsConnected() ? 1 : 0;
}

int32_t SocketGetHandle(VornRuntimeObject* sock, int32_t) {
  SocketCore* socket = NativeSocketOf(sock);
  return socket ? socket->GetHandle() : 0;
}

void socketClose(VornRuntimeObject* sock) {
  if (SocketCore* socket = NativeSocketOf(sock)) {
    socket->Close(false);
    socket->Reset(true);
  }
}

void socketPoll(VornRuntimeObject* sock) {
  if (SocketCore* socket = NativeSocketOf(sock)) socket->Poll();
}

void SocketPurge(VornRuntimeObject* sock) {
  if (SocketCore* socket = NativeSocketOf(sock)) socket->Purge();
}

void SocketConnect(VornRuntimeObject* sock) {
  SocketCore* native = NativeSocketOf(sock);
  if (!native) return;
  if (auto* tcp = dynamic_cast<TCPSocket*>(native); tcp && IsTCPSocketObject(sock)) {
    ConnectTCP(sock, tcp);
  } else if (auto* udp = dynamic_cast<UDPSocket*>(native); udp && IsUDPSocketObject(sock)) {
    auto* fields = reinterpret_cast<VornUDPSocketObject*>(sock);
    fields->core.lastErrorCode = 0;
    if (udp->IsBound()) {
      udp->Close(false);
      udp->Reset(true);
    }
    udp->Bind(fields->core.port);
    if (udp->IsBound()) udp->SetLoopback(fields->sendToSelf != 0);
    if (udp->IsBound()) udp->SetRouterHops(fields->routerHops);
  }
}

// --- TCPSocket ----------------------------------------------------------------------------

void RuntimeSocketConstructor(VornRuntimeObject* sock) {
  VornSocketCoreObject* fields = SocketFields(sock);
  if (!fields || fields->socket) return;
  fields->socket = static_cast<SocketCore*>(new TCPSocket(sock, nullptr));
}

void RuntimeSocketDestructor(VornRuntimeObject* sock) {
  VornTCPSocketObject* fields = TCPFields(sock);
  if (!fields) return;
  stringSetter(sock, static_cast<int32_t>(offsetof(VornTCPSocketObject, address)), nullptr);
  delete static_cast<SocketCore*>(fields->core.socket);
  fields->core.socket = nullptr;
}

VornStringRecord* socketRemoteAddressGetter(VornRuntimeObject* sock, int32_t) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  return socket ? HandOutSocketText(socket->GetRemoteAddress()) : nullptr;
}

int32_t socketPPPStatus(VornRuntimeObject*, int32_t) { return 0; }
void socketPPPConnect(VornRuntimeObject*) {}
void socketPPPDisconnect(VornRuntimeObject*) {}

int32_t SocketBytesAvailable(VornRuntimeObject* sock, int32_t) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  return socket ? socket->BytesAvailable() : 0;
}

int32_t TCPSocketBytesLeftToSend(VornRuntimeObject* sock, int32_t) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  return socket ? socket->BytesLeftToSend() : 0;
}

void SocketListen(VornRuntimeObject* sock) {
  if (TCPSocket* socket = TCPOf(sock, __LINE__)) ListenTCP(sock, socket);
}

VornStringRecord* socketRead(VornRuntimeObject* sock, int32_t byteCount, VornRuntimeObject* encoding) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  return socket ? HandOutReceived(socket->ReadString(byteCount, GetEncodingFromTEObject(encoding))) : nullptr;
}

VornStringRecord* SocketReadAll(VornRuntimeObject* sock, VornRuntimeObject* encoding) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  return socket ? HandOutReceived(socket->ReadAllString(GetEncodingFromTEObject(encoding))) : nullptr;
}

VornStringRecord* socketLookahead(VornRuntimeObject* sock, VornRuntimeObject* encoding) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  return socket ? HandOutSocketBytes(socket->Lookahead(), encoding) : nullptr;
}

void SocketWrite(VornRuntimeObject* sock, VornStringRecord* text) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  if (!socket) return;
  socket->Write(string::Share(text));
}

void SocketDisconnect(VornRuntimeObject* sock) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  if (!socket || !socket->IsConnected()) return;
  socket->Close(false);
  socket->Reset(true);
  socket->SetError(kSocketLostConnection);
}

uint8_t TCPSocketEof(VornRuntimeObject* sock) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  if (!socket) return 1;
  return !socket->IsConnected() && socket->BytesAvailable() == 0 ? 1 : 0;
}

void TCPSocketFlush(VornRuntimeObject* sock) {
  TCPSocket* socket = TCPOf(sock, __LINE__);
  if (!socket) return;
  // Only a socket with a descriptor can make progress; without one the loop would not end.
  while (socket->LastError() == 0 && socket->BytesLeftToSend() > 0 && socket->GetHandle() >= 0) socket->Poll();
  socket->ClearSendBuffer();
}

// --- for plug-ins -------------------------------------------------------------------------

void socketDirectConnect(VornRuntimeObject* sock, VornStringRecord* address, int32_t port) {
  TCPSocket* socket = IsTCPSocketObject(sock) ? NativeTCPSocketOf(sock) : nullptr;
  if (!socket) return;
  stringSetter(sock, static_cast<int32_t>(offsetof(VornTCPSocketObject, address)), address);
  SocketFields(sock)->port = port;
  ConnectTCP(sock, socket);
}

void pluginSocketListen(VornRuntimeObject* sock) {
  TCPSocket* socket = IsTCPSocketObject(sock) ? NativeTCPSocketOf(sock) : nullptr;
  if (socket) ListenTCP(sock, socket);
}

VornStringRecord* pluginSocketRead(VornRuntimeObject* sock, int32_t count) { return socketRead(sock, count, nullptr); }
VornStringRecord* pluginSocketReadAll(VornRuntimeObject* sock) { return SocketReadAll(sock, nullptr); }
VornStringRecord* pluginSocketLookahead(VornRuntimeObject* sock) { return socketLookahead(sock, nullptr); }

uint32_t socketGetEvents(VornRuntimeObject* sock) {
  SocketCore* socket = NativeSocketOf(sock);
  return socket ? socket->GetEvents() : 0;
}

// --- System module lookups (methods of Network) ----------------------------------------------

VornStringRecord* NetworkLookupIPAddress(VornRuntimeObject*, VornStringRecord* name) {
  return HandOutSocketText(LookupHostAddress(SocketText(name)));
}

VornStringRecord* NetworkLookupDNSAddress(VornRuntimeObject*, VornStringRecord* name) {
  return HandOutSocketText(LookupCanonicalName(SocketText(name)));
}

}  // extern "C"
