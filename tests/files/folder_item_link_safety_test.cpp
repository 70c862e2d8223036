// Names other users can guess or plant links under: nothing the runtime does at such a name may
// follow a link, replace a file or empty a folder that is not its own. Every case plants real
// links in the fixture's private folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include "files/data_file.h"
#include "files/folder_item_imp_unix.h"
#include "files/support/temp_folder.h"
#include "files/temp_file_shutdown_task.h"
#include "files/temporary_items.h"

namespace vorn::testing {
namespace {

class LinkSafetyTest : public TempFolderTest {
 protected:
  void Plant(const std::string& link, const std::string& target) {
    ASSERT_EQ(symlink(PathOf(target).c_str(), PathOf(link).c_str()), 0) << link;
  }
  bool IsLink(const std::string& relative) const {
    struct stat info;
    return lstat(PathOf(relative).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  }
};

TEST_F(LinkSafetyTest, WriteTestCreatesNothingAtAPlantedProbeName) {
  MakeFolder("shared");
  MakeFolder("elsewhere");
  Plant("shared/$$TestFile$$", "elsewhere/made-by-probe");
  EXPECT_TRUE(Item(PathOf("shared/new-file"))->IsWriteable());
  EXPECT_TRUE(Item(PathOf("shared"))->IsWriteable());
  EXPECT_FALSE(PathExists("elsewhere/made-by-probe")) << "the link's target was created";
  EXPECT_TRUE(IsLink("shared/$$TestFile$$"));

  ASSERT_EQ(chmod(PathOf("shared").c_str(), 0500), 0);
  auto missing = Item(PathOf("shared/new-file"));
  bool root = geteuid() == 0;
  if (!root) {
    EXPECT_FALSE(missing->IsWriteable()) << "a folder that refuses writing";
    EXPECT_EQ(missing->mLastError, EACCES);
  }
  EXPECT_FALSE(Item(PathOf("no-folder/x"))->IsWriteable());
  chmod(PathOf("shared").c_str(), 0700);
}

TEST_F(LinkSafetyTest, ExitRemovesALinkAtARegisteredPathNotWhatItNames) {
  MakeFolder("victim");
  WriteFile("victim/precious", "keep");
  WriteFile("registered", "");
  {
    TempFileShutDownTask task;
    task.Add(*Item(PathOf("registered")));
    ASSERT_EQ(unlink(PathOf("registered").c_str()), 0);
    Plant("registered", "victim");
  }
  EXPECT_FALSE(PathExists("registered")) << "the link itself goes";
  EXPECT_EQ(ReadFile("victim/precious"), "keep");
}

TEST_F(LinkSafetyTest, DeleteAllOnALinkToAFolderRemovesOnlyTheLink) {
  MakeFolder("target");
  WriteFile("target/precious", "keep");
  Plant("link", "target");
  auto link = Item(PathOf("link"));
  EXPECT_TRUE(link->DeleteAll());
  EXPECT_FALSE(IsLink("link"));
  EXPECT_EQ(ReadFile("target/precious"), "keep");
}

TEST_F(LinkSafetyTest, NamedTemporaryFilesAreNewPrivateFilesInTheUsersFolder) {
  const char* saved = std::getenv("TMPDIR");
  std::string savedValue = saved ? saved : "";
  setenv("TMPDIR", Root().c_str(), 1);
  auto create = [](const char* name, int32_t* error) {
    std::unique_ptr<DataFile> file(NewDataFile());
    bool made = file->CreateTemporary(name);
    *error = file->mLastError;
    if (made) file->Write("new", 3);
    return made;
  };
  int32_t error = 0;
  EXPECT_TRUE(create("fresh", &error));
  EXPECT_EQ(ReadFile("fresh"), "new");
  struct stat info;
  ASSERT_EQ(stat(PathOf("fresh").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  WriteFile("taken", "old");
  MakeFolder("elsewhere");
  Plant("planted", "elsewhere/target");
  const struct {
    const char* name;
    int32_t error;
  } refused[] = {{"taken", EEXIST}, {"planted", EEXIST}, {"../escape", EINVAL}, {"..", EINVAL}, {"a/b", EINVAL}};
  for (const auto& row : refused) {
    EXPECT_FALSE(create(row.name, &error)) << row.name;
    EXPECT_EQ(error, row.error) << row.name;
  }
  EXPECT_EQ(ReadFile("taken"), "old");
  EXPECT_FALSE(PathExists("elsewhere/target"));

  if (saved)
    setenv("TMPDIR", savedValue.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

TEST_F(LinkSafetyTest, RenamingOntoATakenNameIsRefusedAndKeepsBothItems) {
  WriteFile("a", "first");
  WriteFile("b", "second");
  MakeFolder("d");
  MakeFolder("e");
  auto a = Item(PathOf("a"));
  EXPECT_FALSE(a->SetName(string("b")));
  EXPECT_EQ(a->mLastError, EEXIST);
  EXPECT_EQ(Text(a->GetAbsolutePath()), PathOf("a")) << "the item keeps its name";
  EXPECT_EQ(ReadFile("b"), "second");
  EXPECT_EQ(ReadFile("a"), "first");
  EXPECT_TRUE(a->SetVisible(false)) << "hiding takes the free name .a";
  EXPECT_EQ(ReadFile(".a"), "first");

  WriteFile(".b", "hidden");
  auto b = Item(PathOf("b"));
  EXPECT_FALSE(b->SetVisible(false)) << ".b is taken";
  EXPECT_EQ(ReadFile(".b"), "hidden");
  EXPECT_FALSE(Item(PathOf("d"))->SetDisplayName(string("e")));
  EXPECT_TRUE(PathExists("d") && PathExists("e"));
  EXPECT_TRUE(b->SetName(string("b"))) << "its own name is no other item's";
}

TEST_F(LinkSafetyTest, ATemporaryItemBecomesAFolderOnlyInPlaceOfItsOwnEmptyFile) {
  std::unique_ptr<FolderItemImpUnix> item(NewTemporaryItemImp(Root()));
  ASSERT_TRUE(item);
  EXPECT_TRUE(item->CreateAsFolder());
  EXPECT_TRUE(item->IsDirectory());
  struct stat info;
  ASSERT_EQ(stat(Text(item->GetAbsolutePath()).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // Someone swapped the held name for a link of their own: it stays, and no folder is made.
  std::unique_ptr<FolderItemImpUnix> swapped(NewTemporaryItemImp(Root()));
  ASSERT_TRUE(swapped);
  std::string path = Text(swapped->GetAbsolutePath());
  MakeFolder("elsewhere");
  ASSERT_EQ(unlink(path.c_str()), 0);
  ASSERT_EQ(symlink(PathOf("elsewhere").c_str(), path.c_str()), 0);
  EXPECT_FALSE(swapped->CreateAsFolder());
  EXPECT_EQ(swapped->mLastError, EEXIST);
  EXPECT_TRUE(swapped->IsAlias());

  WriteFile("plain", "");
  EXPECT_FALSE(Item(PathOf("plain"))->CreateAsFolder()) << "an empty file the runtime did not make";
  EXPECT_EQ(ReadFile("plain"), "");
}

}  // namespace
}  // namespace vorn::testing
