// The scrollable cursor over a million rows: copying a result into its row cache once, then
// reading rows at random from the cache; the peak resident memory is reported with each run.
// A live result over the million rows stepping either way next to its one row.
// And a DataControl moving to the next record with five bound controls on screen, and stepping
// either way over a sorted or a live result, and saving an edit of each row as it goes (with and
// without a primary key); and every kind of click over a live result of 100,000 and a million rows
// right after a change.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_handle.h"
#include "controls/check_box_class.h"
#include "controls/data_aware.h"
#include "controls/popup_class.h"
#include "datacontrols/data_control_api.h"
#include "datacontrols/data_control_object.h"
#include "datacontrols/scrollable_cursor.h"
#include "editfield/edit_field_class.h"
#include "vorn/buttons_api.h"
#include "vorn/editfield_api.h"
#include "vorn/popup_api.h"
#include "windows/control.h"
#include "windows/window.h"
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

// One step over a live result of the million rows whose condition admits only the last row,
// the loop `While Not rs.EOF ... rs.MoveNext` having left it past the end: 0 MoveNext from the
// row to the end, 1 MovePrevious and 2 MoveLast from past the end, 3 MovePrevious from the row
// reached so (before it there is none). Each should cost about a step forward.
void BM_LiveStepOverOneRowOfAMillion(benchmark::State& state) {
  RegisterIntrinsicClasses();
  RuntimeObject* db = WrapBuiltInDatabase(vndbHandle::OpenFile(Filled()));
  const std::string last = "star " + std::to_string(kRows - 1);
  RuntimeObject* rs = databaseSQLSelect(db, string("select * from stars where name = '" + last + "'", kEncodingUTF8).Rep());
  const int64_t kind = state.range(0);
  for (auto _ : state) {
    state.PauseTiming();
    if (cursorEOFGetter(rs, 0)) CursorMoveLast(rs);
    if (kind != 0) cursorMoveNext(rs);
    if (kind == 3) CursorMovePrev(rs);
    state.ResumeTiming();
    switch (kind) {
      case 0: cursorMoveNext(rs); break;
      case 2: CursorMoveLast(rs); break;
      default: CursorMovePrev(rs); break;
    }
  }
  if ((kind == 0) != (cursorEOFGetter(rs, 0) != 0)) state.SkipWithError("the step landed elsewhere");
  RuntimeUnlockObject(rs);
  RuntimeUnlockObject(db);
}
BENCHMARK(BM_LiveStepOverOneRowOfAMillion)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond)->Iterations(30);

// A control of the class in the native window at the bounds, its pane made.
RuntimeObject* PlaceControl(ObjectDefinition* definition, Window* window, const Rect& bounds,
                            void (*createPane)(VornRuntimeObject*)) {
  RuntimeObject* control = CreateInstanceFromDefinition(definition);
  ControlObject* fields = AsControl(control);
  fields->windowPane = window;
  fields->visible = 1;
  fields->enabled = 1;
  SetControlBounds(fields, bounds);
  createPane(control);
  return control;
}

void Drain() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

