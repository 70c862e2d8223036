#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/sql_dispatcher.h"

namespace vorn {
namespace {

// Keeps what the dispatcher hands on, as the engine would receive it.
class Recorder : public SqlStatementReceiver {
 public:
  void Commit() override { calls.push_back("commit"); }
  void Rollback() override { calls.push_back("rollback"); }
  void CreateTable(const SqlCreateTable& statement) override {
    calls.push_back("create");
    created = statement;
  }
  void AlterTableAdd(const SqlAlterTableAdd& statement) override {
    calls.push_back("alter");
    altered = statement;
  }
  void Insert(const SqlInsert& statement) override {
    calls.push_back("insert");
    inserted = statement;
  }
  void Update(const SqlUpdate& statement) override {
    calls.push_back("update");
    table = statement.table;
    assignments = statement.assignments;
    hasCondition = statement.condition != nullptr;
  }
  void Delete(const SqlDelete& statement) override {
    calls.push_back("delete");
    table = statement.table;
    hasCondition = statement.condition != nullptr;
    if (hasCondition) conditionValue = statement.condition->value;
  }
  void SetError(int32_t code, const std::string& message) override {
    calls.push_back("error");
    error = {code, message};
  }

  std::vector<std::string> calls;
  SqlCreateTable created;
  SqlAlterTableAdd altered;
  SqlInsert inserted;
  std::string table;
  std::vector<SqlAssignment> assignments;
  bool hasCondition = false;
  std::string conditionValue;
  SqlError error;
};

using Calls = std::vector<std::string>;

Recorder Execute(std::string_view text) {
  Recorder recorder;
  SqlExecuteStatement(text, recorder);
  return recorder;
}

void ExpectError(std::string_view text, int32_t code, const std::string& message) {
  const Recorder recorder = Execute(text);
  EXPECT_EQ(recorder.calls, Calls{"error"}) << text;
  EXPECT_EQ(recorder.error.code, code) << text;
  EXPECT_EQ(recorder.error.message, message) << text;
}

TEST(SqlStatementTest, FirstWordChoosesTheStatement) {
  EXPECT_EQ(Execute("COMMIT;").calls, Calls{"commit"});
  EXPECT_EQ(Execute("  rollback ;\n").calls, Calls{"rollback"});
  EXPECT_EQ(Execute("select * from t").calls, Calls{});
  EXPECT_EQ(Execute("").calls, Calls{});
  ExpectError("drop table t", 2007, "Dropping tables from this database is not currently supported.");
}

// Text the parser did not read, a misspelt statement word or a value that is no value is
// refused, never run as the part that was understood.
TEST(SqlStatementTest, TextNotReadWholeIsRefused) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"updte t set a = 1", "Unknown statement 'updte'"},
      {"create tabel t (a integer)", "Unexpected 'tabel' at position 8"},
      {"alter tabel t add a integer", "Unexpected 'tabel' at position 7"},
      {"create index i on t (a)", "Unexpected 'index' at position 8"},
      {"commit work", "Unexpected 'work' at position 8"},
      {"rollback now", "Unexpected 'now' at position 10"},
      {"create table t (a integer) with x", "Unexpected 'with' at position 28"},
      {"alter table t add a integer not null x", "Unexpected 'x' at position 38"},
      {"insert into t values (1) values (2)", "Unexpected 'values' at position 26"},
      {"insert into t values (2, hello, 1)", "Unexpected 'hello' at position 26"},
      {"update t set s = n", "Unexpected 'n' at position 18"},
      {"insert into t values (1e)", "Unexpected '1e' at position 23"},
      {"insert into t values (-)", "Unexpected '-' at position 23"},
      {"insert into t values (12abc)", "Unexpected '12abc' at position 23"},
      {"insert into t values (1,)", "Unexpected ')' at position 25"},
      {"update t set n = 1 where n = (5)", "Unexpected '(' at position 30"},
      {"delete from t where n > 1e1x", "Unexpected '1e1x' at position 25"},
  };
  for (const auto& c : cases) ExpectError(c.text, 200, c.message);
  const Recorder values = Execute("insert into t values (-1.5e3, true, FALSE, NULL, 'w')");
  ASSERT_EQ(values.calls, Calls{"insert"});
  EXPECT_EQ(values.inserted.values[0].value, "-1.5e3");
}

