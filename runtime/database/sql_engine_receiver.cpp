#include "database/sql_engine_receiver.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/sql_dispatcher.h"
#include "database/sql_error.h"
#include "database/sql_filter.h"
#include "database/sql_query_plan.h"

namespace vorn {
namespace {

string Utf8(const std::string& text) { return string(text, kEncodingUTF8); }

// Releases a runtime object when the statement leaves its scope, however it leaves.
struct Held {
  RuntimeObject* object;
  ~Held() { RuntimeUnlockObject(object); }
};

// A statement that fails part way changes nothing: the rows it changed before go back.
struct Savepoint {
  explicit Savepoint(DatabaseObject* database) : db(database) { BeginBuiltInStatement(db->engine, db->handle); }
  ~Savepoint() { EndBuiltInStatement(db->engine, db->handle, DatabaseErrorCode(db) != 0); }
  DatabaseObject* db;
};

class EngineReceiver : public SqlStatementReceiver {
 public:
  explicit EngineReceiver(DatabaseObject* database) : mDb(database), mEngine(*database->engine) {}

  void Commit() override {
    if (mEngine.commit) mEngine.commit(mDb->handle);
  }

  void Rollback() override {
    if (mEngine.rollback) mEngine.rollback(mDb->handle);
  }

  void CreateTable(const SqlCreateTable& statement) override {
    if (!mEngine.createTable) return;
    if (statement.columns.empty()) {
      SetError(kSqlErrorUnknownColumn, "CREATE TABLE requires at least one column defined");
      return;
    }
    std::deque<string> names;
    std::vector<dbColumnDefinition> columns(statement.columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
      names.push_back(Utf8(statement.columns[i].name));
      columns[i] = {i + 1 < columns.size() ? &columns[i + 1] : nullptr, names.back().Rep(),
                    statement.columns[i].type, statement.columns[i].notNull ? 1 : 0};
    }
    const string table = Utf8(statement.table);
    mEngine.createTable(mDb->handle, table.Rep(), columns.data(), statement.primaryKey.data(),
                        static_cast<int32_t>(statement.primaryKey.size()));
  }

  void AlterTableAdd(const SqlAlterTableAdd& statement) override {
    if (!mEngine.addTableColumn) return;
    const string name = Utf8(statement.column.name);
    const int32_t notNull = statement.column.notNull ? 1 : 0;
    dbColumnDefinition column{nullptr, name.Rep(), statement.column.type, notNull};
    mEngine.addTableColumn(mDb->handle, Utf8(statement.table).Rep(), &column, notNull);
  }

  void Insert(const SqlInsert& statement) override {
    if (!mEngine.addTableRecord) return;
    Savepoint savepoint(mDb);
    std::deque<string> texts;
    std::vector<dbColumnValue> values(statement.values.size());
    for (size_t i = 0; i < values.size(); ++i) {
      texts.push_back(Utf8(statement.values[i].column));
      StringRep* column = texts.back().Rep();
      texts.push_back(Utf8(statement.values[i].value));
      values[i] = {i + 1 < values.size() ? &values[i + 1] : nullptr, column, texts.back().Rep(),
                   statement.values[i].type};
    }
    const string table = Utf8(statement.table);
    mEngine.addTableRecord(mDb->handle, table.Rep(), values.empty() ? nullptr : values.data());
  }

  void Update(const SqlUpdate& statement) override {
    Savepoint savepoint(mDb);
    Held cursor{OpenRows(statement.table, statement.condition.get())};
    if (!cursor.object) return;
    std::vector<int32_t> positions;
    for (const SqlAssignment& assignment : statement.assignments) {
      const int32_t position = FieldPosition(cursor.object, assignment.column);
      if (position < 0) {
        SetError(kSqlErrorMismatch, "Mismatched update fields");
        return;
      }
      positions.push_back(position);
      if (!assignment.null &&
          !BuiltInValueFits(mDb->engine, mDb->handle, statement.table, assignment.column, assignment.value))
        return;
    }
    for (; !cursorEOFGetter(cursor.object, 0); cursorMoveNext(cursor.object)) {
      cursorEdit(cursor.object);
      for (size_t i = 0; i < positions.size(); ++i) {
        Held field{cursorGetFieldByIndex(cursor.object, positions[i] + 1)};
        if (!field.object) {
          SetError(kSqlErrorMismatch, "The column " + statement.assignments[i].column +
                                          " does not exist in table " + statement.table);
          return;
        }
        const SqlAssignment& assignment = statement.assignments[i];
        databaseCursorFieldSetString(field.object,
                                     assignment.null ? DbNullEditValue() : Utf8(assignment.value).Rep());
      }
      cursorUpdate(cursor.object);
      // A refused row (a duplicate key, NULL in a NOT NULL column) ends the statement with its
      // error, which a later row's success would otherwise clear.
      if (DatabaseErrorCode(mDb) != 0) return;
    }
  }

