#include "files/support/child_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace vorn::testing {

std::string RunInChild(const std::function<std::string()>& body, int seconds) {
  int answer[2];
  if (pipe2(answer, O_CLOEXEC) != 0) return "<no pipe>";
  const pid_t child = fork();
  if (child < 0) return "<no fork>";
  if (child == 0) {
    setpgid(0, 0);  // a group of its own, so that what it starts is killed with it
    const std::string text = body();
    _exit(write(answer[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  setpgid(child, child);
  close(answer[1]);
  std::string text;
  ssize_t got = 1;  // 0 once the child closed its end
  pollfd ready = {answer[0], POLLIN, 0};
  for (int idle = 0; got > 0 && idle < seconds * 10;) {
    char buffer[256];
    if (poll(&ready, 1, 100) <= 0) ++idle;
    else if ((got = read(answer[0], buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  }
  close(answer[0]);
  if (got != 0) {
    kill(-child, SIGKILL);
    text = "<still running>";
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (text.empty() && WIFEXITED(status) && WEXITSTATUS(status)) return "<exit " + std::to_string(WEXITSTATUS(status)) + ">";
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
