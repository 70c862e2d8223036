// The debugger link over real sockets, driven by run-loop passes as a running program is.
#include "net/debugger_connection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "net/debugger_encoding.h"
#include "net/debugger_transports.h"
#include "net/support/debugger_test_support.h"
#include "net/support/net_test_support.h"

namespace vorn {
namespace {

using testing::IterateUntil;
using testing::LoggingTCPDelegate;
using testing::RecordingDebuggerDelegate;

// Run-loop passes for a while, for checks that something does not happen.
void RunLoopFor(int milliseconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  IterateUntil([&] { return std::chrono::steady_clock::now() > end; });
}

std::string TempPath(const char* name) {
  return "/tmp/vorn-debugger-" + std::to_string(getpid()) + "-" + name;
}

TEST(DebuggerConnectionTest, TheHostChoosesTheTransport) {
  SmartRef<DebuggerConnection> local = CreateDebuggerConnection(string("127.0.0.1"));
  auto* ipc = dynamic_cast<IPCSocketConnection*>(local.Get());
  ASSERT_NE(ipc, nullptr);
  EXPECT_EQ(ipc->Path(), DebuggerSocketPath());

  for (const char* host : {"localhost", "", "127.0.0.10", "10.0.0.1"}) {
    SmartRef<DebuggerConnection> remote = CreateDebuggerConnection(string(host));
    auto* tcp = dynamic_cast<TCPSocketConnection*>(remote.Get());
    ASSERT_NE(tcp, nullptr) << host;
    EXPECT_EQ(tcp->Host().View(), host);
    EXPECT_EQ(tcp->Port(), 13897);
  }
}

TEST(DebuggerConnectionTest, AProgramAndItsIDETalkOverTheLocalSocket) {
  std::string path = TempPath("talk");
  RecordingDebuggerDelegate ideEvents, programEvents;
  IPCSocketConnection ide(path), program(path);
  ide.AddDelegate(&ideEvents);
  program.AddDelegate(&programEvents);
  ide.Listen();
  program.Connect();
  ASSERT_TRUE(IterateUntil([&] { return ideEvents.events == "Connected;" && programEvents.events == "Connected;"; }));

  ide.BRLA(100);
  ide.BR(42);
  ide.DPVS(0x1000, string("Name"), 0);
  ASSERT_TRUE(IterateUntil([&] { return programEvents.messages.size() == 3; }));
  EXPECT_EQ(programEvents.messages,
            (std::vector<std::string>{"BRLA|00000064", "BR|0000002A", "DPVS|00001000 Name 00000000"}));

  program.Send(string("VALPVS"), string("00001000 Name 00000000 ") + EncodeDebugString(string("a b")));
  program.Send(string("BREAK"), string());
  ASSERT_TRUE(IterateUntil([&] { return ideEvents.messages.size() == 2; }));
  EXPECT_EQ(ideEvents.messages,
            (std::vector<std::string>{"VALPVS|00001000 Name 00000000 00000600:612062", "BREAK|"}));

  ide.Close();
  ASSERT_TRUE(IterateUntil([&] { return programEvents.events == "Connected;Disconnected;"; }));
  EXPECT_FALSE(program.IsConnected());
  EXPECT_EQ(ideEvents.events, "Connected;") << "a local close is not a lost link";
  unlink(path.c_str());
}

TEST(DebuggerConnectionTest, NobodyListeningClosesTheSocketWithoutADisconnect) {
  RecordingDebuggerDelegate events;
  IPCSocketConnection local(TempPath("nobody"));
  local.AddDelegate(&events);
  local.Connect();
  TCPSocketConnection remote(string("127.0.0.1"), 1);
  remote.AddDelegate(&events);
  remote.Connect();
  RunLoopFor(200);
  EXPECT_FALSE(local.IsConnected());
  EXPECT_FALSE(remote.IsConnected());
  EXPECT_EQ(events.events, "");
}

TEST(DebuggerConnectionTest, AnIDEListeningOverTCPHearsFromTheProgramAtItsHostName) {
  RecordingDebuggerDelegate ideEvents, programEvents;
  TCPSocketConnection ide(string(), 0);
  ide.AddDelegate(&ideEvents);
  ide.Listen();
  ASSERT_GT(ide.BoundPort(), 0);
  TCPSocketConnection program(string("localhost"), ide.BoundPort());
  program.AddDelegate(&programEvents);
  program.Connect();
  ASSERT_TRUE(IterateUntil([&] { return ideEvents.events == "Connected;" && programEvents.events == "Connected;"; }));
  ide.PID();
  ide.DOC(0xFEED);
  ASSERT_TRUE(IterateUntil([&] { return programEvents.messages.size() == 2; }));
  EXPECT_EQ(programEvents.messages, (std::vector<std::string>{"PID|", "DOC|0000FEED"}));
  program.Send(string("VALOC"), string("0000FEED Window1"));
  ASSERT_TRUE(IterateUntil([&] { return ideEvents.messages.size() == 1; }));
  EXPECT_EQ(ideEvents.messages[0], "VALOC|0000FEED Window1");
}

// The program's side over TCP, against an IDE written with the plain socket so that the test
// decides how the bytes are cut.
class TCPLinkTest : public ::testing::Test {
 protected:
  bool Open() {
    ideSocket->Listen(0);
    int32_t port = ideSocket->GetPort();
    if (port <= 0) return false;
    program = std::make_unique<TCPSocketConnection>(string("127.0.0.1"), port);
    program->AddDelegate(&programEvents);
    program->Connect();
    return IterateUntil([&] { return ideSocket->IsConnected() && programEvents.events == "Connected;"; });
  }
  void IDEWrites(const std::string& bytes) { ideSocket->Write(bytes.data(), static_cast<int32_t>(bytes.size())); }

