// Text of every encoding the runtime names, through every way into the database: it is kept
// as UTF-8, so it reads back as its characters and a UTF-8 condition meets it however written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/database_fields.h"
#include "database/database_objects.h"
#include "database/stored_text.h"
#include "database/support/sql_database.h"
#include "datacontrols/query_parameter.h"

namespace vorn {
namespace {

std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }
string In(const char* encoding, const std::string& utf8) {
  return ConvertTextEncoding(string(utf8, kEncodingUTF8), EncodingForName(encoding));
}

class EncodedTextTest : public dbtest::SqlDatabaseTest {
 protected:
  void SetUp() override {
    SqlDatabaseTest::SetUp();
    Exec("create table people (id integer not null, name varchar(40), primary key (id))");
    Exec("create table tags (name varchar(40) not null, n integer, primary key (name))");
  }

  // A row through a DatabaseRecord; the column's name may be of any encoding too.
  void Insert(const char* table, const string& name, int32_t number, const string& column = string("name")) {
    RuntimeObject* record = Keep(CreateInstanceFromDefinition(GetDatabaseRecordClassDefinition()));
    setDatabaseRecordColumn(record, column.Rep(), name.Rep());
    setDatabaseRecordIntegerColumn(record, string(table[0] == 'p' ? "id" : "n").Rep(), number);
    databaseInsertRecord(db, string(table).Rep(), record);
  }

  // The first column of every row the statement selects; "error N" when it fails.
  std::vector<std::string> Select(const string& sql) {
    RuntimeObject* rs = Keep(databaseSQLSelect(db, sql.Rep()));
    if (!rs) return {"error " + std::to_string(ErrorCode())};
    std::vector<std::string> found;
    for (RuntimeObject* field = Keep(cursorGetFieldByIndex(rs, 1)); !cursorEOFGetter(rs, 0); cursorMoveNext(rs))
      found.push_back(Text(cursorFieldStringValueGetter(field, 0)));
    return found;
  }

  // Edits the name of the row with the id through a RecordSet.
  void EditName(const char* id, const string& name, const string& column = string("name")) {
    RuntimeObject* rs = Keep(databaseSQLSelect(db, (string("select * from people where id = ") + id).Rep()));
    ASSERT_NE(rs, nullptr);
    cursorEdit(rs);
    cursorFieldStringValueSetter(Keep(cursorGetFieldByName(rs, column.Rep())), 0, name.Rep());
    cursorUpdate(rs);
  }
};

TEST_F(EncodedTextTest, EveryEncodingIsStoredAsItsCharacters) {
  const struct {
    const char* encoding;
    const char* name;
  } cases[] = {
      {"UTF-8", "René"},          {"UTF-16", "x René"},   {"UTF-32", "Zoë \uFFFD"}, {"ISO-8859-1", "Renée"},
      {"WINDOWS-1252", "€ René"}, {"MACINTOSH", "Zoë"},   {"SHIFT_JIS", "漢字"},     {"EUC-JP", "東京"},
      {"ISO-2022-JP", "漢字 かな"}, {"US-ASCII", "Vega"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding);
    const string name = In(c.encoding, c.name);
    const std::string quoted = std::string("'") + c.name + "'";
    // One row through a DatabaseRecord, one through a statement in the encoding, one edited.
    Insert("people", name, 1, In(c.encoding, "name"));
    databaseSQLExecute(db, In(c.encoding, "insert into people (id, name) values (2, " + quoted + ")").Rep());
    Exec("insert into people (id, name) values (3, 'x')");
    EditName("3", name, In(c.encoding, "NAME"));
    Insert("tags", name, 7);
    EXPECT_EQ(ErrorCode(), 0) << ErrorMessage();

    const std::vector<std::string> three(3, c.name);
    EXPECT_EQ(Select(string("select name from people where name = " + quoted, kEncodingUTF8)), three);
    EXPECT_EQ(Select(In(c.encoding, "select name from people where name = " + quoted)), three);
    const string bound = BindQueryParameter(In(c.encoding, "select name from people where name = %1"), name).value();
    EXPECT_EQ(Select(bound), three);
    EXPECT_EQ(Select(string("select n from tags where name = " + quoted, kEncodingUTF8)),
              std::vector<std::string>{"7"});
    Exec("delete from people");
    Exec("delete from tags");
  }
}

TEST_F(EncodedTextTest, TextThatIsNoCharacterOfItsEncodingIsRefusedAndNothingWritten) {
  Exec("insert into people (id, name) values (1, 'kept')");
  const string cases[] = {
      string("caf\xE9", 4, kEncodingASCII),
      string("x\0y", 3, kEncodingUTF16),           // one byte short of a code unit
      string("\x00\xD8\x41\x00", 4, kEncodingUTF16),  // a high surrogate alone
      string("\x81", 1, EncodingForName("SHIFT_JIS")),
      string("\x81", 1, EncodingForName("WINDOWS-1252")),
      string("a\xE9", 2, 0x7777),  // an encoding the runtime cannot convert
  };
  for (const string& bad : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(bad.View())));
    Insert("people", bad, 2);
    EXPECT_EQ(ErrorCode(), kDbErrorTextEncoding);
    EditName("1", bad);
    EXPECT_EQ(ErrorCode(), kDbErrorTextEncoding);
    EXPECT_FALSE(BindQueryParameter(string("select * from people where name = %1"), bad));
    EXPECT_EQ(Select(string("select name from people")), std::vector<std::string>{"kept"});
    EXPECT_EQ(Select(string("select * from people where name = '") + bad + string("'")),
              std::vector<std::string>{"error " + std::to_string(kDbErrorTextEncoding)});
  }
}

TEST_F(EncodedTextTest, BlobsAndBytesOfNoEncodingKeepTheirBytes) {
  const std::string bytes("\xE9\x00\xFF\x80", 4);
  Exec("create table files (id integer, data long varbinary)");
  RuntimeObject* record = Keep(CreateInstanceFromDefinition(GetDatabaseRecordClassDefinition()));
  SetDatabaseRecordBlobColumn(record, string("data").Rep(), string(bytes, EncodingForName("ISO-8859-1")).Rep());
  databaseInsertRecord(db, string("files").Rep(), record);
  Insert("people", string(bytes, kEncodingUnknown), 1);
  EXPECT_EQ(Select(string("select data from files")), std::vector<std::string>{bytes});
  EXPECT_EQ(Select(string("select name from people")), std::vector<std::string>{bytes});
}

}  // namespace
}  // namespace vorn
