#include "database/sql_query.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "database/database_fields.h"
#include "database/sql_filter.h"

namespace vorn {
namespace {

string Utf8(const std::string& text) { return string(text, kEncodingUTF8); }

struct Cell {
  uint8_t type = kVornDbNull;
  std::vector<uint8_t> bytes;
  // Where the value came from ("table!column") and the condition selecting its row, when the
  // engine tells; edits and deletions are written back through them.
  std::string source;
  std::string key;
};
using Row = std::vector<Cell>;

struct ColumnRef {
  size_t table = 0;
  int32_t field = 0;  // 0-based in the table's cursor of all columns
};

struct OutputColumn {
  ColumnRef source;
  std::string name;  // empty for an aggregate
  int32_t aggregate = kSqlPlainColumn;
};

struct FromTable {
  std::string name;
  std::vector<std::string> fields;
  RuntimeObject* cursor = nullptr;  // while the join has it open
};

// The materialised result the cursor record walks.
struct QueryResult {
  std::vector<std::string> names;
  int32_t visible = 0;
  std::vector<Row> rows;
  size_t next = 0;  // the current row is next - 1
  // What rewinding runs again: the database (one reference) and the statement.
  RuntimeObject* database = nullptr;
  std::string text;
  bool singleTable = false;
};

QueryResult* Result(void* handle) { return static_cast<QueryResult*>(handle); }

const Cell* CurrentCell(QueryResult* result, int32_t index) {
  if (result->next == 0 || result->next > result->rows.size() || index < 0 || index >= result->visible) return nullptr;
  return &result->rows[result->next - 1][index];
}

void CloseResult(void* handle) {
  RuntimeUnlockObject(Result(handle)->database);
  delete Result(handle);
}
int32_t ResultColumnCount(void* handle) { return Result(handle)->visible; }

StringRep* ResultColumnName(void* handle, int32_t index) {
  QueryResult* result = Result(handle);
  if (index < 0 || index >= result->visible || result->names[index].empty()) return nullptr;
  return Utf8(result->names[index]).GetRetainedRep();
}

int32_t ResultRowCount(void* handle) { return static_cast<int32_t>(Result(handle)->rows.size()); }

void ResultValue(void* handle, int32_t index, const void** data, uint8_t* type, int32_t* length) {
  const Cell* cell = CurrentCell(Result(handle), index);
  *type = cell ? cell->type : uint8_t{kVornDbNull};
  *data = cell && !cell->bytes.empty() ? cell->bytes.data() : nullptr;
  *length = cell ? static_cast<int32_t>(cell->bytes.size()) : 0;
}

void ReleaseResultValue(void*) {}

uint8_t NextResultRow(void* handle) {
  QueryResult* result = Result(handle);
  if (result->next <= result->rows.size()) ++result->next;
  return result->next <= result->rows.size() ? 1 : 0;
}

int32_t ResultColumnType(void* handle, int32_t index) {
  const Cell* cell = CurrentCell(Result(handle), index);
  return cell ? cell->type : -1;
}

void FirstResultRow(void* handle);

uint8_t ResultColumnSource(void* handle, int32_t index, const char** name, int32_t* nameLength, const char** key,
                           int32_t* keyLength, void*, void*) {
  const Cell* cell = CurrentCell(Result(handle), index);
  if (!cell || cell->source.empty()) return 0;
  *name = cell->source.data();
  *nameLength = static_cast<int32_t>(cell->source.size());
  *key = cell->key.data();
  *keyLength = static_cast<int32_t>(cell->key.size());
  return 1;
}

void DeleteResultRow(void* handle);

// Stepping back and to the end moves within the rows; only rewinding reads the tables again.
void PreviousResultRow(void* handle) {
  QueryResult* result = Result(handle);
  if (result->next > 1) --result->next;
}

void LastResultRow(void* handle) {
  QueryResult* result = Result(handle);
  result->next = result->rows.size();
}

dbCursorDefinition gQueryCursor = {
    VORN_DB_RECORD_VERSION, 0, CloseResult, ResultColumnCount, ResultColumnName, ResultRowCount, ResultValue,
    ReleaseResultValue, NextResultRow, DeleteResultRow, nullptr, ResultColumnSource, nullptr, nullptr,
    PreviousResultRow, FirstResultRow, LastResultRow, ResultColumnType,
};

bool IsNumber(uint8_t type) {
  return type == kVornDbSmallInt || type == kVornDbInteger || type == kVornDbFloat || type == kVornDbDouble ||
         type == kVornDbBoolean;
}

double Number(const Cell& cell) {
  auto read = [&](auto value) {
    if (cell.bytes.size() < sizeof(value)) return 0.0;
    std::memcpy(&value, cell.bytes.data(), sizeof(value));
    return static_cast<double>(value);
  };
  switch (cell.type) {
    case kVornDbSmallInt: return read(int16_t{});
    case kVornDbInteger: return read(int32_t{});
    case kVornDbFloat: return read(float{});
    case kVornDbDouble: return read(double{});
    default: return cell.bytes.empty() ? 0.0 : cell.bytes[0];
  }
}

// NULL first, numbers by value, everything else by its bytes.
int CompareCells(const Cell& a, const Cell& b) {
  if (a.type == kVornDbNull || b.type == kVornDbNull) return (a.type != kVornDbNull) - (b.type != kVornDbNull);
  if (IsNumber(a.type) && IsNumber(b.type)) {
    const double x = Number(a), y = Number(b);
    return x < y ? -1 : (y < x ? 1 : 0);
  }
  return a.bytes < b.bytes ? -1 : (b.bytes < a.bytes ? 1 : 0);
}

Cell IntegerCell(int32_t value) {
  Cell cell{kVornDbInteger, std::vector<uint8_t>(sizeof value)};
  std::memcpy(cell.bytes.data(), &value, sizeof value);
  return cell;
}

Cell DoubleCell(double value) {
  Cell cell{kVornDbDouble, std::vector<uint8_t>(sizeof value)};
  std::memcpy(cell.bytes.data(), &value, sizeof value);
  return cell;
}

// One row per run of consecutive rows sharing the grouping column's bytes (all rows as one run
// without a grouping column): plain columns from the run's first row, aggregates over the run.
// COUNT counts every row; the others read numeric values only, so that NULLs and texts neither
// add to a sum nor drag an average down. A run without numbers gives 0.
std::vector<Row> Aggregate(const std::vector<Row>& rows, const std::vector<OutputColumn>& columns,
                           std::optional<size_t> grouping) {
  std::vector<Row> groups;
  for (size_t first = 0; first < rows.size();) {
    size_t end = first + 1;
    while (end < rows.size() && grouping && rows[end][*grouping].bytes == rows[first][*grouping].bytes) ++end;
    if (!grouping) end = rows.size();
    Row group = rows[first];
    for (size_t c = 0; c < columns.size(); ++c) {
      const int32_t code = columns[c].aggregate;
      if (code == kSqlPlainColumn) continue;
      const int32_t count = static_cast<int32_t>(end - first);
      if (code == kSqlCount) {
        group[c] = IntegerCell(count);
        continue;
      }
      double value = 0;
      int32_t seen = 0;
      for (size_t r = first; r < end; ++r) {
        const Cell& cell = rows[r][c];
        if (cell.type != kVornDbSmallInt && cell.type != kVornDbInteger && cell.type != kVornDbFloat &&
            cell.type != kVornDbDouble) {
          continue;
        }
        const double x = Number(cell);
        if (code == kSqlAverage || code == kSqlSum) value += x;
        if (code == kSqlMinimum && (!seen || x < value)) value = x;
        if (code == kSqlMaximum && (!seen || x > value)) value = x;
        ++seen;
      }
      group[c] = DoubleCell(code == kSqlAverage && seen > 0 ? value / seen : value);
    }
    groups.push_back(std::move(group));
    first = end;
  }
  return groups;
}

class Query {
 public:
  Query(DatabaseObject* database, const SqlSelect& select) : mDb(database), mSelect(select) {}

