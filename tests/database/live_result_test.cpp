// A live result over one table, moved and written while the table changes, against a model of
// the table: every move shows the row next to the key of the row shown in the data as it is now,
// and a row gone stays shown until the next move but cannot be written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/sql_error.h"
#include "database/support/sql_database.h"
#include "support/class_test.h"
#include "support/sanitizer_build.h"

namespace vorn {
namespace {

enum Key { kInteger, kPair, kText, kKeyless };
// The result's condition: none, one on a value, or one on the first column of the key (g, id).
enum Where { kAll, kBelow500, kPrefix };

// Unique per id, its case varying: upper case sorts just before its lower case. The digits after
// it sort before any letter and make keys long, so that a table of 1,100 rows is three levels deep.
std::string Name(int id) {
  std::string name;
  for (int v = id, i = 0; v > 0 || name.empty(); v /= 5, ++i) name += char(((id >> i) & 1 ? 'A' : 'a') + v % 5);
  return name + std::string(300, '0');
}

class LiveResultTest : public dbtest::SqlDatabaseTest {
 protected:
  struct Row {
    int id = 0, n = 0;
    bool operator==(const Row&) const = default;
  };
  Key kind = kInteger;
  Where where = kAll;
  bool eof = false, bof = false;
  std::map<std::string, Row> rows, committed;  // by the table's order
  std::string at;                              // the order of the row shown
  Row shown;
  std::optional<int> pending;  // an edit through the result reads back until the next move or undo
  RuntimeObject* rs = nullptr;

  std::string Order(int id) {
    char text[32];
    if (kind == kKeyless) return "?" + std::to_string(id);  // until LearnRecordOrder
    if (kind != kText) return snprintf(text, sizeof text, "%d%08d", kind == kPair ? id % 4 : 0, id), text;
    std::string order;
    for (char c : Name(id)) order += char(2 * (c | 0x20) + (c >= 'a'));
    return order;
  }
  // A table without a key keeps its rows in the order of their record ids (their bytes
  // reversed), which the engine gives out: the model learns each row's from a walk of the table.
  void LearnRecordOrder() {
    const string star("*"), table("t");
    dbColumnList all{nullptr, star.Rep()};
    RuntimeObject* walk = Keep(DatabaseFields(db)->engine->getTableCursor(DatabaseFields(db)->handle, table.Rep(), &all, nullptr));
    std::map<std::string, Row> learned;
    for (; !cursorEOFGetter(walk, 0); cursorMoveNext(walk)) {
      const std::optional<Bytes> key = BuiltInRowKey(walk);
      learned[std::string(key->begin(), key->end())] = rows[Find(std::stoi(Text(walk, "id")))];
    }
    rows = learned;
  }
  std::string Find(int id) {
    for (const auto& [order, row] : rows) if (row.id == id) return order;
    return "";
  }
  bool Admits(const Row& row) const { return where == kAll || (where == kBelow500 ? row.n < 500 : row.id % 4 == 2); }
  bool Empty() const { return std::ranges::none_of(rows, [&](const auto& row) { return Admits(row.second); }); }

  std::string Text(RuntimeObject* cursor, const char* column) {
    return std::string(string::Adopt(cursorFieldStringValueGetter(Keep(cursorGetFieldByName(cursor, string(column).Rep())), 0)).View());
  }
  std::string Line(RuntimeObject* cursor) { return Text(cursor, "id") + " " + Text(cursor, "n") + " "; }
  std::string Shown() { return cursorEOFGetter(rs, 0) ? "EOF" : Line(rs); }
  std::string Expected() {
    if (ShownIsThere()) shown = rows[at];
    return eof ? "EOF" : std::to_string(shown.id) + " " + std::to_string(pending.value_or(shown.n)) + " ";
  }
  // Whether the row shown is still in the table. A table without a key may give a new row the
  // record id of one deleted: that is another row, which the result does not show.
  bool ShownIsThere() { return !eof && rows.contains(at) && rows[at].id == shown.id; }
  // Moves the model to the first row the result admits from `from` on, either way.
  template <typename It>
  void Land(It from, It end) {
    while (from != end && !Admits(from->second)) ++from;
    eof = from == end;
    if (!eof) at = from->first, shown = from->second;
  }

