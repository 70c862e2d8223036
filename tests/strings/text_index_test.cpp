#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "strings/char_count.h"
#include "strings/system_encoding.h"
#include "strings/text_case.h"
#include "strings/text_fields.h"
#include "strings/text_replace.h"
#include "strings/vstring.h"

using vorn::string;

namespace {

// A text as a list of UTF-8 characters, beside the runtime's string of it in one encoding.
struct ModelText {
  std::vector<std::string> chars;
  string text;
};

std::string Join(const std::vector<std::string>& chars, size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < to && i < chars.size(); ++i) out += chars[i];
  return out;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return s;
}

std::string InUTF8(const string& s) { return std::string(vorn::ConvertTextEncoding(s, vorn::kEncodingUTF8).View()); }

string In(const std::string& utf8, vorn::EncodingCode e) {
  return vorn::ConvertTextEncoding(string(std::string_view(utf8), vorn::kEncodingUTF8), e);
}

// Random programs of texts made, changed in place, searched from rising and falling starts and
// cut by Mid, Left, Right and Len, each answer beside the one the list of characters gives.
void RunTextProgram(uint32_t seed, vorn::EncodingCode e) {
  std::mt19937 random(seed);
  auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
  const bool wide = e == vorn::kEncodingUTF8 || e == vorn::kEncodingUTF16 || e == vorn::kEncodingUTF32;
  std::vector<std::string> alphabet = {"a", "b", "Y", ",", "\xE7\xAD\x89", "\xE5\xB1\xB1", "\xE3\x81\x82"};
  if (wide) alphabet.insert(alphabet.end(), {"\xC3\xA9", "\xF0\x9F\x98\x80"});
  const std::vector<std::string> patterns = {"ab", "Y\xE7\xAD\x89", "\xE5\xB1\xB1", ",b", "B,"};
  std::vector<ModelText> texts(3);
  auto make = [&](ModelText& t) {
    t.chars.resize(10 + below(4991));
    for (std::string& c : t.chars) c = alphabet[below(alphabet.size())];
    t.text = In(Join(t.chars, 0, t.chars.size()), e);
  };
  for (ModelText& t : texts) make(t);
  for (int step = 0; step < 400; ++step) {
    ModelText& t = texts[below(texts.size())];
    const size_t n = t.chars.size();
    SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
    switch (below(9)) {
      case 0: make(t); break;
      case 1: {  // a character rewritten in place as letters taking the same bytes, where there are such
        const size_t at = below(n);
        const int32_t offset = In(Join(t.chars, 0, at), e).Length();
        const int32_t size = In(t.chars[at], e).Length();
        const int32_t letter = In("x", e).Length();
        if (e == vorn::kEncodingISO2022JP || size % letter != 0) break;
        std::vector<std::string> letters(static_cast<size_t>(size / letter), "x");
        std::memcpy(t.text.MutableBytes() + offset, In(Join(letters, 0, letters.size()), e).CString(), static_cast<size_t>(size));
        t.chars.erase(t.chars.begin() + static_cast<std::ptrdiff_t>(at));
        t.chars.insert(t.chars.begin() + static_cast<std::ptrdiff_t>(at), letters.begin(), letters.end());
        break;
      }
      case 2: {
        const std::string& pattern = patterns[below(patterns.size())];
        const std::string body = Upper(Join(t.chars, 0, n)), upper = Upper(pattern);
        std::vector<size_t> starts(1, 0);
        for (const std::string& c : t.chars) starts.push_back(starts.back() + c.size());
        auto expected = [&](size_t from) {  // 1-based character position of the first match
          for (size_t i = from; i < n; ++i) {
            if (body.compare(starts[i], upper.size(), upper) == 0) return static_cast<int32_t>(i + 1);
          }
          return 0;
        };
        const bool falling = below(2);
        for (size_t k = 0, from = falling ? n : 1; k < 6; ++k) {
          from = falling ? from - std::min(from - 1, 1 + below(n)) : from + below(n / 4 + 1);
          ASSERT_EQ(vorn::StringDBCSInStr(static_cast<int32_t>(from), t.text, In(pattern, e)), expected(from - 1))
              << pattern << " from " << from;
        }
        break;
      }
      case 3: ASSERT_EQ(vorn::StringDBCSLen(t.text), static_cast<int32_t>(n)); break;
      case 7: {  // the other text functions, for the threads
        std::string upper = Upper(Join(t.chars, 0, n));
        for (size_t at; (at = upper.find("\xC3\xA9")) != std::string::npos;) upper.replace(at, 2, "\xC3\x89");
        ASSERT_EQ(InUTF8(vorn::StringUCase(t.text)), upper);
        ASSERT_EQ(t.text.Compare(In(upper, e)), 0);
        ASSERT_EQ(vorn::CountFields(t.text, In(",", e)), 1 + std::count(t.chars.begin(), t.chars.end(), ","));
        ASSERT_EQ(vorn::CountFields(vorn::ReplaceAll(t.text, In(",", e), In(";;", e)), In(";;", e)),
                  vorn::CountFields(t.text, In(",", e)));
        break;
      }
      case 4: {
        const size_t from = below(n + 2), count = below(300);
        ASSERT_EQ(InUTF8(vorn::StringDBCSMid3(t.text, static_cast<int32_t>(from), static_cast<int32_t>(count))),
                  Join(t.chars, from == 0 ? 0 : from - 1, (from == 0 ? 0 : from - 1) + count));
        break;
      }
      case 5: {
        const size_t count = below(n + 2);
        ASSERT_EQ(InUTF8(vorn::StringDBCSLeft(t.text, static_cast<int32_t>(count))), Join(t.chars, 0, count));
        break;
      }
      default: {
        const size_t count = below(n + 2);
        ASSERT_EQ(InUTF8(vorn::StringDBCSRight(t.text, static_cast<int32_t>(count))),
                  Join(t.chars, n - std::min(count, n), n));
      }
    }
  }
}

const vorn::EncodingCode kEncodings[] = {vorn::kEncodingUTF8, vorn::kEncodingUTF16, vorn::kEncodingUTF32,
                                         vorn::kEncodingShiftJIS, vorn::kEncodingEUCJP, vorn::kEncodingISO2022JP};

TEST(TextModel, RandomTextProgramsGiveThePlainAnswers) {
  for (uint32_t seed : {1u, 2u}) {
    for (vorn::EncodingCode e : kEncodings) {
      SCOPED_TRACE(e);
      RunTextProgram(seed, e);
    }
  }
}

// Two threads, each with texts of its own, and both reading one long text neither changes.
TEST(TextModel, ThreadsWithTextsOfTheirOwn) {
  std::string body;
  for (int i = 0; i < 3000; ++i) body += "sky\xE7\xAD\x89";
  const string shared = In(body, vorn::kEncodingShiftJIS);
  auto run = [&](uint32_t seed) {
    const string kanji = In("\xE7\xAD\x89", vorn::kEncodingShiftJIS);
    for (int32_t pos = 12000; pos >= 1; pos -= 3) {
      EXPECT_EQ(vorn::StringDBCSMid3(shared, pos, 1).Compare(kanji) == 0, pos % 4 == 0);
      EXPECT_EQ(vorn::StringDBCSInStr(pos, shared, kanji), (pos + 3) / 4 * 4);
    }
    for (vorn::EncodingCode e : kEncodings) RunTextProgram(seed, e);
  };
  std::thread first(run, 11u), second(run, 12u);
  first.join();
  second.join();
}

}  // namespace