TEST(SqlStatementTest, CreateTableColumnsTypesAndKey) {
  const Recorder recorder = Execute(
      "create TABLE stars (id integer not null, name varchar(40), code char, c2 character(3) "
      "NOT NULL, n smallint, f float, d double, day date, at time, ts timestamp, ok boolean, "
      "notes long varchar, pic long VARBINARY, primary key (name, id));");
  ASSERT_EQ(recorder.calls, Calls{"create"});
  const SqlCreateTable& created = recorder.created;
  EXPECT_EQ(created.table, "stars");
  const int32_t types[] = {3, 5, 5, 5, 2, 6, 7, 8, 9, 10, 12, 15, 16};
  ASSERT_EQ(created.columns.size(), std::size(types));
  for (size_t i = 0; i < std::size(types); ++i) EXPECT_EQ(created.columns[i].type, types[i]) << i;
  EXPECT_EQ(created.columns[0].name, "id");
  EXPECT_TRUE(created.columns[0].notNull);
  EXPECT_FALSE(created.columns[1].notNull);
  EXPECT_TRUE(created.columns[3].notNull);
  EXPECT_EQ(created.primaryKey, (std::vector<uint8_t>{1, 0}));
}

TEST(SqlStatementTest, CreateTableWithoutColumnsIsHandedOnEmpty) {
  const Recorder recorder = Execute("create table t ()");
  ASSERT_EQ(recorder.calls, Calls{"create"});
  EXPECT_TRUE(recorder.created.columns.empty());
}

TEST(SqlStatementTest, CreateTableErrors) {
  ExpectError("create table t a integer", 200, "Expecting '('");
  ExpectError("create table t (a integer, primary (a))", 200, "Expecting 'KEY'");
  ExpectError("create table t (a int)", 200, "Expecting field type");
  ExpectError("create table t (a long text)", 200, "Expecting field type");
  ExpectError("create table t (a integer not 1)", 200, "Expecting 'NULL'");
  ExpectError("create table t (a char(10 x)", 200, "Expecting ')'");
  ExpectError("create table t (a char(x))", 201, "Invalid field constraint");
  ExpectError("create table t (a integer b integer)", 200, "Expecting ',' or ')'");
  ExpectError("create table t (a integer", 200, "Expecting ',' or ')'");
  ExpectError("create table t (a integer, primary key (b))", 201, "Invalid column");
  ExpectError("create table t (a integer, primary key ('a'))", 201, "Invalid column name");
  ExpectError("create table t (a integer, primary key (a b))", 201, "Expecting ',' or ')'");
}

TEST(SqlStatementTest, PrimaryKeyPositionsFitInABytes) {
  std::string text = "create table t (";
  for (int i = 0; i <= 256; ++i) text += "c" + std::to_string(i) + " integer, ";
  Recorder recorder = Execute(text + "primary key (c255, C0))");
  ASSERT_EQ(recorder.calls, Calls{"create"});
  EXPECT_EQ(recorder.created.primaryKey, (std::vector<uint8_t>{255, 0}));
  ExpectError(text + "primary key (c256))", 201, "Too many columns");

  std::string key = "create table t (a integer, primary key (a";
  for (int i = 0; i < 256; ++i) key += ", a";
  ExpectError(key + "))", 201, "Too many columns");
}

TEST(SqlStatementTest, AlterTableAdd) {
  Recorder recorder = Execute("alter table t add column mag double not null");
  ASSERT_EQ(recorder.calls, Calls{"alter"});
  EXPECT_EQ(recorder.altered.table, "t");
  EXPECT_EQ(recorder.altered.column.name, "mag");
  EXPECT_EQ(recorder.altered.column.type, 7);
  EXPECT_TRUE(recorder.altered.column.notNull);

  recorder = Execute("ALTER TABLE t ADD note varchar(10)");
  ASSERT_EQ(recorder.calls, Calls{"alter"});
  EXPECT_EQ(recorder.altered.column.name, "note");
  EXPECT_FALSE(recorder.altered.column.notNull);

  ExpectError("alter table t drop column a", 2008, "Dropping columns is not supported for this database");
  ExpectError("alter table t rename a", 200, "Expected 'ADD'");
  ExpectError("alter table t add a blob", 200, "Expecting field type");
}

