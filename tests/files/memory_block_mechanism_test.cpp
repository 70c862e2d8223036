#include "files/memory_block_mechanism.h"

#include <cstring>
#include <string>

#include "files/support/store_test.h"
#include "objects/date_class.h"
#include "objects/memory_block.h"
#include "objects/runtime_object.h"

namespace vorn::testing {
namespace {

class MemoryBlockMechanismTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    mBlock = newMemoryBlock(8);
    std::memcpy(memoryBlockGetPtr(mBlock), "01234567", 8);
  }
  void TearDown() override {
    RuntimeUnlockObject(mBlock);
    StoreTest::TearDown();
  }
  std::string BlockText() const {
    return std::string(static_cast<const char*>(memoryBlockGetPtr(mBlock)),
                       static_cast<size_t>(memoryBlockGetSize(mBlock)));
  }

  RuntimeObject* mBlock = nullptr;
};

TEST_F(MemoryBlockMechanismTest, ReadsAndWritesTheBlocksOwnBytes) {
  MemoryBlockMechanism store;
  EXPECT_TRUE(store.IsEOF()) << "a new store has no block";
  EXPECT_FALSE(WriteText(store, "x"));
  store.SetMemoryBlock(mBlock);
  EXPECT_EQ(store.GetLength(), 8);
  EXPECT_EQ(store.GetPosition(), 0);
  EXPECT_EQ(ReadText(store, 3), "012");
  ASSERT_TRUE(WriteText(store, "abc"));
  EXPECT_EQ(BlockText(), "012abc67") << "written straight into the block";
  store.SetPosition(6);
  ASSERT_TRUE(WriteText(store, "YZ")) << "a write ending exactly at the end fits";
  EXPECT_EQ(BlockText(), "012abcYZ");
  EXPECT_TRUE(store.IsEOF());
  EXPECT_EQ(ReadText(store, 0), "");
  EXPECT_EQ(ReadText(store, 1), "<failed>");
  store.SetPosition(5);
  EXPECT_EQ(ReadText(store, 10), "cYZ");
  store.SetPosition(-1);
  EXPECT_EQ(store.GetPosition(), 0);
  store.SetPosition(99);
  EXPECT_EQ(store.GetPosition(), 8);
  EXPECT_EQ(store.mLastError, 0);
}

TEST_F(MemoryBlockMechanismTest, NeverWritesPastTheBlock) {
  MemoryBlockMechanism store;
  store.SetMemoryBlock(mBlock);
  store.SetPosition(6);
  EXPECT_FALSE(WriteText(store, "xyz"));
  EXPECT_EQ(store.mLastError, kBlockFullError);
  EXPECT_EQ(BlockText(), "01234567") << "nothing of a refused write lands";
  EXPECT_EQ(store.GetPosition(), 6);
  EXPECT_EQ(store.GetLength(), 8) << "the block does not grow";
  EXPECT_FALSE(WriteText(store, std::string(1000, 'x')));
  EXPECT_EQ(memoryBlockGetSize(mBlock), 8);
}

TEST_F(MemoryBlockMechanismTest, FollowsTheBlockWhenTheProgramResizesIt) {
  MemoryBlockMechanism store;
  store.SetMemoryBlock(mBlock);
  store.SetPosition(6);
  memoryBlockSetSize(mBlock, 4);
  EXPECT_EQ(store.GetLength(), 4);
  EXPECT_EQ(store.GetPosition(), 4) << "pulled back with the block's end";
  EXPECT_EQ(ReadText(store, 2), "<failed>");
  EXPECT_FALSE(WriteText(store, "q"));
  memoryBlockSetSize(mBlock, 0);
  EXPECT_TRUE(store.IsEOF());
  EXPECT_EQ(ReadText(store, 1), "<failed>");
  memoryBlockSetSize(mBlock, 3);
  ASSERT_TRUE(WriteText(store, "new"));
  EXPECT_EQ(BlockText(), "new");
}

TEST_F(MemoryBlockMechanismTest, SetLengthResizesTheBlock) {
  MemoryBlockMechanism store;
  store.SetMemoryBlock(mBlock);
  store.SetPosition(8);
  ASSERT_TRUE(store.SetLength(5));
  EXPECT_EQ(memoryBlockGetSize(mBlock), 5);
  EXPECT_EQ(store.GetPosition(), 5);
  ASSERT_TRUE(store.SetLength(7));
  EXPECT_EQ(BlockText(), std::string("01234\0\0", 7));
  ASSERT_TRUE(WriteText(store, "ab"));
  EXPECT_EQ(BlockText(), "01234ab");
  ASSERT_TRUE(store.SetLength(-2));
  EXPECT_EQ(memoryBlockGetSize(mBlock), 0);
}

TEST_F(MemoryBlockMechanismTest, HoldsTheBlockUntilClosed) {
  RuntimeObject* block = newMemoryBlock(2);
  int32_t live = LiveObjectCount();
  MemoryBlockMechanism store;
  store.SetMemoryBlock(block);
  RuntimeUnlockObject(block);
  EXPECT_EQ(LiveObjectCount(), live) << "the store's reference keeps it alive";
  EXPECT_EQ(store.GetLength(), 2);

  store.SetMemoryBlock(mBlock);
  EXPECT_EQ(LiveObjectCount(), live - 1) << "switching blocks lets the old one go";
  EXPECT_EQ(store.MemoryBlock(), mBlock);
  EXPECT_EQ(mBlock->refCount, 2);
  EXPECT_TRUE(store.Close());
  EXPECT_EQ(mBlock->refCount, 1);
  EXPECT_EQ(store.GetLength(), 0);
  EXPECT_EQ(ReadText(store, 1), "<failed>");
  EXPECT_TRUE(store.Close());

  {
    MemoryBlockMechanism scoped;
    scoped.SetMemoryBlock(mBlock);
    EXPECT_EQ(mBlock->refCount, 2);
  }
  EXPECT_EQ(mBlock->refCount, 1) << "the store's end releases the block";
}

TEST_F(MemoryBlockMechanismTest, RefusesNilAndOtherObjects) {
  MemoryBlockMechanism store;
  store.SetMemoryBlock(mBlock);
  store.SetMemoryBlock(nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  EXPECT_EQ(store.MemoryBlock(), mBlock) << "the store keeps its block";

  RuntimeObject* date = CreateInstanceFromDefinition(GetDateClassDefinition());
  ASSERT_NE(date, nullptr);
  store.SetMemoryBlock(date);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
  EXPECT_EQ(store.MemoryBlock(), mBlock);
  EXPECT_EQ(date->refCount, 1);
  RuntimeUnlockObject(date);
}

TEST_F(MemoryBlockMechanismTest, ScramblesLikeTheOtherMemoryStores) {
  MemoryBlockMechanism writer;
  writer.SetMemoryBlock(mBlock);
  writer.SetScramble(true);
  ASSERT_TRUE(WriteText(writer, "AB"));
  EXPECT_EQ(BlockText().substr(0, 2), "\xBE\xFC");

  MemoryBlockMechanism reader;
  reader.SetMemoryBlock(mBlock);
  reader.SetScramble(true);
  EXPECT_EQ(ReadText(reader, 2), "AB");
}

}  // namespace
}  // namespace vorn::testing
