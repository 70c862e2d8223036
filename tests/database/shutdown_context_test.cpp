#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/shutdown_task.h"
#include "database/database_objects.h"
#include "database/db_shutdown_context.h"
#include "database/support/fake_engine.h"
#include "support/class_test.h"

namespace vorn {
namespace {

using dbtest::FakeValue;

class ShutdownContextTest : public test::IntrinsicClassTest {
 protected:
  RuntimeObject* Database() { return Keep(VORNdbDatabaseFromDBDatabase(&fake, &engine)); }

  // A cursor of the database whose close is logged with its name.
  RuntimeObject* CursorOf(RuntimeObject* database, const std::string& name) {
    RuntimeObject* cursor = Keep(dbtest::NewFakeRecordSet(&cursorRecord, {"a"}, {{FakeValue::Integer(1)}}, &log));
    names[VORNGetCursorFromVORNdbCursor(cursor)] = name;
    BindCursorToDatabase(cursor, database, string("q"));
    return cursor;
  }

  static void LogClose(void* handle) {
    sLog->push_back("close " + (*sNames)[handle]);
    delete static_cast<dbtest::FakeCursor*>(handle);
  }

  void SetUp() override {
    IntrinsicClassTest::SetUp();
    sLog = &log;
    sNames = &names;
    cursorRecord.closeCursor = &LogClose;
    engine.closeDatabase = [](void* handle) {
      sLog->push_back("close database");
      static_cast<dbtest::FakeDatabase*>(handle)->log.push_back("closed");
      return int32_t{1};
    };
  }

  dbtest::FakeDatabase fake;
  dbEngineDefinition engine = dbtest::FakeEngineRecord();
  dbCursorDefinition cursorRecord = dbtest::FakeCursorRecord();
  std::vector<std::string> log;
  std::map<void*, std::string> names;
  static inline std::vector<std::string>* sLog = nullptr;
  static inline std::map<void*, std::string>* sNames = nullptr;
};

TEST_F(ShutdownContextTest, QuitClosesCursorsThenDatabasesOnce) {
  RuntimeObject* db = Database();
  CursorOf(db, "first");
  CursorOf(db, "second");
  RunShutdownTasks();
  EXPECT_EQ(log, (std::vector<std::string>{"close second", "close first", "close database"}));
  // The objects outlive the quit; releasing them later closes nothing again.
  ReleaseObjects();
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(ShutdownContextTest, ACursorClosedByHandIsNotClosedAgainAtQuit) {
  RuntimeObject* db = Database();
  RuntimeObject* first = CursorOf(db, "first");
  CursorOf(db, "second");
  cursorClose(first);
  EXPECT_FALSE(dbShutdownContext::ListsCursor(first));
  RunShutdownTasks();
  EXPECT_EQ(log, (std::vector<std::string>{"close first", "close second", "close database"}));
}

TEST_F(ShutdownContextTest, ClosingADatabaseClosesItsOpenCursors) {
  RuntimeObject* db = Database();
  RuntimeObject* other = Keep(VORNdbDatabaseFromDBDatabase(&fake, &engine));
  RuntimeObject* mine = CursorOf(db, "mine");
  RuntimeObject* theirs = CursorOf(other, "theirs");
  databaseClose(db);
  EXPECT_EQ(log, (std::vector<std::string>{"close mine", "close database"}));
  EXPECT_FALSE(dbShutdownContext::ListsCursor(mine));
  EXPECT_FALSE(dbShutdownContext::ListsDatabase(db));
  EXPECT_TRUE(dbShutdownContext::ListsCursor(theirs));
  EXPECT_EQ(CursorFields(mine)->database, nullptr);
}

TEST_F(ShutdownContextTest, ACursorHoldingTheLastReferenceToItsDatabaseClosesCleanly) {
  RuntimeObject* db = VORNdbDatabaseFromDBDatabase(&fake, &engine);
  CursorOf(db, "only");
  RuntimeUnlockObject(db);  // the cursor now holds the database alone
  RunShutdownTasks();
  EXPECT_EQ(log, (std::vector<std::string>{"close only", "close database"}));
}

TEST_F(ShutdownContextTest, RemovingWhatWasNeverListedDoesNothing) {
  RuntimeObject* plain = New(GetDatabaseClassDefinition());
  dbShutdownContext::RemoveDatabase(plain);
  dbShutdownContext::RemoveCursor(plain);
  dbShutdownContext::CloseCursorsOfDatabase(plain);
  EXPECT_FALSE(dbShutdownContext::ListsDatabase(plain));
  RunShutdownTasks();
  EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace vorn
