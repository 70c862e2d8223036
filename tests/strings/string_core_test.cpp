#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "strings/char_count.h"
#include "strings/memory.h"
#include "strings/record_limit.h"
#include "strings/system_encoding.h"
#include "strings/text_index.h"
#include "strings/vstring.h"

using vorn::string;
using vorn::StringRep;

namespace {

TEST(StringRecord, LayoutHoldsLengthByteTextAndNul) {
  string s("hello");
  vorn::StringRep* rep = s.Rep();
  ASSERT_NE(rep, nullptr);
  EXPECT_EQ(rep->refCount, 1);
  EXPECT_EQ(rep->length, 5);
  EXPECT_EQ(rep->bufferSize, 7);
  EXPECT_EQ(rep->encoding, vorn::kEncodingASCII);
  EXPECT_EQ(static_cast<uint8_t>(rep->buffer[0]), 5);
  EXPECT_STREQ(rep->buffer + 1, "hello");

  std::string longText(300, 'x');
  string big(longText.c_str());
  EXPECT_EQ(static_cast<uint8_t>(big.Rep()->buffer[0]), 255);
  EXPECT_EQ(big.Length(), 300);
}

TEST(StringRecord, EmptyIsNilAndReadsAsEmptyText) {
  string empty;
  EXPECT_EQ(empty.Rep(), nullptr);
  EXPECT_STREQ(empty.CString(), "");
  EXPECT_EQ(string(static_cast<const char*>(nullptr)).Rep(), nullptr);
  EXPECT_EQ(string("").Rep(), nullptr);
}

TEST(StringRecord, ChangeCopiesASharedRecordFirst) {
  string a("abc");
  string b = a;
  EXPECT_EQ(a.Rep(), b.Rep());
  EXPECT_EQ(a.Rep()->refCount, 2);
  b.MutableBytes()[0] = 'X';
  EXPECT_STREQ(a.CString(), "abc");
  EXPECT_STREQ(b.CString(), "Xbc");
  EXPECT_EQ(a.Rep()->refCount, 1);
}

// What the text functions learn of a long text's characters goes with its record: a change in
// place starts them afresh, and freeing the record frees them, whatever comes to lie at its address.
TEST(StringRecord, ChangedOrFreedRecordsAreReadAfresh) {
  std::string body;
  for (int i = 0; i < 2000; ++i) body += "ab\xE5\xB1\xB1";  // 山
  const struct {
    const char* what;
    void (*change)(string&);
    int32_t count;  // characters after the change
    const char* last;
  } rows[] = {
      {"a kanji's bytes become letters", [](string& s) { std::memcpy(s.MutableBytes() + s.Length() - 3, "xyz", 3); },
       6002, "z"},
      {"appended in place", [](string& s) { s.Append(string("\xE7\xAD\x89", 3, vorn::kEncodingUTF8)); }, 6001,
       "\xE7\xAD\x89"},
      {"freed, and another made",
       [](string& s) { s = string(); s = string(std::string(9998, '-') + "\xC3\xA9", vorn::kEncodingUTF8); }, 9999,
       "\xC3\xA9"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const int64_t before = vorn::TextIndexesAlive();
    string s(std::string_view(body), vorn::kEncodingUTF8);
    s.Reserve(s.Length() + 16);
    ASSERT_EQ(vorn::StringDBCSMid3(s, 5999, 1).View(), "b");
    EXPECT_EQ(vorn::TextIndexesAlive(), before + 1);
    row.change(s);
    EXPECT_EQ(vorn::StringDBCSLen(s), row.count);
    EXPECT_EQ(vorn::StringDBCSRight(s, 1).View(), row.last);
    s = string();
    EXPECT_EQ(vorn::TextIndexesAlive(), before);
  }
}

// A caller that receives into reserved room: the length set afterwards never reaches past the
// room (bytes nobody wrote must not become text), and text already there survives.
TEST(StringRecord, FilledRoomBecomesTextUpToTheRoomOnly) {
  struct Case {
    const char* before;
    int32_t room;
    const char* written;  // at the start of the bytes
    int32_t filled;
    std::string expected;
  } cases[] = {
      {"", 16, "abcdefghijklmnop", 16, "abcdefghijklmnop"},  // the whole room
      {"", 4, "abcd", 9, "abcd"},                            // past the room
      {"", 8, "ab", -3, ""},
      {"xyz", 2, "", 3, "xyz"},  // a room smaller than the text keeps the text
      {"xyz", 64, "XY", 3, "XYz"},
      {"", 47, "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstu", 60, "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstu"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before + std::string("/") + c.written);
    string s(c.before);
    string shared = s;
    s.Reserve(c.room);
    std::memcpy(s.MutableBytes(), c.written, std::strlen(c.written));
    s.SetFilledLength(c.filled);
    EXPECT_EQ(std::string(s.View()), c.expected);
    EXPECT_EQ(s.CString()[s.Length()], '\0');
    EXPECT_EQ(std::string(shared.View()), c.before) << "the shared record was changed";
  }
}

// Records made, grown in place and dropped in a seeded mix, on two threads that drop each
// other's: a block a dropped record leaves behind, whichever way it was made, always has room
// for the next record that takes it, and no record's text changes under another's.
TEST(StringRecord, EveryBlockHoldsTheRoomOfTheRecordInIt) {
  std::mutex lock;
  std::vector<string> piles[2];
  auto run = [&](unsigned seed, int side) {
    std::mt19937 random(seed);
    std::vector<std::pair<string, std::string>> live;
    for (int step = 0; step < 20000; ++step) {
      const std::string text(random() % 301, static_cast<char>('a' + step % 26));
      const unsigned what = random() % 4;
      if (what == 0) live.emplace_back(string(text, vorn::kEncodingUTF8), text);
      if (what == 1 && !live.empty()) {
        auto& [grown, model] = live[random() % live.size()];
        const std::string more(text.size() % 40, 'g');
        grown.Append(string(more, vorn::kEncodingUTF8));
        model += more;
      }
      if (what == 2 && !live.empty()) live.erase(live.begin() + static_cast<long>(random() % live.size()));
      if (what == 3) {  // made here for the other thread; one of the other's dropped here
        string theirs;
        const std::lock_guard<std::mutex> hold(lock);
        piles[side].emplace_back(text, vorn::kEncodingUTF8);
        if (!piles[1 - side].empty()) theirs = std::move(piles[1 - side].back()), piles[1 - side].pop_back();
      }
      for (const auto& [record, model] : live) {
        if (const StringRep* rep = record.Rep()) {
          ASSERT_GE(vorn::UsableSize(vorn::string_block::HeaderOf(rep)),
                    vorn::string_block::kHeaderSize + sizeof(StringRep) + vorn::string_block::CapacityOf(rep) + 2);
        }
        if (step % 97 == 0) {
          ASSERT_EQ(std::string(record.View()), model);
        }
      }
    }
  };
  for (unsigned round = 0; round < 3; ++round) {
    std::thread other(run, 2 * round + 1, 1);
    run(2 * round, 0);
    other.join();
  }
}

TEST(StringRecord, LockAndUnlockAcceptNil) {
  RuntimeLockString(nullptr);
  RuntimeUnlockString(nullptr);
  string s("x");
  RuntimeLockString(s.Rep());
  EXPECT_EQ(s.Rep()->refCount, 2);
  RuntimeUnlockString(s.Rep());
  EXPECT_EQ(s.Rep()->refCount, 1);
}

TEST(StringRecord, StaticRecordsSurviveUnbalancedReleases) {
  VORN_LITERAL(kLiteral, "literal");
  vorn::RegisterStaticStringRange(&kLiteral, reinterpret_cast<char*>(&kLiteral) + sizeof(kLiteral));
  string s = string::Share(VORN_STR(kLiteral));
  EXPECT_STREQ(s.CString(), "literal");
  EXPECT_EQ(s.Length(), 7);
  EXPECT_EQ(s.Encoding(), vorn::kEncodingUTF8);
  RuntimeUnlockString(VORN_STR(kLiteral));
  RuntimeUnlockString(VORN_STR(kLiteral));
  s.Append(string("!"));  // must copy, never write into the literal
  EXPECT_STREQ(s.CString(), "literal!");
  EXPECT_STREQ(kLiteral.buffer.bytes, "literal");
}

// The word in front of this literal reads as plenty of room and it holds its one reference:
// only its address keeps an append from writing into it.
TEST(StringRecord, AppendCopiesALiteralThatSeemsToHaveRoom) {
  static struct {
    int64_t room;
    VornStringRecord record;
    char buffer[8];
  } literal = {1 << 20, {1, literal.buffer, 5, 3, kVornEncodingUTF8}, "\3abc"};
  ASSERT_EQ(static_cast<void*>(&literal.record + 1), static_cast<void*>(literal.buffer));
  vorn::RegisterStaticStringRange(&literal, &literal + 1);
  string s = string::Adopt(&literal.record);
  s.Append(string("!", 1, vorn::kEncodingUTF8));
  EXPECT_STREQ(s.CString(), "abc!");
  EXPECT_STREQ(literal.buffer + 1, "abc");
  EXPECT_EQ(literal.record.length, 3);
}

// Ranges registered high first, then low: both count, and so does nothing between or past them.
TEST(StringRecord, EveryRegisteredRangeIsStatic) {
  static char area[3][64];
  vorn::RegisterStaticStringRange(area[2], area[2] + 64);
  vorn::RegisterStaticStringRange(area[0], area[0] + 64);
  const struct {
    const char* at;
    bool isStatic;
  } cases[] = {{area[0], true}, {area[0] + 63, true}, {area[1], false},
               {area[2], true}, {area[2] + 63, true}, {area[2] + 64, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(vorn::IsStaticStringRep(reinterpret_cast<const vorn::StringRep*>(c.at)), c.isStatic)
        << c.at - area[0];
  }
}

TEST(StringPieces, LeftRightMidFollowByteCounts) {
  string s("abcdef");
  EXPECT_STREQ(s.Left(2).CString(), "ab");
  EXPECT_EQ(s.Left(0).Rep(), nullptr);
  EXPECT_EQ(s.Left(10).Rep(), s.Rep());
  EXPECT_STREQ(s.Right(2).CString(), "ef");
  EXPECT_EQ(s.Right(-1).Length(), 0);
  EXPECT_STREQ(s.Mid(1, 3).CString(), "bcd");
  EXPECT_STREQ(s.Mid(4, 100).CString(), "ef");
  EXPECT_EQ(s.Mid(6, 1).Length(), 0);
  EXPECT_EQ(s.Mid(2, 0).Length(), 0);
  EXPECT_STREQ(s.MidToEnd(-3).CString(), "abcdef");
  EXPECT_STREQ(s.MidToEnd(4).CString(), "ef");
  EXPECT_EQ(s.MidToEnd(6).Length(), 0);
  EXPECT_STREQ(string(" \t a b \t").Trim().CString(), "a b");
}

TEST(StringCompare, IgnoresCaseAndOrdersPrefixesFirst) {
  EXPECT_EQ(string("Hello").Compare(string("hELLO")), 0);
  EXPECT_EQ(string("abc").Compare(string("abd")), -1);
  EXPECT_EQ(string("abc").Compare(string("ab")), 1);
  EXPECT_EQ(string().Compare(string("a")), -1);
  EXPECT_EQ(string("Hello").CompareBinary(string("hello")), -1);
  EXPECT_EQ(string("ab").CompareBinary(string("abc")), -1);
  EXPECT_EQ(string("abc").CompareBinary(string("abc")), 0);
}

TEST(StringCompare, BringsEncodingsTogether) {
  string latin1("caf\xE9", 4, 0x0201);
  string utf8("CAF\xC3\x89", 5, vorn::kEncodingUTF8);
  EXPECT_EQ(latin1.Compare(utf8), 0);
  string lowerUtf8("caf\xC3\xA9", 5, vorn::kEncodingUTF8);
  EXPECT_EQ(latin1.CompareBinary(lowerUtf8), 0);
  // Invalid UTF-8 bytes never compare equal to a different valid character.
  string invalid("\xC3", 1, vorn::kEncodingUTF8);
  EXPECT_NE(invalid.Compare(string("\xC3\x83", 2, vorn::kEncodingUTF8)), 0);
}

TEST(StringJoin, EmptySideYieldsTheOther) {
  string a("abc");
  EXPECT_EQ((a + string()).Rep(), a.Rep());
  EXPECT_EQ((string() + a).Rep(), a.Rep());
}

TEST(StringJoin, ConvertsToACommonEncoding) {
  string latin1("\xE9t\xE9", 3, 0x0201);
  string utf8("\xE2\x82\xAC", 3, vorn::kEncodingUTF8);  // euro sign
  string joined = latin1 + utf8;
  EXPECT_EQ(joined.Encoding(), vorn::kEncodingUTF8);
  EXPECT_STREQ(joined.CString(), "\xC3\xA9t\xC3\xA9\xE2\x82\xAC");

  string ascii("abc");
  string withUtf8 = ascii + utf8;
  EXPECT_EQ(withUtf8.Encoding(), vorn::kEncodingUTF8);

  string unknown("\x80\x81", 2, vorn::kEncodingUnknown);
  string mixed = utf8 + unknown;
  EXPECT_EQ(mixed.Encoding(), vorn::kEncodingUnknown);
  EXPECT_EQ(mixed.Length(), 5);  // no conversion
}

TEST(StringJoin, AppendGrowsInPlaceAndHandlesSelf) {
  string s("ab");
  for (int i = 0; i < 1000; ++i) s.Append(string("c"));
  EXPECT_EQ(s.Length(), 1002);
  EXPECT_EQ(s.Rep()->bufferSize, 1004);
  EXPECT_EQ(s.CString()[1002], '\0');
  s.Append(s);
  EXPECT_EQ(s.Length(), 2004);
  s.AppendCString("zz");
  EXPECT_EQ(s.Length(), 2006);
  EXPECT_EQ(s.Encoding(), vorn::kEncodingASCII);
}

// The length byte in front of the text follows every in-place append up to 255 and stays there;
// a string appended to itself in its own room copies its old bytes once.
TEST(StringJoin, InPlaceAppendsKeepTheLengthByteAndAppendToThemselves) {
  string s("x");
  s.Append(string("y"));  // the first append makes room
  for (int32_t length = 3; length <= 258; ++length) {
    s.Append(string("z"));
    ASSERT_EQ(static_cast<uint8_t>(s.Rep()->buffer[0]), std::min(length, 255)) << length;
    ASSERT_EQ(s.CString()[length], '\0') << length;
  }
  string half("abc");
  half.Append(string("d"));  // room for more than twice the text now
  half.Append(half);
  EXPECT_STREQ(half.CString(), "abcdabcd");
  EXPECT_EQ(static_cast<uint8_t>(half.Rep()->buffer[0]), 8);
}

// Short texts are copied in pieces that may overlap: at every length around the piece sizes, from
// a source whose allocation ends right behind it (a sanitizer build sees a read past it), a record
// made of the text and one appended to in place hold exactly the text, then the NUL.
TEST(StringJoin, TextsOfEveryShortLengthAreCopiedWhole) {
  for (size_t length = 0; length <= 130; ++length) {
    SCOPED_TRACE(length);
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>(1 + (i * 37 + length) % 251);
    const std::unique_ptr<char[]> source(new char[std::max<size_t>(length, 1)]);
    std::memcpy(source.get(), text.data(), length);
    string grown(std::string_view("ab"), vorn::kEncodingUTF8);  // as the record: appended in place
    grown.Reserve(static_cast<int32_t>(length + 2));
    grown.Append(string(std::string_view(source.get(), length), vorn::kEncodingUTF8));
    ASSERT_EQ(std::string(grown.CString(), length + 3), "ab" + text + '\0');
  }
}

// Text longer than a record holds ends the program as memory exhausted, with a failure status as
// a failed allocation does, before any count wraps around; a record of the longest length holds
// its end. The long texts are reserved room, never written, so no row touches its gigabytes.
TEST(StringJoin, TextPastTheLongestRecordEndsAsMemoryExhausted) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  using vorn::kLongestStringBytes;
  static const auto unwritten = [](int32_t length, vorn::EncodingCode encoding = vorn::kEncodingASCII) {
    string s;
    s.Reserve(length);
    s.SetFilledLength(length);
    s.SetEncoding(encoding);
    return s;
  };
  // Texts that convert to a known length, with the longest length lowered to that length and
  // `spare` - 1 bytes more: a thousand faults that read as 3000 bytes of UTF-8, and a thousand
  // "a漢" that write as 9000 bytes of ISO-2022-JP (and are shorter on their way through UTF-8).
  static constexpr vorn::EncodingCode jisCode = vorn::kEncodingISO2022JP;
  static const auto faults = [](int32_t spare) {
    vorn::SetLongestRecordLengthForTests(3000 + spare - 1);
    return string(std::string(1000, '\x80'), jisCode);
  };
  static const auto kanji = [](vorn::EncodingCode encoding, int32_t spare) {
    vorn::SetLongestRecordLengthForTests(9000 + spare - 1);
    std::string text;
    for (int i = 0; i < 1000; ++i) text += encoding == vorn::kEncodingUTF8 ? "a\xE6\xBC\xA2" : "a\xB4\xC1";
    return string(text, encoding);
  };
  EXPECT_EXIT([] {
    const string s = unwritten(kLongestStringBytes);
    const bool whole = s.Length() == kLongestStringBytes && s.Rep()->bufferSize == INT32_MAX;
    std::exit(whole && s.CString()[s.Length()] == 0 ? 7 : 3);
  }(), ::testing::ExitedWithCode(7), "") << "the longest record";
  const struct {
    const char* name;
    void (*make)();
  } rows[] = {
      {"room one byte past it", [] { string().Reserve(kLongestStringBytes + 1); }},
      {"an append one byte past it", [] { unwritten(kLongestStringBytes - 10).Append(string("12345678901")); }},
      {"a join past 32 bits", [] { (void)(unwritten(1500 << 20) + unwritten(1500 << 20)); }},
      {"a join across encodings", [] { (void)(unwritten(1500 << 20) + unwritten(1500 << 20, vorn::kEncodingUTF8)); }},
      // Below, the longest length is lowered to what the text made needs, less one.
      {"ISO-2022-JP read", [] { (void)vorn::ConvertTextEncoding(faults(0), vorn::kEncodingUTF8); }},
      {"ISO-2022-JP read for its length", [] { (void)vorn::StringDBCSLen(faults(0)); }},
      {"ISO-2022-JP written", [] { (void)vorn::ConvertTextEncoding(kanji(vorn::kEncodingUTF8, 0), jisCode); }},
      {"ISO-2022-JP written from EUC-JP", [] { (void)vorn::ConvertTextEncoding(kanji(vorn::kEncodingEUCJP, 0), jisCode); }},
  };
  // The children end holding gigabytes on purpose: a leak scan at their end would read every
  // page of them, for minutes under the sanitizers. They inherit the environment they start in.
  const char* options = std::getenv("ASAN_OPTIONS");
  const std::string before = options ? options : "";
  setenv("ASAN_OPTIONS", (before + ":detect_leaks=0").c_str(), 1);
  for (const auto& row : rows) {
    EXPECT_EXIT((row.make(), std::exit(3)), ::testing::ExitedWithCode(1), "out of memory") << row.name;
  }
  EXPECT_EXIT([] {
    const bool fit = vorn::ConvertTextEncoding(faults(1), vorn::kEncodingUTF8).Length() == 3000 &&
                     vorn::StringDBCSLen(faults(1)) == 1000 &&
                     vorn::ConvertTextEncoding(kanji(vorn::kEncodingUTF8, 1), jisCode).Length() == 9000 &&
                     vorn::ConvertTextEncoding(kanji(vorn::kEncodingEUCJP, 1), jisCode).Length() == 9000;
    std::exit(fit ? 7 : 3);
  }(), ::testing::ExitedWithCode(7), "") << "ISO-2022-JP texts of the lowered longest length";
  if (options) setenv("ASAN_OPTIONS", before.c_str(), 1);
  else unsetenv("ASAN_OPTIONS");
}

TEST(StringJoin, ConcatByteTagsHighBytesUnknown) {
  string s("ab", 2, vorn::kEncodingUTF8);
  EXPECT_EQ(s.ConcatByte('c').Encoding(), vorn::kEncodingUTF8);
  EXPECT_EQ(s.ConcatByte(0x90).Encoding(), vorn::kEncodingUnknown);
  EXPECT_EQ(s.ConcatByte(0x90).Length(), 3);
}

TEST(StringEncoding, RoundTripsThroughUnicodeAndLegacyEncodings) {
  string utf8("Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC", 11, vorn::kEncodingUTF8);
  for (vorn::EncodingCode code : {vorn::kEncodingUTF16, vorn::kEncodingUTF32}) {
    string there = vorn::ConvertTextEncoding(utf8, code);
    EXPECT_EQ(there.Encoding(), code);
    string back = vorn::ConvertTextEncoding(there, vorn::kEncodingUTF8);
    EXPECT_EQ(back.CompareBinary(utf8), 0);
  }
  string mac = vorn::ConvertTextEncoding(string("\xC3\xBC", 2, vorn::kEncodingUTF8), vorn::kEncodingMacRoman);
  ASSERT_EQ(mac.Length(), 1);
  EXPECT_EQ(mac.Byte(0), 0x9F);  // u-umlaut in MacRoman
  EXPECT_STREQ(mac.ToUTF8().CString(), "\xC3\xBC");
  string latin = vorn::ConvertTextEncoding(string("\xC3\xBC", 2, vorn::kEncodingUTF8), 0x0201);
  EXPECT_EQ(latin.Byte(0), 0xFC);
}

TEST(StringEncoding, AsciiIsRetaggedAndUnknownIsShared) {
  string ascii("plain");
  string retagged = vorn::ConvertTextEncoding(ascii, vorn::kEncodingUTF8);
  EXPECT_EQ(retagged.Encoding(), vorn::kEncodingUTF8);
  EXPECT_STREQ(retagged.CString(), "plain");
  EXPECT_EQ(vorn::ConvertTextEncoding(ascii, vorn::kEncodingUTF16).Length(), 10);
  string unknown("\xFF", 1, vorn::kEncodingUnknown);
  EXPECT_EQ(vorn::ConvertTextEncoding(unknown, vorn::kEncodingUTF8).Rep(), unknown.Rep());
  EXPECT_EQ(vorn::ConvertTextEncoding(ascii, vorn::kEncodingUnknown).Rep(), ascii.Rep());
}

TEST(StringEncoding, BadInputIsReplacedNeverOverread) {
  string invalid("a\xFF\xC3", 3, vorn::kEncodingUTF8);  // stray byte and a cut-off sequence
  string latin = vorn::ConvertTextEncoding(invalid, 0x0201);
  EXPECT_STREQ(latin.CString(), "a??");
  string oddUtf16("a\0b", 3, vorn::kEncodingUTF16);  // odd length
  string fromOdd = oddUtf16.ToUTF8();
  EXPECT_EQ(fromOdd.Encoding(), vorn::kEncodingUTF8);
  EXPECT_STREQ(fromOdd.CString(), "a\xEF\xBF\xBD");
  string unmappable = vorn::ConvertTextEncoding(string("\xE2\x82\xAC", 3, vorn::kEncodingUTF8), 0x0201);
  EXPECT_STREQ(unmappable.CString(), "?");
}

// A character the target lacks is one replacement, counted once, and what follows it is read as
// it stands, whichever encodings the two are; so is a byte the source can't read.
TEST(StringEncoding, ACharacterTheTargetLacksIsOneReplacement) {
  using vorn::kEncodingEUCJP, vorn::kEncodingISO2022JP, vorn::kEncodingUTF16;
  const struct {
    const char* name;
    std::string bytes;
    vorn::EncodingCode source, target;
    std::string converted;
  } rows[] = {
      {"a UTF-16 emoji", std::string("a\0\x3D\xD8\x00\xDE" "b\0", 8), kEncodingUTF16, 0x0201, "a?b"},
      {"an EUC-JP kanji", "\xB4\xC1z", kEncodingEUCJP, 0x0201, "?z"},
      {"an EUC-JP kanji of the supplementary set", "\x8F\xB0\xA1z", kEncodingEUCJP, 0x0500, "?z"},
      {"an ISO-2022-JP kanji", "\x1B$B4A\x1B(Bz", kEncodingISO2022JP, 0x0201, "?z"},
      {"an ISO-2022-JP kanji, to a target with kanji", "\x1B$B4A\x80", kEncodingISO2022JP, kEncodingEUCJP, "\xB4\xC1?"},
      {"a byte no Shift_JIS", "\x81", vorn::kEncodingShiftJIS, 0x0201, "?"},
      {"a byte no ISO-2022-JP, to a target with U+FFFD", "\x80", kEncodingISO2022JP, kEncodingUTF16, "\xFD\xFF"},
      {"a UTF-16 emoji in ISO-2022-JP", std::string("\x22\x6F\x3D\xD8\x00\xDE" "a\0", 8), kEncodingUTF16, kEncodingISO2022JP, "\x1B$B4A\x1B(B?a"},
      {"half-width kana in ISO-2022-JP", "\x8E\xB1\xB4\xC1", kEncodingEUCJP, kEncodingISO2022JP, "?\x1B$B4A\x1B(B"},
      {"an e acute after a yen sign in ISO-2022-JP", "\xA5\xE9\\~", 0x0201, kEncodingISO2022JP, "\x1B(J\\\x1B(B?\\~"},
  };
  for (const auto& row : rows) {
    int32_t replaced = 0;
    const string converted = vorn::ConvertTextEncoding(string(row.bytes, row.source), row.target, &replaced);
    EXPECT_EQ(converted.View(), row.converted) << row.name;
    EXPECT_EQ(converted.Encoding(), row.target) << row.name;
    EXPECT_EQ(replaced, 1) << row.name;
  }
}

}  // namespace
