#include "files/folder_item_imp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <thread>
#include <memory>
#include <vector>

#include "files/file_handle.h"
#include "files/folder_item_imp_unix.h"
#include "files/support/temp_folder.h"
#include "files/temp_file_shutdown_task.h"

namespace vorn::testing {
namespace {

using SharedAlgorithmsTest = TempFolderTest;

// A small in-memory medium for what disks cannot show: which names were tried, and deletions
// that fail on purpose.
struct MemoryDisk {
  std::map<std::string, bool> entries;  // path -> is a folder
  std::vector<std::string> created;
  int deleteFailures = 0;
  int liveItems = 0;
};

class MemoryItem : public FolderItemImp {
 public:
  MemoryItem(MemoryDisk& disk, std::string path) : mDisk(disk), mPath(std::move(path)) { ++mDisk.liveItems; }
  ~MemoryItem() override { --mDisk.liveItems; }

  bool Exists() override { return mDisk.entries.count(mPath) > 0; }
  bool IsDirectory() override { return Exists() && mDisk.entries[mPath]; }
  string GetName() override { return string(mPath.substr(mPath.rfind('/') + 1).c_str()); }
  FolderItemImp* GetParent() override {
    size_t slash = mPath.rfind('/');
    return slash == 0 || slash == std::string::npos ? nullptr : new MemoryItem(mDisk, mPath.substr(0, slash));
  }
  FolderItemImp* GetChild(const string& name, int32_t) override {
    return new MemoryItem(mDisk, mPath + "/" + std::string(name.View()));
  }
  FolderItemImp* Clone() const override { return new MemoryItem(mDisk, mPath); }
  std::vector<std::string> Children() {
    std::vector<std::string> children;
    for (const auto& [path, folder] : mDisk.entries)
      if (path.size() > mPath.size() + 1 && path.compare(0, mPath.size() + 1, mPath + "/") == 0 &&
          path.find('/', mPath.size() + 1) == std::string::npos)
        children.push_back(path);
    return children;
  }
  int32_t GetCount() override { return static_cast<int32_t>(Children().size()); }
  FolderItemImp* GetItem(int32_t index, int32_t) override {
    std::vector<std::string> children = Children();
    return index >= 0 && index < GetCount() ? new MemoryItem(mDisk, children[static_cast<size_t>(index)]) : nullptr;
  }
  RandomAccessMechanism* CreateStream(const string&) override {
    mDisk.created.push_back(mPath);
    mDisk.entries[mPath] = false;
    return new FileHandle;
  }
  bool Delete() override {
    if (mDisk.deleteFailures > 0) {
      --mDisk.deleteFailures;
      mLastError = 16;
      return false;
    }
    if (!mDisk.entries.erase(mPath)) {
      mLastError = 2;
      return false;
    }
    return true;
  }

