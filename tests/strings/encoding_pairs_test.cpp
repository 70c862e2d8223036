// Texts of every encoding the runtime names, alone, in pairs and sorted together, answer every
// text function as the same characters in UTF-8 do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "strings/char_count.h"
#include "strings/string_entry_points.h"
#include "strings/text_case.h"
#include "strings/text_fields.h"
#include "strings/text_replace.h"
#include "strings/system_encoding.h"
#include "strings/text_search.h"
#include "strings/vstring.h"

using vorn::string;

namespace {

// é É ü µ ÿ Ÿ Ж ж あ か 一 漢, ठ and 丠 (whose UTF-16 units hold a tab and a blank byte), blanks,
// and the backslash, tilde, yen sign and overline that Shift_JIS text keeps apart.
const char* const kChars[] = {"a", "b", "y", "Z", "A", "B", "0", ",", " ", "\t", "\\", "~", "\xC2\xA5", "\xE2\x80\xBE", "_", "\xC3\xA9", "\xC3\x89",
                              "\xC3\xBC", "\xC2\xB5", "\xC3\xBF", "\xC5\xB8", "\xD0\x96", "\xD0\xB6",
                              "\xE3\x81\x82", "\xE3\x81\x8B", "\xE4\xB8\x80", "\xE6\xBC\xA2", "\xE0\xA4\xA0",
                              "\xE4\xB8\xA0"};

// Every encoding the runtime has a name for.
const vorn::EncodingCode kEncodings[] = {vorn::kEncodingUTF8, vorn::kEncodingUTF16, vorn::kEncodingUTF32,
                                         vorn::kEncodingASCII, vorn::kEncodingMacRoman, 0x0201, 0x0202, 0x0203,
                                         0x0204, 0x0205, 0x0206, 0x0207, 0x0208, 0x0209, 0x020F, 0x0500, 0x0501,
                                         0x0502, 0x0A01, 0x0920, 0x0820, 0x0A05};

string UTF8(const std::string& text) { return string(text, vorn::kEncodingUTF8); }

std::string InUTF8(const string& text) {
  return std::string(vorn::ConvertTextEncoding(text, vorn::kEncodingUTF8).View());
}

bool Holds(vorn::EncodingCode encoding, const std::string& utf8) {
  return InUTF8(vorn::ConvertTextEncoding(UTF8(utf8), encoding)) == utf8;
}

std::vector<std::string> CharsOf(vorn::EncodingCode encoding) {
  std::vector<std::string> chars;
  for (const char* c : kChars) {
    if (Holds(encoding, c)) chars.push_back(c);
  }
  return chars;
}

// A random short text over the characters its encoding holds, often the other text with case
// changed and what this encoding lacks left out, so that equal and nearly equal texts come up as
// well as different ones.
std::string RandomText(std::mt19937& random, const std::vector<std::string>& chars, const std::string& near) {
  std::string text;
  if (random() % 2 && !near.empty()) {
    for (size_t i = 0; i < near.size();) {
      std::string c = near.substr(i, near[i] & 0x80 ? (near[i] & 0x20 ? 3 : 2) : 1);
      i += c.size();
      const bool letter = c.size() == 2 || std::isalpha(static_cast<unsigned char>(c[0]));  // é, É as well
      if (letter && random() % 2) c.back() ^= 0x20;
      if (std::find(chars.begin(), chars.end(), c) != chars.end()) text += c;
    }
    if (random() % 3 == 0) text += chars[random() % chars.size()];
    return text;
  }
  for (size_t n = random() % 5; n > 0; --n) text += chars[random() % chars.size()];
  return text;
}

// UCase/LCase map a character only where the encoding holds its other case.
std::string ExpectedCase(const std::string& utf8, vorn::EncodingCode encoding, bool upper) {
  std::string expected;
  for (int32_t i = 1; i <= vorn::StringDBCSLen(UTF8(utf8)); ++i) {
    const string c = vorn::StringDBCSMid3(UTF8(utf8), i, 1);
    const std::string mapped(InUTF8(upper ? vorn::StringUCase(c) : vorn::StringLCase(c)));
    expected += Holds(encoding, mapped) ? mapped : std::string(c.View());
  }
  return expected;
}

std::vector<std::string> SplitInUTF8(const string& text, const string& delimiter) {
  std::vector<string> pieces;
  vorn::SplitToVector(text, delimiter, pieces);
  std::vector<std::string> utf8;
  for (const string& piece : pieces) utf8.push_back(InUTF8(piece));
  return utf8;
}

void ExpectOneTextAnswers(const string& x, const string& u, vorn::EncodingCode encoding) {
  const int32_t n = vorn::StringDBCSLen(u);
  ASSERT_EQ(vorn::StringDBCSLen(x), n);
  for (int32_t k : {0, 1, n - 1, n, n + 1}) {
    ASSERT_EQ(InUTF8(vorn::StringDBCSLeft(x, k)), vorn::StringDBCSLeft(u, k).View()) << k;
    ASSERT_EQ(InUTF8(vorn::StringDBCSRight(x, k)), vorn::StringDBCSRight(u, k).View()) << k;
    ASSERT_EQ(InUTF8(vorn::StringDBCSMid2(x, k)), vorn::StringDBCSMid2(u, k).View()) << k;
    ASSERT_EQ(InUTF8(vorn::StringDBCSMid3(x, 2, k)), vorn::StringDBCSMid3(u, 2, k).View()) << k;
  }
  ASSERT_EQ(InUTF8(x.Trim()), u.Trim().View());
  ASSERT_EQ(InUTF8(x.TrimLeft()), u.TrimLeft().View());
  ASSERT_EQ(InUTF8(x.TrimRight()), u.TrimRight().View());
  ASSERT_EQ(InUTF8(vorn::StringUCase(x)), ExpectedCase(std::string(u.View()), encoding, true));
  ASSERT_EQ(InUTF8(vorn::StringLCase(x)), ExpectedCase(std::string(u.View()), encoding, false));
}

void ExpectPairAnswers(const string& x, const string& y, const string& u, const string& v) {
  auto strComp = [](const string& a, const string& b, int mode) { return StringStrCompare(a.Rep(), b.Rep(), mode); };
  ASSERT_EQ(x.Compare(y), u.Compare(v));
  ASSERT_EQ(y.Compare(x), v.Compare(u));
  ASSERT_EQ(x.CompareBinary(y), u.CompareBinary(v));
  ASSERT_EQ(y.CompareBinary(x), v.CompareBinary(u));
  ASSERT_EQ(strComp(x, y, 0), strComp(u, v, 0));
  ASSERT_EQ(strComp(y, x, 1), strComp(v, u, 1));
  const string joined = x + y, uv = u + v;
  ASSERT_EQ(InUTF8(joined), std::string(u.View()) + std::string(v.View()));
  ASSERT_EQ(vorn::StringDBCSInStr(1, x, y), vorn::StringDBCSInStr(1, u, v)) << "a case partner x's encoding lacks";
  for (int32_t start : {1, 2, vorn::StringDBCSLen(u) + 1}) {
    ASSERT_EQ(vorn::StringDBCSInStr(start, joined, y), vorn::StringDBCSInStr(start, uv, v)) << start;
  }
  ASSERT_EQ(InUTF8(vorn::ReplaceAll(joined, y, x)), vorn::ReplaceAll(uv, v, u).View());
  ASSERT_EQ(InUTF8(vorn::Replace(joined, x, y)), vorn::Replace(uv, u, v).View());
  ASSERT_EQ(InUTF8(vorn::ReplaceAll(x, x, y)), vorn::ReplaceAll(u, u, v).View()) << "y in x's encoding";
  ASSERT_EQ(vorn::CountFields(y + x + y, y), vorn::CountFields(v + u + v, v)) << "matches one after another";
  const int32_t fields = vorn::CountFields(joined, y);
  ASSERT_EQ(fields, vorn::CountFields(uv, v));
  for (int32_t k = 1; k <= fields + 1; ++k) {
    ASSERT_EQ(InUTF8(vorn::NthField(joined, y, k)), vorn::NthField(uv, v, k).View()) << k;
  }
  const std::vector<std::string> pieces = SplitInUTF8(joined, y);
  ASSERT_EQ(pieces, SplitInUTF8(uv, v));
  std::string rejoined;
  for (size_t k = 0; k < pieces.size(); ++k) rejoined += (k ? std::string(v.View()) : "") + pieces[k];
  string joinedAgain;  // as Join builds it: each piece appended to the text so far
  std::vector<string> parts;
  vorn::SplitToVector(joined, y, parts);
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k) joinedAgain.Append(y);
    joinedAgain.Append(parts[k]);
  }
  ASSERT_EQ(InUTF8(joinedAgain), rejoined);
}

