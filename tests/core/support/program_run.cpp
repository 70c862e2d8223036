#include "program_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/wait_limit.h"

extern char** environ;

namespace vorn::programtest {


std::string ImagePath(const std::string& name) {
  return std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

Outcome RunProgram(const std::string& program, std::vector<std::string> args, int signalNumber,
                   const std::string& waitFor, const std::function<void(const std::string&)>& beforeSignal) {
  char logPath[] = "/tmp/vorn_startup_log_XXXXXX";
  int logFile = mkstemp(logPath);
  EXPECT_GE(logFile, 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, logFile, 2);
  std::vector<char*> argv;
  args.insert(args.begin(), program);
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(logFile);
  Outcome outcome;
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << program;
    unlink(logPath);
    return outcome;
  }
  bool signalled = signalNumber == 0 && !beforeSignal;
  double deadline = Now() + vorn::test::kWaitLimitSeconds;
  int status = 0;
  while (true) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (!signalled && ReadFile(logPath).find(waitFor) != std::string::npos) {
      if (beforeSignal) beforeSignal(ReadFile(logPath));
      if (signalNumber != 0) kill(pid, signalNumber);
      signalled = true;
      // The program's own time to end starts now: a slow step before the signal must not
      // look like a program that ignored it.
      deadline = Now() + vorn::test::kWaitLimitSeconds;
    }
    if (Now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << program << " did not end; its log: " << ReadFile(logPath);
      break;
    }
    usleep(10 * 1000);
  }
  outcome.exited = WIFEXITED(status);
  outcome.status = outcome.exited ? WEXITSTATUS(status) : -1;
  outcome.log = ReadFile(logPath);
  unlink(logPath);
  return outcome;
}

// GTK and GLib may warn on standard error; the tests look at the application's own texts.
std::string EventsOf(const std::string& log) {
  std::string events;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("Gtk-") != std::string::npos || line.find("GLib") != std::string::npos ||
        line.empty() || line[0] == '(') {
      continue;
    }
    events += line;
  }
  return events;
}

}  // namespace vorn::programtest
