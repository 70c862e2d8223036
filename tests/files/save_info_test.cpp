#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "files/folder_item_imp_unix.h"
#include "files/support/temp_folder.h"

namespace vorn::testing {
namespace {

class SaveInfoTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    MakeFolder("home");
    MakeFolder("home/u");
    MakeFolder("home/u/docs");
    MakeFolder("home/u/pics");
    MakeFolder("home/x");
    WriteFile("home/u/docs/a.txt", "a");
  }

  static std::string Record(uint16_t tag, const std::string& data) {
    std::string out;
    out += static_cast<char>(tag & 0xFF);
    out += static_cast<char>(tag >> 8);
    auto n = static_cast<uint32_t>(data.size());
    out += static_cast<char>(n >> 24);
    out += static_cast<char>((n >> 16) & 0xFF);
    out += static_cast<char>((n >> 8) & 0xFF);
    out += static_cast<char>(n & 0xFF);
    return out + data;
  }
  static std::string Header(uint8_t mode) { return std::string("\x00\xF1\xD1\x73\x01", 5) + static_cast<char>(mode); }
  static std::string Trailer() { return Record(3, "\x01") + Record(4, std::string(1, '\0')) + Record(0, ""); }
  static string Bytes(const std::string& bytes) {
    return string(bytes.data(), static_cast<int32_t>(bytes.size()), kEncodingUnknown);
  }
  static std::string PathOfItem(FolderItemImp* item) {
    std::unique_ptr<FolderItemImp> owned(item);
    return owned ? std::string(owned->GetAbsolutePath().View()) : "<null>";
  }
};

TEST_F(SaveInfoTest, DefaultModeWritesRelativeThenAbsoluteRecords) {
  auto file = Item(PathOf("home/u/docs/a.txt"));
  auto pics = Item(PathOf("home/u/pics"));
  string info = file->GetSaveInfo(pics.get(), kSaveInfoDefaultMode);
  std::string expected =
      Header(0) + Record(2, "../docs/a.txt") + Record(1, PathOf("home/u/docs/a.txt")) + Trailer();
  EXPECT_EQ(Text(info), expected);
  EXPECT_EQ(info.Encoding(), kEncodingUnknown);
  EXPECT_TRUE(IsSaveInfo(info));

  EXPECT_EQ(Text(file->GetSaveInfo(pics.get(), kSaveInfoRelativeMode)),
            Header(1) + Record(2, "../docs/a.txt") + Trailer());
  EXPECT_EQ(Text(file->GetSaveInfo(nullptr, kSaveInfoDefaultMode)),
            Header(2) + Record(1, PathOf("home/u/docs/a.txt")) + Trailer());
  EXPECT_EQ(Text(file->GetSaveInfo(pics.get(), 7)), Header(7) + std::string(4, '\0') + Trailer());
}

TEST_F(SaveInfoTest, RelativePaths) {
  auto file = Item(PathOf("home/u/docs/a.txt"));
  EXPECT_EQ(Text(file->GetRelativePath(Item(PathOf("home/u")).get())), "docs/a.txt");
  EXPECT_EQ(Text(file->GetRelativePath(Item(PathOf("home/x")).get())), "../u/docs/a.txt");
  EXPECT_EQ(Text(file->GetRelativePath(Item(PathOf("home/u/docs")).get())), "a.txt");
  EXPECT_EQ(Text(file->GetRelativePath(Item(PathOf("home/u/pics/none.txt")).get())), "../docs/a.txt");
  auto docs = Item(PathOf("home/u/docs"));
  EXPECT_EQ(Text(docs->GetRelativePath(docs.get())), "");
  EXPECT_EQ(Text(Item(PathOf("home/u"))->GetRelativePath(docs.get())), "..");
  EXPECT_EQ(Text(file->GetRelativePath(Item("/").get())), Root().substr(1) + "home/u/docs/a.txt");

  // Names that differ only by letter case are different places here.
  MakeFolder("home/U");
  EXPECT_EQ(Text(file->GetRelativePath(Item(PathOf("home/U")).get())), "../u/docs/a.txt");
}

