// The folder tree inside a volume and the store over one of its files: item headers, child
// lists, deleting and moving, file lengths and damaged trees.
#include "files/vhfs_volume.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "files/file_handle.h"
#include "files/support/volume_test.h"
#include "files/vfile.h"

namespace vorn::testing {
namespace {

class VHFSVolumeTest : public VolumeTest {
 protected:
  void SetUp() override {
    VolumeTest::SetUp();
    mVolume = VHFSVolume::Create(&mStore, false);
    ASSERT_TRUE(mVolume && mVolume->IsOK());
    mRoot = mVolume->GetRoot();
  }
  void TearDown() override {
    mVolume.reset();
    VolumeTest::TearDown();
  }
  void Reopen() {
    mVolume.reset();
    mVolume = std::make_unique<VHFSVolume>(&mStore, false);
    ASSERT_TRUE(mVolume->IsOK());
    mRoot = mVolume->GetRoot();
  }
  std::vector<uint32_t> ChildIDs(const VHFSItem& folder) {
    std::vector<uint32_t> ids;
    for (const VHFSItem& child : mVolume->ListChildren(folder)) ids.push_back(child.idnum);
    return ids;
  }
  std::string Names(const VHFSItem& folder) {
    std::string names;
    for (const VHFSItem& child : mVolume->ListChildren(folder)) names += std::string(child.name.View()) + ";";
    return names;
  }
  VHFSItem File(const VHFSItem& folder, const char* name) { return mVolume->CreateItem(folder, name, kUnknownFileType); }
  // The file offset of an item's first block.
  int64_t BlockOf(uint32_t idnum) {
    int32_t index;
    int64_t offset;
    mVolume->Core()->Map().Find(idnum, 0, 0, &index, &offset);
    return offset;
  }
  bool WriteFile(const VHFSItem& item, const std::string& bytes) {
    std::unique_ptr<VFile> file(mVolume->OpenFile(item));
    return file && file->Write(bytes.data(), static_cast<int32_t>(bytes.size())) && file->Close();
  }
  std::string ReadFile(const VHFSItem& item, int32_t count) {
    std::unique_ptr<VFile> file(mVolume->OpenFile(item));
    if (!file) return "<no file>";
    std::string text = ReadText(*file, count);
    file->Close();
    return text;
  }

