#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "database/builtin_database_class.h"
#include "database/builtin_engine.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_format.h"
#include "database/db_handle.h"
#include "database/db_tree.h"
#include "database/db_shutdown_context.h"
#include "database/support/db_test_files.h"
#include "support/class_test.h"
#include "vorn/folder_item_api.h"

namespace vorn {
namespace {

std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

const string kStar("*");

std::function<void(RuntimeObject*)> Sql(const char* text) {
  return [text](RuntimeObject* db) { databaseSQLExecute(db, string(text).Rep()); };
}

// Statements that change the table Stars or the schema, by name.
const std::pair<const char*, const char*> kStarChanges[] = {
    {"delete", "delete from stars"},
    {"insert", "insert into stars (id, name, mag) values (9, 'Deneb', 1.25)"},
    {"update", "update stars set name = 'Wega'"},
    {"create", "create table moons (id integer)"},
    {"alter", "alter table stars add color varchar"},
};

class BuiltInDatabaseTest : public test::IntrinsicClassTest {
 protected:
  void SetUp() override {
    IntrinsicClassTest::SetUp();
    path = dbtest::TempPath("stars.vdb");
  }

  // A VORNDatabaseOldFormat whose DatabaseFile is the test's path.
  RuntimeObject* NewDatabase() {
    RuntimeObject* db = New(GetVORNDatabaseClassDefinition());
    RuntimeObject* item = FolderItemFromPath(path.c_str());
    VORNDatabaseFolderItemSetter(db, 0, item);
    RuntimeUnlockObject(item);
    return db;
  }

  const dbEngineDefinition& Engine(RuntimeObject* db) { return *DatabaseFields(db)->engine; }
  void* Handle(RuntimeObject* db) { return DatabaseFields(db)->handle; }

  // CREATE TABLE Stars (id integer not null primary key, name varchar, mag double), as the
  // SQL layer hands it to the engine.
  void CreateStars(RuntimeObject* db) {
    const string names[] = {"id", "name", "mag"};
    dbColumnDefinition mag{nullptr, names[2].Rep(), kVornDbDouble, 0};
    dbColumnDefinition name{&mag, names[1].Rep(), kVornDbText, 0};
    dbColumnDefinition id{&name, names[0].Rep(), kVornDbInteger, 1};
    const uint8_t key[] = {0};
    string table("Stars");
    Engine(db).createTable(Handle(db), table.Rep(), &id, key, 1);
  }

  void Insert(RuntimeObject* db, int32_t id, const char* name, double mag) {
    RuntimeObject* record = CreateInstanceFromDefinition(GetDatabaseRecordClassDefinition());
    setDatabaseRecordIntegerColumn(record, string("ID").Rep(), id);
    setDatabaseRecordColumn(record, string("Name").Rep(), string(name).Rep());
    setDatabaseRecordDoubleColumn(record, string("mag").Rep(), mag);
    databaseInsertRecord(db, string("stars").Rep(), record);
    RuntimeUnlockObject(record);
  }

  // Every row of the table as "id name mag", through a cursor of all columns.
  std::vector<std::string> Rows(RuntimeObject* db) {
    dbColumnList all{nullptr, kStar.Rep()};
    RuntimeObject* rs = Engine(db).getTableCursor(Handle(db), string("Stars").Rep(), &all, nullptr);
    std::vector<std::string> rows;
    RuntimeObject* id = cursorGetFieldByName(rs, string("id").Rep());
    RuntimeObject* name = cursorGetFieldByName(rs, string("NAME").Rep());
    RuntimeObject* mag = cursorGetFieldByName(rs, string("mag").Rep());
    for (; !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
      rows.push_back(std::to_string(cursorFieldIntegerValueGetter(id, 0)) + " " +
                     Text(cursorFieldStringValueGetter(name, 0)) + " " + Text(cursorFieldStringValueGetter(mag, 0)));
    }
    for (RuntimeObject* field : {id, name, mag}) RuntimeUnlockObject(field);
    RuntimeUnlockObject(rs);
    return rows;
  }

