#include "files/program_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace vorn {

namespace {

std::vector<char*> ArgumentVector(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

pid_t WaitFor(pid_t pid, int* status) {
  pid_t result;
  do {
    result = waitpid(pid, status, 0);
  } while (result < 0 && errno == EINTR);
  return result;
}

}  // namespace

ProgramResult RunProgramAndWait(const std::vector<std::string>& args, bool quiet) {
  ProgramResult result;
  if (args.empty()) {
    result.error = EINVAL;
    return result;
  }
  std::vector<char*> argv = ArgumentVector(args);
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (quiet) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  }
  int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    result.error = spawned;
    return result;
  }
  result.started = true;
  int status = 0;
  if (WaitFor(pid, &status) < 0) {
    result.error = errno;
    return result;
  }
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

bool StartProgramDetached(const std::vector<std::string>& args, int* error) {
  if (args.empty()) {
    if (error) *error = EINVAL;
    return false;
  }
  std::vector<char*> argv = ArgumentVector(args);
  // The grandchild reports a failed exec through this pipe; a successful exec closes it.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    if (error) *error = errno;
    return false;
  }
  pid_t child = fork();
  if (child < 0) {
    if (error) *error = errno;
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    // Only async-signal-safe calls from here on: the parent may run other threads.
    close(report[0]);
    pid_t grandchild = fork();
    if (grandchild < 0) {
      int failure = errno;
      ssize_t ignored = write(report[1], &failure, sizeof failure);
      (void)ignored;
      _exit(1);
    }
    if (grandchild == 0) {
      setsid();
      execv(argv[0], argv.data());
      int failure = errno;
      ssize_t ignored = write(report[1], &failure, sizeof failure);
      (void)ignored;
      _exit(127);
    }
    // The grandchild is handed to init at once, which reaps it when it ends.
    _exit(0);
  }
  close(report[1]);
  int status = 0;
  WaitFor(child, &status);
  int failure = 0;
  ssize_t got;
  do {
    got = read(report[0], &failure, sizeof failure);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  if (got == static_cast<ssize_t>(sizeof failure)) {
    if (error) *error = failure;
    return false;
  }
  return true;
}

}  // namespace vorn
