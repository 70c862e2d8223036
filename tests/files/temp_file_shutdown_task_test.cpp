#include "files/temp_file_shutdown_task.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/shutdown_task.h"
#include "files/support/temp_folder.h"

namespace vorn::testing {
namespace {

using TempFileShutDownTaskTest = TempFolderTest;

TEST_F(TempFileShutDownTaskTest, EmptiesFoldersAndDeletesFilesAtExit) {
  MakeFolder("tmpdir");
  WriteFile("tmpdir/file", "");
  MakeFolder("tmpdir/sub");
  WriteFile("tmpdir/sub/inner", "");
  WriteFile("tmpfile", "");
  MakeFolder("outside");
  WriteFile("outside/precious", "p");
  ASSERT_EQ(symlink(PathOf("outside").c_str(), PathOf("tmpdir/link").c_str()), 0);

  auto* task = new TempFileShutDownTask;
  {
    auto folder = Item(PathOf("tmpdir"));
    auto file = Item(PathOf("tmpfile"));
    auto later = Item(PathOf("not-yet"));
    task->Add(*folder);
    task->Add(*file);
    task->Add(*later);
  }
  EXPECT_EQ(task->mItems.Count(), 3) << "clones, independent of the caller's items";
  WriteFile("not-yet", "made after registering");
  RunShutdownTasks();

  EXPECT_TRUE(PathExists("tmpdir"));
  EXPECT_EQ(Item(PathOf("tmpdir"))->GetCount(), 0);
  EXPECT_FALSE(PathExists("tmpfile"));
  EXPECT_FALSE(PathExists("not-yet"));
  EXPECT_EQ(ReadFile("outside/precious"), "p") << "a link is removed, never followed";
}

TEST_F(TempFileShutDownTaskTest, ManyItemsGrowTheList) {
  auto* task = new TempFileShutDownTask;
  for (int i = 0; i < 40; ++i) {
    WriteFile("f" + std::to_string(i), "");
    task->Add(*Item(PathOf("f" + std::to_string(i))));
  }
  EXPECT_EQ(task->mItems.Count(), 40);
  delete task;
  EXPECT_EQ(Item(Root())->GetCount(), 0);
}

}  // namespace
}  // namespace vorn::testing
