// A DataControl over a database of 20 people in a runtime window, with an edit field, a check
// box and a popup menu bound to it: clicking the navigation pane moves every bound control,
// an edit written back with Update reaches the file, bad bindings and queries crash nothing, and
// a price shown through a Format keeps its number in every locale until the user types one.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "controls/check_box_class.h"
#include "controls/control_support.h"
#include "controls/data_aware.h"
#include "controls/popup_class.h"
#include "database/database_fields.h"
#include "controls/support/runtime_window_controls.h"
#include "database/builtin_database_class.h"
#include "database/database_objects.h"
#include "datacontrols/data_control_api.h"
#include "datacontrols/data_control_object.h"
#include "datacontrols/data_control_pane.h"
#include "datacontrols/database_query.h"
#include "listbox/listbox_class.h"
#include "objects/text_encoding_object.h"
#include "vorn/listbox_api.h"
#include "datacontrols/nav_geometry.h"
#include "editfield/edit_field_class.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "support/process_locale.h"
#include "strings/c_number_text.h"
#include "strings/format_number.h"
#include "windows/pane_focus.h"
#include "vorn/buttons_api.h"
#include "vorn/editfield_api.h"
#include "vorn/folder_item_api.h"
#include "vorn/object_abi.h"
#include "vorn/popup_api.h"
#include "vorn/window_api.h"
#include "windows/control.h"
#include "windows/runtime_window.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
string Str(const std::string& text) { return string(text, kEncodingUTF8); }
std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

const char* const kColors[] = {"red", "green", "blue"};

struct PeopleWindowObject {
  WindowObject window;
  RuntimeObject* nav;
  RuntimeObject* name;
  RuntimeObject* active;
  RuntimeObject* color;
  RuntimeObject* list;
  RuntimeObject* price;  // with a price Format
};
PeopleWindowObject* People(RuntimeObject* self) { return reinterpret_cast<PeopleWindowObject*>(self); }

RuntimeObject* gDatabase = nullptr;
std::string gDataField = "name", gPriceFormat;
const Rect kNameBounds = MakeRect(10, 10, 200, 34), kPriceBounds = MakeRect(210, 10, 390, 34);
int gRepositions = 0;
int32_t gLastIndex = 0;
int gUpdates = 0, gInserts = 0, gDeletes = 0;

void OnReposition(VornRuntimeObject*, int32_t index) {
  ++gRepositions;
  gLastIndex = index;
}
void OnUpdate(VornRuntimeObject*) { ++gUpdates; }
uint8_t OnInsert(VornRuntimeObject*) { return ++gInserts, 0; }
void OnDelete(VornRuntimeObject*) { ++gDeletes; }

void OnLayout(VornRuntimeObject* self) {
  windowPosSetter(self, 0, 120);
  windowPosSetter(self, 1, 120);
  windowPosSetter(self, 2, 400);
  windowPosSetter(self, 3, 320);
}

RuntimeClass* Class(ObjectDefinition* definition) { return RuntimeClassFromDefinition(definition); }

void OnCreateControls(VornRuntimeObject* self) {
  static RuntimeClass* navClass = test::MakeClass(
      "PeopleNav", "DataControl", sizeof(DataControlObject),
      {{"#Reposition%%o<PeopleNav>i4", Fn(&OnReposition), nullptr, 0},
       {"#Update%%o<PeopleNav>", Fn(&OnUpdate), nullptr, 0},
       {"#Insert%b%o<PeopleNav>", Fn(&OnInsert), nullptr, 0},
       {"#Delete%%o<PeopleNav>", Fn(&OnDelete), nullptr, 0}});
  PeopleWindowObject* w = People(self);
  w->nav = test::AddWindowControl(self, navClass, "PeopleData", MakeRect(10, 120, 390, 150), test::PackedStream());
  DataControlTableNameSetter(w->nav, 0, Str("people").Rep());
  DataControlQuerySetter(w->nav, 0, Str("select * from people order by id").Rep());
  DataControlDBSetter(w->nav, 0, gDatabase);
  if (!gPriceFormat.empty()) {  // the first field, which the window gives the keyboard
    w->price = test::AddWindowControl(self, Class(GetEditFieldClassDefinition()), "PriceField", kPriceBounds,
                                      test::PackedStream().Text(65 /* Format */, gPriceFormat));
    EditDataFieldSetter(w->price, 0, Str("price").Rep());
    EditDataSourceSetter(w->price, 0, Str("PeopleData").Rep());
  }
  w->name = test::AddWindowControl(self, Class(GetEditFieldClassDefinition()), "NameField", kNameBounds,
                                   test::PackedStream());
  w->active = test::AddWindowControl(self, Class(GetCheckBoxClassDefinition()), "ActiveBox",
                                     MakeRect(10, 44, 200, 64), test::PackedStream());
  w->color = test::AddWindowControl(self, Class(GetPopupMenuClassDefinition()), "ColorMenu",
                                    MakeRect(10, 74, 200, 100), test::PackedStream());
  w->list = test::AddWindowControl(self, Class(GetListboxClassDefinition()), "PeopleList", MakeRect(10, 160, 390, 310),
                                   test::PackedStream());
  for (const char* color : kColors) RuntimeComboBoxAddRow(w->color, Str(color).Rep());
  EditDataFieldSetter(w->name, 0, Str(gDataField).Rep());
  EditDataSourceSetter(w->name, 0, Str("PeopleData").Rep());
  CheckBoxDataFieldSetter(w->active, 0, Str("active").Rep());
  CheckBoxDataSourceSetter(w->active, 0, Str("peopledata").Rep());
  PopupDataFieldSetter(w->color, 0, Str("color").Rep());
  PopupDataSourceSetter(w->color, 0, Str("PeopleData").Rep());
}

