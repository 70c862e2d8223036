// Workloads of SQL generated from a seed, run statement by statement on the built-in engine
// (one connection, held in memory) and on SQLite: every statement must succeed or fail on both,
// every query give the same rows (as multisets, and under ORDER BY the sort keys in the same
// sequence). A workload that differs is cut down and printed as a script with both answers.
// Seeds 1 to 500 run by default; VORN_DIFF_SEEDS=n runs seeds 1 to n, VORN_DIFF_SEED=s only s.
//
// The statements stay inside what both engines define alike: integer columns and texts of small
// letters (byte order, LIKE and the sort table agree), key columns NOT NULL, AND and OR grouped
// for SQLite as the built-in parser groups them (equal precedence, to the right), no OR across
// a join, summaries only by GROUP BY (without it the built-in engine gives no row for no rows),
// and numbers compared by value (its summaries are doubles).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
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
  Statement(std::string text = "", bool isQuery = false) : sql(std::move(text)), query(isQuery) {}
  std::string sql;  // conditions grouped in { }: bare for the built-in parser, bracketed for SQLite
  bool query = false;
  std::vector<size_t> sortColumns;  // result columns of ORDER BY, in key order

  std::string Text(bool sqlite) const {
    std::string text;
    for (char c : sql) {
      if (c != '{' && c != '}') text += c;
      else if (sqlite) text += c == '{' ? '(' : ')';
    }
    return text;
  }
};

