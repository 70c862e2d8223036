#include "net/socket_classes.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "base/core_assert.h"
#include "base/reloc_entry.h"
#include "net/network_utilities.h"
#include "net/socket_core.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "objects/stream_interfaces.h"
#include "vorn/debug_api.h"
#include "windows/control.h"
#include "windows/runtime_window.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

const ConstantRow kConstants[] = {
    {"NoError", "0"},
    {"OpenDriverError", "100"},
    {"LostConnection", "102"},
    {"NameResolutionError", "103"},
    {"AddressInUseError", "105"},
    {"InvalidStateError", "106"},
    {"InvalidPortError", "107"},
    {"OutOfMemoryError", "108"},
};

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}
#define GETTER(name, type, function) {0, name, type, Fn(&function), #function, nullptr, nullptr, 0, 0}

// --- SocketCore ---------------------------------------------------------------------------

const PropertyRow kCoreProperties[] = {
    {0, "Port", "i4", Fn(&SocketPortGetter), "SocketPortGetter", Fn(&SocketPortSetter), "SocketPortSetter", 0, 0},
    GETTER("LocalAddress", "s", socketLocalAddressGetter),
    GETTER("LastErrorCode", "i4", socketLastErrorCode),
    GETTER("IsConnected", "b", SocketIsConnected),
    {0, "NetworkInterface", "o<NetworkInterface>", Fn(&objGetter), "objGetter", Fn(&objSetter), "objSetter",
     Offset(offsetof(VornSocketCoreObject, networkInterface)), 0},
    GETTER("Handle", "i4", SocketGetHandle),
};

const MethodRow kCoreMethods[] = {
    METHOD("Close", "", nullptr, 0, socketClose),
    METHOD("Poll", "", nullptr, 0, socketPoll),
    METHOD("Purge", "", nullptr, 0, SocketPurge),
    METHOD("Connect", "", nullptr, 0, SocketConnect),
};

EventRow sCoreEvents[] = {
    {0, "DataAvailable", "", "", nullptr, 0},
    {0, "Error", "", "", nullptr, 0},
    {0, "SendComplete", "userAborted As Boolean", "", nullptr, 0},
};

// --- TCPSocket ----------------------------------------------------------------------------