void PeopleFinalizer(VornRuntimeObject* self) {
  PeopleWindowObject* w = People(self);
  for (RuntimeObject** slot : {&w->nav, &w->name, &w->active, &w->color, &w->list, &w->price}) {
    RuntimeUnlockObject(*slot);
    *slot = nullptr;
  }
}

RuntimeClass* WindowClass() {
  static RuntimeClass* cls = test::MakeClass("PeopleWindow", "Window", sizeof(PeopleWindowObject),
                                             {{"#Layout%%o<PeopleWindow>", Fn(&OnLayout), nullptr, 0},
                                              {"#CreateControls%%o<PeopleWindow>", Fn(&OnCreateControls), nullptr, 0}},
                                             {Fn(&PeopleFinalizer), nullptr});
  return cls;
}

class DataControlGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::EnsureDisplay());
    test::PrepareRuntimeWindows();
    InstallDataControlHooks();
    char pattern[] = "/tmp/vorn-datacontrol-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mFolder = pattern;
    mPath = mFolder + "/people.vdb";
    gDatabase = OpenFile();
    ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(gDatabase));
    Exec("create table people (id integer not null, name varchar(40), active boolean, color varchar(10), "
         "price double, primary key (id))");
    for (int i = 1; i <= 20; ++i) {
      Exec("insert into people (id, name, active, color) values (" + std::to_string(i) + ", 'Person " +
           std::to_string(i) + "', " + (i % 2 ? "true" : "false") + ", '" + kColors[i % 3] + "')");
    }
    databaseCommit(gDatabase);
    ASSERT_EQ(databaseErrorCodeGetter(gDatabase, 0), 0);
    gRepositions = 0;
    gUpdates = gInserts = 0;
    gDataField = "name";
    gPriceFormat.clear();
  }
  void TearDown() override {
    RuntimeUnlockObject(gDatabase);
    gDatabase = nullptr;
    test::Shell("rm -rf '" + mFolder + "'");
    ClearTextEncodingObjects();
  }

  RuntimeObject* OpenFile() {
    RuntimeObject* db = CreateInstanceFromDefinition(GetVORNDatabaseClassDefinition());
    RuntimeObject* item = FolderItemFromPath(mPath.c_str());
    VORNDatabaseFolderItemSetter(db, 0, item);
    RuntimeUnlockObject(item);
    return db;
  }
  void Exec(const std::string& sql) { databaseSQLExecute(gDatabase, Str(sql).Rep()); }

  RuntimeObject* OpenWindow() {
    RuntimeObject* window = RuntimeNewObject(WindowClass());
    WindowDefaultConstructor(window);
    test::RunLoopIteration();
    return window;
  }

  // The row the bound controls show: name, check box, popup text.
  std::string Shown(RuntimeObject* window) {
    PeopleWindowObject* w = People(window);
    return Text(editTextGetter(w->name, 0)) + "|" + (checkBoxGetBoolean(w->active) ? "true" : "false") + "|" +
           Text(RuntimeComboBoxTextGetter(w->color, 0));
  }

  // Shows the window and clicks one of the navigation pane's buttons; answers the button.
  static Rect ClickNav(Window* native, int32_t button) {
    test::ShowAndSettle(native);
    const Rect next = NavButtonRect(MakeRect(10, 120, 390, 150), button);
    test::ClickAt(native, next.left + 5, next.top + 5);
    test::PumpFor(100);
    return next;
  }
  static Rect ClickNext(Window* native) { return ClickNav(native, kNavNext); }

  std::string mFolder;
  std::string mPath;
};

