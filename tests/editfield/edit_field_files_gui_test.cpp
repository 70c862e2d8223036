// A styled field saved to a file through FolderItem and opened again into another field keeps
// its text and every style, and shows them; a plain text file opens as text; a damaged file
// changes nothing and says so.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "editfield/support/edit_field_fixture.h"
#include "support/gui_support.h"
#include "support/window_pixels.h"
#include "vorn/editfield_api.h"
#include "vorn/folder_item_api.h"

namespace vorn {
namespace {

using test::PackedStream;

class EditFieldFilesTest : public test::EditFieldTest {
 protected:
  void SetUp() override {
    EditFieldTest::SetUp();
    char folder[] = "/tmp/vorn-field-files-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    mFolder = folder;
  }
  void TearDown() override {
    test::Shell("rm -rf '" + mFolder + "'");
    EditFieldTest::TearDown();
  }

  RuntimeObject* NewStyledField(const char* text, int32_t top) {
    return NewField(PackedStream()
                        .Text(test::kEfText, text)
                        .Bool(test::kEfStyled, true)
                        .Bool(test::kEfMultiLine, true)
                        .Int(test::kEfTextSize, 12),
                    MakeRect(20, top, 320, top + 100));
  }
  RuntimeObject* FileItem(const char* name) { return FolderItemFromPath((mFolder + "/" + name).c_str()); }
  void Write(const char* name, const std::string& bytes) {
    FILE* f = std::fopen((mFolder + "/" + name).c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::string Read(const char* name) {
    FILE* f = std::fopen((mFolder + "/" + name).c_str(), "rb");
    if (!f) return "<missing>";
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
  }
  static std::string StyleData(RuntimeObject* field) {
    StringRep* rep = editTextStyleDataGetter(field, 0);
    std::string out(RepText(rep));
    RuntimeUnlockString(rep);
    return out;
  }

  std::string mFolder;
};

TEST_F(EditFieldFilesTest, AStyledFieldSavedAndOpenedAgainKeepsItsStyles) {
  RuntimeObject* source = NewStyledField("Bold big red\nplain line", 20);
  EditControlGTK* pane = PaneOf(source);
  pane->SetBold(0, 4, true);
  pane->SetSize(5, 3, 20);
  pane->SetColor(9, 3, 0xFF0000);
  pane->SetItalic(13, 5, true);
  RuntimeObject* item = FileItem("letter.rtf");
  FolderItemSaveStyledEditField(item, source);
  EXPECT_EQ(Read("letter.rtf").substr(0, 5), "{\\rtf");

  RuntimeObject* copy = NewStyledField("", 140);
  FolderItemOpenStyledEditField(item, copy);
  EXPECT_EQ(Text(copy), "Bold big red\nplain line");
  EXPECT_EQ(StyleData(copy), StyleData(source));
  EXPECT_TRUE(PaneOf(copy)->GetBold(0, 4, nullptr));
  EXPECT_EQ(PaneOf(copy)->GetColor(9, 3, nullptr), 0xFF0000u);

  // What the user sees: the opened field draws its red word where the saved one does.
  test::ShowAndSettle(native);
  test::FlushWindowDrawing(native);
  auto redIn = [this](int32_t top) {
    int32_t count = 0;
    for (int32_t v = top + 2; v < top + 40; ++v)
      for (int32_t h = 22; h < 318; ++h) {
        uint32_t p = test::WindowScreenPixel(native, h, v);
        if ((p >> 16 & 0xFF) > 160 && (p >> 8 & 0xFF) < 90 && (p & 0xFF) < 90) ++count;
      }
    return count;
  };
  EXPECT_GT(redIn(140), 10);
  EXPECT_EQ(redIn(140), redIn(20));
  RuntimeUnlockObject(item);
}

TEST_F(EditFieldFilesTest, PlainTextOpensAsTextAndADamagedFileChangesNothing) {
  RuntimeObject* field = NewStyledField("kept", 20);
  Write("notes.txt", "just words {not rich}");
  RuntimeObject* notes = FileItem("notes.txt");
  FolderItemOpenStyledEditField(notes, field);
  EXPECT_EQ(Text(field), "just words {not rich}");
  RuntimeUnlockObject(notes);

  for (const char* damaged : {"{\\rtf1 {\\b cut sho", "{\\rtf1 x}}", "{\\rtf1 \\'q"}) {
    SetText(field, "kept");
    Write("broken.rtf", damaged);
    RuntimeObject* broken = FileItem("broken.rtf");
    FolderItemOpenStyledEditField(broken, field);
    EXPECT_EQ(Text(field), "kept") << damaged;
    EXPECT_EQ(FolderItemGetLastError(broken, 0), EINVAL) << damaged;
    EXPECT_EQ(Read("broken.rtf"), damaged) << "the file is only read";
    RuntimeUnlockObject(broken);
  }

  RuntimeObject* missing = FileItem("missing.rtf");
  FolderItemOpenStyledEditField(missing, field);
  EXPECT_EQ(Text(field), "kept");
  EXPECT_EQ(FolderItemGetLastError(missing, 0), ENOENT);
  FolderItemSaveStyledEditField(missing, nullptr);
  EXPECT_EQ(Read("missing.rtf"), "<missing>") << "no field, no file";
  RuntimeUnlockObject(missing);
}

TEST_F(EditFieldFilesTest, APipeIsRefusedAtOnceAndLeavesTheFieldAlone) {
  RuntimeObject* field = NewStyledField("kept", 20);
  ASSERT_EQ(mkfifo((mFolder + "/pipe.rtf").c_str(), 0600), 0);
  RuntimeObject* pipe = FileItem("pipe.rtf");
  alarm(10);  // a field that waits for a writer ends the program instead of holding it
  FolderItemOpenStyledEditField(pipe, field);
  alarm(0);
  EXPECT_EQ(Text(field), "kept");
  EXPECT_EQ(FolderItemGetLastError(pipe, 0), ESPIPE);
  RuntimeUnlockObject(pipe);
}

}  // namespace
}  // namespace vorn
