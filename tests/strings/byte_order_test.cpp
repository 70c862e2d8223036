#include "strings/byte_order.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "strings/byte_reader.h"

namespace vorn {
namespace {

TEST(ByteOrderTest, SwapsAndSignExtension) {
  int32_t widened = SwapBytesShort(int16_t{0x0080});
  EXPECT_EQ(widened, -32768);
  EXPECT_EQ(SwapBytes16(int16_t{0x1234}), int16_t{0x3412});
  EXPECT_EQ(SwapBytes32(0x12345678u), 0x78563412u);
  EXPECT_EQ(SwapBytesLong(0x000000FF), static_cast<int32_t>(0xFF000000u));
  EXPECT_EQ(SwapBytesDouble(SwapBytesDouble(1.5)), 1.5);

  double one = 1.0;  // in memory 00 .. 00 F0 3F on this host
  double swapped = SwapBytesDouble(one);
  uint8_t bytes[8];
  std::memcpy(bytes, &swapped, 8);
  EXPECT_EQ(bytes[0], 0x3F);
  EXPECT_EQ(bytes[1], 0xF0);
}

TEST(ByteOrderTest, ReverseBytesInPlace) {
  char odd[] = "abcde";
  ReverseBytes(odd, 5);
  EXPECT_STREQ(odd, "edcba");
  char even[] = "abcd";
  ReverseBytes(even, 4);
  EXPECT_STREQ(even, "dcba");
  ReverseBytes(even, 1);
  ReverseBytes(even, 0);
  ReverseBytes(even, -5);
  ReverseBytes(nullptr, 4);
  EXPECT_STREQ(even, "dcba");
  char out[4];
  CopyBytesReversed(out, "wxyz", 4);
  EXPECT_EQ(std::memcmp(out, "zyxw", 4), 0);
}

TEST(ByteOrderTest, BigAndLittleEndianHelpers) {
  uint8_t buffer[8] = {};
  PutSwapped16(buffer, 0xABCD);
  EXPECT_EQ(buffer[0], 0xAB);
  EXPECT_EQ(buffer[1], 0xCD);
  EXPECT_EQ(GetSwapped16(buffer), 0xABCD);
  PutSwapped32(buffer, 0x01020304);
  EXPECT_EQ(buffer[0], 1);
  EXPECT_EQ(buffer[3], 4);
  EXPECT_EQ(GetSwapped32(buffer), 0x01020304u);
  EXPECT_EQ(BigEndianBytesToUInt32(buffer), 0x01020304u);
  EXPECT_EQ(LittleEndianBytesToUInt16(buffer), 0x0201);
  PutSwappedDouble(buffer, -2.25);
  EXPECT_EQ(buffer[0], 0xC0);  // sign and exponent first
  EXPECT_EQ(GetSwappedDouble(buffer), -2.25);

  string little = UInt16ToLittleEndianString(0x4142);
  EXPECT_EQ(little.View(), "BA");
  string big = UInt32ToBigEndianString(0x54455854);
  EXPECT_EQ(big.View(), "TEXT");
  EXPECT_EQ(big.Encoding(), kEncodingUnknown);
  EXPECT_EQ(UInt32ToBigEndianString(0x00FF0000).Length(), 4);  // NUL bytes kept
}

TEST(ByteReaderTest, ReadsBothOrdersAndStopsAtTheEnd) {
  // An exact-size heap buffer, so the sanitizer build catches any read past its end.
  const uint8_t data[] = {0x12, 0x34, 0x56, 0x78, 0x9A};
  auto heap = std::make_unique<uint8_t[]>(sizeof data);
  std::memcpy(heap.get(), data, sizeof data);
  ByteReader r(heap.get(), sizeof data);
  EXPECT_EQ(r.ReadU16BE(), 0x1234);
  EXPECT_EQ(r.ReadU16LE(), 0x7856);
  EXPECT_EQ(r.Remaining(), 1u);
  EXPECT_EQ(r.ReadU32BE(), 0u);  // crosses the end
  EXPECT_TRUE(r.Failed());
  EXPECT_EQ(r.Position(), 4u);
  EXPECT_EQ(r.ReadU8(), 0u);  // failure is sticky even where a byte remains
  EXPECT_FALSE(r.Seek(0));

  ByteReader whole(heap.get(), sizeof data);
  EXPECT_EQ(whole.ReadU32LE(), 0x78563412u);
  EXPECT_EQ(whole.ReadU8(), 0x9A);
  EXPECT_FALSE(whole.Failed());
  EXPECT_TRUE(whole.Skip(0));
  EXPECT_EQ(whole.Take(1), nullptr);
  EXPECT_TRUE(whole.Failed());

  ByteReader seeking(heap.get(), sizeof data);
  EXPECT_TRUE(seeking.Seek(5));
  EXPECT_FALSE(seeking.Seek(6));
  uint8_t sink[2] = {0xEE, 0xEE};
  ByteReader bytes(heap.get(), sizeof data);
  EXPECT_TRUE(bytes.Skip(4));
  EXPECT_FALSE(bytes.ReadBytes(sink, 2));
  EXPECT_EQ(sink[0], 0xEE);  // untouched on failure

  ByteReader empty(nullptr, 100);  // a nil buffer has no bytes whatever the size says
  EXPECT_EQ(empty.Size(), 0u);
  EXPECT_EQ(empty.ReadU8(), 0u);
  EXPECT_TRUE(empty.Failed());
}

TEST(ByteReaderTest, DoublesAndSixtyFourBitValues) {
  uint8_t buffer[16];
  ByteWriter w(buffer, sizeof buffer);
  EXPECT_TRUE(w.WriteDoubleBE(3.75));
  EXPECT_TRUE(w.WriteDoubleLE(-0.5));
  EXPECT_FALSE(w.WriteU8(1));
  ByteReader r(buffer, sizeof buffer);
  EXPECT_EQ(r.ReadDoubleBE(), 3.75);
  EXPECT_EQ(r.ReadDoubleLE(), -0.5);
  ByteReader raw(buffer, sizeof buffer);
  EXPECT_EQ(raw.ReadU64BE() >> 56, 0x40u);
}

TEST(ByteWriterTest, WritesBothOrdersAndRefusesToOverflow) {
  uint8_t buffer[7] = {};
  ByteWriter w(buffer, 6);
  EXPECT_TRUE(w.WriteU16BE(0x0102));
  EXPECT_TRUE(w.WriteU32LE(0x06050403));
  EXPECT_EQ(std::memcmp(buffer, "\x01\x02\x03\x04\x05\x06", 6), 0);
  EXPECT_FALSE(w.WriteU8(7));
  EXPECT_EQ(buffer[6], 0);
  EXPECT_TRUE(w.Failed());

  ByteWriter partial(buffer, 3);
  EXPECT_TRUE(partial.WriteU16LE(0xAAAA));
  EXPECT_FALSE(partial.WriteU32BE(0xFFFFFFFF));  // would cross the end: nothing written
  EXPECT_EQ(buffer[2], 0x03);
  EXPECT_FALSE(partial.WriteBytes("x", 1));  // failure is sticky
}

}  // namespace
}  // namespace vorn
