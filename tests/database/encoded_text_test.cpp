// Text of every encoding is kept as UTF-8, whichever way it enters the database.
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

using Lines = std::vector<std::string>;

string In(const char* encoding, const std::string& utf8) {
  return ConvertTextEncoding(string(utf8, kEncodingUTF8), EncodingForName(encoding));
}

class EncodedTextTest : public dbtest::SqlDatabaseTest {
 protected:
  void SetUp() override {
    SqlDatabaseTest::SetUp();
    Exec("create table people (id integer not null, name varchar(40), data long varbinary, primary key (id))");
  }
  // A row through a DatabaseRecord, its column named in any encoding; the blob keeps the name's bytes.
  void Insert(int32_t id, const string& name, const string& column = string("name")) {
    RuntimeObject* record = Keep(CreateInstanceFromDefinition(GetDatabaseRecordClassDefinition()));
    setDatabaseRecordColumn(record, column.Rep(), name.Rep());
    SetDatabaseRecordBlobColumn(record, string("data").Rep(), name.Rep());
    setDatabaseRecordIntegerColumn(record, string("id").Rep(), id);
    databaseInsertRecord(db, string("people").Rep(), record);
  }
  // Row 1's name edited through a RecordSet, the field looked up by a name in any encoding.
  void EditName(const string& name, const string& field = string("name")) {
    RuntimeObject* rs = Keep(databaseSQLSelect(db, string("select * from people where id = 1").Rep()));
    ASSERT_NE(rs, nullptr);
    cursorEdit(rs);
    cursorFieldStringValueSetter(Keep(cursorGetFieldByName(rs, field.Rep())), 0, name.Rep());
    cursorUpdate(rs);
  }
  // The first column of every row selected; "error N" when the statement fails.
  Lines Select(const string& sql) {
    RuntimeObject* rs = Keep(databaseSQLSelect(db, sql.Rep()));
    if (!rs) return {"error " + std::to_string(ErrorCode())};
    Lines found;
    for (RuntimeObject* field = Keep(cursorGetFieldByIndex(rs, 1)); !cursorEOFGetter(rs, 0); cursorMoveNext(rs))
      found.emplace_back(string::Adopt(cursorFieldStringValueGetter(field, 0)).View());
    return found;
  }
};

TEST_F(EncodedTextTest, EveryEncodingIsStoredAsItsCharactersAndABlobAsItsBytes) {
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
    const std::string quoted = std::string("'") + c.name + "'", where = "select name from people where name = ";
    Exec("insert into people (id, name) values (1, 'x')");
    EditName(name, In(c.encoding, "NAME"));
    Insert(2, name, In(c.encoding, "name"));
    databaseSQLExecute(db, In(c.encoding, "insert into people (id, name) values (3, " + quoted + ")").Rep());
    EXPECT_EQ(ErrorCode(), 0) << ErrorMessage();
    const Lines three(3, c.name);
    EXPECT_EQ(Select(string(where + quoted, kEncodingUTF8)), three);
    EXPECT_EQ(Select(In(c.encoding, where + quoted)), three);
    EXPECT_EQ(Select(BindQueryParameter(In(c.encoding, where + "%1"), name).value()), three);
    EXPECT_EQ(Select(string("select data from people where id = 2")), Lines{std::string(name.View())});
    Exec("delete from people");
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
  const Lines refused{"error " + std::to_string(kDbErrorTextEncoding)};
  for (const string& bad : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(bad.View())));
    Insert(2, bad);
    EXPECT_EQ(ErrorCode(), kDbErrorTextEncoding);
    EditName(bad);
    EXPECT_EQ(ErrorCode(), kDbErrorTextEncoding);
    EXPECT_FALSE(BindQueryParameter(string("select * from people where name = %1"), bad));
    EXPECT_EQ(Select(string("select name from people")), Lines{"kept"});
    EXPECT_EQ(Select(string("select * from people where name = '") + bad + string("'")), refused);
  }
}

TEST_F(EncodedTextTest, BytesOfNoEncodingAreKeptAsTheyAre) {
  const std::string bytes("\xE9\x00\xFF\x80", 4);
  Insert(1, string(bytes, kEncodingUnknown));
  EXPECT_EQ(Select(string("select name from people")), Lines{bytes});
}

}  // namespace
}  // namespace vorn
