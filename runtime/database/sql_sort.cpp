#include "database/sql_sort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "database/db_format.h"

namespace vorn {
namespace {

enum class Kind { kNull, kNumber, kText, kOther };

Kind KindOf(uint8_t type) {
  switch (type) {
    case kVornDbNull: return Kind::kNull;
    case kVornDbSmallInt:
    case kVornDbInteger:
    case kVornDbFloat:
    case kVornDbDouble:
    case kVornDbBoolean: return Kind::kNumber;
    case kVornDbChar:
    case kVornDbText:
    case kVornDbLongText: return Kind::kText;
    default: return Kind::kOther;
  }
}


template <typename T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// The sort-order weights, copied once so that the comparison of every byte is a lookup.
const std::array<uint8_t, 256>& Weights() {
  static const std::array<uint8_t, 256> weights = [] {
    std::array<uint8_t, 256> table{};
    for (size_t byte = 0; byte < table.size(); ++byte) table[byte] = DbCollate(static_cast<uint8_t>(byte));
    return table;
  }();
  return weights;
}

int CompareText(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  const std::array<uint8_t, 256>& weights = Weights();
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (a[i] != b[i]) {
      if (int order = Order(weights[a[i]], weights[b[i]])) return order;
    }
  }
  return Order(a.size(), b.size());
}

}  // namespace

int SqlCompareCells(const SqlCell& a, const SqlCell& b) {
  // Sort keys are mostly one column of one type: doubles then compare without the general path.
  if (a.type == kVornDbDouble && b.type == kVornDbDouble && a.bytes.size() == 8 && b.bytes.size() == 8) {
    double x, y;
    std::memcpy(&x, a.bytes.data(), 8);
    std::memcpy(&y, b.bytes.data(), 8);
    if (x == x && y == y) return Order(x, y);
  }
  const Kind kind = KindOf(a.type);
  if (int order = Order(static_cast<int>(kind), static_cast<int>(KindOf(b.type)))) return order;
  switch (kind) {
    case Kind::kNull: return 0;
    case Kind::kNumber: {
      const double x = SqlCellNumber(a), y = SqlCellNumber(b);
      // NaN sorts with the smallest numbers, so that the order stays total.
      if (x != x || y != y) return Order(y == y, x == x);
      return Order(x, y);
    }
    case Kind::kText: return CompareText(a.bytes, b.bytes);
    case Kind::kOther:
      if (int order = Order(a.type, b.type)) return order;
      return Order(a.bytes, b.bytes);
  }
  return 0;
}

int SqlCompareRows(const SqlRow& a, const SqlRow& b, const SqlSortKeys& keys) {
  for (const auto& [position, descending] : keys) {
    if (position >= a.size() || position >= b.size()) continue;
    if (int order = SqlCompareCells(a[position], b[position])) return descending ? -order : order;
  }
  return 0;
}

bool SqlSorter::Add(SqlRow row) {
  if (mFailed) return false;
  const size_t bytes = SqlRowBytes(row);
  // A batch always takes one row, however large, so that no value is ever dropped.
  if (!mBatch.empty() && mBatchBytes + bytes > mBudget && !WriteRun()) return false;
  mBatchBytes += bytes;
  mBatch.push_back(std::move(row));
  return true;
}

void SqlSorter::SortBatch() {
  std::stable_sort(mBatch.begin(), mBatch.end(),
                   [this](const SqlRow& a, const SqlRow& b) { return SqlCompareRows(a, b, mKeys) < 0; });
}

bool SqlSorter::WriteRun() {
  SortBatch();
  auto run = std::make_unique<SqlRowStore>(0);
  for (SqlRow& row : mBatch) {
    if (!run->Append(std::move(row))) {
      mFailed = true;
      return false;
    }
  }
  mBatch.clear();
  mBatchBytes = 0;
  mRuns.push_back(std::move(run));
  return true;
}

std::unique_ptr<SqlRowStore> SqlSorter::Finish() {
  if (mFailed) return nullptr;
  auto sorted = std::make_unique<SqlRowStore>(mBudget);
  if (mRuns.empty()) {
    SortBatch();
    for (SqlRow& row : mBatch) {
      if (!sorted->Append(std::move(row))) return nullptr;
    }
    mBatch.clear();
    return sorted;
  }
  if (!mBatch.empty() && !WriteRun()) return nullptr;
  if (mRuns.size() > UINT32_MAX) return nullptr;
  // Merge: each run offers its next row; of equal rows the earlier run's goes first, which
  // keeps rows equal on the keys in the order they were read. Only the order is kept: the rows
  // stay in their runs.
  struct Head {
    size_t next = 0;
    std::optional<SqlRow> row;
  };
  std::vector<Head> heads(mRuns.size());
  std::vector<SqlRowStore::RunRow> order;
  // A row the run holds but cannot give back is a failed file, not the run's end.
  auto advance = [&](size_t r) {
    Head& head = heads[r];
    head.row = mRuns[r]->Fetch(head.next);
    return head.row.has_value() || head.next >= mRuns[r]->Count();
  };
  for (size_t r = 0; r < mRuns.size(); ++r) {
    if (!advance(r)) return nullptr;
  }
  for (;;) {
    size_t best = heads.size();
    for (size_t r = 0; r < heads.size(); ++r) {
      if (!heads[r].row) continue;
      if (best == heads.size() || SqlCompareRows(*heads[r].row, *heads[best].row, mKeys) < 0) best = r;
    }
    if (best == heads.size()) break;
    if (heads[best].next > UINT32_MAX) return nullptr;
    order.push_back({static_cast<uint32_t>(best), static_cast<uint32_t>(heads[best].next)});
    ++heads[best].next;
    if (!advance(best)) return nullptr;
  }
  return SqlRowStore::Merged(std::move(mRuns), std::move(order));
}

}  // namespace vorn
