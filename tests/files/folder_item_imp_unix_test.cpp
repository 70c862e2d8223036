#include "files/folder_item_imp_unix.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "files/support/temp_folder.h"

namespace vorn::testing {
namespace {

using FolderItemUnixPathTest = TempFolderTest;

std::string PathOfItem(FolderItemImp* item) {
  std::unique_ptr<FolderItemImp> owned(item);
  return owned ? std::string(owned->GetAbsolutePath().View()) : "<null>";
}

std::string WorkingFolder() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? buffer : "";
}

TEST_F(FolderItemUnixPathTest, FoldersGetTheirFinalSlashAndMissingPathsKeepErrno) {
  EXPECT_EQ(Text(Item("/usr")->mPath), "/usr/");
  EXPECT_EQ(Text(Item("/etc/passwd")->mPath), "/etc/passwd");
  auto missing = Item(PathOf("nothing"));
  EXPECT_EQ(Text(missing->mPath), PathOf("nothing"));
  EXPECT_EQ(missing->mLastError, 2);
  EXPECT_FALSE(missing->Exists());
  EXPECT_EQ(Text(Item(PathOf("a/.././/"))->mPath), PathOf("a/.././/")) << "never normalised";
}

TEST_F(FolderItemUnixPathTest, RefusalFlagTellsRejectedPathsFromMissingOnes) {
  WriteFile("file", "x");
  bool refused = false;
  FolderItemImpUnix underFile(string(PathOf("file/x").c_str()), &refused);
  EXPECT_TRUE(refused);
  refused = true;
  FolderItemImpUnix absent(string(PathOf("absent").c_str()), &refused);
  EXPECT_FALSE(refused);
  refused = false;
  FolderItemImpUnix withNul(string(PathOf("file") + std::string("\0x", 2), kFileSystemEncoding), &refused);
  EXPECT_TRUE(refused);
  EXPECT_FALSE(withNul.Exists()) << "a NUL byte must not make the item name the file before it";
}

TEST_F(FolderItemUnixPathTest, RelativePathsHangBelowTheApplicationFolder) {
  std::string folder = Text(GetApplicationPath(true));
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(Text(Item("docs/a.txt")->mPath), folder + "docs/a.txt");
  EXPECT_EQ(Text(Item("")->mPath), folder);
}

TEST_F(FolderItemUnixPathTest, ApplicationPathFromTheCommandLine) {
  std::string cwd = WorkingFolder();
  ASSERT_FALSE(cwd.empty());
  std::string base = cwd == "/" ? "/" : cwd + "/";
  EXPECT_EQ(Text(ApplicationPathFromArgv0("/opt/app/run")), "/opt/app/run");
  EXPECT_EQ(Text(ApplicationPathFromArgv0("prog")), base + "prog");
  EXPECT_EQ(Text(ApplicationFolderOfPath(ApplicationPathFromArgv0("prog"))), base);

  ASSERT_EQ(chdir(Root().c_str()), 0);
  MakeFolder("bin");
  WriteFile("bin/tool", "#!");
  WriteFile("plain", "");
  EXPECT_EQ(Text(ApplicationPathFromArgv0("./bin/tool")), PathOf("bin/tool"));
  EXPECT_EQ(Text(ApplicationPathFromArgv0("bin/../bin/tool")), PathOf("bin/tool"));
  // A piece that is a file cannot be stepped into; the rest is kept as written.
  EXPECT_EQ(Text(ApplicationPathFromArgv0("plain/x")), PathOf("plain/x"));
  EXPECT_EQ(Text(ApplicationFolderOfPath(ApplicationPathFromArgv0("bin/tool"))), PathOf("bin/"));
  EXPECT_EQ(Text(ApplicationFolderOfPath(string(PathOf("bin").c_str()))), PathOf("bin/"));
  ASSERT_EQ(chdir(cwd.c_str()), 0);
}

TEST_F(FolderItemUnixPathTest, NamesAndParents) {
  auto root = Item("/");
  EXPECT_EQ(Text(root->GetName()), "");
  EXPECT_EQ(root->GetParent(), nullptr);
  EXPECT_TRUE(root->IsVisible());
  EXPECT_EQ(PathOfItem(Item("/usr")->GetParent()), "/");
  EXPECT_EQ(PathOfItem(Item("/usr/bin/ls")->GetParent()), "/usr/bin/");
  EXPECT_EQ(Text(Item("/usr/bin/")->GetName()), "bin");
  EXPECT_EQ(Text(Item("/usr/bin/ls")->GetName()), "ls");
  EXPECT_EQ(FolderItemImpUnix::WithExactPath(string())->GetParent(), nullptr);

  // Walking up always ends, whatever the path looks like.
  std::unique_ptr<FolderItemImp> item(FolderItemImpUnix::WithExactPath(string("/a//b/./c//")));
  int steps = 0;
  while (item && steps < 20) {
    item.reset(item->GetParent());
    ++steps;
  }
  EXPECT_LT(steps, 20);
}

TEST_F(FolderItemUnixPathTest, ChildrenOfFoldersOnly) {
  WriteFile("file", "x");
  EXPECT_EQ(Item(PathOf("file"))->GetChild(string("y"), 0), nullptr);
  EXPECT_EQ(Item(PathOf("absent"))->GetChild(string("y"), 0), nullptr);
  auto root = Item(Root());
  std::unique_ptr<FolderItemImp> child(root->GetChild(string("new"), 0));
  ASSERT_NE(child, nullptr);
  EXPECT_FALSE(child->Exists());
  EXPECT_EQ(PathOfItem(root->GetChild(string("."), 0)), Root());
  EXPECT_EQ(PathOfItem(root->GetChild(string(".."), 0)), "/tmp/");

  // A folder made after its item was still gets its children below it.
  auto late = Item(PathOf("late"));
  MakeFolder("late");
  EXPECT_EQ(PathOfItem(late->GetChild(string("x"), 0)), PathOf("late/x"));
}

TEST_F(FolderItemUnixPathTest, LinksResolveOneLevelRelativeToTheirFolder) {
  MakeFolder("d");
  WriteFile("x", "target");
  ASSERT_EQ(symlink("../x", PathOf("d/link").c_str()), 0);
  ASSERT_EQ(symlink(PathOf("d").c_str(), PathOf("abs").c_str()), 0);
  ASSERT_EQ(symlink("d/link", PathOf("chain").c_str()), 0);

  EXPECT_EQ(Item(PathOf("x"))->ResolveAlias(kResolveAliasFlag), nullptr);
  auto link = Item(PathOf("d/link"));
  EXPECT_TRUE(link->IsAlias());
  EXPECT_FALSE(link->IsDirectory());
  EXPECT_EQ(PathOfItem(link->ResolveAlias(kResolveAliasFlag)), PathOf("d/../x"));
  EXPECT_EQ(PathOfItem(Item(PathOf("abs"))->ResolveAlias(0)), PathOf("d/"));
  EXPECT_EQ(PathOfItem(Item(PathOf("chain"))->ResolveAlias(0)), PathOf("d/link"));
  auto folderLink = Item(PathOf("abs"));
  EXPECT_EQ(Text(folderLink->mPath), PathOf("abs/"));
  EXPECT_TRUE(folderLink->IsDirectory()) << "stat follows the link";
  EXPECT_TRUE(folderLink->IsAlias()) << "the final slash must not hide the link";
}

TEST_F(FolderItemUnixPathTest, VisibilityRenamesWithALeadingDot) {
  WriteFile("a", "1");
  auto item = Item(PathOf("a"));
  EXPECT_TRUE(item->IsVisible());
  EXPECT_TRUE(item->SetVisible(true));
  EXPECT_TRUE(PathExists("a"));
  EXPECT_TRUE(item->SetVisible(false));
  EXPECT_EQ(Text(item->mPath), PathOf(".a"));
  EXPECT_EQ(ReadFile(".a"), "1");
  EXPECT_FALSE(PathExists("a"));
  EXPECT_TRUE(item->SetVisible(true));
  EXPECT_EQ(ReadFile("a"), "1");
}

TEST_F(FolderItemUnixPathTest, ClonesAndAssignmentCarryThePathOnly) {
  auto item = Item(PathOf("missing"));
  ASSERT_EQ(item->mLastError, 2);
  std::unique_ptr<FolderItemImp> copy(item->Clone());
  EXPECT_EQ(copy->mLastError, 0);
  EXPECT_EQ(Text(copy->GetAbsolutePath()), PathOf("missing"));
  auto other = Item("/usr");
  other->mLastError = 9;
  other->Assign(*item);
  EXPECT_EQ(Text(other->mPath), PathOf("missing"));
  EXPECT_EQ(other->mLastError, 9);
}

TEST_F(FolderItemUnixPathTest, URLsNameLocalPathsOnly) {
  std::string url = "file://" + PathOf("x");
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromURL(string(url.c_str()))), PathOf("x"));
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromURL(string("FILE:///usr"))), "/usr/");
  EXPECT_EQ(NewFolderItemImpFromURL(string("file://host/tmp/x")), nullptr);
  EXPECT_EQ(NewFolderItemImpFromURL(string("http:///tmp/x")), nullptr);
  EXPECT_EQ(NewFolderItemImpFromURL(string("file:///etc/passwd%00.txt")), nullptr);
  url = "file://" + Root() + "a%20b";
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromURL(string(url.c_str()))), PathOf("a b"));
}

}  // namespace
}  // namespace vorn::testing
