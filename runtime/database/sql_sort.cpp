#include "database/sql_sort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

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

int CompareText(std::span<const uint8_t> a, std::span<const uint8_t> b) {
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
      // NaN sorts before every other number, as its sort prefix places it, so that a batch
      // sorted by prefixes and runs merged by this comparison agree.
      if (x != x || y != y) return Order(x == x, y == y);
      return Order(x, y);
    }
    case Kind::kText: return CompareText(a.bytes, b.bytes);
    case Kind::kOther: {
      if (int order = Order(a.type, b.type)) return order;
      const int order = std::memcmp(a.bytes.data(), b.bytes.data(), std::min(a.bytes.size(), b.bytes.size()));
      return order ? Order(order, 0) : Order(a.bytes.size(), b.bytes.size());
    }
  }
  return 0;
}

int SqlCompareRows(SqlRowView a, SqlRowView b, const SqlSortKeys& keys) {
  for (const auto& [position, descending] : keys) {
    SqlCell x, y;
    if (!a.ValueAt(position, &x) || !b.ValueAt(position, &y)) continue;
    if (int order = SqlCompareCells(x, y)) return descending ? -order : order;
  }
  return 0;
}

namespace {

// Numbers that never order two cells against their comparison: the cell's kind, then for
// numbers the value's bits arranged to order as an unsigned integer (exact: equal numbers and
// only they get equal bits), for text the weights of its first eight bytes. Cells they cannot
// tell apart compare in full.
void SortPrefix(const SqlCell& cell, uint8_t* kind, uint64_t* prefix, bool* exact) {
  *kind = static_cast<uint8_t>(KindOf(cell.type));
  *prefix = 0;
  *exact = *kind == static_cast<uint8_t>(Kind::kNull);
  if (*kind == static_cast<uint8_t>(Kind::kNumber)) {
    double value = SqlCellNumber(cell);
    *exact = true;
    // NaN sorts with the smallest numbers, all alike: its 0 lies below every other number's
    // arranged bits (the smallest, minus infinity's, is 0x000FFFFFFFFFFFFF).
    if (value != value) return;
    if (value == 0) value = 0;  // -0 equals 0
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    *prefix = bits >> 63 ? ~bits : bits | (uint64_t{1} << 63);
  } else if (*kind == static_cast<uint8_t>(Kind::kText)) {
    const std::array<uint8_t, 256>& weights = Weights();
    for (size_t i = 0; i < 8; ++i) *prefix = *prefix << 8 | (i < cell.bytes.size() ? weights[cell.bytes[i]] : 0);
  }
}

// The first key's prefix, turned over for a descending key.
SqlRowStore::OrderPrefix PrefixOf(SqlRowView row, const SqlSortKeys& keys) {
  SqlRowStore::OrderPrefix order;
  SqlCell cell;
  if (keys.empty() || !row.ValueAt(keys.front().first, &cell)) return order;
  SortPrefix(cell, &order.kind, &order.prefix, &order.exact);
  if (keys.front().second) order.kind = static_cast<uint8_t>(~order.kind), order.prefix = ~order.prefix;
  return order;
}

}  // namespace

// A batch of rows without values (NULLs) is as large as this before it grows.
constexpr size_t kBatchRowsAtMost = 1 << 16;

bool SqlSorter::Add(SqlRowView row) {
  if (mFailed) return false;
  // A batch always takes one row, however large, so that no value is ever dropped.
  const size_t valueBytes = row.ValueBytes();
  const bool full = mBatchBytes + valueBytes > mBudget || mEntries.size() == UINT32_MAX;
  if (!mEntries.empty() && full && !WriteRun()) return false;
  // Room for a batch of rows like the first, so that the batch is not copied as it grows;
  // room never written to costs no memory.
  if (mBatch.capacity() == 0) {
    const size_t rows = std::min(mBudget / std::max<size_t>(valueBytes, 1) + 1, kBatchRowsAtMost);
    mBatch.reserve(std::min(rows * row.ByteSize(), 4 * mBudget + row.ByteSize()));
  }
  mBatchBytes += valueBytes;
  const SqlRowStore::OrderPrefix order = PrefixOf(row, mKeys);
  mEntries.push_back({order.prefix, static_cast<uint32_t>(mStarts.size()), order.kind, order.exact});
  mStarts.push_back(mBatch.size());
  mBatch.insert(mBatch.end(), row.data(), row.data() + row.ByteSize());
  return true;
}

