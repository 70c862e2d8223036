// The string rows compiled code calls by name, one table per family.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "strings/string_entry_points.h"
#include "strings/system_encoding.h"
#include "strings/vstring.h"
#include "support/process_locale.h"

using vorn::string;

namespace {

// "Grüße €" in UTF-8: 11 bytes, 7 characters.
constexpr const char* kMulti = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC";

string UTF8(const char* text) { return string(std::string_view(text), vorn::kEncodingUTF8); }

std::string Take(VornStringRecord* rep) { return std::string(string::Adopt(rep).View()); }

struct TextCase {
  const char* what;
  std::function<VornStringRecord*(VornStringRecord*)> call;
  const char* input;  // nullptr: the nil string
  std::string expected;
};

TEST(StringRows, PositionsAndLengths) {
  const TextCase cases[] = {
      {"Left 0", [](auto s) { return StringLeft(s, 0); }, "abc", ""},
      {"Left -5", [](auto s) { return StringLeft(s, -5); }, "abc", ""},
      {"Left beyond", [](auto s) { return StringLeft(s, 1 << 30); }, "abc", "abc"},
      {"Left nil", [](auto s) { return StringLeft(s, 2); }, nullptr, ""},
      {"Right 2", [](auto s) { return StringRight(s, 2); }, "abc", "bc"},
      {"Right -1", [](auto s) { return StringRight(s, -1); }, "abc", ""},
      {"Mid2 from 2", [](auto s) { return StringMid2(s, 2); }, "abc", "bc"},
      {"Mid2 from 0", [](auto s) { return StringMid2(s, 0); }, "abc", "abc"},
      {"Mid2 from -7", [](auto s) { return StringMid2(s, -7); }, "abc", "abc"},
      {"Mid2 past end", [](auto s) { return StringMid2(s, 4); }, "abc", ""},
      {"Mid3", [](auto s) { return StringMid3(s, 2, 1); }, "abc", "b"},
      {"Mid3 length 0", [](auto s) { return StringMid3(s, 2, 0); }, "abc", ""},
      {"Mid3 length -1", [](auto s) { return StringMid3(s, 1, -1); }, "abc", ""},
      {"Mid3 huge", [](auto s) { return StringMid3(s, 2, 0x7FFFFFFF); }, "abc", "bc"},
      {"Mid3 start huge", [](auto s) { return StringMid3(s, 0x7FFFFFFF, 3); }, "abc", ""},
      {"Mid3 characters", [](auto s) { return StringMid3(s, 3, 2); }, kMulti, "\xC3\xBC\xC3\x9F"},
      {"Mid2 characters", [](auto s) { return StringMid2(s, 7); }, kMulti, "\xE2\x82\xAC"},
      {"Left characters", [](auto s) { return StringLeft(s, 3); }, kMulti, "Gr\xC3\xBC"},
      {"Right characters", [](auto s) { return StringRight(s, 2); }, kMulti, " \xE2\x82\xAC"},
      {"DBCSMid3 chars", [](auto s) { return StringDBCSMid3(s, 3, 2); }, kMulti, "\xC3\xBC\xC3\x9F"},
      {"DBCSMid3 0", [](auto s) { return StringDBCSMid3(s, 3, 0); }, kMulti, ""},
      {"DBCSMid3 past end", [](auto s) { return StringDBCSMid3(s, 8, 1); }, kMulti, ""},
      {"DBCSMid3 negative start", [](auto s) { return StringDBCSMid3(s, -3, 1); }, kMulti, "G"},
      {"DBCSMid3 one char", [](auto s) { return StringDBCSMid3(s, 1, 9); }, "\xE2\x82\xAC", "\xE2\x82\xAC"},
  };
  for (const TextCase& c : cases) {
    string input = c.input ? UTF8(c.input) : string();
    EXPECT_EQ(Take(c.call(input.Rep())), c.expected) << c.what;
  }
  EXPECT_EQ(StringLen(nullptr), 0);
  EXPECT_EQ(StringLen(UTF8(kMulti).Rep()), 7);
  EXPECT_EQ(StringLen(string("\x82\xA0\x82\xA2", 4, vorn::kEncodingShiftJIS).Rep()), 2);
  EXPECT_EQ(StringDBCSLen(UTF8(kMulti).Rep()), 7);
}

TEST(StringRows, SearchingByBytesAndByCharacters) {
  string multi = UTF8(kMulti);
  string euro = UTF8("\xE2\x82\xAC");
  string e = UTF8("E");
  struct {
    const char* what;
    int32_t got, expected;
  } cases[] = {
      {"InStr character position", StringInStr(1, multi.Rep(), euro.Rep()), 7},
      {"InStrB byte position", StringInStrB(1, multi.Rep(), euro.Rep()), 9},
      {"InStr from a character start", StringInStr(4, multi.Rep(), e.Rep()), 5},
      {"InStrB from a byte start", StringInStrB(4, multi.Rep(), UTF8("e").Rep()), 7},
      {"DBCSInStr character position", StringDBCSInStr(1, multi.Rep(), euro.Rep()), 7},
      {"DBCSInStr ignores case", StringDBCSInStr(1, multi.Rep(), e.Rep()), 5},
      {"DBCSInStr from past the match", StringDBCSInStr(6, multi.Rep(), e.Rep()), 0},
      {"DBCSInStr start beyond the end", StringDBCSInStr(100, multi.Rep(), euro.Rep()), 0},
      {"DBCSInStr negative start", StringDBCSInStr(-4, multi.Rep(), euro.Rep()), 7},
      {"DBCSInStr empty text", StringDBCSInStr(1, nullptr, euro.Rep()), 0},
      {"DBCSInStr empty pattern", StringDBCSInStr(1, multi.Rep(), nullptr), 0},
      {"method InStr counts characters", StringExtendsInStr(multi.Rep(), 1, e.Rep()), 5},
      {"method InStrB is exact", StringExtendsInStrB(multi.Rep(), 1, e.Rep()), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(StringRows, CharacterCodes) {
  string latin1("\xE9t\xE9", 3, 0x0201);
  struct {
    const char* what;
    string text;
    int32_t expected;
  } ascCases[] = {
      {"empty", string(), 0},
      {"ASCII", UTF8("A"), 65},
      {"UTF-8 code point", UTF8("\xE2\x82\xAC!"), 0x20AC},
      {"Latin-1 byte", latin1, 0xE9},
      {"invalid UTF-8 byte", UTF8("\xFF"), 0xFF},
      {"ISO-2022-JP past its escape", string("\x1B$B4A\x1B(B", 8, 0x0820), 0x6F22},  // 漢
  };
  for (const auto& c : ascCases) {
    EXPECT_EQ(StringAsc(c.text.Rep()), c.expected) << c.what;
    EXPECT_EQ(StringDBCSAsc(c.text.Rep()), c.expected) << c.what;
  }
  struct {
    int32_t code;
    std::string expected;
  } chrCases[] = {{65, "A"}, {0xE9, "\xC3\xA9"}, {0x1F600, "\xF0\x9F\x98\x80"}, {-1, "\xEF\xBF\xBD"},
                  {0x110000, "\xEF\xBF\xBD"}, {0xD800, "\xEF\xBF\xBD"}};
  for (const auto& c : chrCases) {
    EXPECT_EQ(Take(StringChr(c.code)), c.expected) << c.code;
    EXPECT_EQ(Take(StringDBCSChr(c.code)), c.expected) << c.code;
  }
}

TEST(StringRows, TrimReplaceAndCase) {
  const TextCase cases[] = {
      {"Trim", runTrim, " \t a b \t", "a b"},
      {"LTrim", runLTrim, " \t a b \t", "a b \t"},
      {"RTrim", runRTrim, " \t a b \t", " \t a b"},
      {"Trim blanks only", runTrim, " \t ", ""},
      {"Trim keeps other spaces", runTrim, "\n\xC2\xA0x", "\n\xC2\xA0x"},
      {"Trim nil", runTrim, nullptr, ""},
      {"Replace first only, any case",
       [](auto s) { return StringReplace(s, UTF8("A").Rep(), UTF8("\xE2\x82\xAC").Rep()); }, "banana",
       "b\xE2\x82\xAC" "nana"},
      {"ReplaceB exact", [](auto s) { return StringReplaceB(s, UTF8("A").Rep(), UTF8("o").Rep()); }, "banAna",
       "banona"},
      {"Replace absent", [](auto s) { return StringReplace(s, UTF8("x").Rep(), UTF8("y").Rep()); }, "abc", "abc"},
      {"Replace empty find", [](auto s) { return StringReplace(s, nullptr, UTF8("y").Rep()); }, "abc", "abc"},
      {"TitleCase", StringTitleCase, "hELLO wORLD, it's \xC3\xA9t\xC3\xA9-time", "Hello World, It's \xC3\x89t\xC3\xA9-Time"},
      {"TitleCase empty", StringTitleCase, "", ""},
      {"TitleCase digits start words", StringTitleCase, "2nd ave", "2nd Ave"},
      {"TitleCase invalid byte", StringTitleCase, "\xFF" "ab", "\xFF" "Ab"},
  };
  for (const TextCase& c : cases) {
    string input = c.input ? UTF8(c.input) : string();
    EXPECT_EQ(Take(c.call(input.Rep())), c.expected) << c.what;
  }
  string latin1("\xE9t\xE9 d\xE9j\xE0", 8, 0x0201);
  string titled = string::Adopt(StringTitleCase(latin1.Rep()));
  EXPECT_EQ(titled.Encoding(), 0x0201u);
  EXPECT_EQ(std::string(titled.View()), "\xC9t\xE9 D\xE9j\xE0");
}

TEST(StringRows, ComparingAndJoining) {
  string lower = UTF8("abc"), upper = UTF8("ABC"), longer = UTF8("abcd");
  string latin1("\xE9", 1, 0x0201), utf8 = UTF8("\xC3\xA9"), empty = UTF8("");
  // UTF-16 U+4E41 and U+4E61 are the bytes "AN" and "aN"; U+4E00 is "\0N", "0" is "0\0".
  string u4e41("\x41\x4E", 2, vorn::kEncodingUTF16), u4e61("\x61\x4E", 2, vorn::kEncodingUTF16);
  string u4e00("\x00\x4E", 2, vorn::kEncodingUTF16), zero("0\0", 2, vorn::kEncodingUTF16);
  string latin1I("I", 1, 0x0201), dotless = UTF8("\xC4\xB1");  // dotless i folds to I
  string macDotless("\xF5", 1, vorn::kEncodingMacRoman), taggedASCII("\xE9", 1, vorn::kEncodingASCII);
  string macE("\x8E", 1, vorn::kEncodingMacRoman), macCapitalE("\x83", 1, vorn::kEncodingMacRoman);
  string sjisDi("\x83\x61", 2, 0x0A01), sjisA("\x83\x41", 2, 0x0A01);  // ヂ and ア: trail bytes "a", "A"
  string jisKan("\x1B$B4A\x1B(B", 8, 0x0820), kanB = UTF8("\xE6\xBC\xA2" "b");  // 漢 in ISO-2022-JP
  string jisRaw80("\x1B$B4A\x1B(B\x80", 9, 0x0820), jisRaw81("\x1B$B4A\x1B(B\x81", 9, 0x0820);  // no text
  // Full-width ａ and Ａ before 0x8540, which is no character: raw text, compared by its bytes.
  string sjisRawLower("\x82\x81\x85\x40", 4, 0x0A01), sjisRawUpper("\x82\x60\x85\x40", 4, 0x0A01);
  // U+1F601 against a lone high surrogate before "a": the texts part inside the pair.
  string pair("\x3D\xD8\x01\xDE", 4, vorn::kEncodingUTF16), loneHigh("\x3D\xD8\x61\x00", 4, vorn::kEncodingUTF16);
  // Past several blocks of equal text, é against É.
  string longLower = vorn::ConvertTextEncoding(UTF8((std::string(9000, 'a') + "\xC3\xA9").c_str()), vorn::kEncodingUTF16);
  string longUpper = vorn::ConvertTextEncoding(UTF8((std::string(9000, 'A') + "\xC3\x89").c_str()), vorn::kEncodingUTF16);
  string longMixed = vorn::ConvertTextEncoding(UTF8((std::string(9000, 'a') + "\xC3\x89").c_str()), vorn::kEncodingUTF16);
  string longCapitalFirst = vorn::ConvertTextEncoding(UTF8(("A" + std::string(8999, 'a') + "\xC3\xA9").c_str()), vorn::kEncodingUTF16);
  struct {
    const char* what;
    int32_t got, expected;
  } cases[] = {
      {"StrComp text ignores case", StringStrCompare(lower.Rep(), upper.Rep(), 1), 0},
      {"StrComp binary sees case", StringStrCompare(lower.Rep(), upper.Rep(), 0), 1},
      {"StrComp prefix first", StringStrCompare(lower.Rep(), longer.Rep(), 0), -1},
      {"StrComp other mode counts as text", StringStrCompare(lower.Rep(), upper.Rep(), 7), 0},
      {"compare ignores case", RuntimeStringCompare(upper.Rep(), lower.Rep()), 0},
      {"nil sorts first", RuntimeStringCompare(nullptr, lower.Rep()), -1},
      {"nil equals empty", RuntimeStringCompare(nullptr, empty.Rep()), 0},
      {"encodings brought together", RuntimeStringCompare(latin1.Rep(), utf8.Rep()), 0},
      {"UTF-16 folds characters, not bytes", RuntimeStringCompare(u4e41.Rep(), u4e61.Rep()), -1},
      {"UTF-16 orders by character", RuntimeStringCompare(u4e00.Rep(), zero.Rep()), 1},
      {"either side first: ASCII text of an 8-bit encoding", RuntimeStringCompare(latin1I.Rep(), dotless.Rep()), 0},
      {"either side first: UTF-8", RuntimeStringCompare(dotless.Rep(), latin1I.Rep()), 0},
      {"two 8-bit encodings meet as characters", RuntimeStringCompare(macDotless.Rep(), latin1I.Rep()), 0},
      {"ASCII-tagged bytes read as the other side's", RuntimeStringCompare(taggedASCII.Rep(), latin1.Rep()), 0},
      {"MacRoman letters fold as characters", RuntimeStringCompare(macE.Rep(), macCapitalE.Rep()), 0},
      {"a Shift_JIS trail byte is no letter", RuntimeStringCompare(sjisDi.Rep(), sjisA.Rep()), 1},
      {"ISO-2022-JP bytes are never ASCII", RuntimeStringCompare((jisKan + UTF8("b")).Rep(), kanB.Rep()), 0},
      {"ISO-2022-JP that is no text compares by its bytes", RuntimeStringCompare(jisRaw80.Rep(), jisRaw81.Rep()), -1},
      {"Shift_JIS without a character folds only its bytes", RuntimeStringCompare(sjisRawLower.Rep(), sjisRawUpper.Rep()), 1},
      {"a pair read whole where texts part inside it", RuntimeStringCompare(pair.Rep(), loneHigh.Rep()), -1},
      {"the same, byte for byte", StringStrCompare(pair.Rep(), loneHigh.Rep(), 0), -1},
      {"long UTF-16 texts differing in case", RuntimeStringCompare(longLower.Rep(), longUpper.Rep()), 0},
      {"the same, byte for byte", StringStrCompare(longLower.Rep(), longMixed.Rep(), 0), 1},
      {"long UTF-16 texts differing first", StringStrCompare(longCapitalFirst.Rep(), longLower.Rep(), 0), -1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;

  string joined = string::Adopt(RuntimeAddString(latin1.Rep(), utf8.Rep()));
  EXPECT_EQ(std::string(joined.View()), "\xC3\xA9\xC3\xA9");
  EXPECT_EQ(Take(RuntimeAddString(nullptr, lower.Rep())), "abc");
  EXPECT_EQ(RuntimeAddString(nullptr, nullptr), nullptr);

  VornStringRecord* held = string("held").GetRetainedRep();
  VornStringRecord* next = string("next").GetRetainedRep();
  RuntimeLockUnlockStrings(next, held);  // held goes with its last reference
  EXPECT_EQ(next->refCount, 2);
  RuntimeUnlockString(next);
  RuntimeUnlockString(next);
}

TEST(StringRows, CStrAndCTexts) {
  vorn::test::ProcessLocale c("C");  // CStr in the other locales: number_locale_test
  EXPECT_EQ(Take(runCStr(2.5)), "2.5");
  EXPECT_EQ(Take(runCStr(-1234567.0)), "-1.234567e+6");
  string text("abc");
  EXPECT_STREQ(StringToCString(text.Rep()), "abc");
  EXPECT_STREQ(StringToCString(nullptr), "");
  EXPECT_EQ(StringToPString(text.Rep())[0], 3);
  EXPECT_EQ(StringToPString(nullptr)[0], 0);
}

}  // namespace