  FileHandle mStore;
  std::unique_ptr<VHFSVolume> mVolume;
  VHFSItem mRoot;
};

TEST_F(VHFSVolumeTest, ANewVolumeHoldsAnEmptyRootFolderNamedSlash) {
  EXPECT_EQ(mRoot.idnum, kRootDirectoryIDnum);
  EXPECT_EQ(std::string(mRoot.name.View()), "/");
  EXPECT_TRUE(mRoot.IsFolder());
  EXPECT_TRUE(mVolume->ListChildren(mRoot).empty());
  EXPECT_EQ(mVolume->GetParent(mRoot).idnum, 0u);

  std::string bytes = Bytes(mStore);
  EXPECT_EQ(BigLong(bytes, 36), 3u) << "the counter after the root";
  const int64_t header = 48 + 28;  // the root's first block follows the first one
  EXPECT_EQ(BigDouble(bytes, header), 4.0) << "the root's length is its count";
  EXPECT_EQ(bytes.substr(header + 8, 4), "fold");
  EXPECT_EQ(BigLong(bytes, header + 12), 0u);
  double created = BigDouble(bytes, header + 16);
  EXPECT_GT(created, 3.0e9) << "seconds since 1904";
  EXPECT_EQ(BigDouble(bytes, header + 24), created);
  EXPECT_EQ(bytes.substr(header + 32, 224), "/" + std::string(223, '\0'));
  EXPECT_EQ(BigLong(bytes, header + 256), 0u);
}

TEST_F(VHFSVolumeTest, ItemsKeepNamesTypesAndDatesThroughReopening) {
  VHFSItem folder = mVolume->CreateFolder(mRoot, "docs");
  ASSERT_TRUE(folder.IsFolder());
  VHFSItem file = File(folder, "notes.txt");
  ASSERT_TRUE(file.IsFile());
  EXPECT_EQ(file.type, kUnknownFileType);
  ASSERT_TRUE(WriteFile(file, "hello"));
  VHFSItemInfo info{1000.0, 2000.0, 5.0};
  ASSERT_TRUE(mVolume->SetItemInfo(file, info));
  ASSERT_TRUE(mVolume->SetType(&file, 0x54455854));  // TEXT
  EXPECT_FALSE(mVolume->SetType(&file, kFolderType)) << "a file never becomes a folder";
  EXPECT_FALSE(mVolume->SetType(&folder, 0x54455854)) << "nor a folder a file";

  Reopen();
  EXPECT_EQ(Names(mRoot), "docs;");
  VHFSItem docs = mVolume->ListChildren(mRoot)[0];
  ASSERT_EQ(Names(docs), "notes.txt;");
  VHFSItem notes = mVolume->ListChildren(docs)[0];
  EXPECT_EQ(notes.type, 0x54455854u);
  VHFSItemInfo read;
  ASSERT_TRUE(mVolume->GetItemInfo(notes, &read));
  EXPECT_EQ(read.creationDate, 1000.0);
  EXPECT_EQ(read.modificationDate, 2000.0);
  EXPECT_EQ(read.length, 5.0);
  EXPECT_EQ(ReadFile(notes, 20), "hello");
  EXPECT_EQ(mVolume->GetParent(notes).idnum, docs.idnum);
  EXPECT_EQ(std::string(mVolume->GetParent(notes).name.View()), "docs");
}

TEST_F(VHFSVolumeTest, NamesAreCutToTheFieldAndNeverSplitACharacter) {
  VHFSItem longName = File(mRoot, std::string(300, 'n').c_str());
  EXPECT_EQ(longName.name.Length(), 223);
  // 222 ASCII bytes and a two-byte character: the character does not fit.
  std::string accented = std::string(222, 'a') + "\xC3\xA9";
  VHFSItem cut = mVolume->CreateItem(mRoot, string(accented, kEncodingUTF8), kUnknownFileType);
  EXPECT_EQ(std::string(cut.name.View()), std::string(222, 'a'));
  EXPECT_FALSE(mVolume->CreateItem(mRoot, string(std::string_view("a\0b", 3), kEncodingUTF8), kUnknownFileType).Exists())
      << "a name with a zero byte could never be found again";
  EXPECT_FALSE(File(mRoot, "").Exists());
  EXPECT_FALSE(mVolume->CreateItem(mRoot, "x", 0).Exists());
  EXPECT_FALSE(mVolume->CreateItem(longName, "x", kUnknownFileType).Exists()) << "files hold no children";

  VHFSItem renamed = File(mRoot, "before");
  ASSERT_TRUE(mVolume->Rename(&renamed, "after"));
  EXPECT_EQ(std::string(renamed.name.View()), "after");
  Reopen();
  EXPECT_NE(Names(mRoot).find("after;"), std::string::npos);
  EXPECT_EQ(Names(mRoot).find("before;"), std::string::npos);
}

TEST_F(VHFSVolumeTest, RemovingAChildMovesTheLastIntoItsSlot) {
  VHFSItem a = File(mRoot, "a");
  VHFSItem b = File(mRoot, "a");
  VHFSItem c = File(mRoot, "c");
  EXPECT_EQ(Names(mRoot), "a;a;c;") << "no check for a child of the same name";
  EXPECT_EQ(ChildIDs(mRoot), (std::vector<uint32_t>{a.idnum, b.idnum, c.idnum}));

  ASSERT_TRUE(mVolume->RemoveChild(a, mRoot));
  EXPECT_EQ(ChildIDs(mRoot), (std::vector<uint32_t>{c.idnum, b.idnum}));
  ASSERT_TRUE(mVolume->AddChild(a, mRoot));
  ASSERT_TRUE(mVolume->RemoveChild(b, mRoot));
  EXPECT_EQ(ChildIDs(mRoot), (std::vector<uint32_t>{c.idnum, a.idnum}));
  ASSERT_TRUE(mVolume->RemoveChild(a, mRoot));
  EXPECT_EQ(ChildIDs(mRoot), (std::vector<uint32_t>{c.idnum}));

  EXPECT_FALSE(mVolume->RemoveChild(b, mRoot)) << "a child the folder does not list";
  EXPECT_EQ(ChildIDs(mRoot), (std::vector<uint32_t>{c.idnum})) << "and the list keeps its last entry";
}

TEST_F(VHFSVolumeTest, DeletingFreesTheItemAndKeepsFoldersWithChildren) {
  VHFSItem folder = mVolume->CreateFolder(mRoot, "f");
  VHFSItem inner = File(folder, "inner");
  ASSERT_TRUE(WriteFile(inner, std::string(3000, 'x')));
  EXPECT_FALSE(mVolume->Delete(folder)) << "still holds a child";
  EXPECT_EQ(Names(mRoot), "f;");
  EXPECT_FALSE(mVolume->Delete(mRoot));

  std::unique_ptr<VFile> open(mVolume->OpenFile(inner));
  EXPECT_FALSE(mVolume->Delete(inner)) << "an open file keeps its blocks";
  EXPECT_EQ(Names(folder), "inner;") << "and stays listed";
  open->Close();

  int32_t length = mStore.GetLength();
  ASSERT_TRUE(mVolume->Delete(inner));
  ASSERT_TRUE(mVolume->Delete(folder));
  EXPECT_EQ(Names(mRoot), "");
  VHFSItem again = File(mRoot, "again");
  ASSERT_TRUE(WriteFile(again, std::string(2500, 'y')));
  EXPECT_EQ(mStore.GetLength(), length) << "the freed blocks hold the new file";
  EXPECT_EQ(ReadFile(again, 3000), std::string(2500, 'y'));
}

TEST_F(VHFSVolumeTest, MovingChangesTheParentAndRefusesCircles) {
  VHFSItem a = mVolume->CreateFolder(mRoot, "a");
  VHFSItem b = mVolume->CreateFolder(a, "b");
  VHFSItem file = File(mRoot, "file");
  ASSERT_TRUE(mVolume->Move(file, b));
  EXPECT_EQ(Names(mRoot), "a;");
  EXPECT_EQ(Names(b), "file;");
  EXPECT_EQ(mVolume->GetParent(file).idnum, b.idnum);
  EXPECT_TRUE(mVolume->Move(file, b)) << "to where it is already";

  EXPECT_FALSE(mVolume->Move(a, b)) << "into its own subtree";
  EXPECT_FALSE(mVolume->Move(a, a)) << "into itself";
  EXPECT_FALSE(mVolume->Move(mRoot, a));
  EXPECT_FALSE(mVolume->Move(a, file)) << "into a file";
  EXPECT_EQ(Names(mRoot), "a;") << "the tree is as it was";
  EXPECT_EQ(Names(a), "b;");
  ASSERT_TRUE(mVolume->Move(b, mRoot));
  EXPECT_EQ(Names(mRoot), "a;b;");
}

TEST_F(VHFSVolumeTest, FileStoresTrackLengthAndShowZerosInGaps) {
  VHFSItem item = File(mRoot, "data");
  ASSERT_TRUE(WriteFile(item, "0123456789"));
  int64_t header = BlockOf(item.idnum) + 28;
  EXPECT_EQ(BigDouble(Bytes(mStore), header), 10.0);

  std::unique_ptr<VFile> file(mVolume->OpenFile(item));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->GetLength(), 10);
  EXPECT_EQ(ReadText(*file, 20), "0123456789");
  EXPECT_TRUE(file->IsEOF());
  int32_t got = -1;
  char buffer[4];
  EXPECT_TRUE(file->Read(buffer, 4, &got)) << "at the end: nothing, and no failure";
  EXPECT_EQ(got, 0);

