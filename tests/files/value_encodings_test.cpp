#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "files/file_handle.h"
#include "files/line_buffer.h"
#include "files/stream_coders.h"
#include "files/support/stream_object_test.h"

namespace vorn::testing {
namespace {

using ValueEncodingsTest = StreamObjectTest;

std::string Hex(const std::string& bytes) {
  std::string out;
  char byte[4];
  for (unsigned char c : bytes) {
    std::snprintf(byte, sizeof byte, out.empty() ? "%02X" : " %02X", c);
    out += byte;
  }
  return out;
}

TEST_F(ValueEncodingsTest, CompactIntegersTakeOneToFiveBytesAndReadBack) {
  struct Case {
    int32_t value;
    const char* bytes;
  };
  const Case cases[] = {{0, "00"},
                        {1, "01"},
                        {-1, "41"},
                        {63, "3F"},
                        {64, "80 01"},
                        {-64, "C0 01"},
                        {100, "A4 01"},
                        {8191, "BF 7F"},
                        {8192, "80 80 01"},
                        {(1 << 20) - 1, "BF FF 7F"},
                        {1 << 20, "80 80 80 01"},
                        {(1 << 27) - 1, "BF FF FF 7F"},
                        {1 << 27, "80 80 80 80 01"},
                        {INT32_MAX, "BF FF FF FF 0F"},
                        {-INT32_MAX, "FF FF FF FF 0F"},
                        {INT32_MIN, "80 80 80 80 10"}};
  for (const Case& c : cases) {
    FileHandle store;
    ASSERT_TRUE(store.WriteCompactInteger(c.value));
    EXPECT_EQ(Hex(Contents(&store)), c.bytes) << c.value;
    store.SetPosition(0);
    int32_t back = 12345;
    ASSERT_TRUE(store.ReadCompactInteger(&back)) << c.value;
    EXPECT_EQ(back, c.value);
    EXPECT_TRUE(store.IsEOF()) << "every byte consumed for " << c.value;
  }
}

TEST_F(ValueEncodingsTest, DamagedCompactIntegersFailWithoutTouchingTheTarget) {
  struct Case {
    std::string bytes;
    bool ok;
    int32_t value;
  };
  const Case cases[] = {
      {"\xC0\x80\x80\x80\x10", true, INT32_MIN},  // the smallest value with its sign bit set too
      {"", false, 0},
      {"\x80", false, 0},                          // a continuation that never comes
      {"\x80\x80\x80\x80\x80\x01", false, 0},      // more than five bytes
      {"\xBF\xFF\xFF\xFF\x1F", false, 0},          // a magnitude past 32 bits
  };
  for (const Case& c : cases) {
    FileHandle* store = StoreWith(c.bytes);
    int32_t value = 77;
    EXPECT_EQ(store->ReadCompactInteger(&value), c.ok) << Hex(c.bytes);
    EXPECT_EQ(value, c.ok ? c.value : 77) << Hex(c.bytes);
    delete store;
  }
}

TEST_F(ValueEncodingsTest, PascalStringsAreCutAt255AndShortReadsKeepOnlyWhatArrived) {
  FileHandle store;
  std::string longText(300, 'a');
  longText[254] = 'z';
  ASSERT_TRUE(store.WritePString(string(longText, kEncodingUTF8)));
  ASSERT_TRUE(store.WritePString(string()));
  EXPECT_EQ(store.GetLength(), 257);
  EXPECT_EQ(static_cast<uint8_t>(Contents(&store)[0]), 0xFF);
  store.SetPosition(0);
  string text("junk");
  ASSERT_TRUE(store.ReadPString(&text));
  EXPECT_EQ(text.Length(), 255);
  EXPECT_EQ(text.Byte(254), 'z');
  ASSERT_TRUE(store.ReadPString(&text));
  EXPECT_TRUE(text.IsEmpty());
  text = string("junk");
  EXPECT_FALSE(store.ReadPString(&text)) << "no length byte left";
  EXPECT_TRUE(text.IsEmpty()) << "the target is emptied first";

  FileHandle* truncated = StoreWith("\x05" "abc");
  ASSERT_TRUE(truncated->ReadPString(&text));
  EXPECT_EQ(text.View(), "abc") << "no invented bytes after the store's end";
  delete truncated;
}

TEST_F(ValueEncodingsTest, LinesGoOutAsTheyAreWithOneLineFeed) {
  FileHandle store;
  ASSERT_TRUE(store.WriteLine(string("caf\xC3\xA9", kEncodingUTF8)));
  ASSERT_TRUE(store.WriteLine(string()));
  EXPECT_EQ(Contents(&store), "caf\xC3\xA9\n\n");
}

TEST_F(ValueEncodingsTest, WriterAndReaderCarryCompactRecords) {
  FileHandle store;
  StreamWriter writer{&store, kEncodingUTF8};
  ASSERT_TRUE(writer.WriteCompactString(string("hello")));
  ASSERT_TRUE(writer.WriteCompactString(string()));
  ASSERT_TRUE(writer.WriteCompactInteger(70000));
  ASSERT_TRUE(writer.WriteByte(7));
  ASSERT_TRUE(writer.WriteLine(string("\xE9", 0x0201)));  // Latin-1 e-acute becomes UTF-8
  EXPECT_EQ(Hex(Contents(&store).substr(6, 1)), "00") << "an empty compact string is one zero byte";
  EXPECT_EQ(Contents(&store).substr(Contents(&store).size() - 3), "\xC3\xA9\n");

  store.SetPosition(0);
  StreamReader reader{&store, kEncodingUTF8};
  string text;
  ASSERT_TRUE(reader.ReadCompactString(&text));
  EXPECT_EQ(text.View(), "hello");
  EXPECT_EQ(text.Encoding(), kEncodingUTF8);
  ASSERT_TRUE(reader.ReadCompactString(&text));
  EXPECT_TRUE(text.IsEmpty());
  int16_t low = 0;
  ASSERT_TRUE(reader.ReadCompactShort(&low));
  EXPECT_EQ(low, static_cast<int16_t>(70000 & 0xFFFF));
  uint8_t byte = 0;
  ASSERT_TRUE(reader.ReadByte(&byte));
  EXPECT_EQ(byte, 7);
}

TEST_F(ValueEncodingsTest, CompactStringLongerThanTheStoreIsRefused) {
  FileHandle lengthOnly;
  lengthOnly.WriteCompactInteger(INT32_MAX);  // a damaged length must not allocate 2 GB
  lengthOnly.SetPosition(0);
  StreamReader reader{&lengthOnly, kEncodingUTF8};
  string text("kept");
  EXPECT_FALSE(reader.ReadCompactString(&text));
  EXPECT_EQ(text.View(), "kept");

  FileHandle* shortOne = StoreWith("\x04" "abc");
  reader.mechanism = shortOne;
  EXPECT_FALSE(reader.ReadCompactString(&text)) << "four announced, three there";
  EXPECT_EQ(text.View(), "kept");
  delete shortOne;
}

TEST_F(ValueEncodingsTest, WriterAndReaderWithoutAStoreReportAndFail) {
  StreamWriter writer;
  StreamReader reader;
  int32_t value = 5;
  string text;
  EXPECT_FALSE(writer.WriteLong(1));
  EXPECT_FALSE(writer.WriteCompactString(string("x")));
  EXPECT_FALSE(reader.ReadCompactInteger(&value));
  EXPECT_FALSE(reader.ReadCompactString(&text));
  EXPECT_EQ(value, 5);
  ASSERT_EQ(Reports().size(), 4u);
  EXPECT_NE(Reports()[0].find("obj->mechanism"), std::string::npos) << Reports()[0];
  EXPECT_NE(Reports()[0].find("../Universal/FileStreams"), std::string::npos) << Reports()[0];
}

TEST_F(ValueEncodingsTest, LineReaderEndsLinesAtEveryConvention) {
  FileHandle* store = StoreWith("a\r\nb\rc\n\nd");
  BufferedLineReader reader;
  reader.Initialize(store, kEncodingUTF8);
  std::vector<std::string> lines;
  while (!reader.IsEOF() && lines.size() < 10) lines.emplace_back(reader.ReadLine().View());
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "", "d"}));
  EXPECT_TRUE(reader.IsEOF());
  EXPECT_TRUE(reader.ReadLine().IsEmpty());
  delete store;

  BufferedLineReader none;
  EXPECT_FALSE(none.IsEOF()) << "no store: never at its end";
  EXPECT_TRUE(none.ReadLine().IsEmpty());
}

TEST_F(ValueEncodingsTest, LineReaderKeepsCarriageReturnLineFeedSplitByARefillAsOneBreak) {
  std::string first(127, 'x');
  FileHandle* store = StoreWith(first + "\r\n" + "second\r");
  BufferedLineReader reader;
  reader.Initialize(store, 0x0201);
  string line = reader.ReadLine();
  EXPECT_EQ(line.View(), first);
  EXPECT_EQ(line.Encoding(), 0x0201u);
  EXPECT_EQ(reader.ReadLine().View(), "second") << "no empty line from the split pair";
  EXPECT_TRUE(reader.IsEOF()) << "a final lone CR ends the last line";
  delete store;
}

TEST_F(ValueEncodingsTest, LineReaderOverAStoreThatStopsGivingReturnsInsteadOfSpinning) {
  auto* store = new FailingStore();
  store->Write("partial", 7);
  store->SetPosition(0);
  BufferedLineReader reader;
  reader.Initialize(store, kEncodingUTF8);
  store->starveReads = true;
  EXPECT_TRUE(reader.ReadLine().IsEmpty());
  EXPECT_FALSE(reader.IsEOF());
  delete store;
}

}  // namespace
}  // namespace vorn::testing
