#include "database/support/sql_database.h"

#include <gtest/gtest.h>

#include "database/builtin_database_class.h"
#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/support/db_test_files.h"
#include "vorn/folder_item_api.h"

namespace vorn::dbtest {
namespace {

std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

int sFileNumber = 0;

}  // namespace

void SqlDatabaseTest::SetUp() {
  IntrinsicClassTest::SetUp();
  path = TempPath("sql" + std::to_string(++sFileNumber) + ".vdb");
  db = New(GetVORNDatabaseClassDefinition());
  RuntimeObject* item = FolderItemFromPath(path.c_str());
  VORNDatabaseFolderItemSetter(db, 0, item);
  RuntimeUnlockObject(item);
  ASSERT_TRUE(VORNDatabaseCreateDatabaseFile(db));
}

void SqlDatabaseTest::Exec(const std::string& sql) { databaseSQLExecute(db, string(sql, kEncodingUTF8).Rep()); }

int32_t SqlDatabaseTest::ErrorCode() { return databaseErrorCodeGetter(db, 0); }

std::string SqlDatabaseTest::ErrorMessage() { return Text(databaseErrorStringGetter(db, 0)); }

std::vector<std::string> SqlDatabaseTest::TableRows(const std::string& table) {
  DatabaseObject* fields = DatabaseFields(db);
  const string star("*");
  dbColumnList all{nullptr, star.Rep()};
  RuntimeObject* rs = fields->engine->getTableCursor(fields->handle, string(table, kEncodingUTF8).Rep(), &all, nullptr);
  std::vector<std::string> rows;
  for (; rs && !cursorEOFGetter(rs, 0); cursorMoveNext(rs)) {
    std::string row;
    for (int32_t column = 1; column <= cursorFieldCount(rs, 0); ++column) {
      RuntimeObject* field = cursorGetFieldByIndex(rs, column);
      StringRep* value = cursorFieldStringValueGetter(field, 0);
      row += (column > 1 ? " " : "") + (value ? Text(value) : std::string("NULL"));
      RuntimeUnlockObject(field);
    }
    rows.push_back(row);
  }
  RuntimeUnlockObject(rs);
  return rows;
}

void SqlDatabaseTest::CreateStars() {
  Exec("create table Stars (id integer not null, name varchar(20), mag double, primary key (id))");
  Exec("insert into Stars (id, name, mag) values (1, 'Vega', 0.03)");
  Exec("insert into stars (name, id, mag) values ('Sirius', 2, -1.46)");
  Exec("insert into STARS (mag, name, id) values (1.25, 'Deneb', 3)");
  ASSERT_EQ(ErrorCode(), 0) << ErrorMessage();
}

}  // namespace vorn::dbtest