  std::string path;
};

TEST_F(BuiltInDatabaseTest, CreateInsertWalkAndReopen) {
  RuntimeObject* db = NewDatabase();
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
  EXPECT_TRUE(dbShutdownContext::ListsDatabase(db));
  CreateStars(db);
  ASSERT_FALSE(databaseErrorGetter(db, 0)) << Text(databaseErrorStringGetter(db, 0));
  Insert(db, 2, "Sirius", -1.46);
  Insert(db, 1, "Vega", 0.03);
  ASSERT_FALSE(databaseErrorGetter(db, 0)) << Text(databaseErrorStringGetter(db, 0));
  EXPECT_EQ(Rows(db), (std::vector<std::string>{"1 Vega 0.03", "2 Sirius -1.46"}));
  databaseCommit(db);
  databaseClose(db);
  EXPECT_EQ(Handle(db), nullptr);
  databaseCommit(db);

  RuntimeObject* again = NewDatabase();
  ASSERT_TRUE(VORNDatabaseConnect(again));
  EXPECT_EQ(Rows(again), (std::vector<std::string>{"1 Vega 0.03", "2 Sirius -1.46"}));
}

TEST_F(BuiltInDatabaseTest, SchemasListTablesAndColumns) {
  RuntimeObject* db = NewDatabase();
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
  CreateStars(db);
  RuntimeObject* tables = Keep(databaseTableSchema(db));
  ASSERT_NE(tables, nullptr);
  RuntimeObject* tableName = Keep(cursorGetFieldByIndex(tables, 1));
  EXPECT_EQ(Text(cursorFieldNameGetter(tableName, 0)), "TableName");
  EXPECT_EQ(Text(cursorFieldStringValueGetter(tableName, 0)), "Stars");

  EXPECT_EQ(databaseFieldSchema(db, string("moons").Rep()), nullptr);
  RuntimeObject* fields = Keep(databaseFieldSchema(db, string("STARS").Rep()));
  ASSERT_NE(fields, nullptr);
  EXPECT_EQ(cursorFieldCount(fields, 0), 5);
  std::vector<std::string> described;
  for (; !cursorEOFGetter(fields, 0); cursorMoveNext(fields)) {
    std::string row;
    for (int32_t column = 1; column <= 5; ++column) {
      RuntimeObject* field = cursorGetFieldByIndex(fields, column);
      row += Text(cursorFieldStringValueGetter(field, 0)) + (column < 5 ? " " : "");
      RuntimeUnlockObject(field);
    }
    described.push_back(row);
  }
  EXPECT_EQ(described, (std::vector<std::string>{"id 3 true true 0", "mag 7 false false 0",
                                                 "name 5 false false 0"}));
  EXPECT_EQ(databaseIndexSchema(db, string("Stars").Rep()), nullptr);
}

TEST_F(BuiltInDatabaseTest, EditingUpdatesAndDeletesRows) {
  RuntimeObject* db = NewDatabase();
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
  CreateStars(db);
  Insert(db, 1, "Vega", 0.03);
  Insert(db, 2, "Sirius", -1.46);
  dbColumnList all{nullptr, kStar.Rep()};
  RuntimeObject* rs = Keep(Engine(db).getTableCursor(Handle(db), string("Stars").Rep(), &all, nullptr));
  RuntimeObject* name = Keep(cursorGetFieldByName(rs, string("name").Rep()));
  cursorEdit(rs);
  cursorFieldStringValueSetter(name, 0, string("Alpha Lyrae").Rep());
  cursorUpdate(rs);
  cursorMoveNext(rs);
  cursorDeleteRecord(rs);
  cursorClose(rs);
  EXPECT_EQ(Rows(db), (std::vector<std::string>{"1 Alpha Lyrae 0.03"}));
}

TEST_F(BuiltInDatabaseTest, EngineErrorsSurfaceInTheErrorProperties) {
  RuntimeObject* db = NewDatabase();
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
  CreateStars(db);
  CreateStars(db);
  EXPECT_TRUE(databaseErrorGetter(db, 0));
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 2000);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "Unable to create Stars because it already exists");
  Insert(db, 1, "Vega", 0.03);
  EXPECT_FALSE(databaseErrorGetter(db, 0));
  Insert(db, 1, "Again", 1);
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 2005);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "Insert failed: primary key violation");
}

TEST_F(BuiltInDatabaseTest, WithoutAFileNothingOpens) {
  RuntimeObject* db = New(GetVORNDatabaseClassDefinition());
  EXPECT_EQ(VORNDatabaseFolderItemGetter(db, 0), nullptr);
  EXPECT_FALSE(VORNDatabaseConnect(db));
  EXPECT_FALSE(DatabaseFields(db)->open);
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 1);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "A Database file was not specified");
  EXPECT_FALSE(VORNDatabaseCreateDatabaseFile(db));
  EXPECT_EQ(databaseTableSchema(db), nullptr);
  // The engine record is there from construction, but there is no handle to commit.
  databaseCommit(db);
  databaseRollback(db);
  RuntimeObject* record = New(GetDatabaseRecordClassDefinition());
  databaseInsertRecord(db, string("t").Rep(), record);
  EXPECT_EQ(newVORNDatabase(nullptr), nullptr);
  EXPECT_EQ(openVORNDatabase(nullptr), nullptr);
}

