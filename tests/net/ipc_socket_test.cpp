#include "net/ipc_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <future>
#include <utility>
#include <vector>

#include <cstddef>
#include <fstream>
#include <string>

#include "core/support/core_object_test.h"
#include "net/socket_classes.h"
#include "net/support/net_test_support.h"

namespace vorn {
namespace {

using testing::PollUntil;

class LoggingIPCDelegate : public IPCSocketDelegate {
 public:
  void Connected(IPCSocket*) override { log += "Connected;"; }
  void DataAvailable(IPCSocket* socket) override {
    log += "DataAvailable;";
    if (readOnData) received += socket->ReadAll();
  }
  void Error(IPCSocket*, int32_t code) override { log += "Error(" + std::to_string(code) + ");"; }
  std::string log;
  std::string received;
  bool readOnData = false;
};

std::string TempPath(const char* name) {
  return "/tmp/vorn-ipc-" + std::to_string(getpid()) + "-" + name;
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

TEST(IPCSocketTest, ProcessesTalkOverAPathAndOnlyTheListenerRemovesIt) {
  std::string path = TempPath("talk");
  LoggingIPCDelegate serverEvents, clientEvents;
  IPCSocket server(&serverEvents), client(&clientEvents);
  server.SetPath(path);
  server.Listen();
  ASSERT_TRUE(Exists(path));
  client.SetPath(path);
  client.Connect();
  ASSERT_TRUE(PollUntil([&] { return server.IsConnected() && client.IsConnected(); }));
  client.Write("over the path");
  ASSERT_TRUE(PollUntil([&] { return server.BytesAvailable() == 13; }));
  EXPECT_EQ(server.Lookahead(), "over the path");
  EXPECT_EQ(server.Read(4), "over");
  EXPECT_EQ(server.ReadAll(), " the path");
  server.Write("reply");
  ASSERT_TRUE(PollUntil([&] { return client.BytesAvailable() == 5; }));
  EXPECT_EQ(serverEvents.log, "Connected;DataAvailable;");
  EXPECT_EQ(clientEvents.log, "Connected;DataAvailable;");

  client.Close();
  ASSERT_TRUE(PollUntil([&] { return serverEvents.log.find("Error") != std::string::npos; }));
  EXPECT_EQ(serverEvents.log, "Connected;DataAvailable;Error(102);");
  // The listener became the connection and closed after the error: it still removes the path
  // it bound, so the next server can listen there.
  EXPECT_FALSE(Exists(path));
  IPCSocket next(&serverEvents);
  next.SetPath(path);
  next.Listen();
  EXPECT_TRUE(Exists(path));
  EXPECT_EQ(next.LastError(), 0);
  next.Close();
  EXPECT_FALSE(Exists(path));
}

TEST(IPCSocketTest, ListenThenCloseLeavesNoSocketFile) {
  std::string path = TempPath("close");
  LoggingIPCDelegate events;
  IPCSocket server(&events);
  server.SetPath(path);
  server.Listen();
  ASSERT_TRUE(Exists(path));
  server.Close();
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(events.log, "");
}

TEST(IPCSocketTest, ConnectingToAPathNobodyListensOnGivesNameResolutionError) {
  LoggingIPCDelegate events;
  IPCSocket client(&events);
  client.SetPath(TempPath("nobody"));
  client.Connect();
  ASSERT_TRUE(PollUntil([&] { return !events.log.empty(); }));
  EXPECT_EQ(events.log, "Error(103);");
  EXPECT_EQ(client.LastError(), 103);

  events.log.clear();
  client.SetPath(std::string(200, 'x'));  // longer than a socket path can be
  client.Connect();
  EXPECT_EQ(events.log, "Error(103);");
}

// A raw socket bound at the path, listening or (as a server killed with SIGKILL leaves it) not.
int BindRawSocket(const std::string& path, bool listening) {
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return -1;
  if (listening) listen(fd, 1);
  return fd;
}

TEST(IPCSocketTest, ListenTakesOverOnlyAPathNobodyListensOn) {
  enum Left { kDeadServer, kLiveServer, kPlainFile };
  struct Case {
    Left left;
    bool listens;
  };
  for (const Case& c : {Case{kDeadServer, true}, Case{kLiveServer, false}, Case{kPlainFile, false}}) {
    SCOPED_TRACE(c.left);
    std::string path = TempPath("left");
    int holder = -1;
    if (c.left == kPlainFile) {
      std::ofstream(path) << "keep";
    } else {
      holder = BindRawSocket(path, c.left == kLiveServer);
      ASSERT_GE(holder, 0);
      if (c.left == kDeadServer) close(holder);  // the file stays, nobody behind it
    }
    LoggingIPCDelegate events;
    IPCSocket server(&events);
    server.SetPath(path);
    server.Listen();
    EXPECT_EQ(server.LastError(), c.listens ? 0 : 105);
    if (c.listens) {
      IPCSocket client(&events);
      client.SetPath(path);
      client.Connect();
      EXPECT_TRUE(PollUntil([&] { return server.IsConnected() && client.IsConnected(); }));
    }
    if (c.left == kLiveServer) {
      EXPECT_EQ(BindRawSocket(path, false), -1) << "the live listener's path was taken";
      close(holder);
    }
    if (c.left == kPlainFile) {
      std::string text;
      std::ifstream(path) >> text;
      EXPECT_EQ(text, "keep") << "the file was removed";
    }
    server.Close();
    unlink(path.c_str());
  }
}

TEST(IPCSocketTest, ABusyLiveServerIsNeitherWaitedForNorTakenForAConnection) {
  struct Case {
    bool listen;  // beside the server, or connect to it
    const char* log;
    int32_t error;
  };
  for (const Case& c : {Case{true, "Error(105);", 105}, Case{false, "Error(103);", 103}}) {
    SCOPED_TRACE(c.log);
    // A live server of the same user that does not accept: once its backlog is full, a
    // blocking connect to it would wait until it accepts or dies.
    std::string path = TempPath("busy");
    int listener = BindRawSocket(path, false);
    ASSERT_EQ(listen(listener, 0), 0);
    sockaddr_un address{AF_UNIX, {}};
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    std::vector<int> waiting;
    for (bool full = false; !full;) {
      ASSERT_LT(waiting.size(), 64u) << "the server's backlog did not fill";
      waiting.push_back(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0));
      full = connect(waiting.back(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 && errno == EAGAIN;
    }
    LoggingIPCDelegate events;
    IPCSocket socket(&events);
    socket.SetPath(path);
    auto call = std::async(std::launch::async, [&] { c.listen ? socket.Listen() : socket.Connect(); });
    bool inTime = call.wait_for(std::chrono::seconds(testing::kWaitLimitSeconds)) == std::future_status::ready;
    if (!inTime) close(std::exchange(listener, -1));  // lets a waiting call return, so that the run ends
    call.wait();
    EXPECT_TRUE(inTime) << "the call waited for the busy server";
    PollUntil([&] { return !events.log.empty(); });
    for (int i = 0; i < 5; ++i) PollAllSockets(false);
    EXPECT_EQ(events.log, c.log);
    EXPECT_EQ(socket.LastError(), c.error);
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_EQ(BindRawSocket(path, false), -1) << "the live server's path was taken";
    socket.Close();
    for (int fd : waiting) close(fd);
    close(listener);
    unlink(path.c_str());
  }
}

// A foreign server takes the connection, sends its bytes and closes or shuts down writing
// before the program's first pass: the end is seen after the bytes, and the socket closes.
TEST(IPCSocketTest, APeerThatSendsAndEndsAtOnceIsSeenEnding) {
  for (const testing::PeerEndRow& row : testing::PeerEndRows({testing::PeerEnd::kClose, testing::PeerEnd::kShutdownWrite})) {
    const std::string path = TempPath("ending");
    const int listener = BindRawSocket(path, true);
    LoggingIPCDelegate events;
    events.readOnData = true;
    IPCSocket socket(&events);
    socket.SetPath(path);
    socket.Connect();
    testing::ExpectSeenEnding(row, socket, events, [&] { return accept(listener, nullptr, nullptr); });
    close(listener);
    unlink(path.c_str());
  }
}

int sErrors = 0;
void OnIPCError(RuntimeObject*) { ++sErrors; }

class IPCSocketClassTest : public testing::CoreObjectTest {};

TEST_F(IPCSocketClassTest, ConnectWithoutAPathFiresErrorWithInvalidState) {
  sErrors = 0;
  RuntimeClass* cls = testing::MakeSubclass("ErrorIPCSocket", "IPCSocket", sizeof(VornIPCSocketObject),
                                            {{"#Error%%o<ErrorIPCSocket>", reinterpret_cast<void*>(&OnIPCError),
                                              nullptr, 0}});
  RuntimeObject* sock = RuntimeNewObject(cls);
  IPCSocketConnect(sock);
  EXPECT_EQ(sErrors, 1);
  EXPECT_TRUE(IPCSocketHadError(sock));
  EXPECT_TRUE(IPCSocketEOF(sock));

  std::string path = TempPath("class");
  string text(path.c_str());
  stringSetter(sock, static_cast<int32_t>(offsetof(VornIPCSocketObject, path)), text.Rep());
  IPCSocketListen(sock);
  EXPECT_NE(IPCSocketGetHandle(sock, 0), -1);
  EXPECT_TRUE(Exists(path));
  IPCSocketClose(sock);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(IPCSocketLastErrorGetter(sock, 0), 0);
  RuntimeUnlockObject(sock);
}

}  // namespace
}  // namespace vorn
