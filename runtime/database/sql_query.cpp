// The result of a SELECT as a cursor record. Without ORDER BY, GROUP BY or aggregates the
// result is the live join: each row is read from the tables' cursors as the caller moves, either
// way, and edits and deletions go through the table cursor that holds the row. Sorted and
// summarised results are held in a row store (memory up to the budget, then a temporary file).
#include "database/sql_query.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/sql_aggregate.h"
#include "database/sql_query_plan.h"
#include "database/sql_row_store.h"
#include "database/sql_sort.h"

namespace vorn {
namespace {

string Utf8(const std::string& text) { return string(text, kEncodingUTF8); }

// What every result holds for rewinding: the database (one reference) and the statement.
// The statement is run again against the tables' columns it was first resolved with, so that
// the result keeps its columns when the tables gain some.
struct ResultBase {
  RuntimeObject* database = nullptr;
  std::string text;
  SqlQueryPlan::TableFields fields;
  std::vector<std::string> names;
  int32_t visible = 0;

  ResultBase(DatabaseObject* db, const std::string& statement, const SqlQueryPlan& plan)
      : database(&db->header), text(statement), fields(plan.Fields()), visible(plan.Visible()) {
    RuntimeLockObject(database);
    for (const auto& column : plan.Columns()) names.push_back(column.name);
  }
  ~ResultBase() { RuntimeUnlockObject(database); }

  StringRep* Name(int32_t index) const {
    if (index < 0 || index >= visible || names[index].empty()) return nullptr;
    return Utf8(names[index]).GetRetainedRep();
  }
};

// The stamp of the database's rows, when its engine keeps one.
std::optional<uint64_t> ChangeStamp(RuntimeObject* object) {
  DatabaseObject* database = DatabaseFields(object);
  return database ? BuiltInChangeStamp(database->engine, database->handle) : std::nullopt;
}

// The stamp of the last change through the engine that may have added, removed or moved a row.
std::optional<uint64_t> OrderStamp(RuntimeObject* object) {
  DatabaseObject* database = DatabaseFields(object);
  return database ? BuiltInOrderStamp(database->engine, database->handle) : std::nullopt;
}

// A fresh plan of the statement, resolved against `fields`; null when it no longer runs.
std::unique_ptr<SqlQueryPlan> Replan(RuntimeObject* object, const std::string& text,
                                     const SqlQueryPlan::TableFields& fields) {
  DatabaseObject* database = DatabaseFields(object);
  if (!database || !EnsureDatabaseOpen(database) || database->engine->directSQLSelect) return nullptr;
  SqlError error;
  std::shared_ptr<const SqlSelect> select = SqlParseSelect(text, &error);
  if (!select) return nullptr;
  auto plan = std::make_unique<SqlQueryPlan>(database, std::move(select));
  return plan->Resolve(&fields) ? std::move(plan) : nullptr;
}

// A row names its table row only by the primary key; without one the statement would reach
// every row. False without a key.
bool RowSource(SqlRowView row, const SqlSourceNames& sources, std::string* table, std::string* condition) {
  for (size_t c = 0; c < row.size(); ++c) {
    const SqlCell cell = row[c];
    const std::string_view source = sources.Name(cell.source);
    if (source.empty() || cell.key.empty()) continue;
    *table = source.substr(0, source.find('!'));
    *condition = cell.key;
    return true;
  }
  return false;
}

// A row as its table holds it now, found by its key under the statement's own condition, its
// sources numbered as `sources`; nothing when the statement no longer gives exactly that row.
std::optional<SqlRow> ReadRowAgain(RuntimeObject* object, const std::string& text,
                                   const SqlQueryPlan::TableFields& fields, SqlSourceNames& sources,
                                   const std::string& table, const std::string& condition) {
  DatabaseObject* database = DatabaseFields(object);
  SqlError error;
  std::unique_ptr<SqlSelect> select = SqlParseSelect(text, &error);
  std::unique_ptr<SqlSelect> key = SqlParseSelect("SELECT * FROM [" + table + "] WHERE " + condition, &error);
  if (!database || database->engine->directSQLSelect || !select || !key || !key->condition) return std::nullopt;
  if (select->condition) {
    auto both = std::make_unique<SqlCondition>();
    both->op = kSqlAnd;
    both->left = std::move(select->condition);
    both->right = std::move(key->condition);
    select->condition = std::move(both);
  } else {
    select->condition = std::move(key->condition);
  }
  SqlQueryPlan plan(database, std::move(select));
  SqlRow found;
  if (!plan.Resolve(&fields) || !plan.Next()) return std::nullopt;
  plan.CurrentRow(found, true);
  if (plan.Missing() || plan.Next()) return std::nullopt;
  SqlRow row;
  row.Start();
  for (size_t c = 0; c < found.size(); ++c) {
    const SqlCell cell = found[c];
    row.Add(cell.type, cell.bytes.data(), cell.bytes.size(), sources.Number(plan.Sources()->Name(cell.source)),
            cell.key);
  }
  row.Finish();
  return row;
}

// The edits written to the table rows the result's columns name by their keys.
void WriteByKeys(void* handle, RuntimeObject* database, dbCursorDefinition* definition, dbRowEdit* edits) {
  DatabaseCursorObject writing{};
  writing.handle = handle;
  writing.database = database;
  writing.definition = definition;
  writing.edits = edits;
  WriteEditsToSources(&writing);
}

// --- the live join ---------------------------------------------------------------------------

// The rows of one table of the built-in engine come in the order of their keys: the result
// stands on the key of the row shown, and every step goes from there through the table as it
// now is, either way. Any other result (a join, another engine) steps back by running the
// statement again and walking to the row of the number before.
struct LiveResult : ResultBase {
  std::unique_ptr<SqlQueryPlan> plan;
  size_t position = 0;  // 1-based number of the current row, 0 before the first
  bool started = false;
  bool current = false;
  DatabaseCursorObject* readLast = nullptr;
  bool keyed = false;
  // The count of rows, and the stamp it was counted at.
  int32_t counted = -1;
  std::optional<uint64_t> countedAt;
  // While the rows stay as they were (RowsStamp), `position` is the number of the row shown,
  // found by a walk from the first row, or back from the end of one that counted the rows:
  // a step back from the first row then walks nothing (else it walks to the start of the table,
  // past every row the condition leaves out, to find none, and from there to the row again).
  std::optional<uint64_t> numberedAt;
  std::optional<uint64_t> endAt;  // a walk from the first row to the end found `rows`
  size_t rows = 0;