  // BOF tells an empty result: every move but Next sets it as EOF; Next clears it once a row is
  // there, also where it stays past the end.
  void Move(char how) {
    MoveModel(how);
    if (how != 'N') bof = eof;
    else if (!eof || !Empty()) bof = false;
  }
  void MoveModel(char how) {
    const bool past = eof;
    pending.reset();
    switch (how) {
      case 'N': cursorMoveNext(rs); if (!past) Land(rows.upper_bound(at), rows.end()); break;
      case 'F': CursorMoveFirst(rs), Land(rows.begin(), rows.end()); break;
      case 'L': CursorMoveLast(rs), Land(rows.rbegin(), rows.rend()); break;
      case 'P':
        CursorMovePrev(rs);
        if (past) return Land(rows.rbegin(), rows.rend());
        Land(std::make_reverse_iterator(rows.lower_bound(at)), rows.rend());
        if (eof) Land(rows.begin(), rows.end());  // nothing before: the first row
    }
  }

  // One step of a script: a move, or a change by "sql", "other" (another RecordSet) or "result".
  void Do(const std::string& step) {
    std::istringstream in(step);
    std::string verb, by;
    int id = 0, value = 0;
    in >> verb >> by;
    if (verb == "alter") {  // "alter add a", "alter drop n": no row changes
      std::string column;
      in >> column;
      Exec("alter table t " + by + " " + column + (by == "add" ? " varchar(10)" : ""));
      EXPECT_EQ(ErrorCode(), by == "add" ? 0 : kSqlErrorDropColumn) << ErrorMessage();
      return;
    }
    in >> id >> value;
    if (verb.size() == 1) return Move(verb[0]);
    if (verb == "commit" || verb == "rollback" || verb == "refuse") {
      if (verb == "refuse") std::filesystem::remove(path + "-journal"), std::filesystem::create_directory(path + "-journal");
      if (by == "sql") Exec(verb == "rollback" ? "rollback;" : "COMMIT");
      else (verb == "rollback" ? databaseRollback : databaseCommit)(db);
      const bool refused = ErrorCode() != 0;
      // A commit with nothing to write is not refused.
      EXPECT_EQ(refused, verb == "refuse" && (refused || rows != committed)) << ErrorMessage();
      std::filesystem::remove(path + "-journal");
      if (verb != "rollback" && !refused) committed = rows;
      else rows = committed, pending.reset();
      return;
    }
    const std::string order = by == "result" ? (eof ? "" : at) : Find(id);
    const bool present = by == "result" ? ShownIsThere() : !order.empty() && rows.contains(order);
    const std::string row = " where id = " + std::to_string(id);
    if (verb == "insert") {
      Insert(id, value);
    } else if (verb == "rekey") {  // the row's key changes: it leaves its place for another
      Exec("update t set id = " + std::to_string(value) + ", g = " + std::to_string(value % 4) + ", name = '" + Name(value) + "'" + row);
      if (present && kind == kKeyless) rows[order].id = value, shown.id = order == at ? value : shown.id;
      if (present && kind != kKeyless) rows[Order(value)] = {value, rows[order].n}, rows.erase(order);
    } else if (by == "sql") {
      Exec(verb == "set" ? "update t set n = " + std::to_string(value) + row : "delete from t" + row);
    } else {
      RuntimeObject* cursor = by == "result" ? rs : Keep(databaseSQLSelect(db, string("select * from t" + row, kEncodingUTF8).Rep()));
      if (verb == "delete") {
        cursorDeleteRecord(cursor);
      } else {
        if (cursor == rs) pending = value;
        cursorEdit(cursor);
        databaseCursorFieldSetString(Keep(cursorGetFieldByName(cursor, string("n").Rep())), string(std::to_string(value), kEncodingUTF8).Rep());
        cursorUpdate(cursor);
      }
      if (cursor != rs) cursorClose(cursor);
    }
    // A row gone, or none past the end, cannot be written; a deletion past the end does nothing,
    // its error left as it was.
    if (verb == "delete" && eof && by == "result") return;
    EXPECT_EQ(ErrorCode(), by == "sql" || present || (verb == "delete" && by == "other") ? 0 : 2003) << ErrorMessage();
    if (present && verb == "set") rows[order].n = value;
    if (present && verb == "delete") rows.erase(order);
  }
  void Insert(int id, int n) {
    Exec("insert into t (id, g, name, n) values (" + std::to_string(id) + ", " + std::to_string(id % 4) + ", '" + Name(id) + "', " + std::to_string(n) + ")");
    rows[Order(id)] = {id, n};
    if (kind == kKeyless) LearnRecordOrder();
  }