TEST_F(DataControlGuiTest, TheNextButtonMovesEveryBoundControlAndUpdateReachesTheFile) {
  RuntimeObject* window = OpenWindow();
  PeopleWindowObject* w = People(window);
  ASSERT_NE(ControlPaneAs<DataControl>(w->nav), nullptr);
  EXPECT_EQ(DataControlRowCount(w->nav), 20);
  EXPECT_EQ(Shown(window), "Person 1|true|green") << "the window opens on row 1";

  Window* native = GetWindowPaneOf(window);
  const Rect next = ClickNext(native);
  EXPECT_EQ(DataControlRow(w->nav), 2);
  EXPECT_EQ(gLastIndex, 2) << "Reposition tells the 1-based row";
  EXPECT_EQ(Shown(window), "Person 2|false|blue") << "every bound control shows row 2";
  // Pressed, dragged off the button and released elsewhere: no move, the button comes up.
  test::PressAndDrag(native, next.left + 5, next.top + 5, -60, 3);
  test::ReleaseMouse();
  test::PumpFor(100);
  EXPECT_EQ(DataControlRow(w->nav), 2);
  EXPECT_EQ(ControlPaneAs<DataControl>(w->nav)->mPressedButton, kNavNone);
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR +
              "/data_control_row2.png");

  // A list box bound to a DatabaseQuery over the same table shows every row.
  RuntimeObject* query = CreateInstanceFromDefinition(GetDatabaseQueryClassDefinition());
  objSetter(query, offsetof(DatabaseQueryObject, database), gDatabase);
  stringSetter(query, offsetof(DatabaseQueryObject, sqlQuery), Str("select name from people order by id").Rep());
  listBind(w->list, query);
  EXPECT_EQ(listCountGetter(w->list, 0), 20);
  EXPECT_EQ(Text(listGetCell(w->list, 19, 0)), "Person 20");
  test::PumpFor(100);
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR +
              "/data_control_list.png");
  listBind(w->list, nullptr);
  RuntimeUnlockObject(query);

  editTextSetter(w->name, 0, Str("Grace Hopper").Rep());
  checkBoxValueSetter(w->active, 0, 1);
  DataControlUpdateRecord(w->nav);
  databaseCommit(gDatabase);
  DataControlMoveLast(w->nav);
  EXPECT_EQ(Shown(window), "Person 20|false|blue");
  DataControlMoveTo(w->nav, 2);
  EXPECT_EQ(Shown(window), "Grace Hopper|true|blue");
  test::CloseAndRelease(window);
  databaseClose(gDatabase);

  RuntimeObject* item = FolderItemFromPath(mPath.c_str());
  RuntimeObject* reopened = openVORNDatabase(item);
  RuntimeUnlockObject(item);
  ASSERT_NE(reopened, nullptr);
  RuntimeObject* rs = databaseSQLSelect(reopened, Str("select name, active from people where id = 2").Rep());
  ASSERT_NE(rs, nullptr);
  RuntimeObject* name = cursorGetFieldByIndex(rs, 1);
  RuntimeObject* active = cursorGetFieldByIndex(rs, 2);
  EXPECT_EQ(Text(cursorFieldStringValueGetter(name, 0)), "Grace Hopper");
  EXPECT_EQ(Text(cursorFieldStringValueGetter(active, 0)), "true");
  for (RuntimeObject* o : {name, active, rs, reopened}) RuntimeUnlockObject(o);
}

// Next on the last row, by the button and by code, stays there: the controls keep showing it,
// the cursor still stands on it (Previous reaches row 19) and nobody hears a Reposition.
TEST_F(DataControlGuiTest, NextOnTheLastRowStaysOnIt) {
  RuntimeObject* window = OpenWindow();
  PeopleWindowObject* w = People(window);
  DataControlMoveTo(w->nav, 19);
  Window* native = GetWindowPaneOf(window);
  ClickNext(native);
  EXPECT_EQ(DataControlRow(w->nav), 20) << "Next from the row before the last reaches it";
  EXPECT_EQ(Shown(window), "Person 20|false|blue");
  const int before = gRepositions;
  ClickNext(native);
  DataControlMoveNext(w->nav);
  DataControlMoveNext(w->nav);
  EXPECT_EQ(DataControlRow(w->nav), 20);
  EXPECT_EQ(Shown(window), "Person 20|false|blue");
  EXPECT_EQ(gRepositions, before);
  RuntimeObject* cursor = DataControlGetCursor(w->nav);
  ASSERT_NE(cursor, nullptr);
  EXPECT_FALSE(cursorEOFGetter(cursor, 0)) << "the cursor did not run past the end";
  RuntimeUnlockObject(cursor);

  const Rect previous = NavButtonRect(MakeRect(10, 120, 390, 150), kNavPrevious);
  test::ClickAt(native, previous.left + 5, previous.top + 5);
  test::PumpFor(100);
  EXPECT_EQ(DataControlRow(w->nav), 19);
  EXPECT_EQ(Shown(window), "Person 19|true|green");
  test::CloseAndRelease(window);
}

