#include <cstdint>
#include <string>

#include "files/file_handle.h"
#include "files/file_ptr.h"
#include "files/support/store_test.h"

namespace vorn::testing {
namespace {

using TypedValuesTest = StoreTest;

std::string Contents(FileHandle& store) { return std::string(*store.mHandle, static_cast<size_t>(store.GetLength())); }

TEST_F(TypedValuesTest, ByteSwitchReversesShortsAndLongs) {
  FileHandle store;
  ASSERT_TRUE(store.WriteShort(0x1234));
  ASSERT_TRUE(store.WriteLong(0x01020304));
  EXPECT_EQ(Contents(store), std::string("\x34\x12\x04\x03\x02\x01", 6)) << "unswapped: little-endian";

  store.SetByteSwap();
  EXPECT_TRUE(store.mSwapBytes);
  ASSERT_TRUE(store.WriteShort(0x1234));
  ASSERT_TRUE(store.WriteLong(0x01020304));
  EXPECT_EQ(Contents(store).substr(6), std::string("\x12\x34\x01\x02\x03\x04", 6)) << "swapped: big-endian";

  store.SetPosition(6);
  int16_t s = 0;
  int32_t l = 0;
  ASSERT_TRUE(store.ReadShort(&s));
  ASSERT_TRUE(store.ReadLong(&l));
  EXPECT_EQ(s, 0x1234);
  EXPECT_EQ(l, 0x01020304);

  store.ClearByteSwap();
  EXPECT_FALSE(store.mSwapBytes);
  store.SetPosition(6);
  ASSERT_TRUE(store.ReadShort(&s));
  EXPECT_EQ(s, 0x3412) << "the same bytes read the other way";
}

TEST_F(TypedValuesTest, NegativeValuesKeepTheirSignInEitherOrder) {
  for (bool swapped : {false, true}) {
    FileHandle store;
    if (swapped) store.SetByteSwap();
    ASSERT_TRUE(store.WriteShort(-2));
    ASSERT_TRUE(store.WriteLong(INT32_MIN));
    ASSERT_TRUE(store.WriteByte(0xFF));
    store.SetPosition(0);
    int16_t s = 0;
    int32_t l = 0;
    uint8_t b = 0;
    ASSERT_TRUE(store.ReadShort(&s));
    ASSERT_TRUE(store.ReadLong(&l));
    ASSERT_TRUE(store.ReadByte(&b));
    EXPECT_EQ(s, -2) << swapped;
    EXPECT_EQ(l, INT32_MIN) << swapped;
    EXPECT_EQ(b, 0xFF) << swapped;
  }
}

TEST_F(TypedValuesTest, DoublesSwapOnlyWithBothSwitches) {
  const std::string little("\x00\x00\x00\x00\x00\x00\xF8\x3F", 8);  // 1.5
  const std::string big("\x3F\xF8\x00\x00\x00\x00\x00\x00", 8);

  FileHandle store;
  store.SetByteSwap();
  ASSERT_TRUE(store.WriteDouble(1.5));
  EXPECT_EQ(Contents(store), little) << "byte switch alone leaves doubles in host order";
  store.mSwapDoubles = 1;
  ASSERT_TRUE(store.WriteDouble(1.5));
  EXPECT_EQ(Contents(store).substr(8), big);
  store.ClearByteSwap();
  ASSERT_TRUE(store.WriteDouble(1.5));
  EXPECT_EQ(Contents(store).substr(16), little) << "the double switch needs the byte switch";

  store.SetByteSwap();
  store.SetPosition(8);
  double value = 0;
  ASSERT_TRUE(store.ReadDouble(&value));
  EXPECT_EQ(value, 1.5);
}

TEST_F(TypedValuesTest, ShortReadsFailAndLeaveTheTarget) {
  const char bytes[] = {'\x01', '\x02', '\x03'};
  FilePtr store;
  store.SetData(bytes, 3);
  int32_t l = 77;
  EXPECT_FALSE(store.ReadLong(&l));
  EXPECT_EQ(l, 77);
  store.SetPosition(0);
  double d = 2.5;
  EXPECT_FALSE(store.ReadDouble(&d));
  EXPECT_EQ(d, 2.5);
  store.SetPosition(2);
  int16_t s = 9;
  EXPECT_FALSE(store.ReadShort(&s));
  EXPECT_EQ(s, 9);
  uint8_t b = 0;
  store.SetPosition(2);
  EXPECT_TRUE(store.ReadByte(&b));
  EXPECT_EQ(b, 3);
  EXPECT_FALSE(store.ReadByte(&b));
  EXPECT_EQ(b, 3);
}

}  // namespace
}  // namespace vorn::testing
