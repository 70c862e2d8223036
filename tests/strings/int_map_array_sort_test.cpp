#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "strings/array.h"
#include "strings/int_map.h"
#include "strings/sort_callbacks.h"
#include "strings/support/report_capture.h"

namespace vorn {
namespace {

TEST(IntMapTest, BucketIsKeyTimesThirteenInTenBits) {
  EXPECT_EQ(IntMap<bool>::BucketOf(1), 13u);
  EXPECT_EQ(IntMap<bool>::BucketOf(79), (79u * 13u) & 0x3FFu);
  EXPECT_EQ(IntMap<bool>::BucketOf(5), IntMap<bool>::BucketOf(5 + 1024));
  EXPECT_LT(IntMap<bool>::BucketOf(-1), 1024u);
}

TEST(IntMapTest, SetGetReplaceAndClear) {
  IntMap<bool> map;
  bool value = false;
  EXPECT_FALSE(map.GetEntry(5, &value));
  // Keys that share a bucket, a negative key and an address-sized key.
  const intptr_t big = static_cast<intptr_t>(0x7FFF00001234LL);
  for (intptr_t key : {intptr_t{5}, intptr_t{5 + 1024}, intptr_t{5 + 4096}, intptr_t{-3}, big}) {
    map.SetEntry(key, key % 2 != 0);
  }
  EXPECT_EQ(map.Count(), 5);
  ASSERT_TRUE(map.GetEntry(5 + 1024, &value));
  EXPECT_TRUE(value);
  ASSERT_TRUE(map.GetEntry(big, &value));
  EXPECT_FALSE(value);
  map.SetEntry(5 + 1024, false);
  EXPECT_EQ(map.Count(), 5);
  ASSERT_TRUE(map.GetEntry(5 + 1024, &value));
  EXPECT_FALSE(value);
  EXPECT_TRUE(map.GetEntry(-3));
  EXPECT_FALSE(map.GetEntry(6));

  std::vector<intptr_t> order;
  map.ForEach([&](intptr_t key, bool) { order.push_back(key); });
  EXPECT_EQ(order, (std::vector<intptr_t>{5, 5 + 1024, 5 + 4096, -3, big}));

  map.Clear();
  EXPECT_EQ(map.Count(), 0);
  EXPECT_FALSE(map.GetEntry(5));
  map.SetEntry(5, true);
  EXPECT_TRUE(map.GetEntry(5));
}

std::vector<intptr_t> Contents(const Array& a) {
  std::vector<intptr_t> out;
  for (int32_t i = 0; i < a.Count(); ++i) out.push_back(a.GetAt(i));
  return out;
}

TEST(ArrayTest, AppendInsertRemoveAndSetCount) {
  Array a;
  for (int i = 0; i < 20; ++i) EXPECT_EQ(a.Append(i), i + 1);
  a.InsertAt(0, -1);
  a.InsertAt(a.Count(), 100);
  a.RemoveAt(5);
  a.SetAt(1, 42);
  std::vector<intptr_t> expected = {-1, 42, 1, 2, 3};
  for (int i = 5; i < 20; ++i) expected.push_back(i);
  expected.push_back(100);
  EXPECT_EQ(Contents(a), expected);

  a.SetCount(25);
  EXPECT_EQ(a.Count(), 25);
  EXPECT_EQ(a.GetAt(24), 0);
  a.SetCount(0);
  EXPECT_EQ(a.Count(), 0);
}

TEST(ArrayTest, BadIndexesAreReportedAndAnswerZero) {
  test::ReportCapture capture;
  Array a;
  a.Append(7);
  EXPECT_EQ(a.GetAt(1), 0);
  EXPECT_EQ(a.GetAt(-1), 0);
  a.SetAt(1, 3);
  a.InsertAt(2, 3);
  a.RemoveAt(1);
  EXPECT_EQ(capture.count(), 5u);
  EXPECT_TRUE(capture.Saw({"Failed Assertion"}));
  EXPECT_EQ(Contents(a), (std::vector<intptr_t>{7}));
}

TEST(ArrayTest, ExchangeRangesShiftsWhatLiesBetween) {
  Array a;
  for (int i = 0; i < 10; ++i) a.Append(i);
  a.ExchangeRanges(1, 2, 6, 3);
  EXPECT_EQ(Contents(a), (std::vector<intptr_t>{0, 6, 7, 8, 3, 4, 5, 1, 2, 9}));
  a.ExchangeRanges(7, 2, 1, 3);  // back again, ranges given the other way round
  EXPECT_EQ(Contents(a), (std::vector<intptr_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  a.ExchangeRanges(0, 1, 1, 1);  // neighbours
  EXPECT_EQ(a.GetAt(0), 1);
  EXPECT_EQ(a.GetAt(1), 0);

  test::ReportCapture capture;
  std::vector<intptr_t> before = Contents(a);
  a.ExchangeRanges(0, 3, 2, 2);  // overlapping
  a.ExchangeRanges(0, 1, 8, 3);  // past the end
  EXPECT_EQ(capture.count(), 2u);
  EXPECT_EQ(Contents(a), before);
}

struct SortContext {
  std::vector<int> values;
  int compares = 0;
};

int32_t CompareValues(int32_t i, int32_t j, void* context) {
  auto* c = static_cast<SortContext*>(context);
  ++c->compares;
  return (c->values[i] > c->values[j]) - (c->values[i] < c->values[j]);
}

void SwapValues(int32_t i, int32_t j, void* context) {
  auto* c = static_cast<SortContext*>(context);
  std::swap(c->values[i], c->values[j]);
}

TEST(SortWithCallbacksTest, SortsOnlyTheGivenRange) {
  std::mt19937 random(7);
  SortContext c;
  for (int i = 0; i < 2000; ++i) c.values.push_back(static_cast<int>(random() % 50));
  std::vector<int> original = c.values;
  SortWithCallbacks(100, 1900, CompareValues, SwapValues, &c);
  std::vector<int> expected = original;
  std::sort(expected.begin() + 100, expected.begin() + 1900);
  EXPECT_EQ(c.values, expected);
}

TEST(SortWithCallbacksTest, OrderedReversedAndEqualInputs) {
  for (int pattern = 0; pattern < 3; ++pattern) {
    SortContext c;
    for (int i = 0; i < 5000; ++i) c.values.push_back(pattern == 0 ? i : pattern == 1 ? -i : 3);
    SortWithCallbacks(0, 5000, CompareValues, SwapValues, &c);
    EXPECT_TRUE(std::is_sorted(c.values.begin(), c.values.end())) << pattern;
    // Far from quadratic on any of these.
    EXPECT_LT(c.compares, 5000 * 40) << pattern;
  }
}

TEST(SortWithCallbacksTest, NilContextOrEmptyRangeDoesNothing) {
  SortContext c;
  c.values = {3, 2, 1};
  SortWithCallbacks(0, 3, CompareValues, SwapValues, nullptr);
  SortWithCallbacks(2, 1, CompareValues, SwapValues, &c);
  EXPECT_EQ(c.values, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(c.compares, 0);
}

}  // namespace
}  // namespace vorn
