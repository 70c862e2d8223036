// Workloads of SQL generated from a seed, run statement by statement on the built-in engine
// (through the Database class, one connection, held in memory) and on SQLite: every statement
// must succeed or fail on both, and every query give the same rows. A workload that differs is
// cut down to the fewest statements that still differ and printed as a script with both answers.
//
// Seeds 1 to 500 run by default; VORN_DIFF_SEEDS=n runs seeds 1 to n, VORN_DIFF_SEED=s only s.
//
// The statements stay inside what both engines define alike: integer and text columns (texts of
// small letters, so that byte order, LIKE and the sort table agree), primary-key columns NOT
// NULL, conditions grouped explicitly for SQLite as the built-in parser groups them (AND and OR
// of equal precedence, to the right), no OR across the tables of a join, summaries only by
// GROUP BY (without it the built-in engine gives no row for no rows), and numbers compared by
// value (its summaries are doubles). Rows are compared as multisets; under ORDER BY the sort
// keys' values must also come in the same sequence.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_handle.h"
#include "files/file_handle.h"
#include "support/class_test.h"

namespace vorn {
namespace {

struct Statement {
  Statement(std::string text, std::string grouped, bool isQuery = false)
      : ours(std::move(text)), sqlite(std::move(grouped)), query(isQuery) {}
  std::string ours;
  std::string sqlite;              // the same statement, its conditions grouped in brackets
  bool query = false;
  std::vector<size_t> sortColumns;  // result columns of ORDER BY, in key order
};

struct Outcome {
  bool failed = false;
  std::string error;
  std::vector<std::vector<std::string>> rows;
};

// A cell as both engines' texts compare: numbers by value, NULL as such.
std::string Cell(const char* text) {
  if (!text) return "NULL";
  char* end = nullptr;
  const double number = std::strtod(text, &end);
  if (*text && end && !*end) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", number);
    return buffer;
  }
  return text;
}

std::string Show(const Outcome& outcome) {
  if (outcome.failed) return "error: " + outcome.error + "\n";
  std::string text;
  for (const auto& row : outcome.rows) {
    for (size_t c = 0; c < row.size(); ++c) text += (c ? "|" : "") + row[c];
    text += "\n";
  }
  return text.empty() ? "(no rows)\n" : text;
}

// --- the generator --------------------------------------------------------------------------

// Tables: p has a two-column key and rows that may be padded long (so that a few dozen fill a
// page), q a one-column key, r no key at all.
struct Column {
  const char* name;
  bool text;
  bool key;
};
struct Table {
  const char* name;
  std::vector<Column> columns;
};
const Table kTables[] = {
    {"p", {{"id", false, true}, {"k2", false, true}, {"c", true, false}, {"v", false, false}}},
    {"q", {{"id", false, true}, {"w", true, false}, {"n", false, false}}},
    {"r", {{"a", false, false}, {"b", true, false}}},
};

class Generator {
 public:
  explicit Generator(uint32_t seed) : mRandom(seed) {
    mLarge = Chance(4);
    mPad = mLarge || Chance(3) ? std::string(120 + Below(60), 'z') : std::string();
    mKeys = 4 + Below(12);
  }

  // SQLite makes a lone INTEGER PRIMARY KEY the row id, which numbers a NULL instead of
  // refusing it: q's key is declared INT there.
  std::vector<Statement> Setup() const {
    const std::string q = "create table q (id integer not null, w varchar(200), n integer, primary key (id))";
    return {Plain("create table p (id integer not null, k2 integer not null, c varchar(200), v integer, primary key (id, k2))"),
            {q, "create table q (id int not null, w varchar(200), n integer, primary key (id))"},
            Plain("create table r (a integer, b varchar(200))"), Plain("commit")};
  }

