#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/database_objects.h"
#include "database/db_row_filter.h"
#include "database/support/sql_database.h"
#include "support/class_test.h"

namespace vorn {
namespace {

using Rows = std::vector<std::string>;

class SqlExecuteTest : public dbtest::SqlDatabaseTest {};

TEST_F(SqlExecuteTest, CreatesInsertsAndAddsColumns) {
  CreateStars();
  EXPECT_EQ(TableRows("stars"), (Rows{"1 0.03 Vega", "2 -1.46 Sirius", "3 1.25 Deneb"}));
  Exec("alter table stars add constellation varchar(30)");
  Exec("update stars set constellation = 'Lyra' where id = 1");
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  EXPECT_EQ(TableRows("stars"), (Rows{"Lyra 1 0.03 Vega", "NULL 2 -1.46 Sirius", "NULL 3 1.25 Deneb"}));
}

TEST_F(SqlExecuteTest, UpdateAndDeleteTouchOnlyMatchingRows) {
  CreateStars();
  Exec("update stars set mag = 0.5 where name = 'Vega'");
  EXPECT_EQ(TableRows("stars"), (Rows{"1 0.5 Vega", "2 -1.46 Sirius", "3 1.25 Deneb"}));
  Exec("update stars set name = 'Bright' where mag < 0 or id >= 3");
  EXPECT_EQ(TableRows("stars"), (Rows{"1 0.5 Vega", "2 -1.46 Bright", "3 1.25 Bright"}));
  Exec("delete from stars where name = 'Bright' and mag > 1");
  EXPECT_EQ(TableRows("stars"), (Rows{"1 0.5 Vega", "2 -1.46 Bright"}));
  Exec("delete from stars where name like 'v%'");
  EXPECT_EQ(TableRows("stars").size(), 2u) << "LIKE compares case-sensitively";
  Exec("delete from stars where upper(name) like 'V_GA'");
  EXPECT_EQ(TableRows("stars"), (Rows{"2 -1.46 Bright"}));
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
}

TEST_F(SqlExecuteTest, UpdateWithoutConditionReachesEveryRow) {
  CreateStars();
  Exec("update stars set name = 'x', name = 'y'");
  EXPECT_EQ(TableRows("stars"), (Rows{"1 0.03 x", "2 -1.46 x", "3 1.25 x"})) << "the assignment written first wins";
  Exec("update stars set id = id");
  Exec("delete from stars");
  EXPECT_EQ(TableRows("stars"), Rows{});
}

TEST_F(SqlExecuteTest, NullsMatchOnlyIsNull) {
  CreateStars();
  Exec("insert into stars (id) values (4)");
  Exec("delete from stars where name = ''");
  EXPECT_EQ(TableRows("stars").size(), 4u);
  Exec("update stars set name = 'none' where mag is null");
  EXPECT_EQ(TableRows("stars").back(), "4 NULL none");
  Exec("delete from stars where mag is not null");
  EXPECT_EQ(TableRows("stars"), (Rows{"4 NULL none"}));
}

TEST_F(SqlExecuteTest, ErrorsLeaveTheRowsAlone) {
  CreateStars();
  const Rows before = TableRows("stars");
  struct Case {
    const char* sql;
    int32_t code;
    const char* message;
  };
  const Case cases[] = {
      {"create table empty ()", 206, "CREATE TABLE requires at least one column defined"},
      {"update stars set nosuch = 1", 208, "Mismatched update fields"},
      {"update stars set name = 'a', nosuch = 1 where id = 1", 208, "Mismatched update fields"},
      {"drop table stars", 2007, "Dropping tables from this database is not currently supported."},
  };
  for (const Case& c : cases) {
    Exec(c.sql);
    EXPECT_EQ(ErrorCode(), c.code) << c.sql;
    EXPECT_EQ(ErrorMessage(), c.message) << c.sql;
    EXPECT_EQ(TableRows("stars"), before) << c.sql;
  }
  for (const char* malformed : {"update stars set", "delete stars", "insert into stars values (1,",
                                "delete from stars where", "update stars set name = 'a' where"}) {
    Exec(malformed);
    EXPECT_GE(ErrorCode(), 200) << malformed;
    EXPECT_EQ(TableRows("stars"), before) << malformed;
  }
  // A condition on a column the table lacks selects nothing rather than everything.
  Exec("delete from stars where nosuch = 1");
  EXPECT_EQ(TableRows("stars"), before);
  Exec("select * from stars");
  EXPECT_EQ(ErrorCode(), 0);
}

TEST_F(SqlExecuteTest, CommitAndRollbackByText) {
  CreateStars();
  Exec("commit");
  Exec("insert into stars (id) values (9)");
  EXPECT_EQ(TableRows("stars").size(), 4u);
  Exec("rollback;");
  EXPECT_EQ(TableRows("stars").size(), 3u) << ErrorMessage();
  Exec("delete from stars where id = 2");
  EXPECT_EQ(TableRows("stars").size(), 2u);
  Exec("rollback;");
  EXPECT_EQ(TableRows("stars").size(), 3u) << ErrorMessage();
}

TEST(DbLikeTest, PatternsMatchWholeText) {
  EXPECT_TRUE(DbLikeMatches("Sirius", "S%s"));
  EXPECT_TRUE(DbLikeMatches("Sirius", "%"));
  EXPECT_TRUE(DbLikeMatches("", "%%"));
  EXPECT_TRUE(DbLikeMatches("abcabd", "%abd"));
  EXPECT_TRUE(DbLikeMatches("a_c", "a_c"));
  EXPECT_FALSE(DbLikeMatches("Sirius", "S%x"));
  EXPECT_FALSE(DbLikeMatches("Sirius", "Siriu"));
  EXPECT_FALSE(DbLikeMatches("ab", "a_b"));
  // Long texts against many "%" stay quick: no exponential backtracking.
  EXPECT_FALSE(DbLikeMatches(std::string(5000, 'a'), std::string(50, '%') + "b"));
}

TEST(SqlExecuteEntryPointTest, IsBound) {
  test::ExpectEntryPointsBound({{"databaseSQLExecute", reinterpret_cast<void*>(&databaseSQLExecute)}});
}

}  // namespace
}  // namespace vorn
