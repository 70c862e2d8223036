// The FolderItem class over an implementation that records what it is asked: the argument
// conventions, the wrapping of results and what is reported when something is missing.
#include "files/folder_item_class.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "files/binary_stream.h"
#include "files/folder_item_imp.h"
#include "files/permissions_class.h"
#include "files/string_storage_mechanism.h"
#include "files/support/folder_item_test.h"
#include "base/reloc_entry.h"
#include "objects/date_class.h"
#include "vorn/class_abi.h"

namespace vorn::testing {
namespace {

class RecordingImp : public FolderItemImp {
 public:
  explicit RecordingImp(std::string path) : mPath(std::move(path)) { ++sAlive; }
  ~RecordingImp() override { --sAlive; }

  FolderItemImp* Clone() const override { return new RecordingImp(mPath + "(copy)"); }
  string GetAbsolutePath() override { return string(mPath, kEncodingUTF8); }
  FolderItemImp* GetItem(int32_t index, int32_t flags) override {
    Calls().push_back("GetItem(" + std::to_string(index) + "," + std::to_string(flags) + ")");
    return new RecordingImp(mPath + "/#" + std::to_string(index));
  }
  FolderItemImp* GetChild(const string& name, int32_t flags) override {
    Calls().push_back("GetChild(" + std::string(name.View()) + "," + std::to_string(flags) + ")");
    return new RecordingImp(mPath + "/" + std::string(name.View()));
  }
  FolderItemImp* GetParent() override { return mPath == "/" ? nullptr : new RecordingImp("/"); }
  FolderItemImp* FindSpecialFolder(int32_t code) override {
    Calls().push_back("FindSpecialFolder(" + std::to_string(code) + ")");
    return new RecordingImp("/special");
  }
  uint32_t GetMacType() override { return mType; }
  bool SetMacType(uint32_t type) override {
    mType = type;
    return true;
  }
  string GetSaveInfo(FolderItemImp* relativeTo, int32_t mode) override {
    Calls().push_back(std::string("GetSaveInfo(") + (relativeTo ? "item" : "null") + "," + std::to_string(mode) + ")");
    return string("\x00\xF1\xD1\x73", 4, kEncodingASCII);
  }
  bool SetPermissions(int32_t mode) override {
    Calls().push_back("SetPermissions(" + std::to_string(mode) + ")");
    return true;
  }
  double GetModificationDate() override { return 3.0e9; }
  bool SetModificationDate(double seconds) override {
    Calls().push_back("SetModificationDate(" + std::to_string(static_cast<int64_t>(seconds)) + ")");
    return true;
  }
  bool CopyFileTo(FolderItemImp* destination) override {
    Calls().push_back("CopyFileTo(" + std::string(destination->GetAbsolutePath().View()) + ")");
    return true;
  }
  bool Launch(const string& parameters, bool activate) override {
    Calls().push_back("Launch(" + std::string(parameters.View()) + "," + (activate ? "1" : "0") + ")");
    return true;
  }

  bool IsLocked() override { return mLocked; }
  RandomAccessMechanism* OpenStream(bool allowWriting, bool readWrite) override {
    Calls().push_back(std::string("OpenStream(") + (allowWriting ? "1" : "0") + "," + (readWrite ? "1" : "0") + ")");
    if (!mExists) return nullptr;
    auto* store = new StringStorageMechanism();
    store->SetString(string("abc"));
    mLastStore = store;
    return store;
  }
  RandomAccessMechanism* CreateStream(const string& fileType) override {
    Calls().push_back("CreateStream(" + std::string(fileType.View()) + ")");
    mLastStore = new StringStorageMechanism();
    return mLastStore;
  }

  static std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
  }
  static inline int sAlive = 0;

  std::string mPath;
  uint32_t mType = kNoFourCharCode;
  bool mLocked = false;
  bool mExists = true;
  RandomAccessMechanism* mLastStore = nullptr;  // owned by the stream made over it
};

class FolderItemClassTest : public FolderItemTest {
 protected:
  void SetUp() override {
    FolderItemTest::SetUp();
    RecordingImp::Calls().clear();
    mAliveBefore = RecordingImp::sAlive;
  }
  void TearDown() override {
    EXPECT_EQ(RecordingImp::sAlive, mAliveBefore) << "an implementation outlived its item";
    FolderItemTest::TearDown();
  }
  static RuntimeObject* Item(const std::string& path, RuntimeClass* cls = nullptr) {
    return NewFolderItemWithImp(cls, new RecordingImp(path));
  }
  static std::string LastCall() { return RecordingImp::Calls().empty() ? "" : RecordingImp::Calls().back(); }