// An operation on a database whose connect failed, or that was never connected, reaches
// nothing: it says so in the error properties, and the file is as it was.
TEST_F(BuiltInDatabaseTest, AnOperationThatReachesNoFileSaysWhy) {
  {
    RuntimeObject* made = NewDatabase();
    ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(made));
    CreateStars(made);
    Insert(made, 1, "Vega", 0.03);
    databaseClose(made);
  }
  struct Case {
    const char* name;
    std::function<void(RuntimeObject*)> act;
  };
  std::vector<Case> cases;
  for (const auto& [name, text] : kStarChanges) cases.push_back({name, Sql(text)});
  cases.insert(cases.end(), {
      {"drop", Sql("drop table stars")},
      {"commit statement", Sql("commit")},
      {"rollback statement", Sql("rollback")},
      {"select", [](RuntimeObject* db) { EXPECT_EQ(databaseSQLSelect(db, string("select * from stars").Rep()), nullptr); }},
      {"InsertRecord", [this](RuntimeObject* db) { Insert(db, 9, "Deneb", 1.25); }},
      {"Commit", [](RuntimeObject* db) { databaseCommit(db); }},
      {"Rollback", [](RuntimeObject* db) { databaseRollback(db); }},
      {"TableSchema", [](RuntimeObject* db) { EXPECT_EQ(databaseTableSchema(db), nullptr); }},
      {"GetProperty", [](RuntimeObject* db) { EXPECT_EQ(getDatabaseProperty(db, string("x").Rep()), nullptr); }},
  });
  for (const Case& c : cases) {
    for (const bool held : {true, false}) {
      const std::string what = std::string(c.name) + (held ? ", the file held by another" : ", never connected");
      RuntimeObject* holder = NewDatabase();
      if (held) {
        ASSERT_TRUE(VORNDatabaseConnect(holder)) << what;
      }
      RuntimeObject* db = NewDatabase();
      if (held) {
        EXPECT_FALSE(VORNDatabaseConnect(db)) << what;
      }
      c.act(db);
      EXPECT_EQ(databaseErrorCodeGetter(db, 0), 1) << what;
      EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)),
                held ? "The database file is in use by another connection" : "The database is not connected")
          << what;
      databaseClose(holder);
      RuntimeObject* again = NewDatabase();
      ASSERT_TRUE(VORNDatabaseConnect(again)) << what;
      EXPECT_EQ(Rows(again), (std::vector<std::string>{"1 Vega 0.03"})) << what;
      databaseClose(again);
    }
  }
}

TEST_F(BuiltInDatabaseTest, FilesThatAreNotSoundDatabasesAreRefusedWithTheReason) {
  dbtest::WriteBytes(path, std::vector<uint8_t>(200, 0x41));
  RuntimeObject* db = NewDatabase();
  EXPECT_FALSE(VORNDatabaseConnect(db));
  EXPECT_FALSE(DatabaseFields(db)->open);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "The file is not a database");

  // A file left inside an unfinished commit.
  {
    RuntimeObject* made = NewDatabase();
    ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(made));
    databaseClose(made);
  }
  std::vector<uint8_t> bytes = dbtest::ReadBytes(path);
  dbtest::PutWord(bytes, kDbHeaderOpenFlag, 1);
  dbtest::WriteBytes(path, bytes);
  EXPECT_FALSE(VORNDatabaseConnect(db));
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 1);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "The database file was left inside an unfinished transaction");
  // Its journal there but damaged: refused as damage, the engine's code.
  dbtest::WriteBytes(path + "-journal", std::vector<uint8_t>(200, 0x41));
  EXPECT_FALSE(VORNDatabaseConnect(db));
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 2001);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "The journal of the database file's unfinished transaction is damaged");
  RuntimeObject* item = Keep(VORNDatabaseFolderItemGetter(db, 0));
  EXPECT_EQ(openVORNDatabase(item), nullptr);
}

