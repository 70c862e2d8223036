#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

#include "strings/system_encoding.h"
#include "strings/text_chars.h"
#include "strings/utf8.h"

using vorn::string;

namespace {

TEST(UTF8Decode, DecodesEachSequenceLength) {
  const char text[] = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a, é, €, 😀
  auto length = static_cast<int32_t>(std::strlen(text));
  vorn::UTF8Char c = vorn::UTF8DecodeChar(text, length, 0);
  EXPECT_EQ(c.codePoint, 'a');
  EXPECT_EQ(c.size, 1);
  c = vorn::UTF8DecodeChar(text, length, 1);
  EXPECT_EQ(c.codePoint, 0xE9u);
  EXPECT_EQ(c.size, 2);
  c = vorn::UTF8DecodeChar(text, length, 3);
  EXPECT_EQ(c.codePoint, 0x20ACu);
  EXPECT_EQ(c.size, 3);
  c = vorn::UTF8DecodeChar(text, length, 6);
  EXPECT_EQ(c.codePoint, 0x1F600u);
  EXPECT_EQ(c.size, 4);
  EXPECT_TRUE(c.valid);
  EXPECT_EQ(vorn::UTF8AdvanceChars(text, length, 0, 3), 6);
  EXPECT_EQ(vorn::UTF8AdvanceChars(text, length, 0, 100), length);
}

TEST(UTF8Decode, MalformedSequencesTakeOneByte) {
  const char* cases[] = {
      "\x80",              // stray continuation
      "\xC0\xAF",          // overlong "/"
      "\xE0\x80\xAF",      // overlong
      "\xED\xA0\x80",      // surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xF5\x80\x80\x80",  // no such lead byte
      "\xE2\x82",          // cut off by the end
      "\xE2\x41\x41",      // cut off by an ASCII byte
  };
  for (const char* text : cases) {
    auto length = static_cast<int32_t>(std::strlen(text));
    vorn::UTF8Char c = vorn::UTF8DecodeChar(text, length, 0);
    EXPECT_FALSE(c.valid) << testing::PrintToString(text);
    EXPECT_EQ(c.size, 1);
    EXPECT_EQ(c.codePoint, vorn::kReplacementCharacter);
    EXPECT_EQ(vorn::UTF8NextChar(text, length, 0), 1);
  }
}

TEST(UTF8Decode, NeverReadsPastTheGivenLength) {
  // A valid 3-byte sequence whose last byte lies beyond the length counts as invalid.
  const char text[] = "\xE2\x82\xAC";
  EXPECT_FALSE(vorn::UTF8DecodeChar(text, 2, 0).valid);
  EXPECT_EQ(vorn::UTF8DecodeChar(text, 2, 2).size, 0);
  EXPECT_EQ(vorn::UTF8DecodeChar(text, 3, -1).size, 0);
  EXPECT_EQ(vorn::UTF8NextChar(text, 3, 7), 3);
  EXPECT_EQ(vorn::UTF8AdvanceChars(text, 3, -5, 1), 3);
  EXPECT_EQ(vorn::UTF8AdvanceChars(text, 3, 1, 0), 1);
}

TEST(CodePointToString, MakesOneCharacterInTheEncoding) {
  string euro = vorn::CodePointToString(0x20AC, vorn::kEncodingUTF8);
  EXPECT_EQ(euro.Encoding(), vorn::kEncodingUTF8);
  EXPECT_STREQ(euro.CString(), "\xE2\x82\xAC");

  string eAcute = vorn::CodePointToString(0xE9, vorn::kEncodingLatin1);
  EXPECT_EQ(eAcute.Encoding(), vorn::kEncodingLatin1);
  EXPECT_STREQ(eAcute.CString(), "\xE9");

  string utf16 = vorn::CodePointToString(0x1F600, vorn::kEncodingUTF16);
  ASSERT_EQ(utf16.Length(), 4);
  EXPECT_EQ(std::memcmp(utf16.CString(), "\x3D\xD8\x00\xDE", 4), 0);

  EXPECT_STREQ(vorn::CodePointToString(0xD800, vorn::kEncodingUTF8).CString(), "\xEF\xBF\xBD");
  EXPECT_STREQ(vorn::CodePointToString(0x110000, vorn::kEncodingUTF8).CString(), "\xEF\xBF\xBD");
  // A character the encoding lacks becomes its substitute.
  EXPECT_STREQ(vorn::CodePointToString(0x20AC, vorn::kEncodingLatin1).CString(), "?");
}

TEST(SystemEncoding, CharsetNamesMapToCodes) {
  EXPECT_EQ(vorn::EncodingFromCharsetName("UTF-8"), vorn::kEncodingUTF8);
  EXPECT_EQ(vorn::EncodingFromCharsetName("utf8"), vorn::kEncodingUTF8);
  EXPECT_EQ(vorn::EncodingFromCharsetName("ISO-8859-1"), vorn::kEncodingLatin1);
  EXPECT_EQ(vorn::EncodingFromCharsetName("eucJP"), vorn::kEncodingEUCJP);
  EXPECT_EQ(vorn::EncodingFromCharsetName("ANSI_X3.4-1968"), vorn::kEncodingUTF8);
  EXPECT_EQ(vorn::EncodingFromCharsetName("no-such-set"), vorn::kEncodingUnknown);
  EXPECT_EQ(vorn::EncodingFromCharsetName(nullptr), vorn::kEncodingUnknown);

  // The test runs in the C locale or a UTF-8 one: no double-byte lead bytes there.
  EXPECT_EQ(vorn::GetSystemTextEncoding(), vorn::kEncodingUTF8);
  for (int b = 0; b < 256; ++b) EXPECT_FALSE(vorn::IsSystemLeadByte(static_cast<uint8_t>(b)));
}

TEST(SystemEncoding, DoubleByteLeadBytes) {
  EXPECT_TRUE(vorn::IsDoubleByteLeadByte(vorn::kEncodingShiftJIS, 0x82));
  EXPECT_TRUE(vorn::IsDoubleByteLeadByte(vorn::kEncodingShiftJIS, 0xE0));
  EXPECT_FALSE(vorn::IsDoubleByteLeadByte(vorn::kEncodingShiftJIS, 0xA5));  // half-width katakana
  EXPECT_FALSE(vorn::IsDoubleByteLeadByte(vorn::kEncodingShiftJIS, 'A'));
  EXPECT_TRUE(vorn::IsDoubleByteLeadByte(vorn::kEncodingEUCJP, 0xA4));
  EXPECT_FALSE(vorn::IsDoubleByteLeadByte(vorn::kEncodingUTF8, 0xC3));
}

TEST(TextChars, CountsCharactersOfEachScheme) {
  using vorn::CharScheme;
  // UTF-16 "a😀" plus an odd trailing byte, and a lone low surrogate.
  const char utf16[] = "a\0\x3D\xD8\x00\xDE\x00\xDC\x7F";
  EXPECT_EQ(vorn::CountChars(utf16, 9, CharScheme::kUTF16), 4);
  EXPECT_FALSE(vorn::DecodeTextChar(utf16, 9, 6, CharScheme::kUTF16).valid);
  vorn::TextChar odd = vorn::DecodeTextChar(utf16, 9, 8, CharScheme::kUTF16);
  EXPECT_FALSE(odd.valid);
  EXPECT_EQ(odd.size, 1);

  // UTF-32 with a value above U+10FFFF and two cut-off bytes.
  const char utf32[] = "A\0\0\0\0\0\x11\0\x42\0";
  EXPECT_EQ(vorn::CountChars(utf32, 10, CharScheme::kUTF32), 3);
  EXPECT_FALSE(vorn::DecodeTextChar(utf32, 10, 4, CharScheme::kUTF32).valid);

  // Shift_JIS "あa" and a lead byte at the very end.
  const char sjis[] = "\x82\xA0" "a\x82";
  EXPECT_EQ(vorn::CountChars(sjis, 4, CharScheme::kShiftJIS), 3);
  EXPECT_EQ(vorn::OffsetOfChar(sjis, 4, 1, CharScheme::kShiftJIS), 2);
  // EUC-JP: a 3-byte character, a 2-byte one, a stray trail byte.
  const char euc[] = "\x8F\xB0\xA1\xA4\xA2\xA1";
  EXPECT_EQ(vorn::CountChars(euc, 6, CharScheme::kEUCJP), 3);
}

}  // namespace
