#include <gtest/gtest.h>

#include <string>

#include "strings/line_endings.h"
#include "strings/mnemonics.h"
#include "strings/percent_coding.h"

using vorn::string;

namespace {

string UTF8(const char* text) { return string(std::string_view(text), vorn::kEncodingUTF8); }

TEST(Mnemonics, StripMarkersAndRecordTheFirstMarkedCharacter) {
  string caption("Save &As && &Quit");
  string mnemonic;
  vorn::StripAmpersands(caption, &mnemonic);
  EXPECT_STREQ(caption.CString(), "Save As & Quit");
  EXPECT_STREQ(mnemonic.CString(), "A");

  string doubled("&&Fish && Chips");
  vorn::StripAmpersands(doubled, &mnemonic);
  EXPECT_STREQ(doubled.CString(), "&Fish & Chips");
  EXPECT_EQ(mnemonic.Length(), 0);

  string trailing("Edit&");
  vorn::StripAmpersands(trailing, nullptr);
  EXPECT_STREQ(trailing.CString(), "Edit");

  string accented = UTF8("&\xC3\x89" "diter");
  vorn::StripAmpersands(accented, &mnemonic);
  EXPECT_STREQ(accented.CString(), "\xC3\x89" "diter");
  EXPECT_STREQ(mnemonic.CString(), "\xC3\x89");
  EXPECT_EQ(accented.Encoding(), vorn::kEncodingUTF8);
}

TEST(Mnemonics, CopyLeavesTheCaptionAlone) {
  string caption("Cu&t");
  string shared = caption;
  string stripped = vorn::StripAmpersandsCopy(caption);
  EXPECT_STREQ(stripped.CString(), "Cut");
  EXPECT_STREQ(caption.CString(), "Cu&t");
  EXPECT_STREQ(shared.CString(), "Cu&t");
  string plain("Plain");
  EXPECT_EQ(vorn::StripAmpersandsCopy(plain).Rep(), plain.Rep());
}

TEST(LineEndings, PlatformStrings) {
  EXPECT_STREQ(vorn::RuntimeEndOfLine().CString(), "\n");
  EXPECT_STREQ(vorn::getUNIXEndOfLine().CString(), "\n");
  EXPECT_STREQ(vorn::getMacEndOfLine().CString(), "\r");
  EXPECT_STREQ(vorn::getWin32EndOfLine().CString(), "\r\n");
  EXPECT_EQ(vorn::RuntimeEndOfLine().Encoding(), vorn::kEncodingASCII);
}

TEST(LineEndings, EveryConventionIsReplaced) {
  string mixed("a\r\nb\rc\nd\n\re");
  EXPECT_STREQ(vorn::RuntimeReplaceLineEndings(mixed, vorn::getMacEndOfLine()).CString(), "a\rb\rc\rd\r\re");
  EXPECT_STREQ(vorn::RuntimeReplaceLineEndings(mixed, vorn::getWin32EndOfLine()).CString(),
               "a\r\nb\r\nc\r\nd\r\n\r\ne");
  EXPECT_STREQ(vorn::RuntimeReplaceLineEndings(mixed, string()).CString(), "abcde");
  EXPECT_STREQ(vorn::RuntimeReplaceLineEndings(string("\r\n\r\n"), string("\n")).CString(), "\n\n");
  string none("no endings");
  EXPECT_EQ(vorn::RuntimeReplaceLineEndings(none, string("\n")).Rep(), none.Rep());
  EXPECT_EQ(vorn::RuntimeReplaceLineEndings(string(), string("\n")).Rep(), nullptr);
}

TEST(LineEndings, KeepTheTextsEncoding) {
  string utf8 = UTF8("\xC3\xA9\r\n\xC3\xA9");
  string result = vorn::RuntimeReplaceLineEndings(utf8, string("\r"));
  EXPECT_EQ(result.Encoding(), vorn::kEncodingUTF8);
  EXPECT_STREQ(result.CString(), "\xC3\xA9\r\xC3\xA9");

  // UTF-16 "a CR LF b" becomes "a LF b"; the ending is converted to UTF-16 as well. An odd last
  // byte equal to CR is not a line ending.
  string utf16("a\0\r\0\n\0b\0\r", 9, vorn::kEncodingUTF16);
  string converted = vorn::RuntimeReplaceLineEndings(utf16, string("\n"));
  EXPECT_EQ(converted.Encoding(), vorn::kEncodingUTF16);
  EXPECT_EQ(std::string(converted.View()), std::string("a\0\n\0b\0\r", 7));
}

TEST(PercentCoding, EncodesAllButTheUnreservedBytes) {
  EXPECT_STREQ(vorn::PercentEncode(UTF8("My File-1_v2.txt")).CString(), "My%20File-1_v2.txt");
  EXPECT_STREQ(vorn::PercentEncode(UTF8("\xC3\xA9/~%")).CString(), "%C3%A9%2F%7E%25");
  EXPECT_EQ(vorn::PercentEncode(UTF8("a b")).Encoding(), vorn::kEncodingASCII);
  EXPECT_EQ(vorn::PercentEncode(string()).Length(), 0);
}

TEST(PercentCoding, RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  string original(all, vorn::kEncodingUnknown);
  string encoded = vorn::PercentEncode(original);
  string decoded = vorn::PercentDecode(encoded, vorn::kEncodingUTF8);
  EXPECT_EQ(decoded.Encoding(), vorn::kEncodingUTF8);
  EXPECT_EQ(std::string(decoded.View()), all);
}

TEST(PercentCoding, MalformedSequencesStayAsTheyAre) {
  EXPECT_STREQ(vorn::PercentDecode(string("100%"), vorn::kEncodingUTF8).CString(), "100%");
  EXPECT_STREQ(vorn::PercentDecode(string("%4"), vorn::kEncodingUTF8).CString(), "%4");
  EXPECT_STREQ(vorn::PercentDecode(string("%zz%41"), vorn::kEncodingUTF8).CString(), "%zzA");
  EXPECT_STREQ(vorn::PercentDecode(string("%%41"), vorn::kEncodingUTF8).CString(), "%A");
  EXPECT_STREQ(vorn::PercentDecode(string("%c3%A9+x"), vorn::kEncodingUTF8).CString(), "\xC3\xA9+x");
  string nul = vorn::PercentDecode(string("a%00b"), vorn::kEncodingUTF8);
  EXPECT_EQ(nul.Length(), 3);
}

}  // namespace
