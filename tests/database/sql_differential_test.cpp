// Workloads drawn from a seed run on the built-in engine and on SQLite: each statement fails on
// both or neither, each query gives the same rows (under ORDER BY, sort keys in the same order).
// Only what both define alike: integers, small letters, AND and OR grouped to the right, no OR
// across a join, summaries only by GROUP BY. Some workloads grow a table to many leaves. "reopen"
// closes the built-in file and opens it again (SQLite commits). VORN_DIFF_SEEDS=n runs seeds 1
// to n of each kind.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_handle.h"
#include "database/support/sim_disk.h"
#include "support/class_test.h"
#include "support/sanitizer_build.h"

namespace vorn {
namespace {

// `sql` groups conditions in { }: bare for the built-in parser, in brackets for SQLite.
struct Statement {
  Statement(std::string text = "", bool isQuery = false) : sql(std::move(text)), query(isQuery) {}
  std::string sql;
  bool query;
  std::vector<size_t> sortColumns;  // result columns of ORDER BY, in key order
  std::string Text(bool sqlite) const {
    if (sql.find('{') == std::string::npos) return sql;
    std::string text;
    for (char c : sql)
      if (c != '{' && c != '}') text += c;
      else if (sqlite) text += c == '{' ? '(' : ')';
    return text;
  }
};

// p has a two-column key and rows that may be long, q a one-column key (INT for SQLite, which
// would number a NULL given to an INTEGER PRIMARY KEY), r no key, t a three-column key and rows
// from a few bytes to a whole page.
const struct Table {
  const char* name;
  std::vector<std::string> columns;
  const char* ours;
  const char* sqlite;
} kTables[] = {
    {"p", {"id", "k2", "c", "v"}, "create table p (id integer not null, k2 integer not null, c varchar(200), v integer, primary key (id, k2))", nullptr},
    {"q", {"id", "w", "n"}, "create table q (id integer not null, w varchar(200), n integer, primary key (id))",
     "create table q (id int not null, w varchar(200), n integer, primary key (id))"},
    {"r", {"a", "b"}, "create table r (a integer, b varchar(200))", nullptr},
    {"t", {"x", "y", "z", "m", "s"},
     "create table t (x integer not null, y integer not null, z integer not null, m integer, s varchar(8200), primary key (x, y, z))",
     nullptr},
};
const Table& kWide = kTables[3];
bool IsText(const std::string& column) { return column == "c" || column == "w" || column == "b" || column == "s"; }
bool IsKey(const std::string& column) { return column == "id" || column == "k2"; }
// The longest text of t's rows: 10 bytes of record head, four integers of 6 and the text's 6.
constexpr int kLongestText = 8174 - 10 - 4 * 6 - 6;

std::string List(const std::vector<std::string>& names, const char* between = ", ") {
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) list += (i ? between : "") + names[i];
  return list;
}

class Generator {
 public:
  explicit Generator(uint32_t seed)
      : mRandom(seed), mLarge(Chance(4)), mPad(mLarge || Chance(3) ? std::string(120 + Below(60), 'z') : ""),
        mKeys(4 + Below(12)) {}

