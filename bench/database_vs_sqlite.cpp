// The built-in database engine beside SQLite on the same work, in one run, with every commit
// durable on both sides (SQLite: journal_mode=DELETE, synchronous=FULL; ours: the rollback
// journal). Table: stars (id integer primary key, name varchar, mag double), 100,000 rows
// (ORDER BY also 10,000 and 1,000,000).
// Ours is driven at the engine's own interface (rows given as column texts), SQLite through
// prepared statements; the ORDER BY goes through the runtime's SQL executor on our side. The
// mixed workload runs the same SQL text on both sides: ours through SQLExecute and SQLSelect,
// SQLite through sqlite3_prepare_v2 of each text. ORDER BY runs at three sizes; compare one
// size's two lines (--benchmark_filter='OrderBy.*/100000$'). The walk that updates every row it
// gives runs over a table with the primary key (/1), without one (/0), and moving each row's key
// past every other (/2, ours only), at 100,000 rows and without the key at 1,000,000; walk_bytes is what the heap grew by as the walk reached the
// rows it moved (the file's changed pages with the walk's own memory).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "startup/class_registration.h"
#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "strings/vstring.h"

namespace {

using namespace vorn;

constexpr int kRows = 100000;

const std::string& Folder() {
  static std::string folder = [] {
    char pattern[] = "/tmp/vorn-bench-db-XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  return folder;
}

std::string FreshPath(const char* name) {
  std::string path = Folder() + "/" + name;
  unlink(path.c_str());
  unlink((path + "-journal").c_str());
  return path;
}

std::string Name(int i) { return "star " + std::to_string(i); }
double Mag(int i) { return (i * 7919 % 1000) / 100.0; }

// --- the built-in engine ----------------------------------------------------------------

std::unique_ptr<vndbHandle> NewOurs(const std::string& path) {
  auto db = vndbHandle::CreateFile(path);
  db->CreateTable("stars", {{"id", kDbInteger, false}, {"name", kDbVarchar, true}, {"mag", kDbDouble, true}}, {0});
  db->Commit();
  return db;
}

void OursInsert(vndbHandle& db, int i) {
  db.AddTableRecord("stars", {{"id", std::to_string(i)}, {"name", Name(i)}, {"mag", std::to_string(Mag(i))}});
}

// The table filled with `rows` rows, made once per size.
const std::string& OursFilled(int rows = kRows) {
  static std::map<int, std::string> paths;
  std::string& path = paths[rows];
  if (path.empty()) {
    path = FreshPath(("filled-" + std::to_string(rows) + ".vdb").c_str());
    auto db = NewOurs(path);
    for (int i = 0; i < rows; ++i) OursInsert(*db, i);
    db->Commit();
  }
  return path;
}

// --- SQLite -----------------------------------------------------------------------------

sqlite3* NewSqlite(const std::string& path, bool create) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr);
  if (create)
    sqlite3_exec(db, "CREATE TABLE stars (id INTEGER PRIMARY KEY, name VARCHAR, mag DOUBLE)", nullptr, nullptr, nullptr);
  return db;
}

struct Statement {
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr); }
  ~Statement() { sqlite3_finalize(stmt); }
  sqlite3_stmt* stmt = nullptr;
};

void SqliteInsert(Statement& insert, int i) {
  std::string name = Name(i);
  sqlite3_bind_int(insert.stmt, 1, i);
  sqlite3_bind_text(insert.stmt, 2, name.data(), int(name.size()), SQLITE_TRANSIENT);
  sqlite3_bind_double(insert.stmt, 3, Mag(i));
  sqlite3_step(insert.stmt);
  sqlite3_reset(insert.stmt);
}

