// A peer that sends more than the program reads: the socket holds at most the bound and the
// rest waits in the peer (stream) or the kernel (datagrams) until the program reads.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "net/socket_core.h"
#include "net/support/net_test_support.h"

namespace vorn {
namespace {

using testing::LoggingTCPDelegate;
using testing::LoggingUDPDelegate;
using testing::PollUntil;

// A stream far larger than the bound and the kernel's buffers; byte i is i mod 251, a period
// that no chunk size divides, so a lost, repeated or reordered chunk shows.
constexpr int64_t kBound = int64_t{1} << 20;
constexpr int64_t kStream = 48 * kBound;
uint8_t PatternByte(int64_t i) { return static_cast<uint8_t>(i % 251); }

struct BoundScope {
  int64_t saved = StreamReceiveBound();
  explicit BoundScope(int64_t bound) { SetStreamReceiveBound(bound); }
  ~BoundScope() { SetStreamReceiveBound(saved); }
};

TEST(ReceiveBoundTest, AStreamThePeerOutrunsStaysBelowTheBoundAndArrivesWholeInOrder) {
  BoundScope scope(kBound);
  LoggingTCPDelegate events;
  TCPSocket server(nullptr, &events);
  server.Listen(0);
  int32_t port = server.GetPort();
  ASSERT_GT(port, 0);
  std::atomic<int64_t> written{0};
  std::thread peer([&] {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
      std::vector<uint8_t> block(300000);
      while (written < kStream) {
        int64_t at = written;
        size_t n = static_cast<size_t>(std::min<int64_t>(kStream - at, static_cast<int64_t>(block.size())));
        for (size_t k = 0; k < n; ++k) block[k] = PatternByte(at + static_cast<int64_t>(k));
        ssize_t sent = send(fd, block.data(), n, MSG_NOSIGNAL);
        if (sent <= 0) break;
        written += sent;
      }
    }
    close(fd);
  });

  ASSERT_TRUE(PollUntil([&] { return server.HeldReceivedBytes() >= kBound; }));
  for (int i = 0; i < 500; ++i) {
    PollAllSockets(false);
    ASSERT_LE(server.HeldReceivedBytes(), kBound);
  }
  EXPECT_LT(written.load(), kStream) << "the peer is held back while the program does not read";

  int64_t received = 0;
  bool inOrder = true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (received < kStream && std::chrono::steady_clock::now() < deadline) {
    PollAllSockets(false);
    ASSERT_LE(server.HeldReceivedBytes(), kBound);
    std::string bytes = server.ReadAll();
    for (size_t k = 0; k < bytes.size() && inOrder; ++k)
      inOrder = static_cast<uint8_t>(bytes[k]) == PatternByte(received + static_cast<int64_t>(k));
    received += static_cast<int64_t>(bytes.size());
  }
  server.Close(true);
  peer.join();
  EXPECT_EQ(received, kStream);
  EXPECT_TRUE(inOrder);
}

// The peer sends once and then stays silent: what the bound left in the kernel must still come
// when the program reads, though nothing new arrives to announce it.
TEST(ReceiveBoundTest, BytesLeftBehindByTheBoundComeWhenTheProgramReadsWithoutNewArrivals) {
  const std::string sent = "0123456789";
  for (int64_t bound : {1, 4, 7, 10, 11}) {
    SCOPED_TRACE(bound);
    BoundScope scope(bound);
    LoggingTCPDelegate events;
    TCPSocket server(nullptr, &events);
    server.Listen(0);
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{AF_INET, htons(static_cast<uint16_t>(server.GetPort())), {htonl(INADDR_LOOPBACK)}, {}};
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    ASSERT_EQ(send(fd, sent.data(), sent.size(), 0), static_cast<ssize_t>(sent.size()));
    std::string received;
    EXPECT_TRUE(PollUntil([&] {
      EXPECT_LE(server.HeldReceivedBytes(), bound);
      received += server.ReadAll();
      return received.size() >= sent.size();
    }));
    EXPECT_EQ(received, sent);
    close(fd);
  }
}

TEST(ReceiveBoundTest, CountsPastTheLanguagesIntegerAnswerItsLargestValue) {
  EXPECT_EQ(TCPSocket::ClampedCount(int64_t{3} << 30), INT32_MAX);
  EXPECT_EQ(TCPSocket::ClampedCount(int64_t{2200000000}), INT32_MAX);
  EXPECT_EQ(TCPSocket::ClampedCount(12345), 12345);
}

TEST(ReceiveBoundTest, DatagramsWaitInTheKernelWhileTheQueueIsFull) {
  BoundScope scope(1000);
  LoggingUDPDelegate aEvents, bEvents;
  UDPSocket a(nullptr, &aEvents), b(nullptr, &bEvents);
  a.Bind(0);
  b.Bind(0);
  ASSERT_GT(b.GetPort(), 0);
  for (int i = 0; i < 20; ++i) a.WriteDatagram({"127.0.0.1", b.GetPort(), std::string(100, static_cast<char>('A' + i))});
  ASSERT_TRUE(PollUntil([&] { return b.PacketsAvailable() == 10; }));
  for (int i = 0; i < 50; ++i) PollAllSockets(false);
  EXPECT_EQ(b.PacketsAvailable(), 10);
  std::string order;
  Datagram datagram;
  ASSERT_TRUE(PollUntil([&] {
    while (b.ReadDatagram(&datagram)) order += datagram.data[0];
    return order.size() == 20;
  }));
  EXPECT_EQ(order, "ABCDEFGHIJKLMNOPQRST");
}

}  // namespace
}  // namespace vorn