  std::vector<Statement> Workload() {
    std::vector<Statement> out = {{"commit"}};  // the tables made
    for (const size_t count = 20 + size_t(Below(mLarge ? 200 : 60)); out.size() < count;) {
      const int kind = Below(100);
      const Table& t = kTables[Below(Chance(2) ? 1 : 3)];
      const std::string name = t.name, where = " where " + Condition(t);
      if (kind < 3 && mLarge) {  // rows for several pages, keys ascending, descending or unordered
        const int rows = 20 + Below(60), order = Below(3), id = Below(mKeys);
        for (int i = 0; i < rows; ++i) out.push_back(IntoP(id + Below(2), order == 0 ? i : order == 1 ? rows - i : Below(4 * rows)));
      } else if (kind < 30) {
        std::vector<std::string> names = Some(t, true), values;
        for (const std::string& column : names) values.push_back(Value(column));
        out.push_back({"insert into " + name + " (" + List(names) + ") values (" + List(values) + ")"});
      } else if (kind < 38) {  // a key's rows deleted, rows sorting before them added, the key's prefix read
        const int low = Below(mKeys), high = low + 1 + Below(4);
        out.push_back(IntoP(low, Below(4)));
        out.push_back(IntoP(high, Below(4)));
        if (Chance(2)) out.push_back({"commit"});
        out.push_back({"delete from p where id = " + std::to_string(high)});
        for (int i = Below(3); i >= 0; --i) out.push_back(IntoP(low, Below(4)));
        if (Chance(3)) out.push_back({"commit"});
        out.push_back({"select id, k2 from p where id = " + std::to_string(low), true});
      } else if (kind < 48) {
        out.push_back({"delete from " + name + (Chance(5) ? "" : where)});
      } else if (kind < 58) {
        std::vector<std::string> set;
        for (const std::string& column : Some(t, false)) set.push_back(column + " = " + Value(column));
        out.push_back({"update " + name + " set " + List(set) + where});
      } else if (kind < 63) {
        out.push_back({Chance(5) ? "rollback" : "commit"});
      } else if (kind < 85) {
        std::vector<std::string> names = Some(t, false);
        std::shuffle(names.begin(), names.end(), mRandom);
        out.push_back(Ordered("select " + List(names) + " from " + name + (Chance(4) ? "" : where), names));
      } else if (kind < 93) {  // p and q joined on the key, in either order
        const std::vector<std::string> all = {"p.id", "p.k2", "q.w", "p.c", "q.n"}, names(all.begin(), all.begin() + 2 + Below(4));
        const Table& on = kTables[Below(2)];
        out.push_back(Ordered("select " + List(names) + (Chance(2) ? " from p, q" : " from q, p") + " where p.id = q.id" +
                                  (Chance(2) ? " and {" + Condition(on, std::string(on.name) + ".") + "}" : ""),
                              names));
      } else {  // summaries of an integer column by the first, an integer too
        const std::string of = Pick(t.columns), summary = IsText(of) ? "count(*)" : Pick({"count(*)", "min", "max", "sum"});
        out.push_back({"select " + t.columns[0] + ", " + (summary == "count(*)" ? summary : summary + "(" + of + ")") + " from " +
                           name + (Chance(2) ? where : "") + " group by " + t.columns[0], true});
      }
    }
    return out;
  }

  // Runs of ten to a few thousand rows into t, of a byte to a whole page each (8,174 bytes with
  // every column), with deletes that empty whole leaves, updates that move rows to other keys or
  // change their length, and reopens, so that the tree has hundreds of leaves and several levels
  // and finds keys across them.
  std::vector<Statement> ManyLeaves() {
    std::vector<Statement> out = {{"commit"}};
    for (int runs = 3 + Below(4); runs > 0; --runs) {
      const int rows = 10 + Below(Chance(8) ? 2500 : 150);
      Run(out, rows, Below(4));
      for (int n = 4 + Below(20); n > 0; --n) OnManyLeaves(out, rows);
    }
    return out;
  }

 private:
  // Keys ascending, descending, scattered, or both ends first and then the middle in order.
  void Run(std::vector<Statement>& out, int rows, int order) {
    const int x = Below(mKeys), from = Chance(2) ? 0 : Below(rows);
    // Long runs of short rows, short runs of rows up to a whole page: many leaves either way.
    const int least = rows > 300 ? Pick({1, 5, 200}) : Pick({1, 5, 200, 2000, 5000});
    const int most = std::min(rows > 300 ? 2000 : kLongestText, least + Pick({20, 400, 3000, kLongestText}));
    for (int i = 0; i < rows; ++i) {
      const int y = from + (order == 0 ? i : order == 1 ? rows - i : order == 2 ? Below(4 * rows) : i % 2 ? i / 2 : rows - i / 2);
      out.push_back(IntoT(x + Below(2), y, Below(3), Chance(8) ? most : least + Below(most - least + 1)));
    }
  }

