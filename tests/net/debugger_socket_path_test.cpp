#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "net/debugger_connection.h"
#include "support/process_locale.h"

namespace vorn {
namespace {

std::string MadeFolder(mode_t mode) {
  char pattern[] = "/tmp/vorn-debugger-path-XXXXXX";
  std::string folder = mkdtemp(pattern);
  chmod(folder.c_str(), mode);
  return folder;
}

TEST(DebuggerSocketPathTest, TheLinkLivesOnlyWhereNoOtherUserCanReach) {
  std::string privateRuntime = MadeFolder(0700), openRuntime = MadeFolder(0755), temporary = MadeFolder(0700);
  const test::ScopedEnvironment tmp({"TMPDIR=" + temporary});
  std::string fallback = temporary + "/vorn-debug-" + std::to_string(getuid());
  {
    const test::ScopedEnvironment runtime({"XDG_RUNTIME_DIR=" + privateRuntime});
    EXPECT_EQ(DebuggerSocketPath(), privateRuntime + "/VNLocalDebug");
  }
  {
    const test::ScopedEnvironment runtime({"XDG_RUNTIME_DIR=" + openRuntime});
    EXPECT_EQ(DebuggerSocketPath(), fallback + "/VNLocalDebug") << "a runtime folder others can enter is passed by";
    struct stat made{};
    ASSERT_EQ(lstat(fallback.c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u);
    // A folder of that name that others can enter (made by someone first) is refused.
    chmod(fallback.c_str(), 0777);
    EXPECT_EQ(DebuggerSocketPath(), "");
    rmdir(fallback.c_str());
    ASSERT_EQ(symlink(privateRuntime.c_str(), fallback.c_str()), 0);
    EXPECT_EQ(DebuggerSocketPath(), "") << "a link in the folder's place is refused";
    unlink(fallback.c_str());
  }
  rmdir(fallback.c_str());
  for (const std::string& folder : {privateRuntime, openRuntime, temporary}) rmdir(folder.c_str());
}

}  // namespace
}  // namespace vorn