  std::string RandomStep(std::mt19937& random, int& nextId) {
    auto pick = [&](int n) { return int(random() % n); };
    auto some = [&] { return rows.empty() || pick(4) == 0 ? nextId : std::next(rows.begin(), pick(int(rows.size())))->second.id; };
    const char* by[] = {"sql", "other", "result"};
    switch (pick(16)) {
      case 0: return "set " + std::string(by[pick(3)]) + " " + std::to_string(some()) + " " + std::to_string(pick(1000));
      case 1: return "delete " + std::string(by[pick(3)]) + " " + std::to_string(some());
      case 2: return "insert sql " + std::to_string(nextId++) + " " + std::to_string(pick(1000));
      case 3: return "rekey sql " + std::to_string(some()) + " " + std::to_string(nextId++);
      case 4: return std::string(pick(3) == 0 ? "rollback" : pick(2) ? "commit" : "refuse") + (pick(2) ? " sql" : "");
      case 5: case 6: case 7: case 8: case 9: return pick(8) ? "N" : "N*" + std::to_string(pick(80));
      case 10: case 11: case 12: return pick(8) ? "P" : "P*" + std::to_string(pick(80));
      default: return pick(2) ? "F" : "L";
    }
  }
};

// Each named case is a script over rows id 1..rows (n = 10 id); a seeded case adds random steps
// (runs of moves, changes by a statement, another RecordSet and the result, commits, refused
// commits and rollbacks), every move and change checked against the model.
TEST_F(LiveResultTest, MovesAndWritesFollowTheKeyOfTheRowShownThroughEveryChange) {
  struct Case {
    const char* name;
    Key kind;
    Where where;
    int rows;
    std::vector<std::string> script;
    unsigned seed = 0;
    int steps = 0;
    bool sorted = false;  // ORDER BY the key: a copy of the rows, read again on every move but Next
    bool star = false;    // every column, as the table had them when the result was made
  };
  std::vector<Case> cases = {
      {"two steps back, the row shown deleted, Next", kInteger, kAll, 5, {"L", "P", "P", "delete sql 3", "N"}},
      {"two steps back, the row shown leaves the condition, Next", kInteger, kBelow500, 5, {"L", "P", "P", "set sql 3 900", "N"}},
      {"the insert of the row shown rolled back, Next", kInteger, kAll, 5, {"delete sql 3", "commit", "insert sql 3 30", "L", "P", "P", "rollback", "N"}},
      {"the last row deleted behind the row shown, Next", kInteger, kAll, 5, {"L", "P", "delete sql 5", "N"}},
      {"the last row leaves the condition behind the row shown, Next", kInteger, kBelow500, 5, {"L", "P", "set sql 5 900", "N"}},
      {"forth and back, the row shown deleted, Next", kText, kAll, 6, {"N", "N", "N", "N", "P", "P", "P", "P", "N", "delete sql 2", "N"}},
      {"an edit of a row gone refused, then Previous and Next, then an edit", kInteger, kAll, 5, {"N", "N", "delete sql 3", "set result 0 77", "P", "N", "set result 0 66"}},
      {"the last row gone, its edit refused, Previous", kInteger, kAll, 5, {"L", "delete sql 5", "set result 0 1", "P"}},
      {"a deletion of a row gone refused, nothing else deleted, after its page was read again", kInteger, kAll, 5, {"N", "N", "delete sql 3", "commit", "set sql 1 11", "rollback", "delete result", "N", "P"}},
      {"Previous past the end after steps forward", kInteger, kAll, 6, {"N", "N", "N", "N", "N", "N", "P"}},
      {"Previous past the end after Last", kInteger, kAll, 6, {"L", "N", "P"}},
      {"Previous from the first row, the first row deleted by another", kPair, kAll, 5, {"delete other 1", "P", "P"}},
      {"edited out of the condition through the result, Previous and Next", kText, kBelow500, 5, {"N", "set result 0 900", "P", "N", "N"}},
      {"refused commit of the row shown's insert", kKeyless, kAll, 5, {"commit", "insert sql 9 90", "L", "refuse", "P", "N", "set result 0 5"}},
      {"an edit through the result, then a rollback as a statement", kInteger, kAll, 5, {"N", "set result 0 77", "rollback sql", "N", "P"}},
      {"an edit through the result, then a refused commit as a statement", kText, kAll, 5, {"N", "N", "set result 0 77", "refuse sql", "P", "N"}},
  };
  for (Key kind : {kInteger, kPair, kText, kKeyless})
    for (Where where : {kAll, kBelow500})
      for (int rows : {20, test::Rounds(1100, 120)}) cases.push_back({"random", kind, where, rows, {}, unsigned(cases.size()), rows > 100 ? 400 : 300});
  // Named after the random ones, which keep their seeds.
  cases.insert(cases.end(), {
      {"random: the row shown deleted, a new row given its record id", kKeyless, kBelow500, 20, {}, 46, 300},
      {"an empty result: First, Last, Previous and Next stay past the end, BOF until a row comes", kInteger, kAll, 0, {"F", "L", "P", "N", "insert sql 3 30", "N", "F"}},
      {"a result emptied, its rows back by a rollback: Next past the end, then First", kInteger, kAll, 3, {"delete sql 1", "delete sql 2", "delete sql 3", "F", "rollback", "N", "F"}},
      {"one key prefix: Last and Previous from past the end", kPair, kPrefix, 12, {"N", "N", "N", "P", "N", "N", "L", "N", "L", "P", "P", "N", "N", "N", "P"}},
      {"one key prefix, its first row deleted: Previous from past the end", kPair, kPrefix, 12, {"N", "N", "N", "delete sql 2", "P", "P", "F"}},
      {"to the end and back to the first row, a row put before it, Previous", kInteger, kAll, 3, {"N", "N", "N", "P", "P", "P", "P", "insert sql 0 5", "P", "N"}},
      {"a column that sorts first added under the result, every move and an edit after each", kInteger, kAll, 5, {"alter add a", "F", "set result 0 71", "N", "set result 0 72", "L", "set result 0 73", "P", "set result 0 74", "N", "N", "P", "set result 0 75", "L", "N", "L", "set result 0 76"}, 0, 0, false},
      {"the same past the end of a condition", kInteger, kBelow500, 5, {"alter add a", "L", "N", "P", "set result 0 1", "N", "L", "set result 0 2", "F", "P", "set result 0 3"}, 0, 0, false, true},
      {"a column drop refused under the result, every move and an edit", kInteger, kBelow500, 5, {"alter drop n", "F", "set result 0 71", "N", "L", "N", "P", "set result 0 72", "F", "P", "set result 0 73"}, 0, 0, false},
      {"a column that sorts first added under the result, every move and an edit after each (sorted)", kInteger, kAll, 5, {"alter add a", "F", "set result 0 71", "N", "set result 0 72", "L", "set result 0 73", "P", "set result 0 74", "N", "N", "P", "set result 0 75", "L", "N", "L", "set result 0 76"}, 0, 0, true, true},
      {"a column drop refused under the result, every move and an edit (sorted)", kInteger, kBelow500, 5, {"alter drop n", "F", "set result 0 71", "N", "L", "N", "P", "set result 0 72", "F", "P", "set result 0 73"}, 0, 0, true},
  });
  // A case that goes wrong stops at its first wrong step; the others still run.
  auto run = [&](const Case& c) {
    TearDown(), SetUp();
    kind = c.kind, where = c.where, rows.clear(), pending.reset();
    Exec(std::string("create table t (id integer not null, g integer not null, name varchar(400) not null, n integer") +
         (kind == kInteger ? ", primary key (id))" : kind == kPair ? ", primary key (g, id))" : kind == kText ? ", primary key (name))" : ")"));
    for (int id = 1; id <= c.rows; ++id) Insert(id, id * 10);
    Exec("commit");
    committed = rows;
    const char* condition[] = {"", " where n < 500", " where g = 2"};
    const std::string query = std::string(c.star ? "select * from t" : "select id, n from t") + condition[where];
    rs = Keep(databaseSQLSelect(db, string(query + (c.sorted ? " order by id" : ""), kEncodingUTF8).Rep()));
    Land(rows.begin(), rows.end());
    bof = eof;
    std::mt19937 random(c.seed);
    int nextId = c.rows + 1;
    std::vector<std::string> steps = c.script;
    for (int i = 0; i < c.steps; ++i) {
      const std::string step = RandomStep(random, nextId);
      const size_t star = step.find('*');
      steps.insert(steps.end(), star == std::string::npos ? 1 : std::stoul(step.substr(star + 1)), step.substr(0, star));
    }
    for (const std::string& step : steps) {
      SCOPED_TRACE(step);
      Do(step);
      const std::string shown = Shown(), expected = Expected();
      ASSERT_EQ(shown, expected) << "after " << (&step - steps.data()) << " steps";
      ASSERT_EQ(cursorBOFGetter(rs, 0) != 0, bof);
      ASSERT_EQ(RecordSetRecordCount(rs), std::ranges::count_if(rows, [&](const auto& row) { return Admits(row.second); }));
    }
    std::vector<std::string> table, read;
    for (const auto& [order, row] : rows) table.push_back(std::to_string(row.id) + " " + std::to_string(row.n) + " ");
    for (RuntimeObject* all = Keep(databaseSQLSelect(db, string("select id, n from t").Rep())); !cursorEOFGetter(all, 0); cursorMoveNext(all))
      read.push_back(Line(all));
    EXPECT_EQ(read, table);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + (" " + std::to_string(c.seed)));
    run(c);
  }
}

// A result made before its table gains a column, which a statement then sets, keeps that value
// when it writes the row, whether it opened the table again or not. A column added in a
// transaction that is rolled back leaves the results made meanwhile: an update that edits it
// answers an error (a sorted result's, that of the statement it writes with) and writes nothing
// of the row; the row's other columns read and write as they were.
TEST_F(LiveResultTest, AResultWritesItsTableAsItIsNowWhateverColumnsCameOrWent) {
  struct Case {
    const char* query;
    bool added;      // the column stays; else it goes with a rollback
    bool moveFirst;  // after the change, before the edit
    int32_t moveError;
    std::vector<const char*> edits;
    int32_t error;
    std::vector<std::string> table;
  };
  const std::vector<std::string> untouched = {"1 10", "2 20", "3 30"}, kept = {"kept 1 7", "NULL 2 20", "NULL 3 30"};
  const Case cases[] = {
      {"select * from t", true, false, 0, {"n"}, 0, kept},
      {"select * from t", true, true, 0, {"n"}, 0, kept},
      {"select n, id from t where id < 3", true, false, 0, {"n"}, 0, kept},
      {"select * from t order by id", true, false, 0, {"n"}, 0, kept},
      {"select * from t", false, true, 0, {"a"}, kDbErrorUnknown, untouched},
      {"select * from t", false, true, 0, {"n", "a"}, kDbErrorUnknown, untouched},
      {"select * from t", false, false, 0, {"n", "a"}, kDbErrorUnknown, untouched},
      {"select * from t", false, true, 0, {"n"}, 0, {"1 7", "2 20", "3 30"}},
      {"select * from t", false, false, 0, {"n"}, 0, {"1 7", "2 20", "3 30"}},
      {"select a, n from t where id < 3", false, true, 0, {"n", "a"}, kDbErrorUnknown, untouched},
      // Read again, the rows would lack the column: the copy read before stays.
      {"select * from t order by id", false, true, kSqlErrorUnknownColumn, {"n", "a"}, kSqlErrorMismatch, untouched},
      {"select * from t order by id", false, false, 0, {"a"}, kSqlErrorMismatch, untouched},
      {"select * from t order by id", false, true, kSqlErrorUnknownColumn, {"n"}, 0, {"1 7", "2 20", "3 30"}},
      {"select count(*) from t", false, true, 0, {}, 0, untouched},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.query) + (c.added ? ", added" : ", rolled back") + (c.moveFirst ? ", First" : "") +
                 ", edits " + std::to_string(c.edits.size()));
    TearDown(), SetUp();
    Exec("create table t (id integer not null, n integer, primary key (id))");
    for (int id = 1; id <= 3; ++id) Exec("insert into t (id, n) values (" + std::to_string(id) + ", " + std::to_string(10 * id) + ")");
    Exec("commit");
    if (!c.added) Exec("alter table t add a varchar(10)");
    RuntimeObject* result = Keep(databaseSQLSelect(db, string(c.query).Rep()));
    if (c.added) Exec("alter table t add a varchar(10)"), Exec("update t set a = 'kept' where id = 1");
    else databaseRollback(db);
    ASSERT_TRUE(result) << ErrorMessage();
    if (c.moveFirst) CursorMoveFirst(result);
    EXPECT_EQ(ErrorCode(), c.moveError) << ErrorMessage();
    if (c.edits.empty()) EXPECT_EQ(string::Adopt(cursorFieldStringValueGetter(Keep(cursorGetFieldByIndex(result, 1)), 0)).View(), "3");
    else ASSERT_EQ(Text(result, "n"), "10");
    cursorEdit(result);
    for (const char* column : c.edits)
      databaseCursorFieldSetString(Keep(cursorGetFieldByName(result, string(column).Rep())), string(column[0] == 'n' ? "7" : "x").Rep());
    cursorUpdate(result);
    EXPECT_EQ(ErrorCode(), c.error) << ErrorMessage();
    EXPECT_EQ(TableRows("t"), c.table);
    cursorClose(result);
  }
}

}  // namespace
}  // namespace vorn
