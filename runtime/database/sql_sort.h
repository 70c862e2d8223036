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
int SqlCompareRows(const SqlRow& a, const SqlRow& b, const SqlSortKeys& keys);

class SqlSorter {
 public:
  SqlSorter(SqlSortKeys keys, size_t budget = SqlMemoryBudget()) : mKeys(std::move(keys)), mBudget(budget) {}

  // False when a run cannot be written.
  bool Add(SqlRow row);
  // The sorted rows; null when a temporary file failed.
  std::unique_ptr<SqlRowStore> Finish();
  // How many runs went to temporary files.
  size_t Runs() const { return mRuns.size(); }

 private:
  void SortBatch();
  bool WriteRun();

  SqlSortKeys mKeys;
  size_t mBudget;
  std::vector<SqlRow> mBatch;
  size_t mBatchBytes = 0;
  std::vector<std::unique_ptr<SqlRowStore>> mRuns;
  bool mFailed = false;
};

}  // namespace vorn