  // The rows, or null with the database's error set.
  std::unique_ptr<QueryResult> Build() {
    if (!LoadTables() || !ResolveColumns() || !ResolveKeys() || !CheckCondition(mSelect.condition.get())) {
      return nullptr;
    }
    auto result = std::make_unique<QueryResult>();
    for (const OutputColumn& column : mColumns) result->names.push_back(column.name);
    result->visible = mVisible;
    Join(0, result->rows);
    std::stable_sort(result->rows.begin(), result->rows.end(), [this](const Row& a, const Row& b) {
      for (const auto& [position, descending] : mKeys) {
        if (int order = CompareCells(a[position], b[position])) return descending ? order > 0 : order < 0;
      }
      return false;
    });
    if (mAggregated) {
      std::optional<size_t> grouping;
      if (!mKeys.empty()) grouping = mKeys.front().first;
      result->rows = Aggregate(result->rows, mColumns, grouping);
      // A summary row stands for many rows: it must not be written back to any one of them.
      for (Row& row : result->rows) {
        for (Cell& cell : row) cell.source.clear(), cell.key.clear();
      }
    }
    return result;
  }

 private:
  bool Fail(int32_t code, const std::string& message) {
    SetDatabaseError(mDb, code, Utf8(message));
    return false;
  }

  bool LoadTables() {
    for (const std::string& name : mSelect.tables) {
      RuntimeObject* schema = databaseFieldSchema(&mDb->header, Utf8(name).Rep());
      if (!schema) return Fail(kSqlErrorNoTable, "Invalid table " + name);
      FromTable table{name, {}, nullptr};
      for (; !cursorEOFGetter(schema, 0); cursorMoveNext(schema)) {
        RuntimeObject* field = cursorGetFieldByIndex(schema, 1);
        if (!field) {
          RuntimeUnlockObject(schema);
          return Fail(kSqlErrorInternal, "Internal validation error");
        }
        table.fields.emplace_back(string::Adopt(cursorFieldStringValueGetter(field, 0)).View());
        RuntimeUnlockObject(field);
      }
      RuntimeUnlockObject(schema);
      mTables.push_back(std::move(table));
    }
    return true;
  }

