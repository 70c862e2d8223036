// DatabaseQuery and the scrollable cursor under it, against a real database file: the "%1"
// parameter stays a literal, results are read back by row number, runs notify as promised.
#include <glib.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "controls/binding_binders.h"
#include "controls/binding_interfaces.h"
#include "core/timer.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/support/sql_database.h"
#include "datacontrols/database_query.h"
#include "datacontrols/query_parameter.h"
#include "datacontrols/scrollable_cursor.h"
#include "objects/class_registry.h"
#include "vorn/object_abi.h"

namespace vorn {
namespace {

std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }
string Str(const char* text) { return string(text, kEncodingUTF8); }

int gCompleted = 0;
void OnQueryComplete(RuntimeObject*) { ++gCompleted; }

class DatabaseQueryTest : public dbtest::SqlDatabaseTest {
 protected:
  void SetUp() override {
    dbtest::SqlDatabaseTest::SetUp();
    CreateStars();
    gCompleted = 0;
  }

  RuntimeObject* NewQuery(const char* sql) {
    static RuntimeClass* cls =
        test::MakeClass("StarQuery", "DatabaseQuery", sizeof(DatabaseQueryObject),
                        {{"#QueryComplete%%o<StarQuery>", reinterpret_cast<void*>(&OnQueryComplete), nullptr, 0}});
    RuntimeObject* query = Keep(RuntimeNewObject(cls));
    objSetter(query, offsetof(DatabaseQueryObject, database), db);
    stringSetter(query, offsetof(DatabaseQueryObject, sqlQuery), Str(sql).Rep());
    return query;
  }