  void OnManyLeaves(std::vector<Statement>& out, int rows) {
    const int kind = Below(100), x = Below(mKeys + 1), low = Below(rows), high = low + 1 + Below(rows / 2 + 1);
    const std::string of = " where x = " + std::to_string(x), span = of + " and y >= " + std::to_string(low) + " and y < " + std::to_string(high);
    if (kind < 20) return Run(out, 5 + Below(60), Below(4));  // into the gaps between leaves, below their first keys
    if (kind < 32) return out.push_back({"delete from t" + Pick({of, span, " where x >= " + std::to_string(x)})});  // whole leaves emptied
    if (kind < 36) return out.push_back({"delete from t where z = " + std::to_string(Below(3))});  // rows of every leaf
    if (kind < 44)  // rows moved to other keys, refused on both when one is taken
      return out.push_back({"update t set " + Pick({"x", "z"}) + " = " + std::to_string(Below(mKeys + 3)) +
                            (Chance(2) ? span : of + " and y = " + std::to_string(low))});
    if (kind < 50) {  // rows that grow to a whole page or shrink
      const size_t length = size_t(Chance(4) ? kLongestText : 1 + Below(kLongestText));
      return out.push_back({"update t set s = '" + std::string(length, Chance(2) ? 'a' : 'b') + "'" + span});
    }
    if (kind < 60) return out.push_back({"reopen"});
    if (kind < 65) return out.push_back({Chance(4) ? "rollback" : "commit"});
    if (kind < 75) return out.push_back({"select x, y, z, s from t" + of + " and y = " + std::to_string(low), true});
    if (kind < 82) return out.push_back({"select x, count(*), min(y), max(y), sum(m) from t group by x", true});
    std::vector<std::string> names = {"x", "y", "z", "m"};
    std::shuffle(names.begin(), names.end(), mRandom);
    out.push_back(Ordered("select " + List(names) + " from t" + span + (Chance(2) ? " and {" + Condition(kWide) + "}" : ""), names));
  }

  Statement IntoT(int x, int y, int z, int length) {
    return {"insert into t (x, y, z, m, s) values (" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) + ", " +
            (Chance(8) ? "NULL" : std::to_string(Below(50))) + ", '" + std::string(size_t(length), char('a' + y % 4)) + "')"};
  }

  int Below(int n) { return int(mRandom() % uint32_t(n)); }
  bool Chance(int oneIn) { return Below(oneIn) == 0; }
  std::string Pick(const std::vector<std::string>& from) { return from[size_t(Below(int(from.size())))]; }
  int Pick(std::initializer_list<int> from) { return from.begin()[Below(int(from.size()))]; }

  std::string Literal(const std::string& column) {
    if (!IsText(column)) return std::to_string(Below(mKeys + 3) - 2);
    std::string word(1 + Below(3), 'a');
    for (char& letter : word) letter = char('a' + Below(4));
    return "'" + word + (Chance(2) ? mPad : "") + "'";
  }
  std::string Value(const std::string& column) { return (IsKey(column) ? Chance(40) : Chance(5)) ? "NULL" : Literal(column); }

  // Some of the table's columns in order, always its last and, with `keys`, its key columns.
  std::vector<std::string> Some(const Table& t, bool keys) {
    std::vector<std::string> names;
    for (const std::string& column : t.columns)
      if ((keys && IsKey(column)) || column == t.columns.back() || Chance(2)) names.push_back(column);
    return names;
  }

  Statement IntoP(int id, int k2) {
    return {"insert into p (id, k2, c, v) values (" + std::to_string(id) + ", " + std::to_string(k2) + ", " + Literal("c") + ", " +
            Literal("v") + ")"};
  }

  // Comparisons of a column with NULL, LIKE, another column of its kind or a value, grouped to the right.
  std::string Condition(const Table& t, const std::string& prefix = "") {
    static const std::vector<std::string> kOperators = {" = ", " <> ", " < ", " > ", " <= ", " >= "};
    const std::string column = Pick(t.columns);
    std::string first = prefix + column + Pick(kOperators) + Literal(column);
    const int kind = Below(10);
    if (kind == 0) first = prefix + column + (Chance(2) ? " is null" : " is not null");
    if (kind == 1 && IsText(column)) first = prefix + column + (Chance(3) ? " not like '" : " like '") + char('a' + Below(4)) + "%'";
    for (const std::string& other : t.columns)
      if (kind == 2 && other != column && IsText(other) == IsText(column)) first = prefix + column + Pick(kOperators) + prefix + other;
    return Chance(2) ? first : "{" + first + "}" + (Chance(3) ? " or " : " and ") + "{" + Condition(t, prefix) + "}";
  }

