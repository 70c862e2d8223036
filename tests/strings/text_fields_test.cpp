#include <gtest/gtest.h>

#include <string>

#include "strings/text_fields.h"
#include "strings/text_replace.h"

using vorn::string;

namespace {

string UTF8(const char* text) { return string(std::string_view(text), vorn::kEncodingUTF8); }

std::vector<std::string> Texts(const std::vector<string>& pieces) {
  std::vector<std::string> texts;
  for (const string& piece : pieces) texts.emplace_back(piece.View());
  return texts;
}

TEST(Fields, CountIncludesEmptyFields) {
  EXPECT_EQ(vorn::CountFields(string("a,b,c"), string(",")), 3);
  EXPECT_EQ(vorn::CountFields(string("a,,b"), string(",")), 3);
  EXPECT_EQ(vorn::CountFields(string("a,"), string(",")), 2);
  EXPECT_EQ(vorn::CountFields(string(","), string(",")), 2);
  EXPECT_EQ(vorn::CountFields(string("abc"), string(",")), 1);
  EXPECT_EQ(vorn::CountFields(string(), string(",")), 0);
  EXPECT_EQ(vorn::CountFields(string("abc"), string()), 1);
  EXPECT_EQ(vorn::CountFields(string("a\r\nb\r\n"), string("\r\n")), 3);
}

TEST(Fields, NthFieldCountsFromOneAndIsEmptyPastTheLast) {
  string text(".jpg;.png;;gif");
  EXPECT_STREQ(vorn::NthField(text, string(";"), 1).CString(), ".jpg");
  EXPECT_STREQ(vorn::NthField(text, string(";"), 2).CString(), ".png");
  EXPECT_EQ(vorn::NthField(text, string(";"), 3).Length(), 0);
  EXPECT_STREQ(vorn::NthField(text, string(";"), 4).CString(), "gif");
  EXPECT_EQ(vorn::NthField(text, string(";"), 5).Length(), 0);
  EXPECT_EQ(vorn::NthField(text, string(";"), 0).Length(), 0);
  EXPECT_EQ(vorn::NthField(text, string(";"), -1).Length(), 0);
  // A name without "." has one field, so its second-to-last field is empty.
  EXPECT_EQ(vorn::NthField(string("Caption"), string("."), 0).Length(), 0);
  EXPECT_STREQ(vorn::NthField(string("abc"), string(), 1).CString(), "abc");
  EXPECT_EQ(vorn::NthField(string("abc"), string(), 2).Length(), 0);
}

TEST(Fields, TextDelimitersIgnoreCaseAndBytesDoNot) {
  string text("oneXtwoxthree");
  EXPECT_EQ(vorn::CountFields(text, string("x")), 3);
  EXPECT_STREQ(vorn::NthField(text, string("x"), 3).CString(), "three");
  EXPECT_EQ(vorn::CountFieldsB(text, string("x")), 2);
  EXPECT_STREQ(vorn::NthFieldB(text, string("x"), 1).CString(), "oneXtwo");
}

TEST(Fields, KeepTheSourceEncodingAndConvertTheDelimiter) {
  string latin1("a\xA7" "b\xA7" "c", 5, 0x0201);  // "§" separated
  string delimiter = UTF8("\xC2\xA7");
  EXPECT_EQ(vorn::CountFields(latin1, delimiter), 3);
  string second = vorn::NthField(latin1, delimiter, 2);
  EXPECT_STREQ(second.CString(), "b");
  EXPECT_EQ(second.Encoding(), 0x0201u);
  // The byte functions leave the delimiter's bytes as they are: C2 A7 is not in the text.
  EXPECT_EQ(vorn::CountFieldsB(latin1, delimiter), 1);
}

TEST(Split, SplitStringAtCharFollowsThePathRules) {
  std::vector<string> pieces{string("stale")};
  vorn::SplitStringAtChar(string("/usr//bin/"), '/', pieces);
  EXPECT_EQ(Texts(pieces), (std::vector<std::string>{"", "usr", "", "bin"}));
  for (const string& piece : pieces) {
    if (!piece.IsEmpty()) {
      EXPECT_EQ(piece.Encoding(), vorn::kEncodingUTF8);
    }
  }
  EXPECT_TRUE(vorn::SplitStringAtChar(string(), '/').empty());
  EXPECT_EQ(Texts(vorn::SplitStringAtChar(string("/"), '/')), (std::vector<std::string>{""}));
  EXPECT_EQ(Texts(vorn::SplitStringAtChar(string("a"), '/')), (std::vector<std::string>{"a"}));

  string latin1("\xE9/x", 3, 0x0201);
  EXPECT_EQ(Texts(vorn::SplitStringAtChar(latin1, '/')), (std::vector<std::string>{"\xC3\xA9", "x"}));
}

TEST(Split, SplitToVectorAppends) {
  std::vector<string> pieces{string("first")};
  vorn::SplitToVector(string("jpg;png;"), string(";"), pieces);
  EXPECT_EQ(Texts(pieces), (std::vector<std::string>{"first", "jpg", "png", ""}));
  vorn::SplitToVector(string(), string(";"), pieces);
  EXPECT_EQ(pieces.size(), 4u);
}

TEST(Replace, ReplacesEveryOccurrenceWithoutRescanning) {
  EXPECT_STREQ(vorn::ReplaceAll(string("a.b.c"), string("."), string("..")).CString(), "a..b..c");
  EXPECT_STREQ(vorn::ReplaceAll(string("aaaa"), string("aa"), string("a")).CString(), "aa");
  EXPECT_STREQ(vorn::ReplaceAll(string("SELECT * WHERE id=%1"), string("%1"), string("42")).CString(),
               "SELECT * WHERE id=42");
  EXPECT_STREQ(vorn::ReplaceAll(string("x%1y"), string("%1"), string()).CString(), "xy");
  EXPECT_STREQ(vorn::ReplaceAll(string("Cat cat CAT"), string("cat"), string("dog")).CString(), "dog dog dog");
  EXPECT_STREQ(vorn::ReplaceAllB(string("Cat cat CAT"), string("cat"), string("dog")).CString(), "Cat dog CAT");
  EXPECT_STREQ(vorn::ReplaceAllB(string("path\n"), string("\n"), string()).CString(), "path");
}

TEST(Replace, EmptyFindOrSourceGivesTheSource) {
  string source("abc");
  EXPECT_EQ(vorn::ReplaceAll(source, string(), string("x")).Rep(), source.Rep());
  EXPECT_EQ(vorn::ReplaceAllB(source, string(), string("x")).Rep(), source.Rep());
  EXPECT_EQ(vorn::ReplaceAll(string(), string("a"), string("x")).Rep(), nullptr);
  EXPECT_EQ(vorn::ReplaceAll(source, string("z"), string("x")).Rep(), source.Rep());
}

TEST(Replace, ConvertsFindAndReplacementToTheSourceEncoding) {
  string latin1("caf\xE9 CAF\xC9", 9, 0x0201);
  string result = vorn::ReplaceAll(latin1, UTF8("caf\xC3\xA9"), UTF8("th\xC3\xA9"));
  EXPECT_EQ(result.Encoding(), 0x0201u);
  EXPECT_STREQ(result.CString(), "th\xE9 th\xE9");
  // UTF-8 text where the match and the find differ in byte length.
  string dotless = UTF8("F\xC4\xB1LE file");
  EXPECT_STREQ(vorn::ReplaceAll(dotless, string("file"), string("doc")).CString(), "doc doc");
  // ISO-2022-JP 漢a: a kanji stays ISO-2022-JP, an escape character, which it cannot hold, UTF-8.
  const string jis("\x1B$B4A\x1B(Ba", 9, 0x0820);
  EXPECT_EQ(vorn::ReplaceAll(jis, string("A"), UTF8("\xE5\xAD\x97")).Encoding(), 0x0820u);
  const string escaped = vorn::ReplaceAll(jis, string("A"), UTF8("\x1B"));
  EXPECT_EQ(vorn::ConvertTextEncoding(escaped, vorn::kEncodingUTF8).View(), "\xE6\xBC\xA2\x1B");
}

}  // namespace