  LoggingTCPDelegate ideEvents;
  std::unique_ptr<TCPSocket> ideSocket = std::make_unique<TCPSocket>(nullptr, &ideEvents);
  RecordingDebuggerDelegate programEvents;
  std::unique_ptr<TCPSocketConnection> program;
};

TEST_F(TCPLinkTest, AMessageSplitOverTwoReadsIsDispatchedOnce) {
  ASSERT_TRUE(Open());
  IDEWrites("SW 00001000 DEAD");
  RunLoopFor(100);
  EXPECT_TRUE(programEvents.messages.empty());
  IDEWrites("BEEF\rSTEP \rTRAP 01\r");
  ASSERT_TRUE(IterateUntil([&] { return programEvents.messages.size() == 3; }));
  EXPECT_EQ(programEvents.messages, (std::vector<std::string>{"SW|00001000 DEADBEEF", "STEP|", "TRAP|01"}));

  program->Send(string("PID"), string());
  program->SendLine(string("SC "));
  ideEvents.readOnData = true;
  ASSERT_TRUE(IterateUntil([&] { return ideEvents.received.size() == 9; }));
  EXPECT_EQ(ideEvents.received, "PID \rSC \r");
}

TEST_F(TCPLinkTest, MalformedLinesReachTheSessionAndTheLinkGoesOn) {
  ASSERT_TRUE(Open());
  std::string garbage("\0\xFF\x01 \x80", 5);
  IDEWrites(garbage + "\r\r   \rdw 0000zz00\rSS 00000010 nocolon\r" + std::string(70000, 'A') + "\rPID \r");
  ASSERT_TRUE(IterateUntil([&] { return programEvents.messages.size() == 7; }));
  EXPECT_EQ(programEvents.messages[0], std::string("\0\xFF\x01|\x80", 5));
  EXPECT_EQ(programEvents.messages[1], "|");
  EXPECT_EQ(programEvents.messages[2], "|  ");
  EXPECT_EQ(programEvents.messages[3], "dw|0000zz00");
  EXPECT_EQ(programEvents.messages[5].size(), 70001u);
  EXPECT_EQ(programEvents.messages[6], "PID|");
  EXPECT_TRUE(program->IsConnected());
}

TEST_F(TCPLinkTest, TheIDEGoingAwayTellsTheSessionOnceAndClosesTheSocket) {
  ASSERT_TRUE(Open());
  IDEWrites("RUN \r");
  ASSERT_TRUE(IterateUntil([&] { return programEvents.messages.size() == 1; }));
  ideSocket.reset();
  ASSERT_TRUE(IterateUntil([&] { return programEvents.events == "Connected;Disconnected;"; }));
  EXPECT_FALSE(program->IsConnected());
  RunLoopFor(100);
  EXPECT_EQ(programEvents.events, "Connected;Disconnected;");

  program->Close();  // closing a closed link is harmless
  program.reset();
}

TEST_F(TCPLinkTest, ClosingFromTheProgramEndsTheLinkWithoutADisconnect) {
  ASSERT_TRUE(Open());
  program->Close();
  EXPECT_FALSE(program->IsConnected());
  ASSERT_TRUE(IterateUntil([&] { return ideEvents.log.find("Error(102)") != std::string::npos; }));
  EXPECT_EQ(programEvents.events, "Connected;");
}

}  // namespace
}  // namespace vorn
