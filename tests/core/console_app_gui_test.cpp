// A console program run by the real runtime with its standard streams on pipes, as a shell
// would run it: it echoes its input, answers a message box the user confirms with Return,
// checks the application, keyboard and desktop services it reaches through the loader, and
// finally becomes a daemon.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

extern char** environ;

namespace {

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

// The message box has no window manager to give it the focus: give it to every window of the
// program and press Return there.
void PressReturnIn(pid_t pid) {
  std::string command = "xdotool search --onlyvisible --pid " + std::to_string(pid) +
                        " 2>/dev/null | while read w; do xdotool windowfocus --sync $w key Return; done";
  if (std::system(command.c_str()) != 0) ADD_FAILURE() << "xdotool failed";
}

TEST(ConsoleAppTest, EchoesItsInputAnswersAMessageBoxAndDetaches) {
  char folder[] = "/tmp/vorn_console_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string logPath = std::string(folder) + "/log", markPath = std::string(folder) + "/mark";
  setenv("VORN_TEST_MARK", markPath.c_str(), 1);
  int input[2], output[2];
  ASSERT_EQ(pipe(input), 0);
  ASSERT_EQ(pipe(output), 0);
  int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(log, 0);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  posix_spawn_file_actions_adddup2(&actions, log, 2);
  for (int fd : {input[0], input[1], output[0], output[1], log}) posix_spawn_file_actions_addclose(&actions, fd);
  std::string program = std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/console_app";
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);
  close(output[1]);
  close(log);
  unsetenv("VORN_TEST_MARK");

  // CR LF, LF and no end at all end a line alike.
  const std::string text = "alpha\r\nbeta\ngamma";
  ASSERT_EQ(write(input[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(input[1]);

  fcntl(output[0], F_SETFL, O_NONBLOCK);
  std::string echoed;
  bool outputEnded = false, exited = false;
  int status = 0;
  double deadline = Now() + 30, nextPress = 0;
  while (!(outputEnded && exited) && Now() < deadline) {
    char buffer[256];
    ssize_t got = read(output[0], buffer, sizeof buffer);
    if (got > 0) echoed.append(buffer, static_cast<size_t>(got));
    if (got == 0) outputEnded = true;
    if (!exited && waitpid(pid, &status, WNOHANG) == pid) exited = true;
    std::string sofar = ReadFile(logPath);
    if (!exited && sofar.find("msgbox;") != std::string::npos && sofar.find("msgbox=") == std::string::npos &&
        Now() > nextPress) {
      PressReturnIn(pid);
      nextPress = Now() + 0.5;
    }
    usleep(10 * 1000);
  }
  close(output[0]);
  if (!exited) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    ADD_FAILURE() << "the program did not end; its log: " << ReadFile(logPath);
  }
  // The program that was started ends with 0 once it has handed over to its daemon.
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(echoed, "alpha\nbeta\n> gamma\n");

  std::string runLog = ReadFile(logPath);
  EXPECT_EQ(runLog.find("FAIL"), std::string::npos) << runLog;
  for (const char* check : {"ok:application;", "ok:end of input;", "ok:nil streams;", "ok:version text;",
                            "ok:text resource;", "ok:scripts;", "ok:DoEvents waits;", "ok:polled while listed;",
                            "ok:invalidate setter outside the object;", "ok:key name;", "ok:font names;", "ok:theme colours;",
                            "ok:no windows;", "ok:window order;", "ok:windows closed;", "ok:help tags;", "to standard error\n", "msgbox=7;", "daemon;"}) {
    EXPECT_NE(runLog.find(check), std::string::npos) << check << " missing from: " << runLog;
  }
  // The executable's own file, as App.ExecutableFile names it.
  char resolved[4096];
  ASSERT_NE(realpath(program.c_str(), resolved), nullptr);
  EXPECT_NE(runLog.find(std::string("exe=") + resolved + ";"), std::string::npos) << runLog;

  // The daemon goes on in a session of its own and leaves its mark.
  std::string mark;
  for (double until = Now() + 15; Now() < until && mark.empty(); usleep(10 * 1000)) mark = ReadFile(markPath);
  EXPECT_EQ(mark, "detached");
  std::remove(markPath.c_str());
  std::remove(logPath.c_str());
  rmdir(folder);
}

}  // namespace