  LiveResult(DatabaseObject* db, const std::string& statement, std::unique_ptr<SqlQueryPlan> p)
      : ResultBase(db, statement, *p), plan(std::move(p)) {
    keyed = plan->TableCount() == 1 && ChangeStamp(database);
  }

  const SqlQueryPlan::OutputColumn* Column(int32_t index) const {
    if (!current || index < 0 || index >= visible) return nullptr;
    return &plan->Columns()[index];
  }
  // Where the row shown holds the result's column: its table's cursor (open, with a handle)
  // and the cursor's column; nothing past the end. A column its table no longer has sets the
  // error the table's cursor gives for it, and gives nothing, `gone` telling.
  struct Place {
    RuntimeObject* cursor = nullptr;
    DatabaseCursorObject* table = nullptr;
    int32_t column = 0;
  };
  std::optional<Place> PlaceOf(int32_t index, bool* gone = nullptr) const {
    const SqlQueryPlan::OutputColumn* shown = Column(index);
    RuntimeObject* cursor = shown ? plan->TableCursor(shown->source.table) : nullptr;
    DatabaseCursorObject* table = CursorFields(cursor);
    if (!table || !table->handle) return std::nullopt;
    const std::optional<int32_t> column = plan->CursorColumn(shown->source.table, shown->source.field);
    if (!column) {
      if (gone) *gone = true;
      if (DatabaseObject* db = DatabaseFields(database))
        SetDatabaseError(db, kDbErrorUnknown,
                         Utf8("Unknown column " + plan->FieldName(shown->source.table, shown->source.field)));
      return std::nullopt;
    }
    return Place{cursor, table, *column};
  }
  // The stamp under which the count holds: without a condition, an edit that moves no row
  // leaves every row where it was.
  std::optional<uint64_t> RowsStamp() const {
    return keyed && !plan->Select()->condition ? OrderStamp(database) : ChangeStamp(database);
  }
  std::optional<uint64_t> Stamp() const { return keyed ? RowsStamp() : std::nullopt; }
  bool Numbered() const { return numberedAt && numberedAt == Stamp(); }
  // `fromStart`: the plan gives its first row next.
  void Step(bool fromStart = false) {
    if (fromStart) position = 0, numberedAt = Stamp();
    else if (!Numbered()) numberedAt.reset();
    started = true;
    readLast = nullptr;
    current = plan->Next();
    position = current ? position + 1 : position;
    if (!current && numberedAt) endAt = numberedAt, rows = position;
  }
  void Restart() {
    plan->Rewind();
    Step(true);
  }
  void WalkTo(size_t number) {
    Restart();
    while (current && position < number) Step();
  }
  // The last row by number: a walk to the end counts the rows, a second stops at the last.
  void LastByNumber() {
    Restart();
    size_t count = 0;
    for (; current; Step()) count = position;
    WalkTo(std::max<size_t>(count, 1));
  }
  // Steps back by key; false when the result cannot.
  bool Back(bool toLast) {
    if (!keyed) return false;
    readLast = nullptr;
    const std::optional<bool> on = plan->Back(toLast);
    if (!on) return false;
    started = true;
    current = *on;
    // No row before the one shown: the first row, as a walk by number stops there.
    if (!current && !toLast) return Step(true), true;
    if (current && toLast && endAt && endAt == Stamp()) {
      position = rows, numberedAt = endAt;
    } else if (current && !toLast && Numbered() && position > 1) {
      --position;
    } else {
      numberedAt.reset();
    }
    return true;
  }
  // Whether the row shown is the first, known without a walk.
  bool OnFirst() const { return current && Numbered() && position == 1; }
};

LiveResult* Live(void* handle) { return static_cast<LiveResult*>(handle); }

// Past the end there is nothing to write to.
void RefuseGoneRow(LiveResult* result, const char* message) {
  if (DatabaseObject* database = DatabaseFields(result->database))
    SetDatabaseError(database, kDbErrorUnknown, Utf8(message));
}

void CloseLive(void* handle) { delete Live(handle); }
int32_t LiveColumnCount(void* handle) { return Live(handle)->visible; }
StringRep* LiveColumnName(void* handle, int32_t index) { return Live(handle)->Name(index); }

void LiveValue(void* handle, int32_t index, const void** data, uint8_t* type, int32_t* length) {
  LiveResult* result = Live(handle);
  *data = nullptr;
  *type = kVornDbNull;
  *length = 0;
  const auto place = result->PlaceOf(index);
  if (!place || !place->table->definition->getColumnValue) return;
  place->table->definition->getColumnValue(place->table->handle, place->column, data, type, length);
  result->readLast = place->table;
}

void ReleaseLiveValue(void* handle) {
  LiveResult* result = Live(handle);
  DatabaseCursorObject* table = result->readLast;
  result->readLast = nullptr;
  if (table && table->handle && table->definition->releaseValue) table->definition->releaseValue(table->handle);
}

uint8_t NextLiveRow(void* handle) {
  LiveResult* result = Live(handle);
  if (result->current || !result->started) result->Step(!result->started);
  return result->current ? 1 : 0;
}

// The rows counted by a run of its own, so that the caller's position stays; counted again
// only once the rows may have changed, and only when asked.
int32_t LiveRowCount(void* handle) {
  LiveResult* result = Live(handle);
  const std::optional<uint64_t> stamp = result->RowsStamp();
  if (stamp && stamp == result->countedAt) return result->counted;
  std::unique_ptr<SqlQueryPlan> plan = Replan(result->database, result->text, result->fields);
  if (!plan) return -1;
  int32_t count = 0;
  while (plan->Next()) ++count;
  result->counted = count;
  result->countedAt = stamp;
  return count;
}

int32_t LiveColumnType(void* handle, int32_t index) {
  const auto place = Live(handle)->PlaceOf(index);
  if (!place || !place->table->definition->columnType) return -1;
  return place->table->definition->columnType(place->table->handle, place->column);
}

uint8_t LiveColumnSource(void* handle, int32_t index, const char** name, int32_t* nameLength, const char** key,
                         int32_t* keyLength, void* a, void* b) {
  const auto place = Live(handle)->PlaceOf(index);
  if (!place || !place->table->definition->columnSource) return 0;
  return place->table->definition->columnSource(place->table->handle, place->column, name, nameLength, key, keyLength,
                                                a, b);
}

// The row goes through the cursor of the table that holds it, so that a table without a
// primary key is reached too; that cursor refuses a row gone meanwhile. A join's row belongs
// to no single table.
void DeleteLiveRow(void* handle) {
  LiveResult* result = Live(handle);
  if (result->plan->TableCount() != 1) return;
  if (!result->current) return RefuseGoneRow(result, kDbRowGoneDelete);
  cursorDeleteRecord(result->plan->TableCursor(0));
}

// Each edit goes to its column's table cursor as an edit of that cursor's own row. An edit of
// a column its table no longer has writes nothing of the row.
void UpdateLiveRow(void* handle, dbRowEdit* edits) {
  LiveResult* result = Live(handle);
  if (!result->current) return RefuseGoneRow(result, kDbRowGoneUpdate);
  std::vector<std::optional<LiveResult::Place>> places;
  for (const dbRowEdit* edit = edits; edit; edit = edit->next) {
    const SqlQueryPlan::OutputColumn* column = result->Column(edit->column);
    bool gone = false;
    places.push_back(column && column->aggregate == kSqlPlainColumn ? result->PlaceOf(edit->column, &gone) : std::nullopt);
    if (gone) return;
  }
  std::vector<RuntimeObject*> edited;
  auto place = places.begin();
  for (const dbRowEdit* edit = edits; edit; edit = edit->next, ++place) {
    if (!*place) continue;
    RuntimeObject* table = (*place)->cursor;
    if (std::find(edited.begin(), edited.end(), table) == edited.end()) {
      // The table cursor writes what it is given now: edits left from before (maybe undone
      // since) are the result's to keep.
      if (DatabaseCursorObject* fields = CursorFields(table)) DropPendingEdits(fields);
      cursorEdit(table);
      edited.push_back(table);
    }
    if (RuntimeObject* field = cursorGetFieldByIndex(table, (*place)->column + 1)) {
      databaseCursorFieldSetString(field, edit->value);
      RuntimeUnlockObject(field);
    }
  }
  for (RuntimeObject* table : edited) cursorUpdate(table);
}

void FirstLiveRow(void* handle) { Live(handle)->Restart(); }

// From past the end, the last row; from the first row, that row.
void PreviousLiveRow(void* handle) {
  LiveResult* result = Live(handle);
  if (result->OnFirst()) return;
  if (result->Back(!result->current && result->started)) return;
  if (!result->current) return result->LastByNumber();
  result->WalkTo(result->position > 1 ? result->position - 1 : 1);
}

void LastLiveRow(void* handle) {
  LiveResult* result = Live(handle);
  if (!result->Back(true)) result->LastByNumber();
}

dbCursorDefinition gLiveCursor = {
    VORN_DB_RECORD_VERSION, 0, CloseLive, LiveColumnCount, LiveColumnName, LiveRowCount, LiveValue,
    ReleaseLiveValue, NextLiveRow, DeleteLiveRow, nullptr, LiveColumnSource, UpdateLiveRow, nullptr,
    PreviousLiveRow, FirstLiveRow, LastLiveRow, LiveColumnType,
};

// --- sorted and summarised rows --------------------------------------------------------------

constexpr const char* kUnreadRows = "The result could not be read back from its temporary file";

struct StoredResult : ResultBase {
  std::unique_ptr<SqlRowStore> rows;
  std::shared_ptr<SqlSourceNames> sources;
  // The database's stamp from before the rows were read, and whether all of them could be
  // read back since: while both hold, the rows are what the tables hold.
  std::optional<uint64_t> stamp;
  bool whole = true;
  size_t next = 0;  // the current row is next - 1
  // The current row where the store holds it: valid until the store is read again, which only
  // the next move does.
  SqlRowView row;
  bool current = false;
  bool singleTable = false;
  bool aggregated = false;
  SqlSortKeys keys;
  // Rows written through this result while its copy was what the tables hold, read back from
  // their tables since, by index: they stand for the store's until the rows are read again, or
  // the transaction they were written in is undone (at the count of undone ones then).
  std::unordered_map<size_t, SqlRow> written;
  std::optional<uint64_t> writtenIn;

