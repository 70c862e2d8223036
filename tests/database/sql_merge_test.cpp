// Rows merged from sorted runs on file, read in order and with steps back: every read gives the
// row of that place, also the newest merged row read again after a step back.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
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

std::vector<size_t> Upto(size_t from, size_t to) {
  std::vector<size_t> places;
  for (size_t i = from; i < to; ++i) places.push_back(i);
  return places;
}

std::vector<size_t> Join(std::initializer_list<std::vector<size_t>> parts) {
  std::vector<size_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(SqlMergeTest, EveryReadGivesTheRowOfItsPlace) {
  constexpr size_t kAll = kRuns * kRowsPerRun;
  struct Case {
    const char* name;
    std::vector<size_t> reads;
  };
  const Case cases[] = {
      {"in order", Upto(0, kAll)},
      {"a step back, then on", Join({Upto(0, 51), {49}, Upto(50, kAll)})},
      {"the newest again after a step back", Join({Upto(0, 51), {49, 50, 50}, Upto(51, kAll)})},
      {"far back into another window, then on", Join({Upto(0, 101), {3, 100}, Upto(101, kAll)})},
      {"the last row, back, the last again", Join({Upto(0, kAll), {0, kAll - 1, kAll - 2, kAll - 1}})},
  };
  for (const Case& c : cases) {
    std::unique_ptr<SqlRowStore> store = MergedRuns();
    ASSERT_TRUE(store);
    ASSERT_EQ(store->Count(), kAll);
    for (size_t at = 0; at < c.reads.size(); ++at) {
      const size_t place = c.reads[at];
      std::optional<SqlRowView> row = store->Fetch(place);
      ASSERT_TRUE(row) << c.name << ", read " << at;
      ASSERT_TRUE(SqlRowView::Valid(row->data(), row->ByteSize())) << c.name << ", read " << at;
      ASSERT_EQ(KeyOf(*row), int32_t(place)) << c.name << ", read " << at;
      const SqlCell text = row->Value(1);
      ASSERT_EQ(text.bytes.size(), kTextBytes);
      ASSERT_EQ(text.bytes.back(), uint8_t('a' + place % 26)) << c.name << ", read " << at;
    }
    EXPECT_FALSE(store->Fetch(kAll)) << c.name;
  }
}

}  // namespace
}  // namespace vorn