  std::vector<Statement> Workload() {
    std::vector<Statement> statements;
    const size_t count = 20 + Below(mLarge ? 200 : 60);
    while (statements.size() < count) {
      const int kind = Below(100);
      if (kind < 3 && mLarge) Bulk(statements);
      else if (kind < 30) statements.push_back(Insert(Pick()));
      else if (kind < 38) Burst(statements);
      else if (kind < 48) statements.push_back(Delete(Pick()));
      else if (kind < 58) statements.push_back(Update(Pick()));
      else if (kind < 63) statements.push_back(Plain(Chance(5) ? "rollback" : "commit"));
      else if (kind < 85) statements.push_back(Select(Pick()));
      else if (kind < 93) statements.push_back(Join());
      else statements.push_back(Grouped(Pick()));
    }
    return statements;
  }

 private:
  int Below(int n) { return int(mRandom() % uint32_t(n)); }
  bool Chance(int oneIn) { return Below(oneIn) == 0; }
  const Table& Pick() { return kTables[Below(Chance(2) ? 1 : 3)]; }

  std::string Number() { return std::to_string(Below(mKeys + 3) - 2); }
  std::string Word() {
    std::string word(1 + Below(3), 'a');
    for (char& letter : word) letter = char('a' + Below(4));
    return word + (Chance(2) ? mPad : std::string());
  }
  std::string Value(const Column& column) {
    if (column.key ? Chance(40) : Chance(5)) return "NULL";
    return column.text ? "'" + Word() + "'" : Number();
  }
  static Statement Plain(const std::string& text) { return {text, text}; }

  Statement Insert(const Table& table) {
    std::string names, values;
    for (const Column& column : table.columns) {
      if (!column.key && Chance(4) && &column != &table.columns.back()) continue;  // left out: NULL
      names += std::string(names.empty() ? "" : ", ") + column.name;
      values += (values.empty() ? "" : ", ") + Value(column);
    }
    return Plain("insert into " + std::string(table.name) + " (" + names + ") values (" + values + ")");
  }

  // Rows of one leading key deleted and others inserted whose keys sort before them, then read
  // by that leading key: the walks of a key prefix past deleted records.
  void Burst(std::vector<Statement>& statements) {
    const std::string low = std::to_string(Below(mKeys));
    const std::string high = std::to_string(std::stoi(low) + 1 + Below(4));
    auto row = [&](const std::string& id) {
      return Plain("insert into p (id, k2, c) values (" + id + ", " + std::to_string(Below(4)) + ", '" + Word() + "')");
    };
    statements.push_back(row(low));
    statements.push_back(row(high));
    if (Chance(2)) statements.push_back(Plain("commit"));
    statements.push_back(Plain("delete from p where id = " + high));
    for (int i = Below(3); i >= 0; --i) statements.push_back(row(low));
    if (Chance(3)) statements.push_back(Plain("commit"));
    statements.push_back({"select id, k2 from p where id = " + low, "select id, k2 from p where id = " + low, true});
  }

  // Rows enough for several pages, their keys ascending, descending or in no order.
  void Bulk(std::vector<Statement>& statements) {
    const int rows = 20 + Below(60), order = Below(3), id = Below(mKeys);
    for (int i = 0; i < rows; ++i) {
      const int k2 = order == 0 ? i : order == 1 ? rows - i : Below(4 * rows);
      statements.push_back(Plain("insert into p (id, k2, c, v) values (" + std::to_string(id + Below(2)) + ", " +
                                 std::to_string(k2) + ", '" + Word() + "', " + Number() + ")"));
    }
  }

  // One comparison of a column of `table` (named `qualifier.column` when given); both texts.
  std::pair<std::string, std::string> Comparison(const Table& table, const std::string& qualifier) {
    const Column& column = table.columns[Below(int(table.columns.size()))];
    const std::string name = qualifier.empty() ? column.name : qualifier + "." + column.name;
    static const char* kOperators[] = {"=", "<>", "<", ">", "<=", ">="};
    std::string text;
    const int kind = Below(10);
    if (kind == 0) text = name + (Chance(2) ? " is null" : " is not null");
    else if (kind == 1 && column.text) text = name + (Chance(3) ? " not like '" : " like '") + std::string(1, char('a' + Below(4))) + "%'";
    else if (kind == 2) {
      // Another column of the same kind in the same table.
      for (const Column& other : table.columns) {
        if (&other != &column && other.text == column.text) {
          text = name + " " + kOperators[Below(6)] + " " + (qualifier.empty() ? other.name : qualifier + "." + other.name);
          break;
        }
      }
    }
    if (text.empty()) text = name + " " + kOperators[Below(6)] + " " + (column.text ? "'" + Word() + "'" : Number());
    return {text, text};
  }

