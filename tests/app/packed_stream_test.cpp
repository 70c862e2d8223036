#include <gtest/gtest.h>

#include <string>
#include <vector>

extern "C" {
#include "packed_stream.h"
}

namespace {

VORN_LITERAL(kName, "Slider");
VORN_LITERAL(kEmpty, "");

std::vector<int> Bytes(PackedStream& stream) {
  VornStringRecord* record = PackedRecord(&stream);
  std::vector<int> bytes;
  for (int i = 0; i < record->length; ++i) bytes.push_back(static_cast<unsigned char>(record->buffer[1 + i]));
  return bytes;
}

TEST(PackedStream, RecordsAreBigEndianIndexThenValue) {
  PackedStream stream;
  PackedBegin(&stream);
  PackedInteger(&stream, 13, 229);                        // Left = 229
  PackedInteger(&stream, 1, static_cast<int32_t>(0x80000000));  // not in a control array
  PackedBoolean(&stream, 12, 2);                          // Visible: any non-zero is true
  PackedInteger(&stream, 0x0102, -2);
  EXPECT_EQ(Bytes(stream), (std::vector<int>{0x00, 0x0D, 0x00, 0x00, 0x00, 0xE5,  //
                                             0x00, 0x01, 0x80, 0x00, 0x00, 0x00,  //
                                             0x00, 0x0C, 0x01,                    //
                                             0x01, 0x02, 0xFF, 0xFF, 0xFF, 0xFE}));
}

TEST(PackedStream, ColoursSinglesAndStrings) {
  PackedStream stream;
  PackedBegin(&stream);
  PackedColor(&stream, 29, 0x123456);
  PackedSingle(&stream, 77, 0.5f);  // 0x3F000000
  PackedString(&stream, 0, VORN_STR(kName));
  PackedString(&stream, 0, VORN_STR(kEmpty));
  PackedString(&stream, 0, nullptr);
  EXPECT_EQ(Bytes(stream), (std::vector<int>{0x00, 0x1D, 0x12, 0x34, 0x56,        //
                                             0x00, 0x4D, 0x3F, 0x00, 0x00, 0x00,  //
                                             0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 'S', 'l', 'i', 'd', 'e', 'r',
                                             0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
                                             0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST(PackedStream, RecordIsACompleteStringRecord) {
  PackedStream stream;
  PackedBegin(&stream);
  VornStringRecord* empty = PackedRecord(&stream);
  EXPECT_EQ(empty->length, 0);
  EXPECT_EQ(empty->bufferSize, 2);
  for (int i = 0; i < 60; ++i) PackedInteger(&stream, 1, i);
  VornStringRecord* record = PackedRecord(&stream);
  EXPECT_EQ(record->refCount, 1);
  EXPECT_EQ(record->length, 360);
  EXPECT_EQ(record->bufferSize, 362);
  EXPECT_EQ(static_cast<unsigned char>(record->buffer[0]), 255);  // long: the length byte says 255
  EXPECT_EQ(record->buffer[361], '\0');
  // Beginning again starts an empty stream.
  PackedBegin(&stream);
  EXPECT_EQ(PackedRecord(&stream)->length, 0);
}

TEST(PackedStream, ARecordThatDoesNotFitIsDroppedWithEverythingAfterIt) {
  PackedStream stream;
  PackedBegin(&stream);
  std::string text(kPackedStreamCapacity - 10, 'x');
  VornStringRecord record{1, nullptr, static_cast<int32_t>(text.size()) + 2, static_cast<int32_t>(text.size()),
                          kVornEncodingUTF8};
  std::string buffer = std::string(1, '\xff') + text + '\0';
  record.buffer = buffer.data();
  PackedString(&stream, 5, &record);          // 6 + capacity - 10: fits
  const int32_t used = stream.used;
  PackedInteger(&stream, 13, 1);              // 6 more bytes: does not
  PackedBoolean(&stream, 12, 1);              // would fit, but must not follow a lost record
  EXPECT_TRUE(stream.overflow);
  EXPECT_EQ(PackedRecord(&stream)->length, used);
}

}  // namespace