TEST(EncodingPairs, AnswerAsTheSameTextsInUTF8) {
  std::mt19937 random(55);
  for (vorn::EncodingCode a : kEncodings) {
    const std::vector<std::string> aChars = CharsOf(a);
    for (vorn::EncodingCode b : kEncodings) {
      const std::vector<std::string> bChars = CharsOf(b);
      for (int round = 0; round < 24; ++round) {
        const std::string ux = RandomText(random, aChars, ""), uy = RandomText(random, bChars, ux);
        const string x = vorn::ConvertTextEncoding(UTF8(ux), a), y = vorn::ConvertTextEncoding(UTF8(uy), b);
        SCOPED_TRACE(std::to_string(a) + " \"" + ux + "\" / " + std::to_string(b) + " \"" + uy + "\"");
        ASSERT_NO_FATAL_FAILURE(ExpectOneTextAnswers(x, UTF8(ux), a));
        ASSERT_NO_FATAL_FAILURE(ExpectPairAnswers(x, y, UTF8(ux), UTF8(uy)));
      }
    }
  }
}

// Sorted as their UTF-8 forms sort, texts of all encodings are in order pair by pair.
TEST(EncodingPairs, MixedTextsSortAsTheirUTF8Forms) {
  std::mt19937 random(7);
  struct Text {
    string text, utf8;
  };
  std::vector<Text> texts;
  std::string last;
  for (int i = 0; i < 400; ++i) {
    const vorn::EncodingCode e = kEncodings[random() % std::size(kEncodings)];
    last = RandomText(random, CharsOf(e), last);
    texts.push_back({vorn::ConvertTextEncoding(UTF8(last), e), UTF8(last)});
  }
  std::stable_sort(texts.begin(), texts.end(), [](const Text& p, const Text& q) { return p.utf8.Compare(q.utf8) < 0; });
  for (size_t i = 0; i < texts.size(); ++i) {
    for (size_t j = i + 1; j < texts.size(); ++j) {
      ASSERT_EQ(texts[i].text.Compare(texts[j].text), texts[i].utf8.Compare(texts[j].utf8))
          << texts[i].text.Encoding() << " " << texts[i].utf8.View() << " / " << texts[j].text.Encoding() << " "
          << texts[j].utf8.View();
    }
  }
}