TEST_F(BuiltInDatabaseTest, AFileCutShortReadsWhatIsLeftWithTheDamageAsItsError) {
  {
    RuntimeObject* made = NewDatabase();
    ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(made));
    CreateStars(made);
    std::string name(300, 's');
    for (int32_t id = 0; id < 400; ++id) Insert(made, id, name.c_str(), 1.0);
    databaseClose(made);
  }
  std::vector<uint8_t> bytes = dbtest::ReadBytes(path);
  bytes.resize(64 + (bytes.size() - 64) / 8192 * 3 / 4 * 8192);
  dbtest::WriteBytes(path, bytes);
  RuntimeObject* db = NewDatabase();
  ASSERT_TRUE(VORNDatabaseConnect(db));
  // Opened, but with the damage as its error, and refusing changes.
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 2001);
  Insert(db, 1000, "new", 1.0);
  EXPECT_NE(Text(databaseErrorStringGetter(db, 0)).find("lies outside the file"), std::string::npos);
  // A walk that stops at the damage says so rather than ending as if every row was read.
  RuntimeObject* all = Keep(databaseSQLSelect(db, string("select * from stars").Rep()));
  ASSERT_NE(all, nullptr);
  int32_t read = 0;
  for (; !cursorEOFGetter(all, 0) && read <= 400; cursorMoveNext(all)) ++read;
  EXPECT_LT(read, 400);
  EXPECT_TRUE(databaseErrorGetter(db, 0));
  EXPECT_NE(Text(databaseErrorStringGetter(db, 0)).find("damaged"), std::string::npos);
  databaseClose(db);
  EXPECT_EQ(dbtest::ReadBytes(path), bytes);
}

// A table whose tree the catalogue names but the file lost: a count over it is an error, not
// a result of no row, and a query of another table answers as before.
TEST_F(BuiltInDatabaseTest, ACountOverATableWhoseRowsAreLostIsAnError) {
  RuntimeObject* made = NewDatabase();
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(made));
  CreateStars(made);
  for (int32_t id = 0; id < 40; ++id) Insert(made, id, "star", 1.0);
  databaseSQLExecute(made, string("create table notes (id integer)").Rep());
  databaseSQLExecute(made, string("insert into notes values (7)").Rep());
  databaseClose(made);
  {  // The catalogue still names the tree of Stars, which the file lost.
    auto handle = vndbHandle::OpenFile(path);
    ASSERT_TRUE(handle);
    const std::string tree = std::to_string(handle->FindSchema("stars")->id);
    vndbFile::Scope scope(handle->File());
    for (vndbTree master(handle->File()); master.Next();) {
      size_t length = 0;
      const char* record = reinterpret_cast<const char*>(master.CurrentRecord(&length));
      ASSERT_TRUE(std::string(record + 18, length - 18) != tree || master.DeleteCurrent());
    }
    ASSERT_TRUE(handle->Commit());
  }
  RuntimeObject* db = NewDatabase();
  ASSERT_TRUE(VORNDatabaseConnect(db));
  auto count = [&](const std::string& table) {
    RuntimeObject* rs = Keep(databaseSQLSelect(db, string("select count(*) from " + table, kEncodingUTF8).Rep()));
    return rs && !cursorEOFGetter(rs, 0) ? Text(cursorFieldStringValueGetter(Keep(cursorGetFieldByIndex(rs, 1)), 0)) : "";
  };
  EXPECT_EQ(count("stars"), "");
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 2001);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "The database file is damaged: the rows of table Stars are missing");
  EXPECT_EQ(count("notes"), "1");
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 0) << Text(databaseErrorStringGetter(db, 0));
  databaseClose(db);
}

TEST_F(BuiltInDatabaseTest, CreatingOverAnExistingFileLeavesAnEmptyDatabase) {
  RuntimeObject* db = NewDatabase();
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
  CreateStars(db);
  Insert(db, 1, "Vega", 0.03);
  // Again on the same object: the open connection is closed first, then the file made anew.
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
  RuntimeObject* tables = Keep(databaseTableSchema(db));
  EXPECT_TRUE(cursorEOFGetter(tables, 0));
  EXPECT_FALSE(databaseErrorGetter(db, 0));
}

TEST_F(BuiltInDatabaseTest, DestroyingAnOpenDatabaseCommitsIt) {
  {
    RuntimeObject* db = CreateInstanceFromDefinition(GetVORNDatabaseClassDefinition());
    RuntimeObject* item = FolderItemFromPath(path.c_str());
    VORNDatabaseFolderItemSetter(db, 0, item);
    RuntimeUnlockObject(item);
    ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
    CreateStars(db);
    Insert(db, 3, "Deneb", 1.25);
    RuntimeUnlockObject(db);
  }
  RuntimeObject* item = FolderItemFromPath(path.c_str());
  RuntimeObject* reopened = Keep(openVORNDatabase(item));
  RuntimeUnlockObject(item);
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(Rows(reopened), (std::vector<std::string>{"3 Deneb 1.25"}));
}

