#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "strings/handle.h"
#include "strings/memory_manager.h"
#include "strings/memory_utils.h"

namespace vorn {
namespace {

TEST(MemoryUtilsTest, MoveMemoryHandlesOverlapBothWays) {
  char up[] = "abcdefgh";
  MoveMemory(up + 2, up, 5);
  EXPECT_STREQ(up, "ababcdeh");
  char down[] = "abcdefgh";
  MoveMemory(down, down + 3, 5);
  EXPECT_STREQ(down, "defghfgh");
  MoveMemory(down, "zz", 0);
  MoveMemory(down, "zz", -1);
  EXPECT_STREQ(down, "defghfgh");
}

TEST(MemoryUtilsTest, FillBytesTakesDestinationCountValue) {
  uint8_t buffer[6] = {1, 1, 1, 1, 1, 1};
  FillBytes(buffer + 1, 3, uint8_t{0xAB});
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 6),
            (std::vector<uint8_t>{1, 0xAB, 0xAB, 0xAB, 1, 1}));
  FillBytes(buffer, 0, uint8_t{0});
  FillBytes(buffer, -4, uint8_t{0});
  EXPECT_EQ(buffer[0], 1);
}

TEST(MemoryUtilsTest, SmallBlocksAndTheReadyFlag) {
  MarkAllocatorReady();
  EXPECT_TRUE(IsAllocatorReady());
  void* block = AllocBlock(40);
  ASSERT_NE(block, nullptr);
  std::memset(block, 0x5A, 40);
  FreeBlock(block, 40);
  FreeBlock(nullptr, 0);
}

TEST(HandleTest, ResizingKeepsContentsAndZeroesNewBytes) {
  Handle h = NewHandle(8);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetHandleSize(h), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ((*h)[i], 0);
  std::memcpy(*h, "12345678", 8);

  ASSERT_TRUE(SetHandleSize(h, 100000));
  EXPECT_EQ(GetHandleSize(h), 100000);
  EXPECT_EQ(std::memcmp(*h, "12345678", 8), 0);
  EXPECT_EQ((*h)[8], 0);
  EXPECT_EQ((*h)[99999], 0);

  ASSERT_TRUE(SetHandleSize(h, 3));
  EXPECT_EQ(GetHandleSize(h), 3);
  EXPECT_EQ(std::memcmp(*h, "123", 3), 0);
  ASSERT_TRUE(SetHandleSize(h, 5));
  EXPECT_EQ((*h)[3], 0);  // bytes cut off earlier do not come back

  EXPECT_FALSE(SetHandleSize(h, -1));
  EXPECT_EQ(GetHandleSize(h), 5);
  UnlockHandle(h);
  DisposeHandle(h);
}

TEST(HandleTest, BadSizesGiveNoHandle) {
  EXPECT_EQ(NewHandle(-1), nullptr);
  EXPECT_EQ(GetHandleSize(nullptr), 0);
  EXPECT_FALSE(SetHandleSize(nullptr, 10));
  DisposeHandle(nullptr);
  Handle empty = NewHandle(0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(GetHandleSize(empty), 0);
  DisposeHandle(empty);
}

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return bytes;
}

TEST(MemoryManagerTest, AppendAcrossChunksAndReadBack) {
  MemoryManager buffer;
  int32_t count = -1;
  EXPECT_EQ(buffer.GetReadPointer(&count), nullptr);
  EXPECT_EQ(count, 0);

  const size_t total = MemoryManager::kChunkSize + 100;
  std::vector<uint8_t> data = Pattern(total, 3);
  buffer.Append(data.data(), static_cast<int32_t>(total));
  EXPECT_EQ(buffer.Count(), static_cast<int64_t>(total));

  // The read pointer covers the head chunk only.
  const uint8_t* head = buffer.GetReadPointer(&count);
  EXPECT_EQ(count, static_cast<int32_t>(MemoryManager::kChunkSize));
  EXPECT_EQ(std::memcmp(head, data.data(), MemoryManager::kChunkSize), 0);

  // A read without removal copies across the chunk boundary and leaves everything in place.
  std::vector<uint8_t> out(300);
  buffer.Consume(static_cast<int64_t>(MemoryManager::kChunkSize) - 100);
  EXPECT_EQ(buffer.Read(out.data(), 300, false), 200);
  EXPECT_EQ(std::memcmp(out.data(), data.data() + total - 200, 200), 0);
  EXPECT_EQ(buffer.Count(), 200);

  EXPECT_EQ(buffer.Read(out.data(), 150, true), 150);
  EXPECT_EQ(buffer.Count(), 50);
  head = buffer.GetReadPointer(&count);
  EXPECT_EQ(count, 50);
  EXPECT_EQ(head[0], data[total - 50]);

  buffer.Consume(1000);  // more than is there
  EXPECT_EQ(buffer.Count(), 0);
  EXPECT_EQ(buffer.GetReadPointer(&count), nullptr);
  buffer.Append("abc", 3);
  EXPECT_EQ(buffer.Read(out.data(), 10, true), 3);
  EXPECT_EQ(std::memcmp(out.data(), "abc", 3), 0);
}

TEST(MemoryManagerTest, ClearAndDegenerateArguments) {
  MemoryManager buffer;
  buffer.Append("hello", 5);
  buffer.Append(nullptr, 5);
  buffer.Append("x", 0);
  EXPECT_EQ(buffer.Count(), 5);
  char out[8];
  EXPECT_EQ(buffer.Read(out, 0, true), 0);
  EXPECT_EQ(buffer.Read(nullptr, 5, true), 0);
  buffer.Clear();
  EXPECT_EQ(buffer.Count(), 0);
  EXPECT_EQ(buffer.Read(out, 8, true), 0);
}

}  // namespace
}  // namespace vorn