// A DataControl over a table of people with five bound controls on screen: three edit fields,
// a check box and a popup menu.
class Form {
 public:
  Form(int rows, const char* query, bool keyed = true) {
    // Made once per size and kind: a million rows take a while to write.
    static std::map<std::pair<int, bool>, std::string> made;
    std::string& file = made[{rows, keyed}];
    if (file.empty()) {
      char pattern[] = "/tmp/vorn-bench-nav-XXXXXX";
      file = std::string(mkdtemp(pattern) ? pattern : "/tmp") + "/people.vdb";
      auto db = vndbHandle::CreateFile(file);
      db->CreateTable("people", {{"id", kDbInteger, false}, {"name", kDbVarchar, true}, {"city", kDbVarchar, true},
                                 {"note", kDbVarchar, true}, {"active", kDbBoolean, true}, {"color", kDbVarchar, true}},
                      keyed ? std::vector<size_t>{0} : std::vector<size_t>{});
      const char* colors[] = {"red", "green", "blue"};
      for (int i = 0; i < rows; ++i)
        db->AddTableRecord("people", {{"id", std::to_string(i)}, {"name", "Person " + std::to_string(i)},
                                      {"city", "City " + std::to_string(i % 50)}, {"note", "note " + std::to_string(i)},
                                      {"active", i % 2 ? "true" : "false"}, {"color", colors[i % 3]}});
      db->Commit();
    }
    mDb = WrapBuiltInDatabase(vndbHandle::OpenFile(file));
    mWindow = new Window(string("Bench"), MakeRect(50, 50, 450, 330), 0, 0, true);
    nav = PlaceControl(GetDataControlClassDefinition(), mWindow, MakeRect(250, 10, 290, 390), &DataControlCreatePane);
    DataControlTableNameSetter(nav, 0, string("people").Rep());
    DataControlQuerySetter(nav, 0, string(query).Rep());
    DataControlDBSetter(nav, 0, mDb);
    const char* textFields[] = {"name", "city", "note"};
    for (int i = 0; i < 3; ++i) {
      RuntimeObject* field = PlaceControl(GetEditFieldClassDefinition(), mWindow,
                                          MakeRect(10 + 40 * i, 10, 34 + 40 * i, 200), &EditCreatePane);
      EditDataFieldSetter(field, 0, string(textFields[i]).Rep());
      mBound.push_back({field, kBoundEditField});
    }
    RuntimeObject* box = PlaceControl(GetCheckBoxClassDefinition(), mWindow, MakeRect(130, 10, 150, 200),
                                      &CheckBoxCreatePane);
    CheckBoxDataFieldSetter(box, 0, string("active").Rep());
    mBound.push_back({box, kBoundCheckBox});
    RuntimeObject* menu = PlaceControl(GetPopupMenuClassDefinition(), mWindow, MakeRect(170, 10, 196, 200),
                                       &PopupMenuCreatePane);
    for (const char* color : {"red", "green", "blue"}) RuntimeComboBoxAddRow(menu, string(color).Rep());
    PopupDataFieldSetter(menu, 0, string("color").Rep());
    mBound.push_back({menu, kBoundPopupMenu});
    for (const Bound& b : mBound) GetDataBindingHooks().addBoundControl(nav, b.control, b.kind);
    DataControlRunQuery(nav);
    mWindow->Show();
    Window::ShowPendingWindows();
    Drain();
  }
  ~Form() {
    DataControlControlBindSetter(nav, 0, 0);
    // The window takes the panes with it; the objects let go of them first, as a closing
    // runtime window makes them do.
    for (const Bound& b : mBound) DetachControlPane(AsControl(b.control));
    DetachControlPane(AsControl(nav));
    mWindow->Close();
    Drain();
    for (const Bound& b : mBound) RuntimeUnlockObject(b.control);
    RuntimeUnlockObject(nav);
    RuntimeUnlockObject(mDb);
  }

  RuntimeObject* nav = nullptr;
  RuntimeObject* BoundControl(size_t index) const { return mBound[index].control; }
  RuntimeObject* Database() const { return mDb; }

 private:
  struct Bound {
    RuntimeObject* control;
    int32_t kind;
  };
  RuntimeObject* mDb = nullptr;
  Window* mWindow = nullptr;
  std::vector<Bound> mBound;
};

bool DisplayOpens(benchmark::State& state) {
  if (gtk_init_check(nullptr, nullptr)) return true;
  state.SkipWithError("no X display");
  return false;
}

void BM_DataControlMoveNextWithFiveBoundControls(benchmark::State& state) {
  if (!DisplayOpens(state)) return;
  RegisterIntrinsicClasses();
  Form form(1000, "select * from people");
  for (auto _ : state) {
    if (DataControlRow(form.nav) == DataControlRowCount(form.nav)) {
      state.PauseTiming();
      DataControlMoveFirst(form.nav);
      state.ResumeTiming();
    }
    DataControlMoveNext(form.nav);
    Drain();
  }
}
BENCHMARK(BM_DataControlMoveNextWithFiveBoundControls)->Unit(benchmark::kMicrosecond);

// A click on Next or Previous over 100,000 rows of `query`, each click after an edit of the
// row shown when `edit`: a step back should cost about what a step forward does.
void StepOver(benchmark::State& state, const char* query, bool back, bool edit) {
  if (!DisplayOpens(state)) return;
  RegisterIntrinsicClasses();
  Form form(100000, query);
  if (back) DataControlMoveLast(form.nav);
  const int32_t last = DataControlRowCount(form.nav);
  int64_t edits = 0;
  for (auto _ : state) {
    const int32_t row = DataControlRow(form.nav);  // 1-based
    if (back ? row <= 1 : row >= last) {
      state.PauseTiming();
      back ? DataControlMoveLast(form.nav) : DataControlMoveFirst(form.nav);
      state.ResumeTiming();
    }
    if (edit) editTextSetter(form.BoundControl(0), 0, string(("Edited " + std::to_string(++edits)).c_str()).Rep());
    back ? DataControlMovePrev(form.nav) : DataControlMoveNext(form.nav);
    Drain();
  }
}

