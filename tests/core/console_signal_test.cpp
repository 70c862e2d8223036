// Termination signals reaching the console program while it waits for standard input that a
// shell's pipe never closes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/program_run.h"

namespace {

using vorn::programtest::Now;

struct WaitingProgram {
  pid_t pid = -1;
  int input = -1;  // the write end of its standard input, held open
};

WaitingProgram StartWaitingForInput(bool hangUpIgnored) {
  WaitingProgram program;
  int in[2];
  if (pipe(in) != 0) return program;
  std::string path = std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/console_app";
  program.pid = fork();
  if (program.pid == 0) {
    dup2(in[0], 0);
    int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    close(in[1]);
    if (hangUpIgnored) signal(SIGHUP, SIG_IGN);  // as nohup starts it
    unsetenv("DISPLAY");
    execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  program.input = in[1];
  return program;
}

// Seconds until the program ended, or -1 when it still runs after `limit`.
double SecondsUntilExit(pid_t pid, double limit, int* status) {
  double start = Now();
  while (Now() - start < limit) {
    if (waitpid(pid, status, WNOHANG) == pid) return Now() - start;
    usleep(10 * 1000);
  }
  return -1;
}

TEST(ConsoleSignalTest, ASignalEndsAProgramBlockedInAReadOfStandardInput) {
  struct Case {
    int signalNumber;
    bool hangUpIgnored;
    bool ends;
  };
  for (const Case& c : {Case{SIGTERM, false, true}, Case{SIGQUIT, false, true}, Case{SIGHUP, false, true},
                        Case{SIGHUP, true, false}, Case{SIGTERM, true, true}}) {
    SCOPED_TRACE(std::string(strsignal(c.signalNumber)) + (c.hangUpIgnored ? " under nohup" : ""));
    WaitingProgram program = StartWaitingForInput(c.hangUpIgnored);
    ASSERT_GT(program.pid, 0);
    usleep(300 * 1000);  // into its first read
    kill(program.pid, c.signalNumber);
    int status = 0;
    double took = SecondsUntilExit(program.pid, c.ends ? 3 : 0.5, &status);
    if (c.ends) {
      EXPECT_GE(took, 0) << "still waiting for input after the signal";
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    } else {
      EXPECT_LT(took, 0) << "an ignored hang-up ended the program";
    }
    if (took < 0) {
      kill(program.pid, SIGKILL);
      waitpid(program.pid, &status, 0);
    }
    close(program.input);
  }
}

}  // namespace
