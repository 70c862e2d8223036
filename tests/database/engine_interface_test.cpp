#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/resource_manager.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/db_shutdown_context.h"
#include "database/support/fake_engine.h"
#include "support/class_test.h"

namespace vorn {
namespace {

using dbtest::FakeValue;

std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }
// A name as a program may hold it, in another encoding than the UTF-8 an engine is handed.
string InEncoding(const char* encoding) {
  return ConvertTextEncoding(string("O'Brïen", kEncodingUTF8), EncodingForName(encoding));
}

class EngineInterfaceTest : public test::IntrinsicClassTest {
 protected:
  RuntimeObject* OpenFake() { return Keep(VORNdbDatabaseFromDBDatabase(&fake, &engine)); }

  RuntimeObject* Rows(std::vector<std::string> columns, std::vector<std::vector<FakeValue>> rows) {
    return Keep(dbtest::NewFakeRecordSet(&cursorRecord, std::move(columns), std::move(rows), &cursorLog));
  }

  dbtest::FakeDatabase fake;
  dbEngineDefinition engine = dbtest::FakeEngineRecord();
  dbCursorDefinition cursorRecord = dbtest::FakeCursorRecord();
  std::vector<std::string> cursorLog;
};

TEST_F(EngineInterfaceTest, WrappingHandlesGivesOpenObjectsListedForQuit) {
  EXPECT_EQ(VORNdbDatabaseFromDBDatabase(nullptr, &engine), nullptr);
  EXPECT_EQ(VORNdbCursorFromDBCursor(nullptr, &cursorRecord), nullptr);
  EXPECT_EQ(VORNdbDatabaseFromDBDatabase(&fake, nullptr), nullptr);
  EXPECT_EQ(VORNdbCursorFromDBCursor(&fake, nullptr), nullptr);
  RuntimeObject* db = OpenFake();
  ASSERT_NE(DatabaseFields(db), nullptr);
  EXPECT_EQ(DatabaseFields(db)->handle, &fake);
  EXPECT_EQ(DatabaseFields(db)->open, 1);
  EXPECT_TRUE(dbShutdownContext::ListsDatabase(db));

  RuntimeObject* rs = Rows({"a"}, {{FakeValue::Integer(1)}, {FakeValue::Integer(2)}});
  ASSERT_TRUE(RuntimeObjectIsaDefinition(rs, GetRecordSetClassDefinition()));
  EXPECT_TRUE(dbShutdownContext::ListsCursor(rs));
  EXPECT_EQ(CursorFields(rs)->rowNumber, 1);
  EXPECT_FALSE(cursorBOFGetter(rs, 0));
  EXPECT_FALSE(cursorEOFGetter(rs, 0));
  EXPECT_NE(VORNGetCursorFromVORNdbCursor(rs), nullptr);
}

TEST_F(EngineInterfaceTest, AnEmptyResultStartsAtBothEnds) {
  RuntimeObject* rs = Rows({"a"}, {});
  EXPECT_TRUE(cursorBOFGetter(rs, 0));
  EXPECT_TRUE(cursorEOFGetter(rs, 0));
  EXPECT_EQ(CursorFields(rs)->rowNumber, 1);
  RuntimeObject* field = Keep(cursorGetFieldByIndex(rs, 1));
  EXPECT_EQ(Text(cursorFieldStringValueGetter(field, 0)), "");
  EXPECT_EQ(cursorFieldIntegerValueGetter(field, 0), 0);
  EXPECT_FALSE(CursorFieldBooleanValueGetter(field, 0));
  EXPECT_EQ(cursorFieldNativeValueGetter(field, 0), nullptr);
}

TEST_F(EngineInterfaceTest, RegistrationStoresTheHostFlag) {
  PluginRegisterDBEngine(&engine);
  EXPECT_EQ(engine.hostFlag, 0x7700);
  cursorRecord.hostFlag = 5;
  PluginRegisterDBCursor(&cursorRecord);
  EXPECT_EQ(cursorRecord.hostFlag, 0);
}

TEST_F(EngineInterfaceTest, EnginesAreChosenByNameWithoutRegardToCase) {
  static std::vector<std::string> opened;
  opened.clear();
  RegisterDataSource("Ledger", [](const void* data, uint32_t length) -> RuntimeObject* {
    opened.push_back("first " + std::string(static_cast<const char*>(data), length));
    return nullptr;
  });
  RegisterDataSource("LEDGER", [](const void* data, uint32_t length) -> RuntimeObject* {
    opened.push_back("second " + std::string(static_cast<const char*>(data), length));
    return nullptr;
  });
  const uint8_t data[] = {'a', 'b'};
  EXPECT_EQ(OpenDatabaseByEngineName(string("ledger"), data, 2), nullptr);
  EXPECT_EQ(opened, (std::vector<std::string>{"second ab"}));
  EXPECT_EQ(OpenDatabaseByEngineName(string("nothing"), data, 2), nullptr);
  // The built-in engine never opens stored data, whatever the letter case of its name.
  const uint8_t stored[] = {'Z', 1, 'x', 1, 'y'};
  EXPECT_EQ(OpenDatabaseByEngineName(string("VornDB"), stored, sizeof stored), nullptr);
  EXPECT_EQ(opened.size(), 1u);
}

// A data source whose databases are the fixture's fake engine over the fake database.
dbtest::FakeDatabase* sSourceDatabase = nullptr;
dbEngineDefinition* sSourceEngine = nullptr;
std::string sSourceData;

RuntimeObject* OpenFromSource(const void* data, uint32_t length) {
  sSourceData.assign(static_cast<const char*>(data), length);
  return VORNdbDatabaseFromDBDatabase(sSourceDatabase, sSourceEngine);
}

TEST_F(EngineInterfaceTest, StoredDatabasesOpenLazilyThroughTheirEngine) {
  sSourceDatabase = &fake;
  sSourceEngine = &engine;
  RegisterDataSource("Lazy", &OpenFromSource);
  static const uint8_t kData[] = {'r', 'o', 'w', 's'};
  RuntimeObject* db = New(GetDatabaseClassDefinition());
  EXPECT_EQ(getDatabaseProperty(db, string("x").Rep()), nullptr);  // nothing stored: stays closed
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "The database is not connected");
  DatabaseObject* fields = DatabaseFields(db);
  // Stored for an engine that does not open it: the statement says so.
  fields->engineName = string("NONE").GetRetainedRep();
  fields->data = kData;
  fields->dataLength = sizeof kData;
  databaseSQLExecute(db, string("delete from t").Rep());
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 1);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "The database cannot be opened by its engine");
  ReleaseStringRep(fields->engineName);
  fields->engineName = string("LAZY").GetRetainedRep();
  fields->data = kData;
  fields->dataLength = sizeof kData;
  databaseCommit(db);  // commit does not open
  EXPECT_TRUE(fake.log.empty());
  EXPECT_EQ(databaseTableSchema(db), nullptr);  // opens; the engine offers no schema
  EXPECT_EQ(sSourceData, "rows");
  EXPECT_EQ(fields->handle, &fake);
  EXPECT_TRUE(dbShutdownContext::ListsDatabase(db));
  databaseCommit(db);
  EXPECT_EQ(fake.log, (std::vector<std::string>{"commit"}));
}