// Nobody changing the table (argument 0: Next, 1: Previous).
void BM_DataControlStepOverSortedRows(benchmark::State& state) {
  StepOver(state, "select * from people order by name", state.range(0) != 0, false);
}
BENCHMARK(BM_DataControlStepOverSortedRows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A note typed into each row and saved, then Next, over 20,000 rows of a live result with the
// primary key (argument 1) or without (0): a row saved is met once, however it is kept.
void BM_DataControlSaveEachRow(benchmark::State& state) {
  if (!DisplayOpens(state)) return;
  RegisterIntrinsicClasses();
  constexpr int64_t kSaveRows = 20000;
  Form form(int(kSaveRows), "select * from people", state.range(0) != 0);
  RuntimeObject* note = form.BoundControl(2);
  int64_t saved = 0;
  for (auto _ : state) {
    if (saved > 0 && saved % kSaveRows == 0) {
      state.PauseTiming();
      DataControlMoveFirst(form.nav);
      state.ResumeTiming();
    }
    editTextSetter(note, 0, string("seen " + std::to_string(saved++), kEncodingUTF8).Rep());
    DataControlUpdateRecord(form.nav);
    DataControlMoveNext(form.nav);
    Drain();
  }
  // Rows met more than once would leave the walk short of its end.
  state.counters["row"] = double(DataControlRow(form.nav));
}
BENCHMARK(BM_DataControlSaveEachRow)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The sorted rows again, each step saving an edit of the row it leaves.
void BM_DataControlStepOverSortedRowsEditing(benchmark::State& state) {
  StepOver(state, "select * from people order by id", state.range(0) != 0, true);
}
BENCHMARK(BM_DataControlStepOverSortedRowsEditing)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A live result (no ORDER BY), from the start (argument 0: Next) or from the end (1: Previous).
void BM_DataControlStepOverLiveRows(benchmark::State& state) {
  StepOver(state, "select * from people", state.range(0) != 0, false);
}
BENCHMARK(BM_DataControlStepOverLiveRows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Iterations(200);

// The live result again, each step saving an edit of the row it leaves.
void BM_DataControlStepOverLiveRowsEditing(benchmark::State& state) {
  StepOver(state, "select * from people", state.range(0) != 0, true);
}
BENCHMARK(BM_DataControlStepOverLiveRowsEditing)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Iterations(200);

// One click over a live result of `rows` rows (argument 0), with a condition or not (1): 0 Next,
// 1 Previous, 2 First, 3 Last, or 4 Previous from the last row (2); each right after nothing (3:
// 0), another statement's change of a row (1), or an edit of the row shown, which the click saves
// (2). Every click should cost within five steps forward.
void BM_DataControlLiveStep(benchmark::State& state) {
  if (!DisplayOpens(state)) return;
  RegisterIntrinsicClasses();
  const int64_t kind = state.range(2), before = state.range(3);
  Form form(int(state.range(0)), state.range(1) ? "select * from people where city <> 'City 7'" : "select * from people");
  int64_t changes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    kind == 4 ? DataControlMoveLast(form.nav) : DataControlMoveFirst(form.nav);
    for (int i = 0; i < 5 && kind != 4; ++i) DataControlMoveNext(form.nav);
    const std::string text = "changed " + std::to_string(++changes);
    if (before == 1) databaseSQLExecute(form.Database(), string(("update people set note = '" + text + "' where id = 3").c_str()).Rep());
    if (before == 2) editTextSetter(form.BoundControl(0), 0, string(text.c_str()).Rep());
    Drain();
    state.ResumeTiming();
    switch (kind) {
      case 0: DataControlMoveNext(form.nav); break;
      case 2: DataControlMoveFirst(form.nav); break;
      case 3: DataControlMoveLast(form.nav); break;
      default: DataControlMovePrev(form.nav); break;
    }
    Drain();
  }
}
BENCHMARK(BM_DataControlLiveStep)
    ->ArgsProduct({{100000, 1000000}, {0, 1}, {0, 1, 2, 3, 4}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(30);

}  // namespace

BENCHMARK_MAIN();
