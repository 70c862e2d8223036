#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "database/db_cursor.h"
#include "database/db_handle.h"
#include "database/db_tree.h"
#include "database/sql_condition.h"
#include "database/support/sim_disk.h"
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

// Deletes the record `at` places in, the last of its leaf, and puts `row` past it whatever its
// key, as an earlier version did.
void PutPastDeleted(vndbTree& tree, int at, const DbRow& row) {
  for (int i = 0; i < at; ++i) ASSERT_TRUE(tree.Next());
  ASSERT_TRUE(tree.DeleteCurrent());
  ASSERT_FALSE(tree.Next());
  ASSERT_TRUE(tree.InsertHere(DbBuildRow(row, tree.File().CurrentSerial(), tree.File().NewRecordId())));
}

// Opened read-only, such a file keeps its deleted record, which a walk of the key steps over.
TEST(KeySeekTest, AWalkOfTheKeyStepsOverDeletedRecordsOutOfOrder) {
  dbtest::SimDisk disk;
  {
    auto db = vndbHandle::Create(disk.Storage());
    ASSERT_TRUE(db->CreateTable("p", {{"id", kDbInteger, false}, {"k2", kDbInteger, false}}, {0, 1}));
    ASSERT_TRUE(db->AddTableRecord("p", {{"id", "3"}, {"k2", "2"}}));
    ASSERT_TRUE(db->AddTableRecord("p", {{"id", "10"}, {"k2", "2"}}));
    ASSERT_TRUE(db->Commit());
    auto tree = vndbTree::OpenNamedTree(db->File(), std::to_string(db->FindSchema("p")->id), {0, 1});
    PutPastDeleted(*tree, 2, {{0, DbValue::Integer(kDbInteger, 3)}, {1, DbValue::Integer(kDbInteger, 3)}});
    tree.reset();
    ASSERT_TRUE(db->Commit());
  }
  disk.readOnly = true;
  auto db = vndbHandle::Open(disk.Storage());
  const string id("id"), three("3");
  dbFilter onKey{nullptr, nullptr, kSqlEqual, 0, id.Rep(), three.Rep()};
  auto cursor = db ? vndbCursor::Open(*db, "p", {"k2"}, &onKey) : nullptr;
  ASSERT_TRUE(cursor);
  std::set<int> rows;
  while (cursor->NextRow()) rows.insert(int(cursor->ColumnValue(0)->integer));
  EXPECT_EQ(rows, (std::set<int>{2, 3}));
}

// A column row past a deleted row of a later table, while that stands, does not end the walk of
// its table's columns when adding a column reads them again.
TEST(KeySeekTest, AWalkOfATablesColumnsStepsOverDeletedRecordsOutOfOrder) {
  auto db = vndbHandle::Create(std::make_unique<FileHandle>());
  ASSERT_TRUE(db->CreateTable("a", {{"x", kDbInteger, true}}, {}));
  ASSERT_TRUE(db->CreateTable("b", {{"c", kDbInteger, true}}, {}));
  ASSERT_TRUE(db->Commit());
  auto fields = vndbTree::OpenNamedTree(db->File(), kDbFieldsTree, {0, 2});
  // Position 2: adding a column takes position 1, the first the cached schema leaves free.
  PutPastDeleted(*fields, 2, {{0, DbValue::Integer(kDbInteger, db->FindSchema("a")->id)}, {1, DbValue::Integer(kDbInteger, 2)},
                              {2, DbValue::Text(kDbVarchar, "y")}, {3, DbValue::Integer(kDbSmallint, 1)},
                              {4, DbValue::Integer(kDbSmallint, kDbInteger)}});
  fields.reset();
  ASSERT_TRUE(db->AddTableColumn("a", {"z", kDbInteger, true})) << db->ErrorMessage();
  std::vector<std::string> names;
  for (const DbColumn& column : db->FindSchema("a")->columns) names.push_back(column.name);
  EXPECT_EQ(names, (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_TRUE(db->FindSchema("a")->damage.empty()) << db->FindSchema("a")->damage;
}

// A key goes after the live rows below it, also when deleted records of greater keys (as an
// earlier version left them, out of key order) end the leaf before theirs.
TEST(KeySeekTest, AKeyGoesAfterLiveRowsBelowItPastDeletedRecordsOutOfOrder) {
  auto db = vndbHandle::Create(std::make_unique<FileHandle>());
  ASSERT_TRUE(db && vndbTree::CreateNamedTree(db->File(), "rows"));
  auto tree = vndbTree::OpenNamedTree(db->File(), "rows", {0});
  auto row = [&](int key, size_t length) {
    return DbBuildRow({{0, DbValue::Integer(kDbInteger, key)}, {1, DbValue::Text(kDbVarchar, std::string(length, 'r'))}},
                      db->File().CurrentSerial(), db->File().NewRecordId());
  };
  // Two rows to a leaf, [10 20] [30 40]; 26 goes to the second, below its separator.
  for (int key : {10, 20, 30, 40}) ASSERT_EQ(tree->InsertRecord(row(key, 3000), true), vndbTree::InsertResult::kInserted);
  ASSERT_EQ(tree->InsertRecord(row(26, 100), true), vndbTree::InsertResult::kInserted);
  // The first leaf becomes [10, deleted 31, deleted 33, deleted 20].
  auto walk = vndbTree::OpenNamedTree(db->File(), "rows", {0});
  ASSERT_TRUE(walk->Next() && walk->Next() && walk->InsertHere(row(31, 100)) && walk->InsertHere(row(33, 100)) && walk->DeleteCurrent());
  walk = vndbTree::OpenNamedTree(db->File(), "rows", {0});
  ASSERT_TRUE(walk->Next() && walk->Next() && walk->DeleteCurrent() && walk->Next() && walk->DeleteCurrent());
  ASSERT_EQ(tree->InsertRecord(row(28, 100), true), vndbTree::InsertResult::kInserted);
  std::vector<int> keys;
  for (walk = vndbTree::OpenNamedTree(db->File(), "rows", {0}); walk->Next();)
    if (walk->IsCurrentVisible()) keys.push_back(int(DbDecodeField(walk->GetField(0)).integer));
  EXPECT_EQ(keys, (std::vector<int>{10, 26, 28, 30, 40}));
}

}  // namespace
}  // namespace vorn
