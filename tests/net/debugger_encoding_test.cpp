#include "net/debugger_encoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace vorn {
namespace {

std::string Text(const string& s) { return std::string(s.View()); }

TEST(DebuggerEncodingTest, FixedSizeValuesAreUpperCaseDigitsMostSignificantFirst) {
  uint32_t one = 1;
  EXPECT_EQ(Text(HexEncodeBytes(&one, 4)), "00000001");
  int32_t minusOne = -1;
  EXPECT_EQ(Text(HexEncodeBytes(&minusOne, 4)), "FFFFFFFF");
  const uint8_t memoryOrder[] = {0xEF, 0xBE};
  EXPECT_EQ(Text(HexEncodeBytes(memoryOrder, 2)), "BEEF");
  EXPECT_EQ(Text(HexEncode8(0x2A)), "2A");
  EXPECT_EQ(Text(HexEncode16(0xBEEF)), "BEEF");
  EXPECT_EQ(Text(HexEncode32(42)), "0000002A");
  EXPECT_EQ(Text(HexEncode64(0x0123456789ABCDEFull)), "0123456789ABCDEF");

  float single = 1.0f;
  EXPECT_EQ(Text(HexEncodeBytes(&single, 4)), "3F800000");
  double dbl = -2.5;
  EXPECT_EQ(Text(HexEncodeBytes(&dbl, 8)), "C004000000000000");
  EXPECT_EQ(HexEncodeBytes(&one, 0).Length(), 0);
  EXPECT_EQ(HexEncodeBytes(nullptr, 4).Length(), 0);
}

TEST(DebuggerEncodingTest, AddressesTakeSixteenDigitsOnlyWhenTheyNeedThem) {
  EXPECT_EQ(Text(HexEncodeAddress(0x1234)), "00001234");
  EXPECT_EQ(Text(HexEncodeAddress(0xFFFFFFFFu)), "FFFFFFFF");
  EXPECT_EQ(Text(HexEncodeAddress(0x7FFF12345678ull)), "00007FFF12345678");
  // A receiver decoding pointer-sized values reads both forms.
  EXPECT_EQ(HexDecode64("00001234"), 0x1234u);
  EXPECT_EQ(HexDecode64("00007FFF12345678"), 0x7FFF12345678ull);
}

TEST(DebuggerEncodingTest, DecodingPadsShortTextAndKeepsTheLastDigitsOfLongText) {
  DebugTextProblem problem = DebugTextProblem::kNone;
  EXPECT_EQ(HexDecode32("2A", &problem), 42u);
  EXPECT_EQ(problem, DebugTextProblem::kWrongLength);
  EXPECT_EQ(HexDecode32("123456789", &problem), 0x23456789u);
  EXPECT_EQ(problem, DebugTextProblem::kWrongLength);
  EXPECT_EQ(HexDecode32("", &problem), 0u);
  EXPECT_EQ(HexDecode32("0000002A", &problem), 42u);
  EXPECT_EQ(problem, DebugTextProblem::kNone);

  uint8_t bytes[2] = {0, 0};
  EXPECT_EQ(HexDecodeBytes("BEEF", bytes, 2), DebugTextProblem::kNone);
  EXPECT_EQ(bytes[0], 0xEF);
  EXPECT_EQ(bytes[1], 0xBE);

  // Wider than the zeros the padding rule assumes: the missing digits still read as zeros.
  uint8_t wide[16];
  std::memset(wide, 0xAA, sizeof wide);
  EXPECT_EQ(HexDecodeBytes("1", wide, 16), DebugTextProblem::kWrongLength);
  EXPECT_EQ(wide[0], 0x01);
  for (int i = 1; i < 16; ++i) EXPECT_EQ(wide[i], 0) << i;
}

TEST(DebuggerEncodingTest, OnlyUpperCaseDigitsCountAndOthersReadAsZero) {
  DebugTextProblem problem = DebugTextProblem::kNone;
  EXPECT_EQ(HexDecode32("0000002a", &problem), 0x20u);
  EXPECT_EQ(problem, DebugTextProblem::kNotHexDigit);
  EXPECT_EQ(HexDecode32("00 0-0ZZ", &problem), 0u);
  EXPECT_EQ(problem, DebugTextProblem::kNotHexDigit);
  EXPECT_EQ(HexDecode32(std::string("\0\xFF" "000001", 8), &problem), 1u);
  EXPECT_EQ(problem, DebugTextProblem::kNotHexDigit);
}

TEST(DebuggerEncodingTest, EveryValueSurvivesTheRoundTrip) {
  const uint64_t samples[] = {0, 1, 0x7F, 0x80, 0xFF, 0x1234, 0x80000000u, 0xFFFFFFFFu, 0x0123456789ABCDEFull, ~0ull};
  for (uint64_t value : samples) {
    for (int32_t n : {1, 2, 4, 8}) {
      uint64_t kept = n == 8 ? value : value & ((uint64_t{1} << (8 * n)) - 1);
      uint8_t in[8], out[8] = {};
      for (int i = 0; i < 8; ++i) in[i] = static_cast<uint8_t>(kept >> (8 * i));
      string text = HexEncodeBytes(in, n);
      ASSERT_EQ(text.Length(), 2 * n);
      EXPECT_EQ(HexDecodeBytes(text.View(), out, n), DebugTextProblem::kNone);
      EXPECT_EQ(std::memcmp(in, out, static_cast<size_t>(n)), 0) << Text(text);
    }
  }
}

TEST(DebuggerEncodingTest, StringsTravelAsEncodingColonAndBytes) {
  EXPECT_EQ(Text(EncodeDebugString(string("abc"))), "00000600:616263");
  EXPECT_EQ(Text(EncodeDebugString(string())), "00000600:");
  EXPECT_EQ(Text(EncodeDebugString(string(" "))), "00000600:20") << "no blank of its own";
  EXPECT_EQ(Text(EncodeDebugString(string("\xC3\xA9", 2, kEncodingUTF8))), "08000100:C3A9");
  EXPECT_EQ(Text(EncodeDebugString(string("\0\xFF", 2, kEncodingUnknown))), "0000FFFF:00FF");
}

TEST(DebuggerEncodingTest, DecodedStringsKeepTheirBytesAndEncoding) {
  DebugTextProblem problem = DebugTextProblem::kWrongLength;
  string empty = DecodeDebugString("00000600:", &problem);
  EXPECT_EQ(empty.Rep(), nullptr);
  EXPECT_EQ(problem, DebugTextProblem::kNone);

  string a = DecodeDebugString("00000600:41", &problem);
  EXPECT_EQ(Text(a), "A");
  EXPECT_EQ(a.Encoding(), kEncodingASCII);

  string binary("\0\x01\x7F\x80\xFF", 5, kEncodingUTF16);
  string back = DecodeDebugString(EncodeDebugString(binary).View(), &problem);
  EXPECT_EQ(problem, DebugTextProblem::kNone);
  EXPECT_EQ(back.View(), binary.View());
  EXPECT_EQ(back.Encoding(), kEncodingUTF16);
}

TEST(DebuggerEncodingTest, MalformedStringsDecodeByTheLenientRulesAndSaySo) {
  DebugTextProblem problem = DebugTextProblem::kNone;
  // An odd final digit is the high digit of the last byte.
  EXPECT_EQ(Text(DecodeDebugString("08000100:414", &problem)), "A@");
  EXPECT_EQ(problem, DebugTextProblem::kWrongLength);

  EXPECT_EQ(DecodeDebugString("0000060041", &problem).Rep(), nullptr);
  EXPECT_EQ(problem, DebugTextProblem::kMissingColon);
  EXPECT_EQ(DecodeDebugString("", &problem).Rep(), nullptr);
  EXPECT_EQ(problem, DebugTextProblem::kMissingColon);

  string lower = DecodeDebugString("600:4a", &problem);
  EXPECT_EQ(lower.Encoding(), kEncodingASCII);
  EXPECT_EQ(Text(lower), "@");
  EXPECT_EQ(problem, DebugTextProblem::kWrongLength) << "the short encoding is found first";

  EXPECT_EQ(Text(DecodeDebugString("00000600:4G:1", &problem)), std::string("\x40\x01", 2));
  EXPECT_EQ(problem, DebugTextProblem::kNotHexDigit);
}

}  // namespace
}  // namespace vorn
