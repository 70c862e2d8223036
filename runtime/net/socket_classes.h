// The language's socket classes: definitions, and the way from a language object to its
// native socket.
#pragma once

#include "net/tcp_socket.h"
#include "net/udp_socket.h"
#include "objects/object_definition.h"
#include "vorn/socket_api.h"

namespace vorn {

ObjectDefinition* GetSocketCoreClassDefinition();
ObjectDefinition* GetTCPSocketClassDefinition();
ObjectDefinition* GetSocketClassDefinition();
ObjectDefinition* GetServerSocketClassDefinition();
ObjectDefinition* GetUDPSocketClassDefinition();
ObjectDefinition* GetDatagramClassDefinition();
ObjectDefinition* GetIPCSocketClassDefinition();
// All of the above, in that order.
void RegisterSocketClasses();

// The fields of a SocketCore, TCPSocket, UDPSocket or ServerSocket object; nil otherwise.
VornSocketCoreObject* SocketFields(RuntimeObject* object);
// The native socket of such an object, or nil (reported with the condition "ctl->socket").
SocketCore* NativeSocketOf(RuntimeObject* object);
TCPSocket* NativeTCPSocketOf(RuntimeObject* object);
UDPSocket* NativeUDPSocketOf(RuntimeObject* object);

bool IsTCPSocketObject(RuntimeObject* object);
bool IsServerSocketObject(RuntimeObject* object);
bool IsUDPSocketObject(RuntimeObject* object);

void ReportSocketAssertion(int32_t line, const char* condition);

}  // namespace vorn
