#include "net/debugger_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "net/debugger_connection.h"
#include "net/support/debugger_test_support.h"

namespace vorn {
namespace {

using testing::RecordingDebuggerDelegate;

// A socket buffer the test fills by hand, in the chunks a peer's writes might arrive in.
struct FakeSocketBuffer {
  std::string bytes;
  std::string ReadAll() { return std::exchange(bytes, {}); }
};

// A connection without a transport: what it sends is kept, what the test feeds is framed.
class LoopConnection : public DebuggerConnection {
 public:
  void SendLine(const string& line) override { sent += std::string(line.View()) + "\r"; }
  void Send(const string& tag, const string& payload) override {
    sent += FrameDebuggerLine(tag.View(), payload.View());
  }
  void Listen() override {}
  void Close() override {
    DiscardReceivedLines();
    ++closes;
  }
  void Connect() override {}

  void Receive(const std::string& chunk) {
    buffer.bytes += chunk;
    DispatchBufferedLines(&buffer);
  }

  std::string sent;
  FakeSocketBuffer buffer;
  int closes = 0;
};

TEST(DebuggerLinesTest, AMessageIsTagBlankPayloadAndCarriageReturn) {
  EXPECT_EQ(FrameDebuggerLine("PID", ""), "PID \r");
  EXPECT_EQ(FrameDebuggerLine("BR", "0000002A"), "BR 0000002A\r");

  LoopConnection connection;
  connection.Send(string("PID"), string());
  connection.SendLine(string("TOC 00400000"));
  EXPECT_EQ(connection.sent, "PID \rTOC 00400000\r");
}

TEST(DebuggerLinesTest, TheTagEndsAtTheFirstBlankAndThePayloadKeepsTheRest) {
  auto split = [](std::string_view line) {
    DebuggerLine parts = SplitDebuggerLine(line);
    return std::string(parts.tag) + "|" + std::string(parts.payload);
  };
  EXPECT_EQ(split("BR 0000002A"), "BR|0000002A");
  EXPECT_EQ(split("RUN"), "RUN|");
  EXPECT_EQ(split("PID "), "PID|");
  EXPECT_EQ(split("DPVI 00001000 Width 00000000"), "DPVI|00001000 Width 00000000");
  EXPECT_EQ(split("SS 00000010  00000600:20"), "SS|00000010  00000600:20");
  EXPECT_EQ(split(""), "|");
  EXPECT_EQ(split(" lead"), "|lead");
  EXPECT_EQ(split(std::string("A\0B C", 5)), std::string("A\0B|C", 5));

  EXPECT_EQ(CompleteLineLength(""), 0u);
  EXPECT_EQ(CompleteLineLength("RUN "), 0u);
  EXPECT_EQ(CompleteLineLength("RUN \rST"), 5u);
  EXPECT_EQ(CompleteLineLength("\n\r"), 2u);
}

TEST(DebuggerLinesTest, LinesAreDispatchedWhenTheirCarriageReturnArrives) {
  LoopConnection connection;
  RecordingDebuggerDelegate ide;
  connection.AddDelegate(&ide);

  connection.Receive("BR 0000002A\rPID \r");
  EXPECT_EQ(ide.messages, (std::vector<std::string>{"BR|0000002A", "PID|"}));

  ide.messages.clear();
  connection.Receive("DW 000");
  EXPECT_TRUE(ide.messages.empty());
  EXPECT_EQ(connection.ReceivedBytesWaiting(), 6u) << "an incomplete line waits in the socket";
  connection.Receive("01000");
  connection.Receive("\rRU");
  EXPECT_EQ(ide.messages, (std::vector<std::string>{"DW|00001000"}));
  connection.Receive("N\r\r");
  EXPECT_EQ(ide.messages, (std::vector<std::string>{"DW|00001000", "RUN|", "|"}));
  EXPECT_EQ(connection.ReceivedBytesWaiting(), 0u);
}

TEST(DebuggerLinesTest, ALineFeedIsNotALineEndButPartOfTheNextTag) {
  LoopConnection connection;
  RecordingDebuggerDelegate ide;
  connection.AddDelegate(&ide);
  connection.Receive("RUN\r\nPID\r\n");
  EXPECT_EQ(ide.messages, (std::vector<std::string>{"RUN|", "\nPID|"}));
  EXPECT_EQ(connection.ReceivedBytesWaiting(), 1u);
}

TEST(DebuggerLinesTest, ADelegateThatClosesTheConnectionStopsTheBatch) {
  LoopConnection connection;
  RecordingDebuggerDelegate session;
  session.onMessage = [&] {
    if (session.messages.back() == "QUIT|") connection.Close();
  };
  connection.AddDelegate(&session);
  connection.Receive("STEP \rQUIT \rDW 00001000\r");
  EXPECT_EQ(session.messages, (std::vector<std::string>{"STEP|", "QUIT|"}));
}

TEST(DebuggerLinesTest, ALinePastTheLimitDropsTheLinkAndALineJustInsideItPasses) {
  for (size_t length : {DebuggerLineBuffer::kLineLimit, DebuggerLineBuffer::kLineLimit + 1}) {
    LoopConnection connection;
    RecordingDebuggerDelegate ide;
    connection.AddDelegate(&ide);
    std::string line = "SS " + std::string(length - 3, 'A');
    for (size_t at = 0; at < line.size(); at += 4096) connection.Receive(line.substr(at, 4096));
    bool fits = length == DebuggerLineBuffer::kLineLimit;
    EXPECT_EQ(connection.closes, fits ? 0 : 1) << length;
    EXPECT_EQ(ide.events, fits ? "" : "Disconnected;") << length;
    if (fits) connection.Receive("\rPID \r");
    EXPECT_EQ(ide.messages.size(), fits ? 2u : 0u) << length;
    EXPECT_EQ(connection.ReceivedBytesWaiting(), 0u);
  }
}

TEST(DebuggerLinesTest, DelegatesAreCalledFromTheLastAddedToTheFirst) {
  LoopConnection connection;
  std::string order;
  struct Named : DebuggerConnectionDelegate {
    Named(std::string* order, char name) : order(order), name(name) {}
    void HandleMessage(const string&, const string&) override { *order += name; }
    void Connected() override { *order += static_cast<char>(name - 'a' + 'A'); }
    void Disconnected() override { *order += '-'; }
    std::string* order;
    char name;
  } a(&order, 'a'), b(&order, 'b');
  connection.AddDelegate(&a);
  connection.AddDelegate(nullptr);
  connection.AddDelegate(&b);
  connection.AddDelegate(&a);
  EXPECT_EQ(connection.DelegateCount(), 3);
  connection.Receive("RUN\r");
  connection.NotifyConnected();
  connection.NotifyDisconnected();
  EXPECT_EQ(order, "abaABA---");

  connection.RemoveDelegate(&a);
  EXPECT_EQ(connection.DelegateCount(), 1);
  order.clear();
  connection.Receive("RUN\r");
  EXPECT_EQ(order, "b");
}

TEST(DebuggerLinesTest, ADelegateMayRemoveDelegatesWhileBeingCalled) {
  LoopConnection connection;
  RecordingDebuggerDelegate first, last;
  // Enough delegates that the removals shrink the vector's storage.
  std::vector<RecordingDebuggerDelegate> middle(40);
  connection.AddDelegate(&first);
  for (auto& delegate : middle) connection.AddDelegate(&delegate);
  connection.AddDelegate(&last);
  last.onMessage = [&] {
    connection.RemoveDelegate(&last);
    for (auto& delegate : middle) connection.RemoveDelegate(&delegate);
  };
  connection.Receive("RUN\r");
  EXPECT_EQ(last.messages.size(), 1u);
  EXPECT_EQ(first.messages.size(), 1u);
  for (auto& delegate : middle) EXPECT_TRUE(delegate.messages.empty());
  EXPECT_EQ(connection.DelegateCount(), 1);
}

TEST(DebuggerLinesTest, TheIDERequestsHaveTheirExactTexts) {
  LoopConnection ide;
  ide.BR(42);
  ide.BRC(7);
  ide.BRLA(300);
  ide.RUN();
  ide.PID();
  ide.DW(0x1000);
  ide.DL(0x7FFF12345678ull);
  ide.SB(0x10, 0x1FF);
  ide.SW(0x10, 0xDEADBEEF);
  ide.SL(0x10, 0x0102030405060708ull);
  ide.SS(0x20, string(" "));
  ide.OWLS(0xABC);
  ide.DPVI(0x1000, string("Width"), -1);
  EXPECT_EQ(ide.sent,
            "BR 0000002A\rBRC 00000007\rBRLA 0000012C\rRUN \rPID \rDW 00001000\rDL 00007FFF12345678\r"
            "SB 00000010 000001FF\rSW 00000010 DEADBEEF\rSL 00000010 0102030405060708\r"
            "SS 00000020 00000600:20\rOWLS 00000ABC\rDPVI 00001000 Width FFFFFFFF\r");
}

}  // namespace
}  // namespace vorn
