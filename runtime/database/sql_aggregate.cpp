#include "database/sql_aggregate.h"

#include <cstring>

#include "database/sql_select.h"

namespace vorn {
namespace {

bool IsNumber(uint8_t type) {
  return type == kVornDbSmallInt || type == kVornDbInteger || type == kVornDbFloat || type == kVornDbDouble;
}


template <typename T>
SqlCell ValueCell(uint8_t type, T value) {
  SqlCell cell;
  cell.type = type;
  cell.bytes.resize(sizeof value);
  std::memcpy(cell.bytes.data(), &value, sizeof value);
  return cell;
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

  SqlCell Result(int32_t code) const {
    if (code == kSqlCount) return ValueCell(kVornDbInteger, rows);
    if (seen == 0) return {};
    return ValueCell(kVornDbDouble, code == kSqlAverage ? value / seen : value);
  }
};

}  // namespace

std::unique_ptr<SqlRowStore> SqlAggregate(const SqlRowSource& next, const std::vector<int32_t>& aggregates,
                                          std::optional<size_t> grouping) {
  auto groups = std::make_unique<SqlRowStore>();
  std::optional<SqlRow> row = next();
  while (row) {
    // The run's first row gives the plain columns; a summary stands for many rows, so it
    // names none of them as its source.
    SqlRow group = *row;
    for (SqlCell& cell : group) cell.source.clear(), cell.key.clear();
    const SqlCell key = grouping && *grouping < row->size() ? (*row)[*grouping] : SqlCell();
    auto sameGroup = [&](const SqlRow& other) {
      if (!grouping) return true;
      return *grouping < other.size() && other[*grouping].type == key.type && other[*grouping].bytes == key.bytes;
    };
    std::vector<Accumulator> totals(aggregates.size());
    do {
      for (size_t c = 0; c < aggregates.size() && c < row->size(); ++c) {
        if (aggregates[c] != kSqlPlainColumn) totals[c].Add(aggregates[c], (*row)[c]);
      }
      row = next();
    } while (row && sameGroup(*row));
    for (size_t c = 0; c < aggregates.size() && c < group.size(); ++c) {
      if (aggregates[c] != kSqlPlainColumn) group[c] = totals[c].Result(aggregates[c]);
    }
    if (!groups->Append(std::move(group))) return nullptr;
  }
  return groups;
}

}  // namespace vorn