  ASSERT_TRUE(file->SetLength(4));
  ASSERT_TRUE(file->SetPosition(7)) << "past the length, inside the blocks";
  ASSERT_TRUE(WriteText(*file, "Z"));
  EXPECT_EQ(file->GetLength(), 8);
  ASSERT_TRUE(file->SetPosition(0));
  EXPECT_EQ(ReadText(*file, 20), std::string("0123\0\0\0Z", 8)) << "bytes cut off do not come back";
  ASSERT_TRUE(file->SetLength(12));
  ASSERT_TRUE(file->SetPosition(8));
  EXPECT_EQ(ReadText(*file, 20), std::string(4, '\0'));
  EXPECT_FALSE(file->SetPosition(992 - 256 + 1)) << "past what the blocks hold";
  ASSERT_TRUE(file->SetLength(3));
  ASSERT_TRUE(file->Close());
  EXPECT_FALSE(file->Close());
  EXPECT_FALSE(WriteText(*file, "x")) << "closed";

  EXPECT_EQ(BigDouble(Bytes(mStore), header), 3.0);
  EXPECT_EQ(ReadFile(item, 20), "012");
  EXPECT_FALSE(mVolume->OpenFile(mRoot)) << "a folder has no bytes";
}

TEST_F(VHFSVolumeTest, LargeFilesGrowAcrossManyBlocks) {
  VHFSItem item = File(mRoot, "big");
  std::string data(200000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 % 253);
  {
    std::unique_ptr<VFile> file(mVolume->OpenFile(item));
    for (size_t at = 0; at < data.size(); at += 7000)
      ASSERT_TRUE(file->Write(data.data() + at, static_cast<int32_t>(std::min<size_t>(7000, data.size() - at))));
    ASSERT_TRUE(file->Close());
  }
  Reopen();
  VHFSItem big = mVolume->ListChildren(mRoot)[0];
  std::unique_ptr<VFile> file(mVolume->OpenFile(big));
  ASSERT_EQ(file->GetLength(), 200000);
  ASSERT_TRUE(file->SetPosition(150001));
  EXPECT_EQ(ReadText(*file, 5), data.substr(150001, 5));
  ASSERT_TRUE(file->SetPosition(0));
  EXPECT_TRUE(ReadText(*file, 200000) == data);
  file->Close();
  EXPECT_GE(mStore.GetLength(), 200 * 1024);
}

TEST_F(VHFSVolumeTest, DamagedTreesShowOnlyWhatCanBeTrusted) {
  VHFSItem a = File(mRoot, "a");
  VHFSItem b = File(mRoot, "b");
  int64_t rootHeader = BlockOf(kRootDirectoryIDnum) + 28;
  int64_t aHeader = BlockOf(a.idnum) + 28;

  // A name that fills the whole field without a terminator.
  Patch(mStore, aHeader + 32, std::string(224, 'q'));
  std::vector<VHFSItem> listed = mVolume->ListChildren(mRoot);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].name.Length(), 223);

  // A child whose own header names another parent, and the root listing itself.
  Patch(mStore, aHeader + 12, BigLongBytes(b.idnum));
  EXPECT_EQ(Names(mRoot), "b;");
  Patch(mStore, aHeader + 12, BigLongBytes(kRootDirectoryIDnum));
  Patch(mStore, rootHeader + 256 + 4, BigLongBytes(kRootDirectoryIDnum));
  EXPECT_EQ(ChildIDs(mRoot), std::vector<uint32_t>{b.idnum});

  // A count the folder's length cannot hold, and one that runs past the chain.
  Patch(mStore, rootHeader + 256, BigLongBytes(0x40000000));
  EXPECT_TRUE(mVolume->ListChildren(mRoot).empty());
  EXPECT_FALSE(Reports().empty()) << "the count is reported";
  EXPECT_FALSE(mVolume->AddChild(a, mRoot));
  Patch(mStore, rootHeader, BigDoubleBytes(4.0 * 0x40000001));
  EXPECT_TRUE(mVolume->ListChildren(mRoot).empty()) << "the list ends where the blocks end";
  EXPECT_EQ(mVolume->StoredChildCount(mRoot), 0x40000000);
  EXPECT_FALSE(mVolume->Delete(a)) << "its parent's list cannot be trusted to drop it";

  // A file whose stored length is no byte count cannot be opened.
  Patch(mStore, aHeader, BigDoubleBytes(-1));
  EXPECT_EQ(mVolume->OpenFile(a), nullptr);
}

TEST_F(VHFSVolumeTest, AVolumeWhoseRootIsNoFolderIsRefused) {
  int64_t rootHeader = BlockOf(kRootDirectoryIDnum) + 28;
  mVolume.reset();
  Patch(mStore, rootHeader + 8, "????");
  VHFSVolume volume(&mStore, false);
  EXPECT_FALSE(volume.IsOK());
  EXPECT_FALSE(volume.GetRoot().Exists());
}

}  // namespace
}  // namespace vorn::testing