  // Comparisons joined by AND and OR: the built-in parser groups them to the right.
  std::pair<std::string, std::string> Condition(const Table& table, const std::string& qualifier = "") {
    auto [ours, sqlite] = Comparison(table, qualifier);
    if (Chance(2)) return {ours, sqlite};
    const char* junction = Chance(3) ? " or " : " and ";
    auto [restOurs, restSqlite] = Condition(table, qualifier);
    return {ours + junction + restOurs, "(" + sqlite + ")" + junction + "(" + restSqlite + ")"};
  }

  Statement Delete(const Table& table) {
    const std::string head = "delete from " + std::string(table.name);
    if (Chance(5)) return Plain(head);
    auto [ours, sqlite] = Condition(table);
    return {head + " where " + ours, head + " where " + sqlite};
  }

  Statement Update(const Table& table) {
    std::string set;
    for (const Column& column : table.columns) {
      if (set.empty() ? !Chance(3) : !Chance(2)) continue;
      set += std::string(set.empty() ? "" : ", ") + column.name + " = " + Value(column);
    }
    if (set.empty()) set = std::string(table.columns.back().name) + " = " + Value(table.columns.back());
    const std::string head = "update " + std::string(table.name) + " set " + set;
    auto [ours, sqlite] = Condition(table);
    return {head + " where " + ours, head + " where " + sqlite};
  }

  // ORDER BY some of the result's columns (by name or position), when it is chosen.
  void Order(Statement& s, const std::vector<std::string>& names) {
    if (Chance(3)) return;
    std::string keys;
    for (int n = 1 + Below(2); n > 0; --n) {
      const size_t column = size_t(Below(int(names.size())));
      keys += std::string(keys.empty() ? "" : ", ") + (Chance(3) ? std::to_string(column + 1) : names[column]) +
              (Chance(3) ? " desc" : Chance(2) ? " asc" : "");
      s.sortColumns.push_back(column);
    }
    s.ours += " order by " + keys;
    s.sqlite += " order by " + keys;
  }

  Statement Select(const Table& table) {
    std::vector<std::string> names;
    for (const Column& column : table.columns)
      if (Chance(2) || names.empty()) names.push_back(column.name);
    std::shuffle(names.begin(), names.end(), mRandom);
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    Statement s{"select " + list + " from " + table.name, "select " + list + " from " + table.name, true};
    if (!Chance(4)) {
      auto [ours, sqlite] = Condition(table);
      s.ours += " where " + ours;
      s.sqlite += " where " + sqlite;
    }
    Order(s, names);
    return s;
  }

  // p and q (or q and p) joined on id, with more comparisons of one of them.
  Statement Join() {
    const bool pFirst = Chance(2);
    const std::string from = pFirst ? " from p, q" : " from q, p";
    const std::vector<std::string> names = {"p.id", "p.k2", "q.w", "p.c", "q.n"};
    const std::vector<std::string> chosen(names.begin(), names.begin() + 2 + Below(4));
    std::string list;
    for (const std::string& name : chosen) list += (list.empty() ? "" : ", ") + name;
    const std::string on = Chance(2) ? "p.id = q.id" : "q.id = p.id";
    Statement s{"select " + list + from + " where " + on, "select " + list + from + " where " + on, true};
    if (Chance(2)) {
      const bool onP = Chance(2);
      auto [ours, sqlite] = Condition(kTables[onP ? 0 : 1], onP ? "p" : "q");
      s.ours += " and " + ours;
      s.sqlite += " and (" + sqlite + ")";
    }
    Order(s, chosen);
    return s;
  }

