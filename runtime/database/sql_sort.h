// Sorting the rows of a query result by its ORDER BY / GROUP BY keys: rows gathered in memory
// up to the budget, each full batch sorted and written to a temporary file as a run, the runs
// merged at the end. Rows equal on every key keep the order in which they were read.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "database/sql_row_store.h"

namespace vorn {

// A column position in the row and whether it sorts descending.
using SqlSortKeys = std::vector<std::pair<size_t, bool>>;

// NULL first, then numbers by value (integers, floats, doubles and Booleans alike), then text
// by the sort-order table (capital just before small letter: Apple, apple, Banana, banana),
// then every other kind (dates, times, bytes) by kind and bytes.
int SqlCompareCells(const SqlCell& a, const SqlCell& b);
int SqlCompareRows(SqlRowView a, SqlRowView b, const SqlSortKeys& keys);

class SqlSorter {
 public:
  SqlSorter(SqlSortKeys keys, size_t budget = SqlMemoryBudget()) : mKeys(std::move(keys)), mBudget(budget) {}

  // False when a run cannot be written.
  bool Add(SqlRowView row);
  // The sorted rows; null when a temporary file failed.
  std::unique_ptr<SqlRowStore> Finish();

 private:
  // A row of the batch: its number in read order, and a number that orders rows as their
  // first key does wherever the two numbers differ, so that most comparisons are one of
  // integers. Sixteen bytes, so that sorting moves little.
  struct Entry {
    uint64_t prefix;
    uint32_t row;
    uint8_t kind;
    bool exact;  // equal prefixes mean equal keys
  };
  SqlRowView Row(const Entry& entry) const { return SqlRowView::At(mBatch.data() + mStarts[entry.row]); }
  void SortBatch();
  bool WriteRun();
  // The batch sorted, as a store in memory; the batch is then empty.
  std::unique_ptr<SqlRowStore> SortedBatch();

  SqlSortKeys mKeys;
  size_t mBudget;
  std::vector<uint8_t> mBatch;
  std::vector<uint64_t> mStarts;  // each row's start in mBatch, in read order
  std::vector<Entry> mEntries;
  std::vector<Entry> mSorting;    // room the byte-wise sort moves entries through
  size_t mBatchBytes = 0;
  std::vector<std::unique_ptr<SqlRowStore>> mRuns;
  bool mFailed = false;
};

}  // namespace vorn
