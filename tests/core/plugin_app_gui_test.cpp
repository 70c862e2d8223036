// An application carrying two plug-ins, run by the real runtime: the gauge plug-in's class,
// event, property, method and module function reach compiled code; the failing plug-in is
// named and the program goes on; no extracted library is left behind.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

extern char** environ;

namespace {

int CountEntries(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return -1;
  int count = 0;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") ++count;
  }
  closedir(dir);
  return count;
}

TEST(PluginAppTest, PluginClassesReachCompiledCodeAndAFailingPluginIsNamed) {
  char folder[] = "/tmp/vorn_plugin_app_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string logPath = std::string(folder) + "/log";
  std::string tmp = std::string(folder) + "/tmp";
  ASSERT_EQ(mkdir(tmp.c_str(), 0700), 0);
  int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(log, 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, log, 2);
  posix_spawn_file_actions_addclose(&actions, log);
  std::string program = std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/plugin_app";
  char* argv[] = {program.data(), nullptr};
  std::string oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  setenv("TMPDIR", tmp.c_str(), 1);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
  if (oldTmp.empty()) unsetenv("TMPDIR");
  else setenv("TMPDIR", oldTmp.c_str(), 1);
  posix_spawn_file_actions_destroy(&actions);
  close(log);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);  // the program ends by itself
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  std::stringstream text;
  text << std::ifstream(logPath).rdbuf();
  std::string said = text.str();
  EXPECT_NE(said.find("plug-in 'VNPl' 129: failed"), std::string::npos) << said;
  EXPECT_NE(said.find("Level(8);Overflow;Level(12);Twice(42);"), std::string::npos) << said;
  EXPECT_EQ(CountEntries(tmp), 0) << "an extracted library was left";
  std::remove(logPath.c_str());
  rmdir(tmp.c_str());
  rmdir(folder);
}

}  // namespace
