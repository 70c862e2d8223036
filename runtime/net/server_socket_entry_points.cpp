// Entry points of ServerSocket: a listening port whose connections go to a pool of TCPSocket
// objects that the AddSocket event supplies.
#include <algorithm>

#include "net/server_socket_pool.h"
#include "net/socket_classes.h"
#include "objects/arrays.h"

using namespace vorn;

namespace {

VornServerSocketObject* ServerFields(RuntimeObject* object) {
  return IsServerSocketObject(object) ? reinterpret_cast<VornServerSocketObject*>(object) : nullptr;
}

TCPSocket* ServerOf(RuntimeObject* object, int32_t line) {
  TCPSocket* socket = IsServerSocketObject(object) ? NativeTCPSocketOf(object) : nullptr;
  if (!socket) ReportSocketAssertion(line, "server");
  return socket;
}

}  // namespace

extern "C" {

void RuntimeServerSocketConstructor(VornRuntimeObject* server) {
  VornServerSocketObject* fields = ServerFields(server);
  if (!fields || fields->core.socket) return;
  fields->maximumSocketsConnected = std::max(fields->maximumSocketsConnected, 1);
  fields->minimumSocketsAvailable = std::max(fields->minimumSocketsAvailable, 1);
  fields->core.socket = static_cast<SocketCore*>(new TCPSocket(server, nullptr));
}

void RuntimeServerSocketDestructor(VornRuntimeObject* server) {
  VornServerSocketObject* fields = ServerFields(server);
  if (!fields || !fields->core.socket) return;
  ServerSocketClose(server);
  delete static_cast<SocketCore*>(fields->core.socket);
  fields->core.socket = nullptr;
}

int32_t ServerSocketPortGetter(VornRuntimeObject* server, int32_t) {
  VornServerSocketObject* fields = ServerFields(server);
  if (!fields) return 0;
  auto* socket = static_cast<TCPSocket*>(static_cast<SocketCore*>(fields->core.socket));
  return socket && socket->IsServerListening() ? socket->GetPort() : fields->core.port;
}

void ServerSocketPortSetter(VornRuntimeObject* server, int32_t, int32_t port) {
  if (VornServerSocketObject* fields = ServerFields(server)) fields->core.port = port;
}

// A running pool keeps the numbers it started with; they count from the next Listen.
void ServerSocketSetMinSockets(VornRuntimeObject* server, int32_t, int32_t count) {
  if (VornServerSocketObject* fields = ServerFields(server)) fields->minimumSocketsAvailable = count;
}

void ServerSocketSetMaxSockets(VornRuntimeObject* server, int32_t, int32_t count) {
  if (VornServerSocketObject* fields = ServerFields(server)) fields->maximumSocketsConnected = count;
}

uint8_t serverSocketIsListening(VornRuntimeObject* server, int32_t) {
  TCPSocket* socket = ServerOf(server, __LINE__);
  return socket && socket->IsServerListening() ? 1 : 0;
}

int32_t ServerSocketGetHandle(VornRuntimeObject* server, int32_t) {
  TCPSocket* socket = ServerOf(server, __LINE__);
  return socket ? socket->GetHandle() : 0;
}

void ServerSocketListen(VornRuntimeObject* server) {
  TCPSocket* socket = ServerOf(server, __LINE__);
  if (!socket) return;
  if (socket->LastError() != 0 || socket->IsListening()) {
    socket->Close(false);
    socket->Reset(true);
  }
  ServerFields(server)->core.lastErrorCode = 0;
  socket->Listen(ServerFields(server)->core.port);
}

void ServerSocketClose(VornRuntimeObject* server) {
  TCPSocket* socket = ServerOf(server, __LINE__);
  if (!socket) return;
  socket->Close(false);
  socket->Reset(true);
}

VornArray* ServerSocketGetActiveSockets(VornRuntimeObject* server) {
  TCPSocket* socket = ServerOf(server, __LINE__);
  ServerSocketPool* pool = socket ? socket->Pool() : nullptr;
  int32_t count = pool ? static_cast<int32_t>(pool->Active().size()) : 0;
  VornArray* array = CreateArray(kVornArrayObject, 1, count - 1);
  for (int32_t i = 0; i < count; ++i) ArraySetObject(array, i, pool->Active()[static_cast<size_t>(i)]);
  return array;
}

}  // extern "C"
