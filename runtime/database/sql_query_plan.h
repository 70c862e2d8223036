// A parsed SELECT checked against its tables and walked as a nested-loop join: each FROM table
// gets a cursor of the engine carrying the part of the condition it can check, outer tables'
// current values included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "database/database_objects.h"
#include "database/db_format.h"
#include "database/sql_filter.h"
#include "database/sql_row_store.h"
#include "database/sql_select.h"
#include "database/sql_sort.h"

namespace vorn {

// The field names of a table from the engine's field schema; false with the database's error
// set (202 for a table the engine does not know).
bool SqlLoadTableFields(DatabaseObject* database, const std::string& table, std::vector<std::string>* fields);

class SqlQueryPlan {
 public:
  struct ColumnRef {
    size_t table = 0;
    int32_t field = 0;  // 0-based in the table's cursor of all columns
  };
  struct OutputColumn {
    ColumnRef source;
    std::string name;  // empty for an aggregate
    int32_t aggregate = kSqlPlainColumn;
  };

  // Each FROM table's columns by name, in the order the plan numbers them.
  using TableFields = std::vector<std::vector<std::string>>;

  SqlQueryPlan(DatabaseObject* database, std::shared_ptr<const SqlSelect> select);
  ~SqlQueryPlan();
  SqlQueryPlan(const SqlQueryPlan&) = delete;
  SqlQueryPlan& operator=(const SqlQueryPlan&) = delete;

  // Checks every name against the tables' columns now or, given `fields` (what an earlier plan
  // of the same statement resolved against), against those: a result stays the columns it was
  // made with while the tables gain columns. False with the database's error set.
  bool Resolve(const TableFields* fields = nullptr);
  TableFields Fields() const;

  // Advances the join to its next row; false at the end (and from then on, until Rewind).
  bool Next();
  // Closes the tables' cursors; the next Next starts the join again.
  void Rewind();
  // A single table of the built-in engine steps back to the row before the one it gave (the
  // last row with `toLast`; see vndbCursor::PreviousRow): whether a
  // row is current then; when none is, the next Next gives the first row. Nothing for a join
  // or another engine.
  std::optional<bool> Back(bool toLast);
  // The current row's values into `row`, finished: every column up to the last one shown or
  // sorted by (a hidden column nobody reads is NULL), with their sources when asked (a summary
  // row, which stands for many, needs none); the sources are numbered in Sources().
  void CurrentRow(SqlRow& row, bool withSources = true);
  const std::shared_ptr<SqlSourceNames>& Sources() const { return mSources; }

  const std::vector<OutputColumn>& Columns() const { return mColumns; }
  int32_t Visible() const { return mVisible; }
  const SqlSortKeys& Keys() const { return mKeys; }
  bool Aggregated() const { return mAggregated; }
  size_t TableCount() const { return mTables.size(); }
  // The open cursor of a FROM table, or nil.
  RuntimeObject* TableCursor(size_t table) const { return mTables[table].cursor; }
  // The column of table `table`'s open cursor that holds the plan's field `field`, found by
  // its name when the cursor opened: a cursor opened after the table's columns changed lists
  // them anew. Nothing without an open cursor, or when the table no longer has the field.
  // Every read and write of a table row through the plan's numbers goes through here.
  std::optional<int32_t> CursorColumn(size_t table, int32_t field) const;
  const std::string& FieldName(size_t table, int32_t field) const { return mTables[table].fields[field]; }
  // The first column a row read for the result that its table no longer has, once met.
  const std::optional<std::string>& Missing() const { return mMissing; }
  DatabaseObject* Database() const { return mDb; }
  const std::shared_ptr<const SqlSelect>& Select() const { return mSelect; }

 private:
  struct FromTable {
    std::string name;
    std::vector<std::string> fields;
    RuntimeObject* cursor = nullptr;  // while the join has it open
    DatabaseCursorObject* open = nullptr;  // the cursor's fields, looked up when it opens
    std::vector<int32_t> columns;          // each field's column in the open cursor, -1: gone
  };

  bool Fail(int32_t code, const std::string& message);
  bool LoadTables(const TableFields* fields);
  void MapColumns(size_t t);
  bool Qualifies(const std::string& qualifier, size_t table) const;
  std::optional<ColumnRef> Find(const std::string& qualifier, const std::string& column);
  bool ResolveColumns();
  bool ResolveKeys();
  bool CheckCondition(const SqlCondition* condition);
  std::vector<size_t> Tables(const SqlCondition* condition);
  std::optional<std::string> OuterLiteral(ColumnRef ref);
  std::unique_ptr<SqlFilter> FilterFor(const SqlCondition* condition, size_t t);
  // Opens table `t`'s cursor on its first row or, without `firstRow` (the built-in engine
  // only), before it.
  bool Open(size_t t, bool firstRow = true);
  void Close(size_t t);

  DatabaseObject* mDb;
  std::shared_ptr<const SqlSelect> mSelect;
  std::vector<FromTable> mTables;
  std::vector<OutputColumn> mColumns;  // visible first, then the hidden sort columns
  std::vector<size_t> mItemStart;      // each select item's first column
  int32_t mVisible = 0;
  SqlSortKeys mKeys;
  bool mAggregated = false;
  bool mStarted = false;
  bool mDone = false;
  // The column's source number, with the number its table row's key has in `row`.
  uint16_t SourceOf(size_t column, int32_t cursorColumn, DatabaseCursorObject* cursor, SqlRow& row, uint32_t* key);
  std::optional<std::string> mMissing;
  struct ColumnSource {
    std::string name;
    uint16_t number = 0;
    bool asked = false;
  };
  struct TableKey {
    uint32_t key = 0;  // its number in the row
    uint64_t row = 0;  // the CurrentRow call it was asked in
  };
  std::vector<ColumnSource> mColumnSources;  // each column's source as last reported
  std::vector<TableKey> mTableKeys;
  struct RowCell {
    enum How : uint8_t { kRead, kEmpty, kCopy } how = kRead;
    size_t table = 0;
    int32_t field = 0;
    size_t copyOf = 0;  // the earlier cell of the same field
  };
  void PlanRow();
  std::vector<RowCell> mRowPlan;  // what CurrentRow puts in each cell
  uint64_t mRowNumber = 0;
  std::shared_ptr<SqlSourceNames> mSources = std::make_shared<SqlSourceNames>();
};

}  // namespace vorn