// Shift_JIS 0x5C and 0x7E are a backslash and a tilde wherever text is read: names with them,
// the yen sign, overline and underscore, in Shift_JIS and UTF-8, compare pair by pair as the
// UTF-8 the row names.
TEST(EncodingPairs, ShiftJISBackslashNamesCompareAsTheirUTF8Forms) {
  const vorn::EncodingCode sjis = vorn::kEncodingShiftJIS, utf8 = vorn::kEncodingUTF8;
  const struct Name {
    std::string bytes;
    vorn::EncodingCode encoding;
    std::string asUTF8;
  } names[] = {
      {"\x8a\xbf\\", sjis, "\xE6\xBC\xA2\\"},        {"\x8a\xbf_", sjis, "\xE6\xBC\xA2_"},
      {"\xE6\xBC\xA2\xC2\xA5", utf8, "\xE6\xBC\xA2\xC2\xA5"}, {"\xE6\xBC\xA2_", utf8, "\xE6\xBC\xA2_"},
      {"\xE6\xBC\xA2\\", utf8, "\xE6\xBC\xA2\\"},    {"\x8a\xbf~", sjis, "\xE6\xBC\xA2~"},
      {"\xE6\xBC\xA2\xE2\x80\xBE", utf8, "\xE6\xBC\xA2\xE2\x80\xBE"}, {"C:\\Users\\\x8e\x52\x93\x63", sjis, "C:\\Users\\\xE5\xB1\xB1\xE7\x94\xB0"},
      {"C:\xC2\xA5Users\xC2\xA5\xE5\xB1\xB1\xE7\x94\xB0", utf8, "C:\xC2\xA5Users\xC2\xA5\xE5\xB1\xB1\xE7\x94\xB0"},
      {"c:\\users\\\xE5\xB1\xB1\xE7\x94\xB0", utf8, "c:\\users\\\xE5\xB1\xB1\xE7\x94\xB0"},
      {"a~b\x8e\x52", sjis, "a~b\xE5\xB1\xB1"},      {"A\xE2\x80\xBE" "B\xE5\xB1\xB1", utf8, "A\xE2\x80\xBE" "B\xE5\xB1\xB1"},
  };
  for (const Name& a : names) {
    const string x(a.bytes, a.encoding), u = UTF8(a.asUTF8);
    EXPECT_EQ(InUTF8(x), a.asUTF8);
    for (const Name& b : names) {
      const string y(b.bytes, b.encoding), v = UTF8(b.asUTF8);
      EXPECT_TRUE(x.Compare(y) == u.Compare(v) && x.CompareBinary(y) == u.CompareBinary(v)) << a.asUTF8 << " / " << b.asUTF8;
    }
  }
}

}  // namespace
