#include "database/sql_aggregate.h"

#include <algorithm>
#include <cstring>

#include "database/sql_select.h"

namespace vorn {
namespace {

bool IsNumber(uint8_t type) {
  return type == kVornDbSmallInt || type == kVornDbInteger || type == kVornDbFloat || type == kVornDbDouble;
}


struct Accumulator {
  int32_t rows = 0;
  int32_t seen = 0;
  double value = 0;

  void Add(int32_t code, const SqlCell& cell) {
    ++rows;
    if (code == kSqlCount || !IsNumber(cell.type)) return;
    const double x = SqlCellNumber(cell);
    if (code == kSqlAverage || code == kSqlSum) value += x;
    if (code == kSqlMinimum && (!seen || x < value)) value = x;
    if (code == kSqlMaximum && (!seen || x > value)) value = x;
    ++seen;
  }

  void AddResult(int32_t code, SqlRow& row) const {
    if (code == kSqlCount) return row.Add(kVornDbInteger, &rows, sizeof rows);
    if (seen == 0) return row.Add(kVornDbNull, nullptr, 0);
    const double result = code == kSqlAverage ? value / seen : value;
    row.Add(kVornDbDouble, &result, sizeof result);
  }
};

}  // namespace

std::unique_ptr<SqlRowStore> SqlAggregate(const SqlRowSource& next, const std::vector<int32_t>& aggregates,
                                          std::optional<size_t> grouping) {
  auto groups = std::make_unique<SqlRowStore>();
  std::optional<SqlRowView> row = next();
  SqlRow first, group;
  while (row) {
    // The run's first row gives the plain columns (kept, as the input moves on); a summary
    // stands for many rows, so it names none of them as its source.
    first.Assign(*row);
    const SqlRowView head = first.View();
    const SqlCell key = grouping && *grouping < head.size() ? head[*grouping] : SqlCell();
    auto sameGroup = [&](SqlRowView other) {
      if (!grouping) return true;
      if (*grouping >= other.size()) return false;
      const SqlCell cell = other[*grouping];
      if (cell.type != key.type) return false;
      // Numbers group by value: 0 and -0 are one group, and so are all NaNs.
      if (IsNumber(cell.type)) {
        const double x = SqlCellNumber(cell), y = SqlCellNumber(key);
        return x == y || (x != x && y != y);
      }
      return std::ranges::equal(cell.bytes, key.bytes);
    };
    std::vector<Accumulator> totals(aggregates.size());
    do {
      for (size_t c = 0; c < aggregates.size() && c < row->size(); ++c) {
        if (aggregates[c] != kSqlPlainColumn) totals[c].Add(aggregates[c], (*row)[c]);
      }
      row = next();
    } while (row && sameGroup(*row));
    group.Start();
    for (size_t c = 0; c < head.size(); ++c) {
      if (c < aggregates.size() && aggregates[c] != kSqlPlainColumn) {
        totals[c].AddResult(aggregates[c], group);
      } else {
        group.Add(head[c].type, head[c].bytes.data(), head[c].bytes.size());
      }
    }
    if (!groups->Append(group.Finish())) return nullptr;
  }
  return groups;
}

std::unique_ptr<SqlRowStore> SqlAggregateStored(SqlRowStore& rows, const std::vector<int32_t>& aggregates,
                                                std::optional<size_t> grouping, bool* unread) {
  size_t at = 0;
  *unread = false;
  std::unique_ptr<SqlRowStore> groups = SqlAggregate(
      [&]() -> std::optional<SqlRowView> {
        if (*unread || at >= rows.Count()) return std::nullopt;
        std::optional<SqlRowView> row = rows.Fetch(at++);
        *unread = !row;
        return row;
      },
      aggregates, grouping);
  if (*unread) return nullptr;
  return groups;
}

}  // namespace vorn
