#include "files/support/child_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>

namespace vorn::testing {

std::string RunInChild(const std::function<std::string()>& body, int seconds) {
  int answer[2];
  if (pipe2(answer, O_CLOEXEC) != 0) return "<no pipe>";
  const pid_t child = fork();
  if (child < 0) return "<no fork>";
  if (child == 0) {
    // A group of its own, so that what it starts can be killed with it.
    setpgid(0, 0);
    const std::string text = body();
    _exit(write(answer[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  setpgid(child, child);
  close(answer[1]);
  std::string text;
  ssize_t got = 1;  // 0 once the child closed its end
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (char buffer[256]; got > 0;) {
    using std::chrono::milliseconds;
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    pollfd ready = {answer[0], POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(left)) <= 0) continue;
    got = read(answer[0], buffer, sizeof buffer);
    if (got > 0) text.append(buffer, static_cast<size_t>(got));
  }
  close(answer[0]);
  if (got != 0) {
    kill(-child, SIGKILL);
    text = "<still running>";
  }
  waitpid(child, nullptr, 0);
  return text;
}

bool ProcessRuns(const std::string& pid) {
  std::ifstream stat("/proc/" + pid + "/stat");
  // "pid (name) state ...": the name may hold blanks, so the state follows the last ")".
  const std::string line((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const size_t close = line.rfind(')');
  if (close == std::string::npos || close + 2 >= line.size()) return false;
  const char state = line[close + 2];
  return state != 'Z' && state != 'X';
}

}  // namespace vorn::testing