TEST_F(DataControlGuiTest, DeletingTheLastRowShowsTheRowBeforeAndEditsAreRefusedWhereTheyMust) {
  RuntimeObject* window = OpenWindow();
  PeopleWindowObject* w = People(window);
  DataControlMoveLast(w->nav);
  EXPECT_EQ(DataControlRow(w->nav), 20);
  DataControlDeleteRecord(w->nav);
  EXPECT_EQ(DataControlRowCount(w->nav), 19);
  EXPECT_EQ(DataControlRow(w->nav), 19) << "the row before the deleted last one";
  EXPECT_EQ(Shown(window), "Person 19|true|green");

  DataControlNewRecord(w->nav);
  EXPECT_EQ(Shown(window), "|false|") << "a new record starts from cleared controls";
  editTextSetter(w->name, 0, Str("Ada").Rep());
  DataControlAddNewRecord(w->nav);
  EXPECT_EQ(Text(editTextGetter(w->name, 0)), "Ada") << "a refused row stays in the controls as typed";
  EXPECT_EQ(DataControlRow(w->nav), 0) << "no cursor until the query runs again";
  EXPECT_NE(databaseErrorCodeGetter(gDatabase, 0), 0) << "no control gives the key: the database refuses the row";
  EXPECT_EQ(gInserts, 0) << "no Insert event for a row that was not inserted";
  DataControlRunQuery(w->nav);
  EXPECT_EQ(DataControlRowCount(w->nav), 19);

  DataControlReadOnlySetter(w->nav, 0, 1);
  EXPECT_FALSE(AsControl(w->active)->enabled) << "a read-only control disables its check box";
  EXPECT_TRUE(editReadOnlyGetter(w->name, 0));
  DataControlDeleteRecord(w->nav);
  EXPECT_EQ(DataControlRowCount(w->nav), 19) << "a read-only control deletes nothing";
  test::CloseAndRelease(window);
}

