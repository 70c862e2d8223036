// The database's numbers under a decimal-comma process locale are stored, compared and updated
// as under C; its letters fold as ASCII under Turkish.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "database/builtin_database_class.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/support/sql_database.h"
#include "support/process_locale.h"
#include "vorn/folder_item_api.h"

namespace vorn {
namespace {

class NumberLocaleDatabaseTest : public dbtest::SqlDatabaseTest, public ::testing::WithParamInterface<std::string> {
 protected:
  std::string Count(const std::string& condition) {
    RuntimeObject* rs = Keep(databaseSQLSelect(db, string("select count(*) from stars where " + condition, kEncodingUTF8).Rep()));
    if (!rs || cursorEOFGetter(rs, 0)) return "no rows: " + ErrorMessage();
    return std::string(string::Adopt(cursorFieldStringValueGetter(Keep(cursorGetFieldByIndex(rs, 1)), 0)).View());
  }
};

TEST_P(NumberLocaleDatabaseTest, NumbersAreStoredComparedUpdatedAndReadBackAsUnderC) {
  auto in = std::make_unique<test::ProcessLocale>(GetParam());
  ASSERT_TRUE(in->Loaded()) << GetParam() << " cannot be loaded (the build makes it with localedef)";
  CreateStars();  // Vega 0.03, Sirius -1.46, Deneb 1.25
  RuntimeObject* record = New(GetDatabaseRecordClassDefinition());
  setDatabaseRecordIntegerColumn(record, string("id").Rep(), 4);
  setDatabaseRecordColumn(record, string("name").Rep(), string("Altair").Rep());
  setDatabaseRecordDoubleColumn(record, string("mag").Rep(), 0.77);
  databaseInsertRecord(db, string("stars").Rep(), record);
  Exec("create table flags (id integer, b boolean)");
  Exec("insert into flags (id, b) values (1, '0.5')");
  Exec("insert into flags (id, b) values (2, '0.0')");
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
  const std::pair<const char*, const char*> counts[] = {
      {"mag = 0.77", "1"},   {"mag < 0.05", "2"}, {"mag > 1.2", "1"}, {"mag <> 0.77", "3"},
      {"mag > 0.0299", "3"}, {"mag = mag", "4"},  {"upper(name) = 'SIRIUS'", "1"}};
  for (const auto& [condition, count] : counts) EXPECT_EQ(Count(condition), count) << condition;
  Exec("update stars set name = 'Dim' where mag < 0.05");
  Exec("update stars set mag = 2.5 where mag > 1.2");
  EXPECT_EQ(ErrorCode(), 0) << ErrorMessage();
  const std::vector<std::string> stars = {"1 0.03 Dim", "2 -1.46 Dim", "3 2.5 Deneb", "4 0.77 Altair"};
  EXPECT_EQ(TableRows("stars"), stars);
  EXPECT_EQ(TableRows("flags"), (std::vector<std::string>{"true 1", "false 2"}));
  // The file holds the same numbers for a program that runs in the C locale.
  databaseCommit(db);
  databaseClose(db);
  in.reset();
  test::ProcessLocale c("C");
  db = New(GetVORNDatabaseClassDefinition());
  RuntimeObject* item = FolderItemFromPath(path.c_str());
  VORNDatabaseFolderItemSetter(db, 0, item);
  RuntimeUnlockObject(item);
  ASSERT_TRUE(VORNDatabaseConnect(db));
  EXPECT_EQ(TableRows("stars"), stars);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberLocaleDatabaseTest, ::testing::ValuesIn(test::RowLocales()));

}  // namespace
}  // namespace vorn