// Tables: p has a two-column key and rows that may be padded long (so that a few dozen fill a
// page), q a one-column key, r no key at all. SQLite makes a lone INTEGER PRIMARY KEY the row id,
// which numbers a NULL instead of refusing it: q's key is declared INT there.
struct Column {
  const char* name;
  bool text, key;
};
const struct Table {
  const char* name;
  std::vector<Column> columns;
  const char* ours;
  const char* sqlite;
} kTables[] = {
    {"p", {{"id", false, true}, {"k2", false, true}, {"c", true, false}, {"v", false, false}},
     "create table p (id integer not null, k2 integer not null, c varchar(200), v integer, primary key (id, k2))", nullptr},
    {"q", {{"id", false, true}, {"w", true, false}, {"n", false, false}},
     "create table q (id integer not null, w varchar(200), n integer, primary key (id))",
     "create table q (id int not null, w varchar(200), n integer, primary key (id))"},
    {"r", {{"a", false, false}, {"b", true, false}}, "create table r (a integer, b varchar(200))", nullptr},
};

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
    std::vector<Statement> out;
    for (const size_t count = 20 + size_t(Below(mLarge ? 200 : 60)); out.size() < count;) {
      const int kind = Below(100);
      const Table& table = kTables[Below(Chance(2) ? 1 : 3)];
      if (kind < 3 && mLarge) Bulk(out);
      else if (kind < 30) out.push_back({Insert(table)});
      else if (kind < 38) Burst(out);
      else if (kind < 48) out.push_back({Delete(table)});
      else if (kind < 58) out.push_back({Update(table)});
      else if (kind < 63) out.push_back({Chance(5) ? "rollback" : "commit"});
      else if (kind < 85) out.push_back(Select(table));
      else if (kind < 93) out.push_back(Join());
      else out.push_back(Grouped(table));
    }
    return out;
  }

 private:
  int Below(int n) { return int(mRandom() % uint32_t(n)); }
  bool Chance(int oneIn) { return Below(oneIn) == 0; }

  std::string Number() { return std::to_string(Below(mKeys + 3) - 2); }
  std::string Word() {
    std::string word(1 + Below(3), 'a');
    for (char& letter : word) letter = char('a' + Below(4));
    return word + (Chance(2) ? mPad : "");
  }
  std::string Value(const Column& column) {
    if (column.key ? Chance(40) : Chance(5)) return "NULL";
    return column.text ? "'" + Word() + "'" : Number();
  }

  std::string Insert(const Table& table) {
    std::vector<std::string> names, values;
    for (const Column& column : table.columns) {
      if (!column.key && Chance(4) && &column != &table.columns.back()) continue;  // left out: NULL
      names.push_back(column.name);
      values.push_back(Value(column));
    }
    return "insert into " + std::string(table.name) + " (" + List(names) + ") values (" + List(values) + ")";
  }

  Statement IntoP(int id, int k2) {
    return {"insert into p (id, k2, c, v) values (" + std::to_string(id) + ", " + std::to_string(k2) + ", '" + Word() + "', " +
            Number() + ")"};
  }

  // Rows of one leading key deleted and others inserted whose keys sort before them, then read
  // by that leading key: the walks of a key prefix past deleted records.
  void Burst(std::vector<Statement>& out) {
    const int low = Below(mKeys), high = low + 1 + Below(4);
    out.push_back(IntoP(low, Below(4)));
    out.push_back(IntoP(high, Below(4)));
    if (Chance(2)) out.push_back({"commit"});
    out.push_back({"delete from p where id = " + std::to_string(high)});
    for (int i = Below(3); i >= 0; --i) out.push_back(IntoP(low, Below(4)));
    if (Chance(3)) out.push_back({"commit"});
    out.push_back({"select id, k2 from p where id = " + std::to_string(low), true});
  }

  // Rows enough for several pages, their keys ascending, descending or in no order.
  void Bulk(std::vector<Statement>& out) {
    const int rows = 20 + Below(60), order = Below(3), id = Below(mKeys);
    for (int i = 0; i < rows; ++i) out.push_back(IntoP(id + Below(2), order == 0 ? i : order == 1 ? rows - i : Below(4 * rows)));
  }

  // One comparison of a column of `table` (named `qualifier.column` when given): with NULL,
  // LIKE, another column of its kind, or a value.
  std::string Comparison(const Table& table, const std::string& qualifier) {
    static const char* const kOperators[] = {"=", "<>", "<", ">", "<=", ">="};
    auto named = [&](const Column& c) { return qualifier.empty() ? std::string(c.name) : qualifier + "." + c.name; };
    const Column& column = table.columns[size_t(Below(int(table.columns.size())))];
    const int kind = Below(10);
    if (kind == 0) return named(column) + (Chance(2) ? " is null" : " is not null");
    if (kind == 1 && column.text) return named(column) + (Chance(3) ? " not like '" : " like '") + char('a' + Below(4)) + "%'";
    const std::string op = std::string(" ") + kOperators[Below(6)] + " ";
    if (kind == 2)
      for (const Column& other : table.columns)
        if (&other != &column && other.text == column.text) return named(column) + op + named(other);
    return named(column) + op + (column.text ? "'" + Word() + "'" : Number());
  }

  // Comparisons joined by AND and OR: the built-in parser groups them to the right.
  std::string Condition(const Table& table, const std::string& qualifier = "") {
    const std::string first = Comparison(table, qualifier);
    if (Chance(2)) return first;
    const std::string junction = Chance(3) ? " or " : " and ";
    return "{" + first + "}" + junction + "{" + Condition(table, qualifier) + "}";
  }

  std::string Delete(const Table& table) {
    return "delete from " + std::string(table.name) + (Chance(5) ? "" : " where " + Condition(table));
  }

  std::string Update(const Table& table) {
    std::string set;
    for (const Column& column : table.columns)
      if (set.empty() ? Chance(3) : Chance(2)) set += (set.empty() ? "" : ", ") + std::string(column.name) + " = " + Value(column);
    if (set.empty()) set = std::string(table.columns.back().name) + " = " + Value(table.columns.back());
    return "update " + std::string(table.name) + " set " + set + " where " + Condition(table);
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

  Statement Select(const Table& table) {
    std::vector<std::string> names;
    for (const Column& column : table.columns)
      if (Chance(2) || names.empty()) names.push_back(column.name);
    std::shuffle(names.begin(), names.end(), mRandom);
    return Ordered("select " + List(names) + " from " + table.name + (Chance(4) ? "" : " where " + Condition(table)), names);
  }

  // p and q (or q and p) joined on id, with more comparisons of one of them.
  Statement Join() {
    const std::vector<std::string> all = {"p.id", "p.k2", "q.w", "p.c", "q.n"};
    const std::vector<std::string> names(all.begin(), all.begin() + 2 + Below(4));
    std::string sql = "select " + List(names) + (Chance(2) ? " from p, q" : " from q, p");
    sql += Chance(2) ? " where p.id = q.id" : " where q.id = p.id";
    if (Chance(2)) {
      const bool onP = Chance(2);
      sql += " and {" + Condition(kTables[onP ? 0 : 1], onP ? "p" : "q") + "}";
    }
    return Ordered(sql, names);
  }

  // Rows summarised by one integer column.
  Statement Grouped(const Table& table) {
    static const char* const kSummaries[] = {"count(*)", "min", "max", "sum"};
    std::vector<std::string> numbers;
    for (const Column& column : table.columns)
      if (!column.text) numbers.push_back(column.name);
    const std::string by = numbers[size_t(Below(int(numbers.size())))], of = numbers[size_t(Below(int(numbers.size())))];
    std::string list = by;
    for (int n = 1 + Below(2); n > 0; --n) {
      const int summary = Below(4);
      list += std::string(", ") + kSummaries[summary] + (summary ? "(" + of + ")" : "");
    }
    return {"select " + list + " from " + table.name + (Chance(2) ? " where " + Condition(table) : "") + " group by " + by, true};
  }

  std::mt19937 mRandom;
  bool mLarge;       // more statements, rows in bulk, long texts
  std::string mPad;  // added to some texts, so that rows are long and trees grow pages
  int mKeys;         // key values are drawn from -2 to mKeys
};

