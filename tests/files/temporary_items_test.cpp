// Temporary items: fresh names that nobody else can take over, each registered so that the
// program's end removes whatever was made there.
#include "files/temporary_items.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "startup/class_registration.h"
#include "files/binary_stream.h"
#include "files/folder_item_class.h"
#include "files/support/temp_folder.h"
#include "files/temp_file_shutdown_task.h"
#include "vorn/folder_item_api.h"
#include "vorn/special_folder_api.h"

namespace vorn::testing {
namespace {

class TemporaryItemsTest : public TempFolderTest {
 protected:
  void SetUp() override {
    RuntimeInitExternalClasses();
    TempFolderTest::SetUp();
  }
  void TearDown() override {
    // What a test made under /tmp goes as it would at exit.
    EndProgram();
    TempFolderTest::TearDown();
  }

  static void EndProgram() { delete &TemporaryItemsTask(); }

  static std::string PathOfImp(FolderItemImp* imp) { return std::string(imp->GetAbsolutePath().View()); }

  static std::vector<std::string> Registered() {
    std::vector<std::string> paths;
    for (FolderItemImp* item : TemporaryItemsTask().mItems) paths.push_back(PathOfImp(item));
    return paths;
  }

  static bool IsPrivateEmptyFile(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return false;
    return S_ISREG(info.st_mode) && (info.st_mode & 0777) == 0600 && info.st_size == 0 && info.st_uid == getuid();
  }
};

TEST_F(TemporaryItemsTest, EachItemIsAFreshNameInTheTemporaryFolderRegisteredForTheEnd) {
  std::unique_ptr<FolderItemImpUnix> first(NewTemporaryItemImp());
  std::unique_ptr<FolderItemImpUnix> second(NewTemporaryItemImp());
  ASSERT_TRUE(first && second);
  std::string a = PathOfImp(first.get()), b = PathOfImp(second.get());
  EXPECT_NE(a, b);
  EXPECT_EQ(a.size(), std::string("/tmp/XXXXXXX").size());
  EXPECT_EQ(a.rfind("/tmp/", 0), 0u);
  EXPECT_TRUE(IsPrivateEmptyFile(a)) << "the name is taken, not just picked";
  EXPECT_TRUE(IsPrivateEmptyFile(b));
  EXPECT_EQ(Registered(), (std::vector<std::string>{a, b}));
  EndProgram();
  EXPECT_FALSE(first->Exists());
  EXPECT_FALSE(second->Exists());
}

TEST_F(TemporaryItemsTest, AnItemMadeIntoAFolderIsEmptiedAtTheEnd) {
  std::unique_ptr<FolderItemImpUnix> item(NewTemporaryItemImp(Root()));
  ASSERT_TRUE(item);
  ASSERT_TRUE(item->Delete());
  ASSERT_TRUE(item->CreateAsFolder());
  std::string folder = PathOfImp(item.get());
  std::unique_ptr<FolderItemImp> child(item->GetChild(string("data.bin"), 0));
  delete child->CreateStream(string());
  EndProgram();
  EXPECT_TRUE(item->Exists());
  EXPECT_EQ(item->GetCount(), 0);
}

TEST_F(TemporaryItemsTest, NoNameInAFolderThatCannotTakeOneAndNothingRegistered) {
  MakeFolder("closed");
  ASSERT_EQ(chmod(PathOf("closed").c_str(), 0500), 0);
  size_t before = Registered().size();
  if (geteuid() != 0) {
    EXPECT_EQ(NewTemporaryItemImp(PathOf("closed/")), nullptr);
  }
  EXPECT_EQ(NewTemporaryItemImp(PathOf("missing/")), nullptr);
  EXPECT_EQ(NewTemporaryItemImp("relative/"), nullptr);
  EXPECT_EQ(NewTemporaryItemImp(""), nullptr) << "never the application's folder";
  EXPECT_EQ(Registered().size(), before);
  chmod(PathOf("closed").c_str(), 0700);
}

TEST_F(TemporaryItemsTest, ACallAfterTheEndStartsANewTaskThatStillRuns) {
  std::unique_ptr<FolderItemImpUnix> early(NewTemporaryItemImp(Root()));
  EndProgram();
  EXPECT_FALSE(early->Exists());
  std::unique_ptr<FolderItemImpUnix> late(NewTemporaryItemImp(Root()));
  ASSERT_TRUE(late);
  EXPECT_EQ(Registered(), std::vector<std::string>{PathOfImp(late.get())});
  EndProgram();
  EXPECT_FALSE(late->Exists());
}

TEST_F(TemporaryItemsTest, TheGlobalFunctionGivesAFolderItemToWriteInto) {
  RuntimeObject* item = getTemporaryFolderItem();
  ASSERT_NE(item, nullptr);
  string path = string::Adopt(VORNpathFromFolderItem(item));
  RuntimeObject* stream = FolderItemCreateBinaryFile(item, nullptr);
  ASSERT_NE(stream, nullptr);
  string text("magnitude 6.5");
  BinaryStreamWrite(stream, text.Rep());
  BinaryStreamClose(stream);
  RuntimeUnlockObject(stream);
  EXPECT_EQ(fileSizeGetter(item, 0), 13);
  RuntimeUnlockObject(item);
  struct stat info;
  ASSERT_EQ(stat(std::string(path.View()).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "writing keeps the file private";
  EndProgram();
  EXPECT_NE(stat(std::string(path.View()).c_str(), &info), 0);
}

}  // namespace
}  // namespace vorn::testing
