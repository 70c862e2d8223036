#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/sql_select.h"
#include "database/support/sql_database.h"
#include "support/class_test.h"

namespace vorn {
namespace {

std::unique_ptr<SqlSelect> Parse(std::string_view text) {
  SqlError error;
  std::unique_ptr<SqlSelect> select = SqlParseSelect(text, &error);
  EXPECT_TRUE(select) << text << ": " << error.code << " " << error.message;
  return select;
}

void ExpectError(std::string_view text, int32_t code, const std::string& message) {
  SqlError error;
  EXPECT_FALSE(SqlParseSelect(text, &error)) << text;
  EXPECT_EQ(error.code, code) << text;
  EXPECT_EQ(error.message, message) << text;
}

TEST(SqlSelectTest, SelectListTablesAndCondition) {
  const auto select = Parse("SELECT *, name, s.mag, s.*, count(*), Max(s.mag) FROM stars, s "
                            "WHERE mag < 3;;;");
  ASSERT_TRUE(select);
  ASSERT_EQ(select->items.size(), 6u);
  EXPECT_EQ(select->items[0].column, "*");
  EXPECT_EQ(select->items[1].column, "name");
  EXPECT_EQ(select->items[1].table, "");
  EXPECT_EQ(select->items[2].table, "s");
  EXPECT_EQ(select->items[2].column, "mag");
  EXPECT_EQ(select->items[3].table, "s");
  EXPECT_EQ(select->items[3].column, "*");
  EXPECT_EQ(select->items[4].aggregate, kSqlCount);
  EXPECT_EQ(select->items[4].column, "*");
  EXPECT_EQ(select->items[5].aggregate, kSqlMaximum);
  EXPECT_EQ(select->items[5].table, "s");
  EXPECT_EQ(select->items[5].column, "mag");
  EXPECT_EQ(select->tables, (std::vector<std::string>{"stars", "s"}));
  ASSERT_TRUE(select->condition);
  EXPECT_EQ(select->condition->op, kSqlLess);
  EXPECT_EQ(select->condition->value, "3");
  EXPECT_EQ(select->hiddenCount, 0);
  EXPECT_TRUE(select->sortKeys.empty());
}

TEST(SqlSelectTest, AggregateCodes) {
  const auto select = Parse("select count(*), avg(a), sum(a), min(a), max(a), a from t");
  ASSERT_TRUE(select);
  const int32_t codes[] = {1, 2, 3, 4, 5, 0};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(select->items[i].aggregate, codes[i]) << i;
}

TEST(SqlSelectTest, OrderKeysByPositionAndByNameAddHiddenColumns) {
  const auto select = Parse("select name, mag from t order by 02 desc, name, t.mag ASC");
  ASSERT_TRUE(select);
  ASSERT_EQ(select->sortKeys.size(), 3u);
  EXPECT_EQ(select->sortKeys[0].position, 1);
  EXPECT_TRUE(select->sortKeys[0].descending);
  EXPECT_EQ(select->sortKeys[1].position, -1);
  EXPECT_EQ(select->sortKeys[1].hidden, 0);
  EXPECT_FALSE(select->sortKeys[1].descending);
  EXPECT_EQ(select->sortKeys[2].hidden, 1);
  // A name key adds its column even when it is selected already.
  EXPECT_EQ(select->hiddenCount, 2);
  ASSERT_EQ(select->items.size(), 4u);
  EXPECT_EQ(select->items[2].column, "name");
  EXPECT_EQ(select->items[3].table, "t");
  EXPECT_EQ(select->items[3].column, "mag");
  EXPECT_FALSE(select->groupBy);
}

TEST(SqlSelectTest, GroupByColumnBecomesTheSingleSortKey) {
  const auto select = Parse("select name, count(*) from t where a = 1 group by t.name");
  ASSERT_TRUE(select);
  EXPECT_TRUE(select->groupBy);
  ASSERT_EQ(select->sortKeys.size(), 1u);
  EXPECT_EQ(select->sortKeys[0].hidden, 0);
  EXPECT_EQ(select->hiddenCount, 1);
  EXPECT_EQ(select->items.back().column, "name");
  EXPECT_EQ(select->items.back().table, "t");
}

TEST(SqlSelectTest, TextLeftUnreadIsRefusedWithItsPosition) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"select a from t where a = 1 limit 5", "Unexpected 'limit' at position 29"},
      {"select a from t order by a limit 5, nonsense (", "Unexpected 'limit' at position 28"},
      {"select n from t where n = (5)", "Unexpected '(' at position 27"},
      {"select n from t where n > 1e", "Unexpected '1e' at position 27"},
      {"select n from t where n > 1.5e+", "Unexpected '1.5e+' at position 27"},
      {"select n from t where n = 12abc", "Unexpected '12abc' at position 27"},
      {"select n from t group by n order by n desc", "Unexpected 'order' at position 28"},
  };
  for (const auto& c : cases) ExpectError(c.text, 200, c.message);
  // White space after the last semicolon does not leave a stray token behind.
  EXPECT_TRUE(Parse("select a from t ; \n"));
}