 private:
  int mAliveBefore = 0;
};

RuntimeClass* FolderItemSubclass() {
  static RuntimeClass* cls = [] {
    VornClassRecord record{};
    record.version = kVornClassRecordVersion;
    record.name = "DocumentFolderItem";
    record.superName = "FolderItem";
    record.instanceSize = static_cast<int32_t>(sizeof(FolderItemObject)) + 8;
    return RuntimeNewClass(&record);
  }();
  return cls;
}

TEST_F(FolderItemClassTest, ItemsCountFromOneAndOnlyTheTrueFormsKeepLinks) {
  RuntimeObject* folder = Item("/f");
  RuntimeObject* first = FolderItemItem(folder, 1);
  EXPECT_EQ(LastCall(), "GetItem(0,64)");
  EXPECT_EQ(PathOf(first), "/f/#0");
  RuntimeObject* third = FolderItemTrueItem(folder, 3);
  EXPECT_EQ(LastCall(), "GetItem(2,0)");
  RecordingImp::Calls().clear();
  EXPECT_EQ(FolderItemItem(folder, 0), nullptr);
  EXPECT_EQ(FolderItemItem(folder, INT32_MIN), nullptr);
  EXPECT_TRUE(RecordingImp::Calls().empty()) << "no index below 1 reaches the implementation";

  RuntimeObject* child = FolderChild(folder, Text("a b").Rep());
  EXPECT_EQ(LastCall(), "GetChild(a b,64)");
  RuntimeObject* link = FolderTrueChild(folder, Text("l").Rep());
  EXPECT_EQ(LastCall(), "GetChild(l,0)");
  for (RuntimeObject* item : {first, third, child, link}) RuntimeUnlockObject(item);
  RuntimeUnlockObject(folder);
}

TEST_F(FolderItemClassTest, ItemsMadeByMembersAreOfTheAskingItemsClass) {
  RuntimeObject* folder = Item("/f", FolderItemSubclass());
  ASSERT_NE(folder, nullptr);
  RuntimeObject* child = FolderChild(folder, Text("c").Rep());
  RuntimeObject* parent = folderParentGetter(folder, 0);
  RuntimeObject* temporary = folderFindFolder(folder, kTemporaryFolderCode);
  EXPECT_EQ(LastCall(), "FindSpecialFolder(1952804208)");
  for (RuntimeObject* item : {child, parent, temporary}) {
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(ClassOf(item), FolderItemSubclass());
    RuntimeUnlockObject(item);
  }
  RuntimeObject* root = Item("/");
  EXPECT_EQ(folderParentGetter(root, 0), nullptr);
  EXPECT_EQ(ClassOf(root)->mName.View(), "FolderItem");
  RuntimeUnlockObject(root);
  RuntimeUnlockObject(folder);
}

TEST_F(FolderItemClassTest, APathThatWouldReachTheSystemCutShortMakesNoItem) {
  EXPECT_EQ(NewFolderItemWithImp(nullptr, new RecordingImp(std::string("/tmp/a\0b", 8))), nullptr);
  EXPECT_EQ(NewFolderItemWithImp(nullptr, nullptr), nullptr);
}

TEST_F(FolderItemClassTest, MacTypeIsFourBlankPaddedMacRomanBytesAndEmptyTextChangesNothing) {
  RuntimeObject* item = Item("/f");
  EXPECT_EQ(Take(fileMacTypeGetter(item, 0)), "????");
  fileMacTypeSetter(item, 0, Text("ab").Rep());
  auto* imp = static_cast<RecordingImp*>(FolderItemImpOf(item));
  EXPECT_EQ(imp->mType, 0x20206261u) << "the characters in text order, first lowest";
  EXPECT_EQ(Take(fileMacTypeGetter(item, 0)), "ab  ");
  fileMacTypeSetter(item, 0, nullptr);
  EXPECT_EQ(Take(fileMacTypeGetter(item, 0)), "ab  ");
  fileMacTypeSetter(item, 0, Text("TEXTxyz").Rep());
  EXPECT_EQ(Take(fileMacTypeGetter(item, 0)), "TEXT");
  fileMacTypeSetter(item, 0, Text("\xC3\xA9t\xC3\xA9").Rep());  // "été" is three MacRoman bytes
  EXPECT_EQ(imp->mType, 0x208E748Eu);
  StringRep* code = fileMacTypeGetter(item, 0);
  EXPECT_EQ(code->encoding, kEncodingMacRoman);
  RuntimeUnlockString(code);
  RuntimeUnlockObject(item);
}

TEST_F(FolderItemClassTest, AnItemWithoutLocationAnswersEmptyValuesAndReportsChanges) {
  RuntimeObject* bare = CreateInstanceFromDefinition(GetFolderItemClassDefinition());
  EXPECT_EQ(fileAbsolutePathGetter(bare, 0), nullptr);
  EXPECT_EQ(fileExistsGetter(bare, 0), 0);
  EXPECT_EQ(fileCountGetter(bare, 0), 0);
  EXPECT_EQ(folderParentGetter(bare, 0), nullptr);
  EXPECT_EQ(folderGetModified(bare, 0), nullptr);
  EXPECT_EQ(VORNpathFromFolderItem(bare), nullptr);
  EXPECT_EQ(FolderItemGetImp(bare), nullptr);
  EXPECT_TRUE(Reports().empty()) << "getters report nothing";

  fileNameSetter(bare, 0, Text("x").Rep());
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("entry->mImp"), std::string::npos) << Reports()[0];
  EXPECT_NE(Reports()[0].find("runFolderItem"), std::string::npos) << Reports()[0];
  FolderItemDelete(bare);
  EXPECT_EQ(FolderChild(bare, Text("x").Rep()), nullptr);
  ASSERT_EQ(Reports().size(), 3u);
  EXPECT_NE(Reports()[2].find("obj->mImp"), std::string::npos) << Reports()[2];
  FolderItemDelete(nullptr);
  EXPECT_NE(Reports().back().find("obj"), std::string::npos);
  EXPECT_EQ(TakePendingClassName(), "") << "a missing location is reported, not raised";

