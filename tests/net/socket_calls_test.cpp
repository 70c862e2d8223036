#include "net/socket_calls.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

namespace vorn {
namespace {

// The calls keep the C library's contract, made directly or not: the result, or -1 with errno.
// The flags reach the kernel: a send to a peer that went away answers EPIPE instead of ending
// the program. (Readiness, and receives and sends that succeed, every socket test makes.)
TEST(SocketCallsTest, TheyAnswerAsTheCLibraryDoes) {
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair), 0);
  char got[8] = {};
  struct Step {
    std::function<long()> call;
    long result;
    int error;
  } steps[] = {
      {[&] { return socket_calls::Receive(pair[1], got, sizeof got); }, -1, EAGAIN},
      {[&] { return socket_calls::Send(pair[0], "abc", 3, MSG_NOSIGNAL); }, 3, 0},
      {[&] { return socket_calls::Receive(pair[1], got, sizeof got); }, 3, 0},
      {[&] { return close(pair[1]), socket_calls::Send(pair[0], "x", 1, MSG_NOSIGNAL); }, -1, EPIPE},
  };
  for (const Step& step : steps) {
    errno = 0;
    EXPECT_EQ(step.call(), step.result) << "step " << &step - steps;
    EXPECT_EQ(errno, step.error) << "step " << &step - steps;
  }
  EXPECT_EQ(std::string(got, 3), "abc");
  close(pair[0]);
}

}  // namespace
}  // namespace vorn
