// The registered document types: naming a file's type by its extension, the dialog filter
// lists, removal from the middle of the list and the four-character codes.
#include "files/file_types.h"

#include <memory>
#include <string>
#include <vector>

#include "files/folder_item_imp_unix.h"
#include "files/support/store_test.h"
#include "vorn/special_folder_api.h"

namespace vorn::testing {
namespace {

class FileTypesTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    ClearList();
  }
  void TearDown() override {
    ClearList();
    StoreTest::TearDown();
  }

  static void ClearList() {
    while (FirstFileType()) DeregisterFileType(FirstFileType()->name);
  }
  static void Register(const char* name, const char* extensions, const char* type = "", const char* creator = "") {
    RegisterFileType(string(name), string(type), string(creator), string(extensions));
  }
  static std::string TypeOf(const char* fileName) {
    return std::string(FileTypeNameForFile(string(std::string_view(fileName), kEncodingUTF8)).View());
  }
  static std::string Names() {
    std::string names;
    for (FileType* type = FirstFileType(); type; type = type->next) names += std::string(type->name.View()) + ";";
    return names;
  }
};

TEST_F(FileTypesTest, AFileTakesTheFirstTypeOneOfWhoseExtensionsEndsItsName) {
  Register("Text", ".txt;.text");
  Register("Notes", ".txt");
  Register("Data", "dat");
  EXPECT_EQ(TypeOf("notes.txt"), "Text");
  EXPECT_EQ(TypeOf("NOTES.TEXT"), "Text") << "case is ignored";
  EXPECT_EQ(TypeOf("values.dat"), "Data");
  EXPECT_EQ(TypeOf("olddat"), "Data") << "an entry without its dot is a plain ending";
  EXPECT_EQ(TypeOf("txt"), "") << "a name shorter than the entry";
  EXPECT_EQ(TypeOf("notes.txt.bak"), "");
  EXPECT_EQ(TypeOf(""), "");
}

TEST_F(FileTypesTest, EmptyExtensionEntriesNeverMatch) {
  Register("Anything", "");
  Register("Trailing", ".log;");
  Register("Doubled", ";;.cfg");
  EXPECT_EQ(TypeOf("report.pdf"), "") << "an empty entry would end every name";
  EXPECT_EQ(TypeOf("run.log"), "Trailing");
  EXPECT_EQ(TypeOf("app.cfg"), "Doubled");
}

TEST_F(FileTypesTest, ExtensionsInAnotherEncodingCompareByCharacter) {
  RegisterFileType(string("Star chart"), string(), string(), string(".kart\x8A", 6, kEncodingMacRoman));  // ä
  EXPECT_EQ(TypeOf("sky.kart\xC3\xA4"), "Star chart");
  EXPECT_EQ(TypeOf("sky.kart\xC3\x84"), "Star chart") << "Ä";
  EXPECT_EQ(TypeOf("sky.karta"), "");
}

TEST_F(FileTypesTest, DeregisteringTakesOutOneRecordAndKeepsTheOthersInOrder) {
  Register("First", ".a");
  Register("Second", ".b");
  Register("Third", ".c");
  DeregisterFileType(string("SECOND"));
  EXPECT_EQ(Names(), "First;Third;");
  DeregisterFileType(string("Missing"));
  EXPECT_EQ(Names(), "First;Third;");
  DeregisterFileType(string("Third"));
  DeregisterFileType(string("First"));
  EXPECT_EQ(FirstFileType(), nullptr);
}

TEST_F(FileTypesTest, ARepeatedNameKeepsBothAndTheEarlierAnswersUntilRemoved) {
  Register("Image", ".png", "PNGf");
  Register("Image", ".jpg", "JPEG");
  EXPECT_EQ(std::string(FindFileType(string("image"))->macType.View()), "PNGf");
  DeregisterFileType(string("Image"));
  EXPECT_EQ(std::string(FindFileType(string("Image"))->macType.View()), "JPEG");
  EXPECT_EQ(TypeOf("a.png"), "");
}

TEST_F(FileTypesTest, ATypeListGivesTheKnownRecordsInItsOrder) {
  Register("Text", ".txt");
  Register("Image", ".png");
  SimpleVector<FileType*> types(0);
  ParseFileTypeList(string("image;Unknown;text;Image"), &types);
  ASSERT_EQ(types.Count(), 3);
  EXPECT_EQ(types[0], FindFileType(string("Image")));
  EXPECT_EQ(types[1], FindFileType(string("Text")));
  EXPECT_EQ(types[2], types[0]);
  ParseFileTypeList(string(""), &types);
  EXPECT_EQ(types.Count(), 0) << "the vector is emptied first";
  EXPECT_EQ(types.Capacity(), 0);
  ParseFileTypeList(string("Text"), nullptr);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("outTypeList"), std::string::npos) << Reports()[0];
}

TEST_F(FileTypesTest, FourCharacterCodesPutTheFirstCharacterHigh) {
  EXPECT_EQ(OSTypeFromString(string("")), 0x3F3F3F3Fu);
  EXPECT_EQ(OSTypeFromString(string("ab")), 0x61622020u);
  EXPECT_EQ(OSTypeFromString(string("TEXTfile")), 0x54455854u);
  EXPECT_EQ(OSTypeFromString(string("\xC3\xA9t\xC3\xA9", 5, kEncodingUTF8)), 0x8E748E20u) << "as MacRoman";
  EXPECT_EQ(StringToOSType(nullptr), 0x3F3F3F3Fu);
  string code("ttxt");
  EXPECT_EQ(StringToOSType(code.Rep()), 0x74747874u);
}

TEST_F(FileTypesTest, TheEntryPointsKeepTheirOwnReferences) {
  StringRep* name = NewStringRep("Log", 3, kEncodingUTF8);
  StringRep* extensions = NewStringRep(".log", 4, kEncodingUTF8);
  RuntimeRegisterFileType(name, nullptr, nullptr, extensions);
  ReleaseStringRep(name);
  ReleaseStringRep(extensions);
  EXPECT_EQ(TypeOf("x.LOG"), "Log");
  EXPECT_EQ(FirstFileType()->macType.Length(), 0);
  StringRep* gone = NewStringRep("log", 3, kEncodingUTF8);
  RuntimeDeregisterFileType(gone);
  ReleaseStringRep(gone);
  EXPECT_EQ(FirstFileType(), nullptr);
}

TEST_F(FileTypesTest, AFileOnDiskHasTheTypeItsExtensionIsRegisteredFor) {
  Register("Plain text", ".txt");
  std::unique_ptr<FolderItemImpUnix> item(NewFolderItemImpFromPath(string("/nowhere/notes.TXT")));
  EXPECT_EQ(std::string(item->GetType().View()), "Plain text");
  std::unique_ptr<FolderItemImpUnix> other(NewFolderItemImpFromPath(string("/nowhere/notes.md")));
  EXPECT_EQ(std::string(other->GetType().View()), "");
}

}  // namespace
}  // namespace vorn::testing
