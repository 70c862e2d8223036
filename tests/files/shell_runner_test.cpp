// Command lines run through the shell: captured output, background runs that neither block,
// die on their output nor leave zombies behind.
#include "files/shell_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "files/support/temp_folder.h"

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

}  // namespace
}  // namespace vorn::testing
