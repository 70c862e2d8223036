// Termination signals reaching a console program while it waits for standard input that a
// shell's pipe never closes, whichever of its threads reads.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "support/program_run.h"

namespace {

using vorn::programtest::Now;

struct WaitingProgram {
  pid_t pid = -1;
  int input = -1;  // the write end of its standard input, held open
};

// Who reads: the console program's main thread, or a thread of it while the main thread idles
// in the run loop or waits on a semaphore the reader releases, also while a third thread can
// always run.
enum class Reader { kMainThread, kThreadMainInLoop, kThreadMainWaiting, kThreadMainWaitingBesideBusy };

WaitingProgram StartWaitingForInput(bool hangUpIgnored, Reader reader) {
  WaitingProgram program;
  int in[2];
  if (pipe(in) != 0) return program;
  std::string path = std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/" +
                     (reader == Reader::kMainThread ? "console_app" : "console_reader_thread_app");
  program.pid = fork();
  if (program.pid == 0) {
    dup2(in[0], 0);
    int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    close(in[1]);
    if (hangUpIgnored) signal(SIGHUP, SIG_IGN);  // as nohup starts it
    unsetenv("DISPLAY");
    if (reader == Reader::kThreadMainWaiting) setenv("VORN_TEST_MAIN_WAITS", "semaphore", 1);
    if (reader == Reader::kThreadMainWaitingBesideBusy) setenv("VORN_TEST_MAIN_WAITS", "busy", 1);
    execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  program.input = in[1];
  return program;
}

// Waits (at most `limit` seconds) until the program catches SIGTERM: before that, on a busy
// machine, a signal would meet the default action instead of the runtime's handler.
bool CatchesTermination(pid_t pid, double limit) {
  const std::string path = "/proc/" + std::to_string(pid) + "/status";
  for (double start = Now(); Now() - start < limit; usleep(10 * 1000)) {
    std::ifstream status(path);
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("SigCgt:", 0) == 0 && (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1) & 1)) return true;
    }
  }
  return false;
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
  constexpr Reader kMain = Reader::kMainThread, kLoop = Reader::kThreadMainInLoop, kWaits = Reader::kThreadMainWaiting,
                   kBusy = Reader::kThreadMainWaitingBesideBusy;
  struct Case {
    int signalNumber;  // 0: a line of input instead
    bool hangUpIgnored;
    bool ends;
    Reader reader;
  } cases[] = {
      {SIGTERM, false, true, kMain}, {SIGQUIT, false, true, kMain}, {SIGHUP, false, true, kMain},
      {SIGHUP, true, false, kMain},  {SIGTERM, true, true, kMain},
      {0, false, true, kLoop},       {SIGTERM, false, true, kLoop}, {SIGHUP, false, true, kLoop},
      {0, false, true, kWaits},      {SIGTERM, false, true, kWaits}, {SIGQUIT, false, true, kWaits},
      {SIGTERM, false, true, kBusy},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.signalNumber ? strsignal(c.signalNumber) : "a line") +
                 (c.hangUpIgnored ? " under nohup" : "") + ", reader " + std::to_string(static_cast<int>(c.reader)));
    WaitingProgram program = StartWaitingForInput(c.hangUpIgnored, c.reader);
    ASSERT_GT(program.pid, 0);
    ASSERT_TRUE(CatchesTermination(program.pid, 60));  // a sanitized start on a busy machine takes seconds
    usleep(300 * 1000);  // into its first read
    if (c.signalNumber != 0) kill(program.pid, c.signalNumber);
    else ASSERT_EQ(write(program.input, "line\n", 5), 5);
    int status = 0;
    double took = SecondsUntilExit(program.pid, c.ends ? 60 : 0.5, &status);
    if (c.ends) {
      EXPECT_GE(took, 0) << "still running";
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