  FolderItemSetLastError(bare, 0, 5);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_EQ(FolderItemGetRelative(bare, nullptr), nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  RuntimeUnlockObject(bare);
}

TEST_F(FolderItemClassTest, NilObjectArgumentsRaiseAndValidOnesReachTheImplementation) {
  RuntimeObject* source = Item("/s");
  RuntimeObject* destination = Item("/d");
  FolderItemCopyFileTo(source, nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  FolderItemCopyFileTo(source, destination);
  EXPECT_EQ(LastCall(), "CopyFileTo(/d)");

  FolderItemSetPermissionsClass(source, nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_NE(LastCall(), "SetPermissions(0)") << "a nil Permissions must not clear every bit";
  RuntimeObject* permissions = NewPermissionsObject(0640);
  FolderItemSetPermissionsClass(source, permissions);
  EXPECT_EQ(LastCall(), "SetPermissions(416)");
  FolderItemSetPermissionsInteger(source, 0755);
  EXPECT_EQ(LastCall(), "SetPermissions(493)");

  FolderItemLaunch(source, 1);
  EXPECT_EQ(LastCall(), "Launch(,1)");
  FolderItemLaunchWithParameters(source, Text("-v x").Rep(), 0);
  EXPECT_EQ(LastCall(), "Launch(-v x,0)");

  FolderItemCopyCtor(destination, nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  FolderItemCopyCtor(destination, source);
  EXPECT_EQ(PathOf(destination), "/s(copy)") << "the old implementation is replaced by a clone";
  RuntimeUnlockObject(permissions);
  RuntimeUnlockObject(destination);
  RuntimeUnlockObject(source);
}

TEST_F(FolderItemClassTest, SaveInfoIsBinaryAndDatesTravelAsTotalSeconds) {
  RuntimeObject* item = Item("/i");
  RuntimeObject* base = Item("/b");
  StringRep* info = FolderItemGetSaveInfo(item, base, 1);
  EXPECT_EQ(LastCall(), "GetSaveInfo(item,1)");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->encoding, kEncodingUnknown);
  EXPECT_EQ(info->length, 4);
  RuntimeUnlockString(info);
  RuntimeUnlockString(FolderItemGetSaveInfo(item, nullptr, 0));
  EXPECT_EQ(LastCall(), "GetSaveInfo(null,0)");

  RuntimeObject* modified = folderGetModified(item, 0);
  ASSERT_TRUE(IsDate(modified));
  EXPECT_DOUBLE_EQ(DateTotalSeconds(modified), 3.0e9);
  RecordingImp::Calls().clear();
  folderSetModified(item, 0, nullptr);
  EXPECT_TRUE(RecordingImp::Calls().empty()) << "nil is ignored";
  folderSetModified(item, 0, modified);
  EXPECT_EQ(LastCall(), "SetModificationDate(3000000000)");
  RuntimeUnlockObject(modified);
  RuntimeUnlockObject(base);
  RuntimeUnlockObject(item);
}

TEST_F(FolderItemClassTest, CreatingStreamsLeavesLockedFilesAloneAndAppendingFallsBackToCreating) {
  RuntimeObject* item = Item("/f");
  auto* imp = static_cast<RecordingImp*>(FolderItemImpOf(item));
  imp->mLocked = true;
  RecordingImp::Calls().clear();
  EXPECT_EQ(FolderItemCreateTextFile(item), nullptr);
  EXPECT_EQ(FolderItemCreateBinaryFile(item, Text("bin").Rep()), nullptr);
  EXPECT_EQ(FolderItemAppendTextFile(item), nullptr);
  EXPECT_TRUE(RecordingImp::Calls().empty()) << "a locked file is never opened for writing";

  imp->mLocked = false;
  RuntimeObject* appended = FolderItemAppendTextFile(item);
  ASSERT_NE(appended, nullptr);
  EXPECT_EQ(LastCall(), "OpenStream(1,1)");
  EXPECT_EQ(imp->mLastStore->GetPosition(), 3) << "appending starts at the end";
  EXPECT_EQ(ClassOf(appended)->mName.View(), "TextOutputStream");
  RuntimeUnlockObject(appended);

  imp->mExists = false;
  RuntimeObject* created = FolderItemAppendTextFile(item);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(LastCall(), "CreateStream(text)");
  RuntimeUnlockObject(created);

  RuntimeObject* binary = FolderItemCreateBinaryFile(item, Text("bin").Rep());
  EXPECT_EQ(LastCall(), "CreateStream(bin)");
  EXPECT_EQ(ClassOf(binary)->mName.View(), "BinaryStream");
  RuntimeUnlockObject(binary);
  EXPECT_EQ(FolderItemOpenBinaryFile(item, 1), nullptr) << "an open that fails answers nil";
  EXPECT_EQ(LastCall(), "OpenStream(1,1)");
  imp->mExists = true;
  RuntimeObject* reading = FolderItemOpenBinaryFile(item, 0);
  EXPECT_EQ(LastCall(), "OpenStream(1,0)");
  EXPECT_EQ(BinaryStreamGetLength(reading), 3);
  RuntimeUnlockObject(reading);
  RuntimeUnlockObject(item);
}

TEST_F(FolderItemClassTest, PathsCopyIntoCallerBuffersWithTheirNul) {
  RuntimeObject* item = Item("/home/u/a.txt");
  char buffer[32];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(FolderItemCopyPathToBuffer(buffer, item), 1);
  EXPECT_STREQ(buffer, "/home/u/a.txt");
  EXPECT_EQ(FolderItemCopyPathToBuffer(buffer, nullptr), 0);
  EXPECT_STREQ(buffer, "");
  // Callers hold PATH_MAX bytes: a longer path is refused whole, never written past them.
  RuntimeObject* deep = Item("/" + std::string(10000, 'd'));
  std::vector<char> limit(PATH_MAX + 1, 'x');
  EXPECT_EQ(FolderItemCopyPathToBuffer(limit.data(), deep), 0);
  EXPECT_STREQ(limit.data(), "");
  EXPECT_EQ(limit[1], 'x');
  RuntimeUnlockObject(deep);
  EXPECT_EQ(FolderItemGetImp(item), FolderItemImpOf(item));
  RuntimeUnlockObject(item);
}

TEST(FolderItemRows, TheMediaAndStyledTextMembersAreBound) {
  for (const char* name : {"FolderItemSaveAsJPEG", "FolderItemOpenMovie", "FolderItemOpenResourceMovie",
                           "FolderItemOpenAsCursor", "FolderItemOpenAsIcons", "FolderItemOpenStyledEditField",
                           "FolderItemSaveStyledEditField", "fileTypeGetter"}) {
    RelocEntry* entry = LookupRelocEntry(string(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_NE(entry->code, nullptr) << name;
  }
}

}  // namespace
}  // namespace vorn::testing