const std::string& SqliteFilled(int rows = kRows) {
  static std::map<int, std::string> paths;
  std::string& path = paths[rows];
  if (path.empty()) {
    path = FreshPath(("filled-" + std::to_string(rows) + ".sqlite").c_str());
    sqlite3* db = NewSqlite(path, true);
    {
      Statement insert(db, "INSERT INTO stars VALUES (?, ?, ?)");
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
      for (int i = 0; i < rows; ++i) SqliteInsert(insert, i);
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
  }
  return path;
}

// --- 100,000 inserts in one transaction -------------------------------------------------

double FileBytes(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? double(info.st_size) : 0;
}

void BM_Insert100kOneCommit_Ours(benchmark::State& state) {
  for (auto _ : state) {
    auto db = NewOurs(FreshPath("insert.vdb"));
    for (int i = 0; i < kRows; ++i) OursInsert(*db, i);
    if (!db->Commit()) state.SkipWithError("commit failed");
  }
  state.counters["file_bytes"] = FileBytes(Folder() + "/insert.vdb");
}

void BM_Insert100kOneCommit_SQLite(benchmark::State& state) {
  for (auto _ : state) {
    sqlite3* db = NewSqlite(FreshPath("insert.sqlite"), true);
    {
      Statement insert(db, "INSERT INTO stars VALUES (?, ?, ?)");
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
      for (int i = 0; i < kRows; ++i) SqliteInsert(insert, i);
      if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) state.SkipWithError("commit failed");
    }
    sqlite3_close(db);
  }
  state.counters["file_bytes"] = FileBytes(Folder() + "/insert.sqlite");
}

// --- 1,000 transactions of one row ------------------------------------------------------

void BM_1000SingleRowCommits_Ours(benchmark::State& state) {
  for (auto _ : state) {
    auto db = NewOurs(FreshPath("single.vdb"));
    for (int i = 0; i < 1000; ++i) {
      OursInsert(*db, i);
      if (!db->Commit()) state.SkipWithError("commit failed");
    }
  }
}

void BM_1000SingleRowCommits_SQLite(benchmark::State& state) {
  for (auto _ : state) {
    sqlite3* db = NewSqlite(FreshPath("single.sqlite"), true);
    {
      Statement insert(db, "INSERT INTO stars VALUES (?, ?, ?)");
      for (int i = 0; i < 1000; ++i) SqliteInsert(insert, i);
    }
    sqlite3_close(db);
  }
}

// --- a primary-key lookup ---------------------------------------------------------------

void BM_KeyLookup_Ours(benchmark::State& state) {
  auto db = vndbHandle::OpenFile(OursFilled());
  const string column("id");
  int i = 0;
  for (auto _ : state) {
    string value(std::to_string((i++ * 7919) % kRows), kEncodingUTF8);
    dbFilter equal{nullptr, nullptr, 0, 0, column.Rep(), value.Rep()};
    auto cursor = vndbCursor::Open(*db, "stars", {"name"}, &equal);
    if (!cursor->NextRow()) state.SkipWithError("row missing");
    benchmark::DoNotOptimize(cursor->ColumnValue(0));
  }
}

void BM_KeyLookup_SQLite(benchmark::State& state) {
  sqlite3* db = NewSqlite(SqliteFilled(), false);
  {
    Statement lookup(db, "SELECT name FROM stars WHERE id = ?");
    int i = 0;
    for (auto _ : state) {
      sqlite3_bind_int(lookup.stmt, 1, (i++ * 7919) % kRows);
      if (sqlite3_step(lookup.stmt) != SQLITE_ROW) state.SkipWithError("row missing");
      benchmark::DoNotOptimize(sqlite3_column_text(lookup.stmt, 0));
      sqlite3_reset(lookup.stmt);
    }
  }
  sqlite3_close(db);
}

// --- a full scan with a filter ----------------------------------------------------------

void BM_ScanWithFilter_Ours(benchmark::State& state) {
  auto db = vndbHandle::OpenFile(OursFilled());
  const string column("mag");
  const string value("1.5");
  for (auto _ : state) {
    dbFilter less{nullptr, nullptr, 1, 0, column.Rep(), value.Rep()};
    auto cursor = vndbCursor::Open(*db, "stars", {"id", "name"}, &less);
    int64_t rows = 0;
    while (cursor->NextRow()) {
      benchmark::DoNotOptimize(cursor->ColumnValue(1));
      ++rows;
    }
    state.counters["rows"] = double(rows);
  }
}

