#include <gtest/gtest.h>

#include <set>

#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "database/sql_condition.h"
#include "files/file_handle.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

// A condition on the primary key goes straight to the key; the rows it gives must be exactly
// those of a walk past every row.
TEST(KeySeekTest, AnEqualityOnTheKeyFindsExactlyItsRows) {
  auto db = vndbHandle::Create(std::make_unique<FileHandle>());
  ASSERT_TRUE(db);
  ASSERT_TRUE(db->CreateTable("t", {{"id", kDbInteger, false}, {"name", kDbVarchar, true}}, {0}));
  for (int id = -5; id < 400; ++id)
    ASSERT_TRUE(db->AddTableRecord("t", {{"id", std::to_string(id)}, {"name", "n" + std::to_string(id) + std::string(80, '.')}}));
  const string id("id"), name("name");
  struct Case {
    const char* key;
    const char* otherName;  // an ANDed or ORed condition on name, when given
    int32_t junction;
    std::set<int> rows;
  };
  const std::string seven = "n7" + std::string(80, '.');
  const Case cases[] = {
      {"7", nullptr, 0, {7}},
      {"-5", nullptr, 0, {-5}},
      {"399", nullptr, 0, {399}},
      {"1000", nullptr, 0, {}},
      {"007", nullptr, 0, {7}},
      {"7", seven.c_str(), kSqlAnd, {7}},
      {"7", "other", kSqlAnd, {}},
      {"7", seven.c_str(), kSqlOr, {7}},
      {"8", seven.c_str(), kSqlOr, {7, 8}},
  };
  for (const Case& c : cases) {
    const string key(c.key);
    const string other(c.otherName ? c.otherName : "");
    dbFilter onKey{nullptr, nullptr, kSqlEqual, 0, id.Rep(), key.Rep()};
    dbFilter onName{nullptr, nullptr, kSqlEqual, 0, name.Rep(), other.Rep()};
    dbFilter both{&onKey, &onName, c.junction, 0, nullptr, nullptr};
    auto cursor = vndbCursor::Open(*db, "t", {"id"}, c.otherName ? &both : &onKey);
    ASSERT_TRUE(cursor);
    std::set<int> rows;
    while (cursor->NextRow()) rows.insert(int(cursor->ColumnValue(0)->integer));
    EXPECT_EQ(rows, c.rows) << c.key << " " << (c.otherName ? c.otherName : "");
  }
}

}  // namespace
}  // namespace vorn
