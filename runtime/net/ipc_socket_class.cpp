// The language's IPCSocket class: Path, Connect, Listen, reading and writing, and the events
// Connected, DataAvailable and Error through an event manager that is the native delegate.
#include <cstddef>
#include <iterator>

#include "net/ipc_socket.h"
#include "net/socket_classes.h"
#include "net/socket_errors.h"
#include "net/socket_text.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "objects/text_encoding_object.h"
#include "windows/control.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const ConstantRow kConstants[] = {
    {"OpenDriverError", "100"},   {"LostConnection", "102"},   {"NameResolutionError", "103"},
    {"AddressInUseError", "105"}, {"InvalidStateError", "106"}, {"InvalidPortError", "107"},
    {"OutOfMemoryError", "108"},
};

#define GETTER(name, type, function) {0, name, type, Fn(&function), #function, nullptr, nullptr, 0, 0}
#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}

const PropertyRow kProperties[] = {
    {0, "Path", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
     static_cast<int32_t>(offsetof(VornIPCSocketObject, path)), 0},
    GETTER("LastErrorCode", "i4", IPCSocketLastErrorGetter),
    GETTER("IsConnected", "b", IPCSocketIsConnected),
    GETTER("Handle", "i4", IPCSocketGetHandle),
    GETTER("BytesAvailable", "i4", IPCSocketBytesAvailable),
    GETTER("BytesLeftToSend", "i4", IPCSocketBytesLeftToSend),
};

const ParamRow kEncodingParam[] = {{"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kReadParams[] = {{"byteCount", "i4", 0, 0}, {"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kTextParam[] = {{"Text", "s", 0, 0}};

const MethodRow kMethods[] = {
    METHOD("Close", "", nullptr, 0, IPCSocketClose),
    METHOD("Poll", "", nullptr, 0, IPCSocketPoll),
    METHOD("Connect", "", nullptr, 0, IPCSocketConnect),
    METHOD("Listen", "", nullptr, 0, IPCSocketListen),
    METHOD("Read", "s", kReadParams, 2, IPCSocketRead),
    METHOD("ReadAll", "s", kEncodingParam, 1, IPCSocketReadAll),
    METHOD("Write", "", kTextParam, 1, IPCSocketWrite),
    METHOD("Lookahead", "s", kEncodingParam, 1, IPCSocketLookahead),
    METHOD("EOF", "b", nullptr, 0, IPCSocketEOF),
    METHOD("ReadError", "b", nullptr, 0, IPCSocketHadError),
    METHOD("WriteError", "b", nullptr, 0, IPCSocketHadError),
    METHOD("Flush", "", nullptr, 0, IPCSocketFlush),
};

#undef GETTER
#undef METHOD

EventRow sEvents[] = {
    {0, "Connected", "", "", nullptr, 0},
    {0, "DataAvailable", "", "", nullptr, 0},
    {0, "Error", "", "", nullptr, 0},
};

// Passes the native socket's events to the language object's handlers.
class IPCSocketEventManager : public IPCSocketDelegate {
 public:
  explicit IPCSocketEventManager(RuntimeObject* owner) : mOwningControl(owner) {}
  void Connected(IPCSocket*) override { Fire(0); }
  void DataAvailable(IPCSocket*) override { Fire(1); }
  void Error(IPCSocket*, int32_t code) override {
    if (mOwningControl) reinterpret_cast<VornIPCSocketObject*>(mOwningControl)->lastError = code;
    Fire(2);
  }

 private:
  void Fire(int index) {
    if (!mOwningControl) {
      ReportSocketAssertion(__LINE__, "mOwningControl");
      return;
    }
    FireEvent(mOwningControl, sEvents[index].hook);
  }
  RuntimeObject* mOwningControl;
};

VornIPCSocketObject* Fields(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetIPCSocketClassDefinition())
             ? reinterpret_cast<VornIPCSocketObject*>(object)
             : nullptr;
}

IPCSocket* ImpOf(RuntimeObject* object, int32_t line) {
  VornIPCSocketObject* fields = Fields(object);
  if (!fields || !fields->imp) {
    ReportSocketAssertion(line, "ctl->mImp");
    return nullptr;
  }
  return static_cast<IPCSocket*>(fields->imp);
}

// Connect and Listen need a path; without one the Error event reports an invalid state.
IPCSocket* ImpWithPath(RuntimeObject* object, int32_t line) {
  IPCSocket* imp = ImpOf(object, line);
  if (!imp) return nullptr;
  VornIPCSocketObject* fields = Fields(object);
  std::string path = SocketText(fields->path);
  if (path.empty()) {
    static_cast<IPCSocketEventManager*>(fields->eventManager)->Error(imp, kSocketInvalidStateError);
    return nullptr;
  }
  imp->SetPath(path);
  return imp;
}

}  // namespace