  StoredResult(DatabaseObject* db, const std::string& statement, const SqlQueryPlan& plan,
               std::unique_ptr<SqlRowStore> store, std::optional<uint64_t> readAt)
      : ResultBase(db, statement, plan), rows(std::move(store)), sources(plan.Sources()), stamp(readAt),
        singleTable(plan.TableCount() == 1), aggregated(plan.Aggregated()), keys(plan.Keys()) {}

  // Whether the rows are what the tables hold.
  bool Fresh() const { return whole && stamp && stamp == ChangeStamp(database); }
  static std::optional<uint64_t> Undone(RuntimeObject* object) {
    DatabaseObject* db = DatabaseFields(object);
    return db ? BuiltInUndone(db->engine, db->handle) : std::nullopt;
  }
  // Drops the rows written in a transaction undone since: the row stood on shows as read.
  void ForgetUndone() {
    if (written.empty() || writtenIn == Undone(database)) return;
    written.clear();
    if (current) MoveTo(next);
  }

  void MoveTo(size_t number) {
    next = number;
    current = false;
    if (next < 1 || next > rows->Count()) return;
    if (auto found = written.find(next - 1); found != written.end()) {
      row = found->second.View();
      current = true;
    } else if (std::optional<SqlRowView> fetched = rows->Fetch(next - 1)) {
      row = *fetched;
      current = true;
    } else {
      whole = false;
      if (DatabaseObject* db = DatabaseFields(database)) SetDatabaseError(db, kSqlErrorInternal, Utf8(kUnreadRows));
    }
  }
  bool Has(int32_t index) const {
    return current && index >= 0 && index < visible && static_cast<size_t>(index) < row.size();
  }
  std::optional<SqlCell> Cell(int32_t index) const {
    if (!Has(index)) return std::nullopt;
    return row[index];
  }
  // Without the source: what reading values needs.
  std::optional<SqlCell> Value(int32_t index) const {
    SqlCell cell;
    if (!current || index < 0 || index >= visible || !row.ValueAt(static_cast<size_t>(index), &cell)) return std::nullopt;
    return cell;
  }
};

StoredResult* Stored(void* handle) { return static_cast<StoredResult*>(handle); }

// The rows in key order, summarised when the statement asks; null with the error set.
std::unique_ptr<SqlRowStore> BuildRows(SqlQueryPlan& plan) {
  std::unique_ptr<SqlRowStore> rows;
  std::optional<size_t> grouping;
  if (!plan.Keys().empty()) {
    grouping = plan.Keys().front().first;
    SqlSorter sorter(plan.Keys());
    SqlRow row;
    bool written = true;
    while (written && plan.Next()) {
      plan.CurrentRow(row, !plan.Aggregated());
      written = sorter.Add(row.View());
    }
    plan.Rewind();
    if (written) rows = sorter.Finish();
  }
  if (plan.Aggregated()) {
    std::vector<int32_t> codes;
    for (const auto& column : plan.Columns()) codes.push_back(column.aggregate);
    bool unread = false;
    if (rows) {
      rows = SqlAggregateStored(*rows, codes, grouping, &unread);
    } else if (plan.Keys().empty()) {
      SqlRow row;
      rows = SqlAggregate(
          [&]() -> std::optional<SqlRowView> {
            if (!plan.Next()) return std::nullopt;
            plan.CurrentRow(row, false);
            return row.View();
          },
          codes, grouping);
    }
    plan.Rewind();
    if (unread) {
      SetDatabaseError(plan.Database(), kSqlErrorInternal, Utf8(kUnreadRows));
      return nullptr;
    }
  }
  if (plan.Missing()) {
    SetDatabaseError(plan.Database(), kSqlErrorUnknownColumn, Utf8("Unknown column: " + *plan.Missing()));
    return nullptr;
  }
  if (!rows) {
    SetDatabaseError(plan.Database(), kSqlErrorInternal, Utf8("The result could not be written to a temporary file"));
  }
  return rows;
}

void CloseStored(void* handle) { delete Stored(handle); }
int32_t StoredColumnCount(void* handle) { return Stored(handle)->visible; }
StringRep* StoredColumnName(void* handle, int32_t index) { return Stored(handle)->Name(index); }
int32_t StoredRowCount(void* handle) { return static_cast<int32_t>(Stored(handle)->rows->Count()); }

void StoredValue(void* handle, int32_t index, const void** data, uint8_t* type, int32_t* length) {
  Stored(handle)->ForgetUndone();
  const std::optional<SqlCell> cell = Stored(handle)->Value(index);
  *type = cell ? cell->type : uint8_t{kVornDbNull};
  *data = cell && !cell->bytes.empty() ? cell->bytes.data() : nullptr;
  *length = cell ? static_cast<int32_t>(cell->bytes.size()) : 0;
}

void ReleaseStoredValue(void*) {}

uint8_t NextStoredRow(void* handle) {
  StoredResult* result = Stored(handle);
  if (result->next <= result->rows->Count()) result->MoveTo(result->next + 1);
  return result->current ? 1 : 0;
}

int32_t StoredColumnType(void* handle, int32_t index) {
  const std::optional<SqlCell> cell = Stored(handle)->Value(index);
  return cell ? cell->type : -1;
}

uint8_t StoredColumnSource(void* handle, int32_t index, const char** name, int32_t* nameLength, const char** key,
                           int32_t* keyLength, void*, void*) {
  StoredResult* result = Stored(handle);
  result->ForgetUndone();
  const std::optional<SqlCell> cell = result->Cell(index);
  const std::string_view source = cell ? result->sources->Name(cell->source) : std::string_view();
  if (source.empty()) return 0;
  *name = source.data();
  *nameLength = static_cast<int32_t>(source.size());
  *key = cell->key.data();
  *keyLength = static_cast<int32_t>(cell->key.size());
  return 1;
}

extern dbCursorDefinition gStoredCursor;

// A row of no single table has no one table row.
bool RowSource(const StoredResult& result, std::string* table, std::string* condition) {
  return result.singleTable && result.current && RowSource(result.row, *result.sources, table, condition);
}

void DeleteStoredRow(void* handle) {
  StoredResult* result = Stored(handle);
  result->ForgetUndone();
  DatabaseObject* database = DatabaseFields(result->database);
  std::string table, condition;
  if (!database || !RowSource(*result, &table, &condition)) return;
  if (FailWhenRowGone(result->database, table, condition, false)) return;
  DatabaseSQLExecute(database, Utf8("DELETE FROM [" + table + "] WHERE " + condition));
}

// Whether an edit reaches a column the rows are ordered by: the row may belong elsewhere now.
bool EditsOrder(const StoredResult& result, const dbRowEdit* edits) {
  for (const dbRowEdit* edit = edits; edit; edit = edit->next) {
    if (edit->column < 0 || static_cast<size_t>(edit->column) >= result.row.size()) continue;
    const std::string_view edited = result.sources->Name(result.row[edit->column].source);
    for (const auto& [column, descending] : result.keys)
      if (column < result.row.size() && result.sources->Name(result.row[column].source) == edited) return true;
  }
  return false;
}

// An edit goes to the table rows its columns come from. The copy keeps rows as they were read,
// and stepping back reads them again once the tables changed; an edit made while the copy was
// what the tables hold, of no column the rows are ordered by, is read back into the copy
// instead, so that the copy stays what the tables hold.
void UpdateStoredRow(void* handle, dbRowEdit* edits) {
  StoredResult* result = Stored(handle);
  result->ForgetUndone();
  const bool fresh = result->Fresh() && !result->aggregated && !EditsOrder(*result, edits);
  std::string table, condition;
  const bool keyed = RowSource(*result, &table, &condition);
  WriteByKeys(handle, result->database, &gStoredCursor, edits);
  DatabaseObject* database = DatabaseFields(result->database);
  if (!fresh || !keyed || !database || DatabaseErrorCode(database) != 0) return;
  if (std::optional<SqlRow> row =
          ReadRowAgain(result->database, result->text, result->fields, *result->sources, table, condition)) {
    result->writtenIn = StoredResult::Undone(result->database);
    SqlRow& kept = result->written[result->next - 1] = std::move(*row);
    result->row = kept.View();
    result->stamp = ChangeStamp(result->database);
  }
  // The edit went in: a failure to read it back leaves the copy to be read again, not an error.
  if (DatabaseErrorCode(database) != 0) SetDatabaseError(database, 0, string());
}

// Reads the statement's rows again when the database changed since they were read (or cannot
// tell), so that the rows changed since show (also those written through this result: its copy
// holds them as they were read), or when its copy could not be read back whole. A database
// closed since, or a statement that no longer runs, keeps the rows read before. The current row
// must be fetched again afterwards: the store it stood in may be gone.
void ReadChangedRowsAgain(StoredResult* result) {
  if (result->Fresh()) return;
  if (std::unique_ptr<SqlQueryPlan> plan = Replan(result->database, result->text, result->fields)) {
    const std::optional<uint64_t> stamp = ChangeStamp(result->database);  // of the database opened again
    if (std::unique_ptr<SqlRowStore> rows = BuildRows(*plan)) {
      result->rows = std::move(rows);
      result->written.clear();
      result->sources = plan->Sources();
      result->stamp = stamp;
      result->whole = true;
    }
  }
}

// Stepping back, to the end and to the start read the rows again when they changed, as for a
// live result. A result that lost rows meanwhile lands on its last row; one that stood before
// its first (it was empty, and gained rows) lands on the first.
void PreviousStoredRow(void* handle) {
  StoredResult* result = Stored(handle);
  ReadChangedRowsAgain(result);
  result->MoveTo(std::min(std::max<size_t>(result->next, 2) - 1, result->rows->Count()));
}

void LastStoredRow(void* handle) {
  StoredResult* result = Stored(handle);
  ReadChangedRowsAgain(result);
  result->MoveTo(result->rows->Count());
}

void FirstStoredRow(void* handle) {
  StoredResult* result = Stored(handle);
  ReadChangedRowsAgain(result);
  result->MoveTo(result->rows->Count() == 0 ? 0 : 1);
}

dbCursorDefinition gStoredCursor = {
    VORN_DB_RECORD_VERSION, 0, CloseStored, StoredColumnCount, StoredColumnName, StoredRowCount, StoredValue,
    ReleaseStoredValue, NextStoredRow, DeleteStoredRow, nullptr, StoredColumnSource, UpdateStoredRow, nullptr,
    PreviousStoredRow, FirstStoredRow, LastStoredRow, StoredColumnType,
};

}  // namespace

std::optional<bool> SqlResultOnRow(const dbCursorDefinition* definition, void* handle) {
  if (definition == &gLiveCursor) return Live(handle)->current;
  if (definition == &gStoredCursor) return Stored(handle)->current;
  return std::nullopt;
}

RuntimeObject* SqlRunQuery(DatabaseObject* database, std::unique_ptr<SqlSelect> select, const string& text) {
  auto plan = std::make_unique<SqlQueryPlan>(database, std::shared_ptr<const SqlSelect>(std::move(select)));
  if (!plan->Resolve()) return nullptr;
  const std::string statement(text.View());
  if (plan->Keys().empty() && !plan->Aggregated()) {
    auto* result = new LiveResult(database, statement, std::move(plan));
    return VORNdbCursorFromDBCursor(result, &gLiveCursor);
  }
  const std::optional<uint64_t> stamp = ChangeStamp(&database->header);
  std::unique_ptr<SqlRowStore> rows = BuildRows(*plan);
  if (!rows) return nullptr;
  auto* result = new StoredResult(database, statement, *plan, std::move(rows), stamp);
  return VORNdbCursorFromDBCursor(result, &gStoredCursor);
}

}  // namespace vorn