TEST_F(SaveInfoTest, ResolvingRelativeTexts) {
  auto base = Item(PathOf("home/u/pics"));
  EXPECT_EQ(Text(ResolveRelativePath(string("../docs/a.txt"), base.get())), PathOf("home/u/docs/a.txt"));
  EXPECT_EQ(Text(ResolveRelativePath(string(""), base.get())), PathOf("home/u/pics"));
  EXPECT_EQ(Text(ResolveRelativePath(string("x/../y"), base.get())), PathOf("home/u/pics/y"));
  auto shallow = Item("/usr/bin");
  EXPECT_EQ(Text(ResolveRelativePath(string("../.."), shallow.get())), "");
  EXPECT_EQ(Text(ResolveRelativePath(string(".."), shallow.get())), "/usr");
  // A file's texts are relative to its folder.
  EXPECT_EQ(Text(ResolveRelativePath(string("b.txt"), Item(PathOf("home/u/docs/a.txt")).get())),
            PathOf("home/u/docs/b.txt"));
  EXPECT_EQ(Text(ResolveRelativePath(string("a"), nullptr)), "");
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("relFold"), std::string::npos);
}

TEST_F(SaveInfoTest, ReadingPrefersWhatStillExists) {
  auto file = Item(PathOf("home/u/docs/a.txt"));
  auto pics = Item(PathOf("home/u/pics"));
  string info = file->GetSaveInfo(pics.get(), kSaveInfoDefaultMode);

  // Moved together: the relative record finds the file in its new place.
  ASSERT_EQ(rename(PathOf("home/u").c_str(), PathOf("home/v").c_str()), 0);
  MakeFolder("home/u");
  MakeFolder("home/u/docs");
  WriteFile("home/u/docs/a.txt", "old place");
  auto movedPics = Item(PathOf("home/v/pics"));
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(info, movedPics.get())), PathOf("home/v/docs/a.txt"));

  // The relative target is gone, the absolute one is there.
  ASSERT_EQ(unlink(PathOf("home/v/docs/a.txt").c_str()), 0);
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(info, movedPics.get())), PathOf("home/u/docs/a.txt"));

  // Neither: the relative one.
  ASSERT_EQ(unlink(PathOf("home/u/docs/a.txt").c_str()), 0);
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(info, movedPics.get())), PathOf("home/v/docs/a.txt"));

  // No item to be relative to: the absolute record.
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(info, nullptr)), PathOf("home/u/docs/a.txt"));
}

TEST_F(SaveInfoTest, RelativeModeFailsWhenItClimbsOut) {
  string info = Bytes(Header(1) + Record(2, "../../../../../../../../../../../x") + Trailer());
  auto base = Item(PathOf("home/u"));
  EXPECT_EQ(NewFolderItemImpFromSaveInfo(info, base.get()), nullptr);
  string fine = Bytes(Header(1) + Record(2, "docs") + Trailer());
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(fine, base.get())), PathOf("home/u/docs/"));
}

TEST_F(SaveInfoTest, MalformedDataNeverReadsPastTheString) {
  EXPECT_EQ(NewFolderItemImpFromSaveInfo(Bytes("/tmp/x"), nullptr), nullptr);
  EXPECT_EQ(NewFolderItemImpFromSaveInfo(Bytes(Header(2).substr(0, 5)), nullptr), nullptr);
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(Bytes(Header(2)), nullptr)), "");
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(Bytes(Header(9) + std::string(4, '\0') + Trailer()), nullptr)),
            "");

  // A record whose length runs past the end ends the reading; what came before stands.
  std::string good = Record(1, "/usr");
  std::string cut = Record(1, "/etc/passwd").substr(0, 10);
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(Bytes(Header(2) + good + cut), nullptr)), "/usr/");
  std::string huge = std::string("\x01\x00\xFF\xFF\xFF\xFF", 6) + "/etc";
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(Bytes(Header(2) + good + huge), nullptr)), "/usr/");
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(Bytes(Header(2) + good + "\x01\x00\x00"), nullptr)), "/usr/");

  // Records of other tags are skipped by their length.
  EXPECT_EQ(PathOfItem(NewFolderItemImpFromSaveInfo(Bytes(Header(2) + Record(9, "/etc") + good), nullptr)),
            "/usr/");
  // A path cut short by a NUL byte would name another file.
  EXPECT_EQ(NewFolderItemImpFromSaveInfo(Bytes(Header(2) + Record(1, std::string("/usr\0/x", 7))), nullptr),
            nullptr);
}

}  // namespace
}  // namespace vorn::testing
