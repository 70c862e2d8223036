// Loopback TCP through the runtime's sockets beside a plain epoll program doing the same in
// the same run: 1 GiB one way, and 10,000 round trips of a 32-byte message. Both sides of each
// pair run on the one thread, as a program's sockets do, and write and read runtime strings,
// as compiled code's Write, Read and ReadAll do. Also the cost of a debug build's line
// call when no breakpoint is set and no step is pending.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "net/debug_session.h"
#include "net/debugger_transports.h"
#include "net/socket_core.h"
#include "net/tcp_socket.h"

namespace {

constexpr int64_t kVolume = int64_t{1} << 30;
constexpr int32_t kChunk = 1 << 20;
constexpr int kRoundTrips = 10000;
constexpr int kMessage = 32;

struct RuntimePair {
  vorn::TCPSocketDelegate quiet;
  vorn::TCPSocket server{nullptr, &quiet};
  vorn::TCPSocket client{nullptr, &quiet};
  RuntimePair() {
    server.Listen(0);
    client.Connect("127.0.0.1", server.GetPort());
    while (!server.IsConnected() || !client.IsConnected()) vorn::PollAllSockets(true);
  }
};

void BM_RuntimeThroughput(benchmark::State& state) {
  RuntimePair pair;
  vorn::string chunk(std::string(kChunk, 'x'), vorn::kEncodingASCII);
  for (auto _ : state) {
    int64_t queued = 0, received = 0;
    while (received < kVolume) {
      while (queued < kVolume && pair.client.BytesLeftToSend() < 4 * kChunk) {
        pair.client.Write(chunk);
        queued += kChunk;
      }
      vorn::PollAllSockets(true);
      received += pair.server.ReadAllString().Length();
    }
  }
  state.SetBytesProcessed(state.iterations() * kVolume);
}
BENCHMARK(BM_RuntimeThroughput)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_RuntimeRoundTrip(benchmark::State& state) {
  RuntimePair pair;
  vorn::string message(std::string(kMessage, 'p'), vorn::kEncodingASCII);
  for (auto _ : state) {
    for (int i = 0; i < kRoundTrips; ++i) {
      pair.client.Write(message);
      while (pair.server.BytesAvailable() < kMessage) vorn::PollAllSockets(true);
      vorn::string got = pair.server.ReadString(kMessage);
      pair.server.Write(got);
      while (pair.client.BytesAvailable() < kMessage) vorn::PollAllSockets(true);
      pair.client.ReadString(kMessage);
    }
  }
  state.counters["per_round_trip"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kRoundTrips,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RuntimeRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(3);

// The plain program: non-blocking descriptors and one epoll set.
struct PlainPair {
  int server = -1, client = -1, epoll = -1;
  PlainPair() {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    listen(listener, 1);
    client = socket(AF_INET, SOCK_STREAM, 0);
    connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
    server = accept(listener, nullptr, nullptr);
    close(listener);
    for (int fd : {server, client}) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
      int size = 1 << 20;
      setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
      setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    epoll = epoll_create1(0);
    epoll_event in{EPOLLIN, {.fd = server}}, out{EPOLLOUT, {.fd = client}};
    epoll_ctl(epoll, EPOLL_CTL_ADD, server, &in);
    epoll_ctl(epoll, EPOLL_CTL_ADD, client, &out);
  }
  ~PlainPair() {
    close(server);
    close(client);
    close(epoll);
  }
};

void BM_PlainEpollThroughput(benchmark::State& state) {
  PlainPair pair;
  std::vector<char> out(kChunk, 'x'), in(kChunk);
  for (auto _ : state) {
    int64_t sent = 0, received = 0;
    while (received < kVolume) {
      epoll_event events[2];
      int n = epoll_wait(pair.epoll, events, 2, -1);
      for (int i = 0; i < n; ++i) {
        if (events[i].data.fd == pair.client && sent < kVolume) {
          ssize_t count = write(pair.client, out.data(), static_cast<size_t>(std::min<int64_t>(kChunk, kVolume - sent)));
          if (count > 0) sent += count;
        } else if (events[i].data.fd == pair.server) {
          ssize_t count = read(pair.server, in.data(), in.size());
          if (count > 0) received += count;
        }
      }
    }
  }
  state.SetBytesProcessed(state.iterations() * kVolume);
}
BENCHMARK(BM_PlainEpollThroughput)->Unit(benchmark::kMillisecond)->Iterations(2);

void WaitReadable(int epoll) {
  epoll_event event;
  epoll_wait(epoll, &event, 1, -1);
}

void BM_PlainEpollRoundTrip(benchmark::State& state) {
  PlainPair pair;
  int serverSet = epoll_create1(0), clientSet = epoll_create1(0);
  epoll_event a{EPOLLIN, {.fd = pair.server}}, b{EPOLLIN, {.fd = pair.client}};
  epoll_ctl(serverSet, EPOLL_CTL_ADD, pair.server, &a);
  epoll_ctl(clientSet, EPOLL_CTL_ADD, pair.client, &b);
  int on = 1;
  setsockopt(pair.server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  setsockopt(pair.client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  char message[kMessage] = {'p'};
  for (auto _ : state) {
    for (int i = 0; i < kRoundTrips; ++i) {
      (void)!write(pair.client, message, kMessage);
      int got = 0;
      while (got < kMessage) {
        WaitReadable(serverSet);
        ssize_t n = read(pair.server, message, static_cast<size_t>(kMessage - got));
        if (n > 0) got += static_cast<int>(n);
      }
      (void)!write(pair.server, message, kMessage);
      got = 0;
      while (got < kMessage) {
        WaitReadable(clientSet);
        ssize_t n = read(pair.client, message, static_cast<size_t>(kMessage - got));
        if (n > 0) got += static_cast<int>(n);
      }
    }
  }
  close(serverSet);
  close(clientSet);
  state.counters["per_round_trip"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kRoundTrips,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlainEpollRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(3);

// A session that is connected and has nothing to stop for: the line call is one flag test.
void BM_DebuggerEntryNoBreakpoint(benchmark::State& state) {
  vorn::DebugSession().link =
      vorn::SmartRef<vorn::DebuggerConnection>(new vorn::TCPSocketConnection(vorn::string("127.0.0.1"), 1));
  vorn::UpdateDebuggerAttention();
  int32_t line = 0;
  for (auto _ : state) {
    RuntimeDebuggerEntry(line++);
    benchmark::ClobberMemory();
  }
  vorn::DebugSession().link = vorn::SmartRef<vorn::DebuggerConnection>();
  vorn::UpdateDebuggerAttention();
}
BENCHMARK(BM_DebuggerEntryNoBreakpoint);

}  // namespace

BENCHMARK_MAIN();
