// Texts of two encodings joined, compared and searched answer as the same texts in UTF-8 do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "strings/text_replace.h"
#include "strings/text_search.h"
#include "strings/vstring.h"

using vorn::string;

namespace {

const char* const kChars[] = {"a", "b", "y", "Z", "A", "B", "0", "9", "\xC3\xA9", "\xC3\x89", "\xC3\xBC",
                              "\xE3\x81\x82", "\xE3\x81\x8B", "\xE4\xB8\x80", "\xE6\xBC\xA2"};  // é É ü あ か 一 漢

string UTF8(const std::string& text) { return string(text, vorn::kEncodingUTF8); }

std::string InUTF8(const string& text) {
  return std::string(vorn::ConvertTextEncoding(text, vorn::kEncodingUTF8).View());
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

TEST(EncodingPairs, AnswerAsTheSameTextsInUTF8) {
  const vorn::EncodingCode encodings[] = {vorn::kEncodingUTF8, vorn::kEncodingUTF16, vorn::kEncodingUTF32, 0x0201,
                                          0x0500, vorn::kEncodingMacRoman, 0x0A01};
  std::mt19937 random(55);
  for (vorn::EncodingCode a : encodings) {
    for (vorn::EncodingCode b : encodings) {
      std::vector<std::string> aChars, bChars;  // those each encoding holds
      for (const char* c : kChars) {
        if (InUTF8(vorn::ConvertTextEncoding(UTF8(c), a)) == c) aChars.push_back(c);
        if (InUTF8(vorn::ConvertTextEncoding(UTF8(c), b)) == c) bChars.push_back(c);
      }
      for (int round = 0; round < 300; ++round) {
        const std::string ux = RandomText(random, aChars, ""), uy = RandomText(random, bChars, ux);
        const string x = vorn::ConvertTextEncoding(UTF8(ux), a), y = vorn::ConvertTextEncoding(UTF8(uy), b);
        SCOPED_TRACE(std::to_string(a) + " \"" + ux + "\" / " + std::to_string(b) + " \"" + uy + "\"");
        const string u = UTF8(ux), v = UTF8(uy), joined = x + y;
        ASSERT_EQ(x.Compare(y), u.Compare(v));
        ASSERT_EQ(y.Compare(x), v.Compare(u));
        ASSERT_EQ(x.CompareBinary(y), u.CompareBinary(v));
        ASSERT_EQ(y.CompareBinary(x), v.CompareBinary(u));
        ASSERT_EQ(InUTF8(joined), ux + uy);
        ASSERT_EQ(InUTF8(y + x), uy + ux);
        const int32_t at = vorn::StringInStr(1, joined, y), utf8At = vorn::StringInStr(1, u + v, v);
        ASSERT_EQ(at == 0, utf8At == 0);
        ASSERT_EQ(InUTF8(joined.Left(at - 1)), (u + v).Left(utf8At - 1).View()) << "found at another character";
        ASSERT_EQ(InUTF8(vorn::ReplaceAll(joined, y, x)), vorn::ReplaceAll(u + v, v, u).View());
      }
    }
  }
}

}  // namespace