TEST_F(EngineInterfaceTest, ResourceDatabasesOpenByTheirEngineName) {
  sSourceDatabase = &fake;
  sSourceEngine = &engine;
  RegisterDataSource("Res", &OpenFromSource);
  static const uint8_t kResource[] = {3, 0, 0, 0, 'r', 'E', 's', 2, 0, 0, 0, 'o', 'k'};
  GetResourceManager().AddResource(0x44424153, 129, kResource, sizeof kResource, 0);
  RuntimeObject* db = Keep(RuntimeGetDatabaseFromResource(129));
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(sSourceData, "ok");
  EXPECT_TRUE(DatabaseFields(db)->open);
  EXPECT_EQ(RuntimeGetDatabaseFromResource(130), nullptr);
}

TEST_F(EngineInterfaceTest, OwnErrorWinsOverTheEnginesAndCodeZeroClearsIt) {
  RuntimeObject* db = OpenFake();
  EXPECT_FALSE(databaseErrorGetter(db, 0));
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "");
  fake.errorCode = 2003;
  fake.errorText = "Unknown table moons";
  EXPECT_TRUE(databaseErrorGetter(db, 0));
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 2003);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "Unknown table moons");
  VORNDatabaseSetError(db, 201, "Syntax error");
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 201);
  EXPECT_EQ(Text(databaseErrorStringGetter(db, 0)), "Syntax error");
  VORNDatabaseSetError(db, 0, nullptr);
  EXPECT_EQ(databaseErrorCodeGetter(db, 0), 2003);
}

