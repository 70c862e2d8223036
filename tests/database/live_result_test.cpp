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
#include "database/support/sql_database.h"
#include "support/class_test.h"
#include "support/sanitizer_build.h"

namespace vorn {
namespace {

enum Key { kInteger, kPair, kText, kKeyless };

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
  bool where = false, eof = false;
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
  bool Admits(const Row& row) const { return !where || row.n < 500; }

  std::string Text(RuntimeObject* cursor, const char* column) {
    return std::string(string::Adopt(cursorFieldStringValueGetter(Keep(cursorGetFieldByName(cursor, string(column).Rep())), 0)).View());
  }
  std::string Line(RuntimeObject* cursor) { return Text(cursor, "id") + " " + Text(cursor, "n") + " "; }
  std::string Shown() { return cursorEOFGetter(rs, 0) ? "EOF" : Line(rs); }
  std::string Expected() {
    if (!eof && rows.contains(at)) shown = rows[at];
    return eof ? "EOF" : std::to_string(shown.id) + " " + std::to_string(pending.value_or(shown.n)) + " ";
  }
  // Moves the model to the first row the result admits from `from` on, either way.
  template <typename It>
  void Land(It from, It end) {
    while (from != end && !Admits(from->second)) ++from;
    eof = from == end;
    if (!eof) at = from->first, shown = from->second;
  }

  void Move(char how) {
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
    in >> verb >> by >> id >> value;
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
    const bool present = !order.empty() && rows.contains(order);
    const std::string row = " where id = " + std::to_string(id);
    if (verb == "insert") {
      Insert(id, value);
    } else if (verb == "rekey") {  // the row's key changes: it leaves its place for another
      Exec("update t set id = " + std::to_string(value) + ", g = " + std::to_string(value % 4) + ", name = '" + Name(value) + "'" + row);
      if (present && kind == kKeyless) rows[order].id = value;
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
    bool where;
    int rows;
    std::vector<std::string> script;
    unsigned seed = 0;
    int steps = 0;
  };
  std::vector<Case> cases = {
      {"two steps back, the row shown deleted, Next", kInteger, false, 5, {"L", "P", "P", "delete sql 3", "N"}},
      {"two steps back, the row shown leaves the condition, Next", kInteger, true, 5, {"L", "P", "P", "set sql 3 900", "N"}},
      {"the insert of the row shown rolled back, Next", kInteger, false, 5, {"delete sql 3", "commit", "insert sql 3 30", "L", "P", "P", "rollback", "N"}},
      {"the last row deleted behind the row shown, Next", kInteger, false, 5, {"L", "P", "delete sql 5", "N"}},
      {"the last row leaves the condition behind the row shown, Next", kInteger, true, 5, {"L", "P", "set sql 5 900", "N"}},
      {"forth and back, the row shown deleted, Next", kText, false, 6, {"N", "N", "N", "N", "P", "P", "P", "P", "N", "delete sql 2", "N"}},
      {"an edit of a row gone refused, then Previous and Next, then an edit", kInteger, false, 5, {"N", "N", "delete sql 3", "set result 0 77", "P", "N", "set result 0 66"}},
      {"the last row gone, its edit refused, Previous", kInteger, false, 5, {"L", "delete sql 5", "set result 0 1", "P"}},
      {"a deletion of a row gone refused, nothing else deleted, after its page was read again", kInteger, false, 5, {"N", "N", "delete sql 3", "commit", "set sql 1 11", "rollback", "delete result", "N", "P"}},
      {"Previous past the end after steps forward", kInteger, false, 6, {"N", "N", "N", "N", "N", "N", "P"}},
      {"Previous past the end after Last", kInteger, false, 6, {"L", "N", "P"}},
      {"Previous from the first row, the first row deleted by another", kPair, false, 5, {"delete other 1", "P", "P"}},
      {"edited out of the condition through the result, Previous and Next", kText, true, 5, {"N", "set result 0 900", "P", "N", "N"}},
      {"refused commit of the row shown's insert", kKeyless, false, 5, {"commit", "insert sql 9 90", "L", "refuse", "P", "N", "set result 0 5"}},
      {"an edit through the result, then a rollback as a statement", kInteger, false, 5, {"N", "set result 0 77", "rollback sql", "N", "P"}},
      {"an edit through the result, then a refused commit as a statement", kText, false, 5, {"N", "N", "set result 0 77", "refuse sql", "P", "N"}},
  };
  for (Key kind : {kInteger, kPair, kText, kKeyless})
    for (bool where : {false, true})
      for (int rows : {20, test::Rounds(1100, 120)}) cases.push_back({"random", kind, where, rows, {}, unsigned(cases.size()), rows > 100 ? 400 : 300});
  // A case that goes wrong stops at its first wrong step; the others still run.
  auto run = [&](const Case& c) {
    TearDown(), SetUp();
    kind = c.kind, where = c.where, rows.clear();
    Exec(std::string("create table t (id integer not null, g integer not null, name varchar(400) not null, n integer") +
         (kind == kInteger ? ", primary key (id))" : kind == kPair ? ", primary key (g, id))" : kind == kText ? ", primary key (name))" : ")"));
    for (int id = 1; id <= c.rows; ++id) Insert(id, id * 10);
    Exec("commit");
    committed = rows;
    rs = Keep(databaseSQLSelect(db, string(where ? "select id, n from t where n < 500" : "select id, n from t").Rep()));
    Land(rows.begin(), rows.end());
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

}  // namespace
}  // namespace vorn
