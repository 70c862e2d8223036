#include "database/sql_query_plan.h"

#include <algorithm>

#include "database/builtin_engine.h"
#include "database/database_fields.h"

namespace vorn {
namespace {

string Utf8(const std::string& text) { return string(text, kEncodingUTF8); }

int32_t Mirrored(int32_t op) {
  switch (op) {
    case kSqlLess: return kSqlGreater;
    case kSqlGreater: return kSqlLess;
    case kSqlLessOrEqual: return kSqlGreaterOrEqual;
    case kSqlGreaterOrEqual: return kSqlLessOrEqual;
    default: return op;
  }
}

}  // namespace

bool SqlLoadTableFields(DatabaseObject* database, const std::string& table, std::vector<std::string>* fields) {
  RuntimeObject* schema = databaseFieldSchema(&database->header, Utf8(table).Rep());
  if (!schema) {
    SetDatabaseError(database, kSqlErrorNoTable, Utf8("Invalid table " + table));
    return false;
  }
  for (; !cursorEOFGetter(schema, 0); cursorMoveNext(schema)) {
    RuntimeObject* field = cursorGetFieldByIndex(schema, 1);
    if (!field) {
      RuntimeUnlockObject(schema);
      SetDatabaseError(database, kSqlErrorInternal, Utf8("Internal validation error"));
      return false;
    }
    fields->emplace_back(string::Adopt(cursorFieldStringValueGetter(field, 0)).View());
    RuntimeUnlockObject(field);
  }
  RuntimeUnlockObject(schema);
  return true;
}

SqlQueryPlan::SqlQueryPlan(DatabaseObject* database, std::shared_ptr<const SqlSelect> select)
    : mDb(database), mSelect(std::move(select)) {}

SqlQueryPlan::~SqlQueryPlan() { Rewind(); }

bool SqlQueryPlan::Resolve(const TableFields* fields) {
  return LoadTables(fields) && ResolveColumns() && ResolveKeys() && CheckCondition(mSelect->condition.get());
}

SqlQueryPlan::TableFields SqlQueryPlan::Fields() const {
  TableFields fields;
  for (const FromTable& table : mTables) fields.push_back(table.fields);
  return fields;
}

bool SqlQueryPlan::Fail(int32_t code, const std::string& message) {
  SetDatabaseError(mDb, code, Utf8(message));
  return false;
}

bool SqlQueryPlan::LoadTables(const TableFields* fields) {
  if (fields && fields->size() != mSelect->tables.size()) fields = nullptr;
  for (size_t t = 0; t < mSelect->tables.size(); ++t) {
    FromTable table{mSelect->tables[t], {}, nullptr, nullptr, {}};
    if (fields) {
      table.fields = (*fields)[t];
    } else if (!SqlLoadTableFields(mDb, table.name, &table.fields)) {
      return false;
    }
    mTables.push_back(std::move(table));
  }
  return true;
}

// The FROM tables a qualifier names (every table for none).
bool SqlQueryPlan::Qualifies(const std::string& qualifier, size_t table) const {
  return qualifier.empty() || SameName(qualifier, mTables[table].name);
}

std::optional<SqlQueryPlan::ColumnRef> SqlQueryPlan::Find(const std::string& qualifier, const std::string& column) {
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

bool SqlQueryPlan::ResolveColumns() {
  mAggregated = mSelect->groupBy;
  const size_t visibleItems = mSelect->items.size() - static_cast<size_t>(mSelect->hiddenCount);
  for (size_t i = 0; i < mSelect->items.size(); ++i) {
    const SqlSelectItem& item = mSelect->items[i];
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
  if (visibleItems == mSelect->items.size()) mVisible = static_cast<int32_t>(mColumns.size());
  return true;
}

bool SqlQueryPlan::ResolveKeys() {
  const size_t visibleItems = mSelect->items.size() - static_cast<size_t>(mSelect->hiddenCount);
  for (const SqlSortKey& key : mSelect->sortKeys) {
    size_t position = 0;
    if (key.position >= 0) {
      if (key.position >= mVisible) return Fail(kSqlErrorName, "Invalid ORDER BY column");
      position = static_cast<size_t>(key.position);
    } else {
      const size_t item = visibleItems + static_cast<size_t>(key.hidden);
      if (key.hidden < 0 || item >= mItemStart.size()) return Fail(kSqlErrorName, "Invalid ORDER BY column");
      position = mItemStart[item];
      // A hidden key that repeats a selected column sorts by that column, so that no row
      // carries the value twice: the hidden column is then read by nobody and left empty.
      for (int32_t c = 0; c < mVisible; ++c) {
        const OutputColumn& shown = mColumns[c];
        const ColumnRef& hidden = mColumns[position].source;
        if (shown.aggregate == kSqlPlainColumn && shown.source.table == hidden.table &&
            shown.source.field == hidden.field) {
          position = static_cast<size_t>(c);
          break;
        }
      }
    }
    mKeys.emplace_back(position, key.descending);
  }
  PlanRow();
  return true;
}

// How CurrentRow fills each cell, worked out once: a column nobody reads (a hidden column
// that repeats a shown one) is NULL, and the ones after the last column read are left out; a
// column read twice (an ORDER BY key that is also selected) is read from the engine once.
void SqlQueryPlan::PlanRow() {
  std::vector<bool> read(mColumns.size(), false);
  std::fill_n(read.begin(), mVisible, true);
  for (const auto& [position, descending] : mKeys) read[position] = true;
  size_t count = mColumns.size();
  while (count > 0 && !read[count - 1]) --count;
  mRowPlan.clear();
  for (size_t c = 0; c < count; ++c) {
    const ColumnRef& source = mColumns[c].source;
    RowCell cell{RowCell::kRead, source.table, source.field, 0};
    if (!read[c]) cell.how = RowCell::kEmpty;
    for (size_t earlier = 0; earlier < c && cell.how == RowCell::kRead; ++earlier) {
      const ColumnRef& other = mColumns[earlier].source;
      if (other.table == source.table && other.field == source.field) cell = {RowCell::kCopy, 0, 0, earlier};
    }
    mRowPlan.push_back(cell);
  }
  mColumnSources.assign(mColumns.size(), {});
  mTableKeys.assign(mTables.size(), {});
}

// Every column the condition names must resolve; comparisons go down into the cursor of the
// table opened last among their columns, which needs an OR within one table.
bool SqlQueryPlan::CheckCondition(const SqlCondition* condition) {
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
  // Such a comparison goes down to the later table turned round, where the function would
  // reach the wrong column.
  if (condition->function != kSqlNoFunction && right->table > left->table) {
    return Fail(kSqlErrorName, "UPPER and LOWER apply only to a column of the later table of a join");
  }
  return true;
}

// The FROM tables whose columns the condition compares.
std::vector<size_t> SqlQueryPlan::Tables(const SqlCondition* condition) {
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

// The value of a column of an outer table's current row as the literal a condition compares
// with; none for NULL.
std::optional<std::string> SqlQueryPlan::OuterLiteral(ColumnRef ref) {
  DatabaseCursorObject* cursor = CursorFields(mTables[ref.table].cursor);
  const std::optional<int32_t> column = CursorColumn(ref.table, ref.field);
  if (!cursor || !cursor->handle || !cursor->definition->getColumnValue || !column) return std::nullopt;
  const void* data = nullptr;
  uint8_t type = kVornDbNull;
  int32_t length = 0;
  cursor->definition->getColumnValue(cursor->handle, *column, &data, &type, &length);
  std::optional<std::string> literal;
  if (type != kVornDbNull) literal = ColumnValueLiteral({type, static_cast<const uint8_t*>(data), length});
  if (cursor->definition->releaseValue) cursor->definition->releaseValue(cursor->handle);
  return literal;
}

// The part of the condition that table `t` can check once the tables before it have rows.
std::unique_ptr<SqlFilter> SqlQueryPlan::FilterFor(const SqlCondition* condition, size_t t) {
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
  if (left.table == right.table) {
    // Both columns are in the row: the engine compares them as an UPDATE's condition does.
    filter->mode |= VORN_DB_FILTER_COLUMN;
    filter->column = mTables[t].fields[left.field];
    filter->value = mTables[t].fields[right.field];
    return filter;
  }
  const ColumnRef inner = left.table == t ? left : right;
  const ColumnRef outer = left.table == t ? right : left;
  filter->column = mTables[t].fields[inner.field];
  if (inner.table != left.table) filter->op = Mirrored(condition->op);
  if (std::optional<std::string> literal = OuterLiteral(outer)) {
    filter->value = std::move(*literal);
    return filter;
  }
  // A NULL equals nothing and orders before nothing: the inner table gets a condition that no
  // row meets (such a comparison is never under an OR, which stays within one table).
  auto never = std::make_unique<SqlFilter>();
  never->op = kSqlAnd;
  filter->op = kSqlIsNull;
  never->left = std::move(filter);
  never->right = std::make_unique<SqlFilter>();
  never->right->op = kSqlIsNotNull;
  never->right->column = never->left->column;
  return never;
}


// The engine may have been closed since the plan was made: nothing reaches a closed handle.
bool SqlQueryPlan::Open(size_t t, bool firstRow) {
  if (!mDb->handle || !mDb->open || !mDb->engine || !mDb->engine->getTableCursor) return false;
  std::unique_ptr<SqlFilter> filter = FilterFor(mSelect->condition.get(), t);
  SqlEngineFilter engineFilter(filter.get());
  const string star("*");
  dbColumnList all{nullptr, star.Rep()};
  const string table = Utf8(mTables[t].name);
  mTables[t].cursor = firstRow ? mDb->engine->getTableCursor(mDb->handle, table.Rep(), &all, engineFilter.Root())
                               : BuiltInTableCursorBeforeFirst(mDb->engine, mDb->handle, table.Rep(), &all,
                                                               engineFilter.Root());
  mTables[t].open = CursorFields(mTables[t].cursor);
  // What the engine gave must be a cursor for the join to walk it.
  if (mTables[t].cursor && !mTables[t].open) Close(t);
  if (mTables[t].open) MapColumns(t);
  return mTables[t].cursor != nullptr;
}

// The cursor lists the table's columns as they are now, which need not be those the plan was
// resolved with: each field is found by its name. A column the engine leaves unnamed is taken
// at its number.
void SqlQueryPlan::MapColumns(size_t t) {
  FromTable& table = mTables[t];
  const int32_t count = CursorColumnCount(table.open);
  const bool named = table.open->handle && table.open->definition->columnName;
  std::vector<string> names;
  for (int32_t c = 0; named && c < count; ++c) names.push_back(CursorColumnName(table.open, c));
  table.columns.assign(table.fields.size(), -1);
  for (size_t f = 0; f < table.fields.size(); ++f) {
    const int32_t same = static_cast<int32_t>(f);
    if (same < count && (!named || names[f].View().empty() || SameName(names[f].View(), table.fields[f]))) {
      table.columns[f] = same;
    } else {
      for (int32_t c = 0; named && c < count && table.columns[f] < 0; ++c)
        if (SameName(names[c].View(), table.fields[f])) table.columns[f] = c;
    }
  }
}

std::optional<int32_t> SqlQueryPlan::CursorColumn(size_t table, int32_t field) const {
  if (table >= mTables.size() || !mTables[table].open || field < 0) return std::nullopt;
  const std::vector<int32_t>& columns = mTables[table].columns;
  if (static_cast<size_t>(field) >= columns.size() || columns[field] < 0) return std::nullopt;
  return columns[field];
}

void SqlQueryPlan::Close(size_t t) {
  RuntimeObject* cursor = mTables[t].cursor;
  mTables[t].cursor = nullptr;
  mTables[t].open = nullptr;
  RuntimeUnlockObject(cursor);
}

bool SqlQueryPlan::Next() {
  if (mDone || mTables.empty()) return false;
  size_t t = mTables.size() - 1;
  if (!mStarted) {
    mStarted = true;
    t = 0;
    if (!Open(0)) return mDone = true, false;
  } else {
    CursorMoveNext(mTables[t].open);
  }
  for (;;) {
    if (mTables[t].open->eof) {
      Close(t);
      if (t == 0) return mDone = true, false;
      CursorMoveNext(mTables[--t].open);
      continue;
    }
    if (t + 1 == mTables.size()) return true;
    // A table whose cursor cannot be opened ends the join.
    if (!Open(++t)) {
      Rewind();
      mStarted = mDone = true;
      return false;
    }
  }
}

void SqlQueryPlan::Rewind() {
  for (size_t t = mTables.size(); t-- > 0;) Close(t);
  mStarted = mDone = false;
}

std::optional<bool> SqlQueryPlan::Back(bool toLast) {
  if (mTables.size() != 1 || mDb->engine != &gBuiltInEngine) return std::nullopt;
  // A walk that ended closed its cursor: a new one steps back, from before its first row so
  // that a step to the end walks none of the rows ahead of it.
  if (!mTables[0].cursor) {
    Rewind();
    mStarted = true;
    if (!Open(0, false)) return mDone = true, false;
  }
  const std::optional<bool> on = BuiltInStepBack(mTables[0].cursor, toLast);
  mDone = false;
  return on;
}

// A column's source ("table!column") is the same from row to row, and the columns of one table
// row share its key: the engine is asked for each column's name once, and for the key once per
// table and row.
uint16_t SqlQueryPlan::SourceOf(size_t c, int32_t cursorColumn, DatabaseCursorObject* cursor, SqlRow& row,
                                uint32_t* key) {
  ColumnSource& known = mColumnSources[c];
  TableKey& table = mTableKeys[mColumns[c].source.table];
  if (!known.asked || table.row != mRowNumber) {
    const char *name = nullptr, *condition = nullptr;
    int32_t nameLength = 0, conditionLength = 0;
    const bool told = cursor->definition->columnSource(cursor->handle, cursorColumn, &name, &nameLength, &condition,
                                                       &conditionLength, nullptr, nullptr) &&
                      name && nameLength > 0;
    const std::string_view reported = told ? std::string_view(name, static_cast<size_t>(nameLength)) : std::string_view();
    if (!known.asked || known.name != reported) known = {std::string(reported), mSources->Number(reported), true};
    if (!told) return 0;
    // The key goes into the row at once, before the engine is asked for anything else.
    table.key = row.AddKey(condition && conditionLength > 0 ? std::string_view(condition, static_cast<size_t>(conditionLength))
                                                            : std::string_view());
    table.row = mRowNumber;
  }
  *key = table.key;
  return known.number;
}

void SqlQueryPlan::CurrentRow(SqlRow& row, bool withSources) {
  row.Start();
  ++mRowNumber;
  for (size_t c = 0; c < mRowPlan.size(); ++c) {
    const RowCell& cell = mRowPlan[c];
    if (cell.how == RowCell::kEmpty) {
      row.AddCell(kVornDbNull, nullptr, 0, 0, 0);
      continue;
    }
    if (cell.how == RowCell::kCopy) {
      row.AddCopy(cell.copyOf);
      continue;
    }
    DatabaseCursorObject* cursor = mTables[cell.table].open;
    if (cursor && !cursor->handle) cursor = nullptr;
    const std::optional<int32_t> column = CursorColumn(cell.table, cell.field);
    if (cursor && !column) {
      // COUNT(*) reads a column only to stand for the row: any will do, also one gone.
      if (!mMissing && mColumns[c].aggregate != kSqlCount) mMissing = mTables[cell.table].fields[cell.field];
      cursor = nullptr;
    }
    // The source is asked first: what it tells is copied, so the value that follows can go
    // into the row straight from the engine, before the engine releases it.
    uint16_t source = 0;
    uint32_t key = 0;
    if (withSources && cursor && cursor->definition->columnSource) source = SourceOf(c, *column, cursor, row, &key);
    if (!cursor || !cursor->definition->getColumnValue) {
      row.AddCell(kVornDbNull, nullptr, 0, source, key);
      continue;
    }
    const void* data = nullptr;
    int32_t length = 0;
    uint8_t type = kVornDbNull;
    cursor->definition->getColumnValue(cursor->handle, *column, &data, &type, &length);
    if (type == kVornDbStringRecord) {
      const string text = string::Share(static_cast<StringRep*>(const_cast<void*>(data)));
      row.AddCell(kVornDbText, text.View().data(), text.View().size(), source, key);
    } else {
      row.AddCell(type, data, data && length > 0 ? static_cast<size_t>(length) : 0, source, key);
    }
    if (cursor->definition->releaseValue) cursor->definition->releaseValue(cursor->handle);
  }
  row.Finish();
}

}  // namespace vorn