void BM_ScanWithFilter_SQLite(benchmark::State& state) {
  sqlite3* db = NewSqlite(SqliteFilled(), false);
  {
    Statement scan(db, "SELECT id, name FROM stars WHERE mag < 1.5");
    for (auto _ : state) {
      int64_t rows = 0;
      while (sqlite3_step(scan.stmt) == SQLITE_ROW) {
        benchmark::DoNotOptimize(sqlite3_column_text(scan.stmt, 1));
        ++rows;
      }
      sqlite3_reset(scan.stmt);
      state.counters["rows"] = double(rows);
    }
  }
  sqlite3_close(db);
}

// --- ORDER BY over 10,000, 100,000 and 1,000,000 rows -------------------------------------
// Each size has a table of its own; the key (mag) takes 1,000 values, so most rows share theirs.

void BM_OrderBy_Ours(benchmark::State& state) {
  RegisterIntrinsicClasses();
  RuntimeObject* db = WrapBuiltInDatabase(vndbHandle::OpenFile(OursFilled(int(state.range(0)))));
  const string sql("select id, name, mag from stars order by mag");
  for (auto _ : state) {
    RuntimeObject* rows = databaseSQLSelect(db, sql.Rep());
    RuntimeObject* name = cursorGetFieldByIndex(rows, 2);
    int64_t count = 0;
    for (; !cursorEOFGetter(rows, 0); cursorMoveNext(rows)) {
      StringRep* text = cursorFieldStringValueGetter(name, 0);
      benchmark::DoNotOptimize(text);
      ReleaseStringRep(text);
      ++count;
    }
    RuntimeUnlockObject(name);
    RuntimeUnlockObject(rows);
    state.counters["rows"] = double(count);
  }
  databaseClose(db);
  RuntimeUnlockObject(db);
}

void BM_OrderBy_SQLite(benchmark::State& state) {
  sqlite3* db = NewSqlite(SqliteFilled(int(state.range(0))), false);
  {
    Statement sorted(db, "SELECT id, name, mag FROM stars ORDER BY mag");
    for (auto _ : state) {
      int64_t count = 0;
      while (sqlite3_step(sorted.stmt) == SQLITE_ROW) {
        benchmark::DoNotOptimize(sqlite3_column_text(sorted.stmt, 1));
        ++count;
      }
      sqlite3_reset(sorted.stmt);
      state.counters["rows"] = double(count);
    }
  }
  sqlite3_close(db);
}

// --- 10,000 rows loaded by INSERT, then 1,000 mixed statements, all as SQL text ---------

constexpr int kMixedRows = 10000;
constexpr int kMixedStatements = 1000;

struct MixedText {
  std::vector<std::string> load;
  std::vector<std::string> mixed;  // INSERT, UPDATE, DELETE and SELECT in turn
};

const MixedText& Mixed() {
  static const MixedText text = [] {
    MixedText made;
    auto row = [](int i) {
      return "insert into stars (id, name, mag) values (" + std::to_string(i) + ", '" + Name(i) + "', " +
             std::to_string(Mag(i)) + ")";
    };
    for (int i = 0; i < kMixedRows; ++i) made.load.push_back(row(i));
    for (int i = 0; i < kMixedStatements; ++i) {
      const std::string key = std::to_string((i * 7919) % kMixedRows);
      switch (i % 4) {
        case 0: made.mixed.push_back(row(kMixedRows + i)); break;
        case 1: made.mixed.push_back("update stars set mag = " + std::to_string(Mag(i + 1)) + " where id = " + key); break;
        case 2: made.mixed.push_back("delete from stars where id = " + key); break;
        // Half the queries find a row by its key, half scan the table with a filter.
        default:
          made.mixed.push_back(i % 8 == 3 ? "select id, name, mag from stars where id = " + key
                                          : "select id, name, mag from stars where mag < 0.02");
          break;
      }
    }
    return made;
  }();
  return text;
}