  // A query, with ORDER BY some of its columns (by name or position) when it is chosen.
  Statement Ordered(const std::string& sql, const std::vector<std::string>& names) {
    Statement s{sql, true};
    for (int n = Chance(3) ? 0 : 1 + Below(2); n > 0; --n) {
      const size_t column = size_t(Below(int(names.size())));
      s.sql += (s.sortColumns.empty() ? " order by " : ", ") + (Chance(3) ? std::to_string(column + 1) : names[column]) +
               (Chance(3) ? " desc" : Chance(2) ? " asc" : "");
      s.sortColumns.push_back(column);
    }
    return s;
  }

  std::mt19937 mRandom;
  bool mLarge;       // more statements, rows in bulk, long texts
  std::string mPad;  // added to some texts, so that rows are long and trees grow pages
  int mKeys;         // key values are drawn from -2 to mKeys
};

using Row = std::vector<std::string>;

// A cell as both engines' texts compare: numbers by value (summaries are doubles), NULL as such.
std::string Cell(const char* text) {
  if (!text) return "NULL";
  char* end = nullptr;
  const double number = std::strtod(text, &end);
  if (!*text || *end) return text;
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.10g", number);
  return buffer;
}

// What the engines must agree on: the sort keys in sequence, then the rows as a multiset.
std::string Answer(const Statement& s, std::vector<Row> rows) {
  std::string text;
  for (const Row& row : rows)
    for (size_t column : s.sortColumns) text += (column < row.size() ? row[column] : "?") + "|";
  std::sort(rows.begin(), rows.end());
  for (const Row& row : rows) text += "\n" + List(row, "|");
  return text;
}

// The built-in engine's Answer to a statement, or "error: " and why.
std::string Ours(RuntimeObject* db, const Statement& s) {
  const string text(s.Text(false), kEncodingUTF8);
  RuntimeObject* rs = s.query ? databaseSQLSelect(db, text.Rep()) : nullptr;
  if (!s.query) databaseSQLExecute(db, text.Rep());
  std::vector<Row> rows;
  for (; rs && !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
    Row& row = rows.emplace_back();
    for (int32_t column = 1; column <= cursorFieldCount(rs, 0); ++column) {
      RuntimeObject* field = cursorGetFieldByIndex(rs, column);
      StringRep* value = cursorFieldStringValueGetter(field, 0);
      row.push_back(Cell(value ? std::string(string::Adopt(value).View()).c_str() : nullptr));
      RuntimeUnlockObject(field);
    }
  }
  RuntimeUnlockObject(rs);
  if (!databaseErrorCodeGetter(db, 0)) return Answer(s, rows);
  return "error: " + std::string(string::Adopt(databaseErrorStringGetter(db, 0)).View());
}

// SQLite's, always inside a transaction as the built-in engine is.
std::string Theirs(sqlite3* db, const Statement& s) {
  auto add = [](void* rows, int count, char** texts, char**) {
    Row& row = static_cast<std::vector<Row>*>(rows)->emplace_back();
    for (int c = 0; c < count; ++c) row.push_back(Cell(texts[c]));
    return 0;
  };
  std::vector<Row> rows;
  char* message = nullptr;
  const bool ends = s.sql == "commit" || s.sql == "rollback";
  const int code = sqlite3_exec(db, (s.Text(true) + (ends ? "; begin" : "")).c_str(), add, &rows, &message);
  const std::string why = message ? message : "";
  sqlite3_free(message);
  return code == SQLITE_OK ? Answer(s, rows) : "error: " + why;
}

