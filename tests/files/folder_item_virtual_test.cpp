// FolderItems inside virtual volumes: making and opening volumes from items on disk,
// navigation, streams, attributes, moving, and the volume's lifetime.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "files/binary_stream.h"
#include "files/folder_item_class.h"
#include "files/folder_item_imp.h"
#include "files/folder_item_imp_virtual.h"
#include "files/support/child_run.h"
#include "files/support/folder_item_test.h"
#include "files/text_input_stream.h"
#include "files/text_output_stream.h"
#include "files/virtual_volume_class.h"
#include "objects/text_encoding_object.h"
#include "vorn/folder_item_api.h"

namespace vorn::testing {
namespace {

class VirtualFolderItemTest : public FolderItemTest {
 protected:
  // Reading text makes shared encoding objects that outlive any one test.
  void SetUp() override {
    ClearTextEncodingObjects();
    FolderItemTest::SetUp();
    char folder[] = "/tmp/vorn_volume_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    mFolder = folder;
  }
  void TearDown() override {
    std::system(("rm -rf '" + mFolder + "'").c_str());
    ClearTextEncodingObjects();
    FolderItemTest::TearDown();
  }
  std::string In(const std::string& name) const { return mFolder + "/" + name; }
  std::string ReadDisk(const std::string& name) const {
    std::ifstream in(In(name), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  static RuntimeObject* Disk(const std::string& path) { return RuntimeGetFolderItem(Text(path).Rep(), 0); }
  static RuntimeObject* Child(RuntimeObject* item, const std::string& name) {
    return FolderChild(item, Text(name).Rep());
  }
  static std::string Name(RuntimeObject* item) { return Take(fileNameGetter(item, 0)); }
  static void WriteBinary(RuntimeObject* item, const std::string& bytes) {
    RuntimeObject* stream = FolderItemCreateBinaryFile(item, Text("").Rep());
    ASSERT_NE(stream, nullptr);
    BinaryStreamWrite(stream, string(bytes, kEncodingUTF8).Rep());
    BinaryStreamClose(stream);
    RuntimeUnlockObject(stream);
  }
  static std::string ReadBinary(RuntimeObject* item) {
    RuntimeObject* stream = FolderItemOpenBinaryFile(item, 0);
    if (!stream) return "<nil>";
    std::string bytes = Take(BinaryStreamRead(stream, BinaryStreamGetLength(stream), nullptr));
    RuntimeUnlockObject(stream);
    return bytes;
  }
  // A new volume in the file "vol" with a folder "a" holding a file "b".
  RuntimeObject* MakeVolume() {
    RuntimeObject* disk = Disk(In("vol"));
    RuntimeObject* volume = FolderItemCreateVirtualVolume(disk);
    RuntimeUnlockObject(disk);
    if (!volume) return nullptr;
    RuntimeObject* root = VirtVolRootGetter(volume, 0);
    RuntimeObject* a = Child(root, "a");
    FolderItemCreateAsFolder(a);
    RuntimeObject* b = Child(a, "b");
    WriteBinary(b, "bee");
    for (RuntimeObject* item : {root, a, b}) RuntimeUnlockObject(item);
    return volume;
  }

  std::string mFolder;
};

TEST_F(VirtualFolderItemTest, AVolumeMadeInAFileOpensAgainWithItsTree) {
  RuntimeObject* volume = MakeVolume();
  ASSERT_NE(volume, nullptr);
  EXPECT_TRUE(IsVirtualVolume(volume));
  RuntimeObject* root = VirtVolRootGetter(volume, 0);
  EXPECT_EQ(PathOf(root), "/");
  EXPECT_TRUE(fileDirectoryGetter(root, 0));
  EXPECT_EQ(folderParentGetter(root, 0), nullptr);
  RuntimeObject* owner = folderVirtVolGetter(root, 0);
  EXPECT_EQ(owner, volume) << "the item tells the volume it lives in";
  RuntimeUnlockObject(owner);
  RuntimeUnlockObject(root);
  RuntimeUnlockObject(volume);
  EXPECT_NE(ReadDisk("vol").find("BMap"), std::string::npos) << "the last reference closed the volume";

  RuntimeObject* disk = Disk(In("vol"));
  EXPECT_EQ(folderVirtVolGetter(disk, 0), nullptr) << "an item on disk lives in no volume";
  volume = FolderItemOpenAsVirtualVolume(disk);
  RuntimeUnlockObject(disk);
  ASSERT_NE(volume, nullptr);
  root = VirtVolRootGetter(volume, 0);
  RuntimeUnlockObject(volume);  // the root keeps the volume open
  EXPECT_EQ(fileCountGetter(root, 0), 1);
  RuntimeObject* a = FolderItemItem(root, 1);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(Name(a), "a");
  EXPECT_TRUE(fileDirectoryGetter(a, 0));
  EXPECT_EQ(FolderItemItem(root, 2), nullptr);
  EXPECT_EQ(FolderItemItem(root, 0), nullptr);
  RuntimeObject* b = Child(a, "B");
  EXPECT_TRUE(fileExistsGetter(b, 0)) << "names compare without regard to case";
  EXPECT_EQ(ReadBinary(b), "bee");
  EXPECT_EQ(fileSizeGetter(b, 0), 3);
  EXPECT_EQ(Take(fileMacTypeGetter(b, 0)), "????");
  EXPECT_EQ(Take(fileTypeGetter(a, 0)), "fold");
  EXPECT_EQ(Take(fileAbsolutePathGetter(b, 0)), "//a/B");
  RuntimeObject* parent = folderParentGetter(b, 0);
  EXPECT_EQ(PathOf(parent), "//a");
  RuntimeObject* grandparent = folderParentGetter(parent, 0);
  EXPECT_EQ(PathOf(grandparent), "/");
  EXPECT_EQ(fileCountGetter(grandparent, 0), 1);
  for (RuntimeObject* item : {root, a, b, parent, grandparent}) RuntimeUnlockObject(item);
}

// A second volume over the same file would keep a block map of its own: each would hand out
// blocks the other uses and write its own map over the other's at closing.
TEST_F(VirtualFolderItemTest, AVolumeFileIsNotOpenedAgainWhileItsVolumeIsOpen) {
  RuntimeObject* first = MakeVolume();
  ASSERT_NE(first, nullptr);
  RuntimeObject* root = VirtVolRootGetter(first, 0);
  RuntimeObject* c = Child(root, "c");
  WriteBinary(c, "sea");
  RuntimeObject* disk = Disk(In("vol"));
  for (auto make : {FolderItemOpenAsVirtualVolume, FolderItemCreateVirtualVolume}) {
    auto outcome = [&] {
      RuntimeObject* volume = make(disk);
      if (volume) RuntimeUnlockObject(volume);
      return volume ? std::string("volume") : "nil " + std::to_string(FolderItemGetLastError(disk, 0));
    };
    for (bool elsewhere : {false, true}) {
      SCOPED_TRACE(std::string(make == FolderItemCreateVirtualVolume ? "Create" : "Open") + (elsewhere ? ", elsewhere" : ""));
      const std::string before = ReadDisk("vol");
      EXPECT_EQ(elsewhere ? RunInChild(outcome) : outcome(), "nil " + std::to_string(EBUSY));
      EXPECT_TRUE(ReadDisk("vol") == before) << "the file stays as the open volume left it";
    }
  }
  for (RuntimeObject* item : {c, root, first}) RuntimeUnlockObject(item);

  RuntimeObject* again = FolderItemOpenAsVirtualVolume(disk);
  ASSERT_NE(again, nullptr) << "closing the volume lets the file go";
  EXPECT_EQ(Take(VirtVolDamageGetter(again, 0)), "");
  root = VirtVolRootGetter(again, 0);
  EXPECT_EQ(fileCountGetter(root, 0), 2);
  c = Child(root, "c");
  EXPECT_EQ(ReadBinary(c), "sea");
  for (RuntimeObject* item : {c, root, again, disk}) RuntimeUnlockObject(item);
}

// A volume file inside another volume is held as one on disk is.
TEST_F(VirtualFolderItemTest, AVolumeFileInsideAVolumeIsNotOpenedAgainWhileItsVolumeIsOpen) {
  RuntimeObject* outer = MakeVolume();
  ASSERT_NE(outer, nullptr);
  RuntimeObject* root = VirtVolRootGetter(outer, 0);
  RuntimeObject* file = Child(root, "inner");
  RuntimeObject* inner = FolderItemCreateVirtualVolume(file);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(FolderItemOpenAsVirtualVolume(file), nullptr);
  EXPECT_EQ(FolderItemGetLastError(file, 0), EBUSY);
  RuntimeUnlockObject(inner);
  RuntimeObject* again = FolderItemOpenAsVirtualVolume(file);
  ASSERT_NE(again, nullptr) << "closing the volume lets the file go";
  EXPECT_EQ(Take(VirtVolDamageGetter(again, 0)), "");
  RuntimeUnlockObject(again);
  // Nor beside a reader's hold.
  std::unique_ptr<RandomAccessMechanism> reader(FolderItemImpOf(file)->OpenStream(true, false));
  ASSERT_TRUE(reader && reader->Lock(false));
  EXPECT_EQ(FolderItemOpenAsVirtualVolume(file), nullptr);
  EXPECT_EQ(FolderItemGetLastError(file, 0), EBUSY);
  reader.reset();
  for (RuntimeObject* item : {file, root, outer}) RuntimeUnlockObject(item);
}

// A volume file that may not be written opens for reading as often as asked, never beside a
// writer.
TEST_F(VirtualFolderItemTest, AVolumeFileWithoutLeaveToWriteOpensForReadersAlone) {
  RuntimeUnlockObject(MakeVolume());
  ASSERT_EQ(chmod(In("vol").c_str(), 0444), 0);
  ASSERT_EQ(chmod(mFolder.c_str(), 0755), 0);
  // Two openings as another user, the first kept open: "volume", LastErrorCode and what b reads,
  // or "nil" and the code.
  auto openTwice = [this] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return std::string("<still root>");
    RuntimeObject* disk = Disk(In("vol"));
    std::string answer;
    for (int opening = 0; opening < 2; ++opening) {
      RuntimeObject* volume = FolderItemOpenAsVirtualVolume(disk);
      answer += (volume ? "volume " : "nil ") + std::to_string(FolderItemGetLastError(disk, 0));
      if (volume) answer += " " + ReadBinary(Child(Child(VirtVolRootGetter(volume, 0), "a"), "b")) + "; ";
    }
    return answer;
  };
  const std::string before = ReadDisk("vol");
  EXPECT_EQ(RunInChild(openTwice), "volume 0 bee; volume 0 bee; ");
  RuntimeObject* disk = Disk(In("vol"));
  RuntimeObject* writer = FolderItemOpenAsVirtualVolume(disk);  // this user may write
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(RunInChild(openTwice), "nil 16nil 16");
  RuntimeUnlockObject(writer);
  RuntimeUnlockObject(disk);
  EXPECT_TRUE(ReadDisk("vol") == before);
}

// A writer stopped while adding a block: the file's whole blocks still open, read-only.
TEST_F(VirtualFolderItemTest, AVolumeFileEndingInsideABlockOpensReadOnlyAndSaysSo) {
  RuntimeObject* volume = MakeVolume();
  ASSERT_NE(volume, nullptr);
  EXPECT_EQ(Take(VirtVolDamageGetter(volume, 0)), "") << "a sound volume";
  RuntimeUnlockObject(volume);
  const std::string header("BlkS\0\0\0\0\0\0\0\0\x40\x90\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 28);
  { std::ofstream(In("vol"), std::ios::binary | std::ios::app) << header; }
  const std::string cut = ReadDisk("vol");

  RuntimeObject* disk = Disk(In("vol"));
  volume = FolderItemOpenAsVirtualVolume(disk);
  RuntimeUnlockObject(disk);
  ASSERT_NE(volume, nullptr);
  EXPECT_NE(Take(VirtVolDamageGetter(volume, 0)).find("ends inside a block"), std::string::npos);
  RuntimeObject* root = VirtVolRootGetter(volume, 0);
  RuntimeObject* a = Child(root, "a");
  RuntimeObject* b = Child(a, "b");
  EXPECT_EQ(ReadBinary(b), "bee");
  RuntimeObject* c = Child(root, "c");
  EXPECT_EQ(FolderItemCreateBinaryFile(c, Text("").Rep()), nullptr) << "nothing is written";
  EXPECT_FALSE(fileExistsGetter(c, 0));
  for (RuntimeObject* item : {root, a, b, c, volume}) RuntimeUnlockObject(item);
  EXPECT_TRUE(ReadDisk("vol") == cut) << "the file is as it was";
}

TEST_F(VirtualFolderItemTest, StreamsInsideAVolumeWorkAsOnDisk) {
  RuntimeObject* volume = MakeVolume();
  RuntimeObject* root = VirtVolRootGetter(volume, 0);
  RuntimeUnlockObject(volume);
  RuntimeObject* text = Child(root, "lines.txt");
  EXPECT_FALSE(fileExistsGetter(text, 0));
  RuntimeObject* out = FolderItemCreateTextFile(text);
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(fileExistsGetter(text, 0));
  EXPECT_EQ(FolderItemCreateTextFile(text), nullptr) << "an existing item is opened, not made again";
  TextOutputStreamWriteLine(out, Text("first").Rep());
  TextOutputStreamWriteLine(out, Text("second").Rep());
  TextOutputStreamClose(out);
  RuntimeUnlockObject(out);

  RuntimeObject* appended = FolderItemAppendTextFile(text);
  TextOutputStreamWriteLine(appended, Text("third").Rep());
  RuntimeUnlockObject(appended);  // closing by letting go stores the length too

  RuntimeObject* in = FolderItemOpenTextFile(text);
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(Take(TextInputStreamReadLine(in, nullptr)), "first");
  EXPECT_EQ(Take(TextInputStreamReadLine(in, nullptr)), "second");
  EXPECT_EQ(Take(TextInputStreamReadLine(in, nullptr)), "third");
  EXPECT_TRUE(TextInputStreamEOF(in));
  RuntimeUnlockObject(in);

  RuntimeObject* binary = FolderItemOpenBinaryFile(text, 1);
  BinaryStreamSetPosition(binary, 0, 0);
  BinaryStreamWriteLong(binary, 0x01020304);
  BinaryStreamSetPosition(binary, 0, 0);
  EXPECT_EQ(BinaryStreamReadLong(binary), 0x01020304) << "a store inside a volume takes typed values too";
  RuntimeUnlockObject(binary);
  EXPECT_EQ(fileSizeGetter(text, 0), 19);
  RuntimeUnlockObject(text);
  RuntimeUnlockObject(root);
}

TEST_F(VirtualFolderItemTest, FilesThatHoldNoVolumeAndLockedItemsGiveNil) {
  std::ofstream(In("plain")) << "not a volume at all, just text";
  RuntimeObject* plain = Disk(In("plain"));
  EXPECT_EQ(FolderItemOpenAsVirtualVolume(plain), nullptr);
  EXPECT_EQ(ReadDisk("plain"), "not a volume at all, just text") << "left as it was";
  RuntimeUnlockObject(plain);

  RuntimeObject* missing = Disk(In("missing"));
  EXPECT_EQ(FolderItemOpenAsVirtualVolume(missing), nullptr);
  RuntimeUnlockObject(missing);

  class LockedImp : public FolderItemImp {
   public:
    bool IsLocked() override { return true; }
    RandomAccessMechanism* CreateStream(const string&) override {
      ++created;
      return nullptr;
    }
    int created = 0;
  };
  auto* imp = new LockedImp;
  RuntimeObject* locked = NewFolderItemWithImp(nullptr, imp);
  EXPECT_EQ(FolderItemCreateVirtualVolume(locked), nullptr);
  EXPECT_EQ(imp->created, 0) << "a locked item's file is not touched";
  RuntimeUnlockObject(locked);

  RuntimeObject* empty = CreateInstanceFromDefinition(GetFolderItemClassDefinition());
  EXPECT_EQ(FolderItemCreateVirtualVolume(empty), nullptr);
  EXPECT_EQ(FolderItemOpenAsVirtualVolume(empty), nullptr);
  EXPECT_EQ(Reports().size(), 2u) << "a missing location is reported";
  RuntimeUnlockObject(empty);
}

TEST_F(VirtualFolderItemTest, AttributesBelongToFilesAndDatesRoundTrip) {
  RuntimeObject* volume = MakeVolume();
  RuntimeObject* root = VirtVolRootGetter(volume, 0);
  RuntimeUnlockObject(volume);
  RuntimeObject* a = Child(root, "a");
  RuntimeObject* b = Child(a, "b");
  FolderItemImp* folder = FolderItemImpOf(a);
  FolderItemImp* file = FolderItemImpOf(b);

  double folderCreated = folder->GetCreationDate();
  EXPECT_GT(folderCreated, 3.0e9);
  EXPECT_FALSE(folder->SetCreationDate(1.0)) << "dates are set on files only";
  EXPECT_EQ(folder->GetCreationDate(), folderCreated);
  EXPECT_TRUE(file->SetCreationDate(12345.0));
  EXPECT_TRUE(file->SetModificationDate(67890.0));
  EXPECT_EQ(file->GetCreationDate(), 12345.0);
  EXPECT_EQ(file->GetModificationDate(), 67890.0);

  fileMacTypeSetter(b, 0, Text("TEXT").Rep());
  EXPECT_EQ(Take(fileMacTypeGetter(b, 0)), "TEXT");
  EXPECT_FALSE(folder->SetMacType(FourCharCodeFromText(Text("ABCD"))));
  EXPECT_EQ(Take(fileMacTypeGetter(a, 0)), "fold");

  EXPECT_EQ(folder->GetMacDirID(), 2) << "the holding folder";
  EXPECT_EQ(FolderItemImpOf(root)->GetMacDirID(), 2);
  EXPECT_EQ(file->GetMacDirID(), static_cast<int32_t>(FolderItemImpOf(a)->GetMacDirID() + 1))
      << "a's own idnum follows the root's";

  EXPECT_TRUE(file->SetLength(6));
  EXPECT_EQ(ReadBinary(b), std::string("bee\0\0\0", 6)) << "a longer file gains zeros";
  EXPECT_FALSE(folder->SetLength(6));
  EXPECT_FALSE(folder->OpenStream(true, true));

  fileNameSetter(b, 0, Text("renamed").Rep());
  EXPECT_EQ(Name(b), "renamed");
  EXPECT_TRUE(fileExistsGetter(b, 0));
  RuntimeObject* old = Child(a, "b");
  EXPECT_FALSE(fileExistsGetter(old, 0));
  for (RuntimeObject* item : {root, a, b, old}) RuntimeUnlockObject(item);
}

TEST_F(VirtualFolderItemTest, ItemsOfTheSameNameStayApart) {
  RuntimeObject* volume = MakeVolume();
  RuntimeObject* root = VirtVolRootGetter(volume, 0);
  RuntimeUnlockObject(volume);
  RuntimeObject* first = Child(root, "twin");
  WriteBinary(first, "one");
  // A second item of the name, as the volume allows.
  auto* imp = dynamic_cast<FolderItemImpVirtual*>(FolderItemImpOf(root));
  ASSERT_NE(imp, nullptr);
  VHFSVolume* hfs = VirtualVolumeOf(imp->VolumeObject());
  VHFSItem made = hfs->CreateItem(hfs->GetRoot(), "twin", kUnknownFileType);
  ASSERT_TRUE(made.Exists());

  RuntimeObject* second = FolderItemItem(root, 3);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Name(second), "twin");
  EXPECT_EQ(FolderItemCreateBinaryFile(second, Text("").Rep()), nullptr) << "it exists";
  RuntimeObject* stream = FolderItemOpenBinaryFile(second, 1);
  BinaryStreamWrite(stream, Text("two").Rep());
  RuntimeUnlockObject(stream);
  EXPECT_EQ(ReadBinary(first), "one");
  EXPECT_EQ(ReadBinary(second), "two") << "the third item is the second twin, not the first";
  FolderItemDelete(second);
  EXPECT_EQ(fileCountGetter(root, 0), 2);
  EXPECT_EQ(ReadBinary(first), "one");
  for (RuntimeObject* item : {root, first, second}) RuntimeUnlockObject(item);
}

TEST_F(VirtualFolderItemTest, MovingWithinAVolumeAndOutOfIt) {
  RuntimeObject* volume = MakeVolume();
  RuntimeObject* root = VirtVolRootGetter(volume, 0);
  RuntimeUnlockObject(volume);
  RuntimeObject* a = Child(root, "a");
  RuntimeObject* b = Child(a, "b");

  FolderItemMoveFileTo(b, root);
  EXPECT_FALSE(fileExistsGetter(b, 0)) << "the item still names the old place";
  RuntimeObject* moved = Child(root, "b");
  EXPECT_EQ(ReadBinary(moved), "bee");

  RuntimeObject* target = Child(a, "c");
  WriteBinary(target, "old c");
  FolderItemMoveFileTo(moved, target);
  RuntimeObject* c = Child(a, "c");
  EXPECT_EQ(ReadBinary(c), "bee") << "the destination was replaced";
  EXPECT_EQ(fileCountGetter(a, 0), 1);
  EXPECT_EQ(fileCountGetter(root, 0), 1);

  FolderItemMoveFileTo(a, c);
  EXPECT_TRUE(fileExistsGetter(a, 0)) << "a folder cannot replace its own child";
  EXPECT_EQ(ReadBinary(c), "bee");

  RuntimeObject* disk = Disk(In("out.bin"));
  FolderItemMoveFileTo(c, disk);
  EXPECT_EQ(ReadDisk("out.bin"), "bee") << "copied out of the volume";
  EXPECT_FALSE(fileExistsGetter(c, 0)) << "and deleted inside it";
  for (RuntimeObject* item : {root, a, b, moved, target, c, disk}) RuntimeUnlockObject(item);
}

TEST_F(VirtualFolderItemTest, AnOpenStreamKeepsTheVolumeOpen) {
  RuntimeObject* volume = MakeVolume();
  RuntimeObject* root = VirtVolRootGetter(volume, 0);
  RuntimeObject* a = Child(root, "a");
  RuntimeObject* b = Child(a, "b");
  RuntimeObject* stream = FolderItemOpenBinaryFile(b, 1);
  for (RuntimeObject* item : {volume, root, a, b}) RuntimeUnlockObject(item);
  BinaryStreamSetPosition(stream, 0, 3);
  BinaryStreamWrite(stream, Text("hive").Rep());
  RuntimeUnlockObject(stream);

  RuntimeObject* disk = Disk(In("vol"));
  volume = FolderItemOpenAsVirtualVolume(disk);
  root = VirtVolRootGetter(volume, 0);
  a = Child(root, "a");
  b = Child(a, "b");
  EXPECT_EQ(ReadBinary(b), "beehive");
  for (RuntimeObject* item : {disk, volume, root, a, b}) RuntimeUnlockObject(item);
}

TEST_F(VirtualFolderItemTest, ARootRecordThatIsNotTheRootIsReported) {
  VHFSItem other;
  other.idnum = 5;
  FolderItemImpVirtual imp(nullptr, other);
  EXPECT_EQ(Reports().size(), 1u);
  EXPECT_FALSE(imp.Exists());
  EXPECT_EQ(imp.GetAbsolutePath().Length(), 0);
  EXPECT_EQ(imp.GetParent(), nullptr);
}

}  // namespace
}  // namespace vorn::testing
