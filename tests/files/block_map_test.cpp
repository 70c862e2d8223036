// The block map's stored form and its lookups.
#include "files/block_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorn {
namespace {

TEST(BlockMapTest, SerializesBigEndianAndReadsItsOwnBytesBack) {
  BlockMap map;
  map.Add(2, 48, 0);
  map.Add(0, 1072, 0);
  map.Add(2, 0x01020304, 1);
  std::vector<uint8_t> bytes = map.Serialize();
  const std::vector<uint8_t> expected = {'B', 'M', 'a', 'p', 0, 0, 0, 3,  //
                                         0, 0, 0, 48, 0, 0, 0, 2, 0, 0, 0, 0,  //
                                         0, 0, 4, 48, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                         1, 2, 3, 4, 0, 0, 0, 2, 0, 0, 0, 1};
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(map.FreeCount(), 1);

  BlockMap read;
  ASSERT_TRUE(read.Deserialize(bytes.data(), static_cast<int64_t>(bytes.size())));
  EXPECT_EQ(read.Serialize(), expected);
  EXPECT_EQ(read.FreeCount(), 1);
  int32_t index;
  int64_t offset;
  ASSERT_TRUE(read.Find(2, 1, 0, &index, &offset));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(offset, 0x01020304);
  EXPECT_FALSE(read.Find(2, 0, 1, &index, &offset)) << "the search starts at the given index";
  EXPECT_EQ(index, -1);
  EXPECT_EQ(offset, -1);
}

TEST(BlockMapTest, RefusesBytesThatAreNoMap) {
  BlockMap map;
  map.Add(2, 48, 0);
  map.Add(3, 1072, 0);
  std::vector<uint8_t> good = map.Serialize();
  BlockMap read;
  EXPECT_FALSE(read.Deserialize(nullptr, 0));
  EXPECT_FALSE(read.Deserialize(good.data(), 7));
  EXPECT_FALSE(read.Deserialize(good.data(), static_cast<int64_t>(good.size()) - 1)) << "a record cut short";
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_FALSE(read.Deserialize(longer.data(), static_cast<int64_t>(longer.size())));
  std::vector<uint8_t> counted = good;
  counted[4] = 0x7F;  // a count far beyond the bytes
  EXPECT_FALSE(read.Deserialize(counted.data(), static_cast<int64_t>(counted.size())));
  std::vector<uint8_t> twice = good;
  twice[8 + 12 + 2] = 0;
  twice[8 + 12 + 3] = 48;  // both entries name the block at 48
  EXPECT_FALSE(read.Deserialize(twice.data(), static_cast<int64_t>(twice.size())));
  EXPECT_EQ(read.Count(), 0) << "a refused map is left empty";
}

TEST(BlockMapTest, OwnersChangeAndFreeCountsFollow) {
  BlockMap map;
  map.Add(0, 48, 0);
  map.Add(0, 1072, 0);
  EXPECT_EQ(map.FreeCount(), 2);
  EXPECT_TRUE(map.SetIdnumAt(48, 5, 0));
  EXPECT_TRUE(map.SetIdnumAt(1072, 5, -1));
  EXPECT_EQ(map.FreeCount(), 0);
  EXPECT_EQ(map.GetIdnumAt(1072), 5u);
  EXPECT_FALSE(map.SetIdnumAt(7, 5, 0)) << "no block there";
  EXPECT_TRUE(map.SetByIdnum(5, 2096, 0));
  EXPECT_EQ(map.GetIdnumAt(2096), 5u);
  EXPECT_EQ(map.GetIdnumAt(48), 0u);
  EXPECT_TRUE(map.RemoveByOffset(1072));
  EXPECT_TRUE(map.RemoveByIdnum(5));
  EXPECT_EQ(map.Count(), 0);
  EXPECT_FALSE(map.RemoveByIdnum(5));
}

}  // namespace
}  // namespace vorn
