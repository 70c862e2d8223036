#include "files/support/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vorn::testing {

void TempFolderTest::SetUp() {
  StoreTest::SetUp();
  char pattern[] = "/tmp/vorn-files-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  mRoot = std::string(pattern) + "/";
}

void TempFolderTest::TearDown() {
  std::error_code ignored;
  if (!mRoot.empty()) std::filesystem::remove_all(mRoot, ignored);
  StoreTest::TearDown();
}

void TempFolderTest::WriteFile(const std::string& relative, const std::string& contents) {
  std::ofstream out(PathOf(relative), std::ios::binary | std::ios::trunc);
  out << contents;
  ASSERT_TRUE(out.good()) << relative;
}

std::string TempFolderTest::ReadFile(const std::string& relative) const {
  std::ifstream in(PathOf(relative), std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TempFolderTest::MakeFolder(const std::string& relative) {
  ASSERT_EQ(mkdir(PathOf(relative).c_str(), 0755), 0) << relative;
}

bool TempFolderTest::PathExists(const std::string& relative) const {
  struct stat info;
  return lstat(PathOf(relative).c_str(), &info) == 0;
}

std::unique_ptr<FolderItemImpUnix> TempFolderTest::Item(const std::string& path) {
  return std::make_unique<FolderItemImpUnix>(string(path, kFileSystemEncoding));
}

}  // namespace vorn::testing