TEST(SqlSelectTest, NumbersAreReadWholeWithTheirExponents) {
  for (const char* number : {"1e1", "-2.5E-3", "7.", "1e+2"}) {
    const auto select = Parse(std::string("select n from t where n > ") + number);
    ASSERT_TRUE(select && select->condition && !select->condition->rightIsColumn) << number;
    EXPECT_EQ(select->condition->value, number);
  }
}

TEST(SqlSelectTest, SyntaxErrors) {
  ExpectError("update t set a = 1", 200, "Expected 'SELECT'");
  ExpectError("", 200, "Expected 'SELECT'");
  ExpectError("select a b from t", 200, "Expecting ','");
  ExpectError("select a", 200, "Expecting ','");
  ExpectError("select a from t u", 200, "Expecting ','");
  ExpectError("select count(* from t", 200, "Expected ')'");
  ExpectError("select max(a from t", 200, "Expected ')'");
  ExpectError("select a from t order a", 200, "Expecting 'BY'");
  ExpectError("select a from t group a", 200, "Expecting 'BY'");
}

TEST(SqlSelectTest, NameErrors) {
  ExpectError("select 1 from t", 201, "Invalid column/table name");
  ExpectError("select max(1) from t", 201, "Invalid column/table name");
  ExpectError("select t.1 from t", 201, "Invalid column name");
  ExpectError("select max(t.*) from t", 201, "Invalid column name");
  ExpectError("select count(x) from t", 201, "Only COUNT(*) supported");
  ExpectError("select median(x) from t", 201, "Unsupported SELECT function");
  ExpectError("select a from 't'", 201, "Invalid table name");
  ExpectError("select a from", 201, "Invalid table name");
  ExpectError("select a from t order by 'x'", 201, "Invalid ORDER BY column");
  ExpectError("select a from t order by 0", 201, "Invalid ORDER BY column");
  ExpectError("select a from t order by 99999999999", 201, "Invalid ORDER BY column");
  ExpectError("select a from t order by a, 'x'", 201, "Invalid column index");
  ExpectError("select a from t group by 1", 201, "Invalid GROUP BY column");
  ExpectError("select a from t group by a, b", 201, "Only single GROUP BY columns currently supported");
  ExpectError("select a from t order by a group by a", 201,
              "ORDER BY can't be used in conjunction with GROUP BY");
  ExpectError("select a from t where a like b", 201, "Quotes expected after LIKE operation");
}

TEST(SqlSelectTest, SortKeysAreLimited) {
  std::string text = "select a from t order by 1";
  for (size_t i = 1; i < kSqlMostSortKeys; ++i) text += ", a";
  const auto select = Parse(text);
  ASSERT_TRUE(select);
  EXPECT_EQ(select->sortKeys.size(), kSqlMostSortKeys);
  ExpectError(text + ", b", 201, "Too many ORDER BY columns");
}


class SqlQueryTest : public dbtest::SqlDatabaseTest {
 protected:
  // Planets (name varchar, star integer): two of Vega's, one of Deneb's.
  void CreatePlanets() {
    Exec("create table Planets (name varchar(20), star integer)");
    Exec("insert into planets (name, star) values ('Alpha', 1)");
    Exec("insert into planets (name, star) values ('Beta', 3)");
    Exec("insert into planets (name, star) values ('Gamma', 1)");
    ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  }

  RuntimeObject* Select(const std::string& sql) {
    return Keep(databaseSQLSelect(db, string(sql, kEncodingUTF8).Rep()));
  }

  // The column names, then each row's values, each line joined by " ".
  std::vector<std::string> Read(const std::string& sql) {
    RuntimeObject* rs = Select(sql);
    EXPECT_NE(rs, nullptr) << sql << ": " << ErrorCode() << " " << ErrorMessage();
    if (!rs) return {};
    const int32_t count = cursorFieldCount(rs, 0);
    std::vector<std::string> lines(1);
    std::vector<RuntimeObject*> fields;
    for (int32_t column = 1; column <= count; ++column) {
      fields.push_back(Keep(cursorGetFieldByIndex(rs, column)));
      lines[0] += (column > 1 ? " " : "") + std::string(string::Adopt(cursorFieldNameGetter(fields.back(), 0)).View());
    }
    for (; !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
      std::string line;
      for (RuntimeObject* field : fields) {
        StringRep* value = cursorFieldStringValueGetter(field, 0);
        line += (line.empty() ? "" : " ") + (value ? std::string(string::Adopt(value).View()) : std::string("NULL"));
      }
      lines.push_back(line);
    }
    return lines;
  }

