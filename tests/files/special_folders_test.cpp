// The well-known folders: the fixed ones, those under HOME and how they fall back, and the
// SpecialFolder object's numbered properties.
#include "files/special_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <string>

#include "startup/class_registration.h"
#include "base/reloc_entry.h"
#include "files/folder_item_class.h"
#include "files/special_folder_class.h"
#include "files/support/temp_folder.h"
#include "objects/runtime_object.h"
#include "vorn/folder_item_api.h"
#include "vorn/special_folder_api.h"

namespace vorn::testing {
namespace {

class SpecialFoldersTest : public TempFolderTest {
 protected:
  void SetUp() override {
    RuntimeInitExternalClasses();
    TempFolderTest::SetUp();
    if (const char* home = std::getenv("HOME")) mSavedHome = home;
    setenv("HOME", Root().c_str(), 1);
  }
  void TearDown() override {
    if (mSavedHome)
      setenv("HOME", mSavedHome->c_str(), 1);
    else
      unsetenv("HOME");
    TempFolderTest::TearDown();
  }

  // The item's path, "<nil>" for nil; the item is released.
  static std::string Path(RuntimeObject* item) {
    if (!item) return "<nil>";
    EXPECT_TRUE(RuntimeObjectIsaDefinition(item, GetFolderItemClassDefinition()));
    string path = string::Adopt(VORNpathFromFolderItem(item));
    RuntimeUnlockObject(item);
    return std::string(path.View());
  }

 private:
  std::optional<std::string> mSavedHome;
};

TEST_F(SpecialFoldersTest, FixedFoldersNeedNoHome) {
  unsetenv("HOME");
  EXPECT_EQ(Path(getSystemFolder()), "/usr/");
  EXPECT_EQ(Path(getTemporaryItemsFolder()), "/tmp/");
  EXPECT_EQ(Path(getVolume(0)), "/");
  EXPECT_EQ(Path(getVolume(1)), "<nil>");
  EXPECT_EQ(Path(getVolume(-1)), "<nil>");
  EXPECT_EQ(getVolumeCount(), 1);
  for (auto folder : {getAppleMenuFolder, getControlPanelsFolder, getExtensionsFolder, getStartupItemsFolder,
                      getShutdownItemsFolder, getFontsFolder}) {
    EXPECT_EQ(folder(), nullptr);
  }
}

TEST_F(SpecialFoldersTest, FoldersUnderHomeAreNilWithoutAnAbsoluteHome) {
  for (const char* home : {static_cast<const char*>(nullptr), "", "relative/home"}) {
    if (home)
      setenv("HOME", home, 1);
    else
      unsetenv("HOME");
    EXPECT_EQ(Path(getDesktopFolder()), "<nil>") << (home ? home : "unset");
    EXPECT_EQ(Path(GetDocumentsFolder()), "<nil>");
    EXPECT_EQ(Path(getTrashFolder()), "<nil>");
    EXPECT_EQ(Path(getPreferencesFolder()), "<nil>");
    EXPECT_EQ(Path(getApplicationSupportFolder()), "<nil>");
  }
}

TEST_F(SpecialFoldersTest, AnEmptyHomeStandsInForEveryFolderButTheTrash) {
  EXPECT_EQ(Path(getPreferencesFolder()), Root());
  EXPECT_EQ(Path(getApplicationSupportFolder()), Root());
  EXPECT_EQ(Path(getDesktopFolder()), Root());
  EXPECT_EQ(Path(GetDocumentsFolder()), Root());
  EXPECT_EQ(Path(getTrashFolder()), "<nil>");
}

TEST_F(SpecialFoldersTest, OnlyFoldersCountAsTheChildrenOfHome) {
  WriteFile("Desktop", "a file");
  WriteFile("Documents", "a file");
  WriteFile(".Trash", "a file");
  EXPECT_EQ(Path(getDesktopFolder()), Root());
  EXPECT_EQ(Path(GetDocumentsFolder()), Root());
  EXPECT_EQ(Path(getTrashFolder()), "<nil>");

  MakeFolder(".gnome-desktop");
  EXPECT_EQ(Path(getDesktopFolder()), PathOf(".gnome-desktop/"));
  ASSERT_EQ(unlink(PathOf("Desktop").c_str()), 0);
  MakeFolder("Desktop");
  EXPECT_EQ(Path(getDesktopFolder()), PathOf("Desktop/")) << "before .gnome-desktop";
  ASSERT_EQ(unlink(PathOf(".Trash").c_str()), 0);
  MakeFolder(".Trash");
  EXPECT_EQ(Path(getTrashFolder()), PathOf(".Trash/"));
}

TEST_F(SpecialFoldersTest, AChildLinkedToAFolderCountsAsThatFolder) {
  MakeFolder("papers");
  ASSERT_EQ(symlink(PathOf("papers").c_str(), PathOf("Documents").c_str()), 0);
  EXPECT_EQ(Path(GetDocumentsFolder()), PathOf("Documents/"));
  ASSERT_EQ(symlink(PathOf("nowhere").c_str(), PathOf("Desktop").c_str()), 0);
  EXPECT_EQ(Path(getDesktopFolder()), Root()) << "a broken link is no folder";
}

TEST_F(SpecialFoldersTest, TheSpecialFolderObjectAsksTheDiskItemByNumber) {
  RuntimeObject* folders = systemGetSpecialFoldersClass();
  ASSERT_NE(folders, nullptr);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(folders, GetSpecialFolderClassDefinition()));
  EXPECT_EQ(Path(GetSpecialFolder(folders, 1034)), "/etc/");
  EXPECT_EQ(Path(GetSpecialFolder(folders, 1041)), Root()) << "UserHome";
  EXPECT_EQ(Path(GetSpecialFolder(folders, 1027)), "<nil>") << "Windows";
  EXPECT_EQ(Path(GetSpecialFolder(folders, 1009)), "<nil>") << "Desktop is no disk item number";
  EXPECT_EQ(Path(GetSpecialFolder(folders, 1028)), "<nil>");
  EXPECT_EQ(Path(GetSpecialFolderFromCode(folders, nullptr)), "<nil>");
  string desk("desk");
  EXPECT_EQ(Path(GetSpecialFolderFromCode(folders, desk.Rep())), "<nil>");
  RuntimeUnlockObject(folders);
}

TEST_F(SpecialFoldersTest, FourCharacterCodesPutTheFirstCharacterLow) {
  EXPECT_EQ(SpecialFolderCodeFromText(string("desk")), 0x6B736564);
  EXPECT_EQ(SpecialFolderCodeFromText(string("ab")), 0x00006261) << "padded with NULs";
  EXPECT_EQ(SpecialFolderCodeFromText(string("tempfolder")), 0x706D6574);
}

TEST_F(SpecialFoldersTest, ThePropertiesStandInTheirFixedOrderEachWithItsOwnNumber) {
  const auto& properties = GetSpecialFolderClassDefinition()->mInstanceVariables;
  ASSERT_EQ(properties.size(), 46u);
  std::set<int32_t> numbers;
  for (const InstanceVariable& property : properties) {
    EXPECT_TRUE(numbers.insert(property.param).second) << property.param;
    EXPECT_GE(property.param, 1000);
    EXPECT_LE(property.param, 1046);
    EXPECT_EQ(property.setter, nullptr) << "read-only";
  }
  EXPECT_EQ(numbers.count(1028), 0u);
  auto at = [&](size_t i) { return std::string(properties[i].name.View()) + "=" + std::to_string(properties[i].param); };
  EXPECT_EQ(at(0), "Trash=1000");
  EXPECT_EQ(at(27), "Windows=1027");
  EXPECT_EQ(at(32), "Printers=1033");
  EXPECT_EQ(at(33), "SharedPreferences=1046");
  EXPECT_EQ(at(34), "Etc=1034");
  EXPECT_EQ(at(45), "UserLibrary=1045");
}

}  // namespace
}  // namespace vorn::testing

