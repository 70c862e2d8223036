#include "console_run.h"

#include "program_run.h"
#include "support/wait_limit.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

extern char** environ;

namespace vorn::consoletest {

using programtest::Now;
using programtest::ReadFile;

ConsoleRun RunConsoleApp(const std::string& input, bool withDisplay,
                         const std::function<void(pid_t, const std::string&)>& whileRunning) {
  ConsoleRun run;
  char folder[] = "/tmp/vorn_console_XXXXXX";
  if (!mkdtemp(folder)) return run;
  std::string logPath = std::string(folder) + "/log", markPath = std::string(folder) + "/mark";
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return run;
  int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, log, 2);
  for (int fd : {in[0], in[1], out[0], out[1], log}) posix_spawn_file_actions_addclose(&actions, fd);
  run.program = std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/console_app";
  char* argv[] = {run.program.data(), nullptr};
  // The child takes the environment as it is at the spawn.
  setenv("VORN_TEST_MARK", markPath.c_str(), 1);
  std::optional<std::string> display;
  if (const char* value = getenv("DISPLAY"); value && !withDisplay) display = value;
  if (!withDisplay) unsetenv("DISPLAY");
  pid_t pid = 0;
  bool started = posix_spawn(&pid, run.program.c_str(), &actions, nullptr, argv, environ) == 0;
  if (display) setenv("DISPLAY", display->c_str(), 1);
  unsetenv("VORN_TEST_MARK");
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  close(log);
  if (started && write(in[1], input.data(), input.size()) != static_cast<ssize_t>(input.size())) started = false;
  close(in[1]);

  fcntl(out[0], F_SETFL, O_NONBLOCK);
  bool outputEnded = false;
  for (double deadline = Now() + vorn::test::kWaitLimitSeconds; started && !(outputEnded && run.exited) && Now() < deadline;) {
    char buffer[256];
    ssize_t got = read(out[0], buffer, sizeof buffer);
    if (got > 0) run.echoed.append(buffer, static_cast<size_t>(got));
    if (got == 0) outputEnded = true;
    if (!run.exited && waitpid(pid, &run.status, WNOHANG) == pid) run.exited = true;
    if (!run.exited && whileRunning) whileRunning(pid, ReadFile(logPath));
    usleep(10 * 1000);
  }
  close(out[0]);
  if (started && !run.exited) {
    kill(pid, SIGKILL);
    waitpid(pid, &run.status, 0);
  }
  run.log = ReadFile(logPath);
  // The daemon goes on in a session of its own and leaves its mark.
  for (double until = Now() + vorn::test::kWaitLimitSeconds; run.exited && Now() < until && run.mark.empty(); usleep(10 * 1000)) {
    run.mark = ReadFile(markPath);
  }
  std::remove(markPath.c_str());
  std::remove(logPath.c_str());
  rmdir(folder);
  return run;
}

}  // namespace vorn::consoletest
