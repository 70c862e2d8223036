#include "net/socket_calls.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

namespace vorn {
namespace {

// The calls keep the C library's contract, made directly or not: the result, or -1 with errno.
// The flags reach the kernel: a send to a peer that went away answers EPIPE instead of ending
// the program.
TEST(SocketCallsTest, TheyAnswerAsTheCLibraryDoes) {
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair), 0);
  int epoll = epoll_create1(0);
  epoll_event interest{EPOLLIN, {.fd = pair[1]}};
  ASSERT_EQ(epoll_ctl(epoll, EPOLL_CTL_ADD, pair[1], &interest), 0);
  char got[8] = {};
  epoll_event reports[4];
  struct Step {
    const char* what;
    std::function<long()> call;
    long result;
    int error;  // errno after a failure
  };
  const Step steps[] = {
      {"nothing ready", [&] { return socket_calls::ReadyNow(epoll, reports, 4); }, 0, 0},
      {"nothing to receive", [&] { return socket_calls::Receive(pair[1], got, sizeof got); }, -1, EAGAIN},
      {"send", [&] { return socket_calls::Send(pair[0], "abc", 3, MSG_NOSIGNAL); }, 3, 0},
      {"send nothing", [&] { return socket_calls::Send(pair[0], "", 0, MSG_NOSIGNAL); }, 0, 0},
      {"ready", [&] { return socket_calls::ReadyNow(epoll, reports, 4); }, 1, 0},
      {"receive", [&] { return socket_calls::Receive(pair[1], got, sizeof got); }, 3, 0},
      {"no such set", [&] { return socket_calls::ReadyNow(-1, reports, 4); }, -1, EBADF},
      {"no such descriptor", [&] { return socket_calls::Receive(-1, got, sizeof got); }, -1, EBADF},
      {"peer gone", [&] {
         close(pair[1]);
         return socket_calls::Send(pair[0], "x", 1, MSG_NOSIGNAL);
       }, -1, EPIPE},
  };
  for (const Step& step : steps) {
    errno = 0;
    EXPECT_EQ(step.call(), step.result) << step.what;
    EXPECT_EQ(errno, step.result < 0 ? step.error : 0) << step.what;
  }
  EXPECT_EQ(std::memcmp(got, "abc", 3), 0);
  close(pair[0]);
  close(epoll);
}

}  // namespace
}  // namespace vorn