void SqlSorter::SortBatch() {
  const bool oneKey = mKeys.size() == 1;
  // Rows equal on every key keep their read order.
  const bool prefixesDecide =
      oneKey && std::all_of(mEntries.begin(), mEntries.end(), [](const Entry& entry) { return entry.exact; });
  if (prefixesDecide) {
    // The common case (one numeric key): kind and prefix order every pair, no row is read.
    // Sorted a byte at a time from the lowest, each pass stable, so that rows of equal keys
    // keep the order they were added in; a byte all entries share
    // costs no pass. Unlike comparisons, whose outcome keys with many equal values make
    // unpredictable, the passes do not branch on the data.
    constexpr size_t kRadixFrom = 64;
    if (mEntries.size() < kRadixFrom) {
      std::sort(mEntries.begin(), mEntries.end(), [](const Entry& a, const Entry& b) {
        return a.kind != b.kind ? a.kind < b.kind : a.prefix != b.prefix ? a.prefix < b.prefix : a.row < b.row;
      });
      return;
    }
    auto byteOf = [](const Entry& entry, int pass) {
      return pass < 8 ? static_cast<uint8_t>(entry.prefix >> (8 * pass)) : entry.kind;
    };
    // The counts of every pass come from one sweep: a pass moves entries, never changes them.
    constexpr int kPasses = 9;
    std::vector<std::array<size_t, 256>> tallies(kPasses);
    for (const Entry& entry : mEntries) {
      for (int pass = 0; pass < kPasses; ++pass) ++tallies[pass][byteOf(entry, pass)];
    }
    mSorting.resize(mEntries.size());
    for (int pass = 0; pass < kPasses; ++pass) {
      std::array<size_t, 256>& counts = tallies[pass];
      if (counts[byteOf(mEntries.front(), pass)] == mEntries.size()) continue;
      size_t at = 0;
      for (size_t& count : counts) at += std::exchange(count, at);
      for (const Entry& entry : mEntries) mSorting[counts[byteOf(entry, pass)]++] = entry;
      mEntries.swap(mSorting);
    }
    return;
  }
  std::sort(mEntries.begin(), mEntries.end(), [&](const Entry& a, const Entry& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (!(oneKey && a.exact && b.exact)) {
      if (int order = SqlCompareRows(Row(a), Row(b), mKeys)) return order < 0;
    }
    return a.row < b.row;
  });
}

bool SqlSorter::WriteRun() {
  SortBatch();
  std::vector<SqlRowView> rows;
  rows.reserve(mEntries.size());
  for (const Entry& entry : mEntries) rows.push_back(Row(entry));
  std::unique_ptr<SqlRowStore> run = SqlRowStore::Written(rows);
  if (!run) return mFailed = true, false;
  mBatch.clear();
  mStarts.clear();
  mEntries.clear();
  mBatchBytes = 0;
  mRuns.push_back(std::move(run));
  return true;
}

std::unique_ptr<SqlRowStore> SqlSorter::SortedBatch() {
  SortBatch();
  std::vector<uint64_t> starts;
  starts.reserve(mEntries.size());
  for (const Entry& entry : mEntries) starts.push_back(mStarts[entry.row]);
  mStarts.clear();
  mEntries.clear();
  mBatchBytes = 0;
  return SqlRowStore::Held(std::exchange(mBatch, {}), std::move(starts));
}

std::unique_ptr<SqlRowStore> SqlSorter::Finish() {
  if (mFailed) return nullptr;
  if (mRuns.empty()) return SortedBatch();
  // The last batch is within the budget: it joins the merge from memory.
  if (!mEntries.empty()) mRuns.push_back(SortedBatch());
  SqlSortKeys keys = mKeys;
  SqlRowStore::Prefixes prefixes{[keys](SqlRowView row) { return PrefixOf(row, keys); }, keys.size() == 1};
  return SqlRowStore::Merged(
      std::move(mRuns), [keys = std::move(keys)](SqlRowView a, SqlRowView b) { return SqlCompareRows(a, b, keys); },
      std::move(prefixes));
}

}  // namespace vorn
