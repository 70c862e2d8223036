// Rows merged from sorted runs on file, read in order and with steps back: every read gives the
// row of that place, also the newest merged row read again after a step back, whatever the
// number of runs and wherever rows meet the edges of the blocks a run is written and read in.
#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>
#include <memory>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "database/sql_aggregate.h"
#include "database/sql_row.h"
#include "database/sql_select.h"
#include "database/sql_row_store.h"
#include "database/support/db_test_files.h"

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

// Run r holds the keys r, r + runCount, ...: the merge takes from every run in turn.
std::unique_ptr<SqlRowStore> MergedRuns(int runCount = kRuns, int rowsPerRun = kRowsPerRun, size_t textBytes = kTextBytes) {
  std::vector<std::unique_ptr<SqlRowStore>> runs;
  for (int r = 0; r < runCount; ++r) {
    std::vector<SqlRow> rows(rowsPerRun);
    std::vector<SqlRowView> views;
    for (int i = 0; i < rowsPerRun; ++i) {
      const int32_t key = r + i * runCount;
      const std::string text(textBytes, char('a' + key % 26));
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

// The length of text that makes a row of MergedRuns `bytes` long (or just longer).
size_t TextFor(size_t bytes) {
  const int32_t key = 0;
  for (size_t text = bytes - 32;; ++text) {
    const std::string value(text, 'a');
    SqlRow row;
    row.Start();
    row.Add(kVornDbInteger, &key, sizeof key);
    row.Add(kVornDbText, value.data(), value.size());
    if (row.Finish().ByteSize() >= bytes) return text;
  }
}

// Rows that meet the edges of the blocks a run is written in (256 KB) and of the window it is
// read through (32 KB), or pass them by a byte: each place reads as itself, again after a step
// back, and once more; then the first and the last do.
TEST(SqlMergeTest, RowsAtTheEdgesOfBlocksAndWindowsReadAsTheirPlace) {
  const std::tuple<const char*, int, int, size_t> shapes[] = {  // runs, rows in each, bytes a row
      {"one run", 1, 40, 2000},
      {"runs of one row", 5, 1, 100},
      {"rows that meet the window's and the block's edges exactly", 3, 600, 512},
      {"rows one byte over those edges", 3, 600, 513},
      {"a row as long as the window", 2, 4, 32768},
      {"a row one byte longer than the window", 2, 4, 32769},
      {"more runs than a byte can number, past the first thousands of places", 300, 20, 100},
  };
  for (const auto& [name, runCount, rowsPerRun, rowBytes] : shapes) {
    std::unique_ptr<SqlRowStore> store = MergedRuns(runCount, rowsPerRun, TextFor(rowBytes));
    const size_t all = static_cast<size_t>(runCount * rowsPerRun);
    ASSERT_TRUE(store && store->Count() == all) << name;
    std::vector<size_t> places;
    for (size_t place = 0; place < all; ++place) places.insert(places.end(), {place, place - (place > 0), place, place});
    places.insert(places.end(), {0, all - 1});
    for (size_t at = 0; at < places.size(); ++at) {
      std::optional<SqlRowView> row = store->Fetch(places[at]);
      ASSERT_TRUE(row && SqlRowView::Valid(row->data(), row->ByteSize()) && row->ByteSize() == rowBytes) << name << ", read " << at;
      ASSERT_EQ(KeyOf(*row), int32_t(places[at])) << name << ", read " << at;
      ASSERT_EQ(row->Value(1).bytes.back(), uint8_t('a' + places[at] % 26)) << name << ", read " << at;
    }
    EXPECT_FALSE(store->Fetch(all)) << name;
  }
}

// A run's file cut short under the merge, read on with a step back and one far back at every
// row: each read gives its place's row or nothing, and nothing from the first place that failed.
TEST(SqlMergeTest, ARunThatCannotBeReadPartWayGivesNoRowInAnotherRowsPlace) {
  const std::pair<off_t, size_t> cases[] = {{0, 20}, {40000, 45}, {50000, 29}, {70000, 20}, {100000, 5}};
  for (const auto& [cut, far] : cases) {
    SCOPED_TRACE(std::to_string(cut) + " bytes, back " + std::to_string(far));
    std::unique_ptr<SqlRowStore> store = MergedRuns();
    ASSERT_TRUE(store);
    const size_t all = store->Count();
    for (size_t place = 0; place < 30; ++place) ASSERT_TRUE(store->Fetch(place));
    const std::vector<int> files = dbtest::DescriptorsOfFiles("/vorn-rows-");
    ASSERT_EQ(files.size(), size_t{kRuns});
    ASSERT_EQ(ftruncate(files[1], cut), 0);
    std::optional<size_t> failed;
    for (size_t place = 30; place < all; ++place) {
      for (size_t read : {place, place - 1, place - far, place}) {
        std::optional<SqlRowView> row = store->Fetch(read);
        if (!row && read == place && !failed) failed = place;
        const bool lost = failed && read >= *failed;  // no row may stand at or past a place that failed
        EXPECT_TRUE(!row || (!lost && KeyOf(*row) == int32_t(read))) << "read " << read << " after " << place;
      }
    }
    EXPECT_TRUE(failed) << "the cut run was read whole";
  }
}

// Counted over the rows read before a run failed, a summary would pass for one of every row.
TEST(SqlMergeTest, ASummaryOverARunThatCannotBeReadIsRefused) {
  std::unique_ptr<SqlRowStore> store = MergedRuns();
  ASSERT_TRUE(store);
  const std::vector<int> files = dbtest::DescriptorsOfFiles("/vorn-rows-");
  ASSERT_EQ(files.size(), size_t{kRuns});
  ASSERT_EQ(ftruncate(files[1], 40000), 0);
  bool unread = false;
  EXPECT_FALSE(SqlAggregateStored(*store, {kSqlCount, kSqlPlainColumn}, std::nullopt, &unread));
  EXPECT_TRUE(unread);
}

}  // namespace
}  // namespace vorn
