#include <cstring>
#include <string>

#include "objects/memory_block.h"
#include "objects/support/value_test.h"

namespace vorn::testing {
namespace {

class MemoryBlockTest : public ValueTest {
 protected:
  void SetUp() override {
    ValueTest::SetUp();
    mBlock = newMemoryBlock(16);
  }
  void TearDown() override {
    RuntimeUnlockObject(mBlock);
    ValueTest::TearDown();
  }
  const uint8_t* Bytes() const { return static_cast<const uint8_t*>(memoryBlockGetPtr(mBlock)); }
  static string Text(const char* text) { return string(std::string_view(text), kEncodingUTF8); }
  void SetLittleEndian(bool little) { reinterpret_cast<MemoryBlockObject*>(mBlock)->littleEndian = little; }

  RuntimeObject* mBlock = nullptr;
};

TEST_F(MemoryBlockTest, NumbersAtBothEndsInEitherByteOrder) {
  memorySetLong(mBlock, 0, 0x01020304);
  memorySetLong(mBlock, 12, -2);
  EXPECT_EQ(Bytes()[0], 0x04) << "little-endian by default";
  EXPECT_EQ(memoryGetLong(mBlock, 12), -2);
  SetLittleEndian(false);
  memorySetShort(mBlock, 14, 0x1234);
  EXPECT_EQ(Bytes()[14], 0x12);
  EXPECT_EQ(Bytes()[15], 0x34);
  memorySetShort(mBlock, 0, -3);
  EXPECT_EQ(memoryGetShort(mBlock, 0), -3);
  EXPECT_EQ(memoryGetUShort(mBlock, 0), 0xFFFD);
  memorySetDouble(mBlock, 8, 1.5);
  EXPECT_EQ(Bytes()[8], 0x3F) << "big-endian double";
  EXPECT_EQ(memoryGetDouble(mBlock, 8), 1.5);
  memorySetSingle(mBlock, 4, -0.25f);
  EXPECT_EQ(memoryGetSingle(mBlock, 4), -0.25f);
  memorySetColor(mBlock, 0, 0x00FF8000);
  EXPECT_EQ(memoryGetColor(mBlock, 0), 0x00FF8000u);
  memorySetByte(mBlock, 15, 0x1FF);
  EXPECT_EQ(memoryGetByte(mBlock, 15), 0xFF);
  memorySetBoolean(mBlock, 15, 7);
  EXPECT_EQ(Bytes()[15], 1);
  int marker = 0;
  memorySetPtr(mBlock, 8, &marker);
  EXPECT_EQ(memoryGetPtr(mBlock, 8), &marker);
}

TEST_F(MemoryBlockTest, AccessPastEitherEndRaisesAndTouchesNothing) {
  std::memset(memoryBlockGetPtr(mBlock), 0xAA, 16);
  struct Case {
    const char* what;
    void (*write)(RuntimeObject*);
  };
  const Case cases[] = {
      {"long at 13", [](RuntimeObject* b) { memorySetLong(b, 13, 0); }},
      {"long at -1", [](RuntimeObject* b) { memorySetLong(b, -1, 0); }},
      {"double at 9", [](RuntimeObject* b) { memorySetDouble(b, 9, 0); }},
      {"short at 15", [](RuntimeObject* b) { memorySetShort(b, 15, 0); }},
      {"byte at 16", [](RuntimeObject* b) { memorySetByte(b, 16, 0); }},
      {"ptr at 9", [](RuntimeObject* b) { memorySetPtr(b, 9, nullptr); }},
      {"pstring needing 17", [](RuntimeObject* b) { memorySetPString(b, 0, Text("0123456789abcdef").Rep()); }},
      {"cstring needing 17", [](RuntimeObject* b) { memorySetCString(b, 0, Text("0123456789abcdef").Rep()); }},
      {"wstring needing 18", [](RuntimeObject* b) { memorySetWString(b, 0, Text("01234567").Rep()); }},
      {"string at 14", [](RuntimeObject* b) { memorySetString(b, 14, 3, Text("xyz").Rep()); }},
      {"string of length -1", [](RuntimeObject* b) { memorySetString(b, 0, -1, Text("xyz").Rep()); }},
  };
  for (const Case& c : cases) {
    c.write(mBlock);
    EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException") << c.what;
  }
  for (int i = 0; i < 16; ++i) ASSERT_EQ(Bytes()[i], 0xAA) << "byte " << i;
  EXPECT_EQ(memoryGetLong(mBlock, 13), 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(memoryGetByte(mBlock, 16), 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(memoryGetString(mBlock, 10, 7), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  Bytes();
  reinterpret_cast<uint8_t*>(memoryBlockGetPtr(mBlock))[15] = 200;  // a length byte that runs off the end
  EXPECT_EQ(memoryGetPString(mBlock, 15), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(memoryGetLong(nullptr, 0), 0);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

TEST_F(MemoryBlockTest, TextsRoundTrip) {
  memorySetPString(mBlock, 0, Text("abc").Rep());
  EXPECT_EQ(Take(memoryGetPString(mBlock, 0)), "abc");
  memorySetCString(mBlock, 4, Text("hello").Rep());
  EXPECT_EQ(Take(memoryGetCString(mBlock, 4)), "hello");
  std::memset(memoryBlockGetPtr(mBlock), 'z', 16);
  EXPECT_EQ(Take(memoryGetCString(mBlock, 10)), "zzzzzz") << "without a NUL the text ends with the block";
  EXPECT_EQ(Take(memoryGetCString(mBlock, 16)), "");
  SetLittleEndian(false);
  memorySetWString(mBlock, 2, Text("\xC3\xA9t\xC3\xA9").Rep());  // "été"
  EXPECT_EQ(Bytes()[2], 0x00);
  EXPECT_EQ(Bytes()[3], 0xE9);
  EXPECT_EQ(Take(memoryGetWString(mBlock, 2)), "\xC3\xA9t\xC3\xA9");
  memorySetString(mBlock, 12, 2, Text("wxyz").Rep());
  EXPECT_EQ(Take(memoryGetString(mBlock, 12, 4)), "wxzz") << "at most `length` bytes are written";
}

TEST_F(MemoryBlockTest, SizeChangesKeepTheBytes) {
  memorySetLong(mBlock, 12, 77);
  memoryBlockSetSize(mBlock, 64);
  EXPECT_EQ(memoryBlockGetSize(mBlock), 64);
  EXPECT_EQ(memoryGetLong(mBlock, 12), 77);
  EXPECT_EQ(memoryGetLong(mBlock, 60), 0) << "new bytes are zero";
  memoryBlockSetSize(mBlock, 0);
  EXPECT_EQ(memoryBlockGetPtr(mBlock), nullptr);
  EXPECT_EQ(memoryGetByte(mBlock, 0), 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  memoryBlockSetSize(mBlock, -1);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(newMemoryBlock(-5), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
}

TEST_F(MemoryBlockTest, APointerIsViewedWithinTheSizeTheProgramGives) {
  uint8_t memory[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(PtrToMemoryBlock(nullptr), nullptr);
  RuntimeObject* view = ConvertPtrToMemoryBlock(memory);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(memoryBlockGetPtr(view), memory);
  EXPECT_EQ(memoryGetByte(view, 0), 0) << "no extent known yet";
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  memoryBlockSetSize(view, 8);
  EXPECT_EQ(memoryBlockGetPtr(view), memory) << "declaring the size neither copies nor moves";
  EXPECT_EQ(memoryGetByte(view, 7), 8);
  memorySetByte(view, 0, 42);
  EXPECT_EQ(memory[0], 42);
  EXPECT_EQ(memoryGetByte(view, 8), 0);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  RuntimeUnlockObject(view);  // leaves the memory to its owner
  EXPECT_EQ(memory[1], 2);
}

TEST_F(MemoryBlockTest, OperatorsMakeNewBlocks) {
  MemoryBlockFromStringOperator(mBlock, Text("abcdef").Rep());
  EXPECT_EQ(memoryBlockGetSize(mBlock), 6);
  EXPECT_EQ(Take(MemoryBlockToStringOperator(mBlock)), "abcdef");
  RuntimeObject* left = MemoryBlockLeftB(mBlock, 2);
  RuntimeObject* mid = MemoryBlockMidB3(mBlock, 2, 100);
  RuntimeObject* tail = MemoryBlockMidB2(mBlock, 6);
  RuntimeObject* right = MemoryBlockRightB(mBlock, 10);
  EXPECT_EQ(Take(MemoryBlockToStringOperator(left)), "ab");
  EXPECT_EQ(Take(MemoryBlockToStringOperator(mid)), "cdef");
  EXPECT_EQ(memoryBlockGetSize(tail), 0);
  EXPECT_EQ(Take(MemoryBlockToStringOperator(right)), "abcdef");
  RuntimeObject* joined = MemoryBlockAddOperator(left, mid);
  EXPECT_EQ(MemoryBlockCompareOperator(joined, mBlock), 0);
  EXPECT_EQ(MemoryBlockCompareOperator(left, mBlock), -1) << "a prefix sorts first";
  EXPECT_EQ(MemoryBlockCompareOperator(mid, left), 1);
  EXPECT_EQ(MemoryBlockCompareOperator(left, nullptr), 1);
  EXPECT_EQ(MemoryBlockMidB2(mBlock, 7), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(MemoryBlockLeftB(mBlock, -1), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_EQ(MemoryBlockAddOperator(mBlock, nullptr), nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  for (RuntimeObject* block : {left, mid, tail, right, joined}) RuntimeUnlockObject(block);
}

}  // namespace
}  // namespace vorn::testing
