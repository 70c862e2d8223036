#include <gtest/gtest.h>

#include <algorithm>
#include <latch>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "strings/char_count.h"
#include "strings/support/literal_text.h"
#include "strings/system_encoding.h"
#include "strings/text_case.h"
#include "strings/text_fields.h"
#include "strings/text_replace.h"
#include "strings/vstring.h"

using vorn::string;

namespace {

std::string Join(const std::vector<std::string>& chars, size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < std::min(to, chars.size()); ++i) out += chars[i];
  return out;
}

// As the texts' letters upper-case: ASCII and é.
std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  for (size_t at = 0; (at = s.find("\xC3\xA9", at)) != std::string::npos; ++at) s[at + 1] = '\x89';
  return s;
}

std::string InUTF8(const string& s) { return std::string(vorn::ConvertTextEncoding(s, vorn::kEncodingUTF8).View()); }

string In(const std::string& utf8, vorn::EncodingCode e) {
  return vorn::ConvertTextEncoding(string(std::string_view(utf8), vorn::kEncodingUTF8), e);
}

// Where each field of the characters begins (a field i ends where field i + 1 begins, less the
// delimiter's characters), matching the delimiter as the upper-cased text has it.
std::vector<size_t> FieldStarts(const std::vector<std::string>& chars, const std::string& upper,
                                const std::vector<size_t>& starts, const std::string& key, size_t keyChars) {
  std::vector<size_t> fields(1, 0);
  for (size_t i = 0; i < chars.size();) {
    const bool delimiter = upper.compare(starts[i], key.size(), key) == 0;
    i += delimiter ? keyChars : 1;
    if (delimiter) fields.push_back(i);
  }
  return fields;
}

// Random programs over three texts, each a list of UTF-8 characters beside the runtime's string
// of it: texts made afresh (a quarter of them image literals), searched for one pattern or two
// in turn from rising and falling starts, cut by Mid, Left and Right, counted, upper-cased,
// compared, split and read field by field, each answer beside the one the list gives.
void RunTextProgram(uint32_t seed, vorn::EncodingCode e) {
  std::mt19937 random(seed);
  auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
  std::vector<std::string> alphabet = {"a", "b", "Y", ",", "B", "\xE7\xAD\x89", "\xE5\xB1\xB1", "\xE3\x81\x82"};
  if (e == vorn::kEncodingUTF8 || e == vorn::kEncodingUTF16 || e == vorn::kEncodingUTF32) {
    alphabet.insert(alphabet.end(), {"\xC3\xA9", "\xF0\x9F\x98\x80"});
  }
  const std::vector<std::string> patterns = {"ab", "Y\xE7\xAD\x89", "\xE5\xB1\xB1", ",b", "B,", ","};
  const size_t kPatternChars[] = {2, 2, 1, 2, 2, 1};
  struct {
    std::vector<std::string> chars;
    string text;
  } texts[3];
  for (int step = -3; step < 400; ++step) {
    auto& t = texts[step < 0 ? step + 3 : below(3)];
    SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
    if (step < 0 || below(5) == 0) {
      const bool literal = step == -3 || below(4) == 0;
      t.chars.resize(literal ? 2000 + below(3000) : 10 + below(4991));
      for (std::string& c : t.chars) c = alphabet[below(alphabet.size())];
      t.text = In(Join(t.chars, 0, t.chars.size()), e);
      if (literal) t.text = vorn::test::LiteralOf(t.text);
      continue;
    }
    const size_t n = t.chars.size();
    const std::string upper = Upper(Join(t.chars, 0, n));
    std::vector<size_t> starts(1, 0);
    for (const std::string& c : t.chars) starts.push_back(starts.back() + c.size());
    switch (below(5)) {
      case 0: {  // InStr of one pattern, or two in turn, from six rising or falling starts
        const size_t p = below(patterns.size()), q = below(2) ? below(patterns.size()) : p;
        auto expected = [&](size_t which, size_t from) {  // 1-based character position of the first match
          const std::string key = Upper(patterns[which]);
          for (size_t i = from; i < n; ++i) {
            if (upper.compare(starts[i], key.size(), key) == 0) return static_cast<int32_t>(i + 1);
          }
          return 0;
        };
        const bool falling = below(2);
        for (size_t k = 0, from = falling ? n : 1; k < 6; ++k) {
          from = falling ? from - std::min(from - 1, 1 + below(n)) : from + below(n / 4 + 1);
          for (size_t which : {p, q}) {
            ASSERT_EQ(vorn::StringDBCSInStr(from, t.text, In(patterns[which], e)), expected(which, from - 1))
                << patterns[which] << " " << from;
          }
        }
        break;
      }
      case 1: {  // what else reads a text, for the threads: case tables and converters
        ASSERT_EQ(InUTF8(vorn::StringUCase(t.text)), upper);
        ASSERT_EQ(t.text.Compare(In(upper, e)), 0);
        ASSERT_EQ(vorn::CountFields(vorn::ReplaceAll(t.text, In(",", e), In(";;", e)), In(";;", e)),
                  1 + std::count(t.chars.begin(), t.chars.end(), ","));
        break;
      }
      case 2: {  // fields taken rising in steps by case or by bytes, then one further back in each way
        const size_t p = below(patterns.size());
        const bool byteWise = e == vorn::kEncodingUTF8 || e == vorn::kEncodingShiftJIS || e == vorn::kEncodingEUCJP;
        const string delimiter = In(patterns[p], e);
        auto fieldsOf = [&](bool bytes) {
          return bytes ? FieldStarts(t.chars, Join(t.chars, 0, n), starts, patterns[p], kPatternChars[p])
                       : FieldStarts(t.chars, upper, starts, Upper(patterns[p]), kPatternChars[p]);
        };
        auto check = [&](bool bytes, size_t i) {  // field i (1-based) beside the list's
          const std::vector<size_t> fields = fieldsOf(bytes);
          const std::string expected = i < 1 || i > fields.size() ? std::string()
              : Join(t.chars, fields[i - 1], i < fields.size() ? fields[i] - kPatternChars[p] : n);
          const auto nth = bytes ? vorn::NthFieldB : vorn::NthField;
          EXPECT_EQ(InUTF8(nth(t.text, delimiter, static_cast<int32_t>(i))), expected) << patterns[p] << " " << i << " " << bytes;
        };
        const bool bytes = byteWise && below(3) == 0;
        const size_t count = fieldsOf(bytes).size(), stride = 1 + below(3);
        ASSERT_EQ((bytes ? vorn::CountFieldsB : vorn::CountFields)(t.text, delimiter), static_cast<int32_t>(count));
        size_t i = 1 + below(3);
        for (; i <= count + 1; i += stride) check(bytes, i);
        i = below(i + 1);
        check(bytes, i);
        if (byteWise) check(!bytes, i + below(3));
        ASSERT_FALSE(testing::Test::HasFailure());
        break;
      }
      default: {  // Mid, Left (joined to a letter) and Right at one place, then Len
        const size_t at = below(n + 2), count = below(300), from = at == 0 ? 0 : at - 1;
        ASSERT_EQ(InUTF8(vorn::StringDBCSMid3(t.text, at, count)), Join(t.chars, from, from + count));
        ASSERT_EQ(InUTF8(vorn::StringDBCSLeft(t.text, at) + In("a", e)), Join(t.chars, 0, at) + "a");  // ends as it began
        ASSERT_EQ(InUTF8(vorn::StringDBCSRight(t.text, at)), Join(t.chars, n - std::min(at, n), n));
        ASSERT_EQ(vorn::StringDBCSLen(t.text), static_cast<int32_t>(n));
      }
    }
  }
}

