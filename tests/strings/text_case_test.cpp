#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "strings/case_table.h"
#include "strings/char_count.h"
#include "strings/system_encoding.h"
#include "strings/text_case.h"

using vorn::string;

namespace {

string UTF8(const char* text) { return string(std::string_view(text), vorn::kEncodingUTF8); }

TEST(Case, MapsUTF8LettersAndKeepsInvalidBytes) {
  string mixed = UTF8("Stra\xC3\x9F" "e \xC3\xA9t\xC3\xA9 \xCE\xB1\xCE\xB2 \xFF!");
  string upper = vorn::StringUCase(mixed);
  EXPECT_EQ(upper.Encoding(), vorn::kEncodingUTF8);
  // ß has no one-character capital and stays; é -> É, α β -> Α Β, the invalid FF is kept.
  EXPECT_STREQ(upper.CString(), "STRA\xC3\x9F" "E \xC3\x89T\xC3\x89 \xCE\x91\xCE\x92 \xFF!");
  EXPECT_STREQ(vorn::StringLCase(upper).CString(), "stra\xC3\x9F" "e \xC3\xA9t\xC3\xA9 \xCE\xB1\xCE\xB2 \xFF!");
  // A truncated sequence at the end is copied, not decoded past the end.
  string cut("ab\xE2\x82", 4, vorn::kEncodingUTF8);
  string cutUpper = vorn::StringUCase(cut);
  ASSERT_EQ(cutUpper.Length(), 4);
  EXPECT_EQ(std::memcmp(cutUpper.CString(), "AB\xE2\x82", 4), 0);
}

TEST(Case, Latin1FollowsTheRuntimeTable) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  string latin1(all, vorn::kEncodingLatin1);
  string upper = vorn::StringUCase(latin1);
  ASSERT_EQ(upper.Length(), 255);
  for (int b = 1; b < 256; ++b) {
    EXPECT_EQ(static_cast<uint8_t>(upper.CString()[b - 1]), vorn::kUpperCaseTable[b]) << b;
  }
  string lower = vorn::StringLCase(string("\xC9L\xC8VE \xD7\xDE", 8, vorn::kEncodingLatin1));
  EXPECT_STREQ(lower.CString(), "\xE9l\xE8ve \xD7\xFE");  // the multiplication sign stays
}

TEST(Case, OtherEncodingsMapOnlyWhatTheyCanHold) {
  // Windows Latin-1 has both cases of s-caron (9A/8A) and y-diaeresis (FF/9F).
  string cp1252("\x9A\xFF", 2, vorn::kEncodingWindowsLatin1);
  EXPECT_STREQ(vorn::StringUCase(cp1252).CString(), "\x8A\x9F");
  // In Latin-1 the capital of ÿ does not exist: ÿ stays.
  EXPECT_STREQ(vorn::StringUCase(string("\xFF", 1, vorn::kEncodingLatin1)).CString(), "\xFF");
  // US-ASCII and unknown change ASCII letters only.
  EXPECT_STREQ(vorn::StringUCase(string("ab\xE9", 3, vorn::kEncodingUnknown)).CString(), "AB\xE9");
  // Shift_JIS: the trail byte 0x61 ("a") of a double-byte character is left alone.
  string sjis("\x82\x61" "a", 3, vorn::kEncodingShiftJIS);
  EXPECT_EQ(std::string(vorn::StringUCase(sjis).View()), std::string("\x82\x61" "A"));
}

TEST(Case, UTF16IsMappedByCharacter) {
  string utf16 = vorn::ConvertTextEncoding(UTF8("a\xC3\xA9\xF0\x90\x90\xA8"), vorn::kEncodingUTF16);  // a é 𐐨
  string upper = vorn::StringUCase(utf16);
  EXPECT_EQ(upper.Encoding(), vorn::kEncodingUTF16);
  EXPECT_STREQ(vorn::ConvertTextEncoding(upper, vorn::kEncodingUTF8).CString(), "A\xC3\x89\xF0\x90\x90\x80");
  // An odd last byte is kept.
  string odd("a\0b", 3, vorn::kEncodingUTF16);
  string oddUpper = vorn::StringUCase(odd);
  ASSERT_EQ(oddUpper.Length(), 3);
  EXPECT_EQ(std::memcmp(oddUpper.CString(), "A\0b", 3), 0);
}

TEST(Case, UnchangedStringsComeBackShared) {
  string digits("123");
  EXPECT_EQ(vorn::StringUCase(digits).Rep(), digits.Rep());
  string upper = UTF8("\xC3\x89T\xC3\x89");
  EXPECT_EQ(vorn::StringUCase(upper).Rep(), upper.Rep());
  EXPECT_EQ(vorn::StringLCase(string()).Rep(), nullptr);
}

TEST(CharCount, CountsUTF8Characters) {
  string text = UTF8("h\xC3\xA9llo \xE2\x82\xAC\xF0\x9F\x98\x80");  // h é l l o space € 😀
  EXPECT_EQ(text.Length(), 14);
  EXPECT_EQ(vorn::StringDBCSLen(text), 8);
  EXPECT_STREQ(vorn::StringDBCSLeft(text, 2).CString(), "h\xC3\xA9");
  EXPECT_STREQ(vorn::StringDBCSRight(text, 2).CString(), "\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_STREQ(vorn::StringDBCSMid2(text, 7).CString(), "\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(vorn::StringDBCSLeft(text, 8).Rep(), text.Rep());
  EXPECT_EQ(vorn::StringDBCSRight(text, 99).Rep(), text.Rep());
  EXPECT_EQ(vorn::StringDBCSLeft(text, 0).Length(), 0);
  EXPECT_EQ(vorn::StringDBCSRight(text, -2).Length(), 0);
  EXPECT_EQ(vorn::StringDBCSMid2(text, 0).Rep(), text.Rep());
  EXPECT_EQ(vorn::StringDBCSMid2(text, 9).Length(), 0);
  EXPECT_EQ(vorn::StringDBCSLeft(text, 3).Encoding(), vorn::kEncodingUTF8);
}

TEST(CharCount, InvalidBytesCountOneEach) {
  string broken("a\xE2\x82" "b\x80", 5, vorn::kEncodingUTF8);
  EXPECT_EQ(vorn::StringDBCSLen(broken), 5);
  EXPECT_EQ(vorn::StringDBCSRight(broken, 2).Length(), 2);
  string latin1("\xE9t\xE9", 3, vorn::kEncodingLatin1);
  EXPECT_EQ(vorn::StringDBCSLen(latin1), 3);
  string sjis("\x82\xA0\x82\xA2" "a", 5, vorn::kEncodingShiftJIS);
  EXPECT_EQ(vorn::StringDBCSLen(sjis), 3);
  EXPECT_EQ(std::string(vorn::StringDBCSMid2(sjis, 2).View()), "\x82\xA2" "a");
}

}  // namespace