void BM_MixedStatements_Ours(benchmark::State& state) {
  RegisterIntrinsicClasses();
  const MixedText& text = Mixed();
  int64_t rowsRead = 0;
  for (auto _ : state) {
    RuntimeObject* db = WrapBuiltInDatabase(vndbHandle::CreateFile(FreshPath("mixed.vdb")));
    auto execute = [db](const std::string& sql) { databaseSQLExecute(db, string(sql, kEncodingUTF8).Rep()); };
    execute("create table stars (id integer not null, name varchar(40), mag double, primary key (id))");
    for (const std::string& sql : text.load) execute(sql);
    execute("commit");
    rowsRead = 0;
    for (const std::string& sql : text.mixed) {
      if (sql[0] != 's') {
        execute(sql);
        continue;
      }
      RuntimeObject* rows = databaseSQLSelect(db, string(sql, kEncodingUTF8).Rep());
      for (; rows && !cursorEOFGetter(rows, 0); cursorMoveNext(rows)) {
        RuntimeObject* name = cursorGetFieldByIndex(rows, 2);
        StringRep* value = cursorFieldStringValueGetter(name, 0);
        benchmark::DoNotOptimize(value);
        ReleaseStringRep(value);
        RuntimeUnlockObject(name);
        ++rowsRead;
      }
      RuntimeUnlockObject(rows);
    }
    execute("commit");
    if (databaseErrorCodeGetter(db, 0) != 0) state.SkipWithError("statement failed");
    databaseClose(db);
    RuntimeUnlockObject(db);
  }
  state.counters["rows_read"] = double(rowsRead);
}

void BM_MixedStatements_SQLite(benchmark::State& state) {
  const MixedText& text = Mixed();
  int64_t rowsRead = 0;
  for (auto _ : state) {
    sqlite3* db = NewSqlite(FreshPath("mixed.sqlite"), false);
    auto run = [db, &rowsRead](const std::string& sql) {
      Statement statement(db, sql.c_str());
      int result;
      while ((result = sqlite3_step(statement.stmt)) == SQLITE_ROW) {
        benchmark::DoNotOptimize(sqlite3_column_text(statement.stmt, 1));
        ++rowsRead;
      }
      return result == SQLITE_DONE;
    };
    bool ok = run("create table stars (id integer not null, name varchar(40), mag double, primary key (id))");
    ok = run("begin") && ok;
    for (const std::string& sql : text.load) ok = run(sql) && ok;
    ok = run("commit") && run("begin") && ok;
    rowsRead = 0;
    for (const std::string& sql : text.mixed) ok = run(sql) && ok;
    ok = run("commit") && ok;
    if (!ok) state.SkipWithError("statement failed");
    sqlite3_close(db);
  }
  state.counters["rows_read"] = double(rowsRead);
}

// --- a walk that updates every row it gives, in one transaction --------------------------

void BM_WalkUpdatesEveryRow_Ours(benchmark::State& state) {
  const int64_t mode = state.range(0);
  const int rows = int(state.range(1));
  double walkBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto db = vndbHandle::CreateFile(FreshPath("walk.vdb"));
    db->CreateTable("stars", {{"id", kDbInteger, false}, {"name", kDbVarchar, true}, {"mag", kDbDouble, true}},
                    mode == 0 ? std::vector<size_t>{} : std::vector<size_t>{0});
    for (int i = 0; i < rows; ++i) OursInsert(*db, i);
    db->Commit();
    state.ResumeTiming();
    const double before = double(mallinfo2().uordblks);
    auto walk = vndbCursor::Open(*db, "stars", {"id", "name", "mag"});
    int64_t given = 0;
    while (walk->NextRow()) {
      const int64_t id = walk->ColumnValue(0)->integer;
      const bool updated = mode == 2 ? walk->UpdateRow({{0, std::to_string(id + rows)}})
                                     : walk->UpdateRow({{2, std::to_string(Mag(int(id)) + 1)}});
      if (!updated) state.SkipWithError("update failed");
      // The most the walk held: the moved keys peak as it reaches the first of them.
      if (++given == rows) walkBytes = double(mallinfo2().uordblks) - before;
    }
    walk.reset();
    if (!db->Commit()) state.SkipWithError("commit failed");
    state.counters["rows"] = double(given);
  }
  state.counters["walk_bytes"] = walkBytes;
}

