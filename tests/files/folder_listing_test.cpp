#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <set>

#include "files/folder_item_imp_unix.h"
#include "files/support/temp_folder.h"

namespace vorn::testing {
namespace {

using FolderListingTest = TempFolderTest;

std::string PathOfItem(FolderItemImp* item) {
  std::unique_ptr<FolderItemImp> owned(item);
  return owned ? std::string(owned->GetAbsolutePath().View()) : "<null>";
}

// Restores an environment variable at the end of a test.
class SavedVariable {
 public:
  explicit SavedVariable(const char* name) : mName(name) {
    const char* value = std::getenv(name);
    mHad = value != nullptr;
    if (mHad) mValue = value;
  }
  ~SavedVariable() {
    if (mHad)
      setenv(mName, mValue.c_str(), 1);
    else
      unsetenv(mName);
  }

 private:
  const char* mName;
  bool mHad = false;
  std::string mValue;
};

TEST_F(FolderListingTest, CountsAndItemsFollowTheSystemListing) {
  WriteFile(".hidden", "");
  WriteFile("a", "");
  MakeFolder("b");
  WriteFile("...dots", "");
  auto folder = Item(Root());
  EXPECT_EQ(folder->GetCount(), 4);

  SimpleVector<string> listed;
  ListDirectory(folder->mPath, listed);
  ASSERT_EQ(listed.Count(), 4);
  std::set<std::string> seen;
  for (int32_t i = 0; i < 4; ++i) {
    std::string path = PathOfItem(folder->GetItem(i, 0));
    std::string expected = Text(listed[i]);
    if (expected == PathOf("b")) expected += "/";
    EXPECT_EQ(path, expected) << "the order is the system's";
    seen.insert(path);
  }
  EXPECT_EQ(seen, (std::set<std::string>{PathOf(".hidden"), PathOf("a"), PathOf("b/"), PathOf("...dots")}));
  EXPECT_EQ(folder->GetItem(4, 0), nullptr);
  EXPECT_EQ(folder->GetItem(-1, 0), nullptr);

  WriteFile("c", "");
  EXPECT_EQ(folder->GetCount(), 5) << "nothing is cached";
}

TEST_F(FolderListingTest, FilesAndMissingFoldersListNothing) {
  WriteFile("f", "");
  EXPECT_EQ(Item(PathOf("f"))->GetCount(), 0);
  EXPECT_EQ(Item(PathOf("f"))->GetItem(0, 0), nullptr);
  EXPECT_EQ(Item(PathOf("none"))->GetCount(), 0);
  SimpleVector<string> listed;
  ListDirectory(string(PathOf("none").c_str()), listed);
  EXPECT_EQ(listed.Count(), 0);
}

TEST_F(FolderListingTest, LinksResolveOnlyWhenAsked) {
  MakeFolder("d");
  MakeFolder("elsewhere");
  ASSERT_EQ(symlink("../elsewhere", PathOf("d/link").c_str()), 0);
  auto folder = Item(PathOf("d"));
  EXPECT_EQ(PathOfItem(folder->GetItem(0, 0)), PathOf("d/link/"));
  EXPECT_EQ(PathOfItem(folder->GetItem(0, kResolveAliasFlag)), PathOf("d/../elsewhere/"));
}

TEST_F(FolderListingTest, FolderMadeAfterItsItemListsFullPaths) {
  auto late = Item(PathOf("late"));
  MakeFolder("late");
  WriteFile("late/x", "");
  EXPECT_EQ(PathOfItem(late->GetItem(0, 0)), PathOf("late/x"));
}

TEST_F(FolderListingTest, SpecialFolders) {
  SavedVariable home("HOME");
  auto any = Item("/");
  EXPECT_EQ(PathOfItem(any->FindSpecialFolder(kSpecialFolderEtc)), "/etc/");
  EXPECT_EQ(PathOfItem(any->FindSpecialFolder(kSpecialFolderUserBin)), "/usr/bin/");
  EXPECT_EQ(any->FindSpecialFolder(1028), nullptr);
  EXPECT_EQ(any->FindSpecialFolder(1046), nullptr);
  EXPECT_EQ(any->FindSpecialFolder(0x6465736B), nullptr);

  setenv("HOME", Root().c_str(), 1);
  std::unique_ptr<FolderItemImp> user(any->FindSpecialFolder(kSpecialFolderUserHome));
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(Text(user->GetAbsolutePath()), Root());
  EXPECT_EQ(user->GetAbsolutePath().Encoding(), kEncodingUTF8);
  unsetenv("HOME");
  EXPECT_EQ(any->FindSpecialFolder(kSpecialFolderUserHome), nullptr);
  setenv("HOME", "", 1);
  EXPECT_EQ(any->FindSpecialFolder(kSpecialFolderUserHome), nullptr) << "not the application folder";
}

}  // namespace
}  // namespace vorn::testing