TEST_F(BuiltInDatabaseTest, CursorsLeftOpenOutliveTheirDatabaseSafely) {
  RuntimeObject* db = NewDatabase();
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
  CreateStars(db);
  Insert(db, 1, "Vega", 0.03);
  // Schema cursors belong to no database, so closing it cannot close them first.
  RuntimeObject* tables = Keep(databaseTableSchema(db));
  dbColumnList all{nullptr, kStar.Rep()};
  RuntimeObject* rows = Keep(Engine(db).getTableCursor(Handle(db), string("Stars").Rep(), &all, nullptr));
  databaseClose(db);
  EXPECT_EQ(cursorFieldCount(tables, 0), 0);
  cursorMoveNext(rows);
  EXPECT_TRUE(cursorEOFGetter(rows, 0));
  RuntimeObject* field = Keep(cursorGetFieldByIndex(rows, 1));
  EXPECT_EQ(field, nullptr);
}

TEST_F(BuiltInDatabaseTest, FilteredTableCursorsVisitOnlyMatchingRows) {
  RuntimeObject* db = NewDatabase();
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
  CreateStars(db);
  Insert(db, 1, "Vega", 0.03);
  Insert(db, 2, "Sirius", -1.46);
  Insert(db, 3, "Deneb", 1.25);
  dbColumnList all{nullptr, kStar.Rep()};
  const string id("id"), mag("MAG"), one("1"), zero("0"), nosuch("nosuch");
  dbFilter idIsOne{nullptr, nullptr, 0, 0, id.Rep(), one.Rep()};
  dbFilter magAboveZero{nullptr, nullptr, 2, 0, mag.Rep(), zero.Rep()};
  dbFilter either{&idIsOne, &magAboveZero, 65, 0, nullptr, nullptr};
  RuntimeObject* rs = Keep(Engine(db).getTableCursor(Handle(db), string("Stars").Rep(), &all, &either));
  ASSERT_NE(rs, nullptr);
  std::vector<int32_t> ids;
  RuntimeObject* idField = Keep(cursorGetFieldByName(rs, id.Rep()));
  for (; !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) ids.push_back(cursorFieldIntegerValueGetter(idField, 0));
  EXPECT_EQ(ids, (std::vector<int32_t>{1, 3}));

  dbFilter unknown{nullptr, nullptr, 0, 0, nosuch.Rep(), one.Rep()};
  EXPECT_EQ(Engine(db).getTableCursor(Handle(db), string("Stars").Rep(), &all, &unknown), nullptr);
  EXPECT_EQ(Engine(db).getTableCursor(Handle(db), string("Moons").Rep(), &all, nullptr), nullptr);
}

TEST_F(BuiltInDatabaseTest, EntryPointsAreBound) {
  test::ExpectEntryPointsBound({
      {"newVORNDatabase", reinterpret_cast<void*>(&newVORNDatabase)},
      {"openVORNDatabase", reinterpret_cast<void*>(&openVORNDatabase)},
      {"VORNDatabaseConnect", reinterpret_cast<void*>(&VORNDatabaseConnect)},
      {"VORNDatabaseCreateDatabaseFile", reinterpret_cast<void*>(&VORNDatabaseCreateDatabaseFile)},
      {"VORNDatabaseFolderItemGetter", reinterpret_cast<void*>(&VORNDatabaseFolderItemGetter)},
      {"VORNDatabaseConstructor", reinterpret_cast<void*>(&VORNDatabaseConstructor)},
  });
}

}  // namespace
}  // namespace vorn

