#include "base/startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/graphics_defaults.h"
#include "net/socket_core.h"
#include "startup/runtime_init.h"

namespace vorn {
namespace {

class SearchPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vorn_path_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mRoot = pattern;
    mkdir((mRoot + "/one").c_str(), 0755);
    mkdir((mRoot + "/two").c_str(), 0755);
    mkdir((mRoot + "/three").c_str(), 0755);
  }
  void TearDown() override { std::system(("rm -rf '" + mRoot + "'").c_str()); }

  void MakeFile(const std::string& path, mode_t mode) {
    FILE* file = std::fopen((mRoot + "/" + path).c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    chmod((mRoot + "/" + path).c_str(), mode);
  }
  std::string Dirs(std::initializer_list<const char*> names) {
    std::string joined;
    for (const char* name : names) {
      if (!joined.empty()) joined += ':';
      joined += mRoot + "/" + name;
    }
    return joined;
  }
  std::string mRoot;
};

TEST_F(SearchPathTest, TheFirstExecutableFileAlongThePathWins) {
  MakeFile("one/tool", 0644);  // not executable: skipped
  mkdir((mRoot + "/two/tool").c_str(), 0755);  // a directory: skipped
  MakeFile("three/tool", 0755);
  std::string dirs = Dirs({"one", "two", "three"});
  EXPECT_EQ(SearchPathForCommand("tool", dirs.c_str()), mRoot + "/three/tool");
  MakeFile("one/other", 0755);
  MakeFile("three/other", 0755);
  EXPECT_EQ(SearchPathForCommand("other", dirs.c_str()), mRoot + "/one/other");
}

TEST_F(SearchPathTest, NothingIsFoundForAnAbsentOrUnsuitableName) {
  MakeFile("one/tool", 0755);
  std::string dirs = Dirs({"one"});
  EXPECT_EQ(SearchPathForCommand("missing", dirs.c_str()), "");
  EXPECT_EQ(SearchPathForCommand("", dirs.c_str()), "");
  EXPECT_EQ(SearchPathForCommand(nullptr, dirs.c_str()), "");
  EXPECT_EQ(SearchPathForCommand("one/tool", mRoot.c_str()), "") << "a name with a slash";
  EXPECT_EQ(SearchPathForCommand("tool", ""), "") << "an empty path is the working directory";
}

TEST_F(SearchPathTest, ShellCharactersInTheNameAreJustCharacters) {
  // The name once went into a shell command line; here it is only ever a file name.
  const char* name = "x;touch pwned;'$(id)'";
  MakeFile(std::string("one/") + name, 0755);
  std::string dirs = Dirs({"one"});
  EXPECT_EQ(SearchPathForCommand(name, dirs.c_str()), mRoot + "/one/" + name);
  EXPECT_NE(access("pwned", F_OK), 0);
}

TEST_F(SearchPathTest, AnEmptyEntryMeansTheWorkingDirectory) {
  MakeFile("two/tool", 0755);
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir((mRoot + "/two").c_str()), 0);
  std::string dirs = Dirs({"one"}) + "::" + Dirs({"three"});
  std::string found = SearchPathForCommand("tool", dirs.c_str());
  ASSERT_EQ(chdir(saved), 0);
  EXPECT_EQ(found, "./tool");
}

TEST(FindExecutableTest, TheProgramFindsItsOwnFile) {
  std::string path = FindExecutablePath("no-such-name-on-the-path");
  ASSERT_FALSE(path.empty());
  struct stat found {}, self {};
  ASSERT_EQ(stat(path.c_str(), &found), 0);
  ASSERT_EQ(stat("/proc/self/exe", &self), 0);
  EXPECT_EQ(found.st_ino, self.st_ino);
  EXPECT_EQ(found.st_dev, self.st_dev);
}

TEST(InitRuntimeTest, SetsTheDialogFontTheEllipsisAndBringsUpTheSocketLayer) {
  InitRuntime();
  EXPECT_EQ(std::string(EllipsisString().View()), "...");
  EXPECT_EQ(std::string(GetDialogFontName().View()), "System");
  EXPECT_EQ(GetDialogFontSize(), 12);
  EXPECT_TRUE(SocketLayerInitialised());
}

}  // namespace
}  // namespace vorn