// What a statement gave: an error, or rows of cells as both engines' texts compare (numbers by
// value, NULL as such).
using Row = std::vector<std::string>;
struct Outcome {
  std::string error;
  std::vector<Row> rows;
};

std::string Cell(const char* text) {
  if (!text) return "NULL";
  char* end = nullptr;
  const double number = std::strtod(text, &end);
  if (!*text || *end) return text;
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.10g", number);
  return buffer;
}

// What the engines must agree on: failure, the sort keys in sequence, the rows as a multiset.
std::string Canonical(const Statement& s, Outcome outcome) {
  if (!outcome.error.empty()) return "error";
  std::string text;
  for (const Row& row : outcome.rows)
    for (size_t column : s.sortColumns) text += (column < row.size() ? row[column] : "?") + "|";
  std::sort(outcome.rows.begin(), outcome.rows.end());
  for (const Row& row : outcome.rows) text += "\n" + List(row, "|");
  return text;
}

std::string Show(const Outcome& outcome) {
  if (!outcome.error.empty()) return "error: " + outcome.error + "\n";
  std::string text;
  for (const Row& row : outcome.rows) text += List(row, "|") + "\n";
  return text.empty() ? "(no rows)\n" : text;
}

// Both engines with the tables made, each inside a transaction (the built-in engine always is;
// SQLite begins the next one at once).
class Engines {
 public:
  Engines() : mOurs(WrapBuiltInDatabase(vndbHandle::Create(std::make_unique<FileHandle>()))) {
    sqlite3_open(":memory:", &mTheirs);
    sqlite3_exec(mTheirs, "begin", nullptr, nullptr, nullptr);
    for (const Table& table : kTables) {
      Ours({table.ours});
      Theirs({table.sqlite ? table.sqlite : table.ours});
    }
    Ours({"commit"});
    Theirs({"commit"});
  }
  ~Engines() {
    databaseClose(mOurs);
    RuntimeUnlockObject(mOurs);
    sqlite3_close(mTheirs);
  }

  Outcome Ours(const Statement& s) {
    Outcome outcome;
    const string text(s.Text(false), kEncodingUTF8);
    RuntimeObject* rs = s.query ? databaseSQLSelect(mOurs, text.Rep()) : nullptr;
    if (!s.query) databaseSQLExecute(mOurs, text.Rep());
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
    if (const int32_t code = databaseErrorCodeGetter(mOurs, 0))
      return {std::to_string(code) + " " + std::string(string::Adopt(databaseErrorStringGetter(mOurs, 0)).View()), {}};
    return outcome;
  }