  // The rows' first columns joined by ",".
  std::string Names(RuntimeObject* provider, int32_t (*count)(RuntimeObject*),
                    RuntimeObject* (*row)(RuntimeObject*, int32_t)) {
    std::string names;
    const int32_t n = count(provider);
    for (int32_t i = 1; i <= n; ++i) {
      RuntimeObject* record = Keep(row(provider, i));
      if (!names.empty()) names += ",";
      names += Text(getDatabaseRecordIndString(record, 1));
    }
    return names;
  }
  std::string QueryNames(RuntimeObject* query) { return Names(query, &databaseQueryGetCount, &databaseQueryGetRow); }
};

TEST(QueryParameterTest, TheParameterIsAlwaysALiteral) {
  struct Case {
    const char* query;
    const char* parameter;
    const char* expected;
  };
  const Case cases[] = {
      {"select * from t where a = %1", "x", "select * from t where a = 'x'"},
      {"select * from t where a = %1 or b = %1", "it's", "select * from t where a = 'it''s' or b = 'it''s'"},
      {"select * from t where a = '%1'", "a'; delete from t; --", "select * from t where a = 'a''; delete from t; --'"},
      {"select * from t where a = \"%1\"", "q\"'", "select * from t where a = \"q\"\"'\""},
      {"select * from t where a = 'it''s %1' and b = %1", "z", "select * from t where a = 'it''s z' and b = 'z'"},
      {"select * from t %1 %1", "", "select * from t  "},
      // A quote inside a word opens no literal; a marker next to a word stays a literal apart.
      {"select * from t where a = x'%1", "y or 1 = 1", "select * from t where a = x' 'y or 1 = 1'"},
      {"select * from [%1]", "t] where 1 = 1 or [a", "select * from [t where 1 = 1 or [a]"},
      {"select * from t", "x", "select * from t"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BindQueryParameter(Str(c.query), Str(c.parameter)).value_or(string("(none)")).View(), c.expected)
        << c.query;
}

TEST_F(DatabaseQueryTest, AParameterWithAQuoteAndASemicolonMatchesItsRowAndChangesNothing) {
  Exec("insert into stars (id, name, mag) values (4, 'Bob''s; drop table stars', 9)");
  RuntimeObject* query = NewQuery("select name from stars where name = %1");
  databaseQuerySetParameter(query, Str("Bob's; drop table stars").Rep());
  EXPECT_EQ(QueryNames(query), "Bob's; drop table stars");
  databaseQuerySetParameter(query, Str("x' or '1' = '1").Rep());
  EXPECT_EQ(databaseQueryGetCount(query), 0);
  databaseQuerySetParameter(query, Str("x'; delete from stars; --").Rep());
  EXPECT_EQ(databaseQueryGetCount(query), 0);
  EXPECT_EQ(TableRows("stars").size(), 4u);
}

TEST_F(DatabaseQueryTest, RunsOnDemandAndNotifiesEveryRun) {
  RuntimeObject* query = NewQuery("select name from stars where name = %1 or name = %1 order by id");
  EXPECT_EQ(databaseQueryGetRow(query, 1), nullptr) << "GetRow never runs the query";
  databaseQuerySetParameter(query, Str("Deneb").Rep());
  EXPECT_EQ(gCompleted, 1);
  EXPECT_EQ(QueryNames(query), "Deneb");
  databaseQuerySetParameter(query, Str("Deneb").Rep());
  EXPECT_EQ(gCompleted, 2) << "the same text runs again";

  RuntimeObject* fresh = NewQuery("select name from stars order by id");
  EXPECT_EQ(QueryNames(fresh), "Vega,Sirius,Deneb") << "the first GetCount runs the query";
  EXPECT_EQ(gCompleted, 3);
  Exec("insert into stars (id, name, mag) values (5, 'Altair', 0.77)");
  EXPECT_EQ(databaseQueryGetCount(fresh), 3) << "only the first GetCount runs it";
  databaseQueryRunQuery(fresh);
  EXPECT_EQ(databaseQueryGetCount(fresh), 4);

  RuntimeObject* failing = NewQuery("select nothing from nowhere");
  EXPECT_EQ(databaseQueryGetCount(failing), 0);
  EXPECT_NE(ErrorCode(), 0) << "the database tells what failed";
  objSetter(fresh, offsetof(DatabaseQueryObject, database), nullptr);
  databaseQueryRunQuery(fresh);
  EXPECT_EQ(databaseQueryGetCount(fresh), 0) << "a run without a database drops the old result";
}

// A timer is an action source: bound to the query by an action binder, its Action runs the query.
TEST_F(DatabaseQueryTest, ATimerBoundByAnActionBinderRunsTheQueryOnEachAction) {
  InstallTimerReceiverHooks();
  RuntimeObject* query = NewQuery("select name from stars order by id");
  RuntimeObject* timer = Keep(CreateInstanceFromDefinition(GetTimerClassDefinition()));
  RuntimeObject* binder = CreateInstanceFromDefinition(GetActionBinderClassDefinition());
  actionBinderBind(binder, timer, query);
  RuntimeUnlockObject(binder);
  timerPeriodSetter(timer, 0, 5);
  timerModeSetter(timer, 0, kVornTimerSingle);
  for (gint64 end = g_get_monotonic_time() + 5000000; gCompleted < 1 && g_get_monotonic_time() < end;)
    g_main_context_iteration(nullptr, TRUE);
  EXPECT_EQ(gCompleted, 1);
  EXPECT_EQ(QueryNames(query), "Vega,Sirius,Deneb");
}

TEST_F(DatabaseQueryTest, TheScrollableCursorReadsAnyRowFromItsCache) {
  Exec("insert into stars (id, name) values (4, 'Ünukalhai')");
  RuntimeObject* rs = Keep(databaseSQLSelect(db, Str("select name, mag from stars order by id").Rep()));
  cursorMoveNext(rs);
  RuntimeObject* cursor = Keep(NewScrollableCursor(rs));
  EXPECT_TRUE(cursorEOFGetter(rs, 0)) << "the copy leaves the record set at its end";
  ASSERT_EQ(scrollableCursorGetCount(cursor), 3) << "copying starts at the current row";
  EXPECT_EQ(scrollableCursorGetRow(cursor, 0), nullptr);
  EXPECT_EQ(scrollableCursorGetRow(cursor, 4), nullptr);
  RuntimeObject* last = Keep(scrollableCursorGetRow(cursor, 3));
  string name = string::Adopt(getDatabaseRecordIndString(last, 1));
  EXPECT_EQ(name.View(), "Ünukalhai");
  EXPECT_EQ(name.Encoding(), kEncodingUTF8);
  EXPECT_EQ(Text(getDatabaseRecordIndString(last, 2)), "") << "NULL reads as the empty text";
  EXPECT_EQ(getDatabaseRecordFieldCount(last), 2);
  EXPECT_EQ(Names(cursor, &scrollableCursorGetCount, &scrollableCursorGetRow), "Sirius,Deneb,Ünukalhai");

  RuntimeObject* empty = Keep(NewScrollableCursor(rs));
  EXPECT_EQ(scrollableCursorGetCount(empty), 0);
}

}  // namespace
}  // namespace vorn