ObjectDefinition* GetIPCSocketClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("IPCSocket");
    d->mSuper = GetControlClassDefinition();
    d->mInstanceSize = static_cast<int32_t>(sizeof(VornIPCSocketObject));
    d->mInitializer = {Fn(&IPCSocketInitializer), "IPCSocketInitializer"};
    d->mFinalizer = {Fn(&IPCSocketFinalizer), "IPCSocketFinalizer"};
    BeginClassDefinition(d, kConstants, RowCount(kConstants));
    d->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
    SetMethodList(d, kMethods, RowCount(kMethods));
    SetEventList(d, sEvents, RowCount(sEvents));
    return d;
  }();
  return definition;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void IPCSocketInitializer(VornRuntimeObject* sock) {
  VornIPCSocketObject* fields = Fields(sock);
  if (!fields || fields->imp) return;
  auto* manager = new IPCSocketEventManager(sock);
  fields->eventManager = manager;
  fields->imp = new IPCSocket(manager);
  fields->lastError = 0;
}

void IPCSocketFinalizer(VornRuntimeObject* sock) {
  VornIPCSocketObject* fields = Fields(sock);
  if (!fields) return;
  stringSetter(sock, static_cast<int32_t>(offsetof(VornIPCSocketObject, path)), nullptr);
  delete static_cast<IPCSocket*>(fields->imp);
  delete static_cast<IPCSocketEventManager*>(fields->eventManager);
  fields->imp = nullptr;
  fields->eventManager = nullptr;
}

int32_t IPCSocketLastErrorGetter(VornRuntimeObject* sock, int32_t) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  if (!imp) return 0;
  Fields(sock)->lastError = imp->LastError();
  return Fields(sock)->lastError;
}

uint8_t IPCSocketIsConnected(VornRuntimeObject* sock, int32_t) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  return imp && imp->IsConnected() ? 1 : 0;
}

int32_t IPCSocketGetHandle(VornRuntimeObject* sock, int32_t) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  return imp ? imp->GetHandle() : 0;
}

int32_t IPCSocketBytesAvailable(VornRuntimeObject* sock, int32_t) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  return imp ? imp->BytesAvailable() : 0;
}

int32_t IPCSocketBytesLeftToSend(VornRuntimeObject* sock, int32_t) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  return imp ? imp->BytesLeftToSend() : 0;
}

void IPCSocketClose(VornRuntimeObject* sock) {
  if (IPCSocket* imp = ImpOf(sock, __LINE__)) imp->Close();
}

void IPCSocketPoll(VornRuntimeObject* sock) {
  if (IPCSocket* imp = ImpOf(sock, __LINE__)) imp->Poll();
}

void IPCSocketConnect(VornRuntimeObject* sock) {
  if (IPCSocket* imp = ImpWithPath(sock, __LINE__)) imp->Connect();
}

void IPCSocketListen(VornRuntimeObject* sock) {
  if (IPCSocket* imp = ImpWithPath(sock, __LINE__)) imp->Listen();
}

VornStringRecord* IPCSocketRead(VornRuntimeObject* sock, int32_t byteCount, VornRuntimeObject* encoding) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  return imp ? HandOutReceived(imp->ReadString(byteCount, GetEncodingFromTEObject(encoding))) : nullptr;
}

VornStringRecord* IPCSocketReadAll(VornRuntimeObject* sock, VornRuntimeObject* encoding) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  return imp ? HandOutReceived(imp->ReadAllString(GetEncodingFromTEObject(encoding))) : nullptr;
}

VornStringRecord* IPCSocketLookahead(VornRuntimeObject* sock, VornRuntimeObject* encoding) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  return imp ? HandOutSocketBytes(imp->Lookahead(), encoding) : nullptr;
}

void IPCSocketWrite(VornRuntimeObject* sock, VornStringRecord* text) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  if (imp) imp->WriteString(string::Share(text));
}

uint8_t IPCSocketEOF(VornRuntimeObject* sock) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  if (!imp) return 1;
  return !imp->IsConnected() && imp->BytesAvailable() == 0 ? 1 : 0;
}

uint8_t IPCSocketHadError(VornRuntimeObject* sock) {
  VornIPCSocketObject* fields = Fields(sock);
  return fields && fields->lastError != 0 ? 1 : 0;
}

void IPCSocketFlush(VornRuntimeObject* sock) {
  IPCSocket* imp = ImpOf(sock, __LINE__);
  if (!imp) return;
  imp->Poll();
  imp->Flush();
}

}  // extern "C"
