/*
 * The socket classes as compiled code sees them: SocketCore, TCPSocket (and its alias class
 * Socket), ServerSocket, UDPSocket, Datagram and IPCSocket. Every socket object is a control
 * (no pane); its fields follow the control fields. Events reach the object's handlers from
 * the run loop only.
 */
#ifndef VORN_SOCKET_API_H
#define VORN_SOCKET_API_H

#include <stdint.h>

#include "vorn/array_abi.h"
#include "vorn/control_api.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Runtime socket error codes (class constants of every socket class). */
enum {
  kVornSocketNoError = 0,
  kVornSocketOpenDriverError = 100,
  kVornSocketLostConnection = 102,
  kVornSocketNameResolutionError = 103,
  kVornSocketAddressInUseError = 105,
  kVornSocketInvalidStateError = 106,
  kVornSocketInvalidPortError = 107,
  kVornSocketOutOfMemoryError = 108
};

typedef struct VornSocketCoreObject {
  VornControlObject control;
  void *socket;                         /* the native socket, owned */
  int32_t port;
  int32_t lastErrorCode;
  VornRuntimeObject *networkInterface;  /* held; its first field is the interface index */
} VornSocketCoreObject;

typedef struct VornTCPSocketObject {
  VornSocketCoreObject core;
  VornStringRecord *address;
} VornTCPSocketObject;

typedef struct VornServerSocketObject {
  VornSocketCoreObject core;
  int32_t minimumSocketsAvailable;
  int32_t maximumSocketsConnected;
} VornServerSocketObject;

typedef struct VornUDPSocketObject {
  VornSocketCoreObject core;
  int32_t routerHops;
  uint8_t sendToSelf;
} VornUDPSocketObject;

typedef struct VornDatagramObject {
  VornRuntimeObject header;
  VornStringRecord *address;
  VornStringRecord *data;
  int32_t port;
} VornDatagramObject;

typedef struct VornIPCSocketObject {
  VornControlObject control;
  void *eventManager;  /* owned */
  void *imp;           /* the native IPC socket, owned */
  VornStringRecord *path;
  int32_t lastError;
} VornIPCSocketObject;

/* SocketCore */
int32_t SocketPortGetter(VornRuntimeObject *sock, int32_t param);
void SocketPortSetter(VornRuntimeObject *sock, int32_t param, int32_t port);
VornStringRecord *socketLocalAddressGetter(VornRuntimeObject *sock, int32_t param);
int32_t socketLastErrorCode(VornRuntimeObject *sock, int32_t param);
uint8_t SocketIsConnected(VornRuntimeObject *sock, int32_t param);
int32_t SocketGetHandle(VornRuntimeObject *sock, int32_t param);
void socketClose(VornRuntimeObject *sock);
void socketPoll(VornRuntimeObject *sock);
void SocketPurge(VornRuntimeObject *sock);
void SocketConnect(VornRuntimeObject *sock);

/* TCPSocket */
void RuntimeSocketConstructor(VornRuntimeObject *sock);
void RuntimeSocketDestructor(VornRuntimeObject *sock);
VornStringRecord *socketRemoteAddressGetter(VornRuntimeObject *sock, int32_t param);
int32_t socketPPPStatus(VornRuntimeObject *sock, int32_t param);
void socketPPPConnect(VornRuntimeObject *sock);
void socketPPPDisconnect(VornRuntimeObject *sock);
int32_t SocketBytesAvailable(VornRuntimeObject *sock, int32_t param);
int32_t TCPSocketBytesLeftToSend(VornRuntimeObject *sock, int32_t param);
void SocketListen(VornRuntimeObject *sock);
VornStringRecord *socketRead(VornRuntimeObject *sock, int32_t byteCount, VornRuntimeObject *encoding);
VornStringRecord *SocketReadAll(VornRuntimeObject *sock, VornRuntimeObject *encoding);
void SocketWrite(VornRuntimeObject *sock, VornStringRecord *text);
void SocketDisconnect(VornRuntimeObject *sock);
VornStringRecord *socketLookahead(VornRuntimeObject *sock, VornRuntimeObject *encoding);
uint8_t TCPSocketEof(VornRuntimeObject *sock);
void TCPSocketFlush(VornRuntimeObject *sock);