  void ExpectRefused(const std::string& sql, int32_t code, const std::string& message) {
    EXPECT_EQ(Select(sql), nullptr) << sql;
    EXPECT_EQ(ErrorCode(), code) << sql;
    EXPECT_EQ(ErrorMessage(), message) << sql;
  }
};

using Lines = std::vector<std::string>;

TEST_F(SqlQueryTest, WhereAndOrderBy) {
  CreateStars();
  EXPECT_EQ(Read("select name, mag from stars where mag < 1 order by mag desc"),
            (Lines{"name mag", "Vega 0.03", "Sirius -1.46"}));
  EXPECT_EQ(Read("select stars.name from stars where name like '%e%' or id = 2 order by 1"),
            (Lines{"stars.name", "Deneb", "Sirius", "Vega"}));
  EXPECT_EQ(Read("select * from stars where id >= 2"), (Lines{"id mag name", "2 -1.46 Sirius", "3 1.25 Deneb"}));
  EXPECT_EQ(Read("select mag from stars where upper(name) = 'VEGA'"), (Lines{"mag", "0.03"}));
}

TEST_F(SqlQueryTest, OrderByNameAddsAHiddenColumn) {
  CreateStars();
  EXPECT_EQ(Read("select id from stars order by name"), (Lines{"id", "3", "2", "1"}));
  EXPECT_EQ(Read("select id, name from stars order by name desc, id"), (Lines{"id name", "1 Vega", "2 Sirius", "3 Deneb"}));
}

TEST_F(SqlQueryTest, JoinsPairRowsThatSatisfyTheCondition) {
  CreateStars();
  CreatePlanets();
  EXPECT_EQ(Read("select stars.name, planets.name from stars, planets where stars.id = planets.star "
                 "order by planets.name"),
            (Lines{"stars.name planets.name", "Vega Alpha", "Deneb Beta", "Vega Gamma"}));
  EXPECT_EQ(Read("select * from planets, stars where star = id and mag > 1"),
            (Lines{"name star id mag name", "Beta 3 3 1.25 Deneb"}));
  EXPECT_EQ(Read("select mag from stars, planets where planets.star < stars.id order by mag"),
            (Lines{"mag", "-1.46", "-1.46", "1.25", "1.25"}));
  Exec("delete from planets");
  EXPECT_EQ(Read("select id from stars, planets"), (Lines{"id"})) << "an empty inner table empties the join";
}

TEST_F(SqlQueryTest, BadQueriesGiveNilAndTheirError) {
  CreateStars();
  CreatePlanets();
  ExpectRefused("select * from moons", 202, "Invalid table moons");
  ExpectRefused("select name from stars, planets", 205, "Ambiguous column reference: name");
  ExpectRefused("select id from stars where zz = 1", 206, "Unknown column: zz");
  ExpectRefused("select id from stars order by zz", 206, "Unknown column: zz");
  ExpectRefused("select id from stars order by 2", 201, "Invalid ORDER BY column");
  ExpectRefused("select id from stars, planets where id = 1 or star = 1", 201, "OR across tables is not supported");
  ExpectRefused("select id from planets, stars where upper(star) = stars.name", 201,
                "UPPER and LOWER apply only to a column of the later table of a join");
  EXPECT_EQ(Select("select from stars"), nullptr);
  EXPECT_EQ(ErrorCode(), 200);
  EXPECT_EQ(Read("select id from stars"), (Lines{"id", "1", "2", "3"}));
  EXPECT_EQ(ErrorCode(), 0) << "a good query clears the error";
}

TEST_F(SqlQueryTest, AggregatesSummariseRunsOfTheGroupingColumn) {
  CreateStars();
  CreatePlanets();
  Exec("insert into planets (name) values ('Rogue')");
  EXPECT_EQ(Read("select count(*), min(mag), max(mag), sum(id) from stars"),
            (Lines{"   ", "3 -1.46 1.25 6"})) << "aggregate columns have no names";
  EXPECT_EQ(Read("select star, count(*) from planets group by star"), (Lines{"star ", "NULL 1", "1 2", "3 1"}));
  // NULLs count as rows but not as values: the average of 1, 1, 3 and NULL is 5/3.
  RuntimeObject* rs = Select("select avg(star), count(*) from planets");
  ASSERT_NE(rs, nullptr);
  RuntimeObject* average = Keep(cursorGetFieldByIndex(rs, 1));
  RuntimeObject* count = Keep(cursorGetFieldByIndex(rs, 2));
  EXPECT_DOUBLE_EQ(cursorFieldDoubleValueGetter(average, 0), 5.0 / 3.0);
  EXPECT_EQ(cursorFieldIntegerValueGetter(count, 0), 4);
  EXPECT_EQ(Read("select min(name), max(name), sum(name), avg(name) from stars"), (Lines{"   ", "NULL NULL NULL NULL"}))
      << "a group without numbers has no minimum, maximum, sum or average";
  Exec("delete from stars");
  EXPECT_EQ(Read("select count(*) from stars"), (Lines{""})) << "no input rows, no group";
}

