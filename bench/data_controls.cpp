// The scrollable cursor over a million rows: copying a result into its row cache once, then
// reading rows at random from the cache; the peak resident memory is reported with each run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_handle.h"
#include "datacontrols/scrollable_cursor.h"
#include "startup/class_registration.h"
#include "strings/vstring.h"

using namespace vorn;

namespace {

constexpr int kRows = 1000000;

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

const std::string& Filled() {
  static std::string path = [] {
    char pattern[] = "/tmp/vorn-bench-cursor-XXXXXX";
    const char* made = mkdtemp(pattern);
    std::string file = std::string(made ? made : "/tmp") + "/million.vdb";
    unlink(file.c_str());
    auto db = vndbHandle::CreateFile(file);
    db->CreateTable("stars", {{"id", kDbInteger, false}, {"name", kDbVarchar, true}}, {0});
    for (int i = 0; i < kRows; ++i) db->AddTableRecord("stars", {{"id", std::to_string(i)}, {"name", "star " + std::to_string(i)}});
    db->Commit();
    return file;
  }();
  return path;
}

// The cursor over the million rows, made once for every benchmark that reads it.
RuntimeObject* MillionRowCursor() {
  static RuntimeObject* cursor = [] {
    RegisterIntrinsicClasses();
    RuntimeObject* db = WrapBuiltInDatabase(vndbHandle::OpenFile(Filled()));
    RuntimeObject* rows = databaseSQLSelect(db, string("select id, name from stars").Rep());
    RuntimeObject* made = NewScrollableCursor(rows);
    RuntimeUnlockObject(rows);
    return made;
  }();
  return cursor;
}

void BM_ScrollableCursorCopiesAMillionRows(benchmark::State& state) {
  RegisterIntrinsicClasses();
  RuntimeObject* db = WrapBuiltInDatabase(vndbHandle::OpenFile(Filled()));
  const string sql("select id, name from stars");
  for (auto _ : state) {
    RuntimeObject* rows = databaseSQLSelect(db, sql.Rep());
    RuntimeObject* cursor = NewScrollableCursor(rows);
    if (scrollableCursorGetCount(cursor) != kRows) state.SkipWithError("rows lost");
    RuntimeUnlockObject(cursor);
    RuntimeUnlockObject(rows);
  }
  state.counters["peak_MB"] = PeakMegabytes();
  RuntimeUnlockObject(db);
}
BENCHMARK(BM_ScrollableCursorCopiesAMillionRows)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ScrollableCursorRandomRow(benchmark::State& state) {
  RuntimeObject* cursor = MillionRowCursor();
  if (scrollableCursorGetCount(cursor) != kRows) {
    state.SkipWithError("the cursor lost rows");
    return;
  }
  std::mt19937 random(42);
  std::uniform_int_distribution<int32_t> pick(1, kRows);
  for (auto _ : state) {
    RuntimeObject* row = scrollableCursorGetRow(cursor, pick(random));
    StringRep* name = getDatabaseRecordIndString(row, 2);
    benchmark::DoNotOptimize(name);
    ReleaseStringRep(name);
    RuntimeUnlockObject(row);
  }
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_ScrollableCursorRandomRow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
