#include "net/socket_classes.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "core/support/core_object_test.h"
#include "net/support/net_test_support.h"
#include "objects/arrays.h"
#include "net/server_socket_pool.h"
#include "objects/class_registry.h"
#include "base/reloc_entry.h"
#include "vorn/debug_api.h"

namespace vorn {
namespace {

using testing::CoreObjectTest;
using testing::PollUntil;

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The client of the test, to tell whose event fired.
RuntimeObject* sClient = nullptr;

std::string& Log() { return CoreObjectTest::Log(); }
std::string Name(RuntimeObject* self) { return self == sClient ? "client" : "server"; }

// The logged events of one side, in order.
std::string EventsOf(const std::string& name) {
  std::string events;
  const std::string& log = Log();
  for (size_t start = 0, end; (end = log.find(';', start)) != std::string::npos; start = end + 1)
    if (log.compare(start, name.size() + 1, name + ".") == 0) events += log.substr(start, end + 1 - start);
  return events;
}

void OnConnected(RuntimeObject* self) { Log() += Name(self) + ".Connected;"; }
void OnDataAvailable(RuntimeObject* self) { Log() += Name(self) + ".DataAvailable;"; }
void OnError(RuntimeObject* self) {
  Log() += Name(self) + ".Error(" + std::to_string(socketLastErrorCode(self, 0)) + ");";
}
void OnSendComplete(RuntimeObject* self, uint8_t aborted) {
  Log() += Name(self) + ".SendComplete(" + std::to_string(aborted) + ");";
}

const std::vector<VornClassMember> kTCPHandlers = {
    {"#Connected%%o<LoggingTCPSocket>", Fn(&OnConnected), nullptr, 0},
    {"#DataAvailable%%o<LoggingTCPSocket>", Fn(&OnDataAvailable), nullptr, 0},
    {"#Error%%o<LoggingTCPSocket>", Fn(&OnError), nullptr, 0},
    {"#SendComplete%%o<LoggingTCPSocket>b", Fn(&OnSendComplete), nullptr, 0},
};

RuntimeClass* LoggingTCPSocket() {
  return testing::MakeSubclass("LoggingTCPSocket", "TCPSocket", sizeof(VornTCPSocketObject), kTCPHandlers);
}

int sAddSocketCalls = 0;
RuntimeObject* OnAddSocket(RuntimeObject*) {
  ++sAddSocketCalls;
  return RuntimeNewObject(LoggingTCPSocket());
}
void OnServerError(RuntimeObject*, int32_t code) { Log() += "pool.Error(" + std::to_string(code) + ");"; }

RuntimeClass* PoolServer() {
  return testing::MakeSubclass("PoolServer", "ServerSocket", sizeof(VornServerSocketObject),
                               {{"#AddSocket%o<TCPSocket>%o<PoolServer>", Fn(&OnAddSocket), nullptr, 0},
                                {"#Error%%o<PoolServer>i4", Fn(&OnServerError), nullptr, 0}});
}

VornStringRecord* Text(const char* text) { return string(text).GetRetainedRep(); }

std::string Take(VornStringRecord* record) { return std::string(string::Adopt(record).View()); }

void SetAddress(RuntimeObject* socket, const char* address) {
  VornStringRecord* text = Text(address);
  stringSetter(socket, static_cast<int32_t>(offsetof(VornTCPSocketObject, address)), text);
  string::Adopt(text);
}

// The server listens on a free port and the client connects to it on 127.0.0.1.
bool ConnectPair(RuntimeObject* server, RuntimeObject* client) {
  sClient = client;
  SocketListen(server);
  SocketPortSetter(client, 0, SocketPortGetter(server, 0));
  SetAddress(client, "127.0.0.1");
  SocketConnect(client);
  return PollUntil([&] { return SocketIsConnected(server, 0) && SocketIsConnected(client, 0); });
}

class SocketClassesTest : public CoreObjectTest {
 protected:
  void TearDown() override {
    sClient = nullptr;
    CoreObjectTest::TearDown();
  }
};

TEST_F(SocketClassesTest, TheClassesAreRegisteredUnderTheirNames) {
  for (const char* name : {"SocketCore", "TCPSocket", "Socket", "ServerSocket", "UDPSocket", "Datagram"})
    EXPECT_NE(LookupIntrinsicClass(string(name)), nullptr) << name;
  EXPECT_EQ(GetSocketClassDefinition()->mSuper, GetTCPSocketClassDefinition());
  EXPECT_EQ(GetTCPSocketClassDefinition()->mInterfaces.size(), 2u) << "Readable and Writeable";
}

TEST_F(SocketClassesTest, TwoTCPSocketsTalkThroughTheirEventsOnLocalhost) {
  RuntimeObject* server = RuntimeNewObject(LoggingTCPSocket());
  RuntimeObject* client = RuntimeNewObject(LoggingTCPSocket());
  sClient = client;
  SocketListen(server);
  ASSERT_GT(SocketPortGetter(server, 0), 0);
  SocketPortSetter(client, 0, SocketPortGetter(server, 0));
  SetAddress(client, "LocalHost");
  SocketConnect(client);
  ASSERT_TRUE(PollUntil([&] { return SocketIsConnected(server, 0) && SocketIsConnected(client, 0); }));
  EXPECT_EQ(Take(socketRemoteAddressGetter(server, 0)), "127.0.0.1");

  SocketWrite(client, string::Adopt(Text("ping")).Rep());
  ASSERT_TRUE(PollUntil([&] { return SocketBytesAvailable(server, 0) == 4; }));
  EXPECT_EQ(Take(socketLookahead(server, nullptr)), "ping");
  EXPECT_EQ(Take(socketRead(server, 2, nullptr)), "pi");
  EXPECT_EQ(Take(SocketReadAll(server, nullptr)), "ng");
  EXPECT_FALSE(TCPSocketEof(server)) << "connected, even with nothing to read";

  SocketDisconnect(server);
  ASSERT_TRUE(PollUntil([&] { return Log().find("client.Error") != std::string::npos; }));
  EXPECT_EQ(EventsOf("client"), "client.Connected;client.SendComplete(0);client.Error(102);");
  EXPECT_EQ(EventsOf("server"), "server.Connected;server.DataAvailable;server.Error(102);");
  EXPECT_TRUE(TCPSocketEof(client));
  EXPECT_EQ(socketLastErrorCode(client, 0), 102);
  SocketDisconnect(server);
  EXPECT_EQ(Log().find("server.Error(102);"), Log().rfind("server.Error(102);"))
      << "a socket that is not connected raises nothing";
  RuntimeUnlockObject(server);
  RuntimeUnlockObject(client);
}

uint8_t OnSendProgressAbort(RuntimeObject* self, int32_t sent, int32_t left) {
  Log() += Name(self) + ".SendProgress(" + (sent > 0 ? "some" : "none") + "," + (left > 0 ? "more" : "none") + ");";
  return 1;
}

TEST_F(SocketClassesTest, ASendProgressHandlerAnsweringTrueDiscardsTheRestAndSendCompleteSaysSo) {
  RuntimeClass* aborting = testing::MakeSubclass(
      "AbortingTCPSocket", "TCPSocket", sizeof(VornTCPSocketObject),
      {{"#Connected%%o<AbortingTCPSocket>", Fn(&OnConnected), nullptr, 0},
       {"#SendComplete%%o<AbortingTCPSocket>b", Fn(&OnSendComplete), nullptr, 0},
       {"#SendProgress%b%o<AbortingTCPSocket>i4i4", Fn(&OnSendProgressAbort), nullptr, 0}});
  RuntimeObject* server = RuntimeNewObject(LoggingTCPSocket());
  RuntimeObject* client = RuntimeNewObject(aborting);
  ASSERT_TRUE(ConnectPair(server, client));
  std::string big(8 << 20, 'z');
  SocketWrite(client, string::Adopt(string(big, kEncodingASCII).GetRetainedRep()).Rep());
  ASSERT_TRUE(PollUntil([&] { return Log().find("client.SendComplete") != std::string::npos; }));
  EXPECT_EQ(EventsOf("client"), "client.Connected;client.SendProgress(some,more);client.SendComplete(1);");
  EXPECT_EQ(TCPSocketBytesLeftToSend(client, 0), 0);
  socketClose(server);
  socketClose(client);
  RuntimeUnlockObject(server);
  RuntimeUnlockObject(client);
}

TEST_F(SocketClassesTest, ConnectingToAClosedPortFiresErrorWithNameResolutionError) {
  RuntimeObject* client = RuntimeNewObject(LoggingTCPSocket());
  sClient = client;
  SetAddress(client, "127.0.0.1");
  SocketPortSetter(client, 0, 1);  // nobody serves port 1 here
  SocketConnect(client);
  ASSERT_TRUE(PollUntil([&] { return !Log().empty(); }));
  EXPECT_EQ(Log(), "client.Error(103);");
  EXPECT_EQ(SocketGetHandle(client, 0), -1);
  SocketPortSetter(client, 0, 70000);
  SocketConnect(client);
  EXPECT_EQ(socketLastErrorCode(client, 0), 107);
  RuntimeUnlockObject(client);
}

TEST_F(SocketClassesTest, AServerSocketFillsItsPoolAndHandsConnectionsToIt) {
  sAddSocketCalls = 0;
  RuntimeObject* server = RuntimeNewObject(PoolServer());
  auto* fields = reinterpret_cast<VornServerSocketObject*>(server);
  EXPECT_EQ(fields->minimumSocketsAvailable, 1);
  EXPECT_EQ(fields->maximumSocketsConnected, 1);
  VornArray* none = ServerSocketGetActiveSockets(server);
  EXPECT_EQ(RuntimeUBound2Param(none, 1), -1);
  RuntimeUnlockArray(none);

  ServerSocketListen(server);
  EXPECT_TRUE(serverSocketIsListening(server, 0));
  int32_t port = ServerSocketPortGetter(server, 0);
  ASSERT_GT(port, 0);
  ASSERT_TRUE(PollUntil([&] { return sAddSocketCalls > 0; }));
  EXPECT_EQ(sAddSocketCalls, 11) << "the minimum plus ten";

  RuntimeObject* client = RuntimeNewObject(LoggingTCPSocket());
  sClient = client;
  SetAddress(client, "127.0.0.1");
  SocketPortSetter(client, 0, port);
  SocketConnect(client);
  ASSERT_TRUE(PollUntil([&] { return Log().find("server.Connected") != std::string::npos; }));
  VornArray* active = ServerSocketGetActiveSockets(server);
  ASSERT_EQ(RuntimeUBound2Param(active, 1), 0);
  RuntimeObject* child = ArrayGetObject(active, 0);
  RuntimeUnlockArray(active);
  RuntimeUnlockObject(child);
  EXPECT_TRUE(SocketIsConnected(child, 0));
  SocketWrite(child, string::Adopt(Text("welcome")).Rep());
  ASSERT_TRUE(PollUntil([&] { return SocketBytesAvailable(client, 0) == 7; }));

  // One connection is the maximum: a second client is turned away without an event.
  RuntimeObject* extra = RuntimeNewObject(LoggingTCPSocket());
  SetAddress(extra, "127.0.0.1");
  SocketPortSetter(extra, 0, port);
  SocketConnect(extra);
  ASSERT_TRUE(PollUntil([&] { return Log().find("server.Error(102)") != std::string::npos; }));

  ServerSocketClose(server);
  EXPECT_FALSE(serverSocketIsListening(server, 0));
  socketClose(client);
  RuntimeUnlockObject(client);
  RuntimeUnlockObject(extra);
  RuntimeUnlockObject(server);
  PollAllSockets(false);
}

// The sockets a handler made for the pool, each with a reference of the test's own, the way a
// program keeps them in a property; while sOnlySocket is set it hands over that one each time.
RuntimeObject* sOnlySocket = nullptr;
std::vector<RuntimeObject*> sKept;
RuntimeObject* OnAddKeptSocket(RuntimeObject*) {
  RuntimeObject* socket = sOnlySocket ? sOnlySocket : RuntimeNewObject(LoggingTCPSocket());
  RuntimeLockObject(socket);
  sKept.push_back(socket);
  return socket;
}

// A server listening with its pool, serving at most `most` clients at once.
RuntimeObject* ListeningServer(int32_t most, RuntimeClass* type = nullptr) {
  RuntimeObject* server = RuntimeNewObject(
      type ? type
           : testing::MakeSubclass("KeptServer", "ServerSocket", sizeof(VornServerSocketObject),
                                   {{"#AddSocket%o<TCPSocket>%o<KeptServer>", Fn(&OnAddKeptSocket), nullptr, 0}}));
  reinterpret_cast<VornServerSocketObject*>(server)->maximumSocketsConnected = most;
  sKept.clear();
  ServerSocketListen(server);
  return server;
}

RuntimeObject* NewClient(int32_t port) {
  RuntimeObject* client = RuntimeNewObject(LoggingTCPSocket());
  SetAddress(client, "127.0.0.1");
  SocketPortSetter(client, 0, port);
  SocketConnect(client);
  return client;
}

void CloseAll(RuntimeObject* server, const std::vector<RuntimeObject*>& sockets) {
  if (server) ServerSocketClose(server);
  for (RuntimeObject* socket : sockets) {
    socketClose(socket);
    RuntimeUnlockObject(socket);
  }
  RuntimeUnlockObject(server);
  PollAllSockets(false);
}

TEST_F(SocketClassesTest, APoolListsASocketOnceHoweverOftenAddSocketHandsItOver) {
  sOnlySocket = RuntimeNewObject(LoggingTCPSocket());
  RuntimeObject* server = ListeningServer(2);
  int32_t port = ServerSocketPortGetter(server, 0);
  ASSERT_TRUE(PollUntil([&] { return !sKept.empty(); }));
  EXPECT_EQ(NativeTCPSocketOf(server)->Pool()->Available().size(), 1u);
  RuntimeObject* first = sClient = NewClient(port);
  ASSERT_TRUE(PollUntil([&] { return SocketIsConnected(sOnlySocket, 0) && SocketIsConnected(first, 0); }));
  // The pool has no socket left for a second client, which is turned away; the first keeps its
  // connection and hears from the pool's socket.
  RuntimeObject* second = NewClient(port);
  PollUntil([&] { return SocketGetHandle(second, 0) == -1; });
  SocketWrite(sOnlySocket, string::Adopt(Text("still here")).Rep());
  ASSERT_TRUE(PollUntil([&] { return SocketBytesAvailable(first, 0) == 10; }));
  EXPECT_EQ(EventsOf("client"), "client.Connected;client.DataAvailable;");
  EXPECT_TRUE(SocketIsConnected(sOnlySocket, 0));
  CloseAll(server, {first, second, std::exchange(sOnlySocket, nullptr)});
}

// A socket waiting in a pool that the program takes back (closes, or makes listen or connect
// on its own) leaves the pool: the next client goes to another socket, and a closed one the
// program then lets go of is never touched again.
TEST_F(SocketClassesTest, ASocketTheProgramTakesBackFromThePoolIsNeverHandedAClient) {
  enum Use { kClose, kListen, kConnect };
  struct Case {
    Use use;
    bool nextInLine;  // the socket the next client would go to, or the first listed
  } cases[] = {{kClose, true}, {kClose, false}, {kListen, true}, {kConnect, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "use " << c.use << (c.nextInLine ? ", next in line" : ", first listed"));
    RuntimeObject* server = ListeningServer(3);
    int32_t port = ServerSocketPortGetter(server, 0);
    ASSERT_TRUE(PollUntil([&] { return sKept.size() == 11; }));
    ServerSocketPool* pool = NativeTCPSocketOf(server)->Pool();
    RuntimeObject* taken = c.nextInLine ? sKept.back() : sKept.front();
    SocketPortSetter(taken, 0, c.use == kConnect ? port : 0);
    SetAddress(taken, "127.0.0.1");
    if (c.use == kClose) {
      socketClose(taken);
      RuntimeUnlockObject(taken);  // the program lets go of it: nothing else holds it now
      sKept.erase(std::find(sKept.begin(), sKept.end(), taken));
    }
    if (c.use == kListen) SocketListen(taken);
    if (c.use == kConnect) SocketConnect(taken);
    EXPECT_EQ(std::count(pool->Available().begin(), pool->Available().end(), taken), 0);
    EXPECT_EQ(pool->Available().size(), 10u);

    RuntimeObject* client = sClient = NewClient(port);
    size_t served = c.use == kConnect ? 2 : 1;
    EXPECT_TRUE(PollUntil([&] { return SocketIsConnected(client, 0) && pool->Active().size() == served; }));
    EXPECT_EQ(std::count(pool->Active().begin(), pool->Active().end(), taken), 0);
    // A closed one is gone; one listening on its own stays unanswered.
    EXPECT_EQ(c.use != kClose && SocketIsConnected(taken, 0), c.use == kConnect);
    sKept.push_back(client);
    CloseAll(server, sKept);
  }
}

// Clients that arrived together are all taken, one a poll, with no further arrival to announce
// the ones left waiting. Clients that sent and left before the first pass (their bytes and
// their end arriving together) are seen leaving: their slots free for later clients.
TEST_F(SocketClassesTest, APoolTakesEveryClientThatArrivedTogether) {
  using testing::PeerEnd;
  for (PeerEnd end : {PeerEnd::kClose, PeerEnd::kShutdownWrite, PeerEnd::kReset}) {
    for (size_t bytes : {0, 1, 4095, 4096, 4097, 65536}) {
      SCOPED_TRACE(::testing::Message() << bytes << " bytes, end " << static_cast<int>(end));
      sAddSocketCalls = 0;
      Log().clear();
      const size_t listed = SocketList().size();
      RuntimeObject* server = ListeningServer(3, PoolServer());
      ASSERT_TRUE(PollUntil([&] { return sAddSocketCalls > 0; }));
      ServerSocketPool* pool = NativeTCPSocketOf(server)->Pool();
      auto seen = [](const std::string& event) {
        size_t count = 0;
        for (size_t at = 0; (at = EventsOf("server").find(event, at)) != std::string::npos; at += event.size()) ++count;
        return count;
      };
      // The first three clients end as the row says; the next three stay, and are all taken.
      for (size_t served : {3, 6}) {
        const bool stays = served == 6;
        int clients[3];
        for (int& fd : clients) {
          ASSERT_GE(fd = testing::LoopbackClient(ServerSocketPortGetter(server, 0)), 0);
          if (!stays) testing::SendAndEnd(fd, std::string(bytes, 'b'), end);
        }
        EXPECT_TRUE(!stays || PollUntil([&] { return pool->Active().size() == 3; })) << pool->Active().size() << " taken";
        for (int fd : clients)
          if (stays || end == PeerEnd::kShutdownWrite) close(fd);
        EXPECT_TRUE(PollUntil([&] {
          return seen("server.Error(102);") == served && pool->Active().empty() && pool->FreeConnections() == 3;
        })) << pool->Active().size() << " still held: " << EventsOf("server");
        EXPECT_EQ(seen("server.Connected;"), served);
      }
      CloseAll(server, {});
      EXPECT_EQ(SocketList().size(), listed) << "a socket outlived StopListening";
    }
  }
}

// While the program is held (only sockets without an owner advance), an owned socket's bytes
// stay where they are.
TEST_F(SocketClassesTest, APassOverUnownedSocketsLeavesOwnedOnesUntouched) {
  RuntimeObject* server = RuntimeNewObject(LoggingTCPSocket());
  RuntimeObject* client = RuntimeNewObject(LoggingTCPSocket());
  ASSERT_TRUE(ConnectPair(server, client));
  Log().clear();
  SocketWrite(client, string::Adopt(Text("held")).Rep());
  for (int i = 0; i < 20; ++i) PollAllSockets(true);
  EXPECT_EQ(TCPSocketBytesLeftToSend(client, 0), 4);
  EXPECT_EQ(Log(), "");
  ASSERT_TRUE(PollUntil([&] { return SocketBytesAvailable(server, 0) == 4; }));
  CloseAll(nullptr, {server, client});
}

TEST_F(SocketClassesTest, UDPSocketsExchangeDatagramsWithAddressAndPort) {
  RuntimeObject* a = RuntimeNewObject(RuntimeClassFromDefinition(GetUDPSocketClassDefinition()));
  RuntimeObject* b = RuntimeNewObject(RuntimeClassFromDefinition(GetUDPSocketClassDefinition()));
  auto* aFields = reinterpret_cast<VornUDPSocketObject*>(a);
  EXPECT_EQ(aFields->routerHops, 1);
  EXPECT_EQ(aFields->sendToSelf, 1);
  SocketConnect(a);
  SocketConnect(b);
  ASSERT_TRUE(SocketIsConnected(b, 0));
  int32_t bPort = SocketPortGetter(b, 0);
  std::string target = "127.0.0.1:" + std::to_string(bPort);
  UDPSocketWrite(a, string::Adopt(Text(target.c_str())).Rep(), string::Adopt(Text("hello")).Rep());
  ASSERT_TRUE(PollUntil([&] { return PacketsAvailableGetter(b, 0) == 1; }));
  RuntimeObject* datagram = UDPReadDatagram(b, nullptr);
  ASSERT_NE(datagram, nullptr);
  auto* fields = reinterpret_cast<VornDatagramObject*>(datagram);
  EXPECT_EQ(std::string(string::Share(fields->data).View()), "hello");
  EXPECT_EQ(std::string(string::Share(fields->address).View()), "127.0.0.1");
  EXPECT_EQ(fields->port, SocketPortGetter(a, 0));
  RuntimeUnlockObject(datagram);
  EXPECT_EQ(UDPReadDatagram(b, nullptr), nullptr);

  // A non-zero Datagram Port takes the whole Address as the host, which then does not resolve.
  RuntimeObject* odd = CreateInstanceFromDefinition(GetDatagramClassDefinition());
  stringSetter(odd, static_cast<int32_t>(offsetof(VornDatagramObject, address)),
               string::Adopt(Text(target.c_str())).Rep());
  intSetter(odd, static_cast<int32_t>(offsetof(VornDatagramObject, port)), bPort);
  UDPSocketWriteDatagram(a, odd);
  EXPECT_EQ(socketLastErrorCode(a, 0), 103);
  RuntimeUnlockObject(odd);
  RuntimeUnlockObject(a);
  RuntimeUnlockObject(b);
}

TEST_F(SocketClassesTest, EntryPointsGivenTheWrongObjectReportInsteadOfCrashing) {
  RuntimeObject* datagram = CreateInstanceFromDefinition(GetDatagramClassDefinition());
  socketPoll(datagram);
  EXPECT_EQ(SocketBytesAvailable(nullptr, 0), 0);
  EXPECT_EQ(socketRead(datagram, 10, nullptr), nullptr);
  UDPSocketWriteDatagram(nullptr, datagram);
  EXPECT_FALSE(CoreObjectTest::Reports().empty());
  RuntimeUnlockObject(datagram);
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

TEST_F(SocketClassesTest, TheDebuggerListsTheSocketsThatBelongToObjects) {
  EXPECT_NE(LookupRelocEntry(string("DebuggerSocketLookup")), nullptr);
  int32_t before = DebuggerSocketCount();
  RuntimeObject* server = RuntimeNewObject(LoggingTCPSocket());
  SocketListen(server);
  ASSERT_EQ(DebuggerSocketCount(), before + 1);
  bool found = false;
  for (int32_t i = 0; i < before + 1; ++i) {
    RuntimeObject* owner = DebuggerSocketLookup(i);
    found = found || owner == server;
    RuntimeUnlockObject(owner);
  }
  EXPECT_TRUE(found);
  EXPECT_EQ(DebuggerSocketLookup(before + 1), nullptr);
  EXPECT_EQ(DebuggerSocketLookup(-1), nullptr);
  socketClose(server);
  RuntimeUnlockObject(server);
}

}  // namespace
}  // namespace vorn
