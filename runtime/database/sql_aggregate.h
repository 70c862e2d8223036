// Summaries of a query's rows: one row per run of consecutive rows that share the grouping
// column's value (all rows as one run without a grouping column).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "database/sql_row_store.h"

namespace vorn {

// The next input row, valid until the next call; nothing at the end.
using SqlRowSource = std::function<std::optional<SqlRowView>()>;

// `aggregates` holds each column's SqlAggregate code. Plain columns come from the run's first
// row; COUNT(*) counts every row, as an integer; AVG, SUM, MIN and MAX read numeric values only,
// as doubles, so that NULLs and texts neither add to a sum nor drag an average down, and a run
// without numbers gives NULL. No input rows give no row. Null when the store fails.
std::unique_ptr<SqlRowStore> SqlAggregate(const SqlRowSource& next, const std::vector<int32_t>& aggregates,
                                          std::optional<size_t> grouping);
// The same over a store's rows in order (sorted rows, merged from runs on file). Nothing, with
// `unread` set, when a row the store holds cannot be read back: a summary without it would
// pass for one of every row.
std::unique_ptr<SqlRowStore> SqlAggregateStored(SqlRowStore& rows, const std::vector<int32_t>& aggregates,
                                                std::optional<size_t> grouping, bool* unread);

}  // namespace vorn
