#include <gtest/gtest.h>

#include <cstring>

#include "strings/c_text.h"
#include "strings/string_entry_points.h"

using vorn::string;

namespace {

TEST(CText, CompareUsesUnsignedBytesAndSortsNilFirst) {
  EXPECT_EQ(vorn::CStringCompare("abc", "abc"), 0);
  EXPECT_EQ(vorn::CStringCompare("abc", "abd"), -1);
  EXPECT_EQ(vorn::CStringCompare("ab", "abc"), -1);
  EXPECT_EQ(vorn::CStringCompare("abc", "ab"), 1);
  EXPECT_EQ(vorn::CStringCompare("\xE9", "z"), 1);  // 0xE9 is above 'z' as an unsigned byte
  EXPECT_EQ(vorn::CStringCompare("a", "A"), 1);
  EXPECT_EQ(vorn::CStringCompare(nullptr, ""), -1);
  EXPECT_EQ(vorn::CStringCompare("", nullptr), 1);
  EXPECT_EQ(vorn::CStringCompare(nullptr, nullptr), 0);
}

TEST(CText, CompareNoCaseFoldsThroughTheTable) {
  EXPECT_EQ(vorn::CStringCompareNoCase("RuntimeInit", "RUNTIMEINIT"), 0);
  EXPECT_EQ(vorn::CStringCompareNoCase("caf\xE9", "CAF\xC9"), 0);
  EXPECT_EQ(vorn::CStringCompareNoCase("select", "SELECTX"), -1);
  EXPECT_EQ(vorn::CStringCompareNoCase("b", "A"), 1);
  // Folding to upper case puts "_" (0x5F) after the letters: "a_" > "AZ".
  EXPECT_EQ(vorn::CStringCompareNoCase("a_", "AZ"), 1);
  EXPECT_EQ(vorn::CStringCompareNoCase(nullptr, "a"), -1);
  EXPECT_EQ(vorn::CStringCompareNoCase(nullptr, nullptr), 0);
}

TEST(CText, LengthCopyAndStringFromCString) {
  EXPECT_EQ(vorn::CStringLength("hello"), 5);
  EXPECT_EQ(vorn::CStringLength(""), 0);
  EXPECT_EQ(vorn::CStringLength(nullptr), 0);

  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(vorn::CStringCopy(buffer, "abc"), buffer);
  EXPECT_EQ(std::memcmp(buffer, "abc\0xxxx", 8), 0);
  vorn::CStringCopy(buffer, nullptr);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(vorn::CStringCopy(nullptr, "abc"), nullptr);

  string s("old");
  vorn::StringFromCString(s, "new text");
  EXPECT_STREQ(s.CString(), "new text");
  EXPECT_EQ(s.Encoding(), vorn::kEncodingASCII);
  vorn::StringFromCString(s, nullptr);
  EXPECT_EQ(s.Rep(), nullptr);
}

TEST(EntryPoints, BorrowArgumentsAndHandOutOneReference) {
  string source("a,b,c");
  string delimiter(",");
  VornStringRecord* field = StringNthField(source.Rep(), delimiter.Rep(), 2);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->refCount, 1);
  EXPECT_STREQ(StringGetCString(field), "b");
  RuntimeUnlockString(field);
  EXPECT_EQ(source.Rep()->refCount, 1);
  EXPECT_EQ(delimiter.Rep()->refCount, 1);

  // A result that is the argument itself comes back with one more reference.
  VornStringRecord* same = StringReplaceAll(source.Rep(), nullptr, nullptr);
  EXPECT_EQ(same, source.Rep());
  EXPECT_EQ(source.Rep()->refCount, 2);
  RuntimeUnlockString(same);

  EXPECT_EQ(StringNthField(nullptr, delimiter.Rep(), 1), nullptr);
  EXPECT_EQ(StringCountFields(source.Rep(), delimiter.Rep()), 3);
  EXPECT_EQ(StringCountFieldsB(nullptr, nullptr), 0);
  EXPECT_EQ(StringInStr(1, source.Rep(), delimiter.Rep()), 2);
  EXPECT_EQ(StringInStrB(3, source.Rep(), delimiter.Rep()), 4);
  EXPECT_STREQ(StringGetCString(nullptr), "");
}

TEST(EntryPoints, EndOfLineStringsAreCountedForTheCaller) {
  VornStringRecord* first = RuntimeEndOfLine();
  VornStringRecord* second = getUNIXEndOfLine();
  EXPECT_STREQ(StringGetCString(first), "\n");
  EXPECT_STREQ(StringGetCString(second), "\n");
  RuntimeUnlockString(first);
  RuntimeUnlockString(second);
  VornStringRecord* again = RuntimeEndOfLine();  // still alive after the caller's releases
  EXPECT_STREQ(StringGetCString(again), "\n");
  RuntimeUnlockString(again);

  VornStringRecord* crlf = getWin32EndOfLine();
  const unsigned char* pascal = StringGetPString(crlf);
  EXPECT_EQ(pascal[0], 2);
  EXPECT_EQ(pascal[1], '\r');
  EXPECT_EQ(StringGetPString(nullptr)[0], 0);
  string text("x\ny");
  VornStringRecord* replaced = RuntimeReplaceLineEndings(text.Rep(), crlf);
  EXPECT_STREQ(StringGetCString(replaced), "x\r\ny");
  RuntimeUnlockString(replaced);
  RuntimeUnlockString(crlf);

  string utf8("\xC3\xA9" "abc", 5, vorn::kEncodingUTF8);
  EXPECT_EQ(StringDBCSLen(utf8.Rep()), 4);
  VornStringRecord* right = StringDBCSRight(utf8.Rep(), 3);
  EXPECT_STREQ(StringGetCString(right), "abc");
  RuntimeUnlockString(right);
  VornStringRecord* upper = StringUCase(utf8.Rep());
  EXPECT_STREQ(StringGetCString(upper), "\xC3\x89" "ABC");
  RuntimeUnlockString(upper);
}

}  // namespace