// Two threads run the programs in every encoding, each with texts and patterns of its own,
// having first read two long texts both hold at the same time (one made at run time, one an
// image literal), one from its end back and the other from its start on: a cursor both took
// would give one the other's places.
TEST(TextModel, RandomTextProgramsGiveThePlainAnswersInTwoThreads) {
  std::string body;
  for (int i = 0; i < 3000; ++i) body += "ab\xE7\xAD\x89";  // no step of the index holds a whole number of these
  const string made = In(body, vorn::kEncodingShiftJIS), literal = vorn::test::LiteralOf(made);
  std::latch ready(2);
  auto run = [&](uint32_t seed) {
    const string kanji = In("\xE7\xAD\x89", vorn::kEncodingShiftJIS);
    ready.arrive_and_wait();
    for (const string* shared : {&made, &literal}) {
      for (int32_t k = 0; k < 90000; ++k) {  // through it twenty times
        const int32_t at = 1 + k * 2 % 9000, pos = seed == 1 ? 9001 - at : at;
        ASSERT_EQ(vorn::StringDBCSMid3(*shared, pos, 1).Compare(kanji) == 0, pos % 3 == 0) << pos;
        ASSERT_EQ(vorn::StringDBCSInStr(pos, *shared, kanji), (pos + 2) / 3 * 3);
      }
    }
    for (vorn::EncodingCode e : {vorn::kEncodingUTF8, vorn::kEncodingUTF16, vorn::kEncodingUTF32,
                                 vorn::kEncodingShiftJIS, vorn::kEncodingEUCJP, vorn::kEncodingISO2022JP}) {
      SCOPED_TRACE(e);
      RunTextProgram(seed, e);
    }
  };
  std::thread first(run, 1u), second(run, 2u);
  first.join();
  second.join();
}

}  // namespace
