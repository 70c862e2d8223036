#include "net/socket_core.h"

#include <gtest/gtest.h>

#include <memory>

#include "net/support/net_test_support.h"
#include "net/tcp_socket.h"

namespace vorn {
namespace {

using testing::IterateUntil;
using testing::LoggingTCPDelegate;

TEST(SocketLayerTest, TheRunLoopAloneCarriesAConnectionAndItsEvents) {
  LoggingTCPDelegate serverEvents, clientEvents;
  TCPSocket server(nullptr, &serverEvents), client(nullptr, &clientEvents);
  server.Listen(0);
  client.Connect("127.0.0.1", server.GetPort());
  client.Write("through the loop", 16);
  serverEvents.readOnData = true;
  ASSERT_TRUE(IterateUntil([&] {
    return serverEvents.received == "through the loop" && clientEvents.log.find("SendComplete") != std::string::npos;
  }));
  EXPECT_EQ(serverEvents.log, "Connected;DataAvailable;");
  EXPECT_EQ(clientEvents.log, "Connected;SendComplete;");
}

TEST(SocketLayerTest, ThePollingTaskIsDueOnlyWhileSocketsExist) {
  {
    TCPSocket socket(nullptr, nullptr);
    EXPECT_TRUE(SocketLayerInitialised());
    EXPECT_EQ(SocketPollingTaskPeriod(), 5);
  }
  EXPECT_EQ(SocketPollingTaskPeriod(), 0x7FFFFFFF);
}

TEST(SocketLayerTest, OnlyListedSocketsArePolledAndUnownedOnesAdvanceAlone) {
  LoggingTCPDelegate events;
  auto socket = std::make_unique<TCPSocket>(nullptr, &events);
  EXPECT_FALSE(socket->IsRegistered()) << "listed from Listen or Connect on";
  socket->Listen(0);
  EXPECT_TRUE(socket->IsRegistered());
  PollAllSockets(true);  // an unowned socket is polled in the debugger's pass too
  socket->Close(false);
  EXPECT_FALSE(socket->IsRegistered());
  EXPECT_EQ(socket->GetEvents(), 0u);
  EXPECT_EQ(socket->GetHandle(), -1);
}

}  // namespace
}  // namespace vorn
