#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "strings/char_count.h"
#include "strings/support/literal_text.h"
#include "strings/system_encoding.h"
#include "strings/text_fields.h"
#include "strings/text_replace.h"
#include "strings/text_search.h"

using vorn::string;

namespace {

string UTF8(const char* text) { return string(std::string_view(text), vorn::kEncodingUTF8); }

TEST(FindBytes, FindsAtOrAfterStart) {
  string text("abcabc");
  EXPECT_EQ(vorn::FindBytesInString(0, text, string("bc")), 1);
  EXPECT_EQ(vorn::FindBytesInString(2, text, string("bc")), 4);
  EXPECT_EQ(vorn::FindBytesInString(5, text, string("bc")), -1);
  EXPECT_EQ(vorn::FindBytesInString(-4, text, string("a")), 0);
  EXPECT_EQ(vorn::FindBytesInString(99, text, string("a")), -1);
  EXPECT_EQ(vorn::FindBytesInString(0, text, string("ABC")), -1);
  EXPECT_EQ(vorn::FindBytesInString(0, text, string()), -1);
  EXPECT_EQ(vorn::FindBytesInString(0, string(), string("a")), -1);
  // Bytes after an embedded NUL are searched too.
  string withNul("a\0b", 3, vorn::kEncodingASCII);
  EXPECT_EQ(vorn::FindBytesInString(0, withNul, string("b")), 2);
}

TEST(StringFind, IgnoresCaseInShortcutTexts) {
  EXPECT_EQ(vorn::StringFind(string("Ctrl+Shift+S"), string("shift")), 5);
  EXPECT_EQ(vorn::StringFind(string("Z"), string("shift")), -1);
  EXPECT_EQ(vorn::StringFind(string("Alt+Q"), string("alt")), 0);
  EXPECT_EQ(vorn::StringFind(6, string("Shift+shift"), string("SHIFT")), 6);
  EXPECT_EQ(vorn::StringFind(string("abc"), string()), -1);
}

TEST(StringFind, FoldsUTF8LettersOfDifferentSizes) {
  string text = UTF8("Stra\xC3\x9F" "e CAF\xC3\x89 caf\xC3\xA9");
  EXPECT_EQ(vorn::StringFind(text, UTF8("caf\xC3\xA9")), 8);
  EXPECT_EQ(vorn::StringFind(9, text, UTF8("CAF\xC3\x89")), 14);
  // Dotless i upper-cases to I, so it matches "i" as string::Compare says they are equal.
  string dotless = UTF8("f\xC4\xB1le");
  ASSERT_EQ(dotless.Compare(UTF8("FILE")), 0);
  EXPECT_EQ(vorn::StringFind(dotless, string("ILE")), 1);
  vorn::TextFinder finder("ILE", 3, vorn::kEncodingUTF8, vorn::MatchMode::kIgnoreCase);
  vorn::TextMatch match = finder.Find(dotless.CString(), dotless.Length(), 0);
  EXPECT_EQ(match.offset, 1);
  EXPECT_EQ(match.length, 4);  // the dotless i takes two bytes
}

TEST(StringFind, NeverMatchesInsideACharacter) {
  // "é" is C3 A9; a pattern of the lone byte A9 is an invalid character of its own.
  string text = UTF8("\xC3\xA9 \xA9");
  EXPECT_EQ(vorn::StringFind(text, string("\xA9", 1, vorn::kEncodingUTF8)), 3);
  // A Shift_JIS trail byte can look like "@" (0x40); it must not match.
  string sjis("\x81\x40@", 3, vorn::kEncodingShiftJIS);
  EXPECT_EQ(vorn::StringFind(sjis, string("@")), 2);
  EXPECT_EQ(vorn::StringFind(string("\x82\x61" "a", 3, vorn::kEncodingShiftJIS), string("A")), 2);
}

TEST(StringFind, BringsThePatternToTheTextsEncoding) {
  string latin1("Caf\xE9 au lait", 12, vorn::kEncodingLatin1);
  EXPECT_EQ(vorn::StringFind(latin1, UTF8("CAF\xC3\x89")), 0);
  // A character the text's encoding can't hold is never found, even where its substitute is.
  string question("what? \x80", 7, vorn::kEncodingLatin1);
  EXPECT_EQ(vorn::StringFind(question, UTF8("\xE2\x82\xAC")), -1);
  // UTF-16 texts are searched by character.
  string utf16 = vorn::ConvertTextEncoding(UTF8("xA\xC3\xA9"), vorn::kEncodingUTF16);
  EXPECT_EQ(vorn::StringFind(utf16, UTF8("a\xC3\x89")), 2);
}

// A search from one place, then from others before, at and after what it found: each answer is
// the first match at or after its own start, whatever the searches before found.
TEST(StringInStr, EachStartHasItsOwnFirstMatch) {
  const std::string filler(5000, 'x');
  const struct {
    const char* what;
    std::string text;
    std::vector<std::pair<int32_t, int32_t>> searches;  // start, then the answer
  } rows[] = {
      {"short, the pattern at 1 too", "abca", {{1, 1}, {2, 4}, {4, 4}, {5, 0}, {1, 1}}},
      {"short, from 2 first", "abca", {{2, 4}, {1, 1}}},
      {"long", "a" + filler + "a", {{1, 1}, {2, 5002}, {3, 5002}, {5002, 5002}, {5003, 0}, {2, 5002}, {1, 1}}},
      {"long, none after the last", filler + "a", {{5002, 0}, {5003, 0}, {1, 5001}, {5001, 5001}, {5002, 0}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const string text(std::string_view(row.text), vorn::kEncodingUTF8);
    for (const auto& [start, answer] : row.searches) {
      EXPECT_EQ(vorn::StringDBCSInStr(start, text, string("A")), answer) << start;
      EXPECT_EQ(vorn::StringInStr(start, text, string("A")), answer) << start;
    }
  }
}

// A pattern with characters a single-byte text's encoding lacks finds what the text's UTF-8
// form would: characters that fold alike (ÿ as Ÿ, the micro sign as Greek mu), short texts and
// long ones. Text with a byte that converts to no character finds none, as before. The same
// bytes in another encoding are another pattern, however often the first was sought.
TEST(StringInStr, FoldsCharactersTheEncodingLacks) {
  const std::string xs(5000, 'x');
  const struct {
    vorn::EncodingCode encoding;
    std::string text;  // bytes of the encoding
    const char* pattern;
    int32_t start, expected;
    vorn::EncodingCode patternEncoding = vorn::kEncodingUTF8;
  } rows[] = {
      {0x0201, "ab\xFF" "Ax", "\xC5\xB8" "a", 1, 3},
      {0x0201, "ab\xFF" "Ax", "\xC5\xB8" "a", 4, 0},
      {0x0201, "\xB5", "\xCE\x9C", 1, 1},
      {0x0500, "x\xB5", "\xCE\xBC", 1, 2},
      {0x0201, "\xFF", "\xD0\x96", 1, 0},
      {0x0201, xs + "\xFF" "a", "\xC5\xB8" "A", 2, 5001},
      {0x0201, xs + "\xFF" "a", "\xC5\xB8" "A", 5002, 0},
      {0x0207, "a\xCC", "\xC2\xB5", 1, 2},  // Greek: the micro sign finds the capital mu
      {0x0207, "\xCC\xD2", "\xC2\xB5", 1, 0},
      {0x0207, xs + "\xCC\xD2", "\xC2\xB5", 1, 0},
      {vorn::kEncodingUTF8, "x\xC3\x88", "\xE9", 1, 0, 0x0201},  // xÈ: é, È, é
      {vorn::kEncodingUTF8, "x\xC3\x88", "\xE9", 1, 2, vorn::kEncodingMacRoman},
      {vorn::kEncodingUTF8, "x\xC3\x88", "\xE9", 1, 0, 0x0201},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text.substr(row.text.size() > 8 ? row.text.size() - 8 : 0) + " " + row.pattern);
    const string text(std::string_view(row.text), row.encoding), pattern(std::string_view(row.pattern), row.patternEncoding);
    EXPECT_EQ(vorn::StringDBCSInStr(row.start, text, pattern), row.expected);
  }
}

TEST(StringInStr, CountsFromOne) {
  string text("Hello hello");
  EXPECT_EQ(vorn::StringInStr(1, text, string("HELLO")), 1);
  EXPECT_EQ(vorn::StringInStr(2, text, string("HELLO")), 7);
  EXPECT_EQ(vorn::StringInStr(0, text, string("lo")), 4);
  EXPECT_EQ(vorn::StringInStr(1, text, string("bye")), 0);
  EXPECT_EQ(vorn::StringInStr(12, text, string("o")), 0);
  EXPECT_EQ(vorn::StringInStr(1, text, string()), 0);
  EXPECT_EQ(vorn::StringInStrB(1, text, string("hello")), 7);
  EXPECT_EQ(vorn::StringInStrB(1, text, string("HELLO")), 0);
}

TEST(StringFind, AgreesWithANaiveSearchOnMixedText) {
  // Every pattern cut from the text itself, upper-cased in ASCII, must be found at or before
  // the place it was cut from.
  std::string body;
  for (int i = 0; i < 200; ++i) body += (i % 7 == 0) ? "\xC3\xA9" : std::string(1, static_cast<char>('a' + i % 26));
  string text = UTF8(body.c_str());
  for (size_t at = 0; at + 3 < body.size(); at += 5) {
    if ((static_cast<uint8_t>(body[at]) & 0xC0) == 0x80) continue;
    std::string piece = body.substr(at, 3);
    if ((static_cast<uint8_t>(body[at + 3]) & 0xC0) == 0x80) continue;
    for (char& c : piece) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    int32_t found = vorn::StringFind(text, UTF8(piece.c_str()));
    ASSERT_GE(found, 0) << at;
    EXPECT_LE(found, static_cast<int32_t>(at));
    EXPECT_EQ(string(body.c_str() + found, 3, vorn::kEncodingUTF8).Compare(UTF8(piece.c_str())), 0);
  }
}

TEST(FindBytes, AgreesWithStdFindOnRepetitiveTexts) {
  // A two-letter alphabet makes the first byte match almost everywhere, which drives the
  // search off its first-byte scan onto the linear fallback.
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int round = 0; round < 200; ++round) {
    std::string body;
    int size = 1 + static_cast<int>(next() % 9000);
    for (int i = 0; i < size; ++i) body.push_back((next() >> 16) % 8 == 0 ? 'b' : 'a');
    std::string needle(1 + (next() >> 16) % 12, 'a');
    needle.back() = 'b';
    auto start = static_cast<int32_t>((next() >> 16) % (body.size() + 2));
    size_t expected = start <= static_cast<int32_t>(body.size()) ? body.find(needle, static_cast<size_t>(start))
                                                                  : std::string::npos;
    int32_t found = vorn::FindBytesInString(start, string(body.c_str()), string(needle.c_str()));
    EXPECT_EQ(found, expected == std::string::npos ? -1 : static_cast<int32_t>(expected)) << round;
  }
}

// Stepping through a text by InStr, Mid, Left, Right, fields or replacements reads it a few times.
TEST(TextWalk, SteppingThroughATextReadsItAFewTimes) {
  const char *kanji = "\xE7\xAD\x89", *e = "\xC3\xA9";  // 等, and é whose É the texts lack
  auto inStrLoop = [](const string& text, const string& x) {
    int32_t found = 0;
    for (int32_t pos = 0; (pos = vorn::StringDBCSInStr(pos + 1, text, x)) > 0;) ++found;
    return found;
  };
  auto pieces = [](const string& text, const string&) {  // Mid, Left and Right stepping forward
    int32_t taken = 0;
    for (int32_t pos = 1; pos <= vorn::StringDBCSLen(text); pos += 7) {
      taken += !vorn::StringDBCSMid3(text, pos, 2).IsEmpty() + !vorn::StringDBCSLeft(text, pos).IsEmpty() +
               !vorn::StringDBCSRight(text, vorn::StringDBCSLen(text) - pos).IsEmpty();
    }
    return taken;
  };
  auto leftAndRight = [](const string& text, const string&) {  // long pieces, each a character longer
    int32_t taken = 0;
    for (int32_t n = 1; n <= 3000; ++n) taken += !vorn::StringDBCSLeft(text, n).IsEmpty();
    for (int32_t n = 1; n <= 3000; ++n) taken += !vorn::StringDBCSRight(text, n).IsEmpty();
    return taken;
  };
  auto fallingMid = [](int copies) {  // from the end back, through copies of the text at once
    return [copies](const string& text, const string&) {
      std::vector<string> texts;
      for (int k = 0; k < copies; ++k) texts.push_back(k == 0 ? text : string(text.View(), text.Encoding()));
      int32_t taken = 0;
      for (int32_t pos = vorn::StringDBCSLen(text); pos >= 1; --pos) {
        for (const string& t : texts) taken += !vorn::StringDBCSMid3(t, pos, 1).IsEmpty();
      }
      return taken;
    };
  };
  auto inStrLoopOf = [&](const char* utf8) {  // a pattern in UTF-8, whatever the text's encoding lacks
    return [&inStrLoop, utf8](const string& text, const string&) { return inStrLoop(text, UTF8(utf8)); };
  };
  auto freshSky = [](const string& text, const string&) {  // a new search each time
    int32_t found = 0;
    for (int32_t at = 0; (at = vorn::StringFind(at, text, UTF8("sky"))) >= 0; ++at) ++found;
    return found;
  };
  // a = InStr(pos, text, x): b = InStr(pos, text, other): pos = a + 1, where other never comes
  auto tokenizer = [](const char* other) {
    return [other](const string& text, const string& x) {
      int32_t found = 0;
      for (int32_t pos = 1; (pos = vorn::StringDBCSInStr(pos, text, x)) > 0; ++pos) found += !vorn::StringDBCSInStr(pos, text, UTF8(other));
      return found;
    };
  };
  auto fields = [](const string& text, const string& x) { return vorn::CountFields(text, x) - 1; };
  // For i = 1 To CountFields(text, x): NthField(text, x, i), counting the fields that hold "sky"
  auto fieldLoop = [](string (*nth)(const string&, const string&, int32_t)) {
    return [nth](const string& text, const string& x) {
      int32_t found = 0;
      for (int32_t i = 1, n = vorn::CountFields(text, x); i <= n; ++i) found += vorn::StringDBCSInStr(1, nth(text, x, i), UTF8("sky")) > 0;
      return found;
    };
  };
  auto replace = [](const string& text, const string& x) {
    return vorn::CountFields(vorn::ReplaceAll(text, x, string("#")), string("#")) - 1;
  };
  const struct Row {
    const char* what;
    vorn::EncodingCode encoding;
    const char* separator;  // between words, in UTF-8
    std::function<int32_t(const string&, const string&)> run;
    int32_t expected;  // matches, or pieces taken
    int32_t texts = 1;  // read in step
    bool literal = false;  // the text is an image literal
  } rows[] = {
      {"fields of a kanji: each search resumes where the last ended", vorn::kEncodingShiftJIS, kanji, fields, 2000},
      {"fields of a letter whose partner is absent", 0x0201, e, fields, 2000},
      {"replacing a letter whose partner is absent", 0x0500, e, replace, 2000},
      {"InStr loop", vorn::kEncodingUTF16, kanji, inStrLoop, 2000},
      {"InStr loop", vorn::kEncodingShiftJIS, kanji, inStrLoop, 2000},
      {"InStr loop", vorn::kEncodingUTF8, kanji, inStrLoop, 2000},
      {"InStr loop, a letter whose partner is absent", vorn::kEncodingMacRoman, e, inStrLoop, 2000},
      {"Mid, Left, Right", vorn::kEncodingEUCJP, kanji, pieces, 4716},
      {"Mid, Left, Right", vorn::kEncodingUTF8, kanji, pieces, 4716},
      {"Mid, Left, Right", vorn::kEncodingUTF16, kanji, pieces, 4716},
      {"Mid, Left, Right", vorn::kEncodingISO2022JP, kanji, pieces, 4716},
      {"Left and Right", vorn::kEncodingISO2022JP, kanji, leftAndRight, 6000},
      {"Left and Right", vorn::kEncodingUTF8, kanji, leftAndRight, 6000},
      {"Mid falling", vorn::kEncodingUTF16, kanji, fallingMid(1), 11000},
      {"Mid falling in 5 texts", vorn::kEncodingShiftJIS, kanji, fallingMid(5), 5 * 11000, 5},
      {"Mid falling in 20 texts", vorn::kEncodingUTF8, kanji, fallingMid(20), 20 * 11000, 20},
      {"Mid falling in 5 texts", vorn::kEncodingISO2022JP, kanji, fallingMid(5), 5 * 11000, 5},
      {"InStr loop, a word whose capital is absent", vorn::kEncodingUTF8, ",", inStrLoopOf("sky"), 2000},
      {"a new search each time, a word whose capital is absent", vorn::kEncodingUTF8, ",", freshSky, 2000},
      {"two patterns in turn, the other found by its letters", vorn::kEncodingUTF8, ",", tokenizer("sky!"), 2000},
      {"two patterns in turn, the other found by its bytes", vorn::kEncodingUTF8, ",", tokenizer("#!"), 2000},
      {"two patterns in turn, the other found by reading", vorn::kEncodingShiftJIS, ",", tokenizer("\xE5\xB1\xB1!"), 2000},
      {"two patterns in turn", vorn::kEncodingISO2022JP, ",", tokenizer("sky!"), 2000},
      {"InStr loop, a capital the encoding lacks", 0x0201, "\xC3\xBF", inStrLoopOf("\xC5\xB8"), 2000},
      {"InStr loop, a capital the encoding lacks", 0x0500, "\xC2\xB5", inStrLoopOf("\xCE\x9C"), 2000},
      {"NthField loop", vorn::kEncodingUTF8, ",", fieldLoop(vorn::NthField), 2000},
      {"NthFieldB loop", vorn::kEncodingUTF8, ",", fieldLoop(vorn::NthFieldB), 2000},
      {"NthField loop", vorn::kEncodingUTF16, ",", fieldLoop(vorn::NthField), 2000},
      {"NthField loop", vorn::kEncodingShiftJIS, kanji, fieldLoop(vorn::NthField), 2000},
      {"NthField loop", vorn::kEncodingISO2022JP, ",", fieldLoop(vorn::NthField), 2000},
      {"Mid falling in a literal", vorn::kEncodingUTF8, kanji, fallingMid(1), 11000, 1, true},
      {"Mid falling in a literal", vorn::kEncodingShiftJIS, kanji, fallingMid(1), 11000, 1, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.what) + " " + std::to_string(row.encoding));
    std::string body;
    for (int i = 0; i < 2000; ++i) body += std::string("sky") + row.separator + (i % 2 ? "ab" : "\xE5\xB1\xB1");
    string text = vorn::ConvertTextEncoding(UTF8(body.c_str()), row.encoding);
    if (row.literal) text = vorn::test::LiteralOf(text);
    const string separator = vorn::ConvertTextEncoding(UTF8(row.separator), row.encoding);
    const uint64_t before = vorn::TextWalkSteps();
    EXPECT_EQ(row.run(text, separator), row.expected);
    EXPECT_LE(vorn::TextWalkSteps() - before, 8u * static_cast<uint64_t>(row.texts * text.Length()));
  }
}

}  // namespace
