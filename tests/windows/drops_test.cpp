#include <gtest/gtest.h>

#include "windows/gtk_drops.h"

namespace vorn {
namespace {

std::vector<std::string> Paths(const DropPayload& p) {
  std::vector<std::string> out;
  for (const string& s : p.filePaths) out.emplace_back(s.View());
  return out;
}

TEST(PercentDecodeTest, EscapesBecomeBytes) {
  EXPECT_EQ(PercentDecodeURI("a%20b"), "a b");
  EXPECT_EQ(PercentDecodeURI("%c3%A9"), "\xC3\xA9");
  EXPECT_EQ(PercentDecodeURI("100%"), "100%");
  EXPECT_EQ(PercentDecodeURI("%2"), "%2");
  EXPECT_EQ(PercentDecodeURI("%zz%41"), "%zzA");
  EXPECT_EQ(PercentDecodeURI(""), "");
}

TEST(URIListTest, TwoFileLinesGiveTwoPaths) {
  DropPayload p = ParseURIListDrop("file:///home/me/My%20Notes.txt\r\nfile:///tmp/b.txt\r\n");
  EXPECT_TRUE(p.isFileList);
  EXPECT_EQ(Paths(p), (std::vector<std::string>{"/home/me/My Notes.txt", "/tmp/b.txt"}));
}

TEST(URIListTest, EveryLineIsCheckedOnItsOwn) {
  DropPayload p = ParseURIListDrop(
      "# dragged from a file manager\r\n"
      "http://example.org/x\r\n"
      "file://localhost/etc/hosts\r\n"
      "FILE:/var/log\n"
      "file://otherhost/srv/share\r\n"
      "file:///a%00b\r\n");
  EXPECT_TRUE(p.isFileList);
  EXPECT_EQ(Paths(p), (std::vector<std::string>{"/etc/hosts", "/var/log"}));
}

TEST(URIListTest, ListWithoutFilesIsText) {
  DropPayload p = ParseURIListDrop("http://example.org/\r\n");
  EXPECT_FALSE(p.isFileList);
  EXPECT_TRUE(p.filePaths.empty());
  EXPECT_EQ(std::string(p.text.View()), "http://example.org/\r\n");
  EXPECT_EQ(p.text.Encoding(), kEncodingUTF8);
  DropPayload empty = ParseURIListDrop("");
  EXPECT_FALSE(empty.isFileList);
}

}  // namespace
}  // namespace vorn