// The first statement on which the engines disagree, or "" when they agree throughout.
std::string Disagreement(const std::vector<Statement>& workload) {
  dbtest::SimDisk disk;
  RuntimeObject* ours = WrapBuiltInDatabase(vndbHandle::Create(disk.Storage()));
  sqlite3* theirs = nullptr;
  sqlite3_open(":memory:", &theirs);
  sqlite3_exec(theirs, "begin", nullptr, nullptr, nullptr);
  for (const Table& table : kTables) {
    Ours(ours, {table.ours});
    Theirs(theirs, {table.sqlite ? table.sqlite : table.ours});
  }
  std::string disagreement;
  for (const Statement& s : workload) {
    if (s.sql == "reopen") {
      databaseClose(ours);
      RuntimeUnlockObject(ours);
      ours = WrapBuiltInDatabase(vndbHandle::Open(disk.Storage()));
      Theirs(theirs, {"commit"});
      continue;
    }
    const std::string answer = Ours(ours, s), sqlite = Theirs(theirs, s);
    if (answer == sqlite || (answer.starts_with("error: ") && sqlite.starts_with("error: "))) continue;
    disagreement = s.Text(false).substr(0, 300) + "\nbuilt-in engine: " + answer.substr(0, 2000) + "\nSQLite: " + sqlite.substr(0, 2000);
    break;
  }
  databaseClose(ours);
  RuntimeUnlockObject(ours);
  sqlite3_close(theirs);
  return disagreement;
}

// A workload of many leaves takes about twenty times as long under the sanitizer, which looks
// for memory faults in two of them; the plain run looks for wrong answers in more.
constexpr uint32_t kManyLeafSeeds = test::Rounds(30u, 2u);
constexpr uint32_t kWorkloadSeeds = test::Rounds(400u, 100u);

uint32_t SeedsAsked(uint32_t otherwise) {
  const char* count = std::getenv("VORN_DIFF_SEEDS");
  return count ? uint32_t(std::strtoul(count, nullptr, 10)) : otherwise;
}

// Seeds 1 to `last` of one kind of workload, up to the third that disagrees.
void RunSeeds(uint32_t last, std::vector<Statement> (Generator::*kind)()) {
  for (uint32_t seed = 1, failures = 0; seed <= last && failures < 3; ++seed) {
    const std::string disagreement = Disagreement((Generator(seed).*kind)());
    if (!disagreement.empty()) ADD_FAILURE() << "seed " << seed << ": " << disagreement, ++failures;
  }
}

class SqlDifferentialTest : public test::IntrinsicClassTest {};

TEST_F(SqlDifferentialTest, GeneratedWorkloadsAnswerAsSQLiteDoes) { RunSeeds(SeedsAsked(kWorkloadSeeds), &Generator::Workload); }

TEST_F(SqlDifferentialTest, WorkloadsOfManyLeavesAnswerAsSQLiteDoes) { RunSeeds(SeedsAsked(kManyLeafSeeds), &Generator::ManyLeaves); }

// Workloads kept as they were found, each with what it once did.
TEST_F(SqlDifferentialTest, KeptWorkloadsAnswerAsSQLiteDoes) {
  auto into = [](int x, int y, int z, int length) {
    return Statement("insert into t (x, y, z, s) values (" + std::to_string(x) + ", " + std::to_string(y) + ", " +
                     std::to_string(z) + ", '" + std::string(size_t(length), 'a') + "')");
  };
  auto off = [](int x, int y, int z) {
    return Statement("delete from t where x = " + std::to_string(x) + " and y = " + std::to_string(y) + " and z = " + std::to_string(z));
  };
  const struct {
    const char* what;
    std::vector<Statement> workload;
  } kept[] = {
      {"the last insert refused: a leaf split at its start left a separator below the one before it",
       {into(2, 0, 1, 4000), into(1, 1, 0, 5000), {"delete from t"}, into(2, 1, 1, 4500), {"reopen"}, into(1, 1, 0, 2000),
        off(1, 1, 0), off(2, 1, 1), into(0, 1, 0, 3000), into(1, 0, 1, 4000), {"reopen"}, into(2, 0, 0, 3000), off(2, 0, 0),
        into(2, 0, 0, 4000), {"select x, y, z from t", true}}},
  };
  for (const auto& k : kept) EXPECT_EQ(Disagreement(k.workload), "") << k.what;
}

}  // namespace
}  // namespace vorn