TEST(SqlStatementTest, InsertValuesWithAndWithoutColumns) {
  Recorder recorder = Execute("insert into t values (1, 'two', NULL, -3.5)");
  ASSERT_EQ(recorder.calls, Calls{"insert"});
  EXPECT_EQ(recorder.inserted.table, "t");
  ASSERT_EQ(recorder.inserted.values.size(), 4u);
  const char* texts[] = {"1", "two", "NULL", "-3.5"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(recorder.inserted.values[i].column, "");
    EXPECT_EQ(recorder.inserted.values[i].value, texts[i]);
    // An unquoted NULL is no text: the column gets no value.
    EXPECT_EQ(recorder.inserted.values[i].type, i == 2 ? kSqlNullValue : kSqlTextValue);
  }

  recorder = Execute("INSERT INTO [my table] ([first name], b) VALUES ('it''s', 2)");
  ASSERT_EQ(recorder.calls, Calls{"insert"});
  EXPECT_EQ(recorder.inserted.table, "my table");
  ASSERT_EQ(recorder.inserted.values.size(), 2u);
  EXPECT_EQ(recorder.inserted.values[0].column, "first name");
  EXPECT_EQ(recorder.inserted.values[0].value, "it's");
  EXPECT_EQ(recorder.inserted.values[1].column, "b");
}

TEST(SqlStatementTest, InsertErrors) {
  ExpectError("insert t values (1)", 200, "Expecting 'INTO'");
  ExpectError("insert into 9t values (1)", 201, "Invalid table name");
  ExpectError("insert into t (a, 1) values (1, 2)", 201, "Invalid column name");
  ExpectError("insert into t (a b) values (1)", 200, "Expecting ',' or ')'");
  ExpectError("insert into t (a) (1)", 200, "Expecting 'VALUES'");
  ExpectError("insert into t values 1", 200, "Expecting '('");
  ExpectError("insert into t values (1 2)", 200, "Expecting ')'");
  ExpectError("insert into t values (1", 200, "Expecting ')'");
  ExpectError("insert into t (a, b) values (1)", 208, "Mismatched INSERT columns");
  ExpectError("insert into t (a) values (1, 2)", 208, "Mismatched INSERT columns");
}

TEST(SqlStatementTest, UpdateAssignmentsComeNewestFirst) {
  Recorder recorder = Execute("update t set a = 1, b = 'x y', a = 2 where c = 3");
  ASSERT_EQ(recorder.calls, Calls{"update"});
  EXPECT_EQ(recorder.table, "t");
  ASSERT_EQ(recorder.assignments.size(), 3u);
  EXPECT_EQ(recorder.assignments[0].column, "a");
  EXPECT_EQ(recorder.assignments[0].value, "2");
  EXPECT_EQ(recorder.assignments[1].value, "x y");
  EXPECT_EQ(recorder.assignments[2].value, "1");
  EXPECT_TRUE(recorder.hasCondition);

  // A stray word (a misspelt WHERE) must not leave the statement reaching every row.
  ExpectError("update t set a = 'x' stray where b = 1", 200, "Unexpected 'stray' at position 22");
  ExpectError("update t set a = 1 wher id = 2", 200, "Unexpected 'wher' at position 20");
  ExpectError("update t set a = 1 where id = 2 junk", 200, "Unexpected 'junk' at position 33");

  ExpectError("update t a = 1", 200, "Expecting 'SET'");
  ExpectError("update t set a 1", 200, "Expecting '='");
  ExpectError("update t set 'a' = 1", 201, "Invalid column name");
  ExpectError("update t set a = 1 where a ~ 2", 201, "Invalid operator ~");
}

TEST(SqlStatementTest, DeleteWithAndWithoutCondition) {
  Recorder recorder = Execute("delete from t where name like 'a%';");
  ASSERT_EQ(recorder.calls, Calls{"delete"});
  EXPECT_EQ(recorder.table, "t");
  EXPECT_EQ(recorder.conditionValue, "a%");

  recorder = Execute("DELETE FROM t");
  ASSERT_EQ(recorder.calls, Calls{"delete"});
  EXPECT_FALSE(recorder.hasCondition);

  ExpectError("delete t", 200, "Expecting 'FROM'");
  ExpectError("delete from t wher id = 1", 200, "Unexpected 'wher' at position 15");
  ExpectError("delete from t where name like abc", 201, "Quotes expected after LIKE operation");
}

}  // namespace
}  // namespace vorn