namespace vorn::testing {
namespace {

void* Code(const char* name) {
  RelocEntry* entry = LookupRelocEntry(string(name));
  return entry ? entry->code : nullptr;
}
void* Address(auto function) { return reinterpret_cast<void*>(function); }

TEST(FolderEntryPointsTest, CompiledCodeReachesEachFunctionByItsName) {
  EXPECT_EQ(Code("getVolume"), Address(&getVolume));
  EXPECT_EQ(Code("getVolumeCount"), Address(&getVolumeCount));
  EXPECT_EQ(Code("getDesktopFolder"), Address(&getDesktopFolder));
  EXPECT_EQ(Code("GetDocumentsFolder"), Address(&GetDocumentsFolder));
  EXPECT_EQ(Code("getTrashFolder"), Address(&getTrashFolder));
  EXPECT_EQ(Code("getPreferencesFolder"), Address(&getPreferencesFolder));
  EXPECT_EQ(Code("getApplicationSupportFolder"), Address(&getApplicationSupportFolder));
  EXPECT_EQ(Code("getSystemFolder"), Address(&getSystemFolder));
  EXPECT_EQ(Code("getTemporaryItemsFolder"), Address(&getTemporaryItemsFolder));
  EXPECT_EQ(Code("getTemporaryFolderItem"), Address(&getTemporaryFolderItem));
  EXPECT_EQ(Code("getFontsFolder"), Address(&getFontsFolder));
  EXPECT_EQ(Code("systemGetSpecialFoldersClass"), Address(&systemGetSpecialFoldersClass));
  EXPECT_EQ(Code("GetSpecialFolder"), Address(&GetSpecialFolder));
  EXPECT_EQ(Code("GetSpecialFolderFromCode"), Address(&GetSpecialFolderFromCode));
  EXPECT_EQ(Code("RuntimeRegisterFileType"), Address(&RuntimeRegisterFileType));
  EXPECT_EQ(Code("RuntimeDeregisterFileType"), Address(&RuntimeDeregisterFileType));
  EXPECT_EQ(Code("StringToOSType"), Address(&StringToOSType));
  EXPECT_EQ(Code("GlobalShowURL"), Address(&GlobalShowURL));
}

}  // namespace
}  // namespace vorn::testing