// A deleted record stays on its page until the page is read again; a row added after it whose
// key sorts before it is still met by every walk of its key.
TEST_F(SqlQueryTest, RowsAddedAfterADeleteAreMetByEveryWalkOfTheirKey) {
  const char* const pair = "id, k2";
  const struct {
    const char* key;
    const char* statement;  // run before the query when given
    const char* query;
    Lines lines;
  } cases[] = {
      {pair, nullptr, "select id, k2 from p where id = 3", {"id k2", "3 2", "3 3"}},
      {pair, nullptr, "select k2 from p where id = 3 order by k2 desc", {"k2", "3", "2"}},
      {pair, nullptr, "select count(*), max(k2) from p where id = 3", {" ", "2 3"}},
      {pair, nullptr, "select p.k2 from o, p where o.id = p.id", {"p.k2", "2", "3"}},
      {pair, nullptr, "select id, k2 from p order by id, k2", {"id k2", "3 2", "3 3"}},
      {pair, "update p set c = 'x' where id = 3", "select k2, c from p", {"k2 c", "2 x", "3 x"}},
      {pair, "delete from p where id = 3", "select k2 from p", {"k2"}},
      {pair, "update p set k2 = 1 where id = 3 and k2 = 3", "select k2 from p where id = 3", {"k2", "1", "2"}},
      {pair, "insert into p (id, k2) values (3, 3)", "select k2 from p where id = 3", {"k2", "2", "3"}},
      {"id", nullptr, "select id, k2 from p where id = 3", {"id k2", "3 3"}},
      {"id", "update p set c = 'x' where id = 3", "select id, c from p", {"id c", "3 x"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + ": " + (c.statement ? c.statement : "") + " " + c.query);
    TearDown();
    SetUp();
    Exec("create table o (id integer not null, primary key (id))");
    Exec(std::string("create table p (id integer not null, k2 integer not null, c varchar(10), primary key (") + c.key + "))");
    for (const char* sql : {"insert into o (id) values (3)", "insert into o (id) values (10)", "insert into p (id, k2) values (3, 2)",
                            "insert into p (id, k2) values (10, 2)", "delete from p where id = 10",
                            std::string(c.key) == "id" ? "delete from p where id = 3" : "", "insert into p (id, k2) values (3, 3)"})
      if (*sql) Exec(sql);
    ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
    if (c.statement) Exec(c.statement);
    EXPECT_EQ(ErrorCode(), c.statement && std::string(c.statement).starts_with("insert") ? 2005 : 0);
    EXPECT_EQ(Read(c.query), c.lines);
  }
}

// After any change a live result steps, against a model, to the row before the one it stood on
// by key (the first when none is), refuses an edit of a row gone and shows its own edits.
TEST_F(SqlQueryTest, ALiveResultStepsAndEditsByKeyAfterEveryChange) {
  const struct {
    int at;  // the row stood on (n), 110: past the end; from the copy after two steps back
    bool fromCopy;
    const char* change;  // SQL, or through the result: "delete", "edit" (its word), "edit key" (n to 55)
    std::map<int, const char*> model;  // rows changed: nullptr for gone
  } cases[] = {
      {10, false, "delete", {{10, nullptr}}}, {50, false, "delete", {{50, nullptr}}}, {50, true, "delete", {{50, nullptr}}},
      {50, true, "delete from w where n = 50", {{50, nullptr}}}, {50, false, "delete from w where n = 40", {{40, nullptr}}},
      {50, true, "delete from w where n = 40", {{40, nullptr}}}, {50, true, "delete from w where n = 60", {{60, nullptr}}},
      {50, false, "insert into w (n, word) values (45, 'w45')", {{45, "w45"}}},
      {50, true, "insert into w (n, word) values (45, 'w45')", {{45, "w45"}}},
      {50, true, "insert into w (n, word) values (55, 'w55')", {{55, "w55"}}}, {50, false, "edit", {{50, "edited"}}},
      {110, false, "delete from w where n >= 80", {{80, nullptr}, {90, nullptr}, {100, nullptr}}},
      {50, true, "edit", {{50, "edited"}}}, {50, true, "edit key", {{50, nullptr}, {55, "w50"}}},
      {100, false, "update w set n = 150 where n = 10", {{10, nullptr}, {150, "w10"}}},
  };
  Exec("create table w (n integer not null, word varchar(20), primary key (n))");
  for (int n = 10; n <= 100; n += 10) Exec("insert into w (n, word) values (" + std::to_string(n) + ", 'w" + std::to_string(n) + "')");
  Exec("commit");
  for (const auto& c : cases) {
    for (const int action : {0, 1, 2, 3, 4, 5}) {  // Previous, then Next; First; Last, then Previous; an edit
      SCOPED_TRACE(std::string(c.change) + " at " + std::to_string(c.at) + (c.fromCopy ? "+2-2, " : ", ") + std::to_string(action));
      std::map<int, std::string> model;  // filled as the table is
      for (int m = 10; m <= 100; m += 10) model[m] = "w" + std::to_string(m);
      RuntimeObject* rs = Select("select n, word from w");
      RuntimeObject *n = Keep(cursorGetFieldByIndex(rs, 1)), *word = Keep(cursorGetFieldByIndex(rs, 2));
      auto text = [](RuntimeObject* field) { return std::string(string::Adopt(cursorFieldStringValueGetter(field, 0)).View()); };
      auto read = [&] { return cursorEOFGetter(rs, 0) ? "EOF" : text(n) + " " + text(word); };
      auto edit = [&](RuntimeObject* field, const char* value) { cursorEdit(rs), databaseCursorFieldSetString(field, string(value).Rep()), cursorUpdate(rs); };
      for (int row = 1; row < c.at / 10 + (c.fromCopy ? 2 : 0); ++row) cursorMoveNext(rs);
      if (c.fromCopy) CursorMovePrev(rs), CursorMovePrev(rs);
      ASSERT_EQ(read(), c.at > 100 ? "EOF" : std::to_string(c.at) + " w" + std::to_string(c.at));
      const std::string_view change = c.change;
      if (change == "delete") cursorDeleteRecord(rs);
      else if (change.starts_with("edit")) change == "edit" ? edit(word, "edited") : edit(n, "55");
      else Exec(c.change);
      for (const auto& [m, w] : c.model) w ? (void)(model[m] = w) : (void)model.erase(m);
      const int standing = change == "edit key" ? 55 : c.at;
      const auto after = model.lower_bound(standing), before = after == model.begin() ? after : std::prev(after);
      const auto expected = action == 0 ? before : action == 1 ? std::next(before) : action == 2 ? model.begin()
                          : action == 3 ? std::prev(model.end()) : action == 4 ? std::prev(model.end(), 2) : model.find(standing);
      (action < 2 ? CursorMovePrev : action == 2 ? CursorMoveFirst : action < 5 ? CursorMoveLast : +[](VornRuntimeObject*) {})(rs);
      if (action == 1 || action == 4) (action == 1 ? cursorMoveNext : CursorMovePrev)(rs);
      if (action == 5) edit(word, "again");
      EXPECT_EQ(ErrorCode() != 0, action == 5 && !model.contains(standing)) << ErrorMessage();
      if (action == 5 && model.contains(standing)) model[standing] = "again";
      std::vector<std::string> rows = {"n word"};
      for (const auto& [m, w] : model) rows.push_back(std::to_string(m) + " " + w);
      EXPECT_EQ(Read("select n, word from w"), rows);
      if (expected != model.end() || action == 1) {
        EXPECT_EQ(read(), expected == model.end() ? "EOF" : std::to_string(expected->first) + " " + expected->second);
      }
      cursorClose(rs), Exec("rollback");
    }
  }
}

TEST_F(SqlQueryTest, RewindingRunsTheQueryAgain) {
  CreateStars();
  RuntimeObject* rs = Select("select name from stars where id < 3 order by id");
  ASSERT_NE(rs, nullptr);
  RuntimeObject* name = Keep(cursorGetFieldByIndex(rs, 1));
  auto current = [&] { return std::string(string::Adopt(cursorFieldStringValueGetter(name, 0)).View()); };
  EXPECT_EQ(current(), "Vega");
  CursorMoveLast(rs);
  EXPECT_EQ(current(), "Sirius");
  CursorMovePrev(rs);
  CursorMovePrev(rs);
  EXPECT_EQ(current(), "Vega") << "stepping back stops at the first row";
  Exec("update stars set name = 'Wega' where id = 1");
  EXPECT_EQ(current(), "Vega") << "the rows were read when the query ran";
  CursorMoveFirst(rs);
  EXPECT_EQ(current(), "Wega");
  // Stepping back and to the end read the rows again too, also what was written through the result.
  cursorEdit(rs);
  databaseCursorFieldSetString(name, string("Edited").Rep());
  cursorUpdate(rs);
  Exec("update stars set name = 'Sirius B' where id = 2");
  cursorMoveNext(rs);
  EXPECT_EQ(current(), "Sirius") << "stepping on reads the rows read before";
  CursorMovePrev(rs);
  EXPECT_EQ(current(), "Edited");
  CursorMoveLast(rs);
  EXPECT_EQ(current(), "Sirius B");
  Exec("delete from stars");
  CursorMoveFirst(rs);
  EXPECT_EQ(RecordSetRecordCount(rs), 0);
  // Rows added to a result made empty are reached, and read like any other.
  RuntimeObject* empty = Select("select name from stars order by id");
  ASSERT_TRUE(empty && cursorBOFGetter(empty, 0));
  Exec("insert into stars (id, name) values (1, 'Altair')");
  CursorMoveLast(empty);
  EXPECT_FALSE(cursorBOFGetter(empty, 0));
  EXPECT_EQ(std::string(string::Adopt(cursorFieldStringValueGetter(Keep(cursorGetFieldByIndex(empty, 1)), 0)).View()),
            "Altair");
  CursorMovePrev(rs);  // from before the first row: onto it
  EXPECT_FALSE(cursorEOFGetter(rs, 0) || cursorBOFGetter(rs, 0));
  EXPECT_EQ(current(), "Altair");
  // A result that lost rows meanwhile steps back onto its last row.
  Exec("insert into stars (id, name) values (2, 'Deneb')");
  CursorMoveLast(rs);
  cursorMoveNext(rs);
  Exec("delete from stars where id = 2");
  CursorMovePrev(rs);
  EXPECT_EQ(current(), "Altair");
  // Rows a commit could not write are undone: stepping back no longer shows them.
  Exec("commit");
  Exec("insert into stars (id, name) values (0, 'Unwritten')");
  CursorMoveFirst(rs);
  EXPECT_EQ(current(), "Unwritten");
  std::filesystem::remove(path + "-journal");
  std::filesystem::create_directory(path + "-journal");
  Exec("commit");
  EXPECT_NE(ErrorCode(), 0);
  CursorMoveFirst(rs);
  EXPECT_EQ(current(), "Altair");
  std::filesystem::remove(path + "-journal");
}

TEST_F(SqlQueryTest, EditsAndDeletionsReachTheirOwnRowOnly) {
  CreateStars();
  CreatePlanets();
  RuntimeObject* rs = Select("select name, mag from stars where id > 1 order by id");
  ASSERT_NE(rs, nullptr);
  cursorEdit(rs);
  RuntimeObject* name = Keep(cursorGetFieldByIndex(rs, 1));
  databaseCursorFieldSetString(name, string("Canopus").Rep());
  cursorUpdate(rs);
  EXPECT_EQ(ErrorCode(), 0) << ErrorMessage();
  EXPECT_EQ(TableRows("stars"), (Lines{"1 0.03 Vega", "2 -1.46 Canopus", "3 1.25 Deneb"}));
  cursorMoveNext(rs);
  cursorDeleteRecord(rs);
  EXPECT_EQ(TableRows("stars"), (Lines{"1 0.03 Vega", "2 -1.46 Canopus"}));

  // A join has no single row and a summary stands for many: nothing goes.
  for (const char* sql : {"select planets.name from stars, planets", "select star, count(*) from planets group by star"}) {
    RuntimeObject* other = Select(sql);
    ASSERT_NE(other, nullptr) << sql;
    cursorDeleteRecord(other);
    EXPECT_EQ(TableRows("planets").size(), 3u) << sql;
    EXPECT_EQ(TableRows("stars").size(), 2u) << sql;
  }
  // Planets has no key: its rows are reached through the table's own cursor.
  RuntimeObject* planets = Select("select name, star from planets where star = 1");
  ASSERT_NE(planets, nullptr);
  cursorEdit(planets);
  databaseCursorFieldSetString(Keep(cursorGetFieldByIndex(planets, 2)), string("7").Rep());
  cursorUpdate(planets);
  cursorMoveNext(planets);
  cursorDeleteRecord(planets);
  EXPECT_EQ(ErrorCode(), 0) << ErrorMessage();
  cursorClose(planets);  // an edited row of a keyless table keeps its place
  EXPECT_EQ(TableRows("planets"), (Lines{"Alpha 7", "Beta 3"}));
}

TEST_F(SqlQueryTest, StatementsRunWhileWalkingAResultLeaveItsRowsWhole) {
  // Longer names split pages under the walk, deletions and insertions move records in them.
  CreateStars();
  for (int i = 4; i <= 60; ++i) Exec("insert into stars (id, name) values (" + std::to_string(i) + ", 's')");
  RuntimeObject* rs = Select("select id from stars");
  ASSERT_NE(rs, nullptr);
  RuntimeObject* id = Keep(cursorGetFieldByIndex(rs, 1));
  std::vector<int32_t> seen;
  for (; !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
    const int32_t value = cursorFieldIntegerValueGetter(id, 0);
    seen.push_back(value);
    Exec("update stars set name = '" + std::string(static_cast<size_t>(value % 7) * 40, 'n') + "' where id = " +
         std::to_string(value));
    if (value % 5 == 0) Exec("delete from stars where id = " + std::to_string(value + 1));
    if (value % 9 == 0) Exec("insert into stars (id, name) values (" + std::to_string(1000 + value) + ", 'late')");
  }
  std::vector<int32_t> expected;
  for (int32_t i = 1; i <= 60; ++i) if (i == 1 || (i - 1) % 5 != 0) expected.push_back(i);
  // Rows added behind the walk's place are met too (36 was deleted before its turn).
  for (int32_t i : {9, 18, 27, 45, 54}) expected.push_back(1000 + i);
  auto show = [](const std::vector<int32_t>& ids) {
    std::string text;
    for (int32_t i : ids) text += std::to_string(i) + " ";
    return text;
  };
  EXPECT_EQ(show(seen), show(expected));
}

// A program's loop over a live result that changes each row it is given, through SQL or through
// the result itself (moving the row's key past the rest), meets each row once; a rollback in the
// middle puts the moved rows back, and the result and the handle go on as if the moves had not
// been made.
TEST_F(SqlQueryTest, ALoopThatChangesEachRowGivenMeetsItOnce) {
  const struct {
    const char* name;
    bool keyed;
    int rows;
    size_t bytes;
    bool moveKeys;      // through the result, else an UPDATE of v
    int rollbackAfter;  // rows given, 0 for none
  } cases[] = {
      {"keyless, 3 rows", false, 3, 10, false, 0},
      {"keyless, 100 rows", false, 100, 10, false, 0},
      {"keyed, 100 rows", true, 100, 10, false, 0},
      {"keys moved, rolled back", true, 100, 100, true, 60},
      {"keys moved, rows of 1,500 bytes, rolled back", true, 40, 1500, true, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string t = "t" + std::to_string(&c - cases);
    Exec("create table " + t + " (id integer not null, v integer, s varchar(1500)" + (c.keyed ? ", primary key (id))" : ")"));
    for (int id = 1; id <= c.rows; ++id)
      Exec("insert into " + t + " (id, v, s) values (" + std::to_string(id) + ", 0, '" + std::string(c.bytes, 's') + "')");
    Exec("commit");
    ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
    RuntimeObject* rs = Select("select id, v, s from " + t);
    ASSERT_NE(rs, nullptr);
    RuntimeObject* id = Keep(cursorGetFieldByIndex(rs, 1));
    RuntimeObject* v = Keep(cursorGetFieldByIndex(rs, 2));
    int given = 0;
    std::vector<std::string> expected;
    for (; !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
      const int32_t value = cursorFieldIntegerValueGetter(id, 0);
      ++given;
      if (!c.moveKeys) {
        Exec("update " + t + " set v = " + std::to_string(cursorFieldIntegerValueGetter(v, 0) + 1) +
             " where id = " + std::to_string(value));
      } else if (given <= c.rollbackAfter) {
        cursorEdit(rs);
        databaseCursorFieldSetString(id, string(std::to_string(value + 5000), kEncodingUTF8).Rep());
        cursorUpdate(rs);
      }
      ASSERT_EQ(ErrorCode(), 0) << given << ": " << ErrorMessage();
      if (given == c.rollbackAfter) {
        Exec("rollback");
        cursorEdit(rs);  // the row given stands where the rollback put it back; its edit stays
        databaseCursorFieldSetString(id, string(std::to_string(value), kEncodingUTF8).Rep());
        databaseCursorFieldSetString(v, string("7").Rep());
        cursorUpdate(rs);

        Exec("insert into " + t + " (id, v, s) values (99999, 0, 'new')");
        Exec("commit");
        ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
      }
      expected.push_back(std::to_string(value) + " " + (c.moveKeys ? (value == c.rollbackAfter ? "7" : "0") : "1"));
    }
    EXPECT_EQ(given, c.rows + (c.rollbackAfter ? 1 : 0));
    std::vector<std::string> rows = Read("select id, v from " + t);
    rows.erase(rows.begin());
    EXPECT_EQ(rows, expected);
  }
}

// A result stands on row 300 while statements run through other cursors; its write reaches that
// row where it now stands, or fails (2003) when no row holds its key, and the walk goes on.
TEST_F(SqlQueryTest, AWriteAfterStatementsMeanwhileReachesItsOwnRowOrFails) {
  std::vector<std::string> split;  // rows before 300 that split its page
  for (int id = 201; id <= 260; ++id)
    split.push_back("insert into t (id, name) values (" + std::to_string(id) + ", '" + std::string(200, 'f') + "')");
  const std::vector<std::string> compacted = {"delete from t where id = 100", "commit",
                                              "update t set name = 'x' where id = 800", "rollback"};
  const std::vector<std::string> deleted = {"delete from t where id = 300"};
  const std::vector<std::string> before = {"insert into t (id, name) values (250, 'new')"};
  enum Kind { kKeyed, kKeyless, kSorted };
  const struct {
    const char* name;
    Kind kind;
    std::vector<std::string> meanwhile;
    bool update;  // else delete
    int32_t error, rowsLeft;
    const char* row300;  // "" for none; no other row is written
    int32_t next;        // the id the walk gives next
  } cases[] = {
      {"deleted, updated", kKeyed, deleted, true, 2003, 7, "", 400},
      {"deleted, keyless, updated", kKeyless, deleted, true, 2003, 7, "", 400},
      {"deleted, deleted", kKeyed, deleted, false, 2003, 7, "", 400},
      {"row inserted before it", kKeyed, before, true, 0, 9, "Edited", 400},
      {"page split under it", kKeyed, split, true, 0, 68, "Edited", 400},
      {"page read again", kKeyed, compacted, true, 0, 7, "Edited", 400},
      {"page read again, keyless", kKeyless, compacted, true, 0, 7, "Edited", 400},
      {"its other column changed", kKeyed, {"update t set name = 'Other' where id = 300"}, true, 0, 8, "Edited", 400},
      {"its key changed", kKeyed, {"update t set id = 350 where id = 300"}, true, 2003, 8, "", 350},
      {"deleted, sorted, updated", kSorted, deleted, true, 2003, 7, "", 400},
      {"row inserted before it, sorted", kSorted, before, true, 0, 9, "Edited", 400},
      {"written before", kKeyed, {"result:First"}, true, 0, 8, "Edited", 400},
      {"written before, keyless", kKeyless, {"result:First"}, true, 0, 8, "Edited", 400},  // at its new key
      {"written before, deleted", kKeyed, {"result:First"}, false, 0, 7, "", 400},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    Exec(std::string("create table t (id integer not null, name varchar(250)") + (c.kind == kKeyless ? ")" : ", primary key (id))"));
    for (int id = 100; id <= 800; id += 100)
      Exec("insert into t (id, name) values (" + std::to_string(id) + ", 'r" + std::to_string(id) + "')");
    Exec("commit");
    RuntimeObject* rs = Select(c.kind == kSorted ? "select id, name from t order by id" : "select id, name from t");
    ASSERT_NE(rs, nullptr);
    RuntimeObject* id = Keep(cursorGetFieldByIndex(rs, 1));
    RuntimeObject* name = Keep(cursorGetFieldByIndex(rs, 2));
    cursorMoveNext(rs);
    cursorMoveNext(rs);
    ASSERT_EQ(cursorFieldIntegerValueGetter(id, 0), 300);
    auto write = [&](const std::string& text) {  // an update to `text`, or a delete without one
      if (text.empty()) return cursorDeleteRecord(rs);
      cursorEdit(rs);
      databaseCursorFieldSetString(name, string(text, kEncodingUTF8).Rep());
      cursorUpdate(rs);
    };
    for (const std::string& sql : c.meanwhile) {
      if (sql.starts_with("result:")) write(sql.substr(7));
      else Exec(sql);
    }
    ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
    write(c.update ? "Edited" : "");
    EXPECT_EQ(ErrorCode(), c.error) << ErrorMessage();
    EXPECT_EQ(ErrorMessage().substr(0, 22), c.error == 0 ? "" : c.update ? "Update failed: the row" : "Delete failed: the row");
    cursorMoveNext(rs);
    EXPECT_EQ(cursorFieldIntegerValueGetter(id, 0), c.next);
    cursorClose(rs);
    EXPECT_EQ(TableRows("t").size(), static_cast<size_t>(c.rowsLeft));
    EXPECT_EQ(Read("select name from t where id = 300 or name = 'Edited'"), (*c.row300 ? Lines{"name", c.row300} : Lines{"name"}));
  }
}

TEST_F(SqlQueryTest, ResultKeepsItsDatabaseAndText) {
  CreateStars();
  RuntimeObject* rs = Select("select id from stars");
  ASSERT_NE(rs, nullptr);
  EXPECT_EQ(CursorFields(rs)->database, db);
  EXPECT_EQ(std::string(string::Share(CursorFields(rs)->query).View()), "select id from stars");
  EXPECT_EQ(RecordSetRecordCount(rs), 3);
}

TEST(SqlQueryEntryPointTest, IsBound) {
  test::ExpectEntryPointsBound({{"databaseSQLSelect", reinterpret_cast<void*>(&databaseSQLSelect)}});
}

}  // namespace
}  // namespace vorn