 private:
  MemoryDisk& mDisk;
  std::string mPath;
};

TEST(FolderItemImpDefaults, BaseAnswersHarmlessly) {
  FolderItemImp item;
  EXPECT_EQ(item.GetMacType(), kNoFourCharCode);
  EXPECT_EQ(item.ResolveAlias(kResolveAliasFlag), &item);
  EXPECT_EQ(item.Reserved40(), -1);
  EXPECT_TRUE(item.IsReadable());
  EXPECT_FALSE(item.DeleteAll());
  EXPECT_FALSE(item.IsWriteable()) << "nothing to probe without a folder";
  std::unique_ptr<FolderItemImp> clone(item.Clone());
  EXPECT_EQ(clone->mLastError, 0);
}

TEST_F(SharedAlgorithmsTest, URLsOfFilesAndFolders) {
  MakeFolder("my folder");
  WriteFile("my folder/\xC3\xA9t\xC3\xA9.txt", "");
  std::string prefix = "file://" + Root();
  EXPECT_EQ(Text(Item(PathOf("my folder"))->GetURLPath()), prefix + "my%20folder/");
  EXPECT_EQ(Text(Item(PathOf("my folder/\xC3\xA9t\xC3\xA9.txt"))->GetURLPath()),
            prefix + "my%20folder/%C3%A9t%C3%A9.txt");
  EXPECT_EQ(Text(Item("/")->GetURLPath()), "file:///");
  EXPECT_EQ(Item("/")->GetURLPath().Encoding(), kEncodingUTF8);
}

TEST(FileURLs, PathsFromURLs) {
  EXPECT_EQ(std::string(FileURLToPath(string("FILE:///tmp/x"), '/').View()), "tmp/x");
  EXPECT_EQ(std::string(FileURLToPath(string("file:///a/b%20c"), ':').View()), "a:b c");
  EXPECT_EQ(std::string(FileURLToPath(string("file://host/x"), '/').View()), "");
  EXPECT_EQ(std::string(FileURLToPath(string("ftp:///x"), '/').View()), "");
  EXPECT_EQ(std::string(FileURLToPath(string("file:/"), '/').View()), "");
  EXPECT_TRUE(IsSaveInfo(string("\x00\xF1\xD1\x73", 4, kEncodingUnknown)));
  EXPECT_FALSE(IsSaveInfo(string("\x00\xF1\xD1", 3, kEncodingUnknown)));
}

TEST_F(SharedAlgorithmsTest, StreamCopyIntoFoldersAndOntoItself) {
  std::string big;
  for (int i = 0; i < 10000; ++i) big += static_cast<char>('a' + i % 26);
  WriteFile("big", big);
  MakeFolder("into");
  auto source = Item(PathOf("big"));
  auto folder = Item(PathOf("into"));
  EXPECT_TRUE(source->FolderItemImp::CopyFileTo(folder.get()));
  EXPECT_EQ(ReadFile("into/big"), big);
  EXPECT_TRUE(source->FolderItemImp::CopyFileTo(source.get()));
  EXPECT_EQ(ReadFile("big"), big);

  WriteFile("empty", "");
  auto empty = Item(PathOf("empty"));
  auto copy = Item(PathOf("copy"));
  EXPECT_TRUE(empty->FolderItemImp::CopyFileTo(copy.get()));
  EXPECT_EQ(ReadFile("copy"), "");
  EXPECT_FALSE(Item(PathOf("none"))->FolderItemImp::CopyFileTo(copy.get()));
  EXPECT_TRUE(source->FolderItemImp::MoveFileTo(copy.get()));
  EXPECT_EQ(ReadFile("copy"), big);
  EXPECT_FALSE(PathExists("big"));
}

TEST_F(SharedAlgorithmsTest, DeleteAllRemovesTreesButNeverWalksLinks) {
  WriteFile("file", "");
  EXPECT_FALSE(Item(PathOf("file"))->DeleteAll());
  EXPECT_TRUE(PathExists("file"));

  MakeFolder("tree");
  MakeFolder("tree/sub");
  WriteFile("tree/sub/x", "");
  WriteFile("tree/y", "");
  EXPECT_TRUE(Item(PathOf("tree"))->DeleteAll());
  EXPECT_FALSE(PathExists("tree"));

  MakeFolder("keep");
  WriteFile("keep/precious", "p");
  MakeFolder("linked");
  ASSERT_EQ(symlink(PathOf("keep").c_str(), PathOf("linked/to-keep").c_str()), 0);
  auto linked = Item(PathOf("linked"));
  EXPECT_TRUE(linked->DeleteAll());
  EXPECT_FALSE(PathExists("linked"));
  EXPECT_EQ(ReadFile("keep/precious"), "p");
}

TEST_F(SharedAlgorithmsTest, WriteProbeOnDisk) {
  WriteFile("empty", "");
  auto empty = Item(PathOf("empty"));
  struct stat before;
  ASSERT_EQ(stat(PathOf("empty").c_str(), &before), 0);
  EXPECT_TRUE(empty->FolderItemImp::IsWriteable());
  EXPECT_EQ(ReadFile("empty"), "");

  WriteFile("full", "z");
  auto full = Item(PathOf("full"));
  ASSERT_TRUE(full->SetModificationDate(full->GetModificationDate() - 5000));
  double modified = full->GetModificationDate();
  EXPECT_TRUE(full->FolderItemImp::IsWriteable());
  EXPECT_EQ(ReadFile("full"), "z");
  EXPECT_EQ(full->GetModificationDate(), modified);

  MakeFolder("folder");
  auto folder = Item(PathOf("folder"));
  ASSERT_TRUE(folder->SetModificationDate(folder->GetModificationDate() - 5000));
  modified = folder->GetModificationDate();
  EXPECT_TRUE(folder->FolderItemImp::IsWriteable());
  EXPECT_EQ(folder->GetCount(), 0) << "no probe file is left";
  EXPECT_EQ(folder->GetModificationDate(), modified);
}

TEST(WriteProbe, TakesTheFirstFreeNameAndRetriesFailedDeletions) {
  MemoryDisk disk;
  disk.entries = {{"/f", true}, {"/f/$$TestFile$$", false}, {"/f/$$TestFile$$0", false}};
  {
    MemoryItem folder(disk, "/f");
    EXPECT_TRUE(folder.IsWriteable());
  }
  ASSERT_EQ(disk.created, std::vector<std::string>{"/f/$$TestFile$$1"});
  EXPECT_EQ(disk.entries.count("/f/$$TestFile$$1"), 0u);
  EXPECT_EQ(disk.liveItems, 0);

  // A probe that will not go at once is handed to a deleter, which keeps trying.
  disk.deleteFailures = 2;
  {
    MemoryItem missing(disk, "/f/new");
    EXPECT_TRUE(missing.IsWriteable());
  }
  EXPECT_EQ(disk.entries.count("/f/$$TestFile$$1"), 1u);
  ASSERT_EQ(disk.liveItems, 1) << "the deleter holds the probe";
  for (int i = 0; i < 200 && disk.liveItems > 0; ++i) {
    RunBackgroundTasks(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(disk.liveItems, 0) << "the deleter finished and went";
  EXPECT_EQ(disk.entries.count("/f/$$TestFile$$1"), 0u);
  EXPECT_EQ(disk.deleteFailures, 0);
}

TEST(DeleteAll, StopsAtTheFirstFailureAndKeepsItsError) {
  MemoryDisk disk;
  disk.entries = {{"/d", true}, {"/d/a", false}, {"/d/b", false}};
  disk.deleteFailures = 1;
  MemoryItem folder(disk, "/d");
  EXPECT_FALSE(folder.DeleteAll());
  EXPECT_EQ(folder.mLastError, 16);
  EXPECT_EQ(disk.entries.size(), 3u) << "nothing after the failure is touched";
  EXPECT_TRUE(folder.DeleteAll());
  EXPECT_TRUE(disk.entries.empty());
  EXPECT_EQ(disk.liveItems, 1);
}

TEST(WriteProbe, DeleterFinishesWhenTheFileIsGoneAnyway) {
  MemoryDisk disk;
  disk.entries = {{"/gone", false}};
  disk.deleteFailures = 1;
  auto* deleter = new TempFileDeleter(new MemoryItem(disk, "/gone"));
  EXPECT_EQ(deleter->Period(), 10);
  RunBackgroundTask(deleter, 0);
  ASSERT_EQ(disk.liveItems, 1);
  disk.entries.clear();
  RunBackgroundTask(deleter, 1);
  EXPECT_EQ(disk.liveItems, 0);
}

}  // namespace
}  // namespace vorn::testing