TEST_F(EngineInterfaceTest, CommitFallsBackToSqlTextAndOtherwiseDoesNothing) {
  RuntimeObject* db = OpenFake();
  databaseCommit(db);
  engine.commit = nullptr;
  engine.rollback = nullptr;
  databaseCommit(db);
  databaseRollback(db);
  engine.directSQLExecute = nullptr;
  databaseCommit(db);
  EXPECT_EQ(fake.log, (std::vector<std::string>{"commit", "sql commit", "sql rollback"}));
}

TEST_F(EngineInterfaceTest, MissingOperationsGiveNeutralResults) {
  RuntimeObject* db = OpenFake();
  EXPECT_EQ(databaseTableSchema(db), nullptr);
  EXPECT_EQ(databaseFieldSchema(db, string("t").Rep()), nullptr);
  EXPECT_EQ(databaseIndexSchema(db, string("t").Rep()), nullptr);
  EXPECT_EQ(getDatabaseProperty(db, string("x").Rep()), nullptr);
  EXPECT_FALSE(DatabaseConnect(db));
  cursorRecord.columnName = nullptr;
  cursorRecord.rowCount = nullptr;
  cursorRecord.columnType = nullptr;
  RuntimeObject* rs = Rows({"a", "b"}, {{FakeValue::Integer(1), FakeValue::Integer(2)}});
  EXPECT_EQ(RecordSetRecordCount(rs), -1);
  EXPECT_EQ(RecordSetColumnType(rs, 0), -1);
  RuntimeObject* second = Keep(cursorGetFieldByName(rs, string("FIELD2").Rep()));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Text(cursorFieldNameGetter(second, 0)), "field2");
  EXPECT_EQ(cursorFieldIntegerValueGetter(second, 0), 2);
}

TEST_F(EngineInterfaceTest, FieldsAreFoundByNameOrOneBasedIndex) {
  RuntimeObject* rs = Rows({"id", "Name", "name"}, {{FakeValue::Integer(7), FakeValue::Text("Vega"),
                                                     FakeValue::Text("other")}});
  EXPECT_EQ(cursorFieldCount(rs, 0), 3);
  EXPECT_EQ(cursorGetFieldByIndex(rs, 0), nullptr);
  EXPECT_EQ(cursorGetFieldByIndex(rs, 4), nullptr);
  EXPECT_EQ(cursorGetFieldByName(rs, string("missing").Rep()), nullptr);
  RuntimeObject* first = Keep(cursorGetFieldByIndex(rs, 1));
  EXPECT_EQ(cursorFieldIntegerValueGetter(first, 0), 7);
  RuntimeObject* byName = Keep(cursorGetFieldByName(rs, string("NAME").Rep()));
  EXPECT_EQ(Text(cursorFieldStringValueGetter(byName, 0)), "Vega");
  EXPECT_EQ(RecordSetRecordCount(rs), 1);
  EXPECT_EQ(RecordSetColumnType(rs, 2), 102);
}

