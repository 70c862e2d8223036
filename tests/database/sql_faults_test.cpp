// Statements that once changed the wrong rows, stored the wrong values or reported success
// falsely, each run against a real database file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "database/builtin_database_class.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/support/db_test_files.h"
#include "database/support/sql_database.h"
#include "vorn/folder_item_api.h"

namespace vorn {
namespace {

using Rows = std::vector<std::string>;

std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

class SqlFaultsTest : public dbtest::SqlDatabaseTest {
 protected:
  // t: columns a, b, id (the key), k in name order.
  void CreateT() {
    Exec("create table t (id integer not null, a varchar(10), b varchar(10), k boolean, primary key (id))");
    Exec("insert into t (id, a, b, k) values (1, 'x', 'x', true)");
    Exec("insert into t (id, a, b, k) values (2, 'y', 'b', false)");
    Exec("insert into t (id, a, b, k) values (3, 'b', 'z', true)");
    ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  }

  RuntimeObject* Select(const std::string& sql) { return Keep(databaseSQLSelect(db, string(sql, kEncodingUTF8).Rep())); }
};

const Rows kT = {"x x 1 true", "y b 2 false", "b z 3 true"};

TEST_F(SqlFaultsTest, StatementsChangeExactlyTheirRows) {
  struct Case {
    std::vector<const char*> statements;
    int32_t error;
    Rows rows;
  };
  const Case cases[] = {
      {{"update t set a = 'q' wher id = 2"}, 200, kT},
      {{"delete from t wher id = 1"}, 200, kT},
      {{"delete from t where a = b"}, 0, {"y b 2 false", "b z 3 true"}},
      // A bare word is no value: stored as text it would hide a missing quote.
      {{"update t set a = b where b <> a"}, 200, kT},
      {{"delete from t where k = true"}, 0, {"y b 2 false"}},
      {{"delete from t where k = 0"}, 0, {"x x 1 true", "b z 3 true"}},
      {{"update t set id = 2 where id = 1"}, 2005, kT},
      // A statement refused part way changes nothing, and the work before it stays.
      {{"update t set id = 9"}, 2005, kT},
      {{"update t set a = 'p' where id = 3", "update t set id = 9"}, 2005, {"x x 1 true", "y b 2 false", "p z 3 true"}},
      {{"update t set b = 'g', id = 9 where id > 1"}, 2005, kT},
      {{"insert into t (id, a, k) values (4, NULL, NULL)"}, 0, {"x x 1 true", "y b 2 false", "b z 3 true", "NULL NULL 4 NULL"}},
      {{"insert into t (id, a) values (4, 'NULL')"}, 0, {"x x 1 true", "y b 2 false", "b z 3 true", "NULL NULL 4 NULL"}},
      {{"insert into t (id, k) values (4, 1)"}, 0, {"x x 1 true", "y b 2 false", "b z 3 true", "NULL NULL 4 true"}},
      // Without a column list the values fill the columns in their declared order.
      {{"insert into t values (4, 'c', 'd', false)"}, 0, {"x x 1 true", "y b 2 false", "b z 3 true", "c d 4 false"}},
      {{"insert into t values (4, 'c')"}, 2003, kT},
      {{"update t set a = NULL, k = NULL where id = 3"}, 0, {"x x 1 true", "y b 2 false", "NULL z 3 NULL"}},
      {{"update t set id = NULL where id = 3"}, 2003, kT},
      {{"delete from t where id < 2.5"}, 0, {"b z 3 true"}},
      {{"delete from t where id > 2.5"}, 0, {"x x 1 true", "y b 2 false"}},
      {{"insert into t (id) values (1)", "update t set a = 'w' where id = 2"}, 0, {"x x 1 true", "w b 2 false", "b z 3 true"}},
      {{"insert into t (id) values (1)", "delete from t where id = 3"}, 0, {"x x 1 true", "y b 2 false"}},
      {{"insert into t (id) values (1)", "create index i on t (a)"}, 200, kT},
  };
  CreateT();
  Exec("create table pair (a varchar(9) not null, b integer not null, primary key (a, b))");
  Exec("insert into pair (a, b) values ('w', 1)");
  Exec("insert into pair (a, b) values ('x', 1)");
  Exec("update pair set a = 'x'");
  EXPECT_EQ(ErrorCode(), 2005) << "a later row's success does not hide the refusal";
  EXPECT_EQ(TableRows("pair"), (Rows{"w 1", "x 1"}));
  for (const Case& c : cases) {
    Exec("delete from t");
    Exec("insert into t (id, a, b, k) values (1, 'x', 'x', true)");
    Exec("insert into t (id, a, b, k) values (2, 'y', 'b', false)");
    Exec("insert into t (id, a, b, k) values (3, 'b', 'z', true)");
    for (const char* sql : c.statements) Exec(sql);
    const std::string what = c.statements.back();
    EXPECT_EQ(ErrorCode(), c.error) << what << ": " << ErrorMessage();
    EXPECT_EQ(TableRows("t"), c.rows) << what;
  }
}

// Refused statements say why and store nothing: values beyond their column's range, tables
// and condition columns that do not exist.
TEST_F(SqlFaultsTest, RefusedStatementsSayWhyAndStoreNothing) {
  struct Case {
    const char* statement;
    int32_t error;
    const char* message;
    Rows rows;  // r's rows afterwards: d id n s
  };
  const Rows kR = {"0 1 1 1"};
  const Case cases[] = {
      {"insert into r values (2, 70000, 1, 0)", 2003, "The value 70000 is out of range for column s", kR},
      {"insert into r values (2, -32769, 1, 0)", 2003, "The value -32769 is out of range for column s", kR},
      {"insert into r values (2, 1, 3000000000, 0)", 2003, "The value 3000000000 is out of range for column n", kR},
      {"insert into r values (4294967299, 1, 1, 0)", 2003, "The value 4294967299 is out of range for column id", kR},
      {"insert into r values (2, 1, 99999999999999999999, 0)", 2003,
       "The value 99999999999999999999 is out of range for column n", kR},
      {"insert into r values (2, 32768, 1, 0)", 2003, "The value 32768 is out of range for column s", kR},
      {"insert into r values (2, 1, -2147483649, 0)", 2003, "The value -2147483649 is out of range for column n", kR},
      {"update r set n = 2147483648", 2003, "The value 2147483648 is out of range for column n", kR},
      // Refused whatever rows it would change, none here.
      {"update r set n = 2147483648 where id = 5", 2003, "The value 2147483648 is out of range for column n", kR},
      {"update r set d = 1, s = -32769 where id > 1", 2003, "The value -32769 is out of range for column s", kR},
      {"update r set s = 1e5", 2003, "The value 1e5 is out of range for column s", kR},
      {"insert into r values (2, -32768, -2147483648, 0)", 0, "", {"0 1 1 1", "0 2 -2147483648 -32768"}},
      {"insert into r values (2, 32767, 2147483647, 0)", 0, "", {"0 1 1 1", "0 2 2147483647 32767"}},
      {"insert into r values (2, 1e3, -2.5E1, 0)", 0, "", {"0 1 1 1", "0 2 -25 1000"}},
      {"insert into r values (2, 3.2767e4, -2.147483648e9, 0)", 0, "", {"0 1 1 1", "0 2 -2147483648 32767"}},
      {"update t set a = 'x'", 202, "Invalid table t", kR},
      {"delete from t where id = 1", 202, "Invalid table t", kR},
      {"update r set n = 5 where zz = 1", 206, "Unknown column: zz", kR},
      {"update r set n = 5 where id = 1 or zz = 1", 206, "Unknown column: zz", kR},
      {"delete from r where id = zz", 206, "Unknown column: zz", kR},
      {"delete from r where upper(zz) = 'A'", 206, "Unknown column: zz", kR},
  };
  Exec("create table r (id integer not null, s smallint, n integer, d double, primary key (id))");
  for (const Case& c : cases) {
    Exec("delete from r");
    Exec("insert into r values (1, 1, 1, 0)");
    Exec(c.statement);
    EXPECT_EQ(ErrorCode(), c.error) << c.statement << ": " << ErrorMessage();
    EXPECT_EQ(ErrorMessage(), c.message) << c.statement;
    EXPECT_EQ(TableRows("r"), c.rows) << c.statement;
  }
}

// A date's or time's parts are stored in 16 bits each: a value or a condition's literal with a
// part beyond them is refused naming the column, never stored or compared wrapped.
TEST_F(SqlFaultsTest, DatesAndTimesBeyondTheirFieldsAreRefused) {
  const Rows kW = {"2005-01-02 1 12:30:00"};
  // The statement, its error (none: done) and w's rows afterwards (dt id tm).
  const std::tuple<const char*, const char*, Rows> cases[] = {
      {"insert into w values (2, '32768-1-1', NULL)", "The value 32768-1-1 is out of range for column dt", kW},
      {"insert into w values (2, '2005-1-4294967297', NULL)", "The value 2005-1-4294967297 is out of range for column dt", kW},
      {"insert into w values (2, NULL, '12:32768')", "The value 12:32768 is out of range for column tm", kW},
      {"insert into w values (2, '32767-12-31', '1:2:3')", "", {"2005-01-02 1 12:30:00", "32767-12-31 2 01:02:03"}},
      {"update w set dt = '99999-1-1' where id = 9", "The value 99999-1-1 is out of range for column dt", kW},
      {"update w set tm = '1:2:-32769'", "The value 1:2:-32769 is out of range for column tm", kW},
      {"delete from w where tm = '12:30:65536'", "The value 12:30:65536 is out of range for column tm", kW},
      {"delete from w where dt < '99999-1-1'", "The value 99999-1-1 is out of range for column dt", kW},
      {"delete from w where dt = '2005-1-2'", "", {}},
  };
  Exec("create table w (id integer not null, dt date, tm time, primary key (id))");
  for (const auto& [statement, message, rows] : cases) {
    Exec("delete from w");
    Exec("insert into w values (1, '2005-1-2', '12:30')");
    Exec(statement);
    EXPECT_EQ(ErrorCode(), *message ? 2003 : 0) << statement << ": " << ErrorMessage();
    EXPECT_EQ(ErrorMessage(), message) << statement;
    EXPECT_EQ(TableRows("w"), rows) << statement;
  }
  Select("select id from w where dt > '1-1-40000'");
  EXPECT_EQ(ErrorCode(), 2003) << ErrorMessage();
  EXPECT_EQ(ErrorMessage(), "The value 1-1-40000 is out of range for column dt");
}

// A scan compares numbers and texts on the stored bytes: the same answers as reading the
// values whole, NaN and NULL included.
TEST_F(SqlFaultsTest, ScanComparisonsOnStoredBytes) {
  Exec("create table f (id integer not null, d double, s varchar(5), i smallint, primary key (id))");
  for (const char* row : {"(1, 1, 'a', 1)", "(2, 'nan', 'b', 3)", "(3, 2.5, 'ab', -4)", "(4, NULL, NULL, NULL)"})
    Exec(std::string("insert into f values ") + row);
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  const struct {
    const char* condition;
    Rows ids;
  } cases[] = {
      {"d <> 1", {"2", "3"}},        {"d = 1", {"1"}},       {"d < 2.5", {"1"}},
      {"d >= 1", {"1", "3"}},        {"s > 'a'", {"2", "3"}}, {"s <= 'ab'", {"1", "3"}},
      {"s <> 'a'", {"2", "3"}},      {"i > -5 and i < 3", {"1", "3"}}, {"i = 3 or s = 'a'", {"1", "2"}},
      {"i >= 1e0", {"1", "2"}},
  };
  for (const auto& c : cases) {
    RuntimeObject* rs = Select(std::string("select id from f where ") + c.condition);
    ASSERT_NE(rs, nullptr) << c.condition << ": " << ErrorMessage();
    Rows found;
    for (; !cursorEOFGetter(rs, 0); cursorMoveNext(rs))
      found.push_back(Text(cursorFieldStringValueGetter(Keep(cursorGetFieldByIndex(rs, 1)), 0)));
    EXPECT_EQ(found, c.ids) << c.condition;
  }
}

TEST_F(SqlFaultsTest, GroupByADoublePutsZeroAndMinusZeroInOneGroupAndNaNsOfEitherSignInAnother) {
  Exec("create table g (id integer not null, d double, primary key (id))");
  for (const char* row : {"(1, 0)", "(2, -0)", "(3, -0.0)", "(4, 1)", "(5, '-0')", "(6, 'nan')", "(7, '-nan')"})
    Exec(std::string("insert into g values ") + row);
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  RuntimeObject* rs = Select("select d, count(*) from g group by d");
  ASSERT_NE(rs, nullptr) << ErrorMessage();
  Rows groups;
  for (; !cursorEOFGetter(rs, 0); cursorMoveNext(rs))
    groups.push_back(Text(cursorFieldStringValueGetter(Keep(cursorGetFieldByIndex(rs, 2)), 0)));
  EXPECT_EQ(groups, (Rows{"2", "4", "1"}));
}

// A column on the right of a comparison is compared as that column's value, in a query as in
// a DELETE: the rows a query gives (live and sorted) are the rows the DELETE takes.
TEST_F(SqlFaultsTest, QueriesCompareColumnsAsDeletionsDo) {
  struct Case {
    const char* condition;
    const char* joined;  // the same with the right-hand column in the inner table
    Rows ids;
  };
  const Case cases[] = {
      {"a = b", "q.a = m.b", {"1"}},
      {"b <> a", "q.b <> m.a", {"2", "3"}},
      {"a < b", "q.a < m.b", {"3"}},
      {"upper(a) = b", nullptr, {"2"}},
      {"id = k or a = b", nullptr, {"1"}},
      {"d < e and id > 1", "q.d < m.e and q.id > 1", {"2", "3", "4"}},
      {"e = d", "q.e = m.d", {"1"}},
      {"day >= when", "q.day >= m.when", {"1", "3"}},
      {"day <> when", "q.day <> m.when", {"2", "3"}},
      {"id = d", "q.id = m.d", {"3"}},
      {"k = id", nullptr, {"1", "3"}},
      {"id = k", nullptr, {}},
  };
  const char* const create = "create table %s (id integer not null, a varchar(9), b varchar(9), k boolean, "
                             "d double, e double, day date, when date, primary key (id))";
  const char* const rows[] = {
      "(1, 'x', 'x', true, 0.1234567891, 0.1234567891, '2005-1-2', '2005-1-2')",
      "(2, 'y', 'Y', false, 1.5, 2.5, '2005-1-2', '2006-1-1')",
      "(3, 'b', 'z', true, 3, 3.0000000000000004, '2007-3-4', '2006-1-1')",
      "(4, 'q', NULL, false, -1, 7, NULL, '2006-1-1')",
  };
  auto fill = [&](const std::string& table) {
    char text[400];
    std::snprintf(text, sizeof text, create, table.c_str());
    Exec(text);
    for (const char* row : rows) Exec("insert into " + table + " values " + row);
    ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  };
  auto ids = [&](const std::string& sql) {
    Rows found;
    RuntimeObject* rs = Select(sql);
    EXPECT_NE(rs, nullptr) << sql << ": " << ErrorMessage();
    for (; rs && !cursorEOFGetter(rs, 0); cursorMoveNext(rs))
      found.push_back(Text(cursorFieldStringValueGetter(Keep(cursorGetFieldByIndex(rs, 1)), 0)));
    return found;
  };
  fill("q");
  fill("m");
  for (const Case& c : cases) {
    const std::string table = "t" + std::to_string(&c - cases);
    fill(table);
    EXPECT_EQ(ids("select id from q where " + std::string(c.condition)), c.ids) << c.condition;
    EXPECT_EQ(ids("select id from q where " + std::string(c.condition) + " order by id"), c.ids) << c.condition;
    Exec("delete from " + table + " where " + c.condition);
    Rows kept;
    for (const char* id : {"1", "2", "3", "4"})
      if (std::find(c.ids.begin(), c.ids.end(), id) == c.ids.end()) kept.push_back(id);
    EXPECT_EQ(ids("select id from " + table), kept) << c.condition;
    // Across a join, the columns of one type, the outer row's value meets the inner column alike.
    if (c.joined) {
      EXPECT_EQ(ids("select q.id from q, m where q.id = m.id and " + std::string(c.joined)), c.ids) << c.joined;
    }
  }
}

TEST_F(SqlFaultsTest, ReadingStartsWithAClearError) {
  CreateT();
  Exec("insert into t (id) values (1)");
  ASSERT_EQ(ErrorCode(), 2005);
  EXPECT_NE(Select("select a from t"), nullptr);
  EXPECT_EQ(ErrorCode(), 0) << ErrorMessage();
}

// Editing and deleting through a sorted result finds the row by its key, whatever the key's type.
TEST_F(SqlFaultsTest, ResultRowsAreFoundByKeysOfEveryType) {
  struct Case {
    const char* type;
    const char* first;
    const char* second;
    Rows edited;
  };
  const Case cases[] = {
      {"date", "'2005-1-2'", "'2006-3-4'", {"2005-01-02 a", "2006-03-04 edited"}},
      {"time", "'12:30:00'", "'12:30:01'", {"12:30:00 a", "12:30:01 edited"}},
      {"double", "0.1234567891", "0.1234567892", {"0.1234567891 a", "0.1234567892 edited"}},
      {"boolean", "false", "true", {"false a", "true edited"}},
      {"varchar(9)", "'it''s'", "'its'", {"it's a", "its edited"}},
  };
  for (const Case& c : cases) {
    Exec("create table k" + std::to_string(&c - cases) + " (key " + c.type + " not null, v varchar(9), primary key (key))");
    const std::string table = "k" + std::to_string(&c - cases);
    Exec("insert into " + table + " (key, v) values (" + c.first + ", 'a')");
    Exec("insert into " + table + " (key, v) values (" + c.second + ", 'b')");
    RuntimeObject* rs = Select("select v from " + table + " order by v");
    ASSERT_NE(rs, nullptr) << c.type << ": " << ErrorMessage();
    cursorMoveNext(rs);
    cursorEdit(rs);
    databaseCursorFieldSetString(Keep(cursorGetFieldByIndex(rs, 1)), string("edited").Rep());
    cursorUpdate(rs);
    EXPECT_EQ(ErrorCode(), 0) << c.type << ": " << ErrorMessage();
    EXPECT_EQ(TableRows(table), c.edited) << c.type;
    CursorMoveFirst(rs);
    cursorDeleteRecord(rs);
    EXPECT_EQ(TableRows(table), Rows{c.edited[1]}) << c.type;
  }
}

// An edit through a RecordSet that moves a row (a new key, or any edit of a keyless table)
// takes its new place at once: a rollback while the RecordSet's walk is open leaves no trace of
// it, and an insert of its new key is refused.
TEST_F(SqlFaultsTest, ARecordSetEditThatMovesARowGoesWithARollback) {
  const struct {
    const char* name;
    const char* key;  // the primary key clause, if any
    const char* field;
    const char* value;
    bool insertKey;  // while the walk is open: an insert of row "5 z" instead of a rollback
    Rows rows;
  } cases[] = {
      {"key changed, rolled back", ", primary key (id)", "id", "5", false, {"1 a", "2 b"}},
      {"keyless, rolled back", "", "s", "CHANGED", false, {"1 a", "2 b"}},
      {"its key inserted", ", primary key (id)", "id", "5", true, {"2 b", "5 a"}},
  };
  for (const auto& c : cases) {
    const std::string table = "m" + std::to_string(&c - cases);
    Exec("create table " + table + " (id integer not null, s varchar(9)" + c.key + ")");
    Exec("insert into " + table + " (id, s) values (1, 'a')");
    Exec("insert into " + table + " (id, s) values (2, 'b')");
    databaseCommit(db);
    RuntimeObject* rs = Select("select id, s from " + table);
    ASSERT_NE(rs, nullptr) << c.name << ": " << ErrorMessage();
    cursorEdit(rs);
    databaseCursorFieldSetString(Keep(cursorGetFieldByName(rs, string(c.field).Rep())), string(c.value).Rep());
    cursorUpdate(rs);
    ASSERT_EQ(ErrorCode(), 0) << c.name << ": " << ErrorMessage();
    if (c.insertKey) {
      databaseSQLExecute(db, string("insert into " + table + " (id, s) values (5, 'z')", kEncodingUTF8).Rep());
      EXPECT_NE(ErrorCode(), 0) << c.name << ": a second row with the moved row's key";
    } else {
      databaseRollback(db);
    }
    cursorClose(rs);
    EXPECT_EQ(TableRows(table), c.rows) << c.name;
  }
}

TEST_F(SqlFaultsTest, GeneratedInsertTextQuotesValuesAndRefusesNamesThatAreNoPlainWords) {
  const string column("id");
  const string sneaky("1); delete from t; --");
  const string number("-12.5");
  dbColumnValue second{nullptr, column.Rep(), number.Rep(), kVornDbDouble};
  dbColumnValue first{&second, column.Rep(), sneaky.Rep(), kVornDbInteger};
  std::string refusal;
  EXPECT_EQ(std::string(BuildInsertText(string("t"), &first, &refusal)->View()),
            "insert into t(id,id) values ('1); delete from t; --',-12.5)");
  dbColumnValue null{nullptr, column.Rep(), nullptr, kVornDbNull};
  EXPECT_EQ(std::string(BuildInsertText(string("t_2#"), &null, &refusal)->View()), "insert into t_2#(id) values (NULL)");

  const struct {
    const char* table;
    const char* column;
    const char* refusal;
  } names[] = {
      {"t; delete from t where 1 = 1", "a", "Invalid table name t; delete from t where 1 = 1"},
      {"t", "a) values (1); delete from t; --", "Invalid column name a) values (1); delete from t; --"},
      {"my table", "a", "Invalid table name my table"},
      {"t", "[a]", "Invalid column name [a]"},
      {"", "a", "Invalid table name "},
      {"t", "", "Invalid column name "},
  };
  for (const auto& name : names) {
    const string named(name.column);
    dbColumnValue value{nullptr, named.Rep(), number.Rep(), kVornDbDouble};
    refusal.clear();
    EXPECT_FALSE(BuildInsertText(string(name.table), &value, &refusal)) << name.table;
    EXPECT_EQ(refusal, name.refusal);
  }
}

TEST_F(SqlFaultsTest, AFailedConnectKeepsTheOpenConnection) {
  CreateT();
  const std::string other = dbtest::TempPath("not-a-database");
  dbtest::WriteBytes(other, std::vector<uint8_t>(100, 0x41));
  RuntimeObject* item = FolderItemFromPath(other.c_str());
  VORNDatabaseFolderItemSetter(db, 0, item);
  RuntimeUnlockObject(item);
  EXPECT_FALSE(VORNDatabaseConnect(db));
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "The file is not a database");
  EXPECT_TRUE(DatabaseFields(db)->open);
  EXPECT_EQ(TableRows("t"), kT);
}

}  // namespace
}  // namespace vorn