  Outcome Theirs(const Statement& s) {
    auto add = [](void* outcome, int count, char** texts, char**) {
      Row& row = static_cast<Outcome*>(outcome)->rows.emplace_back();
      for (int c = 0; c < count; ++c) row.push_back(Cell(texts[c]));
      return 0;
    };
    Outcome outcome;
    char* message = nullptr;
    const bool ends = s.sql == "commit" || s.sql == "rollback";
    if (sqlite3_exec(mTheirs, (s.Text(true) + (ends ? "; begin" : "")).c_str(), add, &outcome, &message) != SQLITE_OK)
      outcome = {message ? message : "failed", {}};
    sqlite3_free(message);
    return outcome;
  }

 private:
  RuntimeObject* mOurs;
  sqlite3* mTheirs = nullptr;
};

// The first statement the engines answer differently, with both answers told in `answers`.
std::optional<size_t> FirstDifference(const std::vector<Statement>& statements, std::string* answers = nullptr) {
  Engines engines;
  for (size_t i = 0; i < statements.size(); ++i) {
    const Outcome ours = engines.Ours(statements[i]), theirs = engines.Theirs(statements[i]);
    if (Canonical(statements[i], ours) == Canonical(statements[i], theirs)) continue;
    if (answers) *answers = "built-in engine:\n" + Show(ours) + "SQLite:\n" + Show(theirs);
    return i;
  }
  return std::nullopt;
}

// Delta debugging: chunks, then single statements, are dropped while the engines still differ
// somewhere; whatever follows the first difference goes too.
std::vector<Statement> Minimal(std::vector<Statement> statements) {
  for (size_t chunk = std::max<size_t>(statements.size() / 2, 1);; chunk = std::max<size_t>(chunk / 2, 1)) {
    bool dropped = false;
    for (size_t start = 0; start < statements.size();) {
      std::vector<Statement> fewer = statements;
      fewer.erase(fewer.begin() + long(start), fewer.begin() + long(std::min(start + chunk, fewer.size())));
      if (std::optional<size_t> at = FirstDifference(fewer)) {
        fewer.resize(*at + 1);
        statements = std::move(fewer);
        dropped = true;
      } else {
        start += chunk;
      }
    }
    if (chunk == 1 && !dropped) return statements;
  }
}

class SqlDifferentialTest : public test::IntrinsicClassTest {};

TEST_F(SqlDifferentialTest, GeneratedWorkloadsAnswerAsSQLiteDoes) {
  const char* one = std::getenv("VORN_DIFF_SEED");
  const char* count = std::getenv("VORN_DIFF_SEEDS");
  const uint32_t first = one ? uint32_t(std::strtoul(one, nullptr, 10)) : 1;
  const uint32_t last = one ? first : count ? uint32_t(std::strtoul(count, nullptr, 10)) : 500;
  for (uint32_t seed = first, failures = 0; seed <= last && failures < 3; ++seed) {
    std::vector<Statement> statements = Generator(seed).Workload();
    if (!FirstDifference(statements)) continue;
    statements = Minimal(statements);
    std::string script, answers;
    ASSERT_TRUE(FirstDifference(statements, &answers));
    auto add = [&](const std::string& ours, const std::string& sqlite) {
      script += ours + ";\n" + (sqlite == ours ? "" : "  -- SQLite: " + sqlite + ";\n");
    };
    for (const Table& table : kTables) add(table.ours, table.sqlite ? table.sqlite : table.ours);
    add("commit", "commit");
    for (const Statement& s : statements) add(s.Text(false), s.Text(true));
    ADD_FAILURE() << "seed " << seed << " (VORN_DIFF_SEED=" << seed << "), cut down to:\n" << script << answers;
    ++failures;
  }
}

}  // namespace
}  // namespace vorn
