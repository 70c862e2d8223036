#include "net/tcp_socket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "net/socket_errors.h"
#include "net/support/net_test_support.h"

namespace vorn {
namespace {

using testing::LoggingTCPDelegate;
using testing::PeerEnd;
using testing::PollUntil;

// A foreign listener on an ephemeral loopback port, blocking; its port is set in *port.
int RawListener(int32_t* port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in here{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
  socklen_t length = sizeof here;
  auto* address = reinterpret_cast<sockaddr*>(&here);
  if (bind(fd, address, length) != 0 || listen(fd, 1) != 0 || getsockname(fd, address, &length) != 0) return -1;
  *port = ntohs(here.sin_port);
  return fd;
}

// A listening socket on an ephemeral loopback port and a client connected to it.
struct Pair {
  LoggingTCPDelegate serverEvents, clientEvents;
  std::unique_ptr<TCPSocket> server = std::make_unique<TCPSocket>(nullptr, &serverEvents);
  std::unique_ptr<TCPSocket> client = std::make_unique<TCPSocket>(nullptr, &clientEvents);

  bool Connect() {
    server->Listen(0);
    int32_t port = server->GetPort();
    if (port <= 0) return false;
    client->Connect("127.0.0.1", port);
    return PollUntil([&] { return server->IsConnected() && client->IsConnected(); });
  }
};

TEST(TCPSocketTest, AListenerBecomesTheConnectionAndBothSidesExchangeData) {
  Pair pair;
  ASSERT_TRUE(pair.Connect());
  EXPECT_FALSE(pair.server->IsListening()) << "without a pool the listener is the connection";
  EXPECT_EQ(pair.clientEvents.log, "Connected;");
  EXPECT_EQ(pair.serverEvents.log, "Connected;");
  EXPECT_EQ(pair.server->GetRemoteAddress(), "127.0.0.1");

  pair.client->Write("hello ", 6);
  pair.client->Write("server", 6);
  EXPECT_EQ(pair.client->BytesLeftToSend(), 12) << "nothing leaves before a poll";
  ASSERT_TRUE(PollUntil([&] { return pair.server->BytesAvailable() == 12; }));
  EXPECT_EQ(pair.server->Read(5), "hello");
  EXPECT_EQ(pair.server->ReadAll(), " server");

  pair.server->Write("back", 4);
  ASSERT_TRUE(PollUntil([&] { return pair.client->BytesAvailable() == 4; }));
  EXPECT_EQ(pair.client->ReadAll(), "back");
  ASSERT_TRUE(PollUntil([&] { return pair.serverEvents.log.find("SendComplete;") != std::string::npos; }));
  EXPECT_EQ(pair.serverEvents.log, "Connected;DataAvailable;SendComplete;");
  // The reply is sent ahead in the pass that reads it, before the client's SendComplete (due
  // from its progress report) is delivered.
  EXPECT_EQ(pair.clientEvents.log, "Connected;DataAvailable;SendComplete;");
}

TEST(TCPSocketTest, LookaheadKeepsBytesAndReadCutsOversizedCounts) {
  Pair pair;
  ASSERT_TRUE(pair.Connect());
  pair.client->Write("abcdef", 6);
  ASSERT_TRUE(PollUntil([&] { return pair.server->BytesAvailable() == 6; }));
  EXPECT_EQ(pair.server->Lookahead(), "abcdef");
  EXPECT_EQ(pair.server->BytesAvailable(), 6);
  EXPECT_EQ(pair.server->Read(0), "");
  EXPECT_EQ(pair.server->Read(-5), "");
  EXPECT_EQ(pair.server->Read(2), "ab");
  EXPECT_EQ(pair.server->Read(0x7FFFFFFF), "cdef");
  EXPECT_EQ(pair.server->ReadAll(), "");
  EXPECT_EQ(pair.server->Lookahead(), "");
}

TEST(TCPSocketTest, ALargeTransferArrivesWhole) {
  Pair pair;
  ASSERT_TRUE(pair.Connect());
  std::string bytes(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  pair.client->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  pair.serverEvents.readOnData = true;
  ASSERT_TRUE(PollUntil([&] { return pair.serverEvents.received.size() == bytes.size(); }));
  EXPECT_EQ(pair.serverEvents.received, bytes);
  EXPECT_GT(pair.clientEvents.progressCalls, 0);
}

// A foreign peer sends its bytes and ends (closes, shuts down writing or resets) before the
// program's first pass, so the bytes and the end arrive together: the end is seen after the
// bytes, whatever their size, and the socket closes.
TEST(TCPSocketTest, APeerClosingGivesLostConnectionAndClosesTheSocket) {
  for (const bool listening : {true, false}) {
    for (const testing::PeerEndRow& row : testing::PeerEndRows({PeerEnd::kClose, PeerEnd::kShutdownWrite, PeerEnd::kReset})) {
      SCOPED_TRACE(listening ? "listening" : "connecting");
      LoggingTCPDelegate events;
      events.readOnData = true;
      TCPSocket socket(nullptr, &events);
      int32_t port = 0;
      const int listener = listening ? -1 : RawListener(&port);
      if (listening) {
        socket.Listen(0);
        port = socket.GetPort();
      } else {
        socket.Connect("127.0.0.1", port);
      }
      testing::ExpectSeenEnding(row, socket, events, [&] {
        return listening ? testing::LoopbackClient(port) : accept(listener, nullptr, nullptr);
      });
      if (listener >= 0) close(listener);
      EXPECT_FALSE(socket.IsRegistered());
    }
  }
}

TEST(TCPSocketTest, WritingToAVanishedPeerReportsAnErrorInsteadOfEndingTheProgram) {
  Pair pair;
  ASSERT_TRUE(pair.Connect());
  pair.server.reset();
  std::string chunk(1 << 20, 'x');
  for (int i = 0; i < 4; ++i) pair.client->Write(chunk.data(), static_cast<int32_t>(chunk.size()));
  ASSERT_TRUE(PollUntil([&] { return pair.client->GetHandle() == -1; }));
  EXPECT_EQ(pair.client->LastError(), kSocketLostConnection);
}

TEST(TCPSocketTest, ConnectingToAClosedPortGivesNameResolutionErrorWithoutConnected) {
  // A port that was just listened on and closed again has nobody behind it.
  LoggingTCPDelegate probeEvents;
  auto probe = std::make_unique<TCPSocket>(nullptr, &probeEvents);
  probe->Listen(0);
  int32_t port = probe->GetPort();
  probe.reset();

  LoggingTCPDelegate events;
  TCPSocket client(nullptr, &events);
  client.Connect("127.0.0.1", port);
  ASSERT_TRUE(PollUntil([&] { return !events.log.empty(); }));
  EXPECT_EQ(events.log, "Error(103);");
  EXPECT_EQ(client.LastError(), kSocketNameResolutionError);
}

TEST(TCPSocketTest, BadAddressesAndPortsGiveErrorCodes) {
  LoggingTCPDelegate events;
  TCPSocket client(nullptr, &events);
  client.Connect("not an address..", 80);
  EXPECT_EQ(events.log, "Error(103);");
  for (int32_t port : {-1, 65536, 0x7FFFFFFF}) {
    events.log.clear();
    client.Connect("127.0.0.1", port);
    EXPECT_EQ(events.log, "Error(107);") << port;
    events.log.clear();
    client.Listen(port);
    EXPECT_EQ(events.log, "Error(107);") << port;
  }
  EXPECT_FALSE(client.IsRegistered());
}

TEST(TCPSocketTest, ListeningOnAPortInUseGivesAddressInUse) {
  LoggingTCPDelegate firstEvents, secondEvents;
  TCPSocket first(nullptr, &firstEvents), second(nullptr, &secondEvents);
  first.Listen(0);
  second.Listen(first.GetPort());
  EXPECT_EQ(secondEvents.log, "Error(105);");
  EXPECT_EQ(firstEvents.log, "");
}

TEST(TCPSocketTest, APollThatClosesOneSocketNeitherSkipsNorRepeatsTheOthers) {
  Pair a, b;
  ASSERT_TRUE(a.Connect());
  ASSERT_TRUE(b.Connect());
  a.server.reset();  // a.client will fail on its next poll, in the middle of the list
  a.client->Write("x", 1);
  b.client->Write("y", 1);
  ASSERT_TRUE(PollUntil([&] { return a.client->GetHandle() == -1 && b.server->BytesAvailable() == 1; }));
  EXPECT_EQ(b.server->ReadAll(), "y");
  EXPECT_EQ(b.serverEvents.log, "Connected;DataAvailable;");
}

TEST(TCPSocketTest, ErrorTranslationFollowsTheTables) {
  EXPECT_EQ(TranslateTCPError(13), 107);
  EXPECT_EQ(TranslateTCPError(111), 103);
  EXPECT_EQ(TranslateTCPError(104), 102);
  EXPECT_EQ(TranslateTCPError(103), 102) << "a runtime 103 passed in becomes 102";
  EXPECT_EQ(TranslateTCPError(102), 102);
  EXPECT_EQ(TranslateTCPError(98), 105);
  EXPECT_EQ(TranslateTCPError(105), 108);
  EXPECT_EQ(TranslateTCPError(22), 22);
  EXPECT_EQ(TranslateUDPError(99), 107);
  EXPECT_EQ(TranslateUDPError(104), 104) << "UDP has no row for a reset";
  EXPECT_EQ(TranslateUDPError(111), 103);
}

}  // namespace
}  // namespace vorn