TEST_F(EngineInterfaceTest, MovingWalksRowsAndDropsPendingEdits) {
  RuntimeObject* rs = Rows({"a"}, {{FakeValue::Integer(1)}, {FakeValue::Integer(2)}});
  RuntimeObject* field = Keep(cursorGetFieldByIndex(rs, 1));
  cursorEdit(rs);
  cursorFieldStringValueSetter(field, 0, string("9").Rep());
  EXPECT_EQ(cursorFieldIntegerValueGetter(field, 0), 9);
  CursorMoveFirst(rs);
  EXPECT_EQ(CursorFields(rs)->edits, nullptr);
  CursorMoveLast(rs);
  CursorMovePrev(rs);
  cursorMoveNext(rs);
  EXPECT_EQ(cursorFieldIntegerValueGetter(field, 0), 2);
  EXPECT_EQ(CursorFields(rs)->rowNumber, 2);
  cursorDeleteRecord(rs);
  cursorMoveNext(rs);
  EXPECT_TRUE(cursorEOFGetter(rs, 0));
  cursorDeleteRecord(rs);  // at EOF: nothing
  EXPECT_EQ(cursorFieldIntegerValueGetter(field, 0), 0);
  EXPECT_EQ(cursorLog, (std::vector<std::string>{"edit", "first", "last", "previous", "release", "delete 1"}));
}

TEST_F(EngineInterfaceTest, UpdateHandsTheLastValueOfEachFieldToTheEngine) {
  RuntimeObject* rs = Rows({"a", "b"}, {{FakeValue::Integer(1), FakeValue::Integer(2)}});
  RuntimeObject* a = Keep(cursorGetFieldByIndex(rs, 1));
  RuntimeObject* b = Keep(cursorGetFieldByIndex(rs, 2));
  cursorFieldStringValueSetter(a, 0, string("ignored").Rep());  // not editing
  cursorUpdate(rs);                                              // not editing: nothing
  cursorEdit(rs);
  cursorFieldStringValueSetter(a, 0, string("x").Rep());
  cursorFieldStringValueSetter(a, 0, string("y").Rep());
  cursorFieldStringValueSetter(b, 0, nullptr);
  EXPECT_EQ(Text(cursorFieldStringValueGetter(a, 0)), "y");
  cursorUpdate(rs);
  EXPECT_FALSE(CursorFields(rs)->editing);
  // Edits stay readable after Update until the cursor moves.
  EXPECT_EQ(Text(cursorFieldStringValueGetter(a, 0)), "y");
  EXPECT_EQ(cursorLog, (std::vector<std::string>{"edit", "update 1=NULL 0=y"}));
}

TEST_F(EngineInterfaceTest, WithoutUpdateRowEditsBecomeUpdateStatements) {
  RuntimeObject* db = OpenFake();
  cursorRecord.updateRow = nullptr;
  RuntimeObject* rs = Rows({"name", "computed", "mag", "note"},
                           {{FakeValue::Text("a"), FakeValue::Text("b"), FakeValue::Text("c"), FakeValue::Text("d")}});
  BindCursorToDatabase(rs, db, string("select * from Stars"));
  cursorEdit(rs);
  for (int32_t column = 1; column <= 4; ++column) {
    RuntimeObject* field = cursorGetFieldByIndex(rs, column);
    const string values[] = {InEncoding("UTF-16"), string("skipped"), string("x")};
    cursorFieldStringValueSetter(field, 0, column <= 3 ? values[column - 1].Rep() : nullptr);
    RuntimeUnlockObject(field);
  }
  cursorUpdate(rs);
  EXPECT_EQ(fake.log, (std::vector<std::string>{
                          "sql UPDATE [Other] SET [mag] = 'x' WHERE id=0",
                          "sql UPDATE [Stars] SET [name] = 'O''Brïen', [note] = NULL WHERE id=0",
                      }));
}

TEST_F(EngineInterfaceTest, InsertRecordUsesTheEngineOrInsertText) {
  RuntimeObject* db = OpenFake();
  RuntimeObject* record = New(GetDatabaseRecordClassDefinition());
  setDatabaseRecordColumn(record, string("name").Rep(), InEncoding("ISO-8859-1").Rep());
  setDatabaseRecordIntegerColumn(record, string("id").Rep(), 3);
  setDatabaseRecordDoubleColumn(record, string("mag").Rep(), 1.5);
  databaseInsertRecord(db, string("Stars").Rep(), record);
  engine.addTableRecord = nullptr;
  databaseInsertRecord(db, string("Stars").Rep(), record);
  EXPECT_EQ(fake.log, (std::vector<std::string>{
                          "add Stars mag=1.5 id=3 name=O'Brïen",
                          "sql insert into Stars(mag,id,name) values (1.5,3,'O''Brïen')",
                      }));
}