  // Rows summarised by one integer column.
  Statement Grouped(const Table& table) {
    std::vector<const Column*> numbers;
    for (const Column& column : table.columns)
      if (!column.text) numbers.push_back(&column);
    const std::string by = numbers[size_t(Below(int(numbers.size())))]->name;
    const std::string of = numbers[size_t(Below(int(numbers.size())))]->name;
    static const char* kSummaries[] = {"count(*)", "min", "max", "sum"};
    std::string list = by;
    for (int n = 1 + Below(2); n > 0; --n) {
      const int summary = Below(4);
      list += std::string(", ") + kSummaries[summary] + (summary ? "(" + of + ")" : "");
    }
    Statement s{"select " + list + " from " + table.name, "select " + list + " from " + table.name, true};
    if (Chance(2)) {
      auto [ours, sqlite] = Condition(table);
      s.ours += " where " + ours;
      s.sqlite += " where " + sqlite;
    }
    s.ours += " group by " + by;
    s.sqlite += " group by " + by;
    return s;
  }

  std::mt19937 mRandom;
  bool mLarge = false;  // more statements, rows in bulk, long texts
  std::string mPad;  // added to some texts, so that rows are long and trees grow pages
  int mKeys = 8;     // key values are drawn from -2 to mKeys
};

// --- the two engines --------------------------------------------------------------------------

class Ours {
 public:
  Ours() : mDb(WrapBuiltInDatabase(vndbHandle::Create(std::make_unique<FileHandle>()))) {}
  ~Ours() {
    databaseClose(mDb);
    RuntimeUnlockObject(mDb);
  }

  Outcome Run(const Statement& s) {
    Outcome outcome;
    const string text(s.ours, kEncodingUTF8);
    RuntimeObject* rs = nullptr;
    if (s.query) rs = databaseSQLSelect(mDb, text.Rep());
    else databaseSQLExecute(mDb, text.Rep());
    for (; rs && !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
      outcome.rows.emplace_back();
      for (int32_t column = 1; column <= cursorFieldCount(rs, 0); ++column) {
        RuntimeObject* field = cursorGetFieldByIndex(rs, column);
        StringRep* value = cursorFieldStringValueGetter(field, 0);
        outcome.rows.back().push_back(Cell(value ? std::string(string::Adopt(value).View()).c_str() : nullptr));
        RuntimeUnlockObject(field);
      }
    }
    RuntimeUnlockObject(rs);
    if (databaseErrorCodeGetter(mDb, 0) != 0) {
      outcome.failed = true;
      outcome.error = std::to_string(databaseErrorCodeGetter(mDb, 0)) + " " +
                      std::string(string::Adopt(databaseErrorStringGetter(mDb, 0)).View());
      outcome.rows.clear();
    }
    return outcome;
  }

 private:
  RuntimeObject* mDb;
};

class Sqlite {
 public:
  Sqlite() {
    sqlite3_open(":memory:", &mDb);
    Exec("begin");
  }
  ~Sqlite() { sqlite3_close(mDb); }

