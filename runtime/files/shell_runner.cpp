#include "files/shell_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "files/folder_item_imp_unix.h"
#include "files/program_runner.h"
#include "files/unix_path_text.h"

namespace vorn {

namespace {

constexpr const char* kShellPath = "/bin/bash";

std::vector<char*> ArgumentVector(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

void Reap(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// Starts the program file args[0] in its own session, detached so that no zombie is left when
// it ends, with its standard output and error going nowhere: nobody reads them, and a closed
// pipe would kill it at its first line.
void StartDiscardingOutput(const std::vector<std::string>& args) {
  std::vector<char*> argv = ArgumentVector(args);
  pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    // Only async-signal-safe calls from here on.
    int sink = open("/dev/null", O_WRONLY);
    if (sink >= 0) {
      dup2(sink, STDOUT_FILENO);
      dup2(sink, STDERR_FILENO);
      if (sink > STDERR_FILENO) close(sink);
    }
    pid_t grandchild = fork();
    if (grandchild == 0) {
      setsid();
      execv(argv[0], argv.data());
      _exit(127);
    }
    _exit(0);
  }
  Reap(child);
}

}  // namespace

std::string RunProgramCapturingOutput(const std::vector<std::string>& args, int* error) {
  std::string output;
  const ProgramResult result = RunProgramAndWait(args, false, 0, &output);
  if (error) *error = result.error;
  return output;
}

string RunShellCommand(const string& commandLine, bool capture, int* error) {
  if (error) *error = 0;
  std::string command = PathBytes(commandLine);
  // The shell would see the line cut short at the NUL: a different command.
  if (HasNulByte(command)) {
    if (error) *error = EINVAL;
    return string();
  }
  std::vector<std::string> args{kShellPath, "-c", command};
  if (!capture) {
    StartDiscardingOutput(args);
    return string();
  }
  return PathString(RunProgramCapturingOutput(args, error), kFileSystemEncoding);
}

}  // namespace vorn