TEST_F(EngineInterfaceTest, ClosingIsSafeTwiceAndReleasesOnce) {
  RuntimeObject* db = OpenFake();
  RuntimeObject* rs = Rows({"a"}, {{FakeValue::Integer(1)}});
  BindCursorToDatabase(rs, db, string("q"));
  cursorClose(rs);
  cursorClose(rs);
  EXPECT_EQ(cursorLog, (std::vector<std::string>{"closeCursor"}));
  EXPECT_FALSE(dbShutdownContext::ListsCursor(rs));
  EXPECT_EQ(cursorFieldCount(rs, 0), 0);
  databaseClose(db);
  databaseClose(db);
  EXPECT_EQ(fake.log, (std::vector<std::string>{"close"}));
  EXPECT_FALSE(dbShutdownContext::ListsDatabase(db));
  // A closed database asks its engine nothing more.
  fake.errorCode = 5;
  EXPECT_FALSE(databaseErrorGetter(db, 0));
}

TEST_F(EngineInterfaceTest, PluginsReadTheConnectionStrings) {
  RuntimeObject* plain = New(GetDatabaseClassDefinition());
  EXPECT_EQ(Text(VORNGetDBUserName(plain)), "");
  stringSetter(plain, static_cast<int32_t>(offsetof(DatabaseObject, userName)), string("ann").Rep());
  stringSetter(plain, static_cast<int32_t>(offsetof(DatabaseObject, password)), string("pw").Rep());
  EXPECT_EQ(Text(VORNGetDBUserName(plain)), "ann");
  EXPECT_EQ(Text(VORNGetDBPassword(plain)), "pw");
  VORNConstructDBDatabase(plain, &fake, &engine);
  VORNConstructDBDatabase(plain, &fake, &engine);
  EXPECT_TRUE(dbShutdownContext::ListsDatabase(plain));
  databaseClose(plain);
  EXPECT_FALSE(dbShutdownContext::ListsDatabase(plain));
  EXPECT_EQ(fake.log, (std::vector<std::string>{"close"}));
  EXPECT_EQ(VORNDBConnectionDialogCreate(), nullptr);
  EXPECT_EQ(VORNDBConnectionDialogShow(nullptr, "x"), 0);
}

TEST_F(EngineInterfaceTest, EntryPointsAreBound) {
  test::ExpectEntryPointsBound({
      {"VORNdbDatabaseFromDBDatabase", reinterpret_cast<void*>(&VORNdbDatabaseFromDBDatabase)},
      {"VORNdbCursorFromDBCursor", reinterpret_cast<void*>(&VORNdbCursorFromDBCursor)},
      {"PluginRegisterDBEngine", reinterpret_cast<void*>(&PluginRegisterDBEngine)},
      {"PluginRegisterDBCursor", reinterpret_cast<void*>(&PluginRegisterDBCursor)},
      {"VORNDatabaseSetError", reinterpret_cast<void*>(&VORNDatabaseSetError)},
      {"RegisterDataSource", reinterpret_cast<void*>(&RegisterDataSource)},
      {"RuntimeGetDatabaseFromResource", reinterpret_cast<void*>(&RuntimeGetDatabaseFromResource)},
      {"VORNConstructDBDatabase", reinterpret_cast<void*>(&VORNConstructDBDatabase)},
      {"VORNGetCursorFromVORNdbCursor", reinterpret_cast<void*>(&VORNGetCursorFromVORNdbCursor)},
      {"databaseClose", reinterpret_cast<void*>(&databaseClose)},
      {"cursorMoveNext", reinterpret_cast<void*>(&cursorMoveNext)},
      {"RecordSetColumnType", reinterpret_cast<void*>(&RecordSetColumnType)},
      {"cursorFieldStringValueGetter", reinterpret_cast<void*>(&cursorFieldStringValueGetter)},
      {"getDatabaseRecordIndString", reinterpret_cast<void*>(&getDatabaseRecordIndString)},
  });
  // Registering the classes reported nothing.
  EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace vorn