  // The FROM tables a qualifier names (every table for none).
  bool Qualifies(const std::string& qualifier, size_t table) const {
    return qualifier.empty() || SameName(qualifier, mTables[table].name);
  }

  std::optional<ColumnRef> Find(const std::string& qualifier, const std::string& column) {
    std::optional<ColumnRef> found;
    for (size_t t = 0; t < mTables.size(); ++t) {
      if (!Qualifies(qualifier, t)) continue;
      for (size_t f = 0; f < mTables[t].fields.size(); ++f) {
        if (!SameName(mTables[t].fields[f], column)) continue;
        if (found) {
          Fail(kSqlErrorAmbiguous, "Ambiguous column reference: " + column);
          return std::nullopt;
        }
        found = ColumnRef{t, static_cast<int32_t>(f)};
      }
    }
    if (!found && mDb->errorCode == 0) Fail(kSqlErrorUnknownColumn, "Unknown column: " + column);
    return found;
  }

  bool ResolveColumns() {
    mAggregated = mSelect.groupBy;
    const size_t visibleItems = mSelect.items.size() - static_cast<size_t>(mSelect.hiddenCount);
    for (size_t i = 0; i < mSelect.items.size(); ++i) {
      const SqlSelectItem& item = mSelect.items[i];
      if (i == visibleItems) mVisible = static_cast<int32_t>(mColumns.size());
      mItemStart.push_back(mColumns.size());
      if (item.aggregate != kSqlPlainColumn) mAggregated = true;
      if (item.aggregate == kSqlCount) {
        // COUNT(*) reads no value: any column of the first table stands for the row.
        mColumns.push_back({{0, 0}, std::string(), kSqlCount});
        continue;
      }
      if (item.column == "*") {
        const size_t before = mColumns.size();
        for (size_t t = 0; t < mTables.size(); ++t) {
          if (!Qualifies(item.table, t)) continue;
          for (size_t f = 0; f < mTables[t].fields.size(); ++f) {
            mColumns.push_back({{t, static_cast<int32_t>(f)}, mTables[t].fields[f]});
          }
        }
        if (mColumns.size() == before) return Fail(kSqlErrorUnknownColumn, "Unknown column: " + item.table + ".*");
        continue;
      }
      std::optional<ColumnRef> ref = Find(item.table, item.column);
      if (!ref) return false;
      const std::string& field = mTables[ref->table].fields[ref->field];
      mColumns.push_back({*ref, item.aggregate != kSqlPlainColumn ? std::string()
                                   : item.table.empty() ? field : item.table + "." + field,
                          item.aggregate});
    }
    if (visibleItems == mSelect.items.size()) mVisible = static_cast<int32_t>(mColumns.size());
    return true;
  }

  bool ResolveKeys() {
    const size_t visibleItems = mSelect.items.size() - static_cast<size_t>(mSelect.hiddenCount);
    for (const SqlSortKey& key : mSelect.sortKeys) {
      size_t position = 0;
      if (key.position >= 0) {
        if (key.position >= mVisible) return Fail(kSqlErrorName, "Invalid ORDER BY column");
        position = static_cast<size_t>(key.position);
      } else {
        const size_t item = visibleItems + static_cast<size_t>(key.hidden);
        if (key.hidden < 0 || item >= mItemStart.size()) return Fail(kSqlErrorName, "Invalid ORDER BY column");
        position = mItemStart[item];
      }
      mKeys.emplace_back(position, key.descending);
    }
    return true;
  }

