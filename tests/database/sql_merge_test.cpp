// Rows merged from sorted runs on file, read in order and with steps back: every read gives the
// row of that place, also the newest merged row read again after a step back, whatever the
// number of runs and wherever rows meet the edges of the blocks a run is written and read in.
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

int32_t KeyOf(SqlRowView row) {
  int32_t key = 0;
  std::memcpy(&key, row.Value(0).bytes.data(), sizeof key);
  return key;
}

int Compare(SqlRowView a, SqlRowView b) { return KeyOf(a) - KeyOf(b); }

char TextByte(int32_t key) { return static_cast<char>('a' + key % 26); }

// The row of `key` with a text that makes it exactly `bytes` long, when one does.
bool MakeRow(SqlRow& row, int32_t key, size_t bytes) {
  for (size_t text = bytes > 32 ? bytes - 32 : 0; text <= bytes; ++text) {
    row.Start();
    row.Add(kVornDbInteger, &key, sizeof key);
    const std::string value(text, TextByte(key));
    row.Add(kVornDbText, value.data(), value.size());
    if (row.Finish().ByteSize() == bytes) return true;
  }
  return false;
}

struct Shape {
  const char* name;
  int runs, rowsPerRun;
  size_t rowBytes;
};

// Run r holds the keys r, r + runs, ...: the merge takes from every run in turn.
std::unique_ptr<SqlRowStore> MergedRuns(const Shape& shape) {
  std::vector<std::unique_ptr<SqlRowStore>> runs;
  for (int r = 0; r < shape.runs; ++r) {
    std::vector<SqlRow> rows(shape.rowsPerRun);
    std::vector<SqlRowView> views;
    for (int i = 0; i < shape.rowsPerRun; ++i) {
      if (!MakeRow(rows[i], r + i * shape.runs, shape.rowBytes)) return nullptr;
      views.push_back(rows[i].View());
    }
    runs.push_back(SqlRowStore::Written(views));
    if (!runs.back()) return nullptr;
  }
  return SqlRowStore::Merged(std::move(runs), Compare, SqlRowStore::Prefixes{});
}

TEST(SqlMergeTest, EveryReadGivesTheRowOfItsPlace) {
  // A run is written in blocks of 256 KB and read through a window of 32 KB.
  const Shape shapes[] = {
      {"rows spanning part of a window", 3, 60, 2000},
      {"one run", 1, 40, 2000},
      {"runs of one row", 5, 1, 100},
      {"rows that meet the window's and the block's edges exactly", 3, 600, 512},
      {"rows one byte over those edges", 3, 600, 513},
      {"a row as long as the window", 2, 4, 32768},
      {"a row one byte longer than the window", 2, 4, 32769},
  };
  // Reads the places up to `upto` in order, then `back`, then on in order after the last of them.
  struct Reads { const char* name; size_t upto; std::vector<size_t> back; };
  for (const Shape& shape : shapes) {
    const size_t all = static_cast<size_t>(shape.runs * shape.rowsPerRun);
    const Reads patterns[] = {
        {"in order", all - 1, {}},
        {"a step back, then on", all / 2, {all / 2 - (all > 1)}},
        {"the newest again after a step back", all / 2, {all / 2 - (all > 1), all / 2, all / 2}},
        {"far back, then on", 2 * all / 3, {0, 2 * all / 3}},
        {"the last row, back, the last again", all - 1, {0, all - 1, all - 2 + (all < 2), all - 1}},
    };
    for (const Reads& reads : patterns) {
      const std::string name = std::string(shape.name) + ", " + reads.name;
      std::unique_ptr<SqlRowStore> store = MergedRuns(shape);
      ASSERT_TRUE(store) << name;
      ASSERT_EQ(store->Count(), all) << name;
      std::vector<size_t> places(reads.upto + 1);
      std::iota(places.begin(), places.end(), 0);
      places.insert(places.end(), reads.back.begin(), reads.back.end());
      while (places.back() + 1 < all) places.push_back(places.back() + 1);
      for (size_t at = 0; at < places.size(); ++at) {
        const size_t place = places[at];
        std::optional<SqlRowView> row = store->Fetch(place);
        ASSERT_TRUE(row && SqlRowView::Valid(row->data(), row->ByteSize())) << name << ", read " << at;
        ASSERT_EQ(row->ByteSize(), shape.rowBytes) << name << ", read " << at;
        ASSERT_EQ(KeyOf(*row), int32_t(place)) << name << ", read " << at;
        const auto text = row->Value(1).bytes;
        const uint8_t byte = TextByte(int32_t(place));
        ASSERT_TRUE(!text.empty() && text.front() == byte && text.back() == byte) << name << ", read " << at;
      }
      EXPECT_FALSE(store->Fetch(all)) << name;
    }
  }
}

}  // namespace
}  // namespace vorn