const ParamRow kEncodingParam[] = {{"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kReadParams[] = {{"byteCount", "i4", 0, 0}, {"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kTextParam[] = {{"Text", "s", 0, 0}};

const PropertyRow kTCPProperties[] = {
    {0, "Address", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     Offset(offsetof(VornTCPSocketObject, address)), 0},
    GETTER("RemoteAddress", "s", socketRemoteAddressGetter),
    GETTER("PPPStatus", "i4", socketPPPStatus),
    GETTER("BytesAvailable", "i4", SocketBytesAvailable),
    GETTER("BytesLeftToSend", "i4", TCPSocketBytesLeftToSend),
};

const MethodRow kTCPMethods[] = {
    METHOD("Listen", "", nullptr, 0, SocketListen),
    METHOD("Read", "s", kReadParams, 2, socketRead),
    METHOD("ReadAll", "s", kEncodingParam, 1, SocketReadAll),
    METHOD("Write", "", kTextParam, 1, SocketWrite),
    METHOD("PPPConnect", "", nullptr, 0, socketPPPConnect),
    METHOD("PPPDisconnect", "", nullptr, 0, socketPPPDisconnect),
    METHOD("Disconnect", "", nullptr, 0, SocketDisconnect),
    METHOD("Lookahead", "s", kEncodingParam, 1, socketLookahead),
    METHOD("EOF", "b", nullptr, 0, TCPSocketEof),
    METHOD("ReadError", "b", nullptr, 0, socketLastErrorCode),
    METHOD("WriteError", "b", nullptr, 0, socketLastErrorCode),
    METHOD("Flush", "", nullptr, 0, TCPSocketFlush),
};

EventRow sTCPEvents[] = {
    {0, "Connected", "", "", nullptr, 0},
    {0, "SendProgress", "bytesSent As Integer, bytesLeft As Integer", "Boolean", nullptr, 0},
};

// --- ServerSocket -------------------------------------------------------------------------

const PropertyRow kServerProperties[] = {
    {0, "Port", "i4", Fn(&ServerSocketPortGetter), "ServerSocketPortGetter", Fn(&ServerSocketPortSetter),
     "ServerSocketPortSetter", 0, 0},
    {0, "MinimumSocketsAvailable", "i4", Fn(&intGetter), "intGetter", Fn(&ServerSocketSetMinSockets),
     "ServerSocketSetMinSockets", Offset(offsetof(VornServerSocketObject, minimumSocketsAvailable)), 0},
    {0, "MaximumSocketsConnected", "i4", Fn(&intGetter), "intGetter", Fn(&ServerSocketSetMaxSockets),
     "ServerSocketSetMaxSockets", Offset(offsetof(VornServerSocketObject, maximumSocketsConnected)), 0},
    GETTER("LocalAddress", "s", socketLocalAddressGetter),
    GETTER("IsListening", "b", serverSocketIsListening),
    {0, "NetworkInterface", "o<NetworkInterface>", Fn(&objGetter), "objGetter", Fn(&objSetter), "objSetter",
     Offset(offsetof(VornSocketCoreObject, networkInterface)), 0},
    GETTER("Handle", "i4", ServerSocketGetHandle),
};

const MethodRow kServerMethods[] = {
    METHOD("Listen", "", nullptr, 0, ServerSocketListen),
    METHOD("StopListening", "", nullptr, 0, ServerSocketClose),
    METHOD("ActiveConnections", "A1o<TCPSocket>", nullptr, 0, ServerSocketGetActiveSockets),
};

EventRow sServerEvents[] = {
    {0, "AddSocket", "", "TCPSocket", nullptr, 0},
    {0, "Error", "ErrorCode As Integer", "", nullptr, 0},
};

// --- UDPSocket and Datagram ---------------------------------------------------------------

const ParamRow kGroupParam[] = {{"Group", "s", 0, 0}};
const ParamRow kWriteParams[] = {{"Address", "s", 0, 0}, {"Data", "s", 0, 0}};
const ParamRow kDatagramParam[] = {{"Datagram", "o<Datagram>", 0, 0}};

const PropertyRow kUDPProperties[] = {
    {0, "RouterHops", "i4", Fn(&intGetter), "intGetter", Fn(&UDPSocketRouterHops), "UDPSocketRouterHops",
     Offset(offsetof(VornUDPSocketObject, routerHops)), 0},
    {0, "SendToSelf", "b", Fn(&boolGetter), "boolGetter", Fn(&UDPSocketSetLoopback), "UDPSocketSetLoopback",
     Offset(offsetof(VornUDPSocketObject, sendToSelf)), 0},
    GETTER("PacketsAvailable", "i4", PacketsAvailableGetter),
    GETTER("BroadcastAddress", "s", UDPSocketGetBroadcast),
    GETTER("PacketsLeftToSend", "i4", UDPSocketPacketsLeftToSend),
};

const MethodRow kUDPMethods[] = {
    METHOD("JoinMulticastGroup", "b", kGroupParam, 1, SocketJoinMulticastGroup),
    METHOD("LeaveMulticastGroup", "", kGroupParam, 1, SocketLeaveMulticastGroup),
    METHOD("Write", "", kWriteParams, 2, UDPSocketWrite),
    METHOD("Write", "", kDatagramParam, 1, UDPSocketWriteDatagram),
    METHOD("Read", "o<Datagram>", kEncodingParam, 1, UDPReadDatagram),
};

const PropertyRow kDatagramProperties[] = {
    {0, "Address", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     Offset(offsetof(VornDatagramObject, address)), 0},
    {0, "Data", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     Offset(offsetof(VornDatagramObject, data)), 0},
    {0, "Port", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter",
     Offset(offsetof(VornDatagramObject, port)), 0},
};

#undef GETTER
#undef METHOD

ObjectDefinition* NewDefinition(const char* name, ObjectDefinition* super, size_t size) {
  auto* d = new ObjectDefinition();
  d->mName = string(name);
  d->mSuper = super;
  d->mInstanceSize = static_cast<int32_t>(size);
  return d;
}

// --- events of owned native sockets ---------------------------------------------------------

void OwnerConnected(RuntimeObject* owner) { FireEvent(owner, sTCPEvents[0].hook); }
void OwnerDataAvailable(RuntimeObject* owner) { FireEvent(owner, sCoreEvents[0].hook); }
void OwnerSendComplete(RuntimeObject* owner, bool aborted) {
  FireEvent<void, uint8_t>(owner, sCoreEvents[2].hook, aborted ? 1 : 0);
}
bool OwnerSendProgress(RuntimeObject* owner, int32_t sent, int32_t left) {
  if (!IsTCPSocketObject(owner)) return false;
  return FireEvent<uint8_t, int32_t, int32_t>(owner, sTCPEvents[1].hook, sent, left) != 0;
}
void OwnerSetLastErrorCode(RuntimeObject* owner, int32_t code) {
  if (VornSocketCoreObject* fields = SocketFields(owner)) fields->lastErrorCode = code;
}
void OwnerError(RuntimeObject* owner, int32_t code) {
  if (IsServerSocketObject(owner)) {
    FireEvent<void, int32_t>(owner, sServerEvents[1].hook, code);
    return;
  }
  OwnerSetLastErrorCode(owner, code);
  FireEvent(owner, sCoreEvents[1].hook);
}
bool OwnerInterfaceIndex(RuntimeObject* owner, int32_t* index) {
  VornSocketCoreObject* fields = SocketFields(owner);
  if (!fields || !fields->networkInterface) return false;
  *index = *reinterpret_cast<const int32_t*>(fields->networkInterface + 1);
  return true;
}
bool OwnerInterfaceAddress(RuntimeObject* owner, uint32_t* address) {
  int32_t index = -1;
  if (!OwnerInterfaceIndex(owner, &index)) return false;
  *address = GetNetworkInterfaceIPAddress(index);
  return true;
}
RuntimeObject* OwnerAddSocket(RuntimeObject* server) {
  void* handler = RuntimeGetHookHandler(server, sServerEvents[0].hook);
  RuntimeObject* socket = handler ? CallEventHandler<RuntimeObject*>(handler, server) : nullptr;
  if (!socket) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  if (!IsTCPSocketObject(socket)) {
    RuntimeUnlockObject(socket);
    return nullptr;
  }
  return socket;
}
TCPSocket* OwnerNative(RuntimeObject* object) {
  return IsTCPSocketObject(object) ? NativeTCPSocketOf(object) : nullptr;
}
int32_t OwnerMinimum(RuntimeObject* server) {
  return IsServerSocketObject(server) ? reinterpret_cast<VornServerSocketObject*>(server)->minimumSocketsAvailable : 0;
}
int32_t OwnerMaximum(RuntimeObject* server) {
  return IsServerSocketObject(server) ? reinterpret_cast<VornServerSocketObject*>(server)->maximumSocketsConnected : 0;
}

const SocketOwnerHooks kOwnerHooks = {
    &OwnerConnected,     &OwnerDataAvailable,  &OwnerSendComplete,     &OwnerSendProgress, &OwnerError,
    &OwnerSetLastErrorCode, &IsTCPSocketObject, &IsServerSocketObject, &OwnerInterfaceAddress,
    &OwnerInterfaceIndex, &OwnerAddSocket,    &OwnerNative,           &OwnerMinimum,      &OwnerMaximum,
};

}  // namespace

void ReportSocketAssertion(int32_t line, const char* condition) {
  ReportCoreAssertion("../Common/New Socket Code/RuntimeSocketAccessors", line, condition);
}

ObjectDefinition* GetSocketCoreClassDefinition() {
  static ObjectDefinition* definition = [] {
    ObjectDefinition* d = NewDefinition("SocketCore", GetControlClassDefinition(), sizeof(VornSocketCoreObject));
    BeginClassDefinition(d, kConstants, RowCount(kConstants));
    d->SetInstanceVariables(BuildPropertyList(kCoreProperties, RowCount(kCoreProperties)));
    SetMethodList(d, kCoreMethods, RowCount(kCoreMethods));
    SetEventList(d, sCoreEvents, RowCount(sCoreEvents));
    SetSocketOwnerHooks(&kOwnerHooks);
    return d;
  }();
  return definition;
}

ObjectDefinition* GetTCPSocketClassDefinition() {
  static ObjectDefinition* definition = [] {
    ObjectDefinition* d = NewDefinition("TCPSocket", GetSocketCoreClassDefinition(), sizeof(VornTCPSocketObject));
    d->mInitializer = {Fn(&RuntimeSocketConstructor), "RuntimeSocketConstructor"};
    d->mFinalizer = {Fn(&RuntimeSocketDestructor), "RuntimeSocketDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kTCPProperties, RowCount(kTCPProperties)));
    SetMethodList(d, kTCPMethods, RowCount(kTCPMethods));
    SetEventList(d, sTCPEvents, RowCount(sTCPEvents));
    d->AddInterface(GetReadableInterfaceDefinition());
    d->AddInterface(GetWriteableInterfaceDefinition());
    return d;
  }();
  return definition;
}

ObjectDefinition* GetSocketClassDefinition() {
  static ObjectDefinition* definition =
      NewDefinition("Socket", GetTCPSocketClassDefinition(), sizeof(VornTCPSocketObject));
  return definition;
}

ObjectDefinition* GetServerSocketClassDefinition() {
  static ObjectDefinition* definition = [] {
    GetSocketCoreClassDefinition();  // installs the event hooks native sockets use
    ObjectDefinition* d = NewDefinition("ServerSocket", GetControlClassDefinition(), sizeof(VornServerSocketObject));
    BeginClassDefinition(d, kConstants, RowCount(kConstants));
    d->mInitializer = {Fn(&RuntimeServerSocketConstructor), "RuntimeServerSocketConstructor"};
    d->mFinalizer = {Fn(&RuntimeServerSocketDestructor), "RuntimeServerSocketDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kServerProperties, RowCount(kServerProperties)));
    SetMethodList(d, kServerMethods, RowCount(kServerMethods));
    SetEventList(d, sServerEvents, RowCount(sServerEvents));
    return d;
  }();
  return definition;
}

ObjectDefinition* GetUDPSocketClassDefinition() {
  static ObjectDefinition* definition = [] {
    ObjectDefinition* d = NewDefinition("UDPSocket", GetSocketCoreClassDefinition(), sizeof(VornUDPSocketObject));
    d->mInitializer = {Fn(&RuntimeUDPSocketConstructor), "RuntimeUDPSocketConstructor"};
    d->mFinalizer = {Fn(&RuntimeUDPSocketDestructor), "RuntimeUDPSocketDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kUDPProperties, RowCount(kUDPProperties)));
    SetMethodList(d, kUDPMethods, RowCount(kUDPMethods));
    return d;
  }();
  return definition;
}

ObjectDefinition* GetDatagramClassDefinition() {
  static ObjectDefinition* definition = [] {
    ObjectDefinition* d = NewDefinition("Datagram", nullptr, sizeof(VornDatagramObject));
    d->mFinalizer = {Fn(&RuntimeDatagramFinalizer), "RuntimeDatagramFinalizer"};
    d->SetInstanceVariables(BuildPropertyList(kDatagramProperties, RowCount(kDatagramProperties)));
    return d;
  }();
  return definition;
}

namespace {

// A socket or server socket of a window that closes: it stops listening or disconnects.
void CloseWindowSocket(RuntimeObject* object) {
  if (IsServerSocketObject(object)) {
    ServerSocketClose(object);
    return;
  }
  const std::vector<SocketCore*> sockets = SocketList();
  for (SocketCore* socket : sockets) {
    const auto& live = SocketList();
    if (socket->Owner() == object && std::find(live.begin(), live.end(), socket) != live.end()) socket->Close(false);
  }
}

}  // namespace

void RegisterSocketClasses() {
  SetWindowObjectCloser(&CloseWindowSocket);
  RegisterIntrinsicClass("SocketCore", &GetSocketCoreClassDefinition);
  RegisterIntrinsicClass("TCPSocket", &GetTCPSocketClassDefinition);
  RegisterIntrinsicClass("Socket", &GetSocketClassDefinition);
  RegisterIntrinsicClass("ServerSocket", &GetServerSocketClassDefinition);
  RegisterIntrinsicClass("UDPSocket", &GetUDPSocketClassDefinition);
  RegisterIntrinsicClass("Datagram", &GetDatagramClassDefinition);
  RegisterIntrinsicClass("IPCSocket", &GetIPCSocketClassDefinition);
  static bool debuggerRowsAdded = false;
  if (!debuggerRowsAdded) {
    AddRelocEntry("DebuggerSocketCount", reinterpret_cast<void*>(&DebuggerSocketCount));
    AddRelocEntry("DebuggerSocketLookup", reinterpret_cast<void*>(&DebuggerSocketLookup));
  }
  debuggerRowsAdded = true;
}

bool IsTCPSocketObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetTCPSocketClassDefinition());
}
bool IsServerSocketObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetServerSocketClassDefinition());
}
bool IsUDPSocketObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetUDPSocketClassDefinition());
}

VornSocketCoreObject* SocketFields(RuntimeObject* object) {
  if (!object) return nullptr;
  if (RuntimeObjectIsaDefinition(object, GetSocketCoreClassDefinition()) || IsServerSocketObject(object))
    return reinterpret_cast<VornSocketCoreObject*>(object);
  return nullptr;
}

SocketCore* NativeSocketOf(RuntimeObject* object) {
  VornSocketCoreObject* fields = SocketFields(object);
  if (!fields || !fields->socket) {
    ReportSocketAssertion(__LINE__, "ctl->socket");
    return nullptr;
  }
  return static_cast<SocketCore*>(fields->socket);
}

TCPSocket* NativeTCPSocketOf(RuntimeObject* object) {
  return dynamic_cast<TCPSocket*>(NativeSocketOf(object));
}

UDPSocket* NativeUDPSocketOf(RuntimeObject* object) {
  return dynamic_cast<UDPSocket*>(NativeSocketOf(object));
}

}  // namespace vorn
