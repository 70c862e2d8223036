#include "base/reloc_entry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "strings/string_map.h"
#include "strings/support/report_capture.h"

namespace vorn {
namespace {

std::vector<std::string> ListedNames() {
  std::ifstream in(VORN_SOURCE_DIR "/runtime/core/entry_points.list");
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);) names.push_back(line);
  return names;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void FunctionA() {}
void FunctionB() {}
void FunctionC() {}
void* Address(void (*f)()) { return reinterpret_cast<void*>(f); }

TEST(RelocEntryTest, FixedRowsFollowTheNameList) {
  std::vector<std::string> names = ListedNames();
  ASSERT_EQ(names.size(), static_cast<size_t>(kFixedRelocEntryCount));
  ASSERT_GE(GetRelocEntryCount(), kFixedRelocEntryCount);
  for (int32_t i = 0; i < kFixedRelocEntryCount; ++i) {
    ASSERT_STREQ(GetRelocEntry(i)->name, names[static_cast<size_t>(i)].c_str()) << "row " << i;
    EXPECT_EQ(GetRelocEntry(i)->reserved1, 0u);
    EXPECT_EQ(GetRelocEntry(i)->reserved2, 0u);
  }
  EXPECT_STREQ(GetRelocEntry(0)->name, "RuntimeReraiseException");
  EXPECT_STREQ(GetRelocEntry(1)->name, "RuntimeInit");
  EXPECT_STREQ(GetRelocEntry(2153)->name, "GetControlBounds");
  EXPECT_EQ(GetRelocEntry(-1), nullptr);
  EXPECT_EQ(GetRelocEntry(GetRelocEntryCount()), nullptr);
}

TEST(RelocEntryTest, RepeatedNamesKeepEveryRowWithOneFunction) {
  std::map<std::string, std::vector<int32_t>> rows;
  for (int32_t i = 0; i < kFixedRelocEntryCount; ++i) rows[GetRelocEntry(i)->name].push_back(i);
  int repeated = 0;
  for (const auto& [name, indexes] : rows) {
    if (indexes.size() < 2) continue;
    ++repeated;
    for (int32_t i : indexes) EXPECT_EQ(GetRelocEntry(i)->code, GetRelocEntry(indexes[0])->code) << name;
    // The index holds the last of them.
    EXPECT_EQ(LookupRelocEntry(string(name.c_str())), GetRelocEntry(indexes.back())) << name;
  }
  EXPECT_EQ(repeated, 17);
  EXPECT_EQ(rows["controlEnabledSetter"].size(), 3u);
}

TEST(RelocEntryTest, RowsBindTheFunctionsThatAreBuilt) {
  RelocEntry* lock = LookupRelocEntry("RuntimeLockString");
  ASSERT_NE(lock, nullptr);
  EXPECT_EQ(lock->code, reinterpret_cast<void*>(&RuntimeLockString));
  EXPECT_EQ(LookupRelocEntry("runtimeunlockstring")->code,
            reinterpret_cast<void*>(&RuntimeUnlockString));
}

TEST(RelocEntryTest, LookupIgnoresCaseAndRefusesEmptyOrUnknownNames) {
  EXPECT_EQ(LookupRelocEntry("runtimereraiseexception"), GetRelocEntry(0));
  EXPECT_EQ(LookupRelocEntry(string("RUNTIMEINIT", kEncodingUTF8)), GetRelocEntry(1));
  EXPECT_EQ(LookupRelocEntry(string()), nullptr);
  EXPECT_EQ(LookupRelocEntry("NoSuchEntryPoint"), nullptr);
  EXPECT_EQ(LookupRelocEntry("RuntimeInit "), nullptr);
}

TEST(RelocEntryTest, IndexOfTheFixedRowsEndsWithFourThousandNinetySixBuckets) {
  StringMap<RelocEntry*>* index = GetRelocEntryIndex();
  ASSERT_EQ(index, GetRelocEntryIndex());  // built once
  std::set<std::string> distinct;
  for (int32_t i = 0; i < kFixedRelocEntryCount; ++i) distinct.insert(Upper(GetRelocEntry(i)->name));
  EXPECT_EQ(distinct.size(), 2134u);
  // Rows added by other tests of this program each brought one new name.
  int32_t namedAdded = 0;
  for (int32_t i = kFixedRelocEntryCount; i < GetRelocEntryCount(); ++i) {
    if (GetRelocEntry(i)->name != nullptr) ++namedAdded;
  }
  EXPECT_EQ(index->Count(), 2134 + namedAdded);
  EXPECT_EQ(index->BucketCount(), 4096);
}

TEST(RelocEntryTest, IndexDoublesAtTheSameInsertionsAsTheDirectory) {
  StringMap<RelocEntry*> index(256);
  std::vector<int32_t> doublings;
  int32_t buckets = 0;
  for (int32_t i = 0; i < kFixedRelocEntryCount; ++i) {
    index.SetEntry(string(GetRelocEntry(i)->name), GetRelocEntry(i));
    if (buckets != 0 && index.BucketCount() != buckets) doublings.push_back(index.Count());
    buckets = index.BucketCount();
  }
  EXPECT_EQ(doublings, (std::vector<int32_t>{193, 385, 769, 1537}));
  EXPECT_EQ(buckets, 4096);
}

TEST(RelocEntryTest, AddingTwiceAddsOneRow) {
  int32_t before = GetRelocEntryCount();
  AddRelocEntry("testAddedTwice", Address(FunctionA));
  AddRelocEntry("testAddedTwice", Address(FunctionA));
  AddRelocEntry("TESTADDEDTWICE", Address(FunctionA));
  ASSERT_EQ(GetRelocEntryCount(), before + 1);
  RelocEntry* row = GetRelocEntry(before);
  EXPECT_STREQ(row->name, "testAddedTwice");
  EXPECT_EQ(row->code, Address(FunctionA));
  EXPECT_EQ(LookupRelocEntry("testaddedtwice"), row);
}

TEST(RelocEntryTest, NilFunctionAddsNothing) {
  int32_t before = GetRelocEntryCount();
  AddRelocEntry("testNilFunction", nullptr);
  EXPECT_EQ(GetRelocEntryCount(), before);
  EXPECT_EQ(LookupRelocEntry("testNilFunction"), nullptr);
}

TEST(RelocEntryTest, FixedNameWithItsOwnFunctionAddsNothing) {
  test::ReportCapture capture;
  int32_t before = GetRelocEntryCount();
  AddRelocEntry("RuntimeLockString", reinterpret_cast<void*>(&RuntimeLockString));
  EXPECT_EQ(GetRelocEntryCount(), before);
  EXPECT_EQ(capture.count(), 0u);
}

TEST(RelocEntryTest, AnotherFunctionIsReportedAndTheFirstBindingStays) {
  test::ReportCapture capture;
  AddRelocEntry("testConflict", Address(FunctionB));
  int32_t before = GetRelocEntryCount();
  AddRelocEntry("TestConflict", Address(FunctionC));
  EXPECT_EQ(GetRelocEntryCount(), before);
  ASSERT_EQ(capture.count(), 1u);
  EXPECT_TRUE(capture.Saw({"Failed Assertion", "../Common/relocentry", "2922",
                           "functionPtr == oldEntry->code"}));
  EXPECT_EQ(LookupRelocEntry("testConflict")->code, Address(FunctionB));

  AddRelocEntry("RuntimeLockString", Address(FunctionC));  // a fixed row is no different
  EXPECT_EQ(capture.count(), 2u);
  EXPECT_EQ(LookupRelocEntry("RuntimeLockString")->code, reinterpret_cast<void*>(&RuntimeLockString));
}

TEST(RelocEntryTest, RowWithoutANameIsCountedButNotIndexed) {
  int32_t before = GetRelocEntryCount();
  StringMap<RelocEntry*>* index = GetRelocEntryIndex();
  int32_t indexed = index->Count();
  AddRelocEntry(nullptr, Address(FunctionA));
  ASSERT_EQ(GetRelocEntryCount(), before + 1);
  EXPECT_EQ(GetRelocEntry(before)->name, nullptr);
  EXPECT_EQ(GetRelocEntry(before)->code, Address(FunctionA));
  EXPECT_EQ(index->Count(), indexed);
}

TEST(RelocEntryTest, AddedRowsGrowLikeTheRuntimesVectors) {
  // Enough rows to cross several capacities of the added-row vector; every one stays reachable
  // by number and by name.
  static std::vector<std::string> names;
  int32_t before = GetRelocEntryCount();
  for (int i = 0; i < 70; ++i) names.push_back("testGrowth" + std::to_string(i));
  for (const std::string& name : names) AddRelocEntry(name.c_str(), Address(FunctionA));
  ASSERT_EQ(GetRelocEntryCount(), before + 70);
  for (int i = 0; i < 70; ++i) {
    EXPECT_EQ(GetRelocEntry(before + i), LookupRelocEntry(string(names[static_cast<size_t>(i)].c_str())));
  }
}

}  // namespace
}  // namespace vorn
