// A debug build of a compiled program, run by the real runtime executable over the local link;
// the test plays the IDE.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "net/support/fake_ide.h"

extern char** environ;

namespace vorn {
namespace {

using testing::FakeIDE;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The text the program logged after `key` up to the next ";", once it is there.
std::string LoggedValue(const std::string& path, const std::string& key) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    std::string log = ReadAll(path);
    size_t at = log.find(key);
    size_t end = at == std::string::npos ? at : log.find(';', at);
    if (end != std::string::npos) return log.substr(at + key.size(), end - at - key.size());
    std::this_thread::yield();
  }
  return "<not logged>";
}

TEST(DebugImageTest, TheIDEStopsStepsInspectsAndChangesACompiledProgramThatLivesThroughABadRead) {
  char pattern[] = "/tmp/vorn-debug-image-XXXXXX";
  std::string folder = mkdtemp(pattern), logPath = folder + "/log";
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  std::string stack, badRead;
  auto ide = std::make_unique<FakeIDE>(true, [&](FakeIDE& ide) {
    EXPECT_EQ(ide.Next(), "BREAK 00000001");
    std::string local = LoggedValue(logPath, "local=");
    EXPECT_EQ(ide.RunToBreakpoint("00000005"), "BREAK 00000005");
    EXPECT_EQ(ide.ListStack(&stack), "SC ");
    ide.Send("DW " + local);
    EXPECT_EQ(ide.Next(), "VAL32 " + local + " 0000002A");
    ide.Send("STEPOVER ");
    EXPECT_EQ(ide.Next(), "BREAK 00000006");
    ide.Send("SW " + local + " 00000063");
    ide.Send("DW 00000008");
    badRead = ide.Next();
    ide.Send("TRAP 01");
    ide.Send("RUN ");
    EXPECT_EQ(ide.Next(), "TRAP OutOfBoundsException");
    ide.Send("RUN ");
    EXPECT_EQ(ide.Next(), "<closed>") << "the program's end closes the link";
  });

  std::string program = std::string(VORN_BINARY_DIR) + "/tests/net/images/debug_app";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ide->Join();
  int status = -1;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << "the program did not end";
    }
    std::this_thread::yield();
  }
  ide.reset();
  std::string log = ReadAll(logPath);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
  EXPECT_EQ(badRead.rfind("ERR DW ", 0), 0u) << badRead;
  EXPECT_NE(log.find("value=99;"), std::string::npos) << log;
  EXPECT_NE(log.find("exception pending;done;"), std::string::npos) << log;
  EXPECT_NE(stack.find("496D616765456E747279"), std::string::npos) << "ImageEntry's frame is listed:\n" << stack;
  unlink(logPath.c_str());
  rmdir(folder.c_str());
}

}  // namespace
}  // namespace vorn
