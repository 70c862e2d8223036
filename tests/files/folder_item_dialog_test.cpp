// The file dialogs without a display: the filters a filter text gives, the dialog objects'
// properties and kinds, and what a run does that needs nobody to answer (the working folder,
// Result, the one-run type list, the abstract class).
#include "windows/folder_item_dialog.h"

#include <unistd.h>

#include <climits>
#include <string>

#include "startup/class_registration.h"
#include "files/support/folder_item_test.h"
#include "files/support/temp_folder.h"
#include "objects/accessors.h"
#include "objects/runtime_object.h"
#include "vorn/folder_item_api.h"
#include "vorn/folder_item_dialog_api.h"

namespace vorn::testing {
namespace {

// A language string of UTF-8 text (the folder fixture's own Text goes the other way).
string Str(const std::string& text) { return vorn::testing::Text(text); }

const PropertyEntry* Property(RuntimeObject* object, const std::string& signature) {
  for (const PropertyEntry& entry : ClassOf(object)->mAccessors) {
    if (std::string(string::Share(entry.signature).View()) == signature) return &entry;
  }
  ADD_FAILURE() << "no property " << signature;
  return nullptr;
}

class FileTypeListTest : public StoreTest {
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
  static void Register(const char* name, const char* extensions) {
    RegisterFileType(string(name), string(), string(), string(extensions));
  }
  static std::string Describe(const std::vector<FileFilterSpec>& specs) {
    std::string text;
    for (const FileFilterSpec& spec : specs) {
      text += spec.name + ":";
      for (const std::string& pattern : spec.patterns) text += " " + pattern;
      text += "|";
    }
    return text;
  }
};

TEST_F(FileTypeListTest, AFilterGivesOneChooserFilterPerRegisteredTypeInTheOrderOfItsNames) {
  Register("Text", ".txt;text");
  Register("Chart", ".csv");
  Register("Image", ".bmp;.png");
  SimpleVector<FileType*> types;
  ParseFileTypeList(Text("image;Unknown;text"), &types);
  EXPECT_EQ(Describe(FileFilterSpecs(types)), "Image: *.bmp *.png|Text: *.txt *.text|")
      << "names ignore case and the unregistered one is skipped";
  ParseFileTypeList(Text(""), &types);
  EXPECT_EQ(Describe(FileFilterSpecs(types)), "");
}

TEST_F(FileTypeListTest, EmptyExtensionEntriesGiveNoPattern) {
  Register("Log", ".log;;");
  Register("Any", "");
  SimpleVector<FileType*> types;
  ParseFileTypeList(Text("Log;Any"), &types);
  EXPECT_EQ(Describe(FileFilterSpecs(types)), "Log: *.log|Any:|");
}

class FolderItemDialogTest : public TempFolderTest {
 protected:
  void SetUp() override {
    RuntimeInitExternalClasses();
    TempFolderTest::SetUp();
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    mWorkingFolder = cwd;
  }
  void TearDown() override {
    EXPECT_EQ(chdir(mWorkingFolder.c_str()), 0);
    while (FirstFileType()) DeregisterFileType(FirstFileType()->name);
    TempFolderTest::TearDown();
  }

  static FolderItemDialogObject* Fields(RuntimeObject* object) {
    return reinterpret_cast<FolderItemDialogObject*>(object);
  }
  static void SetString(RuntimeObject* dialog, const std::string& name, const std::string& value) {
    if (const PropertyEntry* entry = Property(dialog, name + "%s%")) {
      EXPECT_TRUE(SetPropertyValue(dialog, *entry, PropertyValue::String(Str(value))));
    }
  }
  static std::string GetString(RuntimeObject* dialog, const std::string& name) {
    PropertyValue value;
    if (const PropertyEntry* entry = Property(dialog, name + "%s%")) {
      EXPECT_TRUE(GetPropertyValue(dialog, *entry, &value));
    }
    return std::string(value.AsString().View());
  }
  static int32_t GetInteger(RuntimeObject* dialog, const std::string& name) {
    PropertyValue value;
    if (const PropertyEntry* entry = Property(dialog, name + "%i4%")) {
      EXPECT_TRUE(GetPropertyValue(dialog, *entry, &value));
    }
    return value.AsInteger();
  }