  void Delete(const SqlDelete& statement) override {
    Savepoint savepoint(mDb);
    Held cursor{OpenRows(statement.table, statement.condition.get())};
    if (!cursor.object) return;
    for (; !cursorEOFGetter(cursor.object, 0) && DatabaseErrorCode(mDb) == 0; cursorMoveNext(cursor.object)) {
      cursorDeleteRecord(cursor.object);
    }
  }

  void SetError(int32_t code, const std::string& message) override {
    SetDatabaseError(mDb, code, Utf8(message));
  }

 private:
  // A cursor over every column of the rows the condition selects; nil when the engine has none.
  RuntimeObject* OpenRows(const std::string& table, const SqlCondition* condition) {
    if (!mEngine.getTableCursor) return nullptr;
    std::unique_ptr<SqlFilter> filter = SqlMakeFilter(condition);
    SqlEngineFilter engineFilter(filter.get());
    const string star("*");
    dbColumnList all{nullptr, star.Rep()};
    RuntimeObject* cursor = mEngine.getTableCursor(mDb->handle, Utf8(table).Rep(), &all, engineFilter.Root());
    if (!cursor) ExplainRefusal(table, condition);
    return cursor;
  }

  // A refused cursor must not pass for a statement that found no row: a table or column that is
  // not there is named as a query names it, whatever the engine said; any other refusal keeps
  // the engine's reason (damage, a value out of range).
  void ExplainRefusal(const std::string& table, const SqlCondition* condition) {
    if (!mEngine.getFieldSchema) return;
    // Reading the field schema clears the engine's error.
    const int32_t code = DatabaseErrorCode(mDb);
    const string reason = DatabaseErrorText(mDb);
    struct KeepReason {
      ~KeepReason() {
        if (code != 0 && DatabaseErrorCode(db) == 0) SetDatabaseError(db, code, reason);
      }
      DatabaseObject* db;
      int32_t code;
      const string& reason;
    } keep{mDb, code, reason};
    std::vector<std::string> fields;
    if (!SqlLoadTableFields(mDb, table, &fields)) return;
    auto known = [&](const std::string& column) {
      return std::any_of(fields.begin(), fields.end(), [&](const std::string& field) { return SameName(field, column); });
    };
    std::vector<const SqlCondition*> pending{condition};
    while (!pending.empty()) {
      const SqlCondition* node = pending.back();
      pending.pop_back();
      if (!node) continue;
      pending.push_back(node->left.get());
      pending.push_back(node->right.get());
      if (node->op == kSqlAnd || node->op == kSqlOr) continue;
      for (const std::string* column : {&node->column, node->rightIsColumn ? &node->value : nullptr}) {
        if (column && !known(*column)) return SetError(kSqlErrorUnknownColumn, "Unknown column: " + *column);
      }
    }
  }

  // The 0-based position of the cursor's field of that name (any case), -1 when none.
  static int32_t FieldPosition(RuntimeObject* cursor, const std::string& column) {
    const int32_t count = cursorFieldCount(cursor, 0);
    for (int32_t i = 0; i < count; ++i) {
      if (SameName(CursorColumnName(CursorFields(cursor), i).View(), column)) return i;
    }
    return -1;
  }

  DatabaseObject* mDb;
  const dbEngineDefinition& mEngine;
};

}  // namespace

void SqlExecuteOnEngine(DatabaseObject* database, const string& sql) {
  EngineReceiver receiver(database);
  SqlExecuteStatement(sql.View(), receiver);
}

}  // namespace vorn