namespace vorn {
namespace {

// Pointing an open database at a file that cannot be opened or made and connecting or creating
// fails with the reason and leaves the open connection as it was.
TEST_F(BuiltInDatabaseTest, AFailedConnectOrCreateKeepsTheOpenConnection) {
  const std::string folder = dbtest::TempPath("a-folder");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  const std::string nowhere = dbtest::TempPath("missing") + "/stars.vdb";
  struct Case {
    const char* name;
    uint8_t (*act)(VornRuntimeObject*);
    std::string path;
  };
  const Case cases[] = {
      {"connect to a folder", &VORNDatabaseConnect, folder},
      {"create a folder", &VORNDatabaseCreateDatabaseFile, folder},
      {"create in a missing folder", &VORNDatabaseCreateDatabaseFile, nowhere},
  };
  for (const Case& c : cases) {
    RuntimeObject* db = NewDatabase();
    ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
    CreateStars(db);
    Insert(db, 1, "Vega", 0.03);
    RuntimeObject* item = FolderItemFromPath(c.path.c_str());
    VORNDatabaseFolderItemSetter(db, 0, item);
    RuntimeUnlockObject(item);
    EXPECT_FALSE(c.act(db)) << c.name;
    EXPECT_TRUE(databaseErrorGetter(db, 0)) << c.name;
    EXPECT_FALSE(Text(databaseErrorStringGetter(db, 0)).empty()) << c.name;
    ASSERT_TRUE(DatabaseFields(db)->open) << c.name;
    EXPECT_EQ(Rows(db), (std::vector<std::string>{"1 Vega 0.03"})) << c.name;
    databaseClose(db);
    unlink(path.c_str());
  }
}

// Once the file's name no longer reaches the file a database holds open (removed, moved, or
// another file put in its place), every change and every commit of changes says so, and no
// change reaches the file, wherever it went, nor the one now at its name.
TEST_F(BuiltInDatabaseTest, AChangeToAFileNoLongerAtItsNameSaysWhy) {
  const auto edit = [this](bool remove) {
    return [this, remove](RuntimeObject* db) {
      dbColumnList all{nullptr, kStar.Rep()};
      RuntimeObject* rs = Keep(Engine(db).getTableCursor(Handle(db), string("Stars").Rep(), &all, nullptr));
      if (remove) return cursorDeleteRecord(rs);
      cursorEdit(rs);
      cursorFieldStringValueSetter(Keep(cursorGetFieldByName(rs, string("name").Rep())), 0, string("Wega").Rep());
      cursorUpdate(rs);
    };
  };
  struct Case {
    const char* name;
    std::function<void(RuntimeObject*)> act;
    bool pending = false;  // a change made while the name still reached the file
  };
  std::vector<Case> cases;
  for (const auto& [name, text] : kStarChanges) cases.push_back({name, Sql(text)});
  cases.insert(cases.end(), {
      {"InsertRecord", [this](RuntimeObject* db) { Insert(db, 9, "Deneb", 1.25); }},
      {"RecordSet Update", edit(false)},
      {"RecordSet DeleteRecord", edit(true)},
      {"Commit", [](RuntimeObject* db) { databaseCommit(db); }, true},
      {"commit statement", Sql("commit"), true},
  });
  enum class Loss { kRemoved, kMoved, kReplaced };
  for (const Loss loss : {Loss::kRemoved, Loss::kMoved, Loss::kReplaced}) {
    for (const Case& c : cases) {
      const std::string what = std::string(c.name) + (loss == Loss::kRemoved ? ", removed" : loss == Loss::kMoved ? ", moved" : ", replaced");
      path = dbtest::TempPath("named.vdb");
      const std::string aside = path + ".aside";
      RuntimeObject* db = NewDatabase();
      ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
      CreateStars(db);
      Insert(db, 1, "Vega", 0.03);
      databaseCommit(db);
      if (c.pending) Insert(db, 2, "Sirius", -1.46);
      const std::vector<uint8_t> committed = dbtest::ReadBytes(path);
      if (loss == Loss::kReplaced) dbtest::WriteBytes(aside, committed);
      ASSERT_EQ(loss == Loss::kRemoved ? unlink(path.c_str()) : loss == Loss::kMoved ? rename(path.c_str(), aside.c_str()) : rename(aside.c_str(), path.c_str()), 0) << what;
      c.act(db);
      EXPECT_EQ(databaseErrorCodeGetter(db, 0), kDbErrorInternal) << what;
      EXPECT_NE(Text(databaseErrorStringGetter(db, 0)).find("moved, removed or replaced"), std::string::npos)
          << what << ": " << Text(databaseErrorStringGetter(db, 0));
      databaseClose(db);
      if (loss == Loss::kRemoved) continue;
      EXPECT_EQ(dbtest::ReadBytes(loss == Loss::kMoved ? aside : path), committed) << what;
      EXPECT_NE(access((path + "-journal").c_str(), F_OK), 0) << what << ": a journal beside no file of its own";
    }
  }
}

}  // namespace
}  // namespace vorn