void BM_WalkUpdatesEveryRow_SQLite(benchmark::State& state) {
  const int count = int(state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    sqlite3* db = NewSqlite(FreshPath("walk.sqlite"), false);
    sqlite3_exec(db,
                 state.range(0) == 0 ? "CREATE TABLE stars (id INTEGER, name VARCHAR, mag DOUBLE)"
                                     : "CREATE TABLE stars (id INTEGER PRIMARY KEY, name VARCHAR, mag DOUBLE)",
                 nullptr, nullptr, nullptr);
    {
      Statement insert(db, "INSERT INTO stars VALUES (?, ?, ?)");
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
      for (int i = 0; i < count; ++i) SqliteInsert(insert, i);
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    state.ResumeTiming();
    int64_t rows = 0;
    {
      Statement walk(db, "SELECT rowid, id, name, mag FROM stars");
      Statement update(db, "UPDATE stars SET mag = ? WHERE rowid = ?");
      sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
      while (sqlite3_step(walk.stmt) == SQLITE_ROW) {
        sqlite3_bind_double(update.stmt, 1, Mag(sqlite3_column_int(walk.stmt, 1)) + 1);
        sqlite3_bind_int64(update.stmt, 2, sqlite3_column_int64(walk.stmt, 0));
        if (sqlite3_step(update.stmt) != SQLITE_DONE) state.SkipWithError("update failed");
        sqlite3_reset(update.stmt);
        ++rows;
      }
      sqlite3_reset(walk.stmt);
      if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) state.SkipWithError("commit failed");
    }
    sqlite3_close(db);
    state.counters["rows"] = double(rows);
  }
}

}  // namespace

BENCHMARK(BM_Insert100kOneCommit_Ours)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Insert100kOneCommit_SQLite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_1000SingleRowCommits_Ours)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_1000SingleRowCommits_SQLite)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_KeyLookup_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyLookup_SQLite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanWithFilter_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanWithFilter_SQLite)->Unit(benchmark::kMillisecond);
// Size by size, ours and then SQLite's, so that the two of one size run close together.
BENCHMARK(BM_OrderBy_Ours)->Unit(benchmark::kMillisecond)->Arg(10000);
BENCHMARK(BM_OrderBy_SQLite)->Unit(benchmark::kMillisecond)->Arg(10000);
BENCHMARK(BM_OrderBy_Ours)->Unit(benchmark::kMillisecond)->Arg(100000);
BENCHMARK(BM_OrderBy_SQLite)->Unit(benchmark::kMillisecond)->Arg(100000);
BENCHMARK(BM_OrderBy_Ours)->Unit(benchmark::kMillisecond)->Arg(1000000);
BENCHMARK(BM_OrderBy_SQLite)->Unit(benchmark::kMillisecond)->Arg(1000000);
BENCHMARK(BM_MixedStatements_Ours)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MixedStatements_SQLite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WalkUpdatesEveryRow_Ours)->Unit(benchmark::kMillisecond)->Iterations(3)
    ->Args({1, kRows})->Args({0, kRows})->Args({2, kRows});
BENCHMARK(BM_WalkUpdatesEveryRow_SQLite)->Unit(benchmark::kMillisecond)->Iterations(3)->Args({1, kRows})->Args({0, kRows});
BENCHMARK(BM_WalkUpdatesEveryRow_Ours)->Unit(benchmark::kMillisecond)->Iterations(1)->Args({0, 10 * kRows});
BENCHMARK(BM_WalkUpdatesEveryRow_SQLite)->Unit(benchmark::kMillisecond)->Iterations(1)->Args({0, 10 * kRows});

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}
