// ISO-2022-JP read and written by the runtime's own tables, beside the system converter driven as
// text conversion drove it: random texts, well formed and not, give the same bytes and the same
// number of faults.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "strings/char_count.h"
#include "strings/iso2022jp_codec.h"
#include "strings/system_encoding.h"
#include "strings/utf8.h"
#include "strings/vstring.h"

using vorn::string;

namespace {

using Converted = std::pair<std::string, int32_t>;  // the bytes, and how many were replaced

// The system converter, going on after each fault with `replacement` for the `skip` bytes it
// could not convert, back in its initial state; the state is returned to first, so that the
// replacement stands outside any two-byte set.
Converted Convert(const std::string& text, const char* from, const char* to, std::string_view replacement,
                  const std::function<size_t(const char*, size_t)>& skip) {
  const iconv_t cd = iconv_open(to, from);
  Converted result;
  std::vector<char> room(text.size() * 8 + 16);
  char *in = const_cast<char*>(text.data()), *out = room.data();
  size_t inLeft = text.size(), outLeft = room.size();
  while (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    out = std::copy(replacement.begin(), replacement.end(), out);
    outLeft -= replacement.size();
    ++result.second;
    const size_t skipped = skip(in, inLeft);
    in += skipped;
    inLeft -= skipped;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv(cd, nullptr, nullptr, &out, &outLeft);
  iconv_close(cd);
  result.first.assign(room.data(), out);
  return result;
}
size_t UTF8Fault(const char* in, size_t left) { return vorn::UTF8FaultSize(in, static_cast<int32_t>(left)); }
size_t OneByte(const char*, size_t) { return 1; }

// Writing replaces the character or broken byte; reading one byte.
Converted ByConverter(const std::string& text, bool toJIS) {
  return toJIS ? Convert(text, "UTF-8", "ISO-2022-JP", "?", UTF8Fault) : Convert(text, "ISO-2022-JP", "UTF-8", "\xEF\xBF\xBD", OneByte);
}

Converted ByRuntime(const std::string& text, bool toJIS) {
  Converted result;
  const string s(std::string_view(text), toJIS ? vorn::kEncodingUTF8 : vorn::kEncodingISO2022JP);
  const vorn::EncodingCode target = toJIS ? vorn::kEncodingISO2022JP : vorn::kEncodingUTF8;
  result.first = vorn::ConvertTextEncoding(s, target, &result.second).View();
  return result;
}

// Pieces of texts, well formed and not. Reading: ASCII with control characters, every escape the
// converter knows and some it does not, kanji and kana pairs, pairs no set has, bytes above 0x7F.
const std::vector<std::string> kJISPieces = {
    "ab", " ", "\t", "\n", std::string(1, '\0'), "\x7F", "\\~", "\x1B(B", "\x1B(J", "\x1B$B", "\x1B$@",
    "4A", "$\"", "%\"", "!!", "!@", "t&", "(@", ")!", "\x1B(I", "\x1B$(D", "\x1B$A", "\x1Bx", "\x1B", "\x1B$",
    "\x80", "\xB1", "\xFF", "0\x1B(B"};
// Writing: ASCII, the escape character, yen sign and overline, kana, kanji, full-width forms; what
// no set has (é, half-width kana, a snowman, an emoji, U+FFFD, U+FFFE); bytes that are no UTF-8
// (a stray continuation, an overlong form, a surrogate, a lead byte cut off, bytes never used).
const std::vector<std::string> kUTF8Pieces = {
    "ab", " ", "\t", "\n", "\x7F", "\\", "~", "?", "\x1B", "\x1B(B", "\xC2\xA5", "\xE2\x80\xBE",
    "\xE3\x81\x82", "\xE6\xBC\xA2", "\xE4\xBA\x9C", "\xEF\xBC\xA1", "\xEF\xBC\xBC", "\xEF\xBF\xA3", "\xC3\xA9",
    "\xEF\xBD\xB1", "\xE2\x98\x83", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD", "\xEF\xBF\xBE", "\x80", "\xC0\xAF",
    "\xED\xA0\x80", "\xE6\xBC", "\xF5\x80\x80\x80", "\xFF"};

std::string RandomText(std::mt19937& random, const std::vector<std::string>& pieces) {
  std::string text;
  for (size_t n = random() % 24; n > 0; --n) {
    // One byte in eight alone: half a pair, or a pair no set may have.
    text += random() % 8 == 0 ? std::string(1, static_cast<char>(0x21 + random() % 94))
                              : pieces[random() % pieces.size()];
  }
  return text;
}

// A piece cut by Mid: the converter's ISO-2022-JP of the characters read, when that reads back as
// them, else the characters in UTF-8.
std::pair<std::string, vorn::EncodingCode> ExpectedPiece(const std::string& jis, int32_t start, int32_t count) {
  const std::string read = ByConverter(jis, false).first;
  const auto length = static_cast<int32_t>(read.size());
  const int32_t from = vorn::UTF8AdvanceChars(read.data(), length, 0, start);
  const std::string piece = read.substr(from, vorn::UTF8AdvanceChars(read.data(), length, from, count) - from);
  const std::string back = ByConverter(piece, true).first;
  if (piece.empty()) return {"", vorn::kEncodingASCII};
  if (ByConverter(back, false).first == piece) return {back, vorn::kEncodingISO2022JP};
  return {piece, vorn::kEncodingUTF8};
}

// Every prefix of each text converts as the converter does, and a piece Mid cuts from a text read
// is what the converter writes of its characters.
TEST(ISO2022JPCodec, RandomTextsAndEveryPrefixConvertAsTheConverterDoes) {
  std::mt19937 random(20221);
  for (int round = 0; round < 600; ++round) {
    const bool toJIS = round % 2;
    const std::string text = RandomText(random, toJIS ? kUTF8Pieces : kJISPieces);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
      const std::string prefix = text.substr(0, cut);
      ASSERT_EQ(ByRuntime(prefix, toJIS), ByConverter(prefix, toJIS)) << (toJIS ? "writing " : "reading ") << prefix;
    }
    if (toJIS) continue;
    const int32_t start = round / 2 % 12, count = round / 3 % 6;
    const string jis(std::string_view(text), vorn::kEncodingISO2022JP);
    const string piece = vorn::StringDBCSMid3(jis, start + 1, count);
    ASSERT_EQ(std::make_pair(std::string(piece.View()), piece.Encoding()), ExpectedPiece(text, start, count))
        << text << " from " << start << " taking " << count;
  }
}

// Each code point of the first plane after each set's characters, so that staying in a set and
// leaving it are both seen; then every pair of bytes after either escape to JIS X 0208.
TEST(ISO2022JPCodec, EveryCharacterAndPairConvertsAsTheConverterDoes) {
  const char* const before[] = {"a", "\xE6\xBC\xA2", "\xC2\xA5", ""};
  for (uint32_t block = 0; block < 0x10000; block += 512) {
    std::string text;
    for (uint32_t c = std::max(block, 1u); c < block + 512; ++c) {
      char bytes[4];
      text.append(before[c % 4]).append(bytes, vorn::EncodeUTF8(c, bytes));
    }
    ASSERT_EQ(ByRuntime(text, true), ByConverter(text, true)) << "from U+" << std::hex << block;
  }
  for (char first = 0x21; first <= 0x7E; ++first) {
    std::string text;
    for (char second = 0x21; second <= 0x7E; ++second) {
      text.append(second % 2 ? "\x1B$B" : "\x1B$@").append({first, second});
    }
    ASSERT_EQ(ByRuntime(text, false), ByConverter(text, false)) << "row " << int{first};
  }
}

// Every source but UTF-8, as the system converter writes ISO-2022-JP from it straight: one "?" for
// the whole character it lacks, or for one unit it can't read.
struct Source {
  vorn::EncodingCode code;
  const char* name;
  size_t unit;
};
Converted Straight(const Source& source, const std::string& text) {
  return Convert(text, source.name, "ISO-2022-JP", "?", [&](const char* bytes, size_t left) {
    for (size_t n = source.unit; n <= std::min<size_t>(left, 4); n += source.unit) {
      const Converted read = Convert(std::string(bytes, n), source.name, "UTF-32LE", "", OneByte);
      if (read.second == 0 && read.first.size() == 4) return n;  // one whole character
    }
    return std::min(source.unit, left);
  });
}

// Random texts of each source: ASCII, and each of the three sets ISO-2022-JP writes in (a yen sign
// and an overline in JIS-Roman, kana and kanji in JIS X 0208), each followed now and then by what
// it lacks (é, half-width kana, a snowman, an emoji, U+FFFD), and bytes that are no character of
// the source. Shift_JIS texts leave out a lone 0x5C and 0x7E, which the runtime reads as ASCII.
TEST(ISO2022JPCodec, EverySourceWritesAsTheConverterDoesStraight) {
  const std::vector<std::string> pieces = {
      "ab", "?", "\\", "~", "\x1B", "\xC2\xA5", "\xE2\x80\xBE", "\xE3\x81\x82", "\xE6\xBC\xA2", "\xEF\xBC\xA1",
      "\xC3\xA9", "\xEF\xBD\xB1", "\xE2\x98\x83", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD", "\xC3\xBF"};
  const Source sources[] = {
      {vorn::kEncodingUTF16, "UTF-16LE", 2}, {vorn::kEncodingUTF32, "UTF-32LE", 4}, {vorn::kEncodingEUCJP, "EUC-JP", 1},
      {0x0201, "ISO-8859-1", 1},             {0x0500, "WINDOWS-1252", 1},           {vorn::kEncodingShiftJIS, "SHIFT_JIS", 1},
      {vorn::kEncodingUTF8, "UTF-8", 1}};
  std::mt19937 random(8420);
  for (const Source& source : sources) {
    std::vector<std::string> sourcePieces;
    for (const std::string& piece : pieces) {
      const auto [bytes, faults] = Convert(piece, "UTF-8", source.name, "", UTF8Fault);
      if (source.code != vorn::kEncodingShiftJIS || (bytes != "\\" && bytes != "~")) sourcePieces.push_back(faults ? "" : bytes);
    }
    for (int round = 0; round < 3000; ++round) {
      std::string text;
      for (size_t n = random() % 12; n > 0; --n) {
        char stray = static_cast<char>(0x80 + random() % 128);
        if (source.unit > 1 && random() % 2) stray = "\x00\xD8\xDC\x11"[random() % 4];  // a surrogate, past U+10FFFF
        text += random() % 8 == 0 ? std::string(1, stray) : sourcePieces[random() % sourcePieces.size()];
      }
      Converted runtime;
      runtime.first = vorn::ConvertTextEncoding(string(std::string_view(text), source.code), vorn::kEncodingISO2022JP, &runtime.second).View();
      ASSERT_EQ(runtime, Straight(source, text)) << source.name << " round " << round;
    }
  }
}

}  // namespace
