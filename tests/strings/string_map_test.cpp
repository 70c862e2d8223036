#include "strings/string_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "strings/support/report_capture.h"

namespace vorn {
namespace {

std::string Key(int i) { return "key" + std::to_string(i); }

std::vector<std::string> WalkKeys(StringMap<int>& map) {
  std::vector<std::string> keys;
  StringMapIterator<int>* it = map.NewIterator();
  string key;
  while (it->Next(nullptr, &key)) keys.emplace_back(key.View());
  delete it;
  return keys;
}

TEST(StringMapTest, HashFoldsAsciiLettersAndAddsSignedBytes) {
  EXPECT_EQ(FoldedNameHash("", 0), 0u);
  EXPECT_EQ(FoldedNameHash("ab", 2), uint32_t{'A'} * 31 + 'B');
  EXPECT_EQ(FoldedNameHash("aB", 2), FoldedNameHash("Ab", 2));
  // Bytes above 0x7F count as negative and are not folded.
  EXPECT_EQ(FoldedNameHash("\xE9", 1), static_cast<uint32_t>(-23));
  EXPECT_NE(FoldedNameHash("\xE9", 1), FoldedNameHash("\xC9", 1));
}

TEST(StringMapTest, BucketsAppearOnFirstInsertionAndDoubleAfterThreeQuarters) {
  StringMap<int> map(256);
  EXPECT_EQ(map.BucketCount(), 0);
  EXPECT_FALSE(map.GetEntry("absent"));
  for (int i = 1; i <= 192; ++i) {
    map.SetEntry(string(Key(i), kEncodingASCII), i);
    ASSERT_EQ(map.BucketCount(), 256) << "after insertion " << i;
  }
  map.SetEntry("key193", 193);  // 193 > 256 * 3 / 4
  EXPECT_EQ(map.BucketCount(), 512);
  EXPECT_EQ(map.Count(), 193);
  // Everything is still found after re-chaining, whatever the case of the key.
  for (int i = 1; i <= 193; ++i) {
    int value = 0;
    std::string upper = "KEY" + std::to_string(i);
    ASSERT_TRUE(map.GetEntry(string(upper, kEncodingASCII), &value)) << upper;
    EXPECT_EQ(value, i);
  }
  for (int i = 194; i <= 385; ++i) map.SetEntry(string(Key(i), kEncodingASCII), i);
  EXPECT_EQ(map.BucketCount(), 1024);
}

TEST(StringMapTest, SettingAPresentKeyReplacesTheValueInPlace) {
  StringMap<int> map;
  map.SetEntry("Alpha", 1);
  map.SetEntry("Beta", 2);
  map.SetEntry("Gamma", 3);
  map.SetEntry("ALPHA", 10);
  EXPECT_EQ(map.Count(), 3);
  EXPECT_EQ(StringMapGetValue(&map, "alpha"), 10);
  // The first spelling stays as the key and keeps its place in the insertion order.
  EXPECT_EQ(WalkKeys(map), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
}

TEST(StringMapTest, KeysCompareAcrossEncodings) {
  StringMap<int> map;
  map.SetEntry(string("Name", kEncodingUTF8), 7);
  int value = 0;
  EXPECT_TRUE(map.GetEntry(string("NAME", kEncodingASCII), &value));
  EXPECT_EQ(value, 7);
}

TEST(StringMapTest, ProceduralAccessAnswersZeroWhenAbsent) {
  StringMap<void*> map;
  int target = 0;
  StringMapSetEntry(&map, string("x"), static_cast<void*>(&target));
  EXPECT_EQ(StringMapGetValue(&map, string("X")), &target);
  EXPECT_EQ(StringMapGetValue(&map, string("y")), nullptr);
  EXPECT_EQ(StringMapGetValue<void*>(nullptr, string("x")), nullptr);
}

// Every key in one bucket, so removals exercise the head, middle and tail of a chain.
class OneBucketMap : public StringMap<int> {
 public:
  OneBucketMap() : StringMap<int>(4) {}
  uint32_t Hash(const string&) const override { return 0; }
};

TEST(StringMapTest, RemovalFromOneLongChain) {
  OneBucketMap map;
  for (int i = 0; i < 6; ++i) map.SetEntry(string(Key(i), kEncodingASCII), i);
  EXPECT_EQ(map.BucketCount(), 8);  // 4 -> 8 at the fourth insertion
  EXPECT_TRUE(map.RemoveEntry("key5"));  // chain head (newest)
  EXPECT_TRUE(map.RemoveEntry("key2"));  // middle
  EXPECT_TRUE(map.RemoveEntry("key0"));  // tail
  EXPECT_FALSE(map.RemoveEntry("key0"));
  EXPECT_EQ(map.Count(), 3);
  EXPECT_EQ(WalkKeys(map), (std::vector<std::string>{"key1", "key3", "key4"}));
  for (int i : {1, 3, 4}) EXPECT_EQ(StringMapGetValue<int>(&map, string(Key(i), kEncodingASCII)), i);
}

TEST(StringMapTest, ZeroBucketsIsReportedAndTheMapStillWorks) {
  test::ReportCapture capture;
  StringMap<int> map(0);
  for (int i = 0; i < 10; ++i) map.SetEntry(string(Key(i), kEncodingASCII), i);
  EXPECT_TRUE(capture.Saw({"newSize > 0"}));
  EXPECT_EQ(capture.count(), 1u);
  EXPECT_EQ(map.Count(), 10);
  EXPECT_EQ(StringMapGetValue<int>(&map, "KEY9"), 9);
}

TEST(StringMapIteratorTest, WalksInInsertionOrderAndSeesLaterAppends) {
  StringMap<int> map;
  for (int i = 0; i < 300; ++i) map.SetEntry(string(Key(i), kEncodingASCII), i);  // rebuilds twice
  StringMapIterator<int>* it = map.NewIterator();
  int value = -1, expected = 0;
  while (it->Next(&value)) {
    ASSERT_EQ(value, expected);
    if (expected == 299) map.SetEntry("late", 300);
    ++expected;
  }
  EXPECT_EQ(expected, 301);
  delete it;
}

TEST(StringMapIteratorTest, RemoveCurrentKeepsTheWalkValid) {
  StringMap<int> map;
  for (int i = 0; i < 10; ++i) map.SetEntry(string(Key(i), kEncodingASCII), i);
  StringMapIterator<int>* it = map.NewIterator();
  EXPECT_FALSE(it->RemoveCurrent());  // nothing handed out yet
  std::vector<int> seen;
  int value = 0;
  while (it->Next(&value)) {
    seen.push_back(value);
    if (value % 2 == 0) {
      EXPECT_TRUE(it->RemoveCurrent());
      EXPECT_FALSE(it->RemoveCurrent());  // already gone
    }
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_FALSE(it->RemoveCurrent());  // at the end
  delete it;
  EXPECT_EQ(WalkKeys(map), (std::vector<std::string>{"key1", "key3", "key5", "key7", "key9"}));
}

TEST(StringMapIteratorTest, RemovalsBehindAnIteratorsBackAreFollowed) {
  StringMap<int> map;
  for (int i = 0; i < 5; ++i) map.SetEntry(string(Key(i), kEncodingASCII), i);
  StringMapIterator<int>* first = map.NewIterator();
  StringMapIterator<int>* second = map.NewIterator();
  int value = 0;
  ASSERT_TRUE(first->Next(&value));   // key0
  ASSERT_TRUE(second->Next(&value));  // key0
  ASSERT_TRUE(second->Next(&value));  // key1
  // The entry the second iterator stands on is removed through the map, then the one after it.
  EXPECT_TRUE(map.RemoveEntry("key1"));
  EXPECT_FALSE(second->RemoveCurrent());
  EXPECT_TRUE(map.RemoveEntry("key2"));
  ASSERT_TRUE(second->Next(&value));
  EXPECT_EQ(value, 3);
  ASSERT_TRUE(first->Next(&value));
  EXPECT_EQ(value, 3);
  EXPECT_TRUE(first->RemoveCurrent());
  ASSERT_TRUE(second->Next(&value));  // key3 went under it: it goes on with key4
  EXPECT_EQ(value, 4);
  delete first;
  delete second;
}

TEST(StringMapIteratorTest, ClearRestartsAttachedIterators) {
  StringMap<int> map;
  map.SetEntry("a", 1);
  StringMapIterator<int>* it = map.NewIterator();
  int value = 0;
  ASSERT_TRUE(it->Next(&value));
  map.Clear();
  EXPECT_FALSE(it->RemoveCurrent());
  EXPECT_FALSE(it->Next(&value));
  map.SetEntry("b", 2);
  ASSERT_TRUE(it->Next(&value));
  EXPECT_EQ(value, 2);
  delete it;
}

TEST(StringMapIteratorTest, DeletingTheMapFirstWarnsAndLeavesIteratorsHarmless) {
  auto* map = new StringMap<int>();
  map->SetEntry("a", 1);
  StringMapIterator<int>* it = map->NewIterator();
  StringMapIterator<int>* untouched = map->NewIterator();
  int value = 0;
  ASSERT_TRUE(it->Next(&value));
  testing::internal::CaptureStderr();
  delete map;
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("WARNING: StringMap deleted with iterators still attached."), std::string::npos);
  EXPECT_FALSE(it->Next(&value));
  EXPECT_FALSE(it->RemoveCurrent());
  delete it;
  delete untouched;
}

TEST(StringMapIteratorTest, NoWarningOnceIteratorsAreGone) {
  auto* map = new StringMap<int>();
  delete map->NewIterator();
  testing::internal::CaptureStderr();
  delete map;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(StringMapTest, ValuesThatOwnMemoryAreReleased) {
  // Under the sanitizer build a leak or double release of the string values shows up here.
  StringMap<string> map;
  for (int i = 0; i < 50; ++i) map.SetEntry(string(Key(i), kEncodingASCII), string(Key(i * 2), kEncodingASCII));
  map.SetEntry("key3", string("replaced"));
  EXPECT_TRUE(map.RemoveEntry("key4"));
  string value;
  ASSERT_TRUE(map.GetEntry("KEY3", &value));
  EXPECT_EQ(value.View(), "replaced");
}

}  // namespace
}  // namespace vorn
