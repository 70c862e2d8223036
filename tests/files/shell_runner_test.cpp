// Command lines run through the shell: captured output, background runs that neither block,
// die on their output nor leave zombies behind.
#include "files/shell_runner.h"

#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "files/line_buffer.h"
#include "files/program_runner.h"
#include "files/support/child_run.h"
#include "files/support/temp_folder.h"
#include "support/wait_limit.h"

namespace vorn::testing {
namespace {

using ShellRunnerTest = TempFolderTest;

std::string Captured(const std::string& command) {
  return std::string(RunShellCommand(string(command, kEncodingUTF8), true).View());
}

// True when this process has a child that ended and was never waited for.
bool HasZombieChild() {
  int status = 0;
  return waitpid(-1, &status, WNOHANG) > 0;
}

TEST_F(ShellRunnerTest, CaptureCollectsStandardOutputAndErrorAndReapsTheShell) {
  EXPECT_EQ(Captured("echo out; echo err >&2; echo again"), "out\nerr\nagain\n");
  EXPECT_EQ(Captured("exit 3"), "");
  EXPECT_FALSE(HasZombieChild());
}

TEST_F(ShellRunnerTest, OutputLongerThanOneReadBlockArrivesWhole) {
  std::string output = Captured("head -c 70000 /dev/zero | tr '\\0' x");
  EXPECT_EQ(output, std::string(70000, 'x'));
}

TEST_F(ShellRunnerTest, TheCommandLineIsShellSyntax) {
  EXPECT_EQ(Captured("x=vorn; echo \"$x\" | tr a-z A-Z"), "VORN\n");
  EXPECT_EQ(Captured("cd " + Root() + " && pwd"), Root().substr(0, Root().size() - 1) + "\n");
}

TEST_F(ShellRunnerTest, ACommandLineWithANulRunsNothing) {
  std::string marker = PathOf("ran");
  std::string command = "true; touch " + marker;
  command.insert(4, 1, '\0');
  EXPECT_EQ(RunShellCommand(string(command.data(), static_cast<int32_t>(command.size()), kEncodingUTF8), true).Length(), 0);
  EXPECT_FALSE(PathExists("ran"));
}

TEST_F(ShellRunnerTest, WithoutCaptureTheCommandRunsOnInTheBackground) {
  // It writes first: output nobody reads must not end it.
  std::string command = "echo chatter; echo more >&2; sleep 0.3; echo done > " + PathOf("marker");
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(RunShellCommand(string(command, kEncodingUTF8), false).Length(), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(250)) << "it waited";
  for (int i = 0; i < 500 && ReadFile("marker") != "done\n"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(ReadFile("marker"), "done\n");
  EXPECT_FALSE(HasZombieChild());
}

TEST_F(ShellRunnerTest, AProgramThatCannotStartGivesNoOutput) {
  EXPECT_EQ(RunProgramCapturingOutput({PathOf("missing-program")}), "");
  EXPECT_EQ(RunProgramCapturingOutput({}), "");
  EXPECT_EQ(RunProgramCapturingOutput({"printf", "%s|", "a b", "$HOME"}), "a b|$HOME|");
}

pid_t sStartedGroup = 0;

// A program started from a terminal (its controlling one, typed into ahead) captures a command
// that reads or sets that terminal. Each row answers the output, the error, whether the program
// holds the terminal's foreground again afterwards, and whether anything of the command is left.
TEST_F(ShellRunnerTest, ACapturedCommandUsesTheTerminalOfTheProgramThatRunsIt) {
  const struct {
    const char* name;
    const char* command;
    const char* typed;
    bool inBackground;  // another group of the session holds the terminal meanwhile
    int32_t longest;    // the longest text while it runs; 0: what a string holds
    std::string answer;
  } cases[] = {
      {"read from standard input", "read x; echo got:$x", "hi\n", false, 0, "got:hi\n|0|ours|gone"},
      {"read from /dev/tty", "read y < /dev/tty; echo got:$y", "hi\n", false, 0, "got:hi\n|0|ours|gone"},
      {"stty -echo, then back", "stty -echo; echo done; stty echo", "", false, 0, "done\n|0|ours|gone"},
      {"stopped by Ctrl-Z while it reads", "kill -TSTP $$; read x; echo went on:$x", "hi\n", false, 0,
       "went on:hi\n|0|ours|gone"},
      {"read from a terminal in the background fails", "read x 2>/dev/null; echo got:$x", "hi\n", true, 0, "got:\n|0|theirs|gone"},
      {"an endless writer past the longest text", "yes", "", false, 4096, "|75|ours|gone"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = [&] {
      int typist = -1, terminal = -1, answer[2];
      if (openpty(&typist, &terminal, nullptr, nullptr, nullptr) != 0 || pipe(answer) != 0) return std::string("no pty");
      if (write(typist, c.typed, strlen(c.typed)) < 0) return std::string("not typed");
      const pid_t program = fork();
      if (program == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (setsid() < 0 || ioctl(terminal, TIOCSCTTY, 0) != 0 || dup2(terminal, STDIN_FILENO) < 0) _exit(1);
        const pid_t other = c.inBackground ? fork() : -1;
        if (other == 0) setpgid(0, 0), pause();
        if (other > 0) setpgid(other, other), tcsetpgrp(terminal, other);
        SetLongestReadableTextForTests(c.longest);
        SetProgramStartHookForTests([](pid_t group) { sStartedGroup = group; });
        int error = -1;
        std::string got = Text(RunShellCommand(string(c.command, kEncodingUTF8), true, &error));
        got += "|" + std::to_string(error) + (tcgetpgrp(terminal) == getpgrp() ? "|ours" : "|theirs");
        got += kill(-sStartedGroup, 0) != 0 && errno == ESRCH ? "|gone" : "|left";
        if (other > 0) kill(other, SIGKILL);
        _exit(write(answer[1], got.data(), got.size()) < 0);  // one write, shorter than a pipe's atomic one
      }
      close(answer[1]);
      char block[256];
      const ssize_t n = read(answer[0], block, sizeof block);
      waitpid(program, nullptr, 0);
      return n > 0 ? std::string(block, static_cast<size_t>(n)) : std::string("no answer");
    };
    EXPECT_EQ(RunInChild(run, test::kWaitLimitSeconds), c.answer);
  }
}

}  // namespace
}  // namespace vorn::testing
