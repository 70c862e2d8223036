#include "strings/simple_vector.h"

#include <gtest/gtest.h>

#include <vector>

#include "strings/support/report_capture.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

std::vector<int32_t> CapacitiesWhileAppending(int32_t step, int n) {
  SimpleVector<int32_t> v(step);
  std::vector<int32_t> capacities;
  for (int i = 0; i < n; ++i) {
    v.Append(i);
    if (capacities.empty() || capacities.back() != v.Capacity()) capacities.push_back(v.Capacity());
  }
  for (int i = 0; i < n; ++i) EXPECT_EQ(v.Data()[i], i);
  return capacities;
}

TEST(SimpleVectorTest, GrowthByTheLargerOfSixteenAndTheStep) {
  // Step 0 grows by the capacity itself.
  EXPECT_EQ(CapacitiesWhileAppending(0, 100), (std::vector<int32_t>{16, 32, 64, 128}));
  EXPECT_EQ(CapacitiesWhileAppending(5, 40), (std::vector<int32_t>{16, 32, 48}));
  EXPECT_EQ(CapacitiesWhileAppending(40, 100), (std::vector<int32_t>{40, 80, 120}));
}

TEST(SimpleVectorTest, ShrinksAfterRemovalOnceFreeRoomExceedsTwiceTheStepOrCount) {
  SimpleVector<int32_t> v(0);
  for (int i = 0; i < 100; ++i) v.Append(i);
  ASSERT_EQ(v.Capacity(), 128);
  while (v.Count() > 43) v.RemoveAt(0);
  EXPECT_EQ(v.Capacity(), 128);  // 85 free, not more than 2 * 43
  v.RemoveAt(0);                 // 86 free > 2 * 42: count with low bits cleared, plus 16
  EXPECT_EQ(v.Capacity(), 48);
  EXPECT_EQ(v.Data()[0], 58);
  EXPECT_EQ(v.Data()[41], 99);

  SimpleVector<int32_t> stepped(10);
  for (int i = 0; i < 50; ++i) stepped.Append(i);
  ASSERT_EQ(stepped.Capacity(), 64);
  for (int i = 0; i < 6; ++i) stepped.Pop();  // count 44: 20 free, not more than 20
  EXPECT_EQ(stepped.Capacity(), 64);
  EXPECT_EQ(stepped.Pop(), 43);  // count 43: 21 free > 20: next multiple of 10 above 43
  EXPECT_EQ(stepped.Capacity(), 50);
  EXPECT_EQ(stepped.Data()[42], 42);
}

TEST(SimpleVectorTest, PoppingAnEmptyVectorIsReported) {
  test::ReportCapture capture;
  SimpleVector<int32_t> v;
  EXPECT_EQ(v.Pop(), 0);
  EXPECT_TRUE(capture.Saw({"../Universal/SimpleVector", "264"}));
  v.Append(7);
  EXPECT_EQ(v.Pop(), 7);
  EXPECT_EQ(capture.count(), 1u);
}

TEST(SimpleVectorTest, IndexingPastTheCountRaisesIt) {
  SimpleVector<int32_t> v(0);
  v.Append(5);
  v[20] = 9;
  EXPECT_EQ(v.Count(), 21);
  EXPECT_EQ(v.Capacity(), 32);
  EXPECT_EQ(v[0], 5);
  for (int i = 1; i < 20; ++i) EXPECT_EQ(v[i], 0);
  EXPECT_EQ(v[20], 9);

  test::ReportCapture capture;
  v[-1] = 4;  // reported, lands in slot 0
  EXPECT_EQ(capture.count(), 1u);
  EXPECT_EQ(v[0], 4);
}

TEST(SimpleVectorTest, SetCapacityKeepsTheFirstElements) {
  SimpleVector<int32_t> v;
  for (int i = 0; i < 10; ++i) v.Append(i);
  v.SetCapacity(4);
  EXPECT_EQ(v.Capacity(), 4);
  EXPECT_EQ(v.Count(), 4);
  EXPECT_EQ(v.Data()[3], 3);
  v.SetCapacity(100);
  EXPECT_EQ(v.Capacity(), 100);
  EXPECT_EQ(v.Count(), 4);
  v.SetCapacity(0);
  EXPECT_EQ(v.Count(), 0);
  EXPECT_EQ(v.Data(), nullptr);
}

TEST(SimpleVectorTest, InsertAndRemoveKeepOrderAndRejectBadIndexes) {
  SimpleVector<int32_t> v;
  v.InsertAt(0, 2);
  v.InsertAt(0, 0);
  v.InsertAt(1, 1);
  v.InsertAt(3, 3);
  EXPECT_EQ(std::vector<int32_t>(v.begin(), v.end()), (std::vector<int32_t>{0, 1, 2, 3}));
  test::ReportCapture capture;
  v.InsertAt(5, 9);
  v.RemoveAt(4);
  v.RemoveAt(-1);
  EXPECT_EQ(capture.count(), 3u);
  v.RemoveAt(1);
  EXPECT_EQ(std::vector<int32_t>(v.begin(), v.end()), (std::vector<int32_t>{0, 2, 3}));
}

TEST(SimpleVectorTest, StringsAreRetainedAndReleased) {
  string shared("shared");
  {
    SimpleVector<string> v;
    for (int i = 0; i < 40; ++i) v.Append(shared);  // moves through two reallocations
    EXPECT_EQ(shared.Rep()->refCount, 41);
    v.RemoveAt(3);
    v.InsertAt(0, string("first"));
    v.SetCapacity(10);
    EXPECT_EQ(shared.Rep()->refCount, 10);
    EXPECT_EQ(v[0].View(), "first");
    EXPECT_EQ(v.Pop().View(), "shared");
    EXPECT_EQ(v[20].Length(), 0);  // new slots are empty strings
  }
  EXPECT_EQ(shared.Rep()->refCount, 1);
}

TEST(SimpleVectorTest, AppendingOwnElementWhileFull) {
  SimpleVector<string> v;
  for (int i = 0; i < 16; ++i) v.Append(string(std::to_string(i), kEncodingASCII));
  ASSERT_EQ(v.Count(), v.Capacity());
  v.Append(v[0]);  // the reference must outlive the move to the larger buffer
  EXPECT_EQ(v[16].View(), "0");
}

}  // namespace
}  // namespace vorn
