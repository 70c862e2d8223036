// Applications carrying plug-ins, run by the real runtime with a private TMPDIR: the gauge
// plug-in's class, event, property, method and module function reach compiled code and a
// failing plug-in is named; its Lamp control is drawn, clicked with xdotool and its Pressed
// event reaches the compiled handler; at the end no extracted library is left.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "support/gui_support.h"

extern char** environ;

namespace {

double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

bool WaitFor(const std::function<bool()>& condition, double seconds = vorn::test::kWaitLimitSeconds) {
  for (double until = Now() + seconds; Now() < until; usleep(20 * 1000)) {
    if (condition()) return true;
  }
  return condition();
}

std::string ReadAll(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// "#RRGGBB" of one screen pixel (16-bit channels reduced to 8).
std::string ScreenColor(int x, int y) {
  std::string out = vorn::test::PictureTool("import -window root -crop 1x1+" + std::to_string(x) + "+" +
                                         std::to_string(y) + " -depth 8 txt:- 2>/dev/null | tail -1");
  size_t hash = out.find('#');
  return hash == std::string::npos ? "" : out.substr(hash, 7);
}

bool FolderEmpty(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  int count = 0;
  while (dirent* entry = readdir(dir)) count += std::string(entry->d_name) != "." && std::string(entry->d_name) != "..";
  closedir(dir);
  return count == 0;
}

// Starts a test application with standard error in <folder>/log and TMPDIR <folder>/tmp.
struct PluginRun {
  std::string folder, log, tmp;
  pid_t pid = 0;
};

PluginRun StartApp(const char* name) {
  PluginRun run;
  char folder[] = "/tmp/vorn_plugin_app_XXXXXX";
  if (!mkdtemp(folder)) return run;
  run.folder = folder;
  run.log = run.folder + "/log";
  run.tmp = run.folder + "/tmp";
  int log = open(run.log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (mkdir(run.tmp.c_str(), 0700) != 0 || log < 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, log, 2);
  posix_spawn_file_actions_addclose(&actions, log);
  std::string program = std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/" + name;
  char* argv[] = {program.data(), nullptr};
  std::string environment = "TMPDIR=" + run.tmp;
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) {
    if (std::strncmp(*e, "TMPDIR=", 7) != 0) env.push_back(*e);
  }
  env.push_back(environment.data());
  env.push_back(nullptr);
  if (posix_spawn(&run.pid, program.c_str(), &actions, nullptr, argv, env.data()) != 0) run.pid = 0;
  posix_spawn_file_actions_destroy(&actions);
  close(log);
  return run;
}

TEST(PluginAppTest, PluginClassesReachCompiledCodeAndAFailingPluginIsNamed) {
  PluginRun run = StartApp("plugin_app");
  ASSERT_GT(run.pid, 0);
  int status = 0;
  ASSERT_EQ(waitpid(run.pid, &status, 0), run.pid);  // the program ends by itself
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::string said = ReadAll(run.log);
  EXPECT_NE(said.find("plug-in 'VNPl' 129: failed"), std::string::npos) << said;
  EXPECT_NE(said.find("Level(8);Overflow;Level(12);Twice(42);"), std::string::npos) << said;
  EXPECT_TRUE(FolderEmpty(run.tmp)) << "an extracted library was left";
  vorn::test::Shell("rm -rf " + run.folder);
}

TEST(PluginControlTest, TheLampIsDrawnAndAClickReachesCompiledCode) {
  ASSERT_TRUE(vorn::test::EnsureDisplay());
  PluginRun run = StartApp("plugin_lamp_app");
  ASSERT_GT(run.pid, 0);
  std::string logPath = run.log;
  std::string window;
  ASSERT_TRUE(WaitFor([&] {
    window = vorn::test::Shell("xdotool search --onlyvisible --name '^Plug-in Lamp$' 2>/dev/null | head -1");
    return !window.empty() && ReadAll(logPath).find("Shown;") != std::string::npos;
  })) << ReadAll(logPath);
  std::string geometry = vorn::test::Shell("xdotool getwindowgeometry --shell " + window);
  int x = std::atoi(geometry.substr(geometry.find("X=") + 2).c_str());
  int y = std::atoi(geometry.substr(geometry.find("Y=") + 2).c_str());
  // The lamp is at (40, 30), 80 x 40, in the window's content.
  int lampX = x + 80, lampY = y + 50;
  EXPECT_TRUE(WaitFor([&] { return ScreenColor(lampX, lampY) == "#FF0000"; })) << ScreenColor(lampX, lampY);
  EXPECT_NE(ScreenColor(x + 20, y + 20), "#FF0000") << "the lamp stays inside its bounds";

  vorn::test::ClickScreenPoint(lampX, lampY);
  EXPECT_TRUE(WaitFor([&] { return ReadAll(logPath).find("Pressed;") != std::string::npos; }))
      << ReadAll(logPath);
  EXPECT_TRUE(WaitFor([&] { return ScreenColor(lampX, lampY) == "#00C000"; })) << ScreenColor(lampX, lampY);
  vorn::test::PictureTool("import -window root -crop 240x160+" + std::to_string(x) + "+" + std::to_string(y) +
                       " +repage " + run.folder + "/lamp.png 2>/dev/null");

  kill(run.pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(run.pid, &status, 0), run.pid);
  EXPECT_TRUE(FolderEmpty(run.tmp)) << "an extracted library was left";
  vorn::test::Shell("rm -rf " + run.folder);
}

}  // namespace