  // Every column the condition names must resolve; comparisons go down into the cursor of the
  // table opened last among their columns, which needs the two sides in different tables and
  // an OR within one table.
  bool CheckCondition(const SqlCondition* condition) {
    if (!condition) return true;
    if (condition->IsJunction()) {
      if (condition->op == kSqlOr && Tables(condition).size() > 1) {
        return Fail(kSqlErrorName, "OR across tables is not supported");
      }
      return CheckCondition(condition->left.get()) && CheckCondition(condition->right.get());
    }
    std::optional<ColumnRef> left = Find(condition->table, condition->column);
    if (!left) return false;
    if (!condition->rightIsColumn) return true;
    std::optional<ColumnRef> right = Find(condition->rightTable, condition->value);
    if (!right) return false;
    if (right->table == left->table) return Fail(kSqlErrorName, "Comparing two columns of one table is not supported");
    return true;
  }

  // The FROM tables whose columns the condition compares.
  std::vector<size_t> Tables(const SqlCondition* condition) {
    std::vector<size_t> tables;
    std::vector<const SqlCondition*> pending{condition};
    auto note = [&](const std::string& qualifier, const std::string& column) {
      for (size_t t = 0; t < mTables.size(); ++t) {
        const bool has = Qualifies(qualifier, t) &&
                         std::ranges::any_of(mTables[t].fields, [&](const std::string& f) { return SameName(f, column); });
        if (has && std::ranges::find(tables, t) == tables.end()) tables.push_back(t);
      }
    };
    while (!pending.empty()) {
      const SqlCondition* node = pending.back();
      pending.pop_back();
      if (!node) continue;
      if (node->IsJunction()) {
        pending.push_back(node->left.get());
        pending.push_back(node->right.get());
        continue;
      }
      note(node->table, node->column);
      if (node->rightIsColumn) note(node->rightTable, node->value);
    }
    return tables;
  }

  // The text of a column of an outer table's current row.
  std::string OuterText(ColumnRef ref) {
    RuntimeObject* field = cursorGetFieldByIndex(mTables[ref.table].cursor, ref.field + 1);
    std::string text(string::Adopt(cursorFieldStringValueGetter(field, 0)).View());
    RuntimeUnlockObject(field);
    return text;
  }

  // The part of the condition that table `t` can check once the tables before it have rows.
  std::unique_ptr<SqlFilter> FilterFor(const SqlCondition* condition, size_t t) {
    if (!condition) return nullptr;
    if (condition->IsJunction()) {
      auto left = FilterFor(condition->left.get(), t);
      auto right = FilterFor(condition->right.get(), t);
      if (!left && !right) return nullptr;
      auto filter = std::make_unique<SqlFilter>();
      filter->op = condition->op;
      filter->left = std::move(left);
      filter->right = std::move(right);
      return filter;
    }
    const ColumnRef left = *Find(condition->table, condition->column);
    auto filter = std::make_unique<SqlFilter>();
    filter->op = condition->op;
    filter->mode = condition->function;
    if (!condition->rightIsColumn) {
      if (left.table != t) return nullptr;
      filter->column = mTables[t].fields[left.field];
      filter->value = condition->value;
      return filter;
    }
    const ColumnRef right = *Find(condition->rightTable, condition->value);
    if (std::max(left.table, right.table) != t) return nullptr;
    const ColumnRef inner = left.table == t ? left : right;
    const ColumnRef outer = left.table == t ? right : left;
    filter->column = mTables[t].fields[inner.field];
    filter->value = OuterText(outer);
    if (inner.table != left.table) filter->op = Mirrored(condition->op);
    return filter;
  }

  static int32_t Mirrored(int32_t op) {
    switch (op) {
      case kSqlLess: return kSqlGreater;
      case kSqlGreater: return kSqlLess;
      case kSqlLessOrEqual: return kSqlGreaterOrEqual;
      case kSqlGreaterOrEqual: return kSqlLessOrEqual;
      default: return op;
    }
  }

