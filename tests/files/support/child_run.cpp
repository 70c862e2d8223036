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
    close(answer[0]);
    const std::string text = body();
    size_t written = 0;
    while (written < text.size()) {
      const ssize_t n = write(answer[1], text.data() + written, text.size() - written);
      if (n <= 0) break;
      written += static_cast<size_t>(n);
    }
    _exit(0);
  }
  setpgid(child, child);
  close(answer[1]);
  std::string text;
  bool ended = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (true) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    struct pollfd ready = {answer[0], POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(left)) <= 0) continue;
    char buffer[256];
    const ssize_t n = read(answer[0], buffer, sizeof buffer);
    if (n <= 0) {
      ended = true;
      break;
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  close(answer[0]);
  if (!ended) {
    kill(-child, SIGKILL);
    text = "<still running>";
  }
  int status = 0;
  waitpid(child, &status, 0);
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
