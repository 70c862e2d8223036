// Entry points of UDPSocket and Datagram.
#include <cstddef>

#include "net/socket_address.h"
#include "net/socket_classes.h"
#include "net/socket_text.h"

using namespace vorn;

namespace {

VornUDPSocketObject* UDPFields(RuntimeObject* object) {
  return IsUDPSocketObject(object) ? reinterpret_cast<VornUDPSocketObject*>(object) : nullptr;
}

UDPSocket* UDPOf(RuntimeObject* object, int32_t line) {
  UDPSocket* socket = IsUDPSocketObject(object) ? NativeUDPSocketOf(object) : nullptr;
  if (!socket) ReportSocketAssertion(line, "sock");
  return socket;
}

VornDatagramObject* DatagramFields(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetDatagramClassDefinition())
             ? reinterpret_cast<VornDatagramObject*>(object)
             : nullptr;
}

constexpr int32_t kDatagramAddress = static_cast<int32_t>(offsetof(VornDatagramObject, address));
constexpr int32_t kDatagramData = static_cast<int32_t>(offsetof(VornDatagramObject, data));

}  // namespace

extern "C" {

void RuntimeUDPSocketConstructor(VornRuntimeObject* sock) {
  VornUDPSocketObject* fields = UDPFields(sock);
  if (!fields || fields->core.socket) return;
  fields->core.socket = static_cast<SocketCore*>(new UDPSocket(sock, nullptr));
  fields->routerHops = 1;
  fields->sendToSelf = 1;
}

void RuntimeUDPSocketDestructor(VornRuntimeObject* sock) {
  VornUDPSocketObject* fields = UDPFields(sock);
  if (!fields) return;
  delete static_cast<SocketCore*>(fields->core.socket);
  fields->core.socket = nullptr;
}

void UDPSocketRouterHops(VornRuntimeObject* sock, int32_t, int32_t hops) {
  VornUDPSocketObject* fields = UDPFields(sock);
  if (!fields) return;
  fields->routerHops = hops;
  if (UDPSocket* socket = UDPOf(sock, __LINE__)) socket->SetRouterHops(hops);
}

void UDPSocketSetLoopback(VornRuntimeObject* sock, int32_t, uint8_t on) {
  VornUDPSocketObject* fields = UDPFields(sock);
  if (!fields) return;
  fields->sendToSelf = on ? 1 : 0;
  if (UDPSocket* socket = UDPOf(sock, __LINE__)) socket->SetLoopback(on != 0);
}

int32_t PacketsAvailableGetter(VornRuntimeObject* sock, int32_t) {
  UDPSocket* socket = UDPOf(sock, __LINE__);
  return socket ? socket->PacketsAvailable() : 0;
}

VornStringRecord* UDPSocketGetBroadcast(VornRuntimeObject* sock, int32_t) {
  UDPSocket* socket = UDPOf(sock, __LINE__);
  return socket ? HandOutSocketText(socket->GetBroadcast()) : nullptr;
}

int32_t UDPSocketPacketsLeftToSend(VornRuntimeObject* sock, int32_t) {
  UDPSocket* socket = UDPOf(sock, __LINE__);
  return socket ? socket->PacketsLeftToSend() : 0;
}

uint8_t SocketJoinMulticastGroup(VornRuntimeObject* sock, VornStringRecord* group) {
  UDPSocket* socket = UDPOf(sock, __LINE__);
  return socket && socket->JoinMulticastGroup(SocketText(group)) ? 1 : 0;
}

void SocketLeaveMulticastGroup(VornRuntimeObject* sock, VornStringRecord* group) {
  if (UDPSocket* socket = UDPOf(sock, __LINE__)) socket->LeaveMulticastGroup(SocketText(group));
}

void UDPSocketWrite(VornRuntimeObject* sock, VornStringRecord* address, VornStringRecord* data) {
  RuntimeObject* datagram = CreateInstanceFromDefinition(GetDatagramClassDefinition());
  if (!datagram) return;
  stringSetter(datagram, kDatagramAddress, address);
  stringSetter(datagram, kDatagramData, data);
  UDPSocketWriteDatagram(sock, datagram);
  RuntimeUnlockObject(datagram);
}

void UDPSocketWriteDatagram(VornRuntimeObject* sock, VornRuntimeObject* datagram) {
  VornDatagramObject* fields = DatagramFields(datagram);
  UDPSocket* socket = UDPOf(sock, __LINE__);
  if (!fields || !socket) return;
  Datagram record;
  record.address = SocketText(fields->address);
  record.port = fields->port;
  if (record.port == 0) {
    record.port = UDPFields(sock)->core.port;
    std::string host;
    int32_t port = 0;
    if (SplitHostPort(record.address, &host, &port)) {
      record.address = host;
      record.port = port;
    }
  }
  record.data = SocketText(fields->data);
  socket->WriteDatagram(std::move(record));
}

VornRuntimeObject* UDPReadDatagram(VornRuntimeObject* sock, VornRuntimeObject* encoding) {
  UDPSocket* socket = UDPOf(sock, __LINE__);
  Datagram record;
  if (!socket || !socket->ReadDatagram(&record)) return nullptr;
  RuntimeObject* datagram = CreateInstanceFromDefinition(GetDatagramClassDefinition());
  VornDatagramObject* fields = DatagramFields(datagram);
  if (!fields) return nullptr;
  fields->data = HandOutSocketBytes(record.data, encoding);
  fields->address = HandOutSocketBytes(record.address, encoding);
  fields->port = record.port;
  return datagram;
}

void RuntimeDatagramFinalizer(VornRuntimeObject* datagram) {
  if (!DatagramFields(datagram)) return;
  stringSetter(datagram, kDatagramAddress, nullptr);
  stringSetter(datagram, kDatagramData, nullptr);
}

}  // extern "C"
