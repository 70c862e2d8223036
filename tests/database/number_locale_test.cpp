// The database's numbers under a decimal-comma process locale: stored, compared, updated and
// read back by a program in the C locale, as under C; and letters folded as ASCII in Turkish.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/builtin_database_class.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/support/sql_database.h"
#include "support/process_locale.h"
#include "vorn/folder_item_api.h"

namespace vorn {
namespace {

std::string Text(StringRep* rep) { return rep ? std::string(string::Adopt(rep).View()) : "NULL"; }

class NumberLocaleDatabaseTest : public dbtest::SqlDatabaseTest, public ::testing::WithParamInterface<std::string> {
 protected:
  std::string Count(const std::string& condition) {
    RuntimeObject* rs = Keep(databaseSQLSelect(db, string("select count(*) from stars where " + condition, kEncodingUTF8).Rep()));
    return rs && !cursorEOFGetter(rs, 0) ? Text(cursorFieldStringValueGetter(Keep(cursorGetFieldByIndex(rs, 1)), 0))
                                         : "no rows: " + ErrorMessage();
  }
};

struct CountRow {
  const char* condition;
  const char* count;
};

TEST_P(NumberLocaleDatabaseTest, NumbersAreStoredComparedAndReadBackAsUnderC) {
  {
    test::ProcessLocale in(GetParam());
    ASSERT_TRUE(in.Loaded()) << GetParam() << " cannot be loaded (the build makes it with localedef)";
    CreateStars();  // SQL literals: Vega 0.03, Sirius -1.46, Deneb 1.25
    RuntimeObject* record = New(GetDatabaseRecordClassDefinition());
    setDatabaseRecordIntegerColumn(record, string("id").Rep(), 4);
    setDatabaseRecordColumn(record, string("name").Rep(), string("Altair").Rep());
    setDatabaseRecordDoubleColumn(record, string("mag").Rep(), 0.77);
    databaseInsertRecord(db, string("stars").Rep(), record);
    ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();

    const CountRow rows[] = {{"mag = 0.03", "1"},   {"mag = 0.77", "1"},  {"mag < 0.05", "2"},
                             {"mag > 1.2", "1"},    {"mag >= -1.46", "4"}, {"mag <= -1.46", "1"},
                             {"mag <> 0.77", "3"}, {"mag > 0.0299", "3"},
                             {"upper(name) = 'SIRIUS'", "1"}};
    for (const CountRow& row : rows) EXPECT_EQ(Count(row.condition), row.count) << row.condition;

    Exec("update stars set name = 'Dim' where mag < 0.05");
    Exec("update stars set mag = 2.5 where mag > 1.2");
    EXPECT_EQ(ErrorCode(), 0) << ErrorMessage();
    EXPECT_EQ(Count("name = 'Dim'"), "2");
    // A Boolean given as a number's text is true unless the number is 0.
    Exec("create table flags (id integer, b boolean)");
    Exec("insert into flags (id, b) values (1, '0.5')");
    Exec("insert into flags (id, b) values (2, '0.0')");
    EXPECT_EQ(TableRows("flags"), (std::vector<std::string>{"true 1", "false 2"}));
    databaseCommit(db);
    databaseClose(db);
  }
  test::ProcessLocale c("C");
  RuntimeObject* again = New(GetVORNDatabaseClassDefinition());
  RuntimeObject* item = FolderItemFromPath(path.c_str());
  VORNDatabaseFolderItemSetter(again, 0, item);
  RuntimeUnlockObject(item);
  ASSERT_TRUE(VORNDatabaseConnect(again));
  db = again;
  EXPECT_EQ(TableRows("stars"), (std::vector<std::string>{"1 0.03 Dim", "2 -1.46 Dim", "3 2.5 Deneb", "4 0.77 Altair"}));
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberLocaleDatabaseTest, ::testing::ValuesIn(test::RowLocales()));

}  // namespace
}  // namespace vorn