  std::string mWorkingFolder;
};

TEST_F(FolderItemDialogTest, EachKindStartsUnplacedWithNoResultAndKeepsWhatIsSet) {
  struct Kind {
    ObjectDefinition* definition;
    int32_t kind;
  } kinds[] = {{GetFolderItemDialogClassDefinition(), kAbstractDialogKind},
               {GetOpenDialogClassDefinition(), kOpenDialogKind},
               {GetSaveAsDialogClassDefinition(), kSaveDialogKind},
               {GetSelectFolderDialogClassDefinition(), kSelectFolderDialogKind}};
  for (const Kind& k : kinds) {
    RuntimeObject* dialog = CreateInstanceFromDefinition(k.definition);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Fields(dialog)->kind, k.kind);
    EXPECT_EQ(GetInteger(dialog, "Top"), -1);
    EXPECT_EQ(GetInteger(dialog, "Left"), -1);
    EXPECT_EQ(Fields(dialog)->result, nullptr);
    for (const char* name : {"Title", "PromptText", "ActionButtonCaption", "CancelButtonCaption",
                             "SuggestedFileName", "Filter"}) {
      SetString(dialog, name, std::string(name) + " text");
      EXPECT_EQ(GetString(dialog, name), std::string(name) + " text");
    }
    RuntimeUnlockObject(dialog);  // the finalizer releases the strings: the fixture sees no leak
  }
}

TEST_F(FolderItemDialogTest, ResultIsReadOnlyAndInitialDirectoryIsHeldByTheDialog) {
  RuntimeObject* dialog = CreateInstanceFromDefinition(GetOpenDialogClassDefinition());
  const PropertyEntry* result = Property(dialog, "Result%o<FolderItem>%");
  ASSERT_NE(result, nullptr);
  EXPECT_FALSE(SetPropertyValue(dialog, *result, PropertyValue::Object(nullptr)));
  RuntimeObject* folder = RuntimeGetFolderItem(Str(Root()).Rep(), 0);
  const PropertyEntry* initial = Property(dialog, "InitialDirectory%o<FolderItem>%");
  ASSERT_NE(initial, nullptr);
  EXPECT_TRUE(SetPropertyValue(dialog, *initial, PropertyValue::Object(folder)));
  RuntimeUnlockObject(folder);
  PropertyValue value;
  EXPECT_TRUE(GetPropertyValue(dialog, *initial, &value));
  EXPECT_EQ(FolderItemTest::PathOf(value.AsObject()), Root());
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogTest, ARunPointsTheWorkingFolderAtTheInitialDirectoryAndClearsResult) {
  MakeFolder("start");
  RuntimeObject* dialog = CreateInstanceFromDefinition(GetOpenDialogClassDefinition());
  Fields(dialog)->initialDirectory = RuntimeGetFolderItem(Str(PathOf("start")).Rep(), 0);
  Fields(dialog)->result = RuntimeGetFolderItem(Str(PathOf("earlier.txt")).Rep(), 0);
  EXPECT_EQ(FolderItemDialogShowModal(dialog), nullptr) << "no display: nobody chose";
  EXPECT_EQ(Fields(dialog)->result, nullptr) << "the earlier choice is gone";
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(std::string(cwd) + "/", PathOf("start/"));
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogTest, TheTypeListFromTheFilterLastsOneRunWhileOneAlreadyFilledIsKept) {
  RegisterFileType(Str("Text"), string(), string(), Str(".txt"));
  RuntimeObject* dialog = CreateInstanceFromDefinition(GetSaveAsDialogClassDefinition());
  SetString(dialog, "Filter", "Text");
  RuntimeUnlockObject(FolderItemDialogShowModal(dialog));
  EXPECT_EQ(Fields(dialog)->typeList.Count(), 0);
  Fields(dialog)->typeList.Append(FirstFileType());
  RuntimeUnlockObject(FolderItemDialogShowModal(dialog));
  EXPECT_EQ(Fields(dialog)->typeList.Count(), 1);
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogTest, ThePlainBaseClassIsReportedAndAnswersNil) {
  RuntimeObject* dialog = CreateInstanceFromDefinition(GetFolderItemDialogClassDefinition());
  Reports().clear();
  EXPECT_EQ(FolderItemDialogShowModal(dialog), nullptr);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("-1 != mType"), std::string::npos) << Reports()[0];
  EXPECT_NE(Reports()[0].find("abstract FolderItemDialog class"), std::string::npos) << Reports()[0];
  RuntimeUnlockObject(dialog);
}

TEST_F(FolderItemDialogTest, NilDialogsRaiseAndTheGlobalFunctionsLeaveNothingBehind) {
  EXPECT_EQ(FolderItemDialogShowModal(nullptr), nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_EQ(FolderItemDialogShowWithin(nullptr, nullptr), nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_EQ(RuntimeGetOpenFolderItem(Str("Text").Rep()), nullptr);
  EXPECT_EQ(RuntimeGetSaveFolderItem(Str("Text").Rep(), Str("chart.csv").Rep()), nullptr);
  EXPECT_EQ(RuntimeSelectFolder(), nullptr);
}

}  // namespace
}  // namespace vorn::testing
