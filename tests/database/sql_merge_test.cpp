// Rows merged from sorted runs on file, read in order and with steps back: every read gives the
// row of that place, also the newest merged row read again after a step back.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "database/sql_row.h"
#include "database/sql_row_store.h"

namespace vorn {
namespace {

constexpr int kRuns = 3;
constexpr int kRowsPerRun = 60;
// Long enough that a run's read window (32 KB) holds only some of its rows, so that a step
// back moves it.
constexpr size_t kTextBytes = 2000;

int32_t KeyOf(SqlRowView row) {
  int32_t key = 0;
  std::memcpy(&key, row.Value(0).bytes.data(), sizeof key);
  return key;
}

int Compare(SqlRowView a, SqlRowView b) { return KeyOf(a) - KeyOf(b); }

// Run r holds the keys r, r + kRuns, ...: the merge takes from every run in turn.
std::unique_ptr<SqlRowStore> MergedRuns() {
  std::vector<std::unique_ptr<SqlRowStore>> runs;
  for (int r = 0; r < kRuns; ++r) {
    std::vector<SqlRow> rows(kRowsPerRun);
    std::vector<SqlRowView> views;
    for (int i = 0; i < kRowsPerRun; ++i) {
      const int32_t key = r + i * kRuns;
      const std::string text(kTextBytes, char('a' + key % 26));
      rows[i].Start();
      rows[i].Add(kVornDbInteger, &key, sizeof key);
      rows[i].Add(kVornDbText, text.data(), text.size());
      views.push_back(rows[i].Finish());
    }
    runs.push_back(SqlRowStore::Written(views));
    if (!runs.back()) return nullptr;
  }
  return SqlRowStore::Merged(std::move(runs), Compare, SqlRowStore::Prefixes{});
}

TEST(SqlMergeTest, EveryReadGivesTheRowOfItsPlace) {
  constexpr size_t kAll = kRuns * kRowsPerRun;
  // Reads the places up to `upto` in order, then `back`, then on in order after the last of them.
  struct Case {
    const char* name;
    size_t upto;
    std::vector<size_t> back;
  };
  const Case cases[] = {
      {"in order", kAll - 1, {}},
      {"a step back, then on", 50, {49}},
      {"the newest again after a step back", 50, {49, 50, 50}},
      {"far back into another window, then on", 100, {3, 100}},
      {"the last row, back, the last again", kAll - 1, {0, kAll - 1, kAll - 2, kAll - 1}},
  };
  for (const Case& c : cases) {
    std::unique_ptr<SqlRowStore> store = MergedRuns();
    ASSERT_TRUE(store);
    ASSERT_EQ(store->Count(), kAll);
    std::vector<size_t> reads(c.upto + 1);
    std::iota(reads.begin(), reads.end(), 0);
    reads.insert(reads.end(), c.back.begin(), c.back.end());
    while (reads.back() + 1 < kAll) reads.push_back(reads.back() + 1);
    for (size_t at = 0; at < reads.size(); ++at) {
      const size_t place = reads[at];
      std::optional<SqlRowView> row = store->Fetch(place);
      ASSERT_TRUE(row && SqlRowView::Valid(row->data(), row->ByteSize())) << c.name << ", read " << at;
      ASSERT_EQ(KeyOf(*row), int32_t(place)) << c.name << ", read " << at;
      const SqlCell text = row->Value(1);
      ASSERT_TRUE(text.bytes.size() == kTextBytes && text.bytes.back() == uint8_t('a' + place % 26)) << c.name << ", read " << at;
    }
    EXPECT_FALSE(store->Fetch(kAll)) << c.name;
  }
}

}  // namespace
}  // namespace vorn