  Outcome Run(const Statement& s) {
    // The built-in engine is always inside a transaction; SQLite starts the next one at once.
    if (s.sqlite == "commit" || s.sqlite == "rollback") {
      Outcome outcome;
      outcome.failed = !Exec(s.sqlite) || !Exec("begin");
      return outcome;
    }
    Outcome outcome;
    sqlite3_stmt* statement = nullptr;
    int result = sqlite3_prepare_v2(mDb, s.sqlite.c_str(), -1, &statement, nullptr);
    while (result == SQLITE_OK && (result = sqlite3_step(statement)) == SQLITE_ROW) {
      outcome.rows.emplace_back();
      for (int c = 0; c < sqlite3_column_count(statement); ++c) {
        const unsigned char* text = sqlite3_column_text(statement, c);
        outcome.rows.back().push_back(Cell(reinterpret_cast<const char*>(text)));
      }
      result = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    if (result != SQLITE_DONE) {
      outcome.failed = true;
      outcome.error = sqlite3_errmsg(mDb);
      outcome.rows.clear();
    }
    return outcome;
  }

 private:
  bool Exec(const std::string& sql) { return sqlite3_exec(mDb, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK; }
  sqlite3* mDb = nullptr;
};

bool Same(const Statement& s, const Outcome& ours, const Outcome& theirs) {
  if (ours.failed || theirs.failed) return ours.failed == theirs.failed;
  auto keys = [&](const Outcome& outcome) {
    std::vector<std::vector<std::string>> sequence;
    for (const auto& row : outcome.rows) {
      sequence.emplace_back();
      for (size_t column : s.sortColumns) sequence.back().push_back(column < row.size() ? row[column] : "?");
    }
    return sequence;
  };
  if (keys(ours) != keys(theirs)) return false;
  auto a = ours.rows, b = theirs.rows;
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

struct Difference {
  size_t at = 0;  // the statement
  Outcome ours, theirs;
};

// The first statement the engines answer differently, after the setup.
std::optional<Difference> FirstDifference(const std::vector<Statement>& setup, const std::vector<Statement>& statements) {
  Ours ours;
  Sqlite theirs;
  for (const Statement& s : setup) {
    ours.Run(s);
    theirs.Run(s);
  }
  for (size_t i = 0; i < statements.size(); ++i) {
    Difference difference{i, ours.Run(statements[i]), theirs.Run(statements[i])};
    if (!Same(statements[i], difference.ours, difference.theirs)) return difference;
  }
  return std::nullopt;
}

// Delta debugging over the statements: chunks, then single statements, are dropped while the
// engines still differ somewhere.
std::vector<Statement> Minimal(const std::vector<Statement>& setup, std::vector<Statement> statements) {
  if (auto difference = FirstDifference(setup, statements)) statements.erase(statements.begin() + long(difference->at + 1), statements.end());
  for (size_t chunk = std::max<size_t>(statements.size() / 2, 1);; chunk = std::max<size_t>(chunk / 2, 1)) {
    bool dropped = false;
    for (size_t start = 0; start < statements.size();) {
      std::vector<Statement> fewer(statements.begin(), statements.begin() + long(start));
      fewer.insert(fewer.end(), statements.begin() + long(std::min(start + chunk, statements.size())), statements.end());
      if (auto difference = FirstDifference(setup, fewer)) {
        fewer.erase(fewer.begin() + long(difference->at + 1), fewer.end());
        statements = std::move(fewer);
        dropped = true;
      } else {
        start += chunk;
      }
    }
    if (chunk == 1 && !dropped) return statements;
  }
}

std::string Script(const std::vector<Statement>& setup, const std::vector<Statement>& statements) {
  std::string text;
  for (const Statement& s : setup) {
    text += s.ours + ";\n";
    if (s.sqlite != s.ours) text += "  -- SQLite: " + s.sqlite + ";\n";
  }
  for (const Statement& s : statements) {
    text += s.ours + ";\n";
    if (s.sqlite != s.ours) text += "  -- SQLite: " + s.sqlite + ";\n";
  }
  return text;
}

std::vector<uint32_t> Seeds() {
  if (const char* one = std::getenv("VORN_DIFF_SEED")) return {uint32_t(std::strtoul(one, nullptr, 10))};
  const char* count = std::getenv("VORN_DIFF_SEEDS");
  std::vector<uint32_t> seeds(count ? std::strtoul(count, nullptr, 10) : 500);
  for (size_t i = 0; i < seeds.size(); ++i) seeds[i] = uint32_t(i + 1);
  return seeds;
}

class SqlDifferentialTest : public test::IntrinsicClassTest {};

TEST_F(SqlDifferentialTest, GeneratedWorkloadsAnswerAsSQLiteDoes) {
  int failures = 0;
  for (uint32_t seed : Seeds()) {
    Generator generator(seed);
    const std::vector<Statement> setup = generator.Setup();
    const std::vector<Statement> statements = generator.Workload();
    if (!FirstDifference(setup, statements)) continue;
    const std::vector<Statement> minimal = Minimal(setup, statements);
    const std::optional<Difference> difference = FirstDifference(setup, minimal);
    ASSERT_TRUE(difference);
    ADD_FAILURE() << "seed " << seed << " (VORN_DIFF_SEED=" << seed << "), cut down to:\n"
                  << Script(setup, minimal) << "built-in engine:\n"
                  << Show(difference->ours) << "SQLite:\n"
                  << Show(difference->theirs);
    if (++failures == 3) break;
  }
}

}  // namespace
}  // namespace vorn