  void Join(size_t t, std::vector<Row>& rows) {
    if (t == mTables.size()) {
      rows.push_back(CurrentRow());
      return;
    }
    if (!mDb->engine->getTableCursor) return;
    std::unique_ptr<SqlFilter> filter = FilterFor(mSelect.condition.get(), t);
    SqlEngineFilter engineFilter(filter.get());
    const string star("*");
    dbColumnList all{nullptr, star.Rep()};
    RuntimeObject* cursor = mDb->engine->getTableCursor(mDb->handle, Utf8(mTables[t].name).Rep(), &all, engineFilter.Root());
    if (!cursor) return;
    mTables[t].cursor = cursor;
    for (; !cursorEOFGetter(cursor, 0); cursorMoveNext(cursor)) Join(t + 1, rows);
    mTables[t].cursor = nullptr;
    RuntimeUnlockObject(cursor);
  }

  Row CurrentRow() {
    Row row;
    for (const OutputColumn& column : mColumns) {
      DatabaseCursorObject* cursor = CursorFields(mTables[column.source.table].cursor);
      Cell cell;
      const void* data = nullptr;
      int32_t length = 0;
      if (cursor->handle && cursor->definition->getColumnValue) {
        cursor->definition->getColumnValue(cursor->handle, column.source.field, &data, &cell.type, &length);
        if (cell.type == kVornDbStringRecord) {
          // The record belongs to the engine's row, which the join is about to leave: keep its text.
          const string text = string::Share(static_cast<StringRep*>(const_cast<void*>(data)));
          cell.type = kVornDbText;
          cell.bytes.assign(text.View().begin(), text.View().end());
        } else if (data && length > 0) {
          cell.bytes.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + length);
        }
        if (cursor->definition->releaseValue) cursor->definition->releaseValue(cursor->handle);
      }
      const char *name = nullptr, *key = nullptr;
      int32_t nameLength = 0, keyLength = 0;
      if (cursor->handle && cursor->definition->columnSource &&
          cursor->definition->columnSource(cursor->handle, column.source.field, &name, &nameLength, &key, &keyLength,
                                           nullptr, nullptr) &&
          name && nameLength > 0) {
        cell.source.assign(name, static_cast<size_t>(nameLength));
        if (key && keyLength > 0) cell.key.assign(key, static_cast<size_t>(keyLength));
      }
      row.push_back(std::move(cell));
    }
    return row;
  }

  DatabaseObject* mDb;
  const SqlSelect& mSelect;
  std::vector<FromTable> mTables;
  std::vector<OutputColumn> mColumns;  // visible first, then the hidden sort columns
  std::vector<size_t> mItemStart;      // each select item's first column
  int32_t mVisible = 0;
  std::vector<std::pair<size_t, bool>> mKeys;
  bool mAggregated = false;
};

}  // namespace

RuntimeObject* SqlRunQuery(DatabaseObject* database, const SqlSelect& select, const string& text) {
  std::unique_ptr<QueryResult> result = Query(database, select).Build();
  if (!result) return nullptr;
  result->database = &database->header;
  RuntimeLockObject(result->database);
  result->text = std::string(text.View());
  result->singleTable = select.tables.size() == 1;
  return VORNdbCursorFromDBCursor(result.release(), &gQueryCursor);
}

namespace {

// Runs the statement again, so that the rows changed since show, and stands on the first row.
// A database closed since, or a statement that no longer runs, keeps the rows read before.
void FirstResultRow(void* handle) {
  QueryResult* result = Result(handle);
  DatabaseObject* database = DatabaseFields(result->database);
  if (database && EnsureDatabaseOpen(database) && !database->engine->directSQLSelect) {
    SqlError error;
    std::unique_ptr<SqlSelect> select = SqlParseSelect(result->text, &error);
    std::unique_ptr<QueryResult> fresh = select ? Query(database, *select).Build() : nullptr;
    if (fresh) result->rows = std::move(fresh->rows);
  }
  result->next = result->rows.empty() ? 0 : 1;
}

// Only a result of one table can say which row to delete, and only by its key: without one the
// statement would reach every row.
void DeleteResultRow(void* handle) {
  QueryResult* result = Result(handle);
  DatabaseObject* database = DatabaseFields(result->database);
  if (!database || !result->singleTable || result->next == 0 || result->next > result->rows.size()) return;
  for (const Cell& cell : result->rows[result->next - 1]) {
    if (cell.source.empty() || cell.key.empty()) continue;
    const std::string table = cell.source.substr(0, cell.source.find('!'));
    DatabaseSQLExecute(database, Utf8("DELETE FROM [" + table + "] WHERE " + cell.key));
    return;
  }
}

}  // namespace

}  // namespace vorn