// MoveTo past the last row leaves the cursor on no row: Delete has nothing to remove there and
// must not count a row as gone. First, Previous and Last bring the cursor back onto a row.
TEST_F(DataControlGuiTest, DeleteRemovesOnlyARowTheCursorStandsOn) {
  RuntimeObject* window = OpenWindow();
  PeopleWindowObject* w = People(window);
  const struct {
    int32_t moveTo;
    void (*then)(VornRuntimeObject*);
    int32_t row;        // Row before the delete
    const char* shown;  // the name shown there
    int32_t count;      // RowCount and the rows in the table afterwards
    bool next;          // Next and Last are offered there (asked on a row only)
  } cases[] = {{21, nullptr, 21, "", 20, false}, {1000, nullptr, 21, "", 20, false},
               {20, nullptr, 20, "Person 20", 19, false}, {19, nullptr, 19, "Person 19", 18, false},
               {1000, DataControlMoveFirst, 1, "Person 1", 17, true},
               {1000, DataControlMovePrev, 17, "Person 18", 16, false},
               {1000, DataControlMoveLast, 16, "Person 17", 15, false}, {1000, DataControlMoveNext, 16, "", 15, false},
               // The query runs again at once, and the controls show the row it stands on; the
               // buttons are those of the new result, not of the last row before.
               {1000, [](VornRuntimeObject* nav) {
                  DataControlMoveLast(nav);
                  DataControlTableNameSetter(nav, 0, Str("people").Rep());
                }, 1, "Person 2", 14, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    DataControlMoveTo(w->nav, c.moveTo);
    if (c.then) c.then(w->nav);
    EXPECT_EQ(DataControlRow(w->nav), c.row);
    if (*c.shown) { EXPECT_EQ(ControlPaneAs<DataControl>(w->nav)->mCanMoveForward, c.next); }
    EXPECT_EQ(Text(editTextGetter(w->name, 0)), c.shown);
    DataControlDeleteRecord(w->nav);
    EXPECT_EQ(DataControlRowCount(w->nav), c.count);
    DataControlRunQuery(w->nav);
    EXPECT_EQ(DataControlRowCount(w->nav), c.count) << "the rows the table holds";
  }
  test::CloseAndRelease(window);
}

// What the row did not take raises no event, stays in the controls as typed, and stops the
// move that would have thrown it away; what it took raises the event once.
TEST_F(DataControlGuiTest, AnEditTheRowDoesNotTakeStaysTypedAndStopsTheMove) {
  enum Action { kUpdate, kInsert, kDelete };
  const char* const kLate = "insert into people (id, name, active, color) values (30, 'Late', true, 'red')";
  const struct {
    const char* field;  // the edit field's DataField
    bool live;          // rows read as the query walks the table; sql runs once the cursor stands
    int32_t moveTo;     // on the row, else before the window opens
    const char* sql;
    Action action;
    const char* typed;
    int32_t error;  // the database's error code afterwards; -1: any but 0 (the edit was refused)
    const char* later = nullptr;  // sql run by another part of the program once the window is open
  } cases[] = {
      {"name", false, 2, nullptr, kUpdate, "Grace Hopper", 0},
      {"id", false, 2, nullptr, kUpdate, "3", 2005},  // a key another row has
      {"name", false, 21, nullptr, kUpdate, "Nobody", -1},  // past the end
      {"id", false, 1, nullptr, kInsert, "99", 0},
      {"name", true, 3, nullptr, kDelete, "", 0},
      {"name", true, 3, "delete from people where id = 4", kDelete, "", 2003},
      {"name", false, 5, "delete from people", kUpdate, "Nobody", -1},  // an empty table: Row 1
      // A row added to the empty result is not shown until a move reaches it: nothing acts on it.
      {"name", false, 1, "delete from people", kUpdate, "Nobody", -1, kLate},
      {"name", false, 1, "delete from people", kDelete, "", -1, kLate},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    gDataField = c.field;
    if (c.sql && !c.live) Exec(c.sql);
    RuntimeObject* window = OpenWindow();
    PeopleWindowObject* w = People(window);
    if (c.live) {
      DataControlQuerySetter(w->nav, 0, Str("select * from people").Rep());
      DataControlRunQuery(w->nav);
    }
    DataControlMoveTo(w->nav, c.moveTo);
    if (c.sql && c.live) Exec(c.sql);
    if (c.later) Exec(c.later);
    const int32_t row = DataControlRow(w->nav), count = DataControlRowCount(w->nav);
    EXPECT_EQ(row, std::min(c.moveTo, count + 1)) << "past the end is one row after the last";
    // An error left by an earlier statement is no answer about the edit.
    Exec("update nowhere set x = 1");
    gUpdates = gInserts = gDeletes = 0;
    const std::string shown = Text(editTextGetter(w->name, 0));
    if (c.action == kInsert) DataControlNewRecord(w->nav);
    if (c.action != kDelete) editTextSetter(w->name, 0, Str(c.typed).Rep());
    if (c.action == kUpdate) DataControlUpdateRecord(w->nav);
    if (c.action == kInsert) DataControlAddNewRecord(w->nav);
    if (c.action == kDelete) DataControlDeleteRecord(w->nav);
    const int32_t error = databaseErrorCodeGetter(gDatabase, 0);
    const bool taken = c.error == 0;
    EXPECT_TRUE(c.error < 0 ? error != 0 : error == c.error) << error;
    EXPECT_EQ(gUpdates + gInserts + gDeletes, taken ? 1 : 0);
    if (c.action == kDelete) EXPECT_EQ(DataControlRowCount(w->nav), taken ? count - 1 : count);
    else EXPECT_EQ(Text(editTextGetter(w->name, 0)), c.action == kInsert && taken ? "" : c.typed);
    if (c.later) {  // First and Last reach the added row and show it
      editTextSetter(w->name, 0, Str(shown).Rep());
      (c.action == kDelete ? DataControlMoveFirst : DataControlMoveLast)(w->nav);
      EXPECT_EQ(Text(editTextGetter(w->name, 0)), "Late");
    }
    if (c.action == kUpdate && row > 1 && taken) {  // stepping back shows the row as written
      ClickNav(GetWindowPaneOf(window), kNavNext);
      ClickNav(GetWindowPaneOf(window), kNavPrevious);
      EXPECT_EQ(Text(editTextGetter(w->name, 0)), c.typed);
    }
    if (c.action == kUpdate && row > 1) {
      // Only a written edit lets the move go on; given up, it neither stops the move nor locks the row.
      ClickNav(GetWindowPaneOf(window), kNavFirst);
      EXPECT_EQ(DataControlRow(w->nav), taken ? 1 : row);
      EXPECT_EQ(gUpdates, taken ? 1 : 0) << "a refused edit is not taken as written by the move";
      if (!taken) {
        EXPECT_EQ(Text(editTextGetter(w->name, 0)), c.typed);
        editTextSetter(w->name, 0, Str(shown).Rep());
        ClickNav(GetWindowPaneOf(window), kNavFirst);
        EXPECT_EQ(DataControlRow(w->nav), 1);
        EXPECT_FALSE(editReadOnlyGetter(w->name, 0));
      }
    }
    test::CloseAndRelease(window);
  }
}

// A value saved and then undone by a Rollback still shows in its control; what is typed since
// writes only itself, over a sorted result and a live one.
TEST_F(DataControlGuiTest, AfterARollbackOnlyWhatIsTypedSinceIsWritten) {
  for (const char* query : {"select * from people order by id", "select * from people"}) {
    RuntimeObject* window = OpenWindow();
    PeopleWindowObject* w = People(window);
    DataControlQuerySetter(w->nav, 0, Str(query).Rep());
    DataControlRunQuery(w->nav), DataControlMoveTo(w->nav, 2);
    editTextSetter(w->name, 0, Str("Grace Hopper").Rep()), DataControlUpdateRecord(w->nav), databaseRollback(gDatabase);
    checkBoxValueSetter(w->active, 0, 1), DataControlUpdateRecord(w->nav);
    DataControlMoveTo(w->nav, 1), DataControlMoveTo(w->nav, 2);
    EXPECT_EQ(Shown(window), "Person 2|true|blue") << query;
    test::CloseAndRelease(window), databaseRollback(gDatabase);
  }
}

// The list holds the names in reverse order, so only matching by value selects the right row.
TEST_F(DataControlGuiTest, AListBoxBoundByDataSourceSelectsTheRowOfEachRecordAndWritesItsChoiceBack) {
  RuntimeObject* window = OpenWindow();
  PeopleWindowObject* w = People(window);
  for (int i = 20; i >= 1; --i) RuntimeListAddRow(w->list, Str("person " + std::to_string(i)).Rep());
  ListboxDataFieldSetter(w->list, 0, Str("name").Rep());
  ListboxDataSourceSetter(w->list, 0, Str("PeopleData").Rep());
  EXPECT_EQ(listSelectionGetter(w->list, 0), 19) << "row 1's name, letter case ignored";

  ClickNext(GetWindowPaneOf(window));
  EXPECT_EQ(DataControlRow(w->nav), 2);
  EXPECT_EQ(listSelectionGetter(w->list, 0), 18);

  // The user picks another name: Update stores the list's choice.
  EditDataSourceSetter(w->name, 0, Str("").Rep());
  listSelectionSetter(w->list, 0, 13);
  DataControlUpdateRecord(w->nav);
  DataControlMoveFirst(w->nav);
  EXPECT_EQ(listSelectionGetter(w->list, 0), 19);
  DataControlMoveNext(w->nav);
  EXPECT_EQ(Text(listTextGetter(w->list, 0)), "person 7");

  // An empty DataSource lets the list go: moving no longer touches its selection.
  ListboxDataSourceSetter(w->list, 0, Str("").Rep());
  DataControlMoveLast(w->nav);
  EXPECT_EQ(listSelectionGetter(w->list, 0), 13);
  ListboxDataSourceSetter(w->list, 0, Str("PeopleData").Rep());
  EXPECT_EQ(listSelectionGetter(w->list, 0), 0) << "binding again shows the current row";
  test::CloseAndRelease(window);
}

TEST_F(DataControlGuiTest, BadBindingsAndFailingQueriesLeaveTheControlsEmpty) {
  gDataField = "no_such_column";
  RuntimeObject* window = OpenWindow();
  PeopleWindowObject* w = People(window);
  EXPECT_EQ(Shown(window), "|true|green") << "a DataField naming no column shows nothing";
  EditDataSourceSetter(w->name, 0, Str("NoSuchControl").Rep());
  DataControlMoveNext(w->nav);
  EXPECT_EQ(DataControlRow(w->nav), 2);

  DataControlQuerySetter(w->nav, 0, Str("select * from nowhere").Rep());
  DataControlRunQuery(w->nav);
  EXPECT_EQ(DataControlRowCount(w->nav), 0);
  EXPECT_NE(databaseErrorCodeGetter(gDatabase, 0), 0) << "the database tells what failed";
  DataControlMoveNext(w->nav);
  EXPECT_EQ(DataControlRow(w->nav), 0);

  DataControlQuerySetter(w->nav, 0, Str("select * from people").Rep());
  DataControlRunQuery(w->nav);
  databaseClose(gDatabase);
  DataControlMoveNext(w->nav);
  DataControlMoveLast(w->nav);
  DataControlUpdateRecord(w->nav);

  // Emptying the list lets the controls go: none keeps a reference or a link.
  const int32_t before = w->active->refCount;
  DataControlControlBindSetter(w->nav, 0, 0);
  EXPECT_EQ(w->active->refCount, before - 1);
  test::CloseAndRelease(window);
}

// Per format: how 1234.5 shows, a number typed in the locale's writing, and one typed as the
// field shows numbers (written here by the C rules, typed with each locale's separators).
const struct BoundFormat {
  const char *format, *shown, *written;
  double writtenNumber;
  const char* shownForm;
  double shownNumber;
} kBoundFormats[] = {
    {"#,##0.00", "1,234.50", "99.5", 99.5, "2,500.75", 2500.75},
    {"0.0%", "123450.0%", "0.125", 0.125, "37.5%", 0.375},
    {"$#,##0.00;($#,##0.00)", "$1,234.50", "-42.25", -42.25, "($1,234.50)", -1234.5},
    {"0.00e+00", "1.23e+03", "0.5", 0.5, "2.50e-02", 0.025},
    {"#,##0.00;#,##0.00-", "1,234.50", "-42.25", -42.25, "1,234.50-", -1234.5},
};

class BoundFormatGuiTest : public DataControlGuiTest, public ::testing::WithParamInterface<BoundFormat> {};

std::string Shows(RuntimeObject* field) {
  return std::string(EditFieldPane(AsEditFieldObject(field))->GetText(kEncodingUTF8).View());
}

// The prices the rows have, in the order of their ids, as committed.
std::vector<double> StoredPrices() {
  databaseCommit(gDatabase);
  std::vector<double> prices;
  const string query = Str("select price from people where price is not null order by id");
  RuntimeObject* rs = databaseSQLSelect(gDatabase, query.Rep());
  for (; rs && !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
    RuntimeObject* field = cursorGetFieldByIndex(rs, 1);
    prices.push_back(cursorFieldDoubleValueGetter(field, 0));
    RuntimeUnlockObject(field);
  }
  RuntimeUnlockObject(rs);
  return prices;
}

// Moving, focusing and leaving, Revert and Update write nothing; what is typed in the locale's
// writing or in the field's shown form is stored as its number, by Update and by a new row.
TEST_P(BoundFormatGuiTest, TheFieldKeepsTheRowsNumberUntilTheUserTypesOne) {
  const BoundFormat& c = GetParam();
  gPriceFormat = c.format;
  gDataField = "id";  // the name field gives the new row its key
  const double numbers[] = {1234.5, c.writtenNumber, c.shownNumber};
  // What is done to row 1, one letter an action: Move to row 3 and back, Focus and leave, type
  // the Written number or the Shown form, Revert, Update; and which number row 1 holds after.
  const struct { const char* actions; int stored; } steps[] = {
      {"m", 0}, {"fu", 0}, {"wr", 0}, {"u", 0}, {"wu", 1}, {"m", 1}, {"su", 2}, {"fr", 2}, {"m", 2}};
  for (const char* name : {"C", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
    test::ProcessLocale locale(name);
    ASSERT_TRUE(locale.Loaded()) << name;
    SCOPED_TRACE(std::string(c.format) + " in " + name);
    Exec("delete from people where id = 21");
    for (const char* row : {"1234.5 where id = 1", "0.25 where id = 2", "-7.5 where id = 3"})
      Exec(std::string("update people set price = ") + row);
    RuntimeObject* window = OpenWindow();
    PeopleWindowObject* w = People(window);
    Window* native = GetWindowPaneOf(window);
    test::ShowAndSettle(native);
    auto formatted = [&](double n) { return std::string(StringFormat(n, Str(c.format)).View()); };
    auto click = [&](const Rect& r) { test::ClickAt(native, r.left + 10, r.top + 10); };
    auto type = [&](const char* text) {  // into the price field, which is left after
      click(kPriceBounds);
      EXPECT_EQ(GetFocusPane(), ControlPane(AsControl(w->price)));
      test::PressKeys("ctrl+a");
      test::Shell("xdotool type --delay 40 -- '" + test::InLocaleSeparators(text) + "'");
      test::PumpFor(150);
      click(kNameBounds);
    };
    // The window gives its first field the keyboard, which shows the number to edit.
    EXPECT_EQ(Text(editTextGetter(w->price, 0)), test::InLocaleSeparators("1234.5"));
    click(kNameBounds);
    EXPECT_EQ(Shows(w->price), test::InLocaleSeparators(c.shown));
    for (const auto& step : steps) {
      SCOPED_TRACE(step.actions);
      for (const char* action = step.actions; *action; ++action) {
        switch (*action) {
          case 'm':
            ClickNav(native, kNavNext), ClickNav(native, kNavNext);
            EXPECT_EQ(Shows(w->price), formatted(-7.5));
            ClickNav(native, kNavFirst);
            break;
          case 'f': click(kPriceBounds), click(kNameBounds); break;
          case 'w': type(c.written); break;
          case 's': type(c.shownForm); break;
          case 'r': GetDataBindingHooks().refreshBoundControls(w->nav); break;
          case 'u': DataControlUpdateRecord(w->nav); break;
        }
      }
      EXPECT_EQ(DataControlRow(w->nav), 1);
      EXPECT_EQ(Shows(w->price), formatted(numbers[step.stored]));
      EXPECT_EQ(StoredPrices(), (std::vector<double>{numbers[step.stored], 0.25, -7.5}));
    }
    DataControlNewRecord(w->nav);
    editTextSetter(w->name, 0, Str("21").Rep());
    type(c.written);
    DataControlAddNewRecord(w->nav);
    EXPECT_EQ(StoredPrices(), (std::vector<double>{c.shownNumber, 0.25, -7.5, c.writtenNumber}));
    test::CloseAndRelease(window);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, BoundFormatGuiTest, ::testing::ValuesIn(kBoundFormats),
                         [](const auto& info) { return "Format" + std::to_string(info.index); });

// What a column of the row holds: a number column's number by the C rules, or "NULL"; a text
// column's text (where the database keeps an empty text as NULL).
std::string StoredValue(const std::string& column, int id, bool number) {
  const std::string where = " from people where id = " + std::to_string(id);
  RuntimeObject* rs = databaseSQLSelect(gDatabase, Str("select " + column + where + " and " + column + " is null").Rep());
  const bool null = rs && !cursorEOFGetter(rs, 0);
  RuntimeUnlockObject(rs);
  if (null && number) return "NULL";
  rs = databaseSQLSelect(gDatabase, Str("select " + column + where).Rep());
  std::string text = "no row";
  if (rs && !cursorEOFGetter(rs, 0)) {
    RuntimeObject* field = cursorGetFieldByIndex(rs, 1);
    text = number ? ExactCNumber(cursorFieldDoubleValueGetter(field, 0)) : Text(cursorFieldStringValueGetter(field, 0));
    RuntimeUnlockObject(field);
  }
  RuntimeUnlockObject(rs);
  return text;
}

// A formatted field bound to a text column writes the text typed; bound to a number column, the
// number it shows, its own negative form included, and NULL once emptied; by Update and by a
// new row alike, in every locale.
class ColumnWriteGuiTest : public DataControlGuiTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ColumnWriteGuiTest, AFormattedFieldWritesWhatItsColumnTakes) {
  Exec("alter table people add code varchar(10)");
  Exec("alter table people add amount integer");
  gDataField = "id";  // the name field gives the new row its key
  gPriceFormat = "0";  // each row sets its own
  const struct {
    const char *column, *format, *before, *typed, *stored;  // C writing; typed null: focus only
  } rows[] = {
      {"code", "00000", "'777'", "01234", "01234"},  // a postcode keeps its zero
      {"code", "00000", "'777'", "100000", "100000"},
      {"code", "00000", "'777'", "abc", "abc"},
      {"code", "#,##0", "'777'", "1,234", "1,234"},
      {"code", "#,##0", "'777'", "", ""},
      {"amount", "#,##0;#,##0-", "777", "1,234-", "-1234"},
      {"amount", "00000", "777", "01234", "1234"},
      {"amount", "#,##0", "777", "100000", "100000"},
      {"amount", "#,##0", "777", "", "NULL"},
      {"price", "#,##0.00;#,##0.00-", "777", "1,234.50-", "-1234.5"},
      {"price", "#,##0.00;#,##0.00-", "777", "0.50-", "-0.5"},
      {"price", "#,##0", "777", "100000", "100000"},
      {"price", "#,##0", "777", "", "NULL"},
      {"price", "#,##0;#,##0", "-7.5", nullptr, "-7.5"},  // shows "8": the row keeps its number
  };
  const std::string& name = GetParam();
  test::ProcessLocale locale(name);
  ASSERT_TRUE(locale.Loaded()) << name;
  RuntimeObject* window = OpenWindow();
  PeopleWindowObject* w = People(window);
  Window* native = GetWindowPaneOf(window);
  test::ShowAndSettle(native);
  auto click = [&](const Rect& r) { test::ClickAt(native, r.left + 10, r.top + 10); };
  auto type = [&](const char* text) {  // into the price field, which is left after
    click(kPriceBounds);
    ASSERT_EQ(GetFocusPane(), ControlPane(AsControl(w->price)));
    if (text) editTextSetter(w->price, 0, Str(test::InLocaleSeparators(text)).Rep());
    click(kNameBounds);
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(name + " " + row.column + " " + row.format + " typed " + (row.typed ? row.typed : "nothing"));
    const bool number = std::string(row.column) != "code";
    const std::string stored = !number                             ? test::InLocaleSeparators(row.stored)
                               : std::string(row.stored) == "NULL" ? std::string(row.stored)
                                                                   : ExactCNumber(ReadCNumber(row.stored));
    Exec("delete from people where id = 21");
    Exec(std::string("update people set ") + row.column + " = " + row.before + " where id = 1");
    databaseCommit(gDatabase);
    ReplaceStringRep(AsEditFieldObject(w->price)->format, Str(row.format).Rep());
    EditDataFieldSetter(w->price, 0, Str(row.column).Rep());
    DataControlRunQuery(w->nav);
    type(row.typed);
    DataControlUpdateRecord(w->nav);
    databaseCommit(gDatabase);
    EXPECT_EQ(StoredValue(row.column, 1, number), stored) << "by Update";
    if (!row.typed) continue;
    DataControlNewRecord(w->nav);
    editTextSetter(w->name, 0, Str("21").Rep());
    type(row.typed);
    DataControlAddNewRecord(w->nav);
    databaseCommit(gDatabase);
    EXPECT_EQ(StoredValue(row.column, 21, number), stored) << "by a new row";
  }
  test::CloseAndRelease(window);
}

// A locale a test, so that each stays short on a busy machine.
INSTANTIATE_TEST_SUITE_P(Locales, ColumnWriteGuiTest,
                         ::testing::Values("C", "de_DE.UTF-8", "tr_TR.UTF-8", "ar_EG.UTF-8"),
                         [](const auto& info) { return info.param.substr(0, 2); });

}  // namespace
}  // namespace vorn