/* ServerSocket */
void RuntimeServerSocketConstructor(VornRuntimeObject *server);
void RuntimeServerSocketDestructor(VornRuntimeObject *server);
int32_t ServerSocketPortGetter(VornRuntimeObject *server, int32_t param);
void ServerSocketPortSetter(VornRuntimeObject *server, int32_t param, int32_t port);
void ServerSocketSetMinSockets(VornRuntimeObject *server, int32_t param, int32_t count);
void ServerSocketSetMaxSockets(VornRuntimeObject *server, int32_t param, int32_t count);
uint8_t serverSocketIsListening(VornRuntimeObject *server, int32_t param);
int32_t ServerSocketGetHandle(VornRuntimeObject *server, int32_t param);
void ServerSocketListen(VornRuntimeObject *server);
void ServerSocketClose(VornRuntimeObject *server);
VornArray *ServerSocketGetActiveSockets(VornRuntimeObject *server);

/* UDPSocket and Datagram */
void RuntimeUDPSocketConstructor(VornRuntimeObject *sock);
void RuntimeUDPSocketDestructor(VornRuntimeObject *sock);
void UDPSocketRouterHops(VornRuntimeObject *sock, int32_t param, int32_t hops);
void UDPSocketSetLoopback(VornRuntimeObject *sock, int32_t param, uint8_t on);
int32_t PacketsAvailableGetter(VornRuntimeObject *sock, int32_t param);
VornStringRecord *UDPSocketGetBroadcast(VornRuntimeObject *sock, int32_t param);
int32_t UDPSocketPacketsLeftToSend(VornRuntimeObject *sock, int32_t param);
uint8_t SocketJoinMulticastGroup(VornRuntimeObject *sock, VornStringRecord *group);
void SocketLeaveMulticastGroup(VornRuntimeObject *sock, VornStringRecord *group);
void UDPSocketWrite(VornRuntimeObject *sock, VornStringRecord *address, VornStringRecord *data);
void UDPSocketWriteDatagram(VornRuntimeObject *sock, VornRuntimeObject *datagram);
VornRuntimeObject *UDPReadDatagram(VornRuntimeObject *sock, VornRuntimeObject *encoding);
void RuntimeDatagramFinalizer(VornRuntimeObject *datagram);

/* For plug-ins */
void socketDirectConnect(VornRuntimeObject *sock, VornStringRecord *address, int32_t port);
void pluginSocketListen(VornRuntimeObject *sock);
VornStringRecord *pluginSocketRead(VornRuntimeObject *sock, int32_t count);
VornStringRecord *pluginSocketReadAll(VornRuntimeObject *sock);
VornStringRecord *pluginSocketLookahead(VornRuntimeObject *sock);
uint32_t socketGetEvents(VornRuntimeObject *sock);

/* IPCSocket */
void IPCSocketInitializer(VornRuntimeObject *sock);
void IPCSocketFinalizer(VornRuntimeObject *sock);
int32_t IPCSocketLastErrorGetter(VornRuntimeObject *sock, int32_t param);
uint8_t IPCSocketIsConnected(VornRuntimeObject *sock, int32_t param);
int32_t IPCSocketGetHandle(VornRuntimeObject *sock, int32_t param);
int32_t IPCSocketBytesAvailable(VornRuntimeObject *sock, int32_t param);
int32_t IPCSocketBytesLeftToSend(VornRuntimeObject *sock, int32_t param);
void IPCSocketClose(VornRuntimeObject *sock);
void IPCSocketPoll(VornRuntimeObject *sock);
void IPCSocketConnect(VornRuntimeObject *sock);
void IPCSocketListen(VornRuntimeObject *sock);
VornStringRecord *IPCSocketRead(VornRuntimeObject *sock, int32_t byteCount, VornRuntimeObject *encoding);
VornStringRecord *IPCSocketReadAll(VornRuntimeObject *sock, VornRuntimeObject *encoding);
void IPCSocketWrite(VornRuntimeObject *sock, VornStringRecord *text);
VornStringRecord *IPCSocketLookahead(VornRuntimeObject *sock, VornRuntimeObject *encoding);
uint8_t IPCSocketEOF(VornRuntimeObject *sock);
uint8_t IPCSocketHadError(VornRuntimeObject *sock);
void IPCSocketFlush(VornRuntimeObject *sock);

/* Network lookups of the System module: methods of a Network object, which comes first. */
VornStringRecord *NetworkLookupIPAddress(VornRuntimeObject *network, VornStringRecord *name);
VornStringRecord *NetworkLookupDNSAddress(VornRuntimeObject *network, VornStringRecord *name);

#ifdef __cplusplus
}
#endif

#endif
